"""Where the bench finds things: the repository, the executables under test,
and the Wine that runs them (chosen from the program's own header)."""

import contextlib
import glob
import os

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ROOT_COLOR = (0x3A, 0x6E, 0xA5)  # the root window's colour, set at start


def find_exe(env_name, relative):
    """The executable the variable names, else the one build/run_dir points
    at, else the newest of the build trees' (None when there is none)."""
    path = os.environ.get(env_name)
    if path:
        return os.path.abspath(path)
    with contextlib.suppress(OSError):
        with open(os.path.join(REPO, "build", "run_dir")) as f:
            recorded = os.path.join(f.read().strip(), relative)
        if os.path.isfile(recorded):
            return recorded
    candidates = glob.glob(os.path.join(REPO, "build*", "win64", relative))
    candidates += glob.glob(os.path.join(REPO, "build*", "*", "win64", relative))
    candidates = [c for c in candidates if os.path.isfile(c)]
    if not candidates:
        return None
    return max(candidates, key=os.path.getmtime)


def pe_arch(path):
    """"win32" for an i686 executable, "win64" for x86_64 (and when unreadable)."""
    with contextlib.suppress(OSError, ValueError):
        with open(path, "rb") as f:
            head = f.read(4096)
        offset = int.from_bytes(head[0x3C:0x40], "little")
        if head[offset:offset + 4] == b"PE\0\0":
            machine = int.from_bytes(head[offset + 4:offset + 6], "little")
            return "win32" if machine == 0x14C else "win64"
    return "win64"


# The tests run the build the build script chose: the i686 release build under
# 32-bit Wine where the kernel runs 32-bit code, else the x86_64 build. Read at
# import, so VISTREL_EXE must be set before (bench/run.py sets it).
WINEARCH = os.environ.get("VISTREL_WINEARCH") or pe_arch(
    find_exe("VISTREL_EXE", "vistrel.exe") or "")
WINE = "/usr/lib/wine/wine" if WINEARCH == "win32" else "/usr/lib/wine/wine64"
WINE_FONTS = "/usr/share/wine/fonts"
WINESERVER = ("/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64")
              else "/usr/lib/wine/wineserver32")
