"""Rows of the footprint: idle CPU and memory beside the minimal tray poller,
memory after a burst, start-up, size; then what the private memory and the
start-up above the poller's are made of."""

from figures import fmt, ratio

WIDTH, HEIGHT = 1920, 1080


def footprint_rows(r):
    out = []
    i = r.get("idle", {})
    out.append(("idle", "armed, CPU s per 60 s", fmt(i.get("cpu_per_60s_vistrel"), digits=3),
                "minimal tray poller", fmt(i.get("cpu_per_60s_idle_tray"), digits=3), ""))
    out.append(("idle", "wineserver CPU s per 60 s (both)", "", "",
                fmt(i.get("cpu_per_60s_wineserver"), digits=3), ""))
    for field, label, goal in (("RssAnon", "private memory (RssAnon), kB", " (goal ≤ 1.30)"),
                               ("VmRSS", "resident memory (VmRSS), kB", "")):
        ours, bare = i.get(field + "_vistrel"), i.get(field + "_idle_tray")
        out.append(("idle", label, fmt(ours, digits=0), "minimal tray poller", fmt(bare, digits=0),
                    ratio(ours, bare) and ratio(ours, bare) + goal))
    mappings = i.get("mappings")
    if mappings:
        top = ", ".join("%s %d" % (m["mapping"] + ("*" if m["only_ours"] else ""), m["kB"])
                        for m in mappings[:6])
        out.append(("idle", "  private kB above the poller's, by mapping (* loaded by the "
                    "program only)", top, "", "", ""))
    bb = r.get("burst_bmp", {})
    two = 2 * WIDTH * HEIGHT * 4 / 1024
    before = bb.get("RssAnon_before")
    armed_two = {k: before[k] + two for k in ("median", "min", "max")} if before else None
    out.append(("idle", "private memory armed after a BMP burst, kB",
                fmt(bb.get("RssAnon_after"), digits=0), "armed + two captures' bytes",
                fmt(armed_two, digits=0), ratio(bb.get("RssAnon_after"), armed_two)))
    s = r.get("startup", {})
    out.append(("start", "start-up to tray icon, ms", fmt(s.get("vistrel"), digits=0),
                "minimal tray poller", fmt(s.get("idle_tray"), digits=0),
                ratio(s.get("vistrel"), s.get("idle_tray")) and
                ratio(s.get("vistrel"), s.get("idle_tray")) + " (goal ≤ 1.10)"))
    out.append(("start", "  the process's CPU time by then, ms",
                fmt(s.get("vistrel_cpu"), digits=0),
                "minimal tray poller", fmt(s.get("idle_tray_cpu"), digits=0),
                ratio(s.get("vistrel_cpu"), s.get("idle_tray_cpu"))))
    out += step_rows(r.get("footprint_steps"))
    out.append(("size", "vistrel.exe, bytes", "%d" % r.get("exe_size", 0), "goal", "< 1048576", ""))
    return out


def step_rows(steps):
    """One row per step added to the poller: its private memory and start-up,
    and what it adds to the row it builds on."""
    if not steps:
        return []
    out = [("footprint", "the poller plus, step by step, what the program does before its first "
            "capture: private memory, kB", "", "start-up to tray icon, ms",
            "the process's CPU by then, ms", "added to the row it builds on (kB, ms, CPU ms)")]
    for step in steps:
        mem, start, cpu = step["RssAnon"], step["startup_ms"], step.get("startup_cpu_ms")
        base = steps[step["base"]] if step.get("base") is not None else None
        added = ""
        if base and mem and start and base["RssAnon"] and base["startup_ms"]:
            added = "%+d kB, %+.0f ms" % (mem["median"] - base["RssAnon"]["median"],
                                          start["median"] - base["startup_ms"]["median"])
            if cpu and base.get("startup_cpu_ms"):
                added += ", %+.0f CPU ms" % (cpu["median"] - base["startup_cpu_ms"]["median"])
            if step["base"] == 0:
                added += "; %s, %s of the poller" % (ratio(mem, base["RssAnon"]),
                                                     ratio(start, base["startup_ms"]))
        out.append(("footprint", "  " + step["label"], fmt(mem, digits=0), fmt(start, digits=0),
                    fmt(cpu, digits=0), added))
    program = next((s for s in steps if s["label"] == "the program, armed"), None)
    if program:
        new = sorted(set(program["dlls"]) - set(steps[0]["dlls"]))
        out.append(("footprint", "  DLLs the armed program has loaded that the poller has not",
                    ", ".join(new), "", "", ""))
    return out
