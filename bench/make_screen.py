#!/usr/bin/env python3
"""Draws a desktop-like screen for the benchmarks: a photo wallpaper, a
document window with text and a picture, a dark code editor, a spreadsheet and
a taskbar. Encoders behave very differently on a flat colour, so the figures
are taken on this busy image; with --plain, on a plain desktop instead (a flat
wallpaper, two windows of flat panels with a few lines of text, a taskbar), as
many a desktop looks. Deterministic (seeded): the same bytes on every run.

Usage: make_screen.py OUT.ppm [OUT.png] [--size 1920x1080] [--plain]
"""

import argparse
import os
import random
import subprocess
import tempfile

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SANS = os.path.join(FONT_DIR, "DejaVuSans.ttf")
SANS_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
MONO = os.path.join(FONT_DIR, "DejaVuSansMono.ttf")
# The packaged ImageMagick, not a wrapper earlier on the PATH.
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"

WORDS = ("capture écran fenêtre fichier image presse-papiers réglages dossier "
         "qualité touche rapide léger mesure débit latence mémoire lecture "
         "the quick brown fox jumps over lazy dog while bytes flow from screen "
         "to disk and every frame counts in a burst of files per second").split()
CODE = [
    ("#C586C0", "for"), ("#9CDCFE", "(int y = 0; y < height; ++y) {"),
    ("#569CD6", "const"), ("#4EC9B0", "std::uint8_t*"), ("#9CDCFE", "row = pixels + y * stride;"),
    ("#DCDCAA", "WriteFile"), ("#D4D4D4", "(handle, row, bytes, &written, nullptr);"),
    ("#6A9955", "// one block copy per capture, no intermediate buffer"),
    ("#CE9178", "\"07.03.2026 à 09h 05m 04s 007'.bmp\""), ("#B5CEA8", "1920 1080 32 85 100"),
]


def quote(text):
    return "'" + text.replace("\\", "\\\\").replace("'", "\\'") + "'"


def sentence(rng, length):
    return " ".join(rng.choice(WORDS) for _ in range(length)).capitalize() + "."


def window(mvg, x, y, w, h, title, body="#FFFFFF", bar="#DDE3EA", ink="#1F2A36"):
    mvg += ["fill '#00000040'", "rectangle %d,%d %d,%d" % (x + 6, y + 6, x + w + 6, y + h + 6),
            "fill %s" % quote(body), "stroke '#8A96A3'", "rectangle %d,%d %d,%d" % (x, y, x + w, y + h),
            "stroke none", "fill %s" % quote(bar), "rectangle %d,%d %d,%d" % (x + 1, y + 1, x + w - 1, y + 30),
            "fill %s" % quote(ink), "font %s" % quote(SANS), "font-size 14",
            "text %d,%d %s" % (x + 12, y + 21, quote(title))]
    for i, colour in enumerate(("#E81123", "#FFB900", "#16C60C")):
        cx = x + w - 20 - 24 * i
        mvg.append("fill %s" % quote(colour))
        mvg.append("circle %d,%d %d,%d" % (cx, y + 15, cx + 6, y + 15))


def build_mvg(rng, width, height, photo):
    mvg = ["viewbox 0 0 %d %d" % (width, height)]
    # Document window: heading, paragraphs, a picture.
    dx, dy, dw, dh = 70, 50, 1120, 800
    window(mvg, dx, dy, dw, dh, "Rapport de mesure - Document")
    mvg += ["fill '#1F2A36'", "font %s" % quote(SANS_BOLD), "font-size 26",
            "text %d,%d %s" % (dx + 40, dy + 80, quote("Vitesse de capture à 1920 x 1080"))]
    mvg += ["font %s" % quote(SANS), "font-size 15"]
    ty = dy + 120
    while ty < dy + dh - 30:
        mvg.append("fill '#2B2B2B'")
        right = dx + 40 + (0 if ty < dy + 330 or ty > dy + 600 else 460)
        mvg.append("text %d,%d %s" % (right, ty, quote(sentence(rng, rng.randint(8, 12 if right > dx + 40 else 16)))))
        ty += 22 if rng.random() > 0.15 else 40
    mvg.append("image over %d,%d 420,260 %s" % (dx + 40, dy + 340, quote(photo)))
    # Spreadsheet.
    sx, sy, sw, sh = 260, 600, 900, 420
    window(mvg, sx, sy, sw, sh, "Mesures.xls")
    mvg += ["stroke '#D0D7DE'", "stroke-width 1"]
    for col in range(sx + 40, sx + sw, 110):
        mvg.append("line %d,%d %d,%d" % (col, sy + 31, col, sy + sh))
    for row in range(sy + 55, sy + sh, 22):
        mvg.append("line %d,%d %d,%d" % (sx, row, sx + sw, row))
    mvg += ["stroke none", "fill '#E8F0FE'", "rectangle %d,%d %d,%d" % (sx + 1, sy + 31, sx + sw - 1, sy + 54),
            "fill '#333333'", "font %s" % quote(SANS), "font-size 13"]
    for r, row in enumerate(range(sy + 72, sy + sh, 22)):
        for c, col in enumerate(range(sx + 48, sx + sw - 100, 110)):
            value = "%.2f" % (rng.random() * 1000) if c else "essai %d" % (r + 1)
            mvg.append("fill %s" % quote("#C62828" if c and rng.random() < 0.1 else "#333333"))
            mvg.append("text %d,%d %s" % (col, row, quote(value)))
    # Code editor.
    ex, ey, ew, eh = 1010, 160, 860, 760
    window(mvg, ex, ey, ew, eh, "capture_win.cpp - Editeur", body="#1E1E1E", bar="#3C3C3C",
           ink="#CCCCCC")
    mvg += ["font %s" % quote(MONO), "font-size 14"]
    for n, y in enumerate(range(ey + 52, ey + eh - 10, 19)):
        mvg += ["fill '#858585'", "text %d,%d %s" % (ex + 10, y, quote("%3d" % (n + 1)))]
        x = ex + 60 + 16 * rng.randint(0, 4)
        for _ in range(rng.randint(1, 4)):
            colour, token = rng.choice(CODE)
            mvg += ["fill %s" % quote(colour), "text %d,%d %s" % (x, y, quote(token))]
            x += 9 * (len(token) + 1)
            if x > ex + ew - 120:
                break
    # Taskbar with icons and a clock.
    mvg += ["fill '#202020E6'", "rectangle 0,%d %d,%d" % (height - 44, width, height)]
    for i in range(9):
        mvg += ["fill %s" % quote("#%02X%02X%02X" % (rng.randint(40, 250), rng.randint(40, 250), rng.randint(40, 250))),
                "roundrectangle %d,%d %d,%d 6,6" % (14 + 52 * i, height - 36, 46 + 52 * i, height - 8)]
    mvg += ["fill '#FFFFFF'", "font %s" % quote(SANS), "font-size 13",
            "text %d,%d %s" % (width - 90, height - 26, quote("09:05")),
            "text %d,%d %s" % (width - 100, height - 10, quote("07/03/2026"))]
    return "\n".join(mvg) + "\n"


def build_plain_mvg(rng, width, height):
    """Flat colours only, placed in proportion to the screen."""
    mvg = ["viewbox 0 0 %d %d" % (width, height)]
    # A file manager: a side panel and a list of names.
    fx, fy, fw, fh = width // 12, height // 10, width // 2, height * 3 // 5
    window(mvg, fx, fy, fw, fh, "Documents - Fichiers")
    mvg += ["fill '#F3F5F7'", "rectangle %d,%d %d,%d" % (fx + 1, fy + 31, fx + 180, fy + fh - 1),
            "font %s" % quote(SANS), "font-size 14"]
    for i, name in enumerate(("Bureau", "Documents", "Images", "Musique", "Vidéos")):
        mvg += ["fill '#1F2A36'", "text %d,%d %s" % (fx + 16, fy + 60 + 26 * i, quote(name))]
    for i, y in enumerate(range(fy + 60, fy + fh - 20, 26)):
        if i % 2:
            mvg += ["fill '#F7F9FB'", "rectangle %d,%d %d,%d" % (fx + 181, y - 17, fx + fw - 1, y + 8)]
        mvg += ["fill '#2B2B2B'", "text %d,%d %s" % (fx + 200, y, quote(sentence(rng, 3)))]
    # A text editor on top of it, with a few lines.
    ex, ey, ew, eh = width * 5 // 12, height * 3 // 10, width * 2 // 5, height * 2 // 5
    window(mvg, ex, ey, ew, eh, "notes.txt - Editeur")
    mvg += ["font %s" % quote(MONO), "font-size 14"]
    for y in range(ey + 56, ey + eh // 2, 20):
        mvg += ["fill '#2B2B2B'", "text %d,%d %s" % (ex + 14, y, quote(sentence(rng, 5)))]
    # The taskbar: flat, a few buttons and a clock.
    mvg += ["fill '#2D3E50'", "rectangle 0,%d %d,%d" % (height - 40, width, height)]
    for i in range(4):
        mvg += ["fill '#4A6278'", "rectangle %d,%d %d,%d" % (8 + 150 * i, height - 34, 148 + 150 * i,
                                                              height - 6)]
    mvg += ["fill '#FFFFFF'", "font %s" % quote(SANS), "font-size 13",
            "text %d,%d %s" % (width - 60, height - 15, quote("09:05"))]
    return "\n".join(mvg) + "\n"


def draw_busy(rng, width, height, tmp, ppm):
    """The busy screen: wallpaper, document, spreadsheet, code editor, taskbar."""
    wallpaper = os.path.join(tmp, "wallpaper.png")
    photo = os.path.join(tmp, "photo.png")
    # Photo-like areas: smooth fractal noise, seeded.
    subprocess.run([CONVERT, "-seed", "7", "-size", "%dx%d" % (width // 2, height // 2),
                    "plasma:#3A6EA5-#E0A060", "-blur", "0x2", "-resize", "%dx%d!" % (width, height),
                    wallpaper], check=True)
    subprocess.run([CONVERT, "-seed", "11", "-size", "420x260", "plasma:fractal",
                    "-blur", "0x1", photo], check=True)
    mvg = os.path.join(tmp, "screen.mvg")
    with open(mvg, "w", encoding="utf-8") as f:
        f.write(build_mvg(rng, width, height, photo))
    # The drawing goes through the MVG reader: ImageMagick's usual policy
    # forbids "-draw @file".
    subprocess.run([CONVERT, wallpaper, "-background", "none", "mvg:" + mvg, "-composite",
                    "-alpha", "off", "-depth", "8", "ppm:" + ppm], check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("ppm")
    parser.add_argument("png", nargs="?")
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--plain", action="store_true", help="a plain desktop of flat colours")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    rng = random.Random(20260307)
    with tempfile.TemporaryDirectory(prefix="vistrel-screen-") as tmp:
        if args.plain:
            mvg = os.path.join(tmp, "plain.mvg")
            with open(mvg, "w", encoding="utf-8") as f:
                f.write(build_plain_mvg(rng, width, height))
            subprocess.run([CONVERT, "-size", "%dx%d" % (width, height), "xc:#3B6E8F",
                            "-background", "none", "mvg:" + mvg, "-composite", "-alpha", "off",
                            "-depth", "8", "ppm:" + args.ppm], check=True)
        else:
            draw_busy(rng, width, height, tmp, args.ppm)
    if args.png:
        subprocess.run([CONVERT, args.ppm, args.png], check=True)


if __name__ == "__main__":
    main()
