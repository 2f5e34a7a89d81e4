"""The preview window: first show, look and layout, translucency, dragging by
the picture, the format menu, "Set" and "x"."""

import unittest

from harness import ROOT_COLOR, VK_F12, BenchTestCase, fixture_color

WM_CANCELMODE = 0x001F
WS_TABSTOP = 0x00010000
WS_EX_RTLREADING = 0x00002000

# (text, left, top, width, height) in the window's client area, in tab order.
BUTTONS = [("Run", 0, 0, 57, 17), ("Save as...", 56, 0, 57, 17), ("x", 185, 0, 15, 13),
           ("-", 170, 0, 15, 13), ("Set", 112, 0, 25, 17)]


class PreviewTestCase(BenchTestCase):
    def start(self, **fixture):
        """A fresh program with no configuration, and the fixture."""
        b = self.bench
        b.reset()
        b.start_fixture(**fixture)
        return b.start_program()

    def capture(self):
        """Presses F12 with the program armed; returns the shown TForm1 record."""
        b = self.bench
        self.bench.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey("F12")
        return b.wait_until(lambda: b.visible("TForm1"), what="the preview window")

    def press(self, text):
        self.bench.click_control(self.bench.child("TForm1", text=text)["hwnd"])

    def rect(self):
        return self.bench.window("TForm1")["rect"]


class FirstShowTest(PreviewTestCase):
    def test_first_capture_shows_the_window_centred_with_its_layout(self):
        b = self.bench
        self.start()
        self.assertEqual([w["class"] for w in b.windows() if w["visible"]], [])
        self.assertIsNotNone(b.tray_icon())

        form1 = self.capture()
        width, height = 200, 167
        left, top = (b.width - width) // 2, (b.height - height) // 2
        self.assertEqual(form1["rect"], [left, top, left + width, top + height])
        self.assertEqual(form1["client"], form1["rect"])
        self.assertTrue(form1["topmost"])
        self.assertEqual(form1["layered"], {"has_alpha": True, "alpha": 200,
                                            "has_colorkey": True, "colorkey": [255, 0, 255]})
        b.wait_until(lambda: b.tray_icon() is None, what="the icon to go while the window shows")
        self.assertTrue(b.window("TApplication")["visible"], "the taskbar button is back")

        form1 = b.window("TForm1", children=True)
        children = form1["children"]
        buttons = [c for c in children if c["class"].lower() == "button"]
        # Children come in z-order, which is also the tab order.
        self.assertEqual([(c["text"], c["rect"][0], c["rect"][1], c["rect"][2] - c["rect"][0],
                           c["rect"][3] - c["rect"][1]) for c in buttons], BUTTONS)
        for button in buttons:
            with self.subTest(button=button["text"]):
                self.assertTrue(button["style"] & WS_TABSTOP)
                small = button["text"] in ("x", "-")
                self.assertEqual(bool(button["exstyle"] & WS_EX_RTLREADING), small)
                font = button["font"]
                if small:
                    self.assertEqual((font["face"], font["height"], font["weight"]),
                                     ("System", -11, 700))
                    self.assertEqual(font["charset"], 0 if button["text"] == "x" else 1)
                else:
                    self.assertEqual((font["face"], font["height"], font["weight"]),
                                     ("MS Sans Serif", -11, 400))
        picture = [c for c in children if c["class"] == "TImage"]
        self.assertEqual(len(picture), 1)
        self.assertEqual(picture[0]["rect"], [0, 17, 200, 167])

    def test_screen_shows_the_strip_see_through_and_the_picture_fitted(self):
        b = self.bench
        self.start()
        form1 = self.capture()
        left, top = form1["rect"][:2]
        # The window is black until its drawing reaches the screen: wait for
        # the picture's plain-desktop part too.
        def painted():
            shot = b.screenshot()
            return shot if (shot.pixel(left + 100, top + 20) == (0, 0, 0) and
                            shot.pixel(left + 180, top + 140) == ROOT_COLOR) else None
        shot = b.wait_until(painted, what="the window painted with its picture")
        # Between "Set" and "-" the fuchsia strip is keyed out: the desktop shows.
        for x in (140, 150, 165):
            self.assertEqual(shot.pixel(left + x, top + 5), ROOT_COLOR, "strip at x=%d" % x)
        self.assertNotEqual(shot.pixel(left + 20, top + 8), ROOT_COLOR, "the Run button")
        # A 1280 x 800 screen fits as 200 x 125, 12 pixels below the strip, with
        # black above and below; its bottom-right part was plain desktop.
        for y in (17, 28, 155, 166):
            self.assertEqual(shot.pixel(left + 100, top + y), (0, 0, 0), "black band at y=%d" % y)
        # The fixture, captured at 60..360 x 80..280, lies in the picture's top left.
        self.assertNotEqual(shot.pixel(left + 30, top + 17 + 12 + 20), ROOT_COLOR)

    def test_a_click_on_the_strip_reaches_the_window_beneath(self):
        b = self.bench
        # The fixture lies under the middle of the screen, where the window shows.
        self.start(x=440, y=250, w=400, h=300)
        form1 = self.capture()
        left, top = form1["rect"][:2]
        client = b.fixture["client"]
        x, y = left + 150, top + 6
        beneath = fixture_color(x - client[0], y - client[1])
        b.wait_until(lambda: b.screenshot().pixel(x, y) == beneath, what="the strip see-through")

        # Wine lets clicks through the keyed pixels a moment after it shows
        # them so; a click on the bare strip does nothing, so try again.
        def click_through():
            since = len(b.fixture_events)
            b.click(x, y)
            # A second for the press to reach the fixture before the next try.
            b.holds_still(lambda: not b.fixture_event("lbuttondown", since), 1.0)
            return b.fixture_event("lbuttondown", since)

        down = b.wait_until(click_through, timeout=30, what="a click through the strip")
        self.assertEqual((down["x"], down["y"]), (x - client[0], y - client[1]))


class TranslucencyTest(PreviewTestCase):
    def test_window_is_blended_at_200_over_what_lies_beneath(self):
        b = self.bench
        white = (255, 255, 255)
        self.start(x=440, y=250, w=400, h=300, solid=white)
        form1 = self.capture()
        left, top = form1["rect"][:2]
        with b.use_compositor():
            def blended():
                shot = b.screenshot()
                # The compositor takes a few frames to start blending.
                pixel = shot.pixel(left + 100, top + 20)
                return shot if all(abs(c - 55) <= 2 for c in pixel) else None
            shot = b.wait_until(blended, what="the composited window")
            # The strip is keyed out entirely: the white fixture beneath.
            self.assertEqual(shot.pixel(left + 150, top + 5), white)
            # Black at 200 of 255 over white: 255 * 55 / 255 = 55.
            for x, y in ((100, 20), (5, 18), (195, 165)):
                for channel in shot.pixel(left + x, top + y):
                    self.assertAlmostEqual(channel, 55, delta=2, msg="at (%d, %d)" % (x, y))
            # The picture: the white fixture captured in the middle of the
            # screen, drawn white, blends back to white.
            self.assertEqual(shot.pixel(left + 100, top + 17 + 12 + 62), white)


class DragTest(PreviewTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.bench.remove_config()

    def setUp(self):
        b = self.bench
        if not b.program_running():
            self.start()
        if not b.visible("TForm1"):
            self.capture()

    def drag(self, by, button):
        b = self.bench
        left, top = self.rect()[:2]
        x, y = left + 100, top + 90
        b.mouse_move(x, y)
        b.mouse_down(button)
        try:
            b.mouse_move(x + by[0] // 2, y + by[1] // 2)
            b.mouse_move(x + by[0], y + by[1])
            want = [left + by[0], top + by[1], left + by[0] + 200, top + by[1] + 167]
            b.wait_until(lambda: self.rect() == want, what="the window to follow the cursor")
        finally:
            b.mouse_up(button)
        return want

    def test_any_button_drags_the_window_by_the_cursors_travel(self):
        b = self.bench
        for button, by in ((1, (-120, -70)), (3, (90, 40)), (2, (35, -25))):
            with self.subTest(button=button):
                dropped = self.drag(by, button)
                # Released: moving over the picture no longer moves the window.
                b.mouse_move(dropped[0] + 60, dropped[1] + 60)
                self.assertTrue(b.holds_still(lambda: self.rect() == dropped))

    def test_releasing_either_of_two_buttons_ends_the_drag(self):
        b = self.bench
        left, top = self.rect()[:2]
        x, y = left + 100, top + 90
        b.mouse_move(x, y)
        b.mouse_down(1)
        try:
            b.mouse_move(x + 30, y + 20)
            b.wait_until(lambda: self.rect()[:2] == [left + 30, top + 20], what="the drag")
            # A second button keeps the drag going...
            b.mouse_down(3)
            b.mouse_move(x + 50, y + 30)
            b.wait_until(lambda: self.rect()[:2] == [left + 50, top + 30], what="the drag")
            # ...and its release ends it, with the first still held.
            b.mouse_up(3)
            b.mouse_move(x + 90, y + 60)
            self.assertTrue(b.holds_still(lambda: self.rect()[:2] == [left + 50, top + 30]))
        finally:
            b.mouse_up(1)

    def test_moves_without_a_button_do_not_move_the_window(self):
        b = self.bench
        rect = self.rect()
        b.mouse_move(rect[0] + 50, rect[1] + 50)
        b.mouse_move(rect[0] + 120, rect[1] + 100)
        self.assertTrue(b.holds_still(lambda: self.rect() == rect))

    def test_window_comes_back_where_it_was_dropped(self):
        b = self.bench
        dropped = self.drag((-200, 130), 1)
        self.press("Run")
        b.wait_until(lambda: b.hidden("TForm1") and b.tray_icon(), what="armed")
        self.assertFalse(b.window("TApplication")["visible"], "no taskbar button in the tray")
        b.click_tray_icon(1)
        form1 = b.wait_until(lambda: b.visible("TForm1"), what="the restored window")
        self.assertEqual(form1["rect"], dropped)

    def test_save_as_opens_the_format_menu_below_the_strip(self):
        b = self.bench
        self.drag((70, -40), 1)
        left, top = self.rect()[:2]
        self.press("Save as...")
        menu = b.wait_menu()
        try:
            self.assertEqual(menu["rect"][:2], [left + 57, top + 17])
            self.assertEqual([i["text"] for i in menu["items"]], ["*.BMP", "*.JPG"])
        finally:
            b.post_message(self.bench.window("TForm1")["hwnd"], WM_CANCELMODE)
            b.wait_until(lambda: not b.menus(), what="the menu to close")


class ButtonsTest(PreviewTestCase):
    def setUp(self):
        self.start()
        self.capture()

    def test_set_hides_the_window_and_opens_the_preferences_unarmed(self):
        b = self.bench
        self.press("Set")
        b.wait_until(lambda: b.visible("TForm2"), what="the preferences window")
        self.assertFalse(b.window("TForm1")["visible"])
        self.assertTrue(b.holds_still(lambda: b.tray_icon() is None), "no tray icon")
        self.assertTrue(b.window("TApplication")["visible"], "a window shows: taskbar button")

    def test_run_and_minus_hide_the_window_and_arm_again(self):
        b = self.bench
        for text in ("Run", "-"):
            with self.subTest(button=text):
                self.press(text)
                b.wait_until(lambda: b.hidden("TForm1") and b.tray_icon(), what="armed")
                self.assertEqual([w["class"] for w in b.windows() if w["visible"]], [])
                self.capture()

    def test_each_part_of_the_window_shows_its_cursor(self):
        b = self.bench
        form1 = b.window("TForm1")
        left, top = form1["rect"][:2]

        def cursor_at(x, y):
            # Two moves: the cursor is set at a move over the control.
            b.mouse_move(left + x, top + y)
            b.mouse_move(left + x + 1, top + y)
            return b.probe("cursor", "--hwnd", form1["hwnd"])

        self.assertEqual(cursor_at(20, 8)["system"], "hand", "Run")
        self.assertEqual(cursor_at(80, 8)["system"], "hand", "Save as...")
        self.assertEqual(cursor_at(100, 90)["system"], "sizeall", "the picture")
        # "Set" has a drag cursor: the system has none, so it is the
        # program's own, not the "not allowed" sign.
        drag = cursor_at(122, 8)
        self.assertIsNone(drag["system"], "Set: %s" % drag)
        self.assertIsNotNone(drag["resource"], "Set: %s" % drag)
        self.assertEqual(cursor_at(176, 5)["system"], "arrow", "-")

    def test_x_ends_the_program_and_removes_the_icon(self):
        b = self.bench
        self.press("x")
        b.wait_program_exit()
        b.wait_until(lambda: b.tray_icon() is None, what="the icon to go")


if __name__ == "__main__":
    unittest.main()
