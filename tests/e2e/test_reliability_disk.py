"""Reliability against faults on disk: a drive that fills, a folder without
parent, a read-only or locked file of the target name, a path over the
system's limit, and a key held on a capture that cannot be written."""

import contextlib
import datetime
import hashlib
import os
import re
import subprocess
import unittest

from harness import WINE
from reliability import LONG, ReliabilityCase, file_complete


def names_between(start, count, ext):
    """The auto-record names of every millisecond from start on."""
    names = []
    for ms in range(count):
        t = start + datetime.timedelta(milliseconds=ms)
        names.append(t.strftime("%d.%m.%Y à %Hh %Mm %Ss ") + "%03d'.%s" % (t.microsecond // 1000, ext))
    return names


class DiskFaultTest(ReliabilityCase):
    """A drive that fills, a folder without parent, a read-only or locked file
    of the target name, a path over the system's limit: one message each, no
    earlier file damaged, the program still armed and capturing."""

    def fingerprint(self, folder):
        out = {}
        for path in self.files(folder):
            with open(path, "rb") as f:
                out[path] = hashlib.sha1(f.read()).hexdigest()
        return out

    def good_capture(self, folder_win, fmt="bmp", folder=None):
        """A capture that writes a file into the folder (its Linux path given
        when it is not on C:); returns the file's path."""
        b = self.bench
        folder = folder or b.linux_path(folder_win)
        b.write_settings(AutoRec="oui", AutoRecFormat=fmt, SaveFilePath=folder_win, Compression="90")
        before = set(self.files(folder))
        self.capture("full")
        new = b.wait_until(lambda: set(self.files(folder)) - before, what="the capture's file")
        path = new.pop()
        b.wait_until(lambda: file_complete(path), what="%s complete" % path)
        return path

    def assert_one_failure(self, pattern, what, hold=None):
        """A capture whose one box matches pattern; the program stays armed."""
        boxes = self.capture("full", hold=hold)
        self.assertEqual(len(boxes), 1, "one message for %s: %s (new files %s)"
                         % (what, boxes, [os.path.basename(p) for p in self.files(self.root)
                                          if os.path.getsize(p) > 3]))
        self.assertRegex(boxes[0], pattern)
        self.assertTrue(self.armed(), "still armed after %s" % what)
        return boxes[0]

    def mount_drive(self, size_kb):
        """A tmpfs of that size as drive T:; skips when mounting is refused."""
        mnt = os.path.join(self.bench._tmp, "drive_t")
        os.makedirs(mnt, exist_ok=True)
        out = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % size_kb, "vistrel_t", mnt],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if out.returncode != 0:
            self.skipTest("cannot mount a tmpfs here (%s): the full-drive case is not run"
                          % out.stdout.decode(errors="replace").strip())
        self.addCleanup(subprocess.run, ["umount", "-l", mnt])
        link = os.path.join(self.bench.prefix, "dosdevices", "t:")
        with contextlib.suppress(FileNotFoundError):
            os.remove(link)
        os.symlink(mnt, link)
        self.addCleanup(os.remove, link)
        return mnt

    def fill_until_full(self, mnt, fmt, file_size):
        """Holds the key until the drive is full: returns the message and files."""
        b = self.bench
        b.write_settings(AutoRec="oui", AutoRecFormat=fmt, SaveFilePath="T:\\shots",
                         Compression="100")
        message = self.assert_one_failure(r"^Erreur d'écriture dans le flux\.$",
                                          "a full drive (%s)" % fmt, hold=0.5)
        files = self.files(os.path.join(mnt, "shots"))
        return message, files

    def test_a_drive_that_fills(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        bmp_size = 54 + 4 * b.width * b.height
        mnt = self.mount_drive(bmp_size * 5 // 2 // 1024)
        _, files = self.fill_until_full(mnt, "bmp", bmp_size)
        sizes = [os.path.getsize(p) for p in files]
        self.assertEqual(sizes[:-1], [bmp_size] * (len(sizes) - 1), "earlier files whole")
        self.assertGreaterEqual(len(sizes), 3)
        self.assertLess(sizes[-1], bmp_size, "the last file is as far as it was written")
        self.assert_files_complete(files[:-1])
        # Space again: the next capture is written whole.
        for p in files:
            os.remove(p)
        path = self.good_capture("T:\\shots", folder=mnt)
        self.assertEqual(os.path.getsize(path), bmp_size)
        for p in self.files(mnt):
            os.remove(p)

        # JPEG: a drive with room for a few files.
        jpeg = self.good_capture("T:\\shots", "jpg", folder=mnt)
        jpeg_size = os.path.getsize(jpeg)
        os.remove(jpeg)
        free = os.statvfs(mnt).f_bavail * os.statvfs(mnt).f_frsize
        with open(os.path.join(mnt, "filler"), "wb") as f:
            f.write(b"\0" * (free - int(jpeg_size * 3.5)))
        _, files = self.fill_until_full(mnt, "jpg", jpeg_size)
        self.assertGreaterEqual(len(files), 2)
        complete = [p for p in files if file_complete(p)]
        self.assertGreaterEqual(len(complete), len(files) - 1, "at most the last file short")
        self.assertEqual(complete, files[:len(complete)])

    def test_a_folder_whose_parent_is_missing(self):
        self.start(AutoRec="oui", AutoRecFormat="bmp",
                   SaveFilePath="C:\\vistrel_rel\\missing\\shots")
        folder = re.escape("C:\\vistrel_rel\\missing\\shots\\")
        self.assert_one_failure(r'^Impossible de créer le fichier "%s' % folder, "a missing parent")
        self.assertFalse(os.path.exists(os.path.join(self.root, "missing")))
        self.good_capture("C:\\vistrel_rel\\shots")

    def hold_target_names(self, mode, fmt, window_ms=8000):
        """Files of every name the next seconds give, holding "OLD", made
        read-only or kept open by another process; returns the names. Made
        again when their preparation ate most of their time (a loaded machine)."""
        for _ in range(4):
            start = datetime.datetime.now() + datetime.timedelta(seconds=1)
            names = self.prepare_target_names(start, window_ms, mode, fmt)
            if datetime.datetime.now() < start + datetime.timedelta(milliseconds=window_ms - 3000):
                break
            self.release_target_names(names)
        else:
            self.fail("the target files could not be prepared in time")
        self.bench.wait_until(
            lambda: datetime.datetime.now() > start + datetime.timedelta(seconds=0.3),
            timeout=30, what="the prepared names' time")
        return names

    def prepare_target_names(self, start, window_ms, mode, fmt):
        b = self.bench
        names = names_between(start, window_ms, fmt)
        for n in names:
            with open(os.path.join(self.root, n), "wb") as f:
                f.write(b"OLD")
        self._holder = None
        if mode == "readonly":
            # Wine shows a file without write permission as read-only (and is
            # much quicker at it from this side than file by file through Win32).
            for n in names:
                os.chmod(os.path.join(self.root, n), 0o444)
        else:
            listing = os.path.join(b._tmp, "targets.txt")
            with open(listing, "w", encoding="utf-8") as f:
                f.write("\n".join("C:\\vistrel_rel\\" + n for n in names))
            argv = [WINE, b.probe_exe, "hold-files", "--list", b.windows_path(listing), "--mode",
                    mode, "--seconds", "60"]
            self._holder = b._spawn(argv, stdout=subprocess.PIPE)
            self.addCleanup(b._end, self._holder)
            self.assertIn(b'"held": %d' % len(names), self._holder.stdout.readline())
        return names

    def release_target_names(self, names):
        if self._holder is not None:
            self.bench._end(self._holder)
            self._holder = None
        for n in names:
            path = os.path.join(self.root, n)
            os.chmod(path, 0o644)
            os.remove(path)

    def test_a_read_only_or_locked_file_of_the_target_name(self):
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        earlier = self.good_capture("C:\\vistrel_rel")
        cases = [("readonly", "bmp", "denied"), ("lock", "bmp", "violation")]
        if LONG:
            cases += [("readonly", "jpg", "denied"), ("lock", "jpg", "violation")]
        for mode, fmt, reason in cases:
            with self.subTest(mode=mode, format=fmt):
                self.bench.write_settings(AutoRec="oui", AutoRecFormat=fmt,
                                          SaveFilePath="C:\\vistrel_rel", Compression="90")
                names = self.hold_target_names(mode, fmt)
                kept = self.fingerprint(self.root)
                message = self.assert_one_failure(r'^Impossible de créer le fichier "C:\\vistrel_rel\\',
                                                  "a %s target" % mode)
                self.assertIn(reason, message.lower())
                self.assertIn(message.split('"')[1].split("\\")[-1], names)
                self.assertEqual(self.fingerprint(self.root), kept, "no file changed")
                self.release_target_names(names)
        self.assertTrue(file_complete(earlier))
        self.good_capture("C:\\vistrel_rel")

    def test_a_path_longer_than_the_system_limit(self):
        folder = "C:\\vistrel_rel\\" + "d" * 120 + "\\" + "e" * 130
        os.makedirs(self.bench.linux_path(folder))
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=folder)
        self.assert_one_failure(r'^Impossible de créer le fichier "%s' % re.escape(folder),
                                "a path over 260 characters")
        self.assertEqual(self.files(self.root), [])
        self.good_capture("C:\\vistrel_rel")


class HeldKeyOnFailureTest(ReliabilityCase):
    def test_a_key_held_on_a_failing_capture_shows_one_box_at_a_time(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp",
                   SaveFilePath="C:\\vistrel_rel\\missing\\shots")
        self.clear_keys()
        b.keydown("F12")
        try:
            b.wait_msgbox()
            samples = []  # the boxes open at each look

            def one_box_and_running():
                samples.append(len(b.msgboxes()))
                return samples[-1] == 1 and b.program_running()
            self.assertTrue(b.holds_still(one_box_and_running, 10),
                            "one box at a time (boxes seen %s), the program running (%s)"
                            % (samples, b.program_running()))
        finally:
            b.keyup("F12")
        self.clear_keys()
        boxes = self.settle("the held key's failure")
        self.assertEqual(len(boxes), 1)
        self.assertTrue(boxes[0].startswith("Impossible de créer le fichier"))
        self.assertGreater(len(samples), 5)
        self.assertTrue(self.armed())
        # Polling resumed: with a folder that can be written the key captures.
        b.write_settings(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        self.capture("full")
        self.assertEqual(len(self.files(self.root)), 1)


if __name__ == "__main__":
    unittest.main()
