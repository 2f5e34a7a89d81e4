"""What the release tests share: where the release and its builds are, and
the date its zip entries must carry."""

import os
import subprocess
import time

REPO = os.environ.get("VISTREL_REPO") or os.path.dirname(
    os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD_ROOT = os.environ.get("VISTREL_BUILD_ROOT") or os.path.join(REPO, "build")
DIST = os.environ.get("VISTREL_RELEASE_DIST") or os.path.join(REPO, "dist")
ARCHES = ("win32", "win64")
ZIP_EPOCH = 315532800  # 1980-01-01, what release.sh takes without git history
ENTRIES = ["LICENSE.txt", "LISEZMOI.txt", "README.txt", "vistrel.exe"]
PE_MACHINES = {"win32": 0x14C, "win64": 0x8664}


def project_version():
    """The version in project() of the top-level CMakeLists.txt."""
    version = os.environ.get("VISTREL_VERSION")
    if version:
        return version
    with open(os.path.join(REPO, "CMakeLists.txt")) as f:
        for line in f:
            if line.startswith("project(") and " VERSION " in line:
                return line.split(" VERSION ")[1].split()[0]
    raise AssertionError("no project version in CMakeLists.txt")


def zip_path(arch, dist=None):
    return os.path.join(dist or DIST, "Vistrel-%s-%s.zip" % (project_version(), arch))


def source_date_epoch():
    """The date release.sh gives the zip entries: SOURCE_DATE_EPOCH, else the
    commit's time when the tree is a git checkout of its own, else 1980."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    git = lambda *args: subprocess.run(["git", "-C", REPO] + list(args), stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, text=True)
    top = git("rev-parse", "--show-toplevel")
    if top.returncode == 0 and top.stdout.strip() == os.path.realpath(REPO):
        return int(git("log", "-1", "--format=%ct").stdout.strip())
    return ZIP_EPOCH


def zip_date_time(epoch):
    """The epoch as a zip entry stores it: UTC, seconds rounded down to even."""
    t = time.gmtime(max(epoch, ZIP_EPOCH))
    return (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec // 2 * 2)


def pe_header(blob):
    """(machine, time stamp, sections) of a PE image; sections as
    (name, file offset, size in the file)."""
    offset = int.from_bytes(blob[0x3C:0x40], "little")
    if blob[:2] != b"MZ" or blob[offset:offset + 4] != b"PE\0\0":
        raise AssertionError("not a PE image")
    machine = int.from_bytes(blob[offset + 4:offset + 6], "little")
    count = int.from_bytes(blob[offset + 6:offset + 8], "little")
    stamp = int.from_bytes(blob[offset + 8:offset + 12], "little")
    optional_size = int.from_bytes(blob[offset + 20:offset + 22], "little")
    table = offset + 24 + optional_size
    sections = []
    for i in range(count):
        entry = blob[table + 40 * i:table + 40 * (i + 1)]
        name = entry[:8].rstrip(b"\0").decode("ascii", "replace")
        size = int.from_bytes(entry[16:20], "little")
        start = int.from_bytes(entry[20:24], "little")
        sections.append((name, start, size))
    return machine, stamp, sections


def where_in_pe(blob, position):
    """The part of a PE image holding the byte at position, for messages."""
    try:
        _, _, sections = pe_header(blob)
    except AssertionError:
        return "offset %d" % position
    for name, start, size in sections:
        if start <= position < start + size:
            return "offset %d, section %s + %d" % (position, name, position - start)
    return "offset %d, headers" % position


def first_difference(a, b):
    """Index of the first differing byte, or None when equal."""
    if a == b:
        return None
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))
