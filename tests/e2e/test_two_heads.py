"""Two monitors side by side at one scale, as a laptop with a second screen
has: a window on the second monitor is captured exactly by Ctrl and Alt, the
whole screen is the primary's."""

import unittest

from harness import ROOT_COLOR, VK_F12, BenchTestCase, fixture_color

PRIMARY = (1280, 800)


class TwoHeadsTest(BenchTestCase):
    second_head = "right"  # 1024 x 768 at x 1280

    def capture(self, modifiers=()):
        b = self.bench
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        b.press_hotkey_handled("F12", modifiers)
        image = b.clipboard_dib()
        # Clicked once the button shows on the screen, over the desktop's colour.
        run = b.probe("screen-rect", "--hwnd", b.child("TForm1", text="Run")["hwnd"])["rect"]
        at = ((run[0] + run[2]) // 2, (run[1] + run[3]) // 2)
        b.wait_until(lambda: b.screenshot().pixel(*at) != ROOT_COLOR, what="the preview drawn")
        b.click(*at)
        b.wait_until(lambda: b.hidden("TForm1") and b.tray_icon(), what="back in the tray")
        return image

    def test_a_window_on_the_second_monitor_and_the_primary_screen(self):
        b = self.bench
        b.reset()
        monitors = b.probe("monitors")
        self.assertEqual(len(monitors), 2, monitors)
        b.start_program()
        fixture = b.start_fixture(x=1500, y=200, w=300, h=200)
        client, rect = fixture["client"], fixture["rect"]
        self.assertGreaterEqual(rect[0], PRIMARY[0], "the fixture lies on the second monitor")

        content = self.capture("ctrl")
        self.assertEqual(content.size, (300, 200))
        self.assertIsNone(content.mismatch(fixture_color))

        framed = self.capture("alt")
        # The window where the system puts it, frame and all; its client area
        # at the client's offset inside it, pixel for pixel.
        rect = b.probe("screen-rect", "--hwnd", fixture["hwnd"])["rect"]
        self.assertEqual(framed.size, (rect[2] - rect[0], rect[3] - rect[1]))
        inner = framed.crop(client[0] - rect[0], client[1] - rect[1], 300, 200)
        self.assertIsNone(inner.mismatch(fixture_color))

        whole = self.capture()
        self.assertEqual(whole.size, PRIMARY, "the whole screen is the primary's")


if __name__ == "__main__":
    unittest.main()
