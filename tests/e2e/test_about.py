"""The about window: its layout, the two links' hover colours and what they
open, and "Ok" back to the preferences with their edits."""

import contextlib
import os
import subprocess
import unittest

from harness import WINE, BenchTestCase
from prefs_helpers import ABOUT_LAYOUT, PrefsDriver

WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_TABSTOP = 0x00010000

NAVY, TEAL, BLUE = (0, 0, 128), (0, 128, 128), (0, 0, 255)
LINK_CLASSES = ("https", "mailto")


class AboutTest(BenchTestCase):
    def setUp(self):
        self.drive = PrefsDriver(self, self.bench)
        self.bench.reset()

    def tearDown(self):
        if self.bench.program_running():
            self.bench.close_msgboxes()

    def about(self):
        return self.drive.form("TForm3")

    def link_pixels(self, name):
        """The label's pixels on screen."""
        window = self.about()
        rect = self.drive.get(name, window, ABOUT_LAYOUT)["rect"]
        client = window["client"]
        return self.bench.screenshot().crop(client[0] + rect[0], client[1] + rect[1],
                                            rect[2] - rect[0], rect[3] - rect[1])

    def wait_link(self, name, colour, underlined):
        """Waits until the label's text is drawn in that colour only, with or
        without a line under it."""
        def drawn():
            image = self.link_pixels(name)
            colours = image.colors()
            if colour not in colours or ({NAVY, TEAL, BLUE} - {colour}) & colours:
                return None
            # An underline is a run of text-coloured pixels wider than any letter.
            longest = 0
            for y in range(image.height):
                run = 0
                for x in range(image.width):
                    run = run + 1 if image.pixel(x, y) == colour else 0
                    longest = max(longest, run)
            return (longest >= 40) == underlined or None
        self.bench.wait_until(drawn, what="%s drawn in %s%s" % (
            name, colour, " and underlined" if underlined else ""))

    def hover(self, name):
        window = self.about()
        rect = self.drive.get(name, window, ABOUT_LAYOUT)["rect"]
        client = window["client"]
        y = client[1] + (rect[1] + rect[3]) // 2
        self.bench.mouse_move(client[0] + rect[0] + 10, y)
        self.bench.mouse_move(client[0] + rect[0] + 12, y)

    def move_away(self):
        self.bench.mouse_move(self.bench.width - 5, self.bench.height - 5)

    def test_infos_opens_the_borderless_about_window_and_ok_returns_with_the_edits(self):
        self.bench.start_program()
        self.drive.open_from_set()
        self.drive.set_text("Edit1", "C:\\Mes captures")
        self.drive.set_text("ChoixTouche", "Fin")
        window = self.drive.open_about()
        self.assertEqual(window["rect"], window["client"], "no frame, no title bar")
        rect = window["rect"]
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (273, 105))
        self.assertFalse(window["style"] & (WS_CAPTION | WS_BORDER))
        self.assertTrue(window["topmost"])
        screen = self.bench.probe("info")["screen"]
        self.assertLessEqual(abs((rect[0] + rect[2]) - screen[0]), 1, "centred across")
        self.assertLessEqual(abs((rect[1] + rect[3]) - screen[1]), 1, "centred down")
        self.assertEqual(window["title"], "  About...")
        for name, entry in ABOUT_LAYOUT.items():
            with self.subTest(control=name):
                found = self.drive.get(name, window, ABOUT_LAYOUT)
                if entry[6] is not None:
                    self.assertEqual(found["text"], entry[6])
        self.assertTrue(self.drive.get("Pub", window, ABOUT_LAYOUT)["text"], "a dedication")
        stops = [c["text"] for c in window["children"] if c["style"] & WS_TABSTOP]
        self.assertEqual(stops, ["Ok"], "Ok is the only control that takes focus")
        # The icon: 48 x 48, drawn in more than a couple of colours.
        icon = self.link_pixels("Image2")
        self.assertEqual(icon.size, (48, 48))
        self.assertGreater(len(icon.colors()), 3)

        self.drive.click("Button1", layout=ABOUT_LAYOUT)
        self.drive.hidden("TForm3")
        self.drive.shown("TForm2")
        state = self.drive.state()
        self.assertEqual((state["Edit1"], state["ChoixTouche"]), ("C:\\Mes captures", "Fin"))
        # "Annuler" then discards them.
        self.drive.click("Annuler")
        self.drive.hidden("TForm2")
        self.drive.open_from_set()
        self.assertEqual(self.drive.state()["ChoixTouche"], "F12")

    def test_ok_returns_to_the_preferences_opened_from_the_tray(self):
        self.bench.start_program()
        self.drive.open_from_tray()
        self.drive.open_about()
        self.drive.click("Button1", layout=ABOUT_LAYOUT)
        self.drive.shown("TForm2")
        self.assertFalse(self.bench.window("TForm3")["visible"])
        self.assertFalse(self.bench.window("TForm1")["visible"], "still armed")

    def test_keyboard_stays_on_ok_and_only_the_space_bar_presses_it(self):
        self.bench.start_program()
        self.drive.open_from_set()
        self.drive.open_about()
        window = self.bench.focus_window("TForm3")
        ok = self.drive.get("Button1", self.about(), ABOUT_LAYOUT)["hwnd"]
        on_ok = lambda: self.bench.focus_of(window) == ok  # noqa: E731
        self.bench.wait_until(on_ok, what="the focus on Ok")
        # Ok is the only control that takes the focus; nothing binds Enter
        # or Escape.
        for key in ("Tab", "shift+Tab", "Down", "Return", "Escape"):
            with self.subTest(key=key):
                self.bench.key(key)
                self.assertTrue(self.bench.holds_still(
                    lambda: on_ok() and self.bench.visible("TForm3") is not None, 0.8))
        self.bench.key("space")
        self.drive.hidden("TForm3")
        self.drive.shown("TForm2")

    def test_links_turn_blue_and_underlined_under_the_mouse_and_back_when_it_leaves(self):
        self.bench.start_program()
        self.drive.open_from_set()
        self.drive.open_about()
        self.move_away()
        self.wait_link("URL", NAVY, underlined=False)
        self.wait_link("Contact", TEAL, underlined=False)
        self.hover("URL")
        self.wait_link("URL", BLUE, underlined=True)
        self.wait_link("Contact", TEAL, underlined=False)
        # Straight from one link onto the other: the first leaves, the second lights.
        self.hover("Contact")
        self.wait_link("Contact", BLUE, underlined=True)
        self.wait_link("URL", NAVY, underlined=False)
        self.move_away()
        self.wait_link("Contact", TEAL, underlined=False)

    def test_links_open_the_web_page_and_a_mail_with_its_subject(self):
        record = os.path.join(self.bench.prefix, "drive_c", "vistrel-links.txt")
        with contextlib.suppress(FileNotFoundError):
            os.remove(record)
        keys = {cls: "HKLM\\Software\\Classes\\%s\\shell\\open\\command" % cls
                for cls in LINK_CLASSES}
        saved = {cls: os.path.join(self.bench.prefix, "drive_c", "vistrel-%s.reg" % cls)
                 for cls in LINK_CLASSES}
        for cls in LINK_CLASSES:
            self.reg("export", keys[cls], saved[cls], "/y")
        try:
            # The shell opens both kinds of link with the probe, which notes
            # what it was given.
            command = '"%s" record-args --out "C:\\vistrel-links.txt" "%%1"' % (
                self.bench.windows_path(self.bench.probe_exe))
            for cls in LINK_CLASSES:
                self.reg("add", keys[cls], "/ve", "/d", command, "/f")
            self.bench.start_program()
            self.drive.open_from_set()
            self.drive.open_about()
            self.drive.mouse_click("URL", dx=20, layout=ABOUT_LAYOUT)
            self.bench.wait_until(lambda: self.recorded(record, 1), what="the web link")
            self.drive.mouse_click("Contact", dx=20, layout=ABOUT_LAYOUT)
            lines = self.bench.wait_until(lambda: self.recorded(record, 2), what="the mail link")
        finally:
            for cls in LINK_CLASSES:
                self.reg("import", saved[cls])
                os.remove(saved[cls])
            with contextlib.suppress(FileNotFoundError):
                os.remove(record)
        self.assertTrue(lines[0].endswith(' "https://www.example.org/vistrel"'), lines[0])
        self.assertTrue(lines[1].endswith(
            ' "mailto:vistrel@example.org?subject=A propos de Vistrel..."'), lines[1])
        self.assertTrue(self.bench.window("TForm3")["visible"], "the window stays")
        self.assertEqual(self.bench.msgboxes(), [])

    def reg(self, *args):
        subprocess.run([WINE, "reg"] + list(args), env=self.bench.env(),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120, check=True)

    @staticmethod
    def recorded(path, count):
        try:
            with open(path, encoding="utf-8") as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return None
        return lines if len(lines) >= count else None


if __name__ == "__main__":
    unittest.main()
