"""Save as...: the format menu, the two save dialogs and the files they write."""

import os
import shutil
import unittest

from harness import BenchTestCase, Image
from imageio_checks import assert_baseline_jfif, assert_close_to, jpeg_quality

FOLDER = "C:\\vistrel_save_as"


class SaveAsTest(BenchTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.folder = cls.bench.linux_path(FOLDER)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def setUp(self):
        # A new program each time: each dialog remembers its path for the run.
        self.bench.reset()
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)

    # ---- helpers ---------------------------------------------------------------

    def path(self, name):
        return os.path.join(self.folder, name)

    def files(self):
        return sorted(os.listdir(self.folder))

    def preview_shown(self):
        form1 = self.bench.window("TForm1")
        return form1 if form1 and form1["visible"] else None

    def show_preview_without_capture(self):
        self.bench.start_program()
        self.bench.click_tray_icon(1)
        self.bench.wait_until(self.preview_shown, what="the preview window")

    def capture(self):
        """A full-screen capture shown in the preview; returns the screen as it was."""
        self.bench.start_program()
        self.bench.start_fixture()
        screen = self.bench.screenshot()
        self.bench.press_hotkey("F12")
        self.bench.wait_until(self.preview_shown, what="the preview window")
        return screen

    def open_dialog(self, entry):
        """"Save as..." then the format menu's entry 0 ("*.BMP") or 1 ("*.JPG");
        returns the save dialog once it is open."""
        button = self.bench.child("TForm1", text="Save as...")
        self.bench.click_control(button["hwnd"])
        menu = self.bench.wait_until(lambda: self.bench.menus(), what="the format menu")[0]
        left, top, right, bottom = menu["rect"]
        self.bench.click((left + right) // 2, top + (bottom - top) * (2 * entry + 1) // 4)
        return self.bench.wait_until(self.dialog, what="the save dialog")

    def dialog(self):
        answer = self.bench.probe("save-dialog", check=False)
        return None if "error" in answer else answer

    def press(self, button, name=None):
        args = ["save-dialog", "--press", button] + (["--name", name] if name is not None else [])
        self.bench.probe(*args)
        self.bench.wait_until(lambda: self.dialog() is None, what="the save dialog to close")

    def other_boxes(self):
        return [b for b in self.bench.msgboxes() if b["caption"] == "Vistrel"]

    def wait_box(self):
        return self.bench.wait_until(lambda: (self.other_boxes() or [None])[0],
                                     what="the error box")

    def sync(self):
        """Opens and cancels the BMP dialog: the menu answers only once the
        previous handler has returned."""
        self.open_dialog(0)
        self.press("cancel")

    # ---- tests -------------------------------------------------------------------

    def test_before_any_capture_bmp_writes_nothing_and_jpg_shows_the_conversion_error(self):
        # Quality 0 would write nothing, but the empty preview is found first.
        self.bench.write_settings(Compression="0")
        self.show_preview_without_capture()
        dialog = self.open_dialog(0)
        self.assertEqual(dialog["types"], ["Image Bitmap (*.bmp)"])
        self.assertEqual(dialog["file_name"], "")
        self.assertFalse(dialog["read_only_box"])
        self.press("save", FOLDER + "\\empty")
        self.sync()
        self.assertEqual(self.other_boxes(), [])
        self.assertEqual(self.files(), [])

        dialog = self.open_dialog(1)
        self.assertEqual(dialog["types"], ["Image Jpeg (*.jpg)"])
        self.press("save", FOLDER + "\\empty")
        box = self.wait_box()
        self.assertEqual(box["text"], "Impossible d'affecter TPicture à TBitmap.")
        self.assertTrue(box["icon"])
        self.bench.close_msgboxes()
        self.assertEqual(self.files(), [])

    def test_bmp_gets_its_extension_replaces_without_a_question_and_offers_the_path_again(self):
        screen = self.capture()
        with open(self.path("shot.bmp"), "wb") as f:
            f.write(b"an older file")
        self.open_dialog(0)
        self.press("save", FOLDER + "\\shot")
        size = 54 + 4 * self.bench.width * self.bench.height
        # An overwrite question would hold the write back until answered.
        self.bench.wait_until(lambda: os.path.getsize(self.path("shot.bmp")) == size,
                              what="shot.bmp written")
        with open(self.path("shot.bmp"), "rb") as f:
            data = f.read()
        self.assertEqual(data[28], 32)
        self.assertIsNone(Image.from_bmp(data).first_difference(screen))
        self.assertEqual(self.files(), ["shot.bmp"])

        # The second time the dialog offers the same file; Save alone rewrites it.
        os.remove(self.path("shot.bmp"))
        dialog = self.open_dialog(0)
        self.assertEqual(dialog["file_name"], "shot.bmp")
        self.assertEqual(dialog["folder"], "vistrel_save_as")
        self.press("save")
        self.bench.wait_until(lambda: os.path.exists(self.path("shot.bmp")) and
                              os.path.getsize(self.path("shot.bmp")) == size,
                              what="shot.bmp written again")

        # The JPEG dialog keeps a path of its own: none yet.
        dialog = self.open_dialog(1)
        self.assertEqual(dialog["file_name"], "")
        self.press("cancel")
        self.sync()
        self.assertEqual(self.files(), ["shot.bmp"])
        self.assertEqual(self.other_boxes(), [])

    def test_jpg_gets_its_extension_and_the_quality_read_after_the_dialog(self):
        self.bench.write_settings(Compression="50")
        screen = self.capture()
        with open(self.path("shot.jpg"), "wb") as f:
            f.write(b"an older file")
        self.open_dialog(1)
        # The setting is read once the dialog was confirmed.
        self.bench.write_settings(Compression="85")
        self.press("save", FOLDER + "\\shot")
        self.bench.wait_until(lambda: self.read("shot.jpg")[-2:] == b"\xff\xd9",
                              what="shot.jpg written")
        assert_baseline_jfif(self, self.read("shot.jpg"))
        self.assertEqual(jpeg_quality(self.path("shot.jpg")), 85)
        assert_close_to(self, Image.from_file(self.path("shot.jpg")), screen)
        written = self.read("shot.jpg")

        # Missing setting: quality 100.
        self.bench.remove_config()
        dialog = self.open_dialog(1)
        self.assertEqual(dialog["file_name"], "shot.jpg")
        self.press("save")
        self.bench.wait_until(lambda: self.read("shot.jpg") != written, what="shot.jpg rewritten")
        self.bench.wait_until(lambda: self.read("shot.jpg")[-2:] == b"\xff\xd9",
                              what="shot.jpg written")
        self.assertEqual(jpeg_quality(self.path("shot.jpg")), 100)
        written = self.read("shot.jpg")

        # A value that is no integer stops the save with the conversion error.
        self.bench.write_settings(Compression="abc")
        self.open_dialog(1)
        self.press("save")
        box = self.wait_box()
        self.assertEqual(box["text"], "'abc' n'est pas une valeur entière correcte.")
        self.bench.close_msgboxes()

        # Qualities outside 1 to 100 write nothing and say nothing.
        for value in ("0", "101", "-5"):
            self.bench.write_settings(Compression=value)
            self.open_dialog(1)
            self.press("save")
        self.sync()
        self.assertEqual(self.other_boxes(), [])
        self.assertEqual(self.read("shot.jpg"), written)
        self.assertEqual(self.files(), ["shot.jpg"])

    def read(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return b""


if __name__ == "__main__":
    unittest.main()
