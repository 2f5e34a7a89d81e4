"""The preferences window: its layout, loading and saving the six settings,
"Annuler", "Set default", re-arming with a new hot key, the folder picker."""

import os
import time
import unittest

from harness import WM_NULL, BenchTestCase
from prefs_helpers import (HOT_KEY_NAMES, PREFERENCES_LAYOUT, PREFERENCES_TAB_ORDER,
                           TBM_GETTHUMBLENGTH, PrefsDriver, control, tab_walk)

WS_CAPTION = 0x00C00000
WS_SYSMENU = 0x00080000
WS_THICKFRAME = 0x00040000
WS_MINIMIZEBOX = 0x00020000
WS_MAXIMIZEBOX = 0x00010000
WS_TABSTOP = 0x00010000
WS_GROUP = 0x00020000

DEFAULT_LINES = ("[Settings]", "AutoRec=non", "AutoRecFormat=bmp", "SaveFilePath={folder}",
                 "Compression=100", "Vistrel=F12", "BordBlanc=oui")


class PreferencesTest(BenchTestCase):
    def setUp(self):
        self.drive = PrefsDriver(self, self.bench)
        self.drive.unblock_config()
        self.bench.reset()

    def tearDown(self):
        self.drive.unblock_config()
        if self.bench.program_running():
            self.bench.close_msgboxes()

    # ---- layout and first load --------------------------------------------------

    def test_without_a_file_every_control_shows_its_default_in_the_laid_out_window(self):
        self.bench.start_program()
        window = self.drive.open_from_set()
        self.assertEqual(window["title"], "  Préférences...")
        client = window["client"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]), (329, 273))
        self.assertTrue(window["style"] & WS_CAPTION, "title bar")
        self.assertFalse(window["style"] & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                            WS_MAXIMIZEBOX), "no system menu, fixed border")
        self.assertTrue(window["topmost"])
        screen = self.bench.probe("info")["screen"]
        rect = window["rect"]
        self.assertLessEqual(abs((rect[0] + rect[2]) - screen[0]), 1, "centred across")
        self.assertLessEqual(abs((rect[1] + rect[3]) - screen[1]), 1, "centred down")

        for name, entry in PREFERENCES_LAYOUT.items():
            with self.subTest(control=name):
                found = self.drive.get(name, window)
                if entry[6] is not None:
                    self.assertEqual(found["text"], entry[6])
        # Only the controls that the keyboard reaches are tab stops; the format
        # pair is one group, whose unchecked button leaves its stop to the
        # checked one (the system's rule for radio buttons).
        stops = {name for name in PREFERENCES_LAYOUT
                 if self.drive.get(name, window)["style"] & WS_TABSTOP}
        self.assertEqual(stops, {"RadioBMP", "Actif", "TrackBar1", "ChoixTouche",
                                 "WBorder", "Edit1", "Browse", "Infos", "Reset", "Annuler",
                                 "Valider"})
        self.assertTrue(self.drive.get("RadioBMP", window)["style"] & WS_GROUP)
        self.assertFalse(self.drive.get("RadioJPG", window)["style"] & WS_GROUP)

        slider = self.drive.get("TrackBar1", window)
        self.assertEqual(slider["range"], [0, 100])
        self.assertEqual(self.bench.send_message(slider["hwnd"], TBM_GETTHUMBLENGTH)["result"], 10)
        combo = self.drive.combo()
        self.assertEqual(combo["items"], HOT_KEY_NAMES)
        self.assertEqual(combo["item_height"], 13)

        self.assertEqual(self.drive.state(), {
            "Actif": False, "RadioBMP": True, "RadioJPG": False,
            "Edit1": self.drive.default_folder(), "TrackBar1": 100, "LabelPourCent": "100 %",
            "ChoixTouche": "F12", "WBorder": True,
            "enabled": {"RadioBMP": False, "RadioJPG": False, "Edit1": False, "Browse": False,
                        "TrackBar1": True, "ChoixTouche": True, "WBorder": True}})
        self.assertFalse(self.bench.window("TForm1")["visible"], "Set hides the preview")

    def test_the_two_bevels_are_sunken_boxes(self):
        """Dark above and left, light below and right, one pixel wide; the
        window's face right inside (an etched frame has a light line there)."""
        self.bench.start_program()
        window = self.drive.open_from_set()
        client = window["client"]
        for name in ("Bevel1", "Bevel2"):
            with self.subTest(bevel=name):
                left, top, right, bottom = self.drive.get(name, window)["rect"]

                def drawn():
                    shot = self.bench.screenshot().crop(client[0] + left, client[1] + top,
                                                        right - left, bottom - top)
                    face = shot.pixel(2, 2)
                    mid_x, mid_y = shot.width // 2, shot.height // 2
                    dark = {shot.pixel(mid_x, 0), shot.pixel(0, mid_y)}
                    light = {shot.pixel(mid_x, shot.height - 1), shot.pixel(shot.width - 1, mid_y)}
                    inside = {shot.pixel(mid_x, 1), shot.pixel(1, mid_y),
                              shot.pixel(mid_x, shot.height - 2), shot.pixel(shot.width - 2, mid_y)}
                    return (len(dark) == 1 and len(light) == 1 and inside == {face} and
                            sum(dark.pop()) < sum(face) < sum(light.pop()))
                self.bench.wait_until(drawn, what="%s drawn sunken" % name)

    def test_ok_with_the_defaults_writes_the_seven_lines_and_shows_the_preview_again(self):
        self.bench.start_program()
        self.drive.open_from_set()
        shown_folder = self.drive.state()["Edit1"]
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        self.drive.shown("TForm1")
        expected = "\r\n".join(DEFAULT_LINES).format(folder=shown_folder) + "\r\n"
        self.assertEqual(self.bench.read_config(), expected)
        # The folder shown and written is the documents folder's Vistrel folder.
        self.assertEqual(shown_folder, self.drive.default_folder())

    def test_stored_values_load_by_their_exact_text(self):
        # Capitals, an unknown format, empty values and a quality over 100.
        self.bench.write_settings(AutoRec="OUI", AutoRecFormat="png", SaveFilePath="",
                                  Compression="150", Vistrel="", BordBlanc="non")
        self.bench.start_program()
        self.drive.open_from_set()
        state = self.drive.state()
        self.assertEqual({k: state[k] for k in ("Actif", "RadioBMP", "RadioJPG", "TrackBar1",
                                                "LabelPourCent", "ChoixTouche", "WBorder")},
                         {"Actif": False, "RadioBMP": False, "RadioJPG": True, "TrackBar1": 100,
                          "LabelPourCent": "150 %", "ChoixTouche": "F12", "WBorder": False})
        self.assertEqual(state["Edit1"], self.drive.default_folder())
        # "Ok" writes what the controls show: the slider's 100, not the 150.
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        settings = self.bench.read_settings()
        self.assertEqual((settings["AutoRec"], settings["AutoRecFormat"], settings["Compression"],
                          settings["Vistrel"], settings["BordBlanc"]),
                         ("non", "jpg", "100", "F12", "non"))

        self.bench.stop_program()
        self.bench.write_settings(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="D:\\Snaps",
                                  Compression="050", Vistrel="Pause", BordBlanc="oui")
        self.bench.start_program()
        self.drive.open_from_set()
        self.assertEqual(self.drive.state(), {
            "Actif": True, "RadioBMP": True, "RadioJPG": False, "Edit1": "D:\\Snaps",
            "TrackBar1": 50, "LabelPourCent": "050 %", "ChoixTouche": "Pause", "WBorder": True,
            "enabled": {"RadioBMP": True, "RadioJPG": True, "Edit1": True, "Browse": True,
                        "TrackBar1": True, "ChoixTouche": True, "WBorder": True}})

    def test_a_compression_that_is_no_integer_stops_the_load_at_the_slider(self):
        self.bench.write_settings(AutoRec="oui", Compression="abc", Vistrel="F11",
                                  BordBlanc="non")
        self.bench.start_program()
        box = self.bench.wait_msgbox()
        self.assertEqual(box["caption"], "Vistrel")
        self.assertEqual(box["text"], "'abc' n'est pas une valeur entière correcte.")
        self.bench.close_msgboxes()
        self.drive.open_from_set()
        state = self.drive.state()
        # Loaded before the slider: Actif and what it enables.
        self.assertTrue(state["Actif"])
        self.assertTrue(state["enabled"]["Edit1"])
        # Not loaded: the key box is still empty and the white border as built.
        self.assertEqual(state["ChoixTouche"], "")
        self.assertTrue(state["WBorder"])
        # "Annuler" reloads, fails the same way and leaves the window open.
        self.drive.click("Annuler")
        box = self.bench.wait_msgbox()
        self.assertEqual(box["text"], "'abc' n'est pas une valeur entière correcte.")
        self.bench.close_msgboxes()
        self.assertTrue(self.bench.window("TForm2")["visible"])
        self.assertFalse(self.bench.window("TForm1")["visible"])

    # ---- editing --------------------------------------------------------------

    def test_edits_are_written_as_shown_and_load_back(self):
        self.bench.write_settings(AutoRec="oui", AutoRecFormat="jpg")
        self.bench.start_program()
        self.drive.open_from_set()
        # Unticking Actif disables the format pair, the folder and Browse at once.
        self.drive.mouse_click("Actif")
        self.bench.wait_until(lambda: not self.drive.get("Actif")["checked"] or None,
                              what="Actif to untick")
        self.assertEqual(self.drive.state()["enabled"], {
            "RadioBMP": False, "RadioJPG": False, "Edit1": False, "Browse": False,
            "TrackBar1": True, "ChoixTouche": True, "WBorder": True})
        # The slider dragged to its low end reads 0 % while it moves.
        self.drag_slider_to_low_end()
        self.assertEqual(self.drive.get("LabelPourCent")["text"], "0 %")
        self.drive.set_text("Edit1", "")
        self.drive.set_text("ChoixTouche", "Pause")
        self.drive.mouse_click("WBorder")
        self.bench.wait_until(lambda: not self.drive.get("WBorder")["checked"] or None,
                              what="WBorder to untick")
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        self.drive.shown("TForm1")
        # Disabled controls are written all the same.
        self.assertEqual(self.bench.read_config(),
                         "[Settings]\r\nAutoRec=non\r\nAutoRecFormat=jpg\r\nSaveFilePath=\r\n"
                         "Compression=0\r\nVistrel=Pause\r\nBordBlanc=non\r\n")
        # "Ok" does not reload: the window opens again as it was left. The next
        # load ("Annuler" here) shows the typed key as typed and the default
        # folder for the empty one.
        self.drive.open_from_set()
        self.assertEqual(self.drive.state()["Edit1"], "")
        self.drive.click("Annuler")
        self.drive.hidden("TForm2")
        self.drive.open_from_set()
        state = self.drive.state()
        self.assertEqual((state["ChoixTouche"], state["TrackBar1"], state["LabelPourCent"]),
                         ("Pause", 0, "0 %"))
        self.assertEqual(state["Edit1"], self.drive.default_folder())

    def drag_slider_to_low_end(self):
        window = self.drive.form()
        rect = self.drive.get("TrackBar1", window)["rect"]
        client = window["client"]
        # The thumb sits at the high end: grab it there and pull past the start.
        x, y = client[0] + rect[2] - 11, client[1] + (rect[1] + rect[3]) // 2
        self.bench.mouse_move(x, y)
        self.bench.mouse_down()
        try:
            self.bench.mouse_move(x - 40, y)
            self.bench.mouse_move(x - 41, y)
            self.bench.wait_until(
                lambda: self.drive.get("LabelPourCent")["text"] ==
                "%d %%" % self.drive.get("TrackBar1")["position"] != "100 %" or None,
                what="the label to follow the slider")
            self.bench.mouse_move(client[0] + rect[0] - 30, y)
        finally:
            self.bench.mouse_up()
        self.bench.wait_until(lambda: self.drive.get("TrackBar1")["position"] == 0 or None,
                              what="the slider at 0")

    def test_annuler_and_closing_discard_the_edits(self):
        self.bench.write_settings(AutoRec="non", AutoRecFormat="bmp", SaveFilePath="C:\\Snaps",
                                  Compression="80", Vistrel="F9", BordBlanc="oui")
        before = self.bench.read_config_bytes()
        self.bench.start_program()
        self.drive.open_from_set()
        stored = self.drive.state()
        self.drive.mouse_click("Actif")
        self.drive.set_text("Edit1", "C:\\Ailleurs")
        self.drive.set_text("ChoixTouche", "F2")
        self.bench.wait_until(lambda: self.drive.state()["Actif"] or None, what="Actif ticked")
        self.drive.click("Annuler")
        self.drive.hidden("TForm2")
        self.drive.shown("TForm1")
        self.assertEqual(self.bench.read_config_bytes(), before)
        self.assertEqual(self.drive.state(), stored, "reloaded from the file")

        # The system closing the window does the same: Alt+F4, which the
        # window manager turns into a request to close the active window.
        self.drive.open_from_set()
        self.drive.set_text("Edit1", "C:\\Encore")
        self.bench.focus_window("TForm2")
        self.bench.press_hotkey("F4", "alt")
        self.drive.hidden("TForm2")
        self.drive.shown("TForm1")
        self.assertEqual(self.drive.state(), stored)
        self.assertIsNotNone(self.bench.window("TForm2"), "hidden, not destroyed")

    def test_set_default_removes_the_section_only_and_confirms(self):
        self.bench.write_config("[Avant]\nclef=1\n[Settings]\nAutoRec=oui\nVistrel=F3\n"
                                "Autre=garde\n[Apres]\nclef=2\n")
        self.bench.start_program()
        self.drive.open_from_set()
        self.assertEqual(self.drive.state()["ChoixTouche"], "F3")
        self.drive.click("Reset")
        box = self.bench.wait_msgbox()
        self.assertEqual(box["caption"], "Vistrel")
        self.assertEqual(box["text"], "Paramètres réinitialisés.")
        self.assertEqual([b["text"] for b in box["buttons"]], ["OK"])
        self.assertEqual(self.bench.read_config(), "[Avant]\r\nclef=1\r\n[Apres]\r\nclef=2\r\n")
        self.bench.close_msgboxes()
        self.assertTrue(self.bench.window("TForm2")["visible"], "the window stays open")
        state = self.drive.state()
        self.assertEqual((state["Actif"], state["ChoixTouche"], state["TrackBar1"]),
                         (False, "F12", 100))
        # "Annuler" afterwards writes nothing back.
        self.drive.click("Annuler")
        self.drive.hidden("TForm2")
        self.assertEqual(self.bench.read_config(), "[Avant]\r\nclef=1\r\n[Apres]\r\nclef=2\r\n")

    def test_a_refused_write_shows_the_error_and_keeps_the_window(self):
        self.drive.block_config()
        self.bench.start_program()
        self.drive.open_from_set()
        self.drive.click("Valider")
        box = self.bench.wait_msgbox()
        self.assertEqual(box["caption"], "Vistrel")
        self.assertEqual(box["text"], "Impossible d'écrire dans Vistrel.cfg.")
        self.bench.close_msgboxes()
        self.assertTrue(self.bench.window("TForm2")["visible"])
        self.assertFalse(self.bench.window("TForm1")["visible"])

    # ---- armed in the tray ------------------------------------------------------

    def test_ok_while_armed_rearms_at_once_with_the_new_key(self):
        self.bench.start_program()
        self.bench.start_fixture()
        self.drive.open_from_tray()
        self.drive.set_text("ChoixTouche", "F11")
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        self.assertEqual(self.bench.read_settings()["Vistrel"], "F11")
        self.assertFalse(self.bench.window("TForm1")["visible"], "still in the tray")
        # One icon, with the new tooltip.
        self.assertEqual(self.tooltip(), "F11 to snap...")
        self.assertTrue(self.tray_has_one_icon())
        # The new key captures at once.
        self.bench.focus_fixture()
        self.bench.press_hotkey("F11")
        self.drive.shown("TForm1")

    def test_ok_while_armed_updates_the_icon_without_emptying_the_tray(self):
        # Emptying the tray, even for a moment, makes the shell hide its tray
        # window and show it again.
        b = self.bench
        b.start_program()
        b.start_fixture()
        tray = b.wait_until(b.tray_x_window, what="the tray window")
        for typed in ("F11", "F10"):
            self.drive.open_from_tray()
            self.drive.set_text("ChoixTouche", typed)
            with b.x_window_events(tray) as events:
                self.real_click("Valider")
                self.drive.hidden("TForm2")
                b.wait_until(lambda: b.send_message(b.window("TForm1")["hwnd"], WM_NULL,
                                                    timeout_ms=1000).get("done"),
                             what="the program back at its loop")
            self.assertNotIn("UnmapNotify", events, "the tray emptied at the re-arming")
            self.assertEqual(self.tooltip(), typed + " to snap...")
            self.assertTrue(self.tray_has_one_icon())
        # The new key captures.
        b.focus_fixture()
        b.press_hotkey("F10")
        self.drive.shown("TForm1")

    def real_click(self, name):
        """A left click in the middle of the control; returns when it was made."""
        window = self.drive.form()
        rect = self.drive.get(name, window)["rect"]
        client = window["client"]
        b = self.bench
        b.mouse_move(client[0] + (rect[0] + rect[2]) // 2, client[1] + (rect[1] + rect[3]) // 2)
        started = time.monotonic()
        b.mouse_down(1)
        b.mouse_up(1)
        return started

    def tooltip(self):
        x, y = self.bench.wait_until(self.bench.tray_icon, what="the tray icon")
        self.bench.mouse_move(x, y)
        self.bench.mouse_move(x + 1, y)
        try:
            tips = self.bench.wait_until(lambda: self.bench.probe("tooltips") or None,
                                         what="the tray tooltip")
        finally:
            self.bench.mouse_move(self.bench.width - 5, self.bench.height - 5)
        return tips[0]["text"]

    def tray_has_one_icon(self):
        """The tray's second icon cell is empty: one plain colour."""
        x, y, w, h = self.bench.tray_window()
        shot = self.bench.screenshot()
        first, second = shot.crop(x, y, h, h), shot.crop(x + h, y, h, h)
        return not first.is_uniform() and second.is_uniform()

    # ---- keyboard -------------------------------------------------------------------

    def focused(self, window):
        """The name of the control that has the keyboard focus."""
        hwnd = self.bench.focus_of(window)
        names = [n for n in PREFERENCES_LAYOUT if control(window, PREFERENCES_LAYOUT, n)["hwnd"] == hwnd]
        return names[0] if names else hwnd

    def walk(self, window, key, steps):
        """The controls the focus goes through at each press of key."""
        seen = []
        for _ in range(steps):
            before = self.focused(window)
            self.bench.key(key)

            def moved():
                now = self.focused(window)
                return now if now != before else None
            seen.append(self.bench.wait_until(moved, what="the focus to leave %s at %s"
                                              % (before, key)))
        return seen

    def test_tab_shift_tab_and_arrows_walk_the_controls_in_the_tables_order(self):
        b = self.bench
        self.bench.write_settings(AutoRec="oui")
        b.start_fixture()
        b.start_program()
        self.drive.open_from_tray()
        b.focus_window("TForm2")
        window = self.drive.form()
        # An unchecked radio button is no tab stop: the pair is entered at
        # its checked button and walked with the arrows.
        order = [n for n in tab_walk(PREFERENCES_LAYOUT, PREFERENCES_TAB_ORDER) if n != "RadioJPG"]
        self.assertEqual(self.focused(window), order[0], "the first control has the focus")
        self.assertEqual(self.walk(window, "Tab", len(order)), order[1:] + order[:1])
        self.assertEqual(self.walk(window, "shift+Tab", len(order)), list(reversed(order)))

        # The arrows move within the radio pair and select as they go.
        self.assertEqual(self.walk(window, "Down", 1), ["RadioJPG"])
        self.assertEqual(self.drive.state()["RadioJPG"], True)
        self.assertEqual(self.walk(window, "Up", 1), ["RadioBMP"])
        self.assertEqual(self.walk(window, "Down", 1), ["RadioJPG"])

        # Unticked with the space bar, Actif takes the auto-record controls
        # out of the walk.
        self.assertEqual(self.walk(window, "Tab", 1), ["Actif"])
        b.key("space")
        b.wait_until(lambda: not self.drive.state()["Actif"], what="Actif unticked")
        enabled = [n for n in order if n not in ("RadioBMP", "Browse", "Edit1")]
        at = enabled.index("Actif")
        self.assertEqual(self.walk(window, "Tab", len(enabled)),
                         enabled[at + 1:] + enabled[:at + 1])

    def test_keyboard_alone_fills_the_folder_and_saves_while_enter_and_escape_do_nothing(self):
        b = self.bench
        self.bench.write_settings(AutoRec="oui", SaveFilePath="C:\\Avant")
        b.start_fixture()
        b.start_program()
        self.drive.open_from_tray()
        b.focus_window("TForm2")
        window = self.drive.form()
        while self.focused(window) != "Edit1":
            self.walk(window, "Tab", 1)
        # Tabbing into the field selects its text: typing replaces it.
        b.type_text("C:\\Clavier")
        b.wait_until(lambda: self.drive.get("Edit1")["text"] == "C:\\Clavier",
                     what="the typed folder")
        # Neither key is bound: not in the field or the key box, and a focused
        # button takes neither (the space bar presses it).
        for name in ("Edit1", "ChoixTouche", "Valider", "Annuler"):
            while self.focused(window) != name:
                self.walk(window, "Tab", 1)
            for key in ("Return", "Escape"):
                with self.subTest(control=name, key=key):
                    b.key(key)
                    self.assertTrue(b.holds_still(lambda: b.visible("TForm2") is not None, 0.8),
                                    "the window stays")
                    self.assertEqual(self.bench.read_settings()["SaveFilePath"], "C:\\Avant")
        while self.focused(window) != "Valider":
            self.walk(window, "Tab", 1)
        b.key("space")
        self.drive.hidden("TForm2")
        self.assertEqual(self.bench.read_settings()["SaveFilePath"], "C:\\Clavier")
        self.assertFalse(b.window("TForm1")["visible"], "armed again, as from the tray")

    # ---- folder picker ----------------------------------------------------------

    def test_browse_blocks_the_program_and_puts_the_chosen_folder_in_the_field(self):
        self.bench.write_settings(AutoRec="oui", SaveFilePath="C:\\Avant")
        self.bench.start_program()
        self.drive.open_from_set()
        app = self.bench.window("TApplication")

        dialog = self.open_picker()
        self.assertEqual(dialog["owner"], app["hwnd"], "owned by the application window")
        self.assertIn("Choix du répertoire d'enregistrement des Snaps :",
                      [c["text"] for c in dialog["children"]])
        for cls in ("TForm1", "TForm2", "TForm3", "TForm4"):
            self.assertFalse(self.bench.window(cls)["enabled"], "%s disabled" % cls)
        self.press(dialog, "Cancel")
        self.bench.wait_until(lambda: self.bench.window("TForm2")["enabled"] or None,
                              what="the window enabled again")
        for cls in ("TForm1", "TForm3", "TForm4"):
            self.assertTrue(self.bench.window(cls)["enabled"], "%s enabled again" % cls)
        self.assertEqual(self.drive.get("Edit1")["text"], "C:\\Avant")

        dialog = self.open_picker()
        tree = next(c for c in dialog["children"] if c["class"] == "SysTreeView32")
        self.assertTrue(self.bench.probe("tree-select", "--hwnd", tree["hwnd"])["selected"])
        self.press(dialog, "OK")
        self.bench.wait_until(lambda: self.drive.get("Edit1")["text"] != "C:\\Avant" or None,
                              what="the chosen folder")
        # The tree's root is the desktop, a file-system folder.
        desktop = os.path.join(os.path.dirname(self.bench.documents_dir), "Desktop")
        self.assertEqual(self.drive.get("Edit1")["text"].rstrip("\\").lower(),
                         self.bench.windows_path(desktop).lower())
        self.assertTrue(self.bench.window("TForm2")["enabled"])

    def open_picker(self):
        self.drive.click("Browse")
        return self.bench.wait_until(
            lambda: next((w for w in self.bench.windows(children=True)
                          if w["class"] == "#32770" and w["visible"]), None),
            what="the folder picker")

    def press(self, dialog, text):
        button = next(c for c in dialog["children"] if c["class"] == "Button" and
                      c["text"] == text)
        self.bench.click_control(button["hwnd"])
        self.bench.wait_until(lambda: not any(w["class"] == "#32770" and w["visible"]
                                              for w in self.bench.windows()),
                              what="the picker to close")


if __name__ == "__main__":
    unittest.main()
