"""The bench itself: what the other end-to-end tests rely on, checked without
the program, so a broken bench shows here and not as a fault of the program."""

import os
import struct
import unittest

from harness import ROOT_COLOR, VK_F12, VK_MENU, BenchTestCase, Image, fixture_color

WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP = 0x200, 0x202, 0x205


def bmp_bytes(width, height, pixels, bpp=32, top_down=False, bitfields=False):
    """A BMP file from rows of (r, g, b), written independently of Image."""
    step = bpp // 8
    stride = ((width * bpp + 31) // 32) * 4
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            row += bytes((b, g, r)) + (b"\x00" if bpp == 32 else b"")
        rows.append(bytes(row) + b"\x00" * (stride - width * step))
    if not top_down:
        rows.reverse()
    masks = struct.pack("<3I", 0xFF0000, 0xFF00, 0xFF) if bitfields else b""
    offset = 14 + 40 + len(masks)
    header = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bpp,
                         3 if bitfields else 0, stride * height, 2835, 2835, 0, 0)
    data = b"".join(rows)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header + masks + data


class ImageTest(unittest.TestCase):
    def test_bmp_variants_decode_to_the_same_pixels(self):
        pixels = [[(x * 40, y * 60, 200 - x * 10) for x in range(5)] for y in range(3)]
        for bpp, top_down, bitfields in ((24, False, False), (24, True, False),
                                         (32, False, False), (32, True, False),
                                         (32, False, True)):
            with self.subTest(bpp=bpp, top_down=top_down, bitfields=bitfields):
                image = Image.from_bmp(bmp_bytes(5, 3, pixels, bpp, top_down, bitfields))
                self.assertEqual(image.size, (5, 3))
                for y in range(3):
                    for x in range(5):
                        self.assertEqual(image.pixel(x, y), pixels[y][x])
                self.assertEqual(image.crop(1, 1, 2, 2).pixel(1, 1), pixels[2][2])


class BenchTest(BenchTestCase):
    def tearDown(self):
        self.bench.reset()

    def test_fixture_shows_its_pattern_where_it_says(self):
        fixture = self.bench.start_fixture(x=101, y=67, w=300, h=200)
        self.assertEqual(fixture["client"], [101, 67, 401, 267])
        shot = self.bench.screenshot()
        self.assertEqual(shot.size, (self.bench.width, self.bench.height))
        area = shot.crop(101, 67, 300, 200)
        self.assertIsNone(area.mismatch(fixture_color))
        # The window manager frames the client area; beyond its frame lies
        # the desktop.
        x, y, w, h = self.bench.x_frame(self.bench.fixture_window_id())
        self.assertTrue(x < 101 and y < 67 and x + w > 401 and y + h > 267, (x, y, w, h))
        self.assertNotEqual(shot.pixel(100, 66), ROOT_COLOR, "the frame")
        self.assertNotEqual(shot.pixel(401, 267), ROOT_COLOR, "the frame")
        self.assertEqual(shot.pixel(x - 1, y - 1), ROOT_COLOR)
        self.assertEqual(shot.pixel(x + w, y + h), ROOT_COLOR)

    def test_keys_reach_wine_through_the_focused_fixture(self):
        self.bench.start_fixture()
        self.bench.wait_until(lambda: self.bench.probe("info")["foreground_class"] == "VistrelFixture",
                              what="the fixture to be the foreground window")
        self.bench.press_hotkey("F12", modifiers=("alt",), hold=0.1)
        down = self.bench.wait_until(lambda: [e["vk"] for e in self.bench.fixture_events
                                              if e["event"] == "keydown"],
                                     what="key events at the fixture")
        self.bench.wait_until(lambda: len([e for e in self.bench.fixture_events
                                           if e["event"] == "keyup"]) >= 2,
                              what="the key releases")
        self.assertEqual(down[:2], [VK_MENU, VK_F12])

    def test_mouse_clicks_land_where_asked(self):
        fixture = self.bench.start_fixture(x=200, y=150)
        self.bench.click(200 + 17, 150 + 23, button=3)
        up = self.bench.wait_until(lambda: self.bench.fixture_event("rbuttonup"),
                                   what="the right-button release")
        self.assertEqual((up["x"], up["y"]), (17, 23))
        self.assertEqual(self.bench.cursor_position(), (217, 173))
        self.assertEqual(fixture["client"][:2], [200, 150])

    def test_probe_reads_controls_of_another_process(self):
        self.bench.start_fixture(controls=True)
        fixture = self.bench.probe("windows", "--exe", "vistrel_probe.exe", "--class",
                                   "VistrelFixture", "--children")[0]
        controls = {c["id"]: c for c in fixture["children"]}
        button, check, combo, bar, edit = (controls[i] for i in (11, 12, 13, 14, 15))
        self.assertEqual((button["text"], button["rect"]), ("Bouton", [5, 5, 85, 27]))
        self.assertEqual(button["font"], {"readable": True, "face": "Arial", "height": -13,
                                          "weight": 700, "italic": False, "charset": 1})
        self.assertIsNone(check["font"], "the system font")
        self.assertEqual((check["text"], check["button_type"], check["checked"]),
                         ("Coché", "check", 1))
        self.assertEqual(combo["items"], ["F11", "F12", "Impr. écran"])
        self.assertEqual((combo["selected"], combo["text"]), (2, "Impr. écran"))
        self.assertEqual((bar["position"], bar["range"]), (42, [1, 100]))
        self.assertEqual(edit["text"], "C:\\Dossier")
        self.bench.probe("settext", "--hwnd", edit["hwnd"], "--text", "D:\\Été")
        again = self.bench.probe("windows", "--exe", "vistrel_probe.exe", "--class",
                                 "VistrelFixture", "--children")[0]["children"]
        self.assertEqual([c["text"] for c in again if c["id"] == 15], ["D:\\Été"])

    def test_tray_icon_is_found_and_clicks_reach_its_owner(self):
        self.bench.start_fixture(tray=True)
        x, y = self.bench.wait_until(self.bench.tray_icon, what="the fixture's tray icon")
        self.bench.click(x, y, button=1)
        self.bench.click(x, y, button=3)
        messages = self.bench.wait_until(
            lambda: [e["message"] for e in self.bench.fixture_events
                     if e["event"] == "tray" and e["message"] != WM_MOUSEMOVE][-1:] == [WM_RBUTTONUP]
            and [e["message"] for e in self.bench.fixture_events if e["event"] == "tray"],
            what="the tray callbacks")
        self.assertIn(WM_LBUTTONUP, messages)
        self.bench.stop_fixture()
        self.bench.wait_until(lambda: self.bench.tray_icon() is None,
                              what="the icon to go with its owner")

    def test_clipboard_bitmap_reaches_x_and_win32_alike(self):
        answer = self.bench.probe("clipboard-put-pattern", "--w", 40, "--h", 30)
        self.assertTrue(answer["set"])
        info = self.bench.clipboard_info()
        self.assertIn("CF_BITMAP", info["formats"])
        self.assertEqual((info["bitmap"]["width"], info["bitmap"]["height"]), (40, 30))
        self.assertEqual(info["bitmap"]["bpp"], 32)
        dib = self.bench.clipboard_dib()
        self.assertIsNone(dib.mismatch(fixture_color))
        self.assertIn("image/bmp", self.bench.wait_until(self.bench.clipboard_targets,
                                                         what="X clipboard targets"))
        x_side = self.bench.clipboard_bmp()
        self.assertIsNotNone(x_side)
        self.assertIsNone(x_side.first_difference(dib))
        self.bench.clear_clipboard()
        self.assertEqual(self.bench.clipboard_info()["formats"], [])
        self.assertIsNone(self.bench.clipboard_dib())

    def test_held_clipboard_is_busy_for_others(self):
        with self.bench.clipboard_held():
            answer = self.bench.probe("clipboard-info", "--timeout", 300, check=False)
            self.assertEqual(answer.get("error"), "clipboard busy")
        self.assertNotIn("error", self.bench.probe("clipboard-info"))

    def test_config_and_paths(self):
        self.bench.write_settings(Vistrel="F11", SaveFilePath="C:\\Capturé")
        with open(self.bench.config_path, "rb") as f:
            self.assertEqual(f.read(), b"[Settings]\r\nVistrel=F11\r\nSaveFilePath=C:\\Captur\xe9\r\n")
        self.assertEqual(self.bench.read_settings(), {"Vistrel": "F11", "SaveFilePath": "C:\\Capturé"})
        self.assertEqual(self.bench.linux_path("C:\\windows\\Vistrel.cfg"), self.bench.config_path)
        self.assertEqual(self.bench.windows_path(self.bench.config_path), "C:\\windows\\Vistrel.cfg")
        self.assertTrue(os.path.isdir(self.bench.documents_dir))
        self.bench.remove_config()
        self.assertIsNone(self.bench.read_config())

    def test_colour_key_shows_the_desktop(self):
        self.bench.start_fixture(x=300, y=300, w=50, h=40, solid=(255, 0, 255),
                                 colorkey=(255, 0, 255))
        self.bench.wait_until(lambda: self.bench.screenshot().crop(300, 300, 50, 40)
                              .is_uniform(ROOT_COLOR), what="the keyed area to show the desktop")

    def test_compositor_blends_alpha_and_goes(self):
        self.bench.start_fixture(x=300, y=300, w=50, h=40, solid=(0, 0, 0), alpha=200)
        self.assertEqual(self.bench.screenshot().pixel(320, 320), (0, 0, 0),
                         "no blending without a compositor")
        with self.bench.use_compositor():
            # Black at 200/255 over the compositor's grey 128.
            blended = self.bench.wait_until(
                lambda: (lambda p: p if p != (0, 0, 0) else None)(
                    self.bench.screenshot().pixel(320, 320)), what="the blended fixture")
            for channel in blended:
                self.assertAlmostEqual(channel, 28, delta=2)
        # Back to plain X: the desktop colour returns.
        self.bench.wait_until(lambda: self.bench.screenshot().pixel(self.bench.width - 1,
                                                                    self.bench.height - 1)
                              == ROOT_COLOR, what="the desktop colour after the compositor")


if __name__ == "__main__":
    unittest.main()
