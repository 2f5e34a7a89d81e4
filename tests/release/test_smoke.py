"""The release zip as a user takes it: unpacked into a fresh Wine prefix, the
program starts hidden in the tray, the hot key captures the screen to the
clipboard, and the tray menu's "Close..." ends it."""

import os
import shutil
import sys
import unittest
import zipfile

from release_common import ENTRIES, REPO, project_version, zip_path

sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
from harness import VK_F12, WINEARCH, Bench  # noqa: E402

PREFIX = os.environ.get("VISTREL_RELEASE_PREFIX") or os.path.join(
    REPO, "build", "wineprefix-release-smoke")


class ZipSmokeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.zip = zip_path(WINEARCH)
        shutil.rmtree(PREFIX, ignore_errors=True)
        cls.bench = Bench(prefix=PREFIX)
        if os.environ.get("VISTREL_KEEP_BENCH") != "1":
            cls.addClassCleanup(shutil.rmtree, PREFIX, True)
        cls.addClassCleanup(cls.bench.stop)
        cls.bench.start()

    def unpack(self):
        """Into a folder of the user's Downloads, as Windows' "Extract all" would."""
        downloads = os.path.join(os.path.dirname(self.bench.documents_dir), "Downloads")
        folder = os.path.join(downloads, os.path.basename(self.zip)[:-len(".zip")])
        with zipfile.ZipFile(self.zip) as zf:
            zf.extractall(folder)
        self.assertEqual(sorted(os.listdir(folder)), sorted(ENTRIES))
        return folder

    def test_start_capture_and_close(self):
        b = self.bench
        self.assertFalse(os.path.exists(b.config_path), "a fresh prefix")
        folder = self.unpack()
        exe = os.path.join(folder, "vistrel.exe")

        form1 = b.start_program(exe=exe, cwd=folder)
        self.assertFalse(form1["visible"], "started hidden, in the tray")
        self.assertEqual(form1["title"], "  Vistrel v" + project_version())

        b.start_fixture()
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.clear_clipboard()
        before = b.screenshot()
        b.press_hotkey("F12")
        b.wait_until(lambda: b.visible("TForm1"), timeout=15, what="the preview window")
        clip = b.wait_until(b.clipboard_bmp, timeout=15, what="the capture on the clipboard")
        self.assertEqual(clip.size, (b.width, b.height))
        self.assertIsNone(clip.first_difference(before), "the screen, pixel for pixel")

        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        b.wait_until(lambda: b.hidden("TForm1") and b.tray_icon(), what="the program re-armed")
        b.click_tray_icon(3)
        b.click_menu_item("Close...")
        b.wait_program_exit(timeout=15)
        self.assertEqual(b.program_exit_code(), 0)
        b.wait_until(lambda: b.tray_icon() is None, what="the tray icon to go")

        self.assertFalse(os.path.exists(b.config_path), "no settings written without Ok")
        self.assertEqual(sorted(os.listdir(folder)), sorted(ENTRIES), "nothing written beside it")


if __name__ == "__main__":
    unittest.main()
