"""At 144 DPI (150 %): captures are the screen's own pixels, and the windows
are laid out as their tables say, every length scaled by 1.5, with their
texts at the same scale. A Wine prefix of its own is set to that DPI."""

import os
import re
import subprocess
import unittest

from harness import REPO, VK_F12, WINE, WINEARCH, Bench
from prefs_helpers import ABOUT_LAYOUT, PREFERENCES_LAYOUT, PrefsDriver, scaled

DPI = 144
LOG_PIXELS_KEYS = ("HKCU\\Control Panel\\Desktop",
                   "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts")
# (text, left, top, width, height) of the preview window's buttons at 96 DPI.
PREVIEW_BUTTONS = [("Run", 0, 0, 57, 17), ("Save as...", 56, 0, 57, 17), ("Set", 112, 0, 25, 17),
                   ("-", 170, 0, 15, 13), ("x", 185, 0, 15, 13)]


def scaled_rect(left, top, width, height):
    return [scaled(v, DPI) for v in (left, top, left + width, top + height)]


class DpiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        prefix = os.path.join(REPO, "build", "wineprefix-%s-dpi%d" % (WINEARCH, DPI))
        cls.bench = Bench(1280, 800, prefix=prefix)
        cls.addClassCleanup(cls.bench.stop)
        cls.bench.start()
        for key in LOG_PIXELS_KEYS:
            subprocess.run([WINE, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                            str(DPI), "/f"], env=cls.bench.env(), check=True, timeout=120,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)

    def setUp(self):
        self.bench.reset()
        self.drive = PrefsDriver(self, self.bench, dpi=DPI)

    def capture(self, modifiers=()):
        """The clipboard's bitmap after a capture from the focused fixture."""
        b = self.bench
        b.activate_fixture()
        b.probe("key-state", VK_F12)
        sequence = b.probe("clipboard-sequence")["sequence"]
        b.press_hotkey("F12", modifiers)
        b.wait_until(lambda: b.probe("clipboard-sequence")["sequence"] != sequence,
                     what="the capture on the clipboard")
        b.wait_until(lambda: b.visible("TForm1"), what="the preview window")
        image = b.clipboard_dib()
        b.click_control(b.child("TForm1", text="Run")["hwnd"])
        b.wait_until(lambda: b.hidden("TForm1") and b.tray_icon(), what="armed again")
        return image

    def test_captures_are_the_screens_own_pixels(self):
        b = self.bench
        self.assertEqual(b.probe("info")["screen"], [b.width, b.height])
        fixture = b.start_fixture(x=100, y=120, w=300, h=200)
        b.start_program()
        screen = self.capture()
        self.assertEqual(screen.size, (b.width, b.height), "the whole screen")
        # The fixture's X window is its client area (the window manager
        # draws the frame around it): its pixels on the screen are what Ctrl
        # captures.
        geometry = b._run(["xwininfo", "-id", b.fixture_window_id()]).stdout.decode()
        x, y, w, h = (int(re.search(p, geometry).group(1)) for p in (
            r"Absolute upper-left X:\s+(-?\d+)", r"Absolute upper-left Y:\s+(-?\d+)",
            r"Width:\s+(\d+)", r"Height:\s+(\d+)"))
        client = self.capture(("ctrl",))
        self.assertEqual(client.size, (w, h), "the client area's pixels")
        self.assertEqual(client, screen.crop(x, y, w, h))
        rect = fixture["rect"]
        frame = self.capture(("alt",))
        self.assertEqual(frame.size, (rect[2] - rect[0], rect[3] - rect[1]),
                         "the window's rectangle as the system gives it")

    def test_windows_lay_out_their_tables_at_one_and_a_half_times(self):
        b = self.bench
        b.start_fixture()
        b.start_program()
        b.activate_fixture()
        b.press_hotkey("F12")
        b.wait_until(lambda: b.visible("TForm1"), what="the preview window")
        preview = b.window("TForm1", children=True)
        width, height = scaled(200, DPI), scaled(167, DPI)
        left, top = (b.width - width) // 2, (b.height - height) // 2
        self.assertEqual(preview["rect"], [left, top, left + width, top + height])
        buttons = sorted((c for c in preview["children"] if c["class"].lower() == "button"),
                         key=lambda c: c["rect"][0])
        self.assertEqual([(c["text"], c["rect"]) for c in buttons],
                         [(t, scaled_rect(*r)) for t, *r in PREVIEW_BUTTONS])

        window = self.drive.open_from_set()
        client = window["client"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]),
                         (scaled(329, DPI), scaled(273, DPI)))
        for name in PREFERENCES_LAYOUT:
            with self.subTest(control=name):
                found = self.drive.get(name, window)
                if found["font"] is not None:
                    self.assertEqual(found["font"]["height"], -scaled(11, DPI))

        about = self.drive.open_about()
        rect = about["rect"]
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]),
                         (scaled(273, DPI), scaled(105, DPI)))
        for name in ABOUT_LAYOUT:
            with self.subTest(control=name):
                self.drive.get(name, about, ABOUT_LAYOUT)
        # The 48 x 48 icon is drawn at the same scale: what it covers of its
        # place is wider than the icon at its own size could be.
        icon = self.drive.get("Image2", about, ABOUT_LAYOUT)["rect"]
        shot = b.screenshot().crop(rect[0] + icon[0], rect[1] + icon[1], icon[2] - icon[0],
                                   icon[3] - icon[1])
        background = shot.pixel(0, 0)
        drawn = [x for x in range(shot.width) for y in range(shot.height)
                 if shot.pixel(x, y) != background]
        self.assertGreater(max(drawn) - min(drawn) + 1, 48)


if __name__ == "__main__":
    unittest.main()
