"""The bench table: one row per figure, (group, figure, Vistrel, reference,
reference figure, ratio). The speed rows are here; the capture's steps, the
rounds beside the peers and the footprint each have a module of rows."""

from figures import fmt, per_second, ratio, shifted, summed
from table_footprint import footprint_rows
from table_rounds import round_rows
from table_steps import step_rows

HEADER = ("", "figure", "Vistrel", "reference", "reference figure", "ratio")


def table(r):
    return [HEADER] + writer_rows(r) + burst_rows(r) + step_rows(r) + hotkey_rows(r) + \
        peer_rows(r) + round_rows(r) + footprint_rows(r)


def writer_rows(r):
    out = []
    m = r.get("micro", {})
    bmp_w, bmp_raw = m.get("bmp/BmpWriter"), m.get("bmp/raw_write")
    out.append(("native", "BMP encode and write, ms", fmt(bmp_w, digits=2),
                "raw write of the same bytes", fmt(bmp_raw, digits=2), ratio(bmp_w, bmp_raw)))
    for q in (85, 100):
        ours, lib = m.get("jpeg_q%d/JpegWriter" % q), m.get("jpeg_q%d/libjpeg_turbo" % q)
        out.append(("native", "JPEG q%d encode and write, ms" % q, fmt(ours, digits=2),
                    "libjpeg-turbo direct", fmt(lib, digits=2), ratio(ours, lib)))
    w = r.get("wine_writers", {})
    out.append(("Wine", "BmpWriter, ms", fmt(w.get("bmp_BmpWriter"), digits=2),
                "the same bytes written from memory", fmt(w.get("bmp_limit"), digits=2),
                ratio(w.get("bmp_BmpWriter"), w.get("bmp_limit"))))
    for q in (85, 100):
        ours, lim = w.get("jpeg_q%d_JpegWriter" % q), w.get("jpeg_q%d_limit" % q)
        out.append(("Wine", "JpegWriter q%d, ms" % q, fmt(ours, digits=2),
                    "libjpeg-turbo + WriteFile, same pixels", fmt(lim, digits=2),
                    ratio(ours, lim)))
    return out


def burst_rows(r):
    out = []
    scrot = r.get("peers", {}).get("scrot JPEG q85", {}).get("loop_per_s")
    disk = r.get("disk", {})
    for f, label in (("bmp", "BMP"), ("jpg", "JPEG q85")):
        b = r.get("burst_" + f, {})
        limit = per_second(r.get("grab_" + f, {}).get("total"))
        with_clip = per_second(r.get("grab_clip" + ("" if f == "bmp" else "_jpg"), {}).get("total"))
        for part, what in (("first20", "first 20 files"),
                           ("sustained", "sustained (%s files)" %
                            fmt(b.get("files"), digits=0).split(" ")[0])):
            ours = b.get(part)
            goal = " (goal ≥ 60)" if f == "jpg" else ""
            out.append(("Wine", "auto-record %s, %s, files/s%s" % (label, what, goal), fmt(ours),
                        "bare probe: BitBlt + GetDIBits + write", fmt(limit),
                        ratio(ours, limit) and
                        "ours/limit %s (goal ≥ 0.90)" % ratio(ours, limit)))
            out.append(("Wine", "  the same against scrot", "", "scrot JPEG q85, in a loop",
                        fmt(scrot), ratio(ours, scrot) and
                        "ours/scrot %s (goal ≥ 1.50)" % ratio(ours, scrot)))
            if f == "bmp" and disk:
                out.append(("Wine", "  the same against the disk", "",
                            "new 8 MB files written natively, same file system, %s" % what.split(
                                " (")[0], fmt(disk.get(part)),
                            ratio(ours, disk.get(part)) and
                            "ours/disk %s (goal 1.00)" % ratio(ours, disk.get(part))))
        out.append(("Wine", "  bare probe with a clipboard copy per capture, files/s", "",
                    "bare probe: as above + clipboard copy", fmt(with_clip),
                    ratio(b.get("first20"), with_clip) and
                    "ours/limit " + ratio(b.get("first20"), with_clip)))
    if disk:
        out.append(("Wine", "  the disk's own rate, sustained, MB/s", "",
                    "new 8 MB files, natively",
                    fmt(disk.get("MB_per_s"), digits=0), ""))
    history, alone = r.get("burst_history", {}), r.get("burst_jpg", {})
    if history:
        out.append(("Wine", "auto-record JPEG q85 beside a clipboard history, sustained, files/s",
                    fmt(history.get("sustained")), "the same burst without it",
                    fmt(alone.get("sustained")),
                    ratio(history.get("sustained"), alone.get("sustained")) and
                    "with/without %s (goal ≥ 0.90)" % ratio(history.get("sustained"),
                                                             alone.get("sustained"))))
        out.append(("Wine", "  captures the history took in a burst", fmt(
            history.get("history_taken"), digits=0), "goal", "≤ 2", ""))
    rd = r.get("burst_reader", {})
    out.append(("Wine", "auto-record BMP with a clipboard reader, first 20 files, files/s",
                fmt(rd.get("first20")), "", "", ""))
    for key, b in sorted(r.items()):
        if not key.startswith("burst_") or not b.get("stalled"):
            continue
        total = len(b["stalled"]) + ((b.get("first20") or {}).get("n") or 0)
        seen = ", ".join("%d files, %s" % (x["files"], "answering" if x["answers"] else
                                           "not answering") for x in b["stalled"])
        out.append(("Wine", "  %s: bursts stopped short of 21 files in 60 s" % key,
                    "%d of %d" % (len(b["stalled"]), total), "then", seen, ""))
    out.append(("Wine", "  reads finding a whole image, %",
                fmt(rd.get("reader_whole_pct"), digits=0), "goal", "≥ 80", ""))
    out.append(("Wine", "  slowest read, ms", fmt(rd.get("reader_slowest_ms"), digits=0), "goal",
                "≤ 1000", ""))
    return out


def hotkey_rows(r):
    """Each goal against the bare key program timed by the same stopwatch (the
    same poll, the same key's way into Wine, the same reader's copy of the
    bits); the bare calls alone below, as what the screen and the clipboard
    cost here."""
    out = []
    clip = r.get("grab_clip", {})
    hotkey, bare = r.get("hotkey") or {}, r.get("hotkey_bare") or {}
    for name, ours, theirs, what in (
            ("hot key to clipboard, ms", hotkey, bare,
             "bare key program: poll, BitBlt, window shown, clipboard copy"),
            ("hot key to the preview window shown, ms", hotkey.get("previewed"),
             bare.get("previewed"), "bare key program, its window shown"),
            ("hot key to the preview painted (the picture drawn), ms", hotkey.get("painted"),
             bare.get("painted"), "bare key program, its window painted")):
        out.append(("Wine", name, fmt(ours), what, fmt(theirs),
                    ratio(ours, theirs) and "ours/bare %s (goal ≤ 1.20)" % ratio(ours, theirs)))
    out.append(("Wine", "  hot key to the capture announced on the clipboard, ms",
                fmt(hotkey.get("announced")), "bare key program, its bitmap on the clipboard",
                fmt(bare.get("announced")), ""))
    bare_calls = summed(clip.get("bitblt"), clip.get("clipboard"))
    # The poll every 100 ms waits 50 ms on average before the capture starts;
    # the bare calls have none, and no reader's copy of the bits.
    out.append(("Wine", "  hot key to clipboard less the mean wait for the next poll (50 ms), ms",
                fmt(shifted(hotkey, -50)), "bare calls: BitBlt + clipboard copy",
                fmt(bare_calls), ""))
    out.append(("Wine", "  hot key to the preview less the same wait, ms",
                fmt(shifted(hotkey.get("previewed"), -50)), "bare calls: BitBlt",
                fmt(clip.get("bitblt")), ""))
    return out


def peer_rows(r):
    out = []
    for name, p in r.get("peers", {}).items():
        out.append(("peers", "%s, one capture per process, ms" % name, "", "",
                    fmt(p["single_ms"]), ""))
        out.append(("peers", "%s, in a loop, files/s" % name, "", "", fmt(p["loop_per_s"]), ""))
        if p.get("loop_per_s_window"):
            out.append(("peers", "  the same with a window on the screen, files/s", "", "",
                        fmt(p["loop_per_s_window"]), ""))
    return out
