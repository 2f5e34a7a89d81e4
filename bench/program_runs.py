"""The real program driven as a user drives it: the hot key held for an
auto-record burst, and the hot key pressed for a capture on the clipboard."""

import contextlib
import glob
import json
import os
import random
import shutil
import subprocess
import time

from figures import log, stats


def hold_key(w, folder, ext, files, hold):
    """Holds the hot key until `files` files are in the folder and `hold`
    seconds have passed, then waits for the burst to end. The files'
    modification times, in order."""
    pattern = os.path.join(folder, "*" + ext)
    try:
        w.b.keydown("F12")
        started = time.monotonic()
        w.b.wait_until(lambda: len(glob.glob(pattern)) >= files, timeout=60, interval=0.05,
                       what="%d auto-recorded files" % files)
        # The hold is the figure's own span, not a wait for something.
        time.sleep(max(0.0, hold - (time.monotonic() - started)))
    finally:
        w.b.keyup("F12")
    last = [-1]

    def settled():
        n = len(os.listdir(folder))
        done = n == last[0]
        last[0] = n
        return done
    w.b.wait_until(settled, timeout=60, interval=0.5, what="the burst to end")
    return sorted(os.stat(p).st_mtime_ns / 1e9 for p in glob.glob(pattern))


def answers(w):
    """Whether the program's window still answers a sent message."""
    try:
        window = w.b.window("TForm1")
        return bool(window and w.b.send_message(window["hwnd"], 0, timeout_ms=5000).get("done"))
    except Exception:  # noqa: BLE001  (a probe that fails is an answer too)
        return False


def rate(times, count=None):
    """Files per second between the first file and the count-th after it (all)."""
    count = len(times) - 1 if count is None else count
    if len(times) <= count or count < 1 or times[count] <= times[0]:
        return None
    return count / (times[count] - times[0])


def burst(w, fmt, reader=False, history=False):
    """Files per second while the hot key is held: first 20, then sustained.
    With reader, another program reads the clipboard's image at every change
    meanwhile: how many of its reads found a whole image, and the slowest.
    With history, a stand-in for the system's clipboard history listens and
    takes every change not marked for exclusion: how many it took."""
    first, sustained, counts, before, after = [], [], [], [], []
    whole, slowest, stalled, taken = [], [], [], []
    for _ in range(w.args.runs_burst):
        d = w.out_dir("burst")
        w.b.stop_program()
        w.auto_record_into(d, fmt)
        w.b.start_program()
        w.b.start_fixture()
        before.append(w.proc(w.b._program.pid)[1].get("RssAnon"))
        with contextlib.ExitStack() as stack:
            reads = stack.enter_context(w.b.clipboard_reader()) if reader else None
            changes = stack.enter_context(w.b.clipboard_history()) if history else None
            try:
                times = hold_key(w, d, "." + fmt, 21, w.args.hold)
            except AssertionError as e:
                # A burst that stops short is a figure too: counted, the run goes on.
                stalled.append({"files": len(os.listdir(d)), "answers": answers(w)})
                log("a burst stopped short: %s (%s)" % (e, stalled[-1]))
                continue
        if reader and reads:
            whole.append(100.0 * sum(1 for x in reads if "crc" in x) / len(reads))
            slowest.append(max(x["ms"] for x in reads))
        if history:
            taken.append(sum(1 for x in changes if x.get("taken")))
        after.append(w.proc(w.b._program.pid)[1].get("RssAnon"))
        if len(times) >= 21:
            first.append(rate(times, 20))
            sustained.append(rate(times))
            counts.append(len(times))
        shutil.rmtree(d, ignore_errors=True)
    w.b.stop_fixture()
    w.b.stop_program()
    w.b.remove_config()
    result = {"first20": stats(first), "sustained": stats(sustained), "files": stats(counts),
              "RssAnon_before": stats(before), "RssAnon_after": stats(after),
              "stalled": stalled}
    if reader:
        result.update(reader_whole_pct=stats(whole), reader_slowest_ms=stats(slowest))
    if history:
        result.update(history_taken=stats(taken))
    return result


def hotkey_latency(w):
    """Key arrival at a window of the bench probe to a bitmap readable on
    the clipboard, to the bitmap announced there, and to the preview window
    shown: the program, and the bench probe's bare key program timed the same
    way, press by press in turns (so a change in the machine's load falls on
    both); each is started (armed) afresh before every press."""
    w.b.remove_config()
    w.b.stop_fixture()
    errors = open(os.path.join(w.tmp, "hotkey.err"), "w+")
    proc = subprocess.Popen([w.harness.WINE, w.bench_probe, "hotkey", "--runs",
                             str(2 * w.args.runs), "--paced"], env=w.b.env(),
                            stdout=subprocess.PIPE, stderr=errors, stdin=subprocess.PIPE,
                            cwd=w.tmp, start_new_session=True)
    w.b._processes.append(proc)
    times = {name: {"ms": [], "announced_ms": [], "previewed_ms": [], "painted_ms": []}
             for name in ("vistrel", "bare")}
    try:
        def event():
            line = proc.stdout.readline().decode(errors="replace")
            if not line:
                errors.seek(0)
                raise RuntimeError("the bench probe ended: " + errors.read()[-2000:])
            log("probe: " + line.strip())
            return json.loads(line)
        ready = event()
        for run in range(2 * w.args.runs):
            name = ("vistrel", "bare")[run % 2]
            if name == "bare":
                program = start_bare_key(w)
                proc.stdin.write(b"go VistrelBarePreview\n")
            else:
                w.b.start_program()
                proc.stdin.write(b"go TForm1\n")
            proc.stdin.flush()
            waiting = event()
            assert waiting.get("event") == "waiting", waiting
            w.b._run(["xdotool", "windowfocus", "--sync", str(ready["x11_window"])])
            # The focus change reaches Wine; then a moment drawn at random
            # within one poll interval, so that each program's wait for its
            # next poll is spread the same way (0 to 100 ms).
            time.sleep(0.3 + random.uniform(0, 0.1))
            w.b.key("F12")
            answer = event()
            for key, values in times[name].items():
                if answer.get(key, -1) >= 0:
                    values.append(answer[key])
            if name == "bare":
                w.b._end(program)
            else:
                w.b.stop_program()
    finally:
        w.b._end(proc)
        proc.stdout.close()
        proc.stdin.close()
        errors.close()
    return {name: dict(stats(t["ms"]) or {}, announced=stats(t["announced_ms"]),
                       previewed=stats(t["previewed_ms"]), painted=stats(t["painted_ms"]))
            for name, t in times.items()}


def start_bare_key(w):
    """The bench probe's bare key program, once it polls the key."""
    proc = subprocess.Popen([w.harness.WINE, w.bench_probe, "barekey"],
                            env=w.b.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            cwd=w.tmp, start_new_session=True)
    w.b._processes.append(proc)
    line = proc.stdout.readline().decode(errors="replace")
    if json.loads(line or "{}").get("event") != "ready":
        raise RuntimeError("the bare key program did not start: %r" % line)
    return proc
