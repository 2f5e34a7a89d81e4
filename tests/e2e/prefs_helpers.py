"""What the preferences and about tests share: opening the windows the way a
user does, and finding their controls by the place the layout gives them."""

import os
import shutil

# Each control: class, parent group box (None: the window), left, top, width,
# height, and its fixed text (None where the text is a setting).
PREFERENCES_LAYOUT = {
    "GroupBox1": ("Button", None, 0, 0, 161, 57, "  Enregistrement 'AutoRec'  "),
    "RadioBMP": ("Button", "GroupBox1", 80, 16, 57, 17, "*.bmp"),
    "RadioJPG": ("Button", "GroupBox1", 80, 32, 57, 17, "*.jpg"),
    "Actif": ("Button", "GroupBox1", 16, 24, 45, 17, "Actif"),
    "GroupBoxComp": ("Button", None, 168, 0, 161, 57, "  Compression jpg  "),
    "TrackBar1": ("msctls_trackbar32", "GroupBoxComp", 8, 16, 145, 17, ""),
    "Bof": ("Static", "GroupBoxComp", 8, 38, 25, 13, "Bof..."),
    "LabelPourCent": ("Static", "GroupBoxComp", 70, 38, 29, 13, None),
    "Top": ("Static", "GroupBoxComp", 128, 38, 25, 13, "Top !"),
    "GroupBox2": ("Button", None, 0, 56, 329, 129, "  Assignation touche  "),
    "ChoixTouche": ("ComboBox", "GroupBox2", 16, 16, 89, 21, None),
    "NoteTouche": ("Static", "GroupBox2", 112, 12, 209, 26,
                   "Assigner une touche à la capture d'écran conserve la fonction initiale de "
                   "cette touche."),
    "WBorder": ("Button", "GroupBox2", 16, 40, 297, 17, "Bord blanc en mode 'sélection souris'."),
    "Bevel2": ("Static", "GroupBox2", 8, 64, 313, 57, ""),
    "Label1": ("Static", "GroupBox2", 16, 72, 71, 13, "ALT + [touche]"),
    "Label3": ("Static", "GroupBox2", 96, 72, 195, 13, " =  capture la fenêtre active et son cadre."),
    "Label2": ("Static", "GroupBox2", 16, 88, 73, 13, "CTRL+[touche]"),
    "Label4": ("Static", "GroupBox2", 96, 88, 201, 13, " =  capture le contenu de la fenêtre active."),
    "Label5": ("Static", "GroupBox2", 16, 104, 76, 13, "SHIFT+[touche]"),
    "Label6": ("Static", "GroupBox2", 96, 104, 221, 13,
               " =  sélection souris (mode 'AutoRec' inopérant)."),
    "GroupBox3": ("Button", None, 0, 184, 329, 57, "  Répertoire d'enregistrement  "),
    "Edit1": ("Edit", "GroupBox3", 16, 24, 249, 21, None),
    "Browse": ("Button", "GroupBox3", 272, 22, 49, 25, "Browse"),
    "Bevel1": ("Static", None, 0, 248, 65, 25, ""),
    "Infos": ("Button", None, 8, 252, 49, 17, "Infos"),
    "Reset": ("Button", None, 72, 248, 81, 25, "Set default"),
    "Annuler": ("Button", None, 160, 248, 81, 25, "Annuler"),
    "Valider": ("Button", None, 248, 248, 81, 25, "Ok"),
}

# The tab order of each control within its parent (the window or a group box);
# the keyboard walks the window's orders, and inside a group box its own.
PREFERENCES_TAB_ORDER = {
    "GroupBox1": 0, "RadioBMP": 0, "RadioJPG": 1, "Actif": 2,
    "GroupBoxComp": 1, "TrackBar1": 0,
    "GroupBox2": 7, "ChoixTouche": 0, "WBorder": 1,
    "GroupBox3": 2, "Browse": 0, "Edit1": 1,
    "Valider": 3, "Annuler": 4, "Reset": 5, "Infos": 6,
}


def tab_walk(layout, tab_order):
    """The focusable controls in the order the keyboard walks them."""
    def path(name):
        parent = layout[name][1]
        return (tab_order[parent], tab_order[name]) if parent else (tab_order[name], -1)
    return sorted((n for n in tab_order if not n.startswith("GroupBox")), key=path)


ABOUT_LAYOUT = {
    "GroupBox1": ("Button", None, 0, 0, 273, 105, "  Infos  "),
    "Image2": ("Static", "GroupBox1", 8, 24, 48, 48, ""),
    "Name": ("Static", "GroupBox1", 72, 16, 140, 20, "Vistrel v2.0.2.2"),
    "Pub": ("Static", "GroupBox1", 72, 40, 172, 13, None),
    "URL": ("TLinkLabel", "GroupBox1", 72, 56, 188, 13, "https://www.example.org/vistrel"),
    "Contact": ("TLinkLabel", "GroupBox1", 32, 80, 104, 13, "vistrel@example.org"),
    "Button1": ("Button", "GroupBox1", 160, 72, 105, 25, "Ok"),
}

HOT_KEY_NAMES = ["Echap", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11",
                 "F12", "Impr.Ecr", "Fin", "Inser", "Suppr", "Pg.UP", "Pg.DW", "Arrow.UP",
                 "Arrow.DW", "Arrow.LT", "Arrow.RT", "Mouse.L", "Mouse.R", "Mouse.M"]

WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
TBM_GETTHUMBLENGTH = 0x0400 + 28


def scaled(pixels, dpi):
    """A length of the tables (pixels at 96 DPI) at that DPI, rounded."""
    magnitude = (abs(pixels) * dpi + 48) // 96
    return magnitude if pixels >= 0 else -magnitude


def layout_rect(layout, name, dpi=96):
    """The control's rectangle in the window's client area; at another DPI
    than 96 each edge is scaled."""
    _, parent, left, top, width, height, _ = layout[name]
    while parent:
        _, grand, p_left, p_top, _, _, _ = layout[parent]
        left, top, parent = left + p_left, top + p_top, grand
    return [scaled(v, dpi) for v in (left, top, left + width, top + height)]


def control(window, layout, name, dpi=96):
    """The child control that sits where the layout puts `name`, or None."""
    cls = layout[name][0]
    rect = layout_rect(layout, name, dpi)
    for child in window.get("children") or []:
        if (child["parent"] == window["hwnd"] and child["class"].lower() == cls.lower()
                and child["rect"] == rect):
            return child
    return None


class PrefsDriver:
    """Opens and reads the preferences and about windows through a Bench."""

    def __init__(self, test, bench, dpi=96):
        self.test, self.bench, self.dpi = test, bench, dpi

    def shown(self, cls, timeout=20):
        """The form, with its controls, once it is visible where X shows it."""
        def visible():
            window = self.bench.window(cls, children=True)
            return window if window and window["visible"] else None
        window = self.bench.wait_until(visible, timeout=timeout, what="%s to show" % cls)
        if window.get("x11_window"):
            def wine_rects():
                now = self.bench.window(cls)
                return (now["rect"], now["client"])
            self.bench.wait_placed(window["x11_window"], wine_rects)
            window = self.bench.window(cls, children=True)
        return window

    def hidden(self, cls, timeout=20):
        self.bench.wait_until(lambda: not self.bench.window(cls)["visible"], timeout=timeout,
                              what="%s to hide" % cls)

    def form(self, cls="TForm2"):
        return self.bench.window(cls, children=True)

    def get(self, name, window=None, layout=PREFERENCES_LAYOUT):
        window = window or self.form("TForm2" if layout is PREFERENCES_LAYOUT else "TForm3")
        found = control(window, layout, name, self.dpi)
        self.test.assertIsNotNone(found, "no %s at %s" % (name, layout_rect(layout, name, self.dpi)))
        return found

    def click(self, name, layout=PREFERENCES_LAYOUT):
        self.bench.click_control(self.get(name, layout=layout)["hwnd"])

    def mouse_click(self, name, dx=6, layout=PREFERENCES_LAYOUT):
        """A real left click, dx pixels into the control, at half its height."""
        window = self.form("TForm2" if layout is PREFERENCES_LAYOUT else "TForm3")
        rect = self.get(name, window, layout)["rect"]
        client = window["client"]
        self.bench.click(client[0] + rect[0] + dx, client[1] + (rect[1] + rect[3]) // 2)

    def set_text(self, name, text):
        self.bench.probe("settext", "--hwnd", self.get(name)["hwnd"], "--text", text)

    def combo(self):
        return self.bench.probe("combo-items", "--hwnd", self.get("ChoixTouche")["hwnd"])

    def state(self):
        """What the window shows for the six settings, and what is enabled."""
        window = self.form()
        get = lambda name: self.get(name, window)  # noqa: E731
        return {
            "Actif": get("Actif")["checked"] == 1,
            "RadioBMP": get("RadioBMP")["checked"] == 1,
            "RadioJPG": get("RadioJPG")["checked"] == 1,
            "Edit1": get("Edit1")["text"],
            "TrackBar1": get("TrackBar1")["position"],
            "LabelPourCent": get("LabelPourCent")["text"],
            "ChoixTouche": self.combo()["text"],
            "WBorder": get("WBorder")["checked"] == 1,
            "enabled": {name: get(name)["enabled"]
                        for name in ("RadioBMP", "RadioJPG", "Edit1", "Browse", "TrackBar1",
                                     "ChoixTouche", "WBorder")},
        }

    def default_folder(self):
        """The documents folder as Windows names it, followed by \\Vistrel."""
        return self.bench.windows_path(self.bench.documents_dir) + "\\Vistrel"

    # ---- ways in -------------------------------------------------------------

    def open_from_set(self):
        """The preview window's "Set" button; a click on the tray icon first
        brings the preview window back when the program is armed."""
        preview = self.form("TForm1")
        if not preview["visible"]:
            self.bench.click_tray_icon(button=1)
            preview = self.shown("TForm1")
        button = next(c for c in preview["children"] if c["text"] == "Set")
        self.bench.click_control(button["hwnd"])
        return self.shown("TForm2")

    def open_from_tray(self):
        """The tray menu's "Config", with the program left armed."""
        self.bench.click_tray_icon(button=3)
        menu = self.bench.wait_until(lambda: (self.bench.menus() or [None])[0],
                                     what="the tray menu")
        if menu.get("items"):
            r = next(i for i in menu["items"] if i["text"] == "Config")["rect"]
        else:
            # Wine keeps the menu's items to itself: "Config" is the middle one
            # of the three equal entries.
            r = menu["rect"]
        self.bench.click((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)
        return self.shown("TForm2")

    def open_about(self):
        self.click("Infos")
        self.hidden("TForm2")
        return self.shown("TForm3")

    # ---- configuration file as a directory -------------------------------------

    def block_config(self):
        """A directory in place of the file: the profile service cannot write."""
        self.bench.remove_config()
        os.makedirs(self.bench.config_path)

    def unblock_config(self):
        if os.path.isdir(self.bench.config_path):
            shutil.rmtree(self.bench.config_path)
