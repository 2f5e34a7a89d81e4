"""Reliability against other programs: the clipboard held or read by another
process, the foreground window closing at the key press, no foreground
window at all."""

import os
import subprocess
import unittest

from harness import VK_F12, WINE
from reliability import LONG, MODES, ReliabilityCase, captures_in_burst


class OtherProgramsTest(ReliabilityCase):
    """The clipboard held by another process, or read by a viewer."""

    def test_clipboard_held_during_a_capture_and_a_selection_release(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        with b.clipboard_held(seconds=60):
            self.clear_keys()
            b.press_hotkey("F12")
            b.wait_msgbox()
            boxes = self.settle("capture with the clipboard held")
            self.assertEqual(boxes, ["Impossible d'ouvrir le Presse-papiers."])
            self.assertTrue(self.armed())
            self.assertEqual(self.files(self.root), [], "the rest of the capture was skipped")
        self.capture("full")
        self.assertEqual(len(self.files(self.root)), 1, "captures again once it is free")

        # A selection released while the clipboard is held.
        self.ensure_armed()
        self.clear_keys()
        b.press_hotkey("F12", ("shift",))
        b.wait_until(lambda: self.form("TForm4")["visible"], what="the overlay")
        with b.clipboard_held(seconds=60):
            b.mouse_move(400, 420)
            b.mouse_down(1)
            b.mouse_move(520, 500)
            b.mouse_up(1)
            b.wait_msgbox()
            boxes = self.settle("release with the clipboard held")
            self.assertEqual(boxes, ["Impossible d'ouvrir le Presse-papiers."])
        self.assertTrue(self.form("TForm4")["visible"], "the overlay stays")
        self.assertTrue(self.form("TForm1")["visible"], "the preview stays")
        # Another release reaches the clipboard now.
        before = self.sequence()
        b.mouse_move(400, 420)
        b.mouse_down(1)
        b.mouse_move(500, 480)
        b.mouse_up(1)
        b.wait_until(lambda: self.sequence() != before, what="the release on the clipboard")
        self.settle("release")
        self.ensure_armed()

    def test_a_clipboard_viewer_reading_each_change_does_not_fail_a_burst(self):
        """Viewers open the clipboard for a moment at each change; a capture
        of a burst that meets such a moment neither fails nor waits: the next
        capture, or the burst's end, puts the newest there."""
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="jpg", SaveFilePath="C:\\vistrel_rel",
                   Compression="50")
        viewer = b._spawn([WINE, b.probe_exe, "peek-clipboard", "--seconds", "60", "--hold-ms", "3",
                           "--pause-ms", "2"], stdout=subprocess.PIPE)
        self.addCleanup(b._end, viewer)
        self.assertIn(b"peeking", viewer.stdout.readline())
        before = self.sequence()
        self.capture("full", hold=3)
        self.assertEqual(self.boxes, [], "no failure while another program peeks")
        announced = captures_in_burst(self.sequence() - before)
        self.assertGreater(announced, 3)
        self.assertGreaterEqual(len(self.files(self.root)), announced, "every capture written")
        info = b.clipboard_info()
        self.assertEqual((info["bitmap"]["width"], info["bitmap"]["height"]), (b.width, b.height))


class NoForegroundWindowTest(ReliabilityCase):
    """The foreground window closing at the key press, and no foreground window
    until the next one comes. On a desktop the window manager hands the
    foreground to another window at once (Wine's tray window here); only the
    bare display leaves none, which the program must survive as well."""

    window_manager = False

    def test_foreground_window_closing_at_the_press_and_no_foreground_window(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        outcomes = {}
        for mode in ("frame", "client", "full") if LONG else ("frame", "client"):
            with self.subTest(mode=mode):
                # The fixture destroys itself when F12 goes down: the
                # foreground window is gone by the time the program polls.
                b.start_fixture(close_on_key=VK_F12)
                self.activate_fixture()
                self.clear_keys()
                before = set(self.files(self.root))
                b.press_hotkey("F12", MODES[mode])
                b.wait_until(lambda: set(self.files(self.root)) - before or b.msgboxes(),
                             what="the capture after the window closed")
                # The key's release reached no Wine window: a focused one
                # gives Wine the keyboard's state again, which ends the burst.
                b.start_fixture()
                self.clear_keys()
                self.settle("%s capture after the window closed" % mode, most=0)
                new = sorted(set(self.files(self.root)) - before)
                self.assert_files_complete(new)
                sizes = sorted({os.path.getsize(p) for p in new})
                outcomes[mode] = (len(new), sizes)
                if mode != "full":
                    # Until the next window comes, there is no foreground
                    # window: 0 x 0 captures, written as 0-byte files.
                    self.assertIn(0, sizes, "a 0 x 0 capture")
                self.assertTrue(self.armed())
        print("files written, their sizes:", outcomes)


if __name__ == "__main__":
    unittest.main()
