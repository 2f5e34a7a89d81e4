"""The same program under every code page: Western Europe's (1252) and the
UTF-8 one of Windows 10/11's worldwide setting; names the code page cannot
hold (a profile's Documents folder, a Cyrillic folder) and a settings file
an earlier version wrote in 1252, met under UTF-8."""

import os
import re
import unittest

import test_autorec
import test_save_as
from harness import FolderTestCase
from prefs_helpers import ABOUT_LAYOUT, PREFERENCES_LAYOUT, PrefsDriver
from test_autorec import NAME

FOLDER = "C:\\vistrel_cp"
ACCENTED = FOLDER + "\\Données"  # both code pages hold it
DEDICATION = "Pour ceux qui gardent une trace."
BOM = b"\xff\xfe"


def all_settings(**keys):
    """The six settings in the order "Ok" writes a new file in (it keeps a
    file's own order and adds what it lacks at the end)."""
    values = {"AutoRec": "non", "AutoRecFormat": "bmp", "SaveFilePath": "",
              "Compression": "100", "Vistrel": "F12", "BordBlanc": "oui"}
    values.update(keys)
    return values


def settings_text(**keys):
    """The file as "Ok" writes it: the seven lines, CRLF."""
    return "".join("%s\r\n" % line for line in
                   ["[Settings]"] + ["%s=%s" % item for item in all_settings(**keys).items()])


class CodePageTests:
    """Run under each code page by the classes below, on the same literals."""

    folder_win = FOLDER
    code_page = None  # what GetACP() gives under the class's locale
    encoding = None   # Python's name for it

    # The auto-record and "Save as..." tests' own ways.
    files = test_autorec.AutoRecordTest.files
    wait_files = test_autorec.AutoRecordTest.wait_files
    bmp_size = test_autorec.AutoRecordTest.bmp_size
    assert_still_armed = test_autorec.AutoRecordTest.assert_still_armed
    preview_shown = test_save_as.SaveAsTest.preview_shown
    open_dialog = test_save_as.SaveAsTest.open_dialog
    dialog = test_save_as.SaveAsTest.dialog

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        acp = cls.bench.probe("info")["acp"]
        if acp != cls.code_page:
            raise AssertionError("code page %s under %s, not %s" % (acp, cls.locale, cls.code_page))

    def setUp(self):
        super().setUp()
        self.drive = PrefsDriver(self, self.bench)

    def write_settings(self, **keys):
        """A [Settings] section in the system's code page, as the program writes it."""
        lines = ["[Settings]"] + ["%s=%s" % item for item in keys.items()]
        self.bench.write_config("\n".join(lines) + "\n", encoding=self.encoding)

    def arm(self, **settings):
        self.write_settings(**settings)
        self.bench.start_program()
        self.bench.start_fixture()

    def wait_whole(self, folder, names):
        size = self.bmp_size()
        self.bench.wait_until(
            lambda: all(os.path.getsize(os.path.join(folder, n)) == size for n in names),
            timeout=20, what="every file written whole")

    def capture_into(self, folder):
        """An auto-record press; returns the one new file's name once it is whole."""
        before = set(self.files(folder))
        self.bench.focus_fixture()
        self.bench.press_hotkey("F12")
        new = self.bench.wait_until(lambda: set(self.files(folder)) - before,
                                    what="a capture in %s" % folder)
        self.assertEqual(len(new), 1)
        name = new.pop()
        self.assertRegex(name, NAME)
        self.wait_whole(folder, [name])
        return name

    # ---- tests ---------------------------------------------------------------------

    def test_a_held_key_writes_whole_files_named_with_a_grave_a(self):
        folder = self.bench.linux_path(ACCENTED)  # made by the program
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=ACCENTED)
        self.bench.keydown("F12")
        try:
            self.wait_files(folder, 3, timeout=60)
        finally:
            self.bench.keyup("F12")
        self.bench.wait_burst_end(lambda: len(self.files(folder)))
        names = self.files(folder)
        for name in names:
            self.assertRegex(name, NAME)
        # On the Linux side: UTF-8, "à" as C3 A0.
        self.assertTrue(all(b" \xc3\xa0 " in raw for raw in os.listdir(os.fsencode(folder))))
        self.wait_whole(folder, names)
        self.assertEqual(self.bench.msgboxes(), [])
        self.assert_still_armed()

    def test_save_as_writes_the_file_name_typed_with_accents(self):
        typed = FOLDER + "\\été à Noël"
        self.bench.bind_letters(typed)
        self.bench.start_program()
        self.bench.start_fixture()
        self.bench.press_hotkey("F12")
        self.bench.wait_until(self.preview_shown, what="the preview window")
        dialog = self.open_dialog(0)
        window = next(w for w in self.bench.windows() if w["hwnd"] == dialog["hwnd"])
        self.bench.activate_x_window(window["x11_window"])
        self.bench.type_text(typed)
        self.bench.wait_until(lambda: self.dialog()["file_name"] == typed,
                              what="the typed name in the dialog")
        self.bench.key("Return")
        self.bench.wait_until(lambda: self.dialog() is None, what="the save dialog to close")
        self.bench.wait_until(lambda: self.files(self.root) == ["été à Noël.bmp"],
                              what="été à Noël.bmp")
        self.wait_whole(self.root, ["été à Noël.bmp"])
        self.assertEqual(self.bench.msgboxes(), [])

    def test_the_error_box_names_the_file_with_its_accents(self):
        missing = ACCENTED + "\\manquées\\Été"
        self.arm(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=missing)
        self.bench.press_hotkey("F12")
        box = self.bench.wait_msgbox()
        self.assertEqual(box["caption"], "Vistrel")
        self.assertRegex(box["text"], r'^Impossible de créer le fichier "' + re.escape(missing + "\\") +
                         r"\d\d\.\d\d\.\d{4} à \d\dh \d\dm \d\ds \d{3}'\.bmp" + r'"\. \S.*$')
        self.bench.close_msgboxes()
        self.assertEqual(self.files(self.root), [])
        self.assert_still_armed()

    def test_the_preferences_and_about_texts_read_back_as_written(self):
        self.write_settings(AutoRec="oui", SaveFilePath=ACCENTED)
        self.bench.start_program()
        window = self.drive.open_from_set()
        self.assertEqual(window["title"], "  Préférences...")
        for name, entry in PREFERENCES_LAYOUT.items():
            if entry[6] is not None:
                self.assertEqual(self.drive.get(name, window)["text"], entry[6], name)
        self.assertEqual(self.drive.get("Edit1", window)["text"], ACCENTED)
        about = self.drive.open_about()
        self.assertEqual(about["title"], "  About...")
        for name, entry in ABOUT_LAYOUT.items():
            text = self.drive.get(name, about, ABOUT_LAYOUT)["text"]
            self.assertEqual(text, DEDICATION if name == "Pub" else entry[6], name)

    def test_ok_writes_the_settings_in_the_code_page(self):
        self.write_settings(**all_settings(AutoRec="oui", SaveFilePath=ACCENTED))
        self.bench.start_program()
        self.drive.open_from_set()
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        self.assertEqual(self.bench.read_config_bytes(),
                         settings_text(AutoRec="oui", SaveFilePath=ACCENTED).encode(self.encoding))


class Windows1252Test(CodePageTests, FolderTestCase):
    locale = None  # the harness's C.UTF-8
    code_page = 1252
    encoding = "cp1252"

    def read_utf16_config(self):
        raw = self.bench.read_config_bytes()
        self.assertEqual(raw[:2], BOM, "UTF-16 with its byte-order mark")
        return raw, raw[2:].decode("utf-16-le")

    def test_a_documents_folder_outside_the_code_page_holds_the_captures(self):
        documents = "C:\\users\\Łukasz\\Documents"
        default = documents + "\\Vistrel"
        with self.bench.documents_folder(documents) as linux_documents:
            folder = os.path.join(linux_documents, "Vistrel")
            # No settings file: the folder shown is the real one, not a look-alike.
            self.bench.start_program()
            self.bench.start_fixture()
            self.drive.open_from_tray()
            self.assertEqual(self.drive.state()["Edit1"], default)
            self.drive.click("Annuler")
            self.drive.hidden("TForm2")
            # No folder stored: the capture lands there.
            self.write_settings(AutoRec="oui")
            self.capture_into(folder)
            # "Ok" stores it, in UTF-16.
            self.drive.open_from_tray()
            self.drive.mouse_click("Actif")
            self.bench.wait_until(lambda: self.drive.get("Actif")["checked"] == 1,
                                  what="Actif ticked")
            self.drive.click("Valider")
            self.drive.hidden("TForm2")
            raw, text = self.read_utf16_config()
            self.assertEqual(text, settings_text(AutoRec="oui", SaveFilePath=default))
            # After a restart: the same folder, shown and used; the file only read.
            self.bench.stop_program()
            self.bench.start_program()
            self.drive.open_from_tray()
            self.assertEqual(self.drive.state()["Edit1"], default)
            self.drive.click("Annuler")
            self.drive.hidden("TForm2")
            self.capture_into(folder)
            self.assertEqual(len(self.files(folder)), 2)
            self.assertEqual(self.bench.read_config_bytes(), raw)

    def test_a_folder_typed_in_cyrillic_reads_back_after_a_restart(self):
        typed = FOLDER + "\\Снимки"
        self.bench.bind_letters(typed)
        self.arm(**all_settings(AutoRec="oui", SaveFilePath="C:\\Avant"))
        self.drive.open_from_tray()
        self.bench.focus_window("TForm2")
        self.drive.mouse_click("Edit1")
        self.bench.key("End")
        self.bench.key("shift+Home")
        self.bench.type_text(typed)
        self.bench.wait_until(lambda: self.drive.get("Edit1")["text"] == typed,
                              what="the typed folder")
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        _, text = self.read_utf16_config()
        self.assertEqual(text, settings_text(AutoRec="oui", SaveFilePath=typed))
        self.bench.stop_program()
        self.bench.start_program()
        self.drive.open_from_tray()
        self.assertEqual(self.drive.state()["Edit1"], typed)
        self.drive.click("Annuler")
        self.drive.hidden("TForm2")
        self.capture_into(self.bench.linux_path(typed))


class Utf8CodePageTest(CodePageTests, FolderTestCase):
    locale = "hi_IN.UTF-8"  # a locale without an ANSI code page: UTF-8
    code_page = 65001
    encoding = "utf-8"

    def test_a_windows_1252_settings_file_reads_as_1252_and_is_rewritten_in_utf8(self):
        lines = ["[Settings]"] + ["%s=%s" % kv for kv in
                                  all_settings(AutoRec="oui", SaveFilePath=ACCENTED).items()]
        self.bench.write_config("\n".join(lines) + "\n", encoding="cp1252")
        self.assertIn(b"Donn\xe9es", self.bench.read_config_bytes())
        self.bench.start_program()
        self.bench.start_fixture()
        self.capture_into(self.bench.linux_path(ACCENTED))
        self.drive.open_from_tray()
        self.assertEqual(self.drive.state()["Edit1"], ACCENTED)
        self.drive.click("Valider")
        self.drive.hidden("TForm2")
        self.assertEqual(self.bench.read_config_bytes(),
                         settings_text(AutoRec="oui", SaveFilePath=ACCENTED).encode("utf-8"))


if __name__ == "__main__":
    unittest.main()
