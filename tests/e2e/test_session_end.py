"""The user's session ends (log-off, shutdown) in the middle of an auto-record
burst: Wine's wineboot sends the end-of-session messages to every program of
the prefix, as Windows does, and ends each program once it has answered them.
Every file is whole, and the clipboard holds the last capture, which it was
only promised."""

import os
import unittest

from harness import VK_F12, WINE, FolderTestCase
from imageio_checks import pixel_crc
from reliability import bmp_complete

ROOT = "C:\\vistrel_session_end"


class SessionEndTest(FolderTestCase):
    folder_win = ROOT

    def files(self):
        return [os.path.join(self.root, n) for n in sorted(os.listdir(self.root))]

    def test_a_log_off_in_the_middle_of_a_burst_leaves_every_file_whole(self):
        b = self.bench
        b.write_settings(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=ROOT)
        b.start_program()
        b.start_fixture(animate=15)
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        size = 54 + 4 * b.width * b.height
        b.keydown("F12")
        try:
            b.wait_until(lambda: len(self.files()) >= 6, timeout=60, what="a burst under way")
            b._run([WINE, "wineboot", "--end-session", "--shutdown"], timeout=120)
        finally:
            b.keyup("F12")
        b.wait_program_exit(timeout=30)
        files = self.files()
        self.assertGreaterEqual(len(files), 6)
        cut = []
        for p in files:
            with open(p, "rb") as f:
                data = f.read()
            if len(data) != size or not bmp_complete(data):
                cut.append((os.path.basename(p), len(data)))
        self.assertEqual(cut, [], "every file whole (%d bytes)" % size)
        clip = b.clipboard_dib_bytes()
        self.assertTrue(clip, "an image on the clipboard: %s" % b.clipboard_info())
        with open(files[-1], "rb") as f:
            self.assertEqual(pixel_crc(clip), pixel_crc(f.read()), "the last capture")


if __name__ == "__main__":
    unittest.main()
