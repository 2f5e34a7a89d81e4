"""Tray presence: the hot key read at arming, the icon's left and right
releases, the tray menu, and arming through the application's minimise."""

import unittest

from harness import BenchTestCase

VK_KEYS = (0x01, 0x02, 0x04, 0x2D, 0x74, 0x75, 0x7B)  # mouse buttons, Insert, F5, F6, F12
WM_SYSCOMMAND, SC_MINIMIZE, SC_CLOSE = 0x0112, 0xF020, 0xF060


class TrayTestCase(BenchTestCase):
    def start(self, hot_key=None):
        """A fresh program, armed, with Vistrel=hot_key (no file when None)."""
        b = self.bench
        b.reset()
        if hot_key is not None:
            b.write_settings(Vistrel=hot_key)
        b.start_fixture()
        b.start_program()
        self.activate_fixture()

    def activate_fixture(self):
        self.bench.activate_fixture()
        self.bench.probe("key-state", *VK_KEYS)

    def armed(self):
        b = self.bench
        form1 = b.window("TForm1")
        return form1 is not None and not form1["visible"] and b.tray_icon() is not None

    def wait_armed(self):
        self.bench.wait_until(self.armed, what="the program armed in the tray")

    def wait_shown(self):
        return self.bench.wait_until(lambda: self.bench.visible("TForm1"),
                                     what="the preview window")

    def assert_ignored(self, press):
        """press() must start no capture: the program stays armed."""
        press()
        self.assertTrue(self.bench.holds_still(self.armed, seconds=0.8), "the key was not polled")

    def press_key(self, key):
        return lambda: self.bench.press_hotkey(key)


class HotKeyTest(TrayTestCase):
    def test_the_configured_key_is_polled_instead_of_f12(self):
        b = self.bench
        middle_click = lambda: b.click(b.fixture["client"][0] + 20, b.fixture["client"][1] + 20, 2)
        for name, press in (("F5", self.press_key("F5")), ("Inser", self.press_key("Insert")),
                            ("Mouse.M", middle_click)):
            with self.subTest(hot_key=name):
                self.start(name)
                self.assert_ignored(self.press_key("F12"))
                press()
                self.wait_shown()

    def test_names_outside_the_table_poll_f12(self):
        # Exact comparison: "f5" is not "F5"; a present but empty value is no name.
        for name in ("f5", "Impr.Ecran", ""):
            with self.subTest(hot_key=name):
                self.start(name)
                self.assert_ignored(self.press_key("F5"))
                self.bench.press_hotkey("F12")
                self.wait_shown()

    def test_run_reads_the_hot_key_again(self):
        b = self.bench
        self.start()
        b.press_hotkey("F12")
        self.wait_shown()
        b.write_settings(Vistrel="F6")
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        self.wait_armed()
        self.activate_fixture()
        self.assert_ignored(self.press_key("F12"))
        b.press_hotkey("F6")
        self.wait_shown()

    def test_minimising_the_application_arms_with_the_previous_key(self):
        b = self.bench
        self.start("F5")
        b.press_hotkey("F5")
        self.wait_shown()
        b.write_settings(Vistrel="F6")
        b.post_message(b.window("TApplication")["hwnd"], WM_SYSCOMMAND, SC_MINIMIZE)
        self.wait_armed()
        self.assertFalse(b.window("TApplication")["visible"], "no taskbar button in the tray")
        self.activate_fixture()
        self.assert_ignored(self.press_key("F6"))
        b.press_hotkey("F5")
        self.wait_shown()


class TrayIconTest(TrayTestCase):
    def setUp(self):
        self.start()

    def open_tray_menu(self):
        b = self.bench
        b.click_tray_icon(3)
        menu = b.wait_menu()
        self.assertEqual([i["text"] for i in menu["items"]], ["Restore", "Config", "Close..."])
        self.assertEqual(tuple(menu["rect"][:2]), b.cursor_position(), "opens at the cursor")
        return menu

    def test_left_release_on_the_icon_restores_the_window(self):
        b = self.bench
        b.click_tray_icon(1)
        self.wait_shown()
        b.wait_until(lambda: b.tray_icon() is None, what="the icon to go")
        self.assertTrue(b.window("TApplication")["visible"], "the taskbar button is back")

    def test_hover_press_and_middle_button_on_the_icon_do_nothing(self):
        b = self.bench
        x, y = b.wait_until(b.tray_icon, what="the tray icon")
        self.assert_ignored(lambda: b.mouse_move(x, y))
        self.assert_ignored(lambda: b.mouse_down(1))
        self.assertEqual(b.menus(), [])
        b.mouse_up(1)  # the release restores
        self.wait_shown()
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        self.wait_armed()
        self.assert_ignored(lambda: b.click(x, y, 2))
        self.assertEqual(b.menus(), [])

    def test_tray_menu_restore(self):
        b = self.bench
        self.open_tray_menu()
        self.assertTrue(self.armed(), "the menu leaves the program armed")
        b.click_menu_item("Restore")
        self.wait_shown()
        b.wait_until(lambda: b.tray_icon() is None, what="the icon to go")

    def test_tray_menu_config_keeps_polling(self):
        b = self.bench
        self.open_tray_menu()
        b.click_menu_item("Config")
        b.wait_until(lambda: b.visible("TForm2"), what="the preferences window")
        self.assertTrue(self.armed(), "still armed with the preferences open")
        self.activate_fixture()
        b.press_hotkey("F12")
        self.wait_shown()
        b.wait_until(lambda: b.tray_icon() is None, what="the tray icon removed")

    def test_closing_the_taskbar_button_with_the_preferences_open_removes_the_icon(self):
        b = self.bench
        self.open_tray_menu()
        b.click_menu_item("Config")
        b.wait_until(lambda: b.visible("TForm2"), what="the preferences window")
        app = b.window("TApplication")
        self.assertTrue(app["visible"], "a window shows: the taskbar button is there")
        # What a taskbar's "Close window" sends (openbox has no taskbar).
        b.post_message(app["hwnd"], WM_SYSCOMMAND, SC_CLOSE)
        b.wait_program_exit()
        # The program takes its icon away before it ends; one left behind
        # would stay until the shell noticed the owner was gone.
        b.wait_until(lambda: b.tray_icon() is None, timeout=1,
                     what="no icon left by the ended program")

    def test_tray_menu_close_ends_the_program(self):
        b = self.bench
        self.open_tray_menu()
        b.click_menu_item("Close...")
        b.wait_program_exit()
        b.wait_until(lambda: b.tray_icon() is None, what="the icon to go")


if __name__ == "__main__":
    unittest.main()
