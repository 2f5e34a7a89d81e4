"""docs/bench.png: captures per second at 1920 x 1080, one bar each
(ImageMagick, through its MVG reader)."""

import os
import subprocess
import tempfile

CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


def bars(r):
    out = []
    for f, label in (("bmp", "BMP"), ("jpg", "JPEG q85")):
        b = r.get("burst_" + f, {}).get("first20")
        if b:
            out.append(("Vistrel auto-record %s" % label, b["median"], "#1f6fb5"))
        g = r.get("grab_" + f, {}).get("total")
        if g:
            out.append(("bare probe limit %s" % label, 1000 / g["median"], "#9bbad8"))
        gc = r.get("grab_clip" + ("" if f == "bmp" else "_jpg"), {}).get("total")
        if gc:
            out.append(("  the same + clipboard step", 1000 / gc["median"], "#c8d8ea"))
    disk = r.get("disk", {}).get("first20")
    if disk:
        out.append(("disk: new 8 MB files (native)", disk["median"], "#d8c89b"))
    for name, p in r.get("peers", {}).items():
        if p.get("loop_per_s"):
            out.append((name + " (loop)", p["loop_per_s"]["median"], "#b0b0b0"))
    return out


def chart(r, path):
    rows = bars(r)
    if not rows:
        return
    top = max(v for _, v, _ in rows)
    width, row, left, right = 900, 34, 250, 90
    height = 60 + row * len(rows)
    mvg = ["viewbox 0 0 %d %d" % (width, height), "font-size 14", "fill '#222222'",
           "text 10,25 'Captures per second at 1920 x 1080 under Wine on Xvfb (median; higher is "
           "better)'"]
    for i, (name, value, colour) in enumerate(rows):
        y = 45 + i * row
        length = (width - left - right) * value / top
        mvg += ["fill '#222222'", "text 10,%d '%s'" % (y + 18, name.replace("'", "")),
                "fill '%s'" % colour,
                "rectangle %d,%d %d,%d" % (left, y + 4, left + max(length, 1), y + 26),
                "fill '#222222'", "text %d,%d '%.1f'" % (left + length + 6, y + 20, value)]
    with tempfile.NamedTemporaryFile("w", suffix=".mvg", delete=False) as f:
        f.write("\n".join(mvg) + "\n")
        mvg_path = f.name
    try:
        # Through the MVG reader: ImageMagick's usual policy forbids "-draw @file".
        subprocess.run([CONVERT, "-size", "%dx%d" % (width, height), "xc:white", "mvg:" + mvg_path,
                        "-composite", path], check=True)
    finally:
        os.unlink(mvg_path)
