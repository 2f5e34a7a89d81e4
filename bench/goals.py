"""The goals, each met or not by this run's figures, and for one not met what
the same run measured in its way. Markdown bullets for docs/bench.md."""

JPEG_GOAL, ROUND_GOAL, MEMORY_GOAL, START_GOAL = 60.0, 1.5, 1.3, 1.1


def med(s):
    return s["median"] if s else None


def goal_lines(r):
    lines = [jpeg_burst(r), bmp_burst(r), rounds(r), history(r), memory(r), after_burst(r),
             startup(r)]
    return [l for l in lines if l]


def verdict(met):
    return "met" if met else "not met"


def jpeg_burst(r):
    rate = med(r.get("burst_jpg", {}).get("sustained"))
    if rate is None:
        return None
    line = "- Auto-record JPEG q85 at 1920 x 1080 ≥ %.0f files/s: %.1f, %s." % (
        JPEG_GOAL, rate, verdict(rate >= JPEG_GOAL))
    s = r.get("steps_jpg")
    if not s or rate >= JPEG_GOAL:
        return line
    burst, alone = s["burst"], s["alone"]
    interval, grab, settings = med(burst.get("interval")), med(burst.get("grab")), med(
        burst.get("settings"))
    x = r.get("x_read", {})
    native, shm = med(x.get("xgetimage")), med(x.get("xshmgetimage"))
    line += " One capture takes %.1f ms in the probe's burst; the screen read %.1f ms of it" % (
        interval, grab)
    if native:
        line += (" (the X server's own XGetImage of the same screen %.1f ms natively, through "
                 "shared memory %.1f ms, which Wine 8's BitBlt does not use)" % (native, shm or 0))
    if settings:
        line += ("; the settings read after each capture %.2f ms (%.0f %%), the rest of the "
                 "capturing thread's steps %.2f ms" % (
                     settings, 100 * settings / interval, interval - settings - grab))
    if grab:
        line += ("; the screen read alone caps a burst at %.0f files/s, whatever the other "
                 "steps cost" % (1000 / grab))
    program = med(r.get("burst_jpg", {}).get("sustained"))
    if program:
        line += "; the program's own burst takes %.1f ms a file" % (1000 / program)
    return line + "."


def bmp_burst(r):
    ours, disk = r.get("burst_bmp", {}).get("sustained"), r.get("disk", {}).get("sustained")
    if not ours or not disk:
        return None
    ratio = ours["median"] / disk["median"]
    line = ("- BMP as fast as the disk takes new 8 MB files: %.1f files/s against the disk's "
            "%.1f (%.2f×), %s." % (ours["median"], disk["median"], ratio, verdict(ratio >= 0.9)))
    s = r.get("steps_bmp")
    if s and ratio < 0.9:
        write = med(s["alone"].get("write"))
        line += (" The capture, not the disk, is the limit: one takes %.1f ms in the probe's "
                 "burst, the file's write %.1f ms of the writing thread beside it." % (
                     med(s["burst"].get("interval")), write or 0))
    return line


def rounds(r):
    found = r.get("rounds")
    if not found:
        return None
    missed, all_rates = [], []
    for size, screens in found.items():
        for screen, x in screens.items():
            ratio = x.get("ratio_jpg")
            if ratio:
                all_rates.append(ratio["median"])
                if ratio["median"] < ROUND_GOAL:
                    missed.append("%s %s %.2f× (%.2f–%.2f×)" % (
                        size.replace("x", " x "), screen, ratio["median"], ratio["min"],
                        ratio["max"]))
    line = "- JPEG burst ≥ %.1f× scrot on both screens and both sizes (rounds): %s." % (
        ROUND_GOAL, verdict(all_rates and not missed))
    if missed:
        line += " Below it: %s." % "; ".join(missed)
        big = found.get("1920x1080", {})
        if "busy" in big and "plain" in big:
            ours = [med(big[k]["rates"].get("jpg")) for k in ("busy", "plain")]
            scrot = [med(big[k]["rates"].get("scrot JPEG q85")) for k in ("busy", "plain")]
            if all(ours) and all(scrot):
                line += (" At 1920 x 1080 the program's rate hardly moves from the busy to the "
                         "plain screen (%.1f, %.1f files/s): it is bound by the screen read; "
                         "scrot's goes from %.1f to %.1f as its encode gets cheaper on flat "
                         "colours, its read going through shared memory." % (
                             ours[0], ours[1], scrot[0], scrot[1]))
    return line


def memory(r):
    i = r.get("idle", {})
    ours, bare = i.get("RssAnon_vistrel"), i.get("RssAnon_idle_tray")
    if not ours or not bare:
        return None
    ratio = ours["median"] / bare["median"]
    line = "- Private memory armed ≤ %.1f× the poller's: %.0f against %.0f kB (%.2f×), %s." % (
        MEMORY_GOAL, ours["median"], bare["median"], ratio, verdict(ratio <= MEMORY_GOAL))
    steps = {s["label"]: s for s in r.get("footprint_steps") or []}
    could = next((s for k, s in steps.items() if k.startswith("as it could start")), None)
    poller = next((s for k, s in steps.items() if k.startswith("minimal")), None)
    dll = next((s for k, s in steps.items() if k.startswith("+ com")), None)
    if ratio > MEMORY_GOAL and could and could["RssAnon"] and dll and poller:
        line += (" What stands in the way is comctl32 (common controls 6), which the first "
                 "standard control loads: the poller with comctl32 imported and nothing else "
                 "holds %.0f kB (+%.0f kB), most of what the program holds above the poller. "
                 "The preferences window is made at start with its controls and loads the "
                 "stored settings into them then (a stored value's error shows at start); made "
                 "that way, even a program with no other window holds %.0f kB. Without any "
                 "window with controls before one shows it would hold %.0f kB (%.2f×)." % (
                     dll["RssAnon"]["median"], dll["RssAnon"]["median"] -
                     poller["RssAnon"]["median"],
                     next((s["RssAnon"]["median"] for k, s in steps.items()
                           if k.startswith("  with the preferences")), 0),
                     could["RssAnon"]["median"], could["RssAnon"]["median"] / bare["median"]))
    return line


def startup(r):
    s = r.get("startup", {})
    ours, bare = s.get("vistrel"), s.get("idle_tray")
    if not ours or not bare:
        return None
    ratio = ours["median"] / bare["median"]
    line = "- Start-up ≤ %.1f× the poller's: %.0f against %.0f ms (%.2f×), %s." % (
        START_GOAL, ours["median"], bare["median"], ratio, verdict(ratio <= START_GOAL))
    cpu, bare_cpu = s.get("vistrel_cpu"), s.get("idle_tray_cpu")
    if cpu and bare_cpu:
        line += " The process's own CPU time by its icon: %.0f against %.0f ms." % (
            cpu["median"], bare_cpu["median"])
    return line


def history(r):
    h, alone = r.get("burst_history", {}), r.get("burst_jpg", {})
    ours, without = med(h.get("sustained")), med(alone.get("sustained"))
    taken = h.get("history_taken")
    if ours is None or without is None or not taken:
        return None
    ratio = ours / without
    return ("- Beside a clipboard history, a JPEG burst ≥ 0.90× its rate without one and at most "
            "2 captures taken: %.1f against %.1f files/s (%.2f×), %.0f taken (%.0f–%.0f), %s." % (
                ours, without, ratio, taken["median"], taken["min"], taken["max"],
                verdict(ratio >= 0.9 and taken["max"] <= 2)))


def after_burst(r):
    b = r.get("burst_bmp", {})
    before, after = b.get("RssAnon_before"), b.get("RssAnon_after")
    if not before or not after:
        return None
    limit = before["median"] + 2 * 1920 * 1080 * 4 / 1024
    return ("- Private memory after a burst ≤ armed + two captures' bytes: %.0f against %.0f kB "
            "(%.2f×), %s." % (after["median"], limit, after["median"] / limit,
                               verdict(after["median"] <= limit)))
