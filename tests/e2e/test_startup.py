"""Start-up: four hidden windows, nothing on screen but the tray icon; the error box."""

import unittest

from harness import ROOT_COLOR, BenchTestCase

WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_EX_TOPMOST = 0x00000008
WS_EX_LAYERED = 0x00080000


def size(rect):
    return (rect[2] - rect[0], rect[3] - rect[1])


class StartupTest(BenchTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.bench.remove_config()
        cls.bench.start_program(wait_armed=False)

    def windows_by_class(self):
        found = {}
        for w in self.bench.windows():
            found.setdefault(w["class"], []).append(w)
        return found

    def test_the_four_forms_exist_hidden_with_their_geometry(self):
        found = self.windows_by_class()
        for cls in ("TForm1", "TForm2", "TForm3", "TForm4", "TApplication"):
            self.assertEqual(len(found.get(cls, [])), 1, "one %s window" % cls)
        app = found["TApplication"][0]
        form1, form2, form3, form4 = (found[c][0] for c in ("TForm1", "TForm2", "TForm3", "TForm4"))
        for form in (form1, form2, form3, form4):
            with self.subTest(form=form["class"]):
                self.assertFalse(form["visible"])
                self.assertEqual(form["owner"], app["hwnd"], "owned by the application window")

        # The preview window: borderless popup, always on top, translucent with
        # a fuchsia colour key.
        self.assertEqual(size(form1["rect"]), (200, 167))
        self.assertEqual(form1["rect"], form1["client"], "no frame")
        self.assertTrue(form1["style"] & WS_POPUP)
        self.assertFalse(form1["style"] & (WS_CAPTION | WS_THICKFRAME))
        self.assertTrue(form1["topmost"])
        self.assertTrue(form1["exstyle"] & WS_EX_LAYERED)
        self.assertEqual(form1["layered"], {"has_alpha": True, "alpha": 200,
                                            "has_colorkey": True, "colorkey": [255, 0, 255]})
        self.assertEqual(form1["title"], "  Vistrel v2.0.2.2")

        screen = self.bench.probe("info")["screen"]
        self.assertEqual(screen, [self.bench.width, self.bench.height])
        self.assertEqual(form4["rect"], [0, 0] + screen, "the overlay covers the screen")

        self.assertEqual(size(form2["client"]), (329, 273))
        self.assertEqual(form2["title"], "  Préférences...")
        self.assertEqual(size(form3["rect"]), (273, 105))

    def test_application_window_is_hidden_and_titled(self):
        app = self.bench.window("TApplication")
        self.assertEqual(app["title"], "Vistrel")
        self.assertFalse(app["visible"], "no taskbar button while nothing is shown")

    def test_nothing_of_the_program_is_visible(self):
        visible = [w for w in self.bench.windows() if w["visible"]]
        self.assertEqual(visible, [])
        # On screen: the root colour everywhere but the tray, which the
        # window manager frames.
        shot = self.bench.screenshot()
        tray = self.bench.x_frame(self.bench.tray_x_window()) if self.bench.tray_window() else None
        off_root = 0
        for y in range(0, shot.height, 4):
            for x in range(0, shot.width, 4):
                if tray and tray[0] <= x < tray[0] + tray[2] and tray[1] <= y < tray[1] + tray[3]:
                    continue
                if shot.pixel(x, y) != ROOT_COLOR:
                    off_root += 1
        self.assertEqual(off_root, 0, "pixels other than the desktop outside the tray")

    def test_tray_icon_shows(self):
        self.bench.wait_until(self.bench.tray_icon, timeout=20, what="the tray icon")
        self.assertTrue(self.bench.program_running())


class ErrorDisplayTest(BenchTestCase):
    """The test build raises vistrel::Error(text) on a WM_COPYDATA tagged 0x7E57."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.bench.remove_config()
        cls.bench.start_testhooks_program(wait_armed=False)

    def setUp(self):
        if not self.bench.program_running():
            self.bench.start_testhooks_program(wait_armed=False)
        self.bench.close_msgboxes()

    def show_error(self, text):
        answer = self.bench.raise_test_error(text)
        box = self.bench.wait_msgbox()
        self.assertFalse(answer["completed"], "the handler waits on the box")
        return box

    def test_error_box_shows_the_text_with_a_full_stop(self):
        box = self.show_error("Erreur de test")
        self.assertEqual(box["caption"], "Vistrel")
        self.assertEqual(box["text"], "Erreur de test.")
        self.assertEqual([b["text"] for b in box["buttons"]], ["OK"])
        self.assertEqual(box["icon_kind"], "stop")
        self.assertEqual(len(self.bench.msgboxes()), 1, "exactly one box")

        self.bench.close_msgboxes("OK")
        self.assertEqual(self.bench.msgboxes(), [])
        self.assertTrue(self.bench.program_running(), "the program goes on after OK")
        # The message loop runs again: a second error shows a second box.
        box = self.show_error("Encore")
        self.assertEqual(box["text"], "Encore.")
        self.bench.close_msgboxes("OK")
        self.assertTrue(self.bench.program_running())

    def test_full_stop_rule(self):
        # A full stop is added when the last character's code is above '.' (0x2E).
        cases = [
            ("Fin!", "Fin!"),          # 0x21
            ("Fin:", "Fin:."),         # 0x3A
            ("Fin.", "Fin."),          # equal: nothing added
            ("Fin-", "Fin-"),          # 0x2D
            ("Fin/", "Fin/."),         # 0x2F
            ("", ""),                  # empty: nothing added
            ("Impossible d'écrire dans C:\\Dossier à été",
             "Impossible d'écrire dans C:\\Dossier à été."),  # 0xE9, in the ANSI code page
        ]
        for sent, shown in cases:
            with self.subTest(text=sent):
                box = self.show_error(sent)
                self.assertEqual(box["text"], shown)
                self.bench.close_msgboxes("OK")
        self.assertTrue(self.bench.program_running())


if __name__ == "__main__":
    unittest.main()
