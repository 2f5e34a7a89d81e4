"""The end-to-end bench: the real vistrel.exe under Wine on a private Xvfb.

One Bench per test class (setUpClass/tearDownClass); reset the program and the
configuration between tests with reset(). Everything is stdlib; the X side goes
through xdotool, xclip, xwininfo and ImageMagick, the Win32 side through the
probe (vistrel_probe.exe), which prints JSON.

Environment:
  VISTREL_WINEPREFIX     the Wine prefix (default <repo>/build/wineprefix-<arch>)
  VISTREL_EXE            the program (default: the build that build/run_dir names,
                         else the newest build*/win64/vistrel.exe)
  VISTREL_TESTHOOKS_EXE  the program built with test hooks
  VISTREL_PROBE          the probe
  VISTREL_WINE_SLOT      a suffix for the prefix, so that test files can run side by side
  VISTREL_KEEP_BENCH=1   leave Xvfb and Wine running after stop() (debugging)
"""

import atexit
import contextlib
import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
ROOT_COLOR = (0x3A, 0x6E, 0xA5)  # the root window's colour, set at start

VK_SHIFT, VK_CONTROL, VK_MENU, VK_INSERT, VK_F12 = 0x10, 0x11, 0x12, 0x2D, 0x7B
WM_NULL = 0x0000
WM_CLOSE = 0x0010
WM_COPYDATA = 0x004A
TEST_ERROR_DATA = 0x7E57  # WM_COPYDATA tag that makes the test build raise an error


def fixture_color(x, y):
    """The fixture's colour at client pixel (x, y); keep in step with probe_fixture.cpp."""
    return (x & 0xFF, y & 0xFF, (0x40 + (x >> 8) * 40 + (y >> 8) * 8) & 0xFF)


def _find_exe(env_name, relative):
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


def _pe_arch(path):
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
# 32-bit Wine where the kernel runs 32-bit code, else the x86_64 build.
WINEARCH = os.environ.get("VISTREL_WINEARCH") or _pe_arch(
    _find_exe("VISTREL_EXE", "vistrel.exe") or "")
WINE = "/usr/lib/wine/wine" if WINEARCH == "win32" else "/usr/lib/wine/wine64"
WINE_FONTS = "/usr/share/wine/fonts"
WINESERVER = ("/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64")
              else "/usr/lib/wine/wineserver32")


class ProbeError(AssertionError):
    pass


class Image:
    """An RGB image, rows top-down: data holds width * height * 3 bytes."""

    def __init__(self, width, height, data):
        if len(data) != width * height * 3:
            raise ValueError("image data of %d bytes for %dx%d" % (len(data), width, height))
        self.width, self.height, self.data = width, height, bytes(data)

    @property
    def size(self):
        return (self.width, self.height)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside %dx%d" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        if x < 0 or y < 0 or x + w > self.width or y + h > self.height:
            raise IndexError("crop %dx%d+%d+%d outside %dx%d" % (w, h, x, y, self.width, self.height))
        rows = [self.data[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3]
                for r in range(h)]
        return Image(w, h, b"".join(rows))

    def __eq__(self, other):
        return isinstance(other, Image) and self.size == other.size and self.data == other.data

    def __repr__(self):
        return "<Image %dx%d>" % (self.width, self.height)

    def first_difference(self, other):
        """None if equal, else a text naming the size mismatch or the first differing pixel."""
        if self.size != other.size:
            return "size %dx%d != %dx%d" % (self.width, self.height, other.width, other.height)
        if self.data == other.data:
            return None
        for i in range(0, len(self.data), 3):
            if self.data[i:i + 3] != other.data[i:i + 3]:
                p = i // 3
                return "pixel (%d, %d): %s != %s" % (p % self.width, p // self.width,
                                                     tuple(self.data[i:i + 3]),
                                                     tuple(other.data[i:i + 3]))
        return None

    def count(self, color):
        color = bytes(color)
        return sum(1 for i in range(0, len(self.data), 3) if self.data[i:i + 3] == color)

    def colors(self):
        """The set of (r, g, b) colours present."""
        return {tuple(self.data[i:i + 3]) for i in range(0, len(self.data), 3)}

    def is_uniform(self, color=None):
        first = self.data[:3]
        if color is not None and first != bytes(color):
            return False
        return self.data == first * (self.width * self.height)

    def matches(self, fn):
        """True when every pixel equals fn(x, y)."""
        return self.mismatch(fn) is None

    def mismatch(self, fn):
        """None, or a text naming the first pixel that differs from fn(x, y)."""
        for y in range(self.height):
            row = y * self.width * 3
            for x in range(self.width):
                got = tuple(self.data[row + x * 3:row + x * 3 + 3])
                want = tuple(fn(x, y))
                if got != want:
                    return "pixel (%d, %d): %s != expected %s" % (x, y, got, want)
        return None

    @staticmethod
    def from_bmp(blob):
        """A BMP file: 24 or 32 bits, BI_RGB or BI_BITFIELDS, bottom-up or top-down."""
        if blob[:2] != b"BM":
            raise ValueError("not a BMP file")
        off_bits = int.from_bytes(blob[10:14], "little")
        header_size = int.from_bytes(blob[14:18], "little")
        width = int.from_bytes(blob[18:22], "little", signed=True)
        height = int.from_bytes(blob[22:26], "little", signed=True)
        bpp = int.from_bytes(blob[28:30], "little")
        compression = int.from_bytes(blob[30:34], "little")
        top_down = height < 0
        height = abs(height)
        if bpp not in (24, 32) or compression not in (0, 3):
            raise ValueError("unsupported BMP: %d bpp, compression %d" % (bpp, compression))
        masks = (0xFF0000, 0xFF00, 0xFF)
        if compression == 3:
            # After a 40-byte header, or inside a V4/V5 header: the same offset.
            at = 14 + 40
            masks = tuple(int.from_bytes(blob[at + 4 * k:at + 4 * k + 4], "little") for k in range(3))
        shifts = [(m & -m).bit_length() - 1 for m in masks]
        stride = ((width * bpp + 31) // 32) * 4
        step = bpp // 8
        out = bytearray(width * height * 3)
        for row in range(height):
            src_row = row if top_down else height - 1 - row
            start = off_bits + src_row * stride
            line = blob[start:start + width * step]
            dst = row * width * 3
            if compression == 0:
                out[dst + 0:dst + width * 3:3] = line[2::step]
                out[dst + 1:dst + width * 3:3] = line[1::step]
                out[dst + 2:dst + width * 3:3] = line[0::step]
            else:
                for x in range(width):
                    v = int.from_bytes(line[x * 4:x * 4 + 4], "little")
                    for c in range(3):
                        out[dst + x * 3 + c] = (v & masks[c]) >> shifts[c]
        return Image(width, height, out)

    @staticmethod
    def from_ppm(blob):
        m = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s", blob)
        if not m:
            raise ValueError("not a binary PPM")
        width, height, maxval = int(m.group(1)), int(m.group(2)), int(m.group(3))
        if maxval != 255:
            raise ValueError("PPM with maxval %d" % maxval)
        return Image(width, height, blob[m.end():m.end() + width * height * 3])

    @staticmethod
    def from_file(path):
        """Any file ImageMagick reads (PNG, JPEG, BMP...), as 8-bit RGB."""
        out = subprocess.run([CONVERT, path, "-depth", "8", "-alpha", "off", "ppm:-"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True, timeout=60)
        return Image.from_ppm(out.stdout)

    def to_ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data

    def save(self, path):
        """Writes the image; the format follows the file name (PNG, BMP, PPM...)."""
        subprocess.run([CONVERT, "ppm:-", path], input=self.to_ppm(), check=True, timeout=60)


class Bench:
    """Xvfb + Wine prefix + the program, its configuration, input and inspection."""

    def __init__(self, width=1280, height=800, prefix=None):
        self.width, self.height = width, height
        self.prefix = os.path.abspath(prefix or os.environ.get("VISTREL_WINEPREFIX")
                                      or os.path.join(REPO, "build", "wineprefix-" + WINEARCH))
        if not prefix and os.environ.get("VISTREL_WINE_SLOT"):
            # ctest runs two groups of test files side by side, one prefix each.
            self.prefix += "-" + os.environ["VISTREL_WINE_SLOT"]
        self.exe = _find_exe("VISTREL_EXE", "vistrel.exe")
        self.testhooks_exe = _find_exe("VISTREL_TESTHOOKS_EXE", "vistrel_testhooks.exe")
        self.probe_exe = _find_exe("VISTREL_PROBE", os.path.join("tests", "e2e", "vistrel_probe.exe"))
        self.display = None
        self.timings = {}
        self._xvfb = None
        self._processes = []  # every process started, ended by pid at stop()
        self._program = None
        self._program_wpid = None
        self._fixture = None
        self._fixture_tray = False
        self.fixture = None
        self.fixture_events = []
        self._events_lock = threading.Lock()
        self._compositor = None
        self._tmp = tempfile.mkdtemp(prefix="vistrel-e2e-")

    # ---- life cycle -----------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        # A failing setUpClass skips tearDownClass: end everything at exit then,
        # and on SIGTERM (a ctest timeout) too.
        self._stopped = False
        atexit.register(self.stop)
        if signal.getsignal(signal.SIGTERM) is signal.SIG_DFL:
            signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        try:
            self._start_xvfb()
            self._start_wine()
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        if getattr(self, "_stopped", True):
            return
        self._stopped = True
        atexit.unregister(self.stop)
        if os.environ.get("VISTREL_KEEP_BENCH") == "1":
            print("bench kept: DISPLAY=%s WINEPREFIX=%s" % (self.display, self.prefix))
            return
        self._stop_compositor()
        for proc in reversed(self._processes):
            self._end(proc)
        self._processes = []
        self._program = self._fixture = None
        if os.path.isdir(self.prefix):
            subprocess.run([WINESERVER, "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
            with contextlib.suppress(subprocess.TimeoutExpired):
                subprocess.run([WINESERVER, "-w"], env=self.env(), timeout=15)
        if self._xvfb:
            self._end(self._xvfb, sig=signal.SIGTERM)
            self._xvfb = None
        shutil.rmtree(self._tmp, ignore_errors=True)

    def env(self):
        e = dict(os.environ)
        e.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": WINEARCH,
            "WINELOADER": WINE,
            "WINESERVER": WINESERVER,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": "C.UTF-8",
        })
        e.pop("LC_ALL", None)
        if self.display:
            e["DISPLAY"] = self.display
        return e

    def _start_xvfb(self):
        # -displayfd: Xvfb picks a free display itself (it honours the lock files).
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline or self._xvfb.poll() is not None:
                os.close(read_end)
                raise RuntimeError("Xvfb did not start")
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self._run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOR])

    def _start_wine(self):
        env = self.env()
        # Leftovers of an earlier run in this prefix would still talk to another display.
        subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        with contextlib.suppress(subprocess.TimeoutExpired):
            subprocess.run([WINESERVER, "-w"], env=env, timeout=15)
        started = time.monotonic()
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
            boot = self._spawn([WINE, "wineboot", "-u"])
            try:
                boot.wait(timeout=300)
            except subprocess.TimeoutExpired:
                raise RuntimeError("Wine prefix creation took over 300 s") from None
            self.timings["prefix_created"] = time.monotonic() - started
        self._install_wine_fonts()
        # A persistent server keeps the prefix's services (and the tray) alive
        # between program runs.
        subprocess.run([WINESERVER, "-p"], env=env, timeout=30)
        self.wait_until(lambda: os.path.exists(self.documents_dir) or None, timeout=60,
                        what="the prefix's Documents folder")
        self.timings["wine_ready"] = time.monotonic() - started

    def _install_wine_fonts(self):
        """Debian's Wine does not find the fonts of its fonts-wine package by
        itself; without them "MS Sans Serif" falls back to a wider face and the
        windows' texts no longer fit their layouts. Copied into the prefix."""
        fonts = os.path.join(self.prefix, "drive_c", "windows", "Fonts")
        if not os.path.isdir(WINE_FONTS) or not os.path.isdir(os.path.dirname(fonts)):
            return
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir(WINE_FONTS):
            if not os.path.exists(os.path.join(fonts, name)):
                shutil.copy(os.path.join(WINE_FONTS, name), fonts)

    def _spawn(self, argv, stdout=subprocess.DEVNULL, cwd=None):
        proc = subprocess.Popen(argv, env=self.env(), stdin=subprocess.DEVNULL, stdout=stdout,
                                stderr=subprocess.DEVNULL, cwd=cwd or self._tmp,
                                start_new_session=True)
        self._processes.append(proc)
        return proc

    def _end(self, proc, sig=signal.SIGKILL):
        if proc.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.kill(proc.pid, sig)
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.kill(proc.pid, signal.SIGKILL)
                proc.wait(timeout=10)
        if proc.stdout is not None:
            with contextlib.suppress(OSError, ValueError):
                proc.stdout.close()
        if proc in self._processes:
            self._processes.remove(proc)

    def _run(self, argv, timeout=30, check=True, input=None):
        out = subprocess.run(argv, env=self.env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             timeout=timeout, input=input)
        if check and out.returncode != 0:
            raise RuntimeError("%s failed (%d): %s" % (" ".join(argv), out.returncode,
                                                      out.stderr.decode(errors="replace").strip()))
        return out

    # ---- waiting --------------------------------------------------------------

    @staticmethod
    def wait_until(predicate, timeout=10, interval=0.1, what="the condition"):
        """Polls predicate until it returns something truthy, which is returned."""
        deadline = time.monotonic() + timeout
        last_error = None
        while True:
            try:
                value = predicate()
                if value:
                    return value
            except ProbeError as e:
                last_error = e
            if time.monotonic() > deadline:
                extra = " (last probe error: %s)" % last_error if last_error else ""
                raise AssertionError("timed out after %g s waiting for %s%s" % (timeout, what, extra))
            time.sleep(interval)

    # ---- the program ----------------------------------------------------------

    def start_program(self, exe=None, wait_armed=True, timeout=30, cwd=None):
        """Starts the program (default VISTREL_EXE); waits for its TForm1 window
        and, with wait_armed, for its tray icon. Returns the TForm1 window.
        cwd: its current folder (Linux path; default the executable's)."""
        self.stop_program()
        exe = exe or self.exe
        if not exe or not os.path.isfile(exe):
            raise RuntimeError("no program executable (set VISTREL_EXE or build the win64 tree)")
        started = time.monotonic()
        self._program = self._spawn([WINE, exe], cwd=cwd or os.path.dirname(exe))
        self._program_wpid = None

        def form1():
            if self._program.poll() is not None:
                raise AssertionError("the program exited with status %s" % self._program.returncode)
            found = self.probe("windows", "--class", "TForm1", "--exe", os.path.basename(exe))
            return found[0] if found else None

        window = self.wait_until(form1, timeout=timeout, what="the TForm1 window")
        self._program_wpid = window["pid"]
        self.timings["program_window"] = time.monotonic() - started
        if wait_armed:
            self.wait_until(self.tray_icon, timeout=timeout, what="the program's tray icon")
            self.timings["program_armed"] = time.monotonic() - started
        return window

    def start_testhooks_program(self, wait_armed=True, timeout=30):
        if not self.testhooks_exe:
            raise RuntimeError("no vistrel_testhooks.exe (set VISTREL_TESTHOOKS_EXE)")
        return self.start_program(self.testhooks_exe, wait_armed=wait_armed, timeout=timeout)

    def program_running(self):
        return self._program is not None and self._program.poll() is None

    def program_exit_code(self):
        return None if self._program is None else self._program.poll()

    @property
    def program_pid(self):
        """The program's Windows process id (what the probe reports)."""
        return self._program_wpid

    def wait_program_exit(self, timeout=10):
        self.wait_until(lambda: not self.program_running(), timeout=timeout,
                        what="the program to exit")

    def stop_program(self):
        """Ends the program at once (its tray icon goes with it under Wine)."""
        if self._program is not None:
            self._end(self._program)
            self._program = None
            self._program_wpid = None
            if not self._fixture_tray:
                self.wait_until(lambda: self.tray_icon() is None, timeout=10,
                                what="the tray icon to go after the program ended")

    def reset(self):
        """Between tests: no program, no configuration file, no fixture."""
        self.stop_program()
        self.stop_fixture()
        self.remove_config()

    # ---- configuration --------------------------------------------------------

    @property
    def windows_dir(self):
        return os.path.join(self.prefix, "drive_c", "windows")

    @property
    def config_path(self):
        return os.path.join(self.windows_dir, "Vistrel.cfg")

    def write_config(self, text, crlf=True, encoding="cp1252"):
        data = text.replace("\r\n", "\n")
        if crlf:
            data = data.replace("\n", "\r\n")
        with open(self.config_path, "wb") as f:
            f.write(data.encode(encoding))

    def write_settings(self, **keys):
        """[Settings] with the given keys in order, e.g. write_settings(Vistrel="F11")."""
        lines = ["[Settings]"] + ["%s=%s" % (k, v) for k, v in keys.items()]
        self.write_config("\n".join(lines) + "\n")

    def read_config(self, encoding="cp1252"):
        """The file's text (CRLF kept), or None when it does not exist."""
        raw = self.read_config_bytes()
        return None if raw is None else raw.decode(encoding)

    def read_config_bytes(self):
        try:
            with open(self.config_path, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def read_settings(self):
        """The [Settings] keys as a dict (names as written), or None without a file."""
        text = self.read_config()
        if text is None:
            return None
        values, section = {}, None
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].strip().lower()
            elif section == "settings" and "=" in line:
                key, value = line.split("=", 1)
                values[key.strip()] = value.strip()
        return values

    def remove_config(self):
        with contextlib.suppress(FileNotFoundError):
            os.remove(self.config_path)

    # ---- paths ----------------------------------------------------------------

    @property
    def documents_dir(self):
        """C:\\users\\<user>\\Documents on the Linux side."""
        users = os.path.join(self.prefix, "drive_c", "users")
        for name in sorted(os.listdir(users)) if os.path.isdir(users) else []:
            if name != "Public" and os.path.isdir(os.path.join(users, name, "Documents")):
                return os.path.join(users, name, "Documents")
        return os.path.join(users, os.environ.get("USER", "root"), "Documents")

    def linux_path(self, win_path):
        drive, rest = win_path[:2].upper(), win_path[2:].replace("\\", "/").lstrip("/")
        if drive == "C:":
            return os.path.join(self.prefix, "drive_c", rest)
        if drive == "Z:":
            return "/" + rest
        raise ValueError("no Linux path for %r" % win_path)

    def windows_path(self, linux_path):
        linux_path = os.path.abspath(linux_path)
        drive_c = os.path.join(self.prefix, "drive_c")
        if linux_path == drive_c or linux_path.startswith(drive_c + "/"):
            return "C:\\" + os.path.relpath(linux_path, drive_c).replace("/", "\\").lstrip(".")
        return "Z:" + linux_path.replace("/", "\\")

    # ---- probe ----------------------------------------------------------------

    def probe(self, *args, timeout=30, check=True):
        """Runs the probe and returns its JSON answer (the first JSON line)."""
        if not self.probe_exe or not os.path.isfile(self.probe_exe):
            raise RuntimeError("no vistrel_probe.exe (set VISTREL_PROBE or build the win64 tree)")
        out = subprocess.run([WINE, self.probe_exe] + [str(a) for a in args], env=self.env(),
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=timeout, cwd=self._tmp)
        for line in out.stdout.decode("utf-8", errors="replace").splitlines():
            if line[:1] in "[{":
                value = json.loads(line)
                if check and isinstance(value, dict) and "error" in value:
                    raise ProbeError("probe %s: %s" % (" ".join(map(str, args)), value["error"]))
                return value
        raise ProbeError("probe %s gave no JSON (status %d)" % (" ".join(map(str, args)),
                                                                  out.returncode))

    def _target(self):
        return ["--pid", self._program_wpid] if self._program_wpid and self.program_running() else []

    def windows(self, cls=None, children=False):
        """Top-level windows of the program, visible or not."""
        args = ["windows"] + self._target()
        if cls:
            args += ["--class", cls]
        if children:
            args.append("--children")
        return self.probe(*args)

    def window(self, cls, children=False):
        """The program's one top-level window of class cls, or None."""
        found = self.windows(cls, children)
        if len(found) > 1:
            raise AssertionError("%d windows of class %s" % (len(found), cls))
        return found[0] if found else None

    def visible(self, cls):
        """The window of that class when it is visible, else None."""
        window = self.window(cls)
        return window if window and window["visible"] else None

    def hidden(self, cls):
        """The window of that class when it exists hidden, else None."""
        window = self.window(cls)
        return window if window and not window["visible"] else None

    def holds_still(self, predicate, seconds=0.6):
        """True when predicate() stays true for that long, polled: for what must
        not happen (a capture that must not start, a window that must stay)."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if not predicate():
                return False
            time.sleep(0.1)
        return predicate()

    def child(self, cls_or_window, text=None, ctl_class=None, id=None):
        """A child control of a form (given by class or by its window() dict)."""
        win = cls_or_window if isinstance(cls_or_window, dict) else self.window(cls_or_window, True)
        if win is None:
            raise AssertionError("no window %s" % cls_or_window)
        for c in win.get("children") or []:
            if ((text is None or c["text"] == text) and (id is None or c["id"] == id) and
                    (ctl_class is None or c["class"].lower() == ctl_class.lower())):
                return c
        return None

    def msgboxes(self):
        return self.probe("msgboxes", *self._target())

    def wait_msgbox(self, timeout=10):
        """The first message box of the program, once one is open."""
        return self.wait_until(lambda: (self.msgboxes() or [None])[0], timeout=timeout,
                               what="a message box")

    def close_msgboxes(self, button=None, timeout=10):
        """Presses button (default: the first one) in every open box until none is left."""
        def closed():
            boxes = self.msgboxes()
            if not boxes:
                return True
            args = ["msgbox-close"] + self._target()
            if button:
                args += ["--button", button]
            self.probe(*args, check=False)
            return False
        self.wait_until(closed, timeout=timeout, interval=0.3, what="the message boxes to close")

    def click_control(self, hwnd):
        """BM_CLICK, posted: a box opened by the click does not block."""
        return self.probe("click", "--hwnd", hwnd)

    def send_message(self, hwnd, msg, wparam=0, lparam=0, timeout_ms=5000):
        return self.probe("send", "--hwnd", hwnd, "--msg", msg, "--wparam", wparam,
                          "--lparam", lparam, "--timeout", timeout_ms)

    def post_message(self, hwnd, msg, wparam=0, lparam=0):
        return self.probe("post", "--hwnd", hwnd, "--msg", msg, "--wparam", wparam,
                          "--lparam", lparam)

    def send_copydata(self, hwnd, data, text, wait_ms=1000):
        return self.probe("send-copydata", "--hwnd", hwnd, "--data", data, "--text", text,
                          "--wait", wait_ms)

    def raise_test_error(self, text):
        """Test build only: its error trigger raises vistrel::Error(text) inside
        the program's error boundary."""
        trigger = self.window("VistrelTestHooks")
        return self.send_copydata(trigger["hwnd"], TEST_ERROR_DATA, text)

    def menus(self):
        """Open popup menus of the program: hwnd, rect, items (text, id,
        separator, enabled, checked, rect in screen coordinates)."""
        return self.probe("menu", *self._target())

    def wait_menu(self, timeout=10):
        """The first open popup menu, once one is shown with its items."""
        return self.wait_until(lambda: next((m for m in self.menus() if m["items"]), None),
                               timeout=timeout, what="a popup menu")

    def click_menu_item(self, text, button=1):
        """Clicks the item of the open menu captioned text, as a user would."""
        menu = self.wait_menu()
        for item in menu["items"]:
            if item["text"] == text:
                left, top, right, bottom = item["rect"]
                self.click((left + right) // 2, (top + bottom) // 2, button)
                return item
        raise AssertionError("no item %r in the menu %s" % (text, [i["text"] for i in menu["items"]]))

    def clipboard_info(self):
        return self.probe("clipboard-info")

    def clipboard_dib(self):
        """The clipboard's CF_DIB read through Win32, as an Image (None if absent)."""
        blob = self.clipboard_dib_bytes()
        return Image.from_bmp(blob) if blob else None

    def clipboard_dib_bytes(self):
        """The clipboard's CF_DIB read through Win32, as a BMP file's bytes
        (None if absent)."""
        path = os.path.join(self._tmp, "clipboard.bmp")
        answer = self.probe("clipboard-save", "--path", self.windows_path(path), check=False)
        if "error" in answer:
            return None
        with open(path, "rb") as f:
            return f.read()

    def program_linux_stats(self):
        """The program's Linux process: VmRSS and VmSize in kB, open fds. Under
        Wine GetGuiResources, the handle count and private bytes all read 0, so
        leak checks have this and gui_resources()["working_set"]."""
        pid = self._program.pid
        stats = {}
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "VmSize"):
                    stats[key] = int(value.split()[0])
        stats["fds"] = len(os.listdir("/proc/%d/fd" % pid))
        return stats

    def clear_clipboard(self):
        return self.probe("clipboard-clear")

    def gui_resources(self):
        return self.probe("gui-resources", *self._target())

    @contextlib.contextmanager
    def clipboard_held(self, seconds=30):
        """Keeps the clipboard open in another process for the with-block."""
        proc = self._spawn([WINE, self.probe_exe, "hold-clipboard", "--seconds", str(seconds)],
                           stdout=subprocess.PIPE)
        try:
            line = proc.stdout.readline().decode(errors="replace")
            if '"held"' not in line:
                raise AssertionError("the probe could not open the clipboard: %r" % line)
            yield
        finally:
            self._end(proc)
            proc.stdout.close()

    @contextlib.contextmanager
    def clipboard_reader(self, seconds=120):
        """Another program reading the clipboard's image at every change, for
        the with-block. Yields the list its reads go into, one dict each
        (sequence, ms, width, height, crc: see pixel_crc()); complete once the
        block has ended."""
        proc = self._spawn([WINE, self.probe_exe, "clipboard-reader", "--seconds", str(seconds)],
                           stdout=subprocess.PIPE)
        reads = []
        line = proc.stdout.readline().decode(errors="replace")
        if '"reading"' not in line:
            self._end(proc)
            raise AssertionError("the clipboard reader did not start: %r" % line)

        def collect():
            for raw in proc.stdout:
                with contextlib.suppress(ValueError):
                    read = json.loads(raw.decode("utf-8", errors="replace"))
                    if "sequence" in read:
                        reads.append(read)
        collector = threading.Thread(target=collect, daemon=True)
        collector.start()
        try:
            yield reads
        finally:
            self._end(proc)
            collector.join(timeout=10)

    # ---- fixture window -------------------------------------------------------

    def start_fixture(self, x=60, y=80, w=300, h=200, title="Vistrel fixture", solid=None,
                      topmost=False, tray=False, alpha=None, colorkey=None, controls=False,
                      focus=True, timeout=30, close_on_key=None, animate=None):
        """Opens the fixture window (client area at x, y, w x h) and returns its
        'ready' record: hwnd, pid, rect and client (screen), x11_window. With
        close_on_key (a virtual-key code) it destroys itself at that key's press;
        with animate (milliseconds) its client area changes colour that often."""
        self.stop_fixture()
        argv = [WINE, self.probe_exe, "fixture", "--x", str(x), "--y", str(y), "--w", str(w),
                "--h", str(h), "--title", title]
        if solid is not None:
            argv += ["--solid", "0x%02X%02X%02X" % tuple(solid)]
        if topmost:
            argv.append("--topmost")
        if tray:
            argv.append("--tray")
        if controls:
            argv.append("--controls")
        if alpha is not None:
            argv += ["--alpha", str(alpha)]
        if colorkey is not None:
            argv += ["--colorkey", "0x%02X%02X%02X" % tuple(colorkey)]
        if close_on_key is not None:
            argv += ["--close-on-key", str(close_on_key)]
        if animate is not None:
            argv += ["--animate", str(animate)]
        self._fixture = self._spawn(argv, stdout=subprocess.PIPE)
        self._fixture_tray = tray
        with self._events_lock:
            self.fixture_events = []
        threading.Thread(target=self._read_fixture, args=(self._fixture,), daemon=True).start()
        ready = self.wait_until(lambda: self.fixture_event("ready"), timeout=timeout,
                                what="the fixture window")
        self.fixture = ready
        if focus:
            self.focus_fixture()
        return ready

    def _read_fixture(self, proc):
        for line in proc.stdout:
            with contextlib.suppress(ValueError):
                event = json.loads(line.decode("utf-8", errors="replace"))
                with self._events_lock:
                    self.fixture_events.append(event)

    def fixture_event(self, name, since=0):
        """The first event of that name (from index since on), or None."""
        with self._events_lock:
            for event in self.fixture_events[since:]:
                if event.get("event") == name:
                    return event
        return None

    def fixture_window_id(self):
        if self.fixture.get("x11_window"):
            return str(self.fixture["x11_window"])
        out = self._run(["xdotool", "search", "--name", "^Vistrel fixture$"], check=False)
        ids = out.stdout.split()
        if not ids:
            raise AssertionError("no X window for the fixture")
        return ids[0].decode()

    def x_window_shown(self, title):
        """True once an X window of exactly that title is mapped: a look at the
        screen itself, quicker than asking Wine through the probe."""
        out = self._run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)],
                        check=False)
        return bool(out.stdout.split())

    def focus_window(self, cls):
        """Gives the program's window of that class the X keyboard focus, as a
        window manager does at a click (Xvfb has none), and waits until the
        window is active in Wine."""
        window = self.wait_until(lambda: self.visible(cls), what="%s to show" % cls)
        self._run(["xdotool", "windowfocus", "--sync", str(window["x11_window"])])
        self.wait_until(lambda: self.probe("focus", "--hwnd", window["hwnd"])["active"] ==
                        window["hwnd"], what="%s active" % cls)
        return window

    def focus_of(self, window):
        """The child control of the window's thread's active window that holds
        the keyboard focus (a combo box for its edit field), or None."""
        return self.probe("focus", "--hwnd", window["hwnd"])["control"] or None

    def focus_fixture(self):
        """Gives the fixture the X keyboard focus; Wine sees keys only then."""
        self._run(["xdotool", "windowfocus", "--sync", self.fixture_window_id()])

    def activate_fixture(self):
        """Makes the fixture the foreground window with the keyboard, as a
        user's click does (without a window manager the X focus alone does not)."""
        client = self.fixture["client"]
        self.click(client[0] + 5, client[1] + 5)
        self.focus_fixture()
        self.wait_until(lambda: self.probe("info")["foreground"] == self.fixture["hwnd"],
                        what="the fixture in the foreground")

    def stop_fixture(self):
        if self._fixture is not None:
            self._end(self._fixture)
            self._fixture.stdout.close()
            self._fixture = None
            self._fixture_tray = False

    # ---- input ----------------------------------------------------------------

    def key(self, name):
        self._run(["xdotool", "key", name])

    def keydown(self, name):
        self._run(["xdotool", "keydown", name])

    def keyup(self, name):
        self._run(["xdotool", "keyup", name])

    def type_text(self, text):
        self._run(["xdotool", "type", "--delay", "30", text])

    def press_hotkey(self, key="F12", modifiers=(), hold=0.3):
        """Presses key with the modifiers held around it. The program polls
        every 100 ms, so the modifiers are held for `hold` seconds on each side."""
        if isinstance(modifiers, str):
            modifiers = (modifiers,)
        for m in modifiers:
            self.keydown(m)
        try:
            if modifiers:
                time.sleep(hold)
            self.key(key)
            if modifiers:
                time.sleep(hold)
        finally:
            for m in reversed(modifiers):
                self.keyup(m)

    def press_hotkey_handled(self, key="F12", modifiers=()):
        """Presses the hot key and returns once the capture it starts has run to
        its end: the clipboard has taken it, and the program's window answers a
        message again, so its settings were read before anything changes them."""
        sequence = self.probe("clipboard-sequence")["sequence"]
        self.press_hotkey(key, modifiers)
        self.wait_until(lambda: self.probe("clipboard-sequence")["sequence"] != sequence,
                        what="the capture on the clipboard")
        answer = self.send_message(self.window("TForm1")["hwnd"], WM_NULL, timeout_ms=20000)
        if not answer.get("done"):
            raise AssertionError("the program did not answer after the capture")

    def wait_burst_end(self, progress, keys=(VK_F12,)):
        """Once a held key is up: progress() (what the burst changes, such as a
        file count) holds still for a second, so the last capture finished;
        then the keys' pressed-since bits, which the held key's repeats leave
        set, are cleared, so the next tick starts no capture of its own."""
        def still_for_a_second():
            now = progress()
            return self.holds_still(lambda: progress() == now, 1.0)
        self.wait_until(still_for_a_second, timeout=30, what="the burst's end")
        self.probe("key-state", *keys)

    def mouse_move(self, x, y):
        # A synchronous move onto the pointer's own place waits for a motion
        # that never comes.
        if self.cursor_position() != (x, y):
            self._run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def mouse_down(self, button=1):
        self._run(["xdotool", "mousedown", str(button)])

    def mouse_up(self, button=1):
        self._run(["xdotool", "mouseup", str(button)])

    def click(self, x, y, button=1):
        self.mouse_move(x, y)
        self._run(["xdotool", "click", str(button)])

    def cursor_position(self):
        out = self._run(["xdotool", "getmouselocation", "--shell"]).stdout.decode()
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    # ---- tray -----------------------------------------------------------------

    def tray_x_window(self):
        """The X window id of Wine's tray window, shown or not, or None."""
        out = self._run(["xwininfo", "-root", "-tree"], check=False).stdout.decode(errors="replace")
        for line in out.splitlines():
            if '"Wine System Tray"' in line:
                return line.split()[0]
        return None

    @contextlib.contextmanager
    def x_window_events(self, window_id):
        """Records what happens to an X window during the with-block (xev's
        structure events: MapNotify, UnmapNotify, ConfigureNotify...); yields
        a list that holds the event names once the block has ended."""
        proc = self._spawn(["xev", "-id", str(window_id), "-event", "structure", "-event",
                            "property"], stdout=subprocess.PIPE)
        lines = []
        threading.Thread(target=lambda: lines.extend(iter(proc.stdout.readline, b"")),
                         daemon=True).start()

        def marked(tag):
            # A property of the tests' own set on the window: once xev reports
            # it, every event before it has been reported too.
            self._run(["xprop", "-id", str(window_id), "-f", "_VISTREL_MARK", "8s", "-set",
                       "_VISTREL_MARK", tag])
            return sum(b"PropertyNotify" in line for line in lines)

        self.wait_until(lambda: marked("start"), what="xev watching the window")
        events = []
        try:
            yield events
            seen = sum(b"PropertyNotify" in line for line in lines)
            self.wait_until(lambda: marked("end") > seen, what="xev's last events")
        finally:
            self._end(proc)
        events.extend(line.split()[0].decode() for line in list(lines)
                      if line[:1].isalpha() and b" event, serial" in line)

    def tray_window(self):
        """Geometry (x, y, w, h) of Wine's tray window while it is shown, else None."""
        out = self._run(["xwininfo", "-root", "-tree"], check=False).stdout.decode(errors="replace")
        for line in out.splitlines():
            if '"Wine System Tray"' in line:
                wid = line.split()[0]
                info = self._run(["xwininfo", "-id", wid], check=False).stdout.decode()
                if "IsViewable" not in info:
                    return None
                m = re.search(r"-geometry (\d+)x(\d+)[+-](-?\d+)[+-](-?\d+)", info)
                ax = re.search(r"Absolute upper-left X:\s+(-?\d+)", info)
                ay = re.search(r"Absolute upper-left Y:\s+(-?\d+)", info)
                if m and ax and ay:
                    return (int(ax.group(1)), int(ay.group(1)), int(m.group(1)), int(m.group(2)))
        return None

    def tray_icon(self, index=0):
        """Screen centre (x, y) of a tray icon (the first by default), or None.
        Icons sit side by side in 20 x 20 cells from the tray window's left."""
        tray = self.tray_window()
        if tray is None:
            return None
        x, y, w, h = tray
        cell = h
        if (index + 1) * cell > w:
            return None
        return (x + index * cell + cell // 2, y + h // 2)

    def click_tray_icon(self, button=1):
        position = self.wait_until(self.tray_icon, what="the tray icon")
        self.click(position[0], position[1], button)

    # ---- clipboard and screen -------------------------------------------------

    def clipboard_targets(self):
        out = self._run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"], check=False,
                        timeout=15)
        return out.stdout.decode(errors="replace").split() if out.returncode == 0 else []

    def clipboard_bmp(self):
        """The clipboard as X offers it (image/bmp), or None."""
        out = self._run(["xclip", "-selection", "clipboard", "-t", "image/bmp", "-o"], check=False,
                        timeout=15)
        if out.returncode != 0 or not out.stdout.startswith(b"BM"):
            return None
        return Image.from_bmp(out.stdout)

    def screenshot(self):
        """The whole root window."""
        out = self._run(["import", "-display", self.display, "-window", "root", "-depth", "8",
                         "ppm:-"], timeout=60)
        return Image.from_ppm(out.stdout)

    def save_screenshot(self, path):
        self._run(["import", "-display", self.display, "-window", "root", path], timeout=60)

    @contextlib.contextmanager
    def use_compositor(self):
        """xcompmgr on the display, for per-window alpha. The clipboard is not
        offered to X while it runs, so keep clipboard checks outside."""
        proc = self._spawn(["xcompmgr"])
        self._compositor = proc
        corner = (self.width - 1, self.height - 1)
        try:
            # xcompmgr paints its own background over the root colour.
            self.wait_until(lambda: self.screenshot().pixel(*corner) != ROOT_COLOR, timeout=15,
                            interval=0.2, what="the compositor to paint")
            yield
        finally:
            self._stop_compositor()

    def _stop_compositor(self):
        if self._compositor is not None:
            self._end(self._compositor, sig=signal.SIGTERM)
            self._compositor = None
            with contextlib.suppress(Exception):
                self._run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOR])


class BenchTestCase(unittest.TestCase):
    """One bench for a whole test class: Xvfb, the Wine server and the prefix
    are started once; tests reset the program and its configuration."""

    bench_size = (1280, 800)

    @classmethod
    def setUpClass(cls):
        cls.bench = Bench(*cls.bench_size)
        cls.addClassCleanup(cls.bench.stop)
        cls.bench.start()
