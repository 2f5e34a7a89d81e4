#!/usr/bin/env python3
"""Writes the release zips and their SHA256SUMS, byte for byte the same on
every run: entries in a fixed order, all dated SOURCE_DATE_EPOCH, with fixed
attributes and no extra fields.

usage: package.py --version V --out DIR --guide TXT --guide-fr TXT --licence TXT
                  [--notices TXT] win32=PATH/vistrel.exe win64=PATH/vistrel.exe
The guides become README.txt (English) and LISEZMOI.txt (French).
SOURCE_DATE_EPOCH (seconds, UTC) dates the entries; 1980-01-01 without it.
"""

import argparse
import hashlib
import os
import sys
import time
import zipfile

# The zip format's dates start in 1980.
ZIP_EPOCH = 315532800
# PE machine types, to refuse an executable filed under the wrong architecture.
MACHINES = {"win32": 0x14C, "win64": 0x8664}


def pe_machine(blob):
    offset = int.from_bytes(blob[0x3C:0x40], "little")
    if blob[:2] != b"MZ" or blob[offset:offset + 4] != b"PE\0\0":
        raise ValueError("not a PE executable")
    return int.from_bytes(blob[offset + 4:offset + 6], "little")


def windows_text(text):
    """UTF-8 with a byte-order mark and CRLF line ends: Notepad on every
    Windows shows it right."""
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def write_zip(path, entries, date_time):
    """entries: {name: bytes}; written sorted by name."""
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as zf:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below means what it says
            mode = 0o755 if name.endswith(".exe") else 0o644
            info.external_attr = (0o100000 | mode) << 16
            zf.writestr(info, entries[name], compresslevel=9)
    os.replace(tmp, path)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--guide", required=True, help="the user guide; @VERSION@ is replaced")
    parser.add_argument("--guide-fr", required=True, help="the same guide in French")
    parser.add_argument("--licence", required=True)
    parser.add_argument("--notices", help="third-party notices, appended to the licence")
    parser.add_argument("programs", nargs="+", metavar="ARCH=EXE")
    args = parser.parse_args(argv)

    epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or ZIP_EPOCH)
    date_time = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    guides = {}
    for name, path in (("README.txt", args.guide), ("LISEZMOI.txt", args.guide_fr)):
        with open(path, encoding="utf-8") as f:
            guides[name] = windows_text(f.read().replace("@VERSION@", args.version))
    with open(args.licence, encoding="utf-8") as f:
        licence = f.read()
    if args.notices:
        with open(args.notices, encoding="utf-8") as f:
            licence += "\n\n" + f.read()
    licence = windows_text(licence)

    os.makedirs(args.out, exist_ok=True)
    zips = []
    for item in args.programs:
        arch, _, exe = item.partition("=")
        if arch not in MACHINES:
            parser.error("unknown architecture %r (win32 or win64)" % arch)
        with open(exe, "rb") as f:
            program = f.read()
        if pe_machine(program) != MACHINES[arch]:
            parser.error("%s is not a %s executable" % (exe, arch))
        name = "Vistrel-%s-%s.zip" % (args.version, arch)
        write_zip(os.path.join(args.out, name),
                  {"vistrel.exe": program, "LICENSE.txt": licence, **guides}, date_time)
        zips.append(name)

    sums = "".join("%s  %s\n" % (sha256(os.path.join(args.out, n)), n) for n in sorted(zips))
    with open(os.path.join(args.out, "SHA256SUMS"), "w", newline="\n") as f:
        f.write(sums)
    for name in sorted(zips):
        print("%s  %d bytes" % (name, os.path.getsize(os.path.join(args.out, name))))
    sys.stdout.write(sums)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
