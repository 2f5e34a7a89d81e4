"""Auto-record: captures written straight into a folder under date-and-time names."""

import datetime
import os
import re
import shutil
import unittest

from harness import VK_F12, FolderTestCase, Image
from imageio_checks import assert_baseline_jfif, assert_close_to, jpeg_quality

NAME = re.compile(r"^(\d\d)\.(\d\d)\.(\d{4}) à (\d\d)h (\d\d)m (\d\d)s (\d{3})'\.(bmp|jpg)$")
ROOT = "C:\\vistrel_autorec"


def name_time(name):
    m = NAME.match(name)
    day, month, year, hour, minute, second, ms = (int(g) for g in m.groups()[:7])
    return datetime.datetime(year, month, day, hour, minute, second, ms * 1000)


class AutoRecordTest(FolderTestCase):
    folder_win = ROOT

    # ---- helpers ---------------------------------------------------------------

    def arm(self, **settings):
        """The program armed with these settings, the fixture holding the focus."""
        self.bench.write_settings(**settings)
        self.bench.start_program()
        self.bench.start_fixture()

    def files(self, folder):
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def wait_files(self, folder, count, timeout=20):
        return self.bench.wait_until(lambda: len(self.files(folder)) >= count and self.files(folder),
                                     timeout=timeout, what="%d file(s) in %s" % (count, folder))

    def wait_complete(self, path, size=None, timeout=20):
        """A file whose writing has finished: at its expected size, or for a
        JPEG, ending with the end-of-image marker."""
        def complete():
            with open(path, "rb") as f:
                data = f.read()
            if size is not None:
                return len(data) == size and data
            return data[-2:] == b"\xff\xd9" and data
        return self.bench.wait_until(complete, timeout=timeout, what="%s written" % path)

    def bmp_size(self):
        return 54 + 4 * self.bench.width * self.bench.height

    def assert_still_armed(self):
        form1 = self.bench.window("TForm1")
        self.assertFalse(form1["visible"], "the preview window stays hidden")
        self.assertIsNotNone(self.bench.tray_icon(), "the tray icon stays")

    def sync_capture(self, folder, fmt="bmp", **settings):
        """A capture that writes a file: once it is there, every earlier press
        has been handled in full."""
        before = set(self.files(folder))
        self.bench.write_settings(AutoRec="oui", AutoRecFormat=fmt, SaveFilePath=self.win(folder),
                                  **settings)
        self.bench.press_hotkey("F12")
        new = self.bench.wait_until(lambda: set(self.files(folder)) - before,
                                    what="the synchronising capture")
        self.assertEqual(len(new), 1)
        return new.pop()

    def win(self, folder):
        return self.bench.windows_path(folder)

    # ---- tests -------------------------------------------------------------------

    def test_each_press_writes_one_file_named_by_the_clock_with_the_screen_in_it(self):
        folder = os.path.join(self.root, "shots")  # created by the program
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=ROOT + "\\shots", Compression="85")
        screen = self.bench.screenshot()
        before = datetime.datetime.now()
        self.bench.press_hotkey("F12")
        (bmp,) = self.wait_files(folder, 1)
        after = datetime.datetime.now()
        self.assertRegex(bmp, NAME)
        self.assertTrue(bmp.endswith(".bmp"))
        stamp = name_time(bmp)
        slack = datetime.timedelta(seconds=2)
        self.assertTrue(before - slack <= stamp <= after + slack, "%s not in [%s, %s]" % (stamp, before, after))
        data = self.wait_complete(os.path.join(folder, bmp), self.bmp_size())
        self.assertEqual(data[28], 32, "32 bits per pixel")
        difference = Image.from_bmp(data).first_difference(screen)
        self.assertIsNone(difference, "the BMP holds the screen")
        self.assert_still_armed()

        # Settings are read at every capture: the next press writes a JPEG.
        self.bench.write_settings(AutoRec="oui", AutoRecFormat="jpg", SaveFilePath=ROOT + "\\shots",
                                  Compression="85")
        self.bench.press_hotkey("F12")
        names = self.wait_files(folder, 2)
        self.assertEqual(len([n for n in names if n.endswith(".bmp")]), 1, "one file per press")
        (jpg,) = [n for n in names if n.endswith(".jpg")]
        self.assertRegex(jpg, NAME)
        self.assertGreater(name_time(jpg), stamp)
        path = os.path.join(folder, jpg)
        assert_baseline_jfif(self, self.wait_complete(path))
        self.assertEqual(jpeg_quality(path), 85)
        assert_close_to(self, Image.from_file(path), screen)
        self.assert_still_armed()
        self.assertEqual(self.bench.msgboxes(), [])

    def test_holding_the_key_records_a_burst_of_distinct_files(self):
        folder = os.path.join(self.root, "burst")
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=self.win(folder))
        self.bench.keydown("F12")
        try:
            # The windows do not answer during a burst; the tray icon stays.
            self.wait_files(folder, 6, timeout=60)
            self.assertIsNotNone(self.bench.tray_icon())
        finally:
            self.bench.keyup("F12")
        self.bench.wait_burst_end(lambda: len(self.files(folder)))
        last = self.sync_capture(folder, fmt="jpg")
        bmps = [n for n in self.files(folder) if n.endswith(".bmp")]
        self.assertGreaterEqual(len(bmps), 6)
        stamps = [name_time(n) for n in bmps]
        self.assertEqual(len(set(stamps)), len(stamps))
        for name in bmps:
            self.assertEqual(os.path.getsize(os.path.join(folder, name)), self.bmp_size(), name)
        self.assertLess(max(stamps), name_time(last))
        self.assert_still_armed()
        self.assertEqual(self.bench.msgboxes(), [])

    def test_any_value_but_non_turns_auto_record_on(self):
        folder = os.path.join(self.root, "on")
        for value in ("Non", "NON", ""):
            with self.subTest(autoRec=value):
                self.arm(AutoRec=value, AutoRecFormat="bmp", SaveFilePath=self.win(folder))
                count = len(self.files(folder))
                self.bench.press_hotkey("F12")
                self.wait_files(folder, count + 1)
                self.assert_still_armed()

    def test_an_unknown_format_writes_nothing_but_the_capture_reaches_the_clipboard(self):
        folder = os.path.join(self.root, "png")
        self.arm(AutoRec="oui", AutoRecFormat="png", SaveFilePath=self.win(folder))
        screen = self.bench.screenshot()
        self.bench.press_hotkey("F12")
        self.bench.wait_until(lambda: self.bench.clipboard_dib() == screen,
                              what="the capture on the clipboard")
        self.assert_still_armed()
        for fmt in ("BMP", "png", "jpeg", "JPG"):
            self.bench.write_settings(AutoRec="oui", AutoRecFormat=fmt, SaveFilePath=self.win(folder))
            self.bench.press_hotkey_handled("F12")
        last = self.sync_capture(folder)
        self.assertEqual(self.files(folder), [last], "only the synchronising capture wrote a file")
        self.assertEqual(self.bench.msgboxes(), [])

    def test_a_compression_that_is_no_integer_shows_one_error_and_writes_nothing(self):
        folder = os.path.join(self.root, "abc")
        self.arm(AutoRec="oui", AutoRecFormat="jpg", SaveFilePath=self.win(folder), Compression="abc")
        self.bench.keydown("F12")
        try:
            box = self.bench.wait_msgbox()
        finally:
            self.bench.keyup("F12")
        # Cleared while the box still pauses the poll: closing it starts no capture.
        self.bench.probe("key-state", VK_F12)
        self.assertEqual(box["caption"], "Vistrel")
        self.assertEqual(box["text"], "'abc' n'est pas une valeur entière correcte.")
        self.assertEqual(len(self.bench.msgboxes()), 1)
        self.bench.close_msgboxes()
        # Quality 0 writes nothing and says nothing.
        self.bench.write_settings(AutoRec="oui", AutoRecFormat="jpg", SaveFilePath=self.win(folder),
                                  Compression="0")
        self.bench.press_hotkey_handled("F12")
        last = self.sync_capture(folder, fmt="jpg", Compression="85")
        self.assertEqual(self.files(folder), [last])
        self.assertEqual(self.bench.msgboxes(), [])
        self.assert_still_armed()

    def test_a_folder_whose_parent_is_missing_shows_the_file_creation_message(self):
        folder = ROOT + "\\missing\\shots"
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=folder)
        self.bench.press_hotkey("F12")
        box = self.bench.wait_msgbox()
        self.assertEqual(box["caption"], "Vistrel")
        pattern = (r'^Impossible de créer le fichier "' + re.escape(folder + "\\") +
                   r"\d\d\.\d\d\.\d{4} à \d\dh \d\dm \d\ds \d{3}'\.bmp" + r'"\. \S.*$')
        self.assertRegex(box["text"], pattern)
        self.bench.close_msgboxes()
        self.assertFalse(os.path.exists(os.path.join(self.root, "missing")))
        self.assert_still_armed()

    def test_the_default_folder_is_created_at_the_first_capture(self):
        folder = os.path.join(self.bench.documents_dir, "Vistrel")
        shutil.rmtree(folder, ignore_errors=True)
        try:
            self.arm(AutoRec="oui", AutoRecFormat="bmp")
            self.bench.press_hotkey("F12")
            (name,) = self.wait_files(folder, 1)
            self.assertRegex(name, NAME)
            # The prefix's own Documents, never the machine's home folder.
            self.assertTrue(os.path.realpath(folder).startswith(
                os.path.realpath(self.bench.prefix) + os.sep), os.path.realpath(folder))
        finally:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
