"""Rows of one capture's steps in a burst (bench probe "steps": the program's
own engine, settings reads and writers, timed step by step), each with its
share of the time from one capture to the next; the steps of the writing
thread run beside the next grab, so their share says how close they come to
holding the burst up."""

from figures import fmt, per_second, ratio, share, shifted, summed

# (key in the probe's answer, what the step is): the capturing thread's
# steps, in order; they add up to the time from one capture to the next.
GUI_STEPS = [
    ("poll", "the key poll: GetAsyncKeyState of the hot key"),
    ("modifiers", "the modifiers' queries (Alt, Ctrl, Shift)"),
    ("grab", "the screen read: BitBlt of the desktop into the picture"),
    ("clipboard", "the clipboard announce: open, empty, SetClipboardData delayed, close"),
    ("settings", "the settings read after the capture (the documents folder when none is stored)"),
    ("record", "the name, the folder and the queue (AutoRecorder::Record)"),
    ("answer", "sent messages answered"),
]


def step_rows(r):
    out = []
    for fmt_key, label in (("jpg", "JPEG q85"), ("bmp", "BMP")):
        s = r.get("steps_" + fmt_key)
        if s:
            out += burst_steps(r, s, fmt_key, label)
    return out


def burst_steps(r, s, fmt_key, label):
    burst, alone = s["burst"], s["alone"]
    interval = burst.get("interval")
    g = "capture"
    ms = "ms per capture (share of the capture's time)"
    # 1000 / files per second: milliseconds per file.
    program = per_second(r.get("burst_" + fmt_key, {}).get("sustained"))
    out = [(g, "one capture in a %s burst, bench probe with the program's code, %s" % (label, ms),
            fmt(interval, digits=2), "the program's own burst, sustained, ms per file",
            fmt(program, digits=2), share(interval, interval))]
    rows = GUI_STEPS if fmt_key == "jpg" else [x for x in GUI_STEPS if x[0] == "record"]
    for key, what in rows:
        step = burst.get(key)
        by_itself = alone.get(key)
        out.append((g, "  " + what, fmt(step, digits=3), by_itself and "the step alone" or "",
                    by_itself and fmt(by_itself, digits=3) or "", share(step, interval)))
        if key == "grab":
            out += grab_detail(r, step, interval)
        if key == "settings":
            out += settings_detail(alone, interval)
        if key == "record":
            out += record_detail(burst, alone, interval)
    encode = alone.get("encode") if fmt_key == "jpg" else None
    write = alone.get("write")
    if encode:
        out.append((g, "  writing thread: the JPEG encode (EncodeJpeg), alone",
                    fmt(encode, digits=2), "", "", share(encode, interval)))
    out.append((g, "  writing thread: the file's write (%s), alone" %
                ("JpegWriter less the encode" if encode else "BmpWriter"), fmt(write, digits=2),
                "", "", share(write, interval)))
    if fmt_key == "jpg":
        out.append((g, "  first capture of a press: the clipboard's bitmap made at once, ms",
                    fmt(burst.get("first_clipboard"), digits=2), "", "", ""))
        out.append((g, "  end of a burst: the queue drained, the last bitmap made, ms",
                    fmt(burst.get("end_of_burst"), digits=2), "", "", ""))
    return out


def grab_detail(r, grab, interval):
    x = r.get("x_read", {})
    plain, shm = x.get("xgetimage"), x.get("xshmgetimage")
    if not plain:
        return []
    wine_adds = shifted(grab, -plain["median"]) if grab else None
    return [
        ("capture", "    of which the X server's read (native XGetImage of the root)", "",
         "vistrel_x_read, same display and size", fmt(plain, digits=2), share(plain, interval)),
        ("capture", "    what Wine adds to it (BitBlt less the native read)",
         fmt(wine_adds, digits=2), "", "", share(wine_adds, interval)),
        ("capture", "    the same read through shared memory (XShmGetImage), not used by Wine 8",
         "", "vistrel_x_read", fmt(shm, digits=2), ratio(shm, plain) and
         "shm/socket " + ratio(shm, plain)),
    ]


def settings_detail(alone, interval):
    rows = [
        ("profile_if_changed", "    of which the four profile reads, kept while the file's time "
         "and size stay (GetFileAttributesExW)", "profile_reads"),
        ("documents_folder", "    of which the documents-folder look-up (SHGetFolderPathW)", None),
        ("settings_from_the_file", "    the same read with the file parsed for every key, as "
         "before", None),
        ("shell_folders_stamp", "    proposed: the folder re-read only when the shell folders' "
         "key changed (RegQueryInfoKey)", "documents_folder"),
    ]
    out = []
    for key, what, before in rows:
        step = alone.get(key)
        if not step:
            continue
        if before:
            out.append(("capture", what, fmt(step, digits=3), "read every time",
                        fmt(alone.get(before), digits=3),
                        ratio(step, alone.get(before)) and "ratio " +
                        ratio(step, alone.get(before))))
        else:
            out.append(("capture", what, fmt(step, digits=3), "", "", share(step, interval)))
    return out


def record_detail(burst, alone, interval):
    name, folder = alone.get("name"), alone.get("folder_made")
    known = summed(name, folder)
    record = burst.get("record")
    wait = shifted(record, -known["median"]) if record and known else None
    if wait:
        wait = {k: max(0.0, v) for k, v in wait.items()}
    return [
        ("capture", "    of which the name (two clock readings, the stem)", fmt(name, digits=3),
         "", "", share(name, interval)),
        ("capture", "    of which the folder made if missing (CreateDirectoryA)",
         fmt(folder, digits=3), "", "", share(folder, interval)),
        ("capture", "    of which the wait for the queue (the rest)", fmt(wait, digits=3), "", "",
         share(wait, interval)),
    ]

