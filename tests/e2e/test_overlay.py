"""Shift with the hot key: the frozen screen, the rubber-band frame, and the
selected pixels in the preview and on the clipboard at each release."""

import time
import unittest

from harness import WM_NULL, BenchTestCase, fixture_color

WHITE = (255, 255, 255)
# The fixture's client area sits at the screen's origin, so its pattern tells
# every screen pixel's position. The preview window is centred on the screen
# (540, 316 on 1280 x 800), away from the drags below.
FIXTURE = dict(x=0, y=0, w=640, h=400)
PREVIEW_PICTURE_TOP = 17  # Image1 lies below the button strip


def screen_pattern(left, top):
    """The frozen screen under an image whose (0, 0) was the screen's (left, top)."""
    return lambda x, y: fixture_color(left + x, top + y)


def framed_pattern(width, height):
    """What a 200 x 100 selection from (100, 100) holds with the white border."""
    def pixel(x, y):
        if x in (0, width - 1) or y in (0, height - 1):
            return WHITE
        return fixture_color(100 + x, 100 + y)
    return pixel


class OverlayTest(BenchTestCase):
    def setUp(self):
        self.bench.reset()
        self.bench.start_fixture(**FIXTURE)
        self.bench.start_program()

    # ---- steps ----------------------------------------------------------------

    def show_overlay(self):
        """Shift + F12 from the focused fixture; returns the overlay's window record."""
        self.bench.focus_fixture()
        self.bench.press_hotkey("F12", "shift")

        def shown():
            overlay, preview = self.bench.window("TForm4"), self.bench.window("TForm1")
            return overlay["visible"] and preview["visible"] and overlay
        return self.bench.wait_until(shown, timeout=15, what="the overlay and the preview")

    def mark_clipboard(self):
        """A pattern of a size no selection here has; returns the clipboard's sequence."""
        self.assertTrue(self.bench.probe("clipboard-put-pattern", "--w", 37, "--h", 23)["set"])
        return self.bench.clipboard_info()["sequence"]

    def wait_clipboard(self, since):
        """The clipboard once a release after sequence `since` is fully handled."""
        self.bench.wait_until(lambda: self.bench.clipboard_info()["sequence"] > since,
                              timeout=15, what="the release to write the clipboard")
        # The release empties the clipboard before filling it: let its handler end.
        self.bench.send_message(self.bench.window("TForm1")["hwnd"], WM_NULL)
        return self.bench.clipboard_info()

    def clipboard_image(self, since):
        info = self.wait_clipboard(since)
        self.assertIn("CF_BITMAP", info["formats"])
        return self.bench.clipboard_dib()

    def wait_frame(self, left, top, right, bottom):
        """Polls the screen until the white frame of that rectangle shows."""
        def drawn():
            shot = self.bench.screenshot()
            corners_and_sides = [(left, top), (right - 1, top), (left, bottom - 1),
                                 (right - 1, bottom - 1), ((left + right) // 2, top),
                                 (left, (top + bottom) // 2)]
            return all(shot.pixel(x, y) == WHITE for x, y in corners_and_sides) and shot
        return self.bench.wait_until(drawn, timeout=10, what="the frame on the overlay")

    def wait_no_frame(self, left=90, top=90, width=230, height=130):
        """Polls until that part of the overlay shows the frozen screen only."""
        self.bench.wait_until(
            lambda: self.bench.screenshot().crop(left, top, width, height)
            .matches(screen_pattern(left, top)), timeout=10, what="the overlay without a frame")

    def drag(self, start, end, frame=None):
        """Left-button drag; waits for the frame of the last move before the release."""
        self.bench.mouse_move(*start)
        self.bench.mouse_down(1)
        try:
            self.bench.mouse_move((start[0] + end[0]) // 2, (start[1] + end[1]) // 2)
            self.bench.mouse_move(*end)
            if frame:
                self.wait_frame(*frame)
        finally:
            # Released even when a check fails: a button left down would
            # swallow the next press.
            self.bench.mouse_up(1)

    def press_and_release(self, at, button):
        self.bench.mouse_move(*at)
        self.bench.mouse_down(button)
        self.bench.mouse_up(button)

    def assert_image(self, image, size, expected):
        self.assertEqual(image.size, size)
        self.assertIsNone(image.mismatch(expected))

    def preview_shows(self, image):
        """The preview draws a 200 x 100 picture 1:1 (it fills the width), centred."""
        preview = self.bench.window("TForm1")
        left = preview["rect"][0]
        top = preview["rect"][1] + PREVIEW_PICTURE_TOP + (150 - image.height) // 2
        return self.bench.screenshot().crop(left, top, image.width, image.height) == image

    # ---- tests ----------------------------------------------------------------

    def test_drag_puts_the_framed_selection_in_preview_and_clipboard(self):
        before = self.mark_clipboard()
        overlay = self.show_overlay()
        self.assertEqual(overlay["rect"], [0, 0, self.bench.width, self.bench.height])
        self.assertTrue(overlay["topmost"])
        # The capture itself leaves the clipboard alone.
        info = self.bench.clipboard_info()
        self.assertEqual(info["sequence"], before)
        self.assertIsNone(self.bench.clipboard_dib().mismatch(fixture_color))

        # The screen stands still: the fixture goes, the overlay still shows it
        # (below Wine's tray window, which was on screen at the capture).
        fixture_window = self.bench.fixture_window_id()
        self.bench.stop_fixture()
        self.bench.wait_until(
            lambda: self.bench._run(["xwininfo", "-id", fixture_window], check=False).returncode,
            what="the fixture's window to go")
        self.wait_no_frame(0, 60, 500, 240)
        # The preview lies above the overlay, over a part of the frozen fixture.
        preview = self.bench.window("TForm1")
        inside = (preview["rect"][0] + 20, preview["rect"][1] + 60)
        self.assertTrue(inside[0] < FIXTURE["w"] and inside[1] < FIXTURE["h"])
        self.assertNotEqual(self.bench.screenshot().pixel(*inside), fixture_color(*inside))

        self.drag((100, 100), (300, 200), frame=(100, 100, 300, 200))
        image = self.clipboard_image(before)
        self.assert_image(image, (200, 100), framed_pattern(200, 100))
        self.wait_no_frame()
        self.bench.wait_until(lambda: self.preview_shows(image), timeout=10,
                              what="the preview to show the selection")
        overlay = self.bench.window("TForm4")
        self.assertTrue(overlay["visible"], "the overlay stays after a release")
        self.assertEqual(self.bench.msgboxes(), [])

    def test_a_drag_begun_as_soon_as_the_frozen_screen_shows_works_as_a_later_one(self):
        # A practised user presses within a few tenths of a second of the
        # frozen screen's coming up, and may release as quickly.
        for release_at_once in (False, True):
            with self.subTest(release_at_once=release_at_once):
                self.bench.reset()
                self.bench.start_fixture(**FIXTURE)
                self.bench.start_program()
                mark = self.mark_clipboard()
                self.bench.mouse_move(100, 100)
                self.press_selection_key_until_the_overlay_shows()
                self.bench.mouse_down(1)
                try:
                    self.bench.mouse_move(200, 150)
                    self.bench.mouse_move(300, 200)
                    if not release_at_once:
                        self.wait_frame(100, 100, 300, 200)
                        # The preview lies above the overlay during the drag.
                        preview = self.bench.window("TForm1")
                        inside = (preview["rect"][0] + 20, preview["rect"][1] + 60)
                        self.bench.wait_until(
                            lambda: self.bench.screenshot().pixel(*inside)
                            != fixture_color(*inside), what="the preview above the overlay")
                finally:
                    self.bench.mouse_up(1)
                self.assert_image(self.clipboard_image(mark), (200, 100), framed_pattern(200, 100))
                self.wait_no_frame()
        self.assertEqual(self.bench.msgboxes(), [])

    def press_selection_key_until_the_overlay_shows(self):
        """Shift + F12, and back as soon as the overlay is on the screen."""
        b = self.bench
        b.focus_fixture()
        b.keydown("shift")
        try:
            # Held a moment before the key, as a hand does: the program polls
            # every 100 ms and must see the modifier down at the key's tick.
            time.sleep(0.3)
            b.key("F12")
            b.wait_until(lambda: b.x_window_shown("Form4"), timeout=15, interval=0.02,
                         what="the frozen screen")
        finally:
            b.keyup("shift")

    def test_border_setting_is_read_at_every_press(self):
        self.show_overlay()
        cases = [  # (BordBlanc, from, to)
            (None, (100, 100), (300, 200)),
            ("non", (300, 200), (100, 100)),
            ("NON", (300, 200), (100, 100)),
            ("non", (100, 100), (300, 200)),
            ("oui", (300, 200), (100, 100)),
        ]
        for value, start, end in cases:
            with self.subTest(BordBlanc=value, start=start):
                if value is None:
                    self.bench.remove_config()
                else:
                    self.bench.write_settings(BordBlanc=value)
                mark = self.mark_clipboard()
                if value == "non":
                    # The frame lies one pixel outside the dragged area.
                    self.drag(start, end, frame=(99, 99, 302, 202))
                    self.assert_image(self.clipboard_image(mark), (201, 101),
                                      screen_pattern(100, 100))
                else:
                    self.drag(start, end, frame=(100, 100, 300, 200))
                    self.assert_image(self.clipboard_image(mark), (200, 100),
                                      framed_pattern(200, 100))
                self.wait_no_frame()
        self.assertEqual(self.bench.msgboxes(), [])

    def test_click_before_any_selection_with_margin_is_an_empty_capture(self):
        # Nothing was selected since start-up; without the white border the
        # stored rectangle less its margin would have a negative size.
        self.bench.write_settings(BordBlanc="non")
        self.show_overlay()
        for button in (3, 1):
            with self.subTest(button=button):
                mark = self.mark_clipboard()
                self.press_and_release((450, 250), button)
                info = self.wait_clipboard(mark)
                self.assertEqual(info["formats"], [], "emptied, nothing put on it")
                self.assertEqual(self.bench.msgboxes(), [])
                self.assertTrue(self.bench.program_running())
                self.assertTrue(self.bench.window("TForm4")["visible"])
        # The overlay works on as usual.
        mark = self.mark_clipboard()
        self.drag((100, 100), (300, 200), frame=(99, 99, 302, 202))
        self.assert_image(self.clipboard_image(mark), (201, 101), screen_pattern(100, 100))

    def test_clicks_and_other_buttons_capture_the_stored_rectangle(self):
        self.show_overlay()
        mark = self.mark_clipboard()
        self.drag((100, 100), (300, 200), frame=(100, 100, 300, 200))
        self.clipboard_image(mark)
        self.wait_no_frame()

        # No frame is on screen at a click, so no white line is captured.
        for button in (3, 2, 1):
            with self.subTest(button=button):
                mark = self.mark_clipboard()
                self.press_and_release((450, 250), button)
                self.assert_image(self.clipboard_image(mark), (200, 100), screen_pattern(100, 100))

        # A drag with the right button draws nothing and captures the stored one.
        mark = self.mark_clipboard()
        self.bench.mouse_move(150, 150)
        self.bench.mouse_down(3)
        self.bench.mouse_move(250, 350)
        self.assertTrue(self.bench.holds_still(
            lambda: self.bench.screenshot().crop(140, 140, 120, 220)
            .matches(screen_pattern(140, 140)), 0.3), "no frame during a right drag")
        self.bench.mouse_up(3)
        self.assert_image(self.clipboard_image(mark), (200, 100), screen_pattern(100, 100))

        # The margin read at the press applies to the stored rectangle.
        self.bench.write_settings(BordBlanc="non")
        mark = self.mark_clipboard()
        self.press_and_release((450, 250), 1)
        self.assert_image(self.clipboard_image(mark), (198, 98), screen_pattern(101, 101))

    def test_last_move_on_the_anchor_row_keeps_the_rectangle_before_it(self):
        self.show_overlay()
        mark = self.mark_clipboard()
        self.bench.mouse_move(100, 100)
        self.bench.mouse_down(1)
        self.bench.mouse_move(200, 150)
        self.bench.mouse_move(300, 200)
        self.wait_frame(100, 100, 300, 200)
        self.bench.mouse_move(300, 100)  # the anchor's row: the frame goes
        self.wait_no_frame()
        self.bench.mouse_up(1)
        self.assert_image(self.clipboard_image(mark), (200, 100), screen_pattern(100, 100))

    def test_run_hides_the_overlay_and_the_next_showing_freezes_the_new_screen(self):
        self.show_overlay()
        mark = self.mark_clipboard()
        self.drag((100, 100), (300, 200), frame=(100, 100, 300, 200))
        self.clipboard_image(mark)

        run = self.bench.child("TForm1", text="Run")
        self.bench.click_control(run["hwnd"])
        self.bench.wait_until(lambda: not self.bench.window("TForm4")["visible"]
                              and not self.bench.window("TForm1")["visible"],
                              what="Run to hide the overlay and the preview")
        self.bench.wait_until(self.bench.tray_icon, what="the program armed again")
        self.bench.wait_until(lambda: self.bench.screenshot().crop(100, 100, 200, 100)
                              .matches(screen_pattern(100, 100)), what="the live screen")

        # A new screen under a new showing; a click captures the rectangle
        # stored during the first showing, from the new frozen image.
        solid = (0x20, 0x90, 0x50)
        self.bench.start_fixture(solid=solid, **FIXTURE)
        self.show_overlay()
        mark = self.mark_clipboard()
        self.press_and_release((450, 250), 1)
        image = self.clipboard_image(mark)
        self.assertEqual(image.size, (200, 100))
        self.assertTrue(image.is_uniform(solid))


if __name__ == "__main__":
    unittest.main()
