"""Capture modes: the modifier held with the hot key chooses what lands on the
clipboard; a held key captures once; a busy clipboard shows one error box."""

import unittest

from harness import VK_CONTROL, VK_F12, VK_INSERT, VK_MENU, VK_SHIFT, BenchTestCase, fixture_color

MARKER = (7, 5)  # size of the bitmap put on the clipboard before each capture


def form1_if(bench, visible):
    form1 = bench.window("TForm1")
    return form1 if form1 and form1["visible"] == visible else None


class CaptureTestCase(BenchTestCase):
    """One bench and one program for the class; each test starts armed."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.bench.remove_config()

    def setUp(self):
        b = self.bench
        # Presses since the last capture (a held key repeats) leave their
        # "pressed since" bits: they would capture at re-arming or choose a mode.
        b.probe("key-state", VK_SHIFT, VK_CONTROL, VK_MENU, VK_INSERT, VK_F12)
        if not b.program_running():
            b.start_fixture()
            b.start_program()
        elif b.window("TForm1")["visible"] or not b.tray_icon():
            self.rearm()
        self.bench.activate_fixture()
        b.probe("clipboard-put-pattern", "--w", MARKER[0], "--h", MARKER[1])

    def rearm(self):
        b = self.bench
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        b.wait_until(lambda: form1_if(b, False) and b.tray_icon(), what="the program re-armed")

    def wait_shown(self, timeout=15):
        return self.bench.wait_until(lambda: form1_if(self.bench, True), timeout=timeout,
                                     what="the preview window to show")

    def wait_clipboard_capture(self, timeout=15):
        """The clipboard's image once it is no longer the marker bitmap."""
        def captured():
            image = self.bench.clipboard_bmp()
            return image if image is not None and image.size != MARKER else None
        return self.bench.wait_until(captured, timeout=timeout, what="the capture on the clipboard")

    def capture(self, modifiers=(), key="F12"):
        before = self.bench.screenshot()
        self.bench.press_hotkey(key, modifiers)
        self.wait_shown()
        return before, self.wait_clipboard_capture()

    def assert_frame_capture(self, before, clip):
        rect = self.bench.fixture["rect"]
        width, height = rect[2] - rect[0], rect[3] - rect[1]
        self.assertEqual(clip.size, (width, height), "the outer rectangle's size")
        # The capture holds what the screen showed in the window's rectangle:
        # the window manager's frame, and what lies beneath where Wine's
        # rectangle reaches past that frame.
        self.assertIsNone(clip.first_difference(before.crop(rect[0], rect[1], width, height)))

    def assert_client_capture(self, clip):
        client = self.bench.fixture["client"]
        self.assertEqual(clip.size, (client[2] - client[0], client[3] - client[1]))
        self.assertIsNone(clip.mismatch(fixture_color), "the fixture's pattern, pixel for pixel")


class CaptureModesTest(CaptureTestCase):
    def test_no_modifier_captures_the_whole_screen(self):
        before, clip = self.capture()
        self.assertEqual(clip.size, (self.bench.width, self.bench.height))
        self.assertIsNone(clip.first_difference(before))

    def test_alt_captures_the_foreground_window_with_its_frame(self):
        before, clip = self.capture(("alt",))
        self.assert_frame_capture(before, clip)

    def test_ctrl_captures_the_foreground_windows_client_area(self):
        _, clip = self.capture(("ctrl",))
        self.assert_client_capture(clip)

    def test_what_lies_beyond_the_screen_is_white(self):
        """A window reaching past the screen's right edge: the frame capture
        holds the screen where it lies on it and white where nothing could be
        read, never black or an earlier capture's pixels."""
        b = self.bench
        b.start_fixture(x=b.width - 120, y=80, w=300, h=200)
        b.activate_fixture()
        b.probe("clipboard-put-pattern", "--w", MARKER[0], "--h", MARKER[1])
        before, clip = self.capture(("alt",))
        rect = b.fixture["rect"]
        width, height = rect[2] - rect[0], rect[3] - rect[1]
        self.assertEqual(clip.size, (width, height))
        inside = b.width - rect[0]
        self.assertIsNone(clip.crop(0, 0, inside, height).first_difference(
            before.crop(rect[0], rect[1], inside, height)))
        beyond = clip.crop(inside, 0, width - inside, height)
        self.assertTrue(beyond.is_uniform((255, 255, 255)), beyond.colors())
        b.start_fixture()

    def test_held_key_without_auto_record_captures_once(self):
        b = self.bench
        before = b.screenshot()
        b.keydown("F12")
        try:
            self.wait_shown()
            sequence = b.probe("clipboard-sequence")["sequence"]
            # Ten more ticks with the key down: a second capture would hold the
            # preview window, now on screen, and bump the clipboard's sequence
            # (read without opening the clipboard, not to get in its way).
            self.assertTrue(b.holds_still(
                lambda: b.probe("clipboard-sequence")["sequence"] == sequence, 1.0),
                "one capture only")
        finally:
            b.keyup("F12")
        clip = self.wait_clipboard_capture()
        self.assertIsNone(clip.first_difference(before))
        b.wait_until(lambda: b.tray_icon() is None, what="the icon gone: not armed any more")

    def test_shift_shows_the_overlay_and_leaves_the_clipboard(self):
        b = self.bench
        b.press_hotkey("F12", ("shift",))
        self.wait_shown()
        form4 = b.wait_until(lambda: (lambda w: w if w and w["visible"] else None)(
            b.window("TForm4")), what="the selection overlay")
        self.assertEqual(form4["rect"], [0, 0, b.width, b.height])
        info = b.clipboard_info()
        self.assertEqual(info["bitmap"]["width"], MARKER[0], "the clipboard is untouched")
        b.wait_until(lambda: b.tray_icon() is None, what="the tray icon removed")
        # "Run" after a selection hides the overlay before arming.
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        b.wait_until(lambda: form1_if(b, False) and b.tray_icon(), what="re-armed")
        self.assertFalse(b.window("TForm4")["visible"], "the overlay is hidden by Run")


class CombinedModifiersTest(CaptureTestCase):
    """Alt wins over Ctrl and Ctrl over Shift. The hot key is Insert here: X
    turns Ctrl+Alt+F12 into a console switch that never reaches Wine."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.bench.write_settings(Vistrel="Inser")

    def test_alt_wins_over_ctrl_and_ctrl_over_shift(self):
        cases = [(("alt", "ctrl"), "frame"), (("alt", "shift"), "frame"),
                 (("ctrl", "shift"), "client")]
        for modifiers, expected in cases:
            with self.subTest(modifiers=modifiers):
                if form1_if(self.bench, True):
                    self.setUp()
                before, clip = self.capture(modifiers, key="Insert")
                if expected == "frame":
                    self.assert_frame_capture(before, clip)
                else:
                    self.assert_client_capture(clip)


class AutoRecordDispatchTest(CaptureTestCase):
    """Any autoRec value but exactly "non" keeps the program armed after a capture."""

    def test_capture_stays_armed_unless_auto_record_is_exactly_non(self):
        b = self.bench
        folder = b.windows_path(b._tmp)
        for value in ("oui", "Non", ""):
            with self.subTest(autoRec=value):
                b.write_settings(AutoRec=value, AutoRecFormat="none", SaveFilePath=folder)
                self.setUp()
                # Waited out to its end, auto-record step included, so the
                # hidden preview below is what the capture left.
                b.press_hotkey_handled("F12")
                clip = self.wait_clipboard_capture()
                self.assertEqual(clip.size, (b.width, b.height))
                self.assertFalse(b.window("TForm1")["visible"], "the preview stays hidden")
                self.assertIsNotNone(b.tray_icon(), "still armed")
                self.assertEqual(b.msgboxes(), [])
        b.write_settings(AutoRec="non")
        b.probe("clipboard-put-pattern", "--w", MARKER[0], "--h", MARKER[1])
        b.press_hotkey("F12")
        self.wait_shown()
        # Wine's tray window drops the icon a moment after the window shows.
        b.wait_until(lambda: b.tray_icon() is None, what="the tray icon removed")
        b.remove_config()


class ClipboardBusyTest(CaptureTestCase):
    def test_busy_clipboard_shows_one_box_and_the_program_stays_armed(self):
        b = self.bench
        with b.clipboard_held(seconds=60):
            b.keydown("F12")
            try:
                box = b.wait_msgbox()
                self.assertEqual(box["caption"], "Vistrel")
                self.assertEqual(box["text"], "Impossible d'ouvrir le Presse-papiers.")
                # Ticks go on while the box is open and the key stays down:
                # still one box, never one inside another.
                self.assertTrue(b.holds_still(lambda: len(b.msgboxes()) == 1, 1.5),
                                "one box at a time")
            finally:
                b.keyup("F12")
            # Clear the key's pressed-since bit while the box still pauses the
            # poll, so closing it starts no capture of its own.
            b.probe("key-state", VK_F12)
            self.assertFalse(b.window("TForm1")["visible"], "the rest of the capture was skipped")
            self.assertIsNotNone(b.tray_icon(), "still armed")
        b.close_msgboxes("OK")
        self.assertEqual(b.msgboxes(), [])
        # Polling went on: with the clipboard free again the key captures.
        b.focus_fixture()
        b.probe("clipboard-put-pattern", "--w", MARKER[0], "--h", MARKER[1])
        _, clip = self.capture()
        self.assertEqual(clip.size, (b.width, b.height))


if __name__ == "__main__":
    unittest.main()
