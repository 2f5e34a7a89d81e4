"""The release as published: both zips hold the program as built, the user
guide in English and in French, in step, and the licence, in a fixed order and
date; SHA256SUMS lists them; the version is the project's everywhere; the
programs import system DLLs only."""

import hashlib
import os
import re
import subprocess
import tempfile
import unittest
import zipfile

from release_common import (ARCHES, BUILD_ROOT, DIST, ENTRIES, PE_MACHINES, REPO, pe_header,
                            project_version, source_date_epoch, zip_date_time, zip_path)


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


def hot_key_names():
    """The names of the program's hot-key table, from its source."""
    source = read(os.path.join(REPO, "src", "capture", "hotkeys.cpp"), "r")
    names = re.findall(r'\{"([^"]+)", \d+\}', source)
    if len(names) != 26:
        raise AssertionError("read %d hot-key names from hotkeys.cpp" % len(names))
    return names


def sections(guide):
    """[(heading, body)] of a guide: its headings are underlined with dashes;
    the first part, under the title, has none."""
    lines = guide.split("\n")
    heads = [i for i in range(1, len(lines) - 1)
             if lines[i] and lines[i + 1] == "-" * len(lines[i])]
    parts = [(None, lines[:heads[0] if heads else len(lines)])]
    for at, end in zip(heads, heads[1:] + [len(lines)]):
        parts.append((lines[at], lines[at + 2:end]))
    return [(heading, "\n".join(body)) for heading, body in parts]


def facts(text):
    """What a translation keeps as it is: the numbers, and the names of files,
    folders and keys (the words holding a backslash or a dot inside)."""
    words = (w.rstrip(".:!?") for w in re.findall(r"[^\s()\"«»,;<>]+", text))
    return set(re.findall(r"\d+", text)), {w for w in words if re.search(r"\.\w|\\", w)}


class ReleaseZipsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.version = project_version()
        cls.zips = {}
        for arch in ARCHES:
            with zipfile.ZipFile(zip_path(arch)) as zf:
                cls.zips[arch] = (zf.infolist(), {n: zf.read(n) for n in zf.namelist()},
                                  zf.comment)

    def test_the_sums_list_both_zips(self):
        expected = "".join("%s  %s\n" % (hashlib.sha256(read(zip_path(a))).hexdigest(),
                                         os.path.basename(zip_path(a))) for a in ARCHES)
        self.assertEqual(read(os.path.join(DIST, "SHA256SUMS"), "r"), expected)

    def test_entries_in_a_fixed_order_date_and_form(self):
        date_time = zip_date_time(source_date_epoch())
        for arch in ARCHES:
            infos, _, comment = self.zips[arch]
            with self.subTest(arch=arch):
                self.assertEqual([i.filename for i in infos], ENTRIES)
                self.assertEqual(comment, b"")
                for info in infos:
                    self.assertEqual(info.date_time, date_time, info.filename)
                    self.assertEqual(info.extra, b"", "no extra fields (they hold times)")
                    self.assertEqual(info.compress_type, zipfile.ZIP_DEFLATED)
                    self.assertEqual(info.create_system, 3)
                    mode = 0o100755 if info.filename.endswith(".exe") else 0o100644
                    self.assertEqual(info.external_attr >> 16, mode, info.filename)

    def test_the_program_is_the_build_without_time_stamp_or_build_paths(self):
        paths = {p.encode() for p in (REPO, os.path.realpath(REPO), BUILD_ROOT)}
        paths |= {p.decode().encode("utf-16-le") for p in list(paths)}
        for arch in ARCHES:
            program = self.zips[arch][1]["vistrel.exe"]
            with self.subTest(arch=arch):
                self.assertEqual(program, read(os.path.join(BUILD_ROOT, arch, "vistrel.exe")))
                machine, stamp, _ = pe_header(program)
                self.assertEqual(machine, PE_MACHINES[arch])
                self.assertEqual(stamp, 0, "the PE header's link time")
                for path in paths:
                    self.assertNotIn(path, program)

    def test_the_version_is_the_projects(self):
        numbers = [int(n) for n in self.version.split(".")]
        self.assertEqual(len(numbers), 4)
        for arch in ARCHES:
            program = self.zips[arch][1]["vistrel.exe"]
            with self.subTest(arch=arch):
                manifest = re.search(rb'<assemblyIdentity type="win32" name="Vistrel" '
                                     rb'version="([^"]*)"', program)
                self.assertEqual(manifest.group(1).decode(), self.version)
                # VS_FIXEDFILEINFO: signature, struct version, then the file
                # version and the product version, each as two 32-bit halves.
                at = program.index((0xFEEF04BD).to_bytes(4, "little"))
                halves = [int.from_bytes(program[at + 8 + 4 * k:at + 12 + 4 * k], "little")
                          for k in range(4)]
                for ms, ls in (halves[0:2], halves[2:4]):
                    self.assertEqual([ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF], numbers)
                string = "FileVersion\0".encode("utf-16-le")
                at = program.index(string) + len(string)
                at = (at + 3) & ~3  # the value starts on a 32-bit boundary
                value = program[at:at + 2 * len(self.version)].decode("utf-16-le")
                self.assertEqual(value, self.version)
                self.assertIn(("  Vistrel v" + self.version).encode("cp1252"), program,
                              "the preview window's text")

    def windows_text(self, blob):
        self.assertTrue(blob.startswith(b"\xef\xbb\xbf"), "UTF-8 with its byte-order mark")
        self.assertNotIn(b"\n", blob.replace(b"\r\n", b""), "CRLF line ends only")
        return blob[3:].decode("utf-8").replace("\r\n", "\n")

    def guide(self, entry, modifiers, function_keys, words):
        """The guide as both zips hold it, checked for what it must say."""
        guides = {arch: self.zips[arch][1][entry] for arch in ARCHES}
        self.assertEqual(guides["win32"], guides["win64"], "one guide for both")
        guide = self.windows_text(guides["win32"])
        self.assertNotIn("@VERSION@", guide)
        self.assertTrue(guide.startswith("Vistrel %s\n" % self.version))
        for arch in ARCHES:
            self.assertIn("Vistrel-%s-%s.zip" % (self.version, arch), guide)
        for modifier in modifiers:
            self.assertIn(modifier, guide)
        for name in hot_key_names():
            self.assertIn(function_keys if re.fullmatch(r"F\d+", name) else name, guide)
        for word in (r"C:\Windows\Vistrel.cfg", r"%LOCALAPPDATA%\VirtualStore\Windows\Vistrel.cfg",
                     r"Documents\Vistrel", "Close...") + words:
            self.assertIn(word, guide)

    def test_the_user_guide(self):
        self.guide("README.txt", ("Alt + hot key", "Ctrl + hot key", "Shift + hot key"),
                   "F1 to F12", ("Uninstalling",))

    def test_the_french_user_guide(self):
        self.guide("LISEZMOI.txt", ("Alt + touche", "Ctrl + touche", "Maj + touche"), "F1 à F12",
                   ("Désinstallation", "Impossible d'écrire dans Vistrel.cfg"))

    def test_the_two_guides_in_step(self):
        english = sections(self.windows_text(self.zips["win32"][1]["README.txt"]))
        french = sections(self.windows_text(self.zips["win32"][1]["LISEZMOI.txt"]))
        self.assertEqual(len(french), len(english), "the sections %s and %s"
                         % ([h for h, _ in english], [h for h, _ in french]))
        for (heading, body), (french_heading, french_body) in zip(english, french):
            with self.subTest(section=heading):
                for french_facts, english_facts in zip(facts(french_body), facts(body)):
                    self.assertEqual(french_facts, english_facts,
                                     "%r against %r" % (french_heading, heading))
        self.assertIn(("On Windows 10 and 11", "Sous Windows 10 et 11"),
                      [(e[0], f[0]) for e, f in zip(english, french)])

    def test_the_licence_with_the_notices_of_what_is_linked_in(self):
        licence = self.windows_text(self.zips["win32"][1]["LICENSE.txt"])
        self.assertEqual(self.zips["win64"][1]["LICENSE.txt"], self.zips["win32"][1]["LICENSE.txt"])
        self.assertTrue(licence.startswith(read(os.path.join(REPO, "LICENSE"), "r")))
        for notice in ("based in part on the work of the Independent JPEG Group",
                       "the mingw-w64 project", "winpthreads"):
            self.assertIn(notice, licence)

    def test_the_programs_import_system_dlls_only(self):
        with tempfile.TemporaryDirectory() as tmp:
            exes = []
            for arch in ARCHES:
                exe = os.path.join(tmp, arch, "vistrel.exe")
                os.makedirs(os.path.dirname(exe))
                with open(exe, "wb") as f:
                    f.write(self.zips[arch][1]["vistrel.exe"])
                exes.append(exe)
            check = subprocess.run([os.path.join(REPO, "tests", "build", "check_exe.sh")] + exes,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            self.assertEqual(check.returncode, 0, check.stdout)


if __name__ == "__main__":
    unittest.main()
