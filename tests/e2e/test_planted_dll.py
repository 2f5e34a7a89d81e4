"""A DLL planted beside the program, as in a Downloads folder: the program
loads its run-time DLLs from the system folder only. Wine's loader looks in the
program's folder first, as Windows does, for a DLL overridden as native first
(WINEDLLOVERRIDES=dwmapi=n,b)."""

import os
import shutil
import tempfile
import unittest

from harness import VK_F12, VK_MENU, BenchTestCase

MARKER = (3, 2)  # the bitmap put on the clipboard before the capture


class PlantedDllTest(BenchTestCase):

    def setUp(self):
        self.bench.reset()
        self.folder = tempfile.mkdtemp(prefix="vistrel-downloads-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def tearDown(self):
        self.bench.stop_program()

    def test_a_dwmapi_dll_beside_the_program_is_not_loaded_by_the_alt_capture(self):
        b = self.bench
        planted = os.path.join(os.path.dirname(b.probe_exe), "planted", "dwmapi.dll")
        self.assertTrue(os.path.isfile(planted), "the stand-in DLL is built with the probe")
        exe = os.path.join(self.folder, "vistrel.exe")
        shutil.copy(b.exe, exe)
        shutil.copy(planted, self.folder)
        b.start_fixture()
        b.start_program(exe=exe, extra_env={"WINEDLLOVERRIDES": "dwmapi=n,b"})
        b.activate_fixture()
        b.probe("key-state", VK_MENU, VK_F12)
        b.probe("clipboard-put-pattern", "--w", MARKER[0], "--h", MARKER[1])
        before = b.screenshot()
        b.press_hotkey("F12", ("alt",))
        b.wait_until(lambda: b.visible("TForm1"), what="the capture's preview window")
        clip = b.wait_until(lambda: (lambda image: image if image and image.size != MARKER
                                     else None)(b.clipboard_bmp()),
                            what="the capture on the clipboard")
        self.assertFalse(os.path.exists(os.path.join(self.folder, "dwmapi-loaded.txt")),
                         "the planted DLL was loaded")
        # The frame as the system gives it, as without the planted DLL.
        rect = b.fixture["rect"]
        width, height = rect[2] - rect[0], rect[3] - rect[1]
        self.assertEqual(clip.size, (width, height))
        self.assertIsNone(clip.first_difference(before.crop(rect[0], rect[1], width, height)))


if __name__ == "__main__":
    unittest.main()
