"""The screen images the figures are taken on, drawn by make_screen.py: the
busy one (photo wallpaper, text, code, a spreadsheet) and a plain desktop of
flat colours. Shown as the root window's background, so that a window
manager leaves them alone and every window lies over them as on a desktop."""

import os
import subprocess
import sys

from image import Image

HERE = os.path.dirname(os.path.abspath(__file__))
KINDS = ("busy", "plain")


def make(tmp, kind, width, height, png=False):
    """The image's PPM (and PNG) path; drawn once per kind and size."""
    stem = os.path.join(tmp, "screen-%s-%dx%d" % (kind, width, height))
    ppm = stem + ".ppm"
    if not os.path.exists(ppm):
        argv = [sys.executable, os.path.join(HERE, "make_screen.py"), ppm]
        if png:
            argv.append(stem + ".png")
        argv += ["--size", "%dx%d" % (width, height)]
        if kind == "plain":
            argv.append("--plain")
        subprocess.run(argv, check=True)
    return ppm


def show_on_root(w, ppm):
    """Sets the image as the root background (ImageMagick's display; it
    reports failure on Xvfb though it sets it) and waits until the screen
    shows it."""
    with open(ppm, "rb") as f:
        image = Image.from_ppm(f.read())
    spot = (w.width // 2, w.height - 3)
    subprocess.run(["display", "-window", "root", ppm], env=w.b.env(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120, check=False)
    w.b.wait_until(lambda: w.b.screenshot().pixel(*spot) == image.pixel(*spot), timeout=30,
                   interval=0.2, what="the screen image on the root window")
