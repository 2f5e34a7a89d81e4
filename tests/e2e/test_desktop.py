"""What a desktop has beside the program, with a window manager on the
display: a second start by mistake, also in a hurry (two starts a moment
apart, a start right after "Close..."), a shell that starts again and forgets
the tray's icons, a clipboard history taking every clipboard change."""

import os
import subprocess
import time
import unittest

from harness import VK_F12, WINE, FolderTestCase
from imageio_checks import pixel_crc

ROOT = "C:\\vistrel_desktop"
TASKBAR_READY = 0x8000 + 0x58  # WM_APP + 0x58, the test-hook build's
MARKS = ("ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory")


class DesktopTest(FolderTestCase):
    folder_win = ROOT

    def arm(self, **settings):
        b = self.bench
        if settings:
            b.write_settings(**settings)
        b.start_fixture()
        b.start_program()
        b.activate_fixture()
        b.probe("key-state", VK_F12)

    def files(self):
        return [os.path.join(self.root, n) for n in sorted(os.listdir(self.root))]

    def start_copy(self):
        """One more start of the program, as a double-click makes it; ended
        after the test."""
        b = self.bench
        copy = b._spawn([WINE, b.exe], cwd=os.path.dirname(b.exe))

        def end():
            b._end(copy)
            b.wait_until(lambda: b.tray_icon() is None, timeout=10, what="its icon gone")
        self.addCleanup(end)
        return copy

    def test_a_second_start_hands_over_to_the_running_program_and_ends(self):
        b = self.bench
        self.arm()
        first = b.window("TForm1")
        second = b._spawn([WINE, b.exe], cwd=os.path.dirname(b.exe))
        self.assertEqual(second.wait(timeout=60), 0, "the second start ends at once")
        # The running program shows itself, as "Restore" does.
        b.wait_until(lambda: b.visible("TForm1"), what="the running program's preview window")
        b.wait_until(lambda: b.tray_icon() is None, what="its icon taken away as it shows")
        self.assertEqual([w["hwnd"] for w in b.windows("TForm1")], [first["hwnd"]])
        self.assertTrue(b.program_running())

    def test_two_starts_a_moment_apart_give_one_program_which_comes_forward(self):
        b = self.bench
        starts = [self.start_copy()]
        time.sleep(0.1)  # the double-click again, when nothing seemed to open
        starts.append(self.start_copy())
        # Whichever took the lead, the other wakes it, while it is still
        # starting, and ends.
        ended = b.wait_until(lambda: [p for p in starts if p.poll() is not None], timeout=60,
                             what="one start to hand over and end")
        self.assertEqual([p.returncode for p in ended], [0])
        b.wait_until(lambda: b.visible("TForm1"), timeout=30,
                     what="the running program's preview window, woken")
        self.assertTrue(b.holds_still(lambda: len(b.windows("TForm1")) == 1, 1.0),
                        "one program: %s" % b.windows("TForm1"))
        self.assertEqual(len([p for p in starts if p.poll() is None]), 1)

    def test_a_start_right_after_close_gives_a_running_program_that_captures(self):
        b = self.bench
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=ROOT)
        closing = b.program_pid
        b.keydown("F12")
        try:
            b.wait_until(lambda: len(self.files()) >= 2, timeout=60, what="a burst under way")
            # Another program holds the clipboard: the program's end waits
            # seconds to leave its last capture there.
            with b.clipboard_held(seconds=60):
                held_at = len(self.files())
                b.wait_until(lambda: len(self.files()) >= held_at + 2, timeout=60,
                             what="captures held back from the clipboard")
                b.keyup("F12")
                b.wait_burst_end(lambda: len(self.files()))
                b.click_tray_icon(3)
                b.wait_menu()
                b.click_menu_item("Close...")
                b.wait_until(lambda: b.tray_icon() is None, what="the program on its way out")
                started = self.start_copy()
                b.wait_until(lambda: [w for w in b.windows("TForm1") if w["pid"] != closing],
                             timeout=30, what="the new start's window")
                b.wait_until(b.tray_icon, timeout=30, what="the new start armed")
        finally:
            b.keyup("F12")
        b.wait_program_exit(timeout=20)
        self.assertIsNone(started.poll(), "the new start runs on")
        count = len(self.files())
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey("F12")
        b.wait_until(lambda: len(self.files()) > count, timeout=30,
                     what="a capture by the new start")

    def test_the_icon_comes_back_when_the_shell_starts_again(self):
        b = self.bench
        self.arm()
        told = b.restart_shell()
        self.assertTrue(told["deleted"], "the shell forgot the icon")
        icon = b.wait_until(b.tray_icon, what="the icon added again")
        # It is the program's, and its menu works.
        b.click(icon[0], icon[1], 3)
        b.click_menu_item("Restore")
        b.wait_until(lambda: b.visible("TForm1"), what="the preview window")

    def test_with_no_taskbar_at_start_the_key_is_polled_and_the_icon_comes_once_there_is_one(self):
        b = self.bench
        b.start_fixture()
        b.start_testhooks_program(wait_armed=False, extra_env={"VISTREL_TEST_NO_TASKBAR": "1"})
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        self.assertTrue(b.holds_still(lambda: b.tray_icon() is None, 1.5), "no taskbar, no icon")
        # Armed all the same: the key captures.
        b.press_hotkey("F12")
        b.wait_until(lambda: b.visible("TForm1"), what="the capture's preview window")
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        b.wait_until(lambda: b.hidden("TForm1"), what="back in the tray")
        self.assertTrue(b.holds_still(lambda: b.tray_icon() is None, 1.5))
        # The taskbar comes: the icon follows within the retries' second.
        b.send_message(b.window("VistrelTestHooks")["hwnd"], TASKBAR_READY)
        b.wait_until(b.tray_icon, what="the icon once the taskbar is there")

    def test_a_clipboard_history_keeps_only_the_first_and_last_capture_of_a_burst(self):
        b = self.bench
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=ROOT)
        b.start_fixture(animate=15)
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        with b.clipboard_history() as changes:
            b.keydown("F12")
            try:
                b.wait_until(lambda: len(self.files()) >= 12, timeout=60, what="a burst")
            finally:
                b.keyup("F12")
            b.wait_burst_end(lambda: len(self.files()))
            final = b.probe("clipboard-sequence")["sequence"]
            b.wait_until(lambda: changes and changes[-1]["sequence"] >= final, timeout=30,
                         what="the history at the last change")
        taken = [c for c in changes if c.get("taken")]
        self.assertEqual(len(taken), 2, "the first and the last: %s" % changes[:3])
        self.assertGreaterEqual(len(changes), 12, "every capture changed the clipboard")
        self.assertEqual(taken[-1]["sequence"], changes[-1]["sequence"], "the last change taken")
        # What stays on the clipboard is the last capture, with no mark.
        info = b.clipboard_info()
        self.assertFalse(set(MARKS) & set(info["formats"]), info["formats"])
        with open(self.files()[-1], "rb") as f:
            self.assertEqual(pixel_crc(b.clipboard_dib_bytes()), pixel_crc(f.read()))


if __name__ == "__main__":
    unittest.main()
