"""The clipboard through auto-record bursts: what another program reading it
at every change gets, what stays once the program has ended, a burst beside a
program that holds the clipboard or copies, and what a kill in the middle of a
burst leaves."""

import os
import time
import unittest

from harness import VK_F12, FolderTestCase
from imageio_checks import pixel_crc

ROOT = "C:\\vistrel_burst"


class BurstClipboardTest(FolderTestCase):
    folder_win = ROOT

    def files(self):
        # Names sort in time order within one day: fixed-width fields.
        return [os.path.join(self.root, n) for n in sorted(os.listdir(self.root))]

    def crc(self, path):
        with open(path, "rb") as f:
            return pixel_crc(f.read())

    def arm(self, animate=None):
        """Auto-record on, BMP; the fixture in front, changing colour every
        `animate` ms so that captures taken at different moments differ."""
        b = self.bench
        b.write_settings(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=ROOT)
        b.start_program()
        b.start_fixture(animate=animate)
        b.activate_fixture()
        b.probe("key-state", VK_F12)

    def burst(self, files):
        """Holds the hot key until `files` files are there, then waits for the
        burst's end."""
        b = self.bench
        b.keydown("F12")
        try:
            b.wait_until(lambda: len(self.files()) >= files, timeout=60,
                         what="%d auto-recorded files" % files)
        finally:
            b.keyup("F12")
        b.wait_burst_end(lambda: len(self.files()))

    def test_a_reader_at_every_change_gets_each_captures_own_pixels(self):
        b = self.bench
        self.arm(animate=15)
        with b.clipboard_reader() as reads:
            self.burst(12)
            # The reader has seen the burst's last change.
            final = b.probe("clipboard-sequence")["sequence"]
            b.wait_until(lambda: reads and reads[-1]["sequence"] >= final, timeout=30,
                         what="the reader at the last change")
        files = self.files()
        crcs = [self.crc(p) for p in files]
        self.assertGreater(len(set(crcs)), len(crcs) // 2, "the captures differ from each other")
        self.assertGreaterEqual(len(reads), 3, "the reader saw the burst's changes")
        self.assertEqual([r for r in reads if "crc" not in r], [],
                         "every read found a whole image")
        # Each read holds one capture's pixels exactly, in the order taken.
        at = 0
        for read in reads:
            self.assertEqual((read["width"], read["height"]), (b.width, b.height))
            matches = [i for i in range(at, len(crcs)) if crcs[i] == read["crc"]]
            self.assertTrue(matches, "read %s is not a capture at or after file %d" % (read, at))
            at = matches[0]
        self.assertLess(max(r["ms"] for r in reads), 10000, "no read waited for long")
        # Once the burst is over, the clipboard holds its last capture.
        self.assertEqual(pixel_crc(b.clipboard_dib_bytes()), crcs[-1])

    def test_the_last_capture_stays_on_the_clipboard_after_close(self):
        b = self.bench
        self.arm(animate=15)
        self.burst(3)
        last = self.crc(self.files()[-1])
        b.click_tray_icon(3)
        b.wait_menu()
        b.click_menu_item("Close...")
        b.wait_program_exit(timeout=20)
        self.assertEqual(pixel_crc(b.clipboard_dib_bytes()), last)
        self.assertIn("image/bmp", b.clipboard_targets())

    def test_a_burst_goes_on_while_another_program_holds_the_clipboard(self):
        """Another program holds the clipboard from the middle of a burst until
        after "Close...": the burst goes on with no box (its files are what
        the user asked for), and its last capture, held back, is made into
        the clipboard's bitmap once the clipboard is free, before the program
        has ended."""
        b = self.bench
        self.arm(animate=15)
        b.keydown("F12")
        try:
            b.wait_until(lambda: len(self.files()) >= 3, timeout=60, what="a burst under way")
            with b.clipboard_held(seconds=60):
                held_at = len(self.files())
                b.wait_until(lambda: len(self.files()) >= held_at + 5, timeout=60,
                             what="the burst going on with the clipboard held")
                b.keyup("F12")
                b.wait_burst_end(lambda: len(self.files()))
                self.assertTrue(b.holds_still(lambda: not b.msgboxes(), 1.0),
                                "no box for a busy clipboard in a burst")
                last = self.crc(self.files()[-1])
                b.click_tray_icon(3)
                b.wait_menu()
                b.click_menu_item("Close...")
                b.wait_until(lambda: b.tray_icon() is None, what="the program on its way out")
                time.sleep(1.0)  # the other program holds on a while longer
        finally:
            b.keyup("F12")
        b.wait_program_exit(timeout=20)
        self.assertEqual(pixel_crc(b.clipboard_dib_bytes()), last)

    def test_what_another_program_copies_after_a_burst_stays(self):
        """The burst ends while another program holds the clipboard, and that
        program copies a text before it lets go: the held-back capture, older
        than the copy, never replaces it, neither at the next ticks nor at the
        program's end; its file holds it."""
        b = self.bench
        self.arm(animate=15)
        b.keydown("F12")
        try:
            b.wait_until(lambda: len(self.files()) >= 2, timeout=60, what="a burst under way")
            with b.clipboard_held(seconds=8, copy="copié après la rafale"):
                held_at = len(self.files())
                b.wait_until(lambda: len(self.files()) >= held_at + 2, timeout=60,
                             what="captures with the clipboard held")
                b.keyup("F12")
                b.wait_burst_end(lambda: len(self.files()))
        finally:
            b.keyup("F12")
        # The ticks after the release have had their chance.
        self.assertTrue(b.holds_still(
            lambda: "CF_UNICODETEXT" in b.clipboard_info()["formats"], 1.0), b.clipboard_info())
        self.assertFalse(b.msgboxes(), "no box: the clipboard took the press's capture")
        b.click_tray_icon(3)
        b.wait_menu()
        b.click_menu_item("Close...")
        b.wait_program_exit(timeout=20)
        info = b.clipboard_info()
        self.assertIn("CF_UNICODETEXT", info["formats"])
        self.assertIsNone(info["bitmap"], info)
        self.assertGreaterEqual(len(self.files()), 4, "every capture has its file")

    def test_a_kill_in_the_middle_of_a_burst(self):
        """Every file but the one being written is whole; the clipboard's
        promise dies with the program, so the clipboard holds no image then,
        and a reader asking for one is not kept waiting; the next run captures."""
        b = self.bench
        self.arm()
        size = 54 + 4 * b.width * b.height
        b.keydown("F12")
        try:
            b.wait_until(lambda: len(self.files()) >= 6, timeout=60, what="a burst under way")
            b.stop_program()
        finally:
            b.keyup("F12")
        files = self.files()
        short = [p for p in files if os.path.getsize(p) != size]
        self.assertLessEqual(len(short), 1, "at most the file being written is short")
        if short:
            self.assertEqual(short, files[-1:], "only the last file")
        info = b.clipboard_info()
        self.assertIsNone(info["bitmap"], "no image left by a dead owner: %s" % info)

        for p in files:
            os.remove(p)
        b.start_program()
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey("F12")
        b.wait_until(lambda: len(self.files()) == 1, timeout=30, what="a capture after the kill")
        path = self.files()[0]
        b.wait_until(lambda: os.path.getsize(path) == size, timeout=30, what="the file written")
        b.wait_until(lambda: b.clipboard_dib_bytes(), timeout=30, what="the capture on the clipboard")
        self.assertEqual(pixel_crc(b.clipboard_dib_bytes()), self.crc(path))


if __name__ == "__main__":
    unittest.main()
