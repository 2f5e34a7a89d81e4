"""Windows that live as long as the program, driven as on a desktop: Alt+F4
through the window manager on each secondary window hides it and the program
goes on, also after a selection dragged on the frozen screen, and on the
frozen screen at once, which takes the keyboard from the application in
front; a minimise of the whole application and the tray's "Restore" bring
back every window it hid."""

import unittest

from harness import VK_F12, VK_MENU, BenchTestCase
from prefs_helpers import PrefsDriver

WM_SYSCOMMAND, SC_MINIMIZE = 0x0112, 0xF020


class WindowLifeTest(BenchTestCase):

    def setUp(self):
        self.bench.reset()
        self.drive = PrefsDriver(self, self.bench)

    def tearDown(self):
        if self.bench.program_running():
            self.bench.close_msgboxes()

    def alt_f4_on(self, cls):
        """Alt+F4 on the window of that class, made the active window first."""
        b = self.bench
        window = b.wait_until(lambda: b.visible(cls), what="%s to show" % cls)
        b.wait_until(lambda: b.probe("info")["foreground"] == window["hwnd"],
                     what="%s in the foreground" % cls)
        b.key("alt+F4")
        return window

    def test_alt_f4_on_the_frozen_screen_hides_it_and_the_next_selection_shows_it(self):
        b = self.bench
        b.start_fixture()
        b.start_program()
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey("F12", "shift")
        b.wait_until(lambda: b.x_window_shown("Form4"), what="the frozen screen on the display")
        # A selection first: a press on the frozen screen leaves it the active window.
        b.mouse_move(400, 420)
        b.mouse_down(1)
        b.mouse_move(520, 500)
        b.mouse_up(1)
        overlay = self.alt_f4_on("TForm4")
        b.wait_until(lambda: b.hidden("TForm4"), what="the frozen screen to go")
        self.assertTrue(b.program_running())
        self.assertEqual(b.window("TForm4")["hwnd"], overlay["hwnd"], "the same window, hidden")
        # Back to the tray, then a new selection: the frozen screen shows again.
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        b.wait_until(lambda: b.tray_icon() and b.hidden("TForm1"), what="the program re-armed")
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey("F12", "shift")
        shown = b.wait_until(lambda: b.visible("TForm4"), what="the frozen screen again")
        self.assertEqual(shown["hwnd"], overlay["hwnd"])
        b.wait_until(lambda: b.x_window_shown("Form4"), what="the frozen screen on the display")

    def test_the_frozen_screen_has_the_keyboard_at_once_and_alt_f4_backs_out_of_it(self):
        """The selection's key went to the application in front: the frozen
        screen takes the keyboard without a click, the application sees no
        release of Alt (which would open its menu bar), and Alt+F4 hides the
        frozen screen, not the application."""
        b = self.bench
        b.start_fixture()
        b.start_program()
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey("F12", "shift")
        overlay = b.wait_until(lambda: b.visible("TForm4"), what="the frozen screen")
        b.wait_until(lambda: b.probe("info")["foreground"] == overlay["hwnd"],
                     what="the frozen screen in the foreground, with no click")
        self.assertTrue(b.holds_still(lambda: not [
            e for e in b.fixture_events if e.get("event") == "keyup" and e.get("vk") == VK_MENU],
            0.5), "the application got a release of Alt: %s" % b.fixture_events)
        b.key("alt+F4")
        b.wait_until(lambda: b.hidden("TForm4"), what="the frozen screen to go")
        self.assertTrue(b.holds_still(lambda: b._fixture.poll() is None, 0.5),
                        "the application under the frozen screen is still open")

    def test_alt_f4_on_the_about_window_returns_to_the_preferences_and_infos_opens_it_again(self):
        b = self.bench
        b.start_program()
        self.drive.open_from_set()
        self.drive.set_text("Edit1", "C:\\Mes captures")
        about = self.drive.open_about()
        self.alt_f4_on("TForm3")
        self.drive.hidden("TForm3")
        prefs = self.drive.shown("TForm2")
        self.assertEqual(self.drive.get("Edit1", prefs)["text"], "C:\\Mes captures",
                         "the preferences come back with their edits")
        again = self.drive.open_about()
        self.assertEqual(again["hwnd"], about["hwnd"], "the same window, shown again")

    def test_restore_after_a_minimise_brings_back_the_preferences_it_hid(self):
        b = self.bench
        b.start_program()
        self.drive.open_from_set()
        self.drive.set_text("Edit1", "C:\\Mes captures")
        # What the taskbar sends when the user minimises the program there.
        b.post_message(b.window("TApplication")["hwnd"], WM_SYSCOMMAND, SC_MINIMIZE)
        b.wait_until(lambda: b.hidden("TForm2") and b.tray_icon(), what="armed in the tray")
        b.click_tray_icon(3)
        b.wait_menu()
        b.click_menu_item("Restore")
        self.drive.shown("TForm1")
        prefs = self.drive.shown("TForm2")
        self.assertEqual(self.drive.get("Edit1", prefs)["text"], "C:\\Mes captures",
                         "with the edits it held")


if __name__ == "__main__":
    unittest.main()
