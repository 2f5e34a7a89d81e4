#!/usr/bin/env python3
"""Runs every benchmark in one invocation and reports medians with min and max.

Native: the writers beside a raw write and libjpeg-turbo itself; the disk's
own rate for new 8 MB files. Under Wine on Xvfb at 1920 x 1080: the writers as
built for Windows beside their limits, the bare capture limit, one capture's
steps with the program's code beside the native screen read, auto-record
bursts, hot key to clipboard latency, the peers, idle cost, start-up and what
the footprint is made of, the size of vistrel.exe. Then, under a window
manager at both sizes and on both screen images, the program's bursts and the
peers in interleaved rounds. Nothing here asserts a timing.

Called by bench/run.sh after the build; --root is that build root. The parts:
  figures          medians, spreads, ratios
  native           micro-benchmarks, the disk's rate, the native X read
  screens          the busy and plain screen images, shown on the root window
  wine_bench       the harness's Bench with what the Wine parts share
  probe_runs       the bench probe: writers, bare limits, a capture's steps
  program_runs     the program driven: bursts, hot key latency
  peers            the peers alone and in rounds with the program
  footprint        start-up, idle, memory and what it is made of
  table*, report, chart   the table, docs/bench.md, docs/bench.png
"""

import argparse
import datetime
import json
import os
import shutil
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))

import footprint  # noqa: E402  (after the harness's folder is on the path)
import native  # noqa: E402
import peers  # noqa: E402
import probe_runs  # noqa: E402
import program_runs  # noqa: E402
import report  # noqa: E402
import screens  # noqa: E402
from figures import log  # noqa: E402
from wine_bench import WineBench  # noqa: E402

PARTS = ("micro", "disk", "writers", "grab", "steps", "burst", "hotkey", "peers", "startup",
         "idle", "footprint", "rounds")
WIDTH, HEIGHT = 1920, 1080
ROUND_SIZES = ((1280, 800), (1920, 1080))


def options():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--quick", action="store_true", help="fewer runs and rounds, 6 s of idle")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--rounds", type=int, default=7, help="rounds beside the peers")
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--hold", type=float, default=3.0, help="seconds the hot key is held")
    parser.add_argument("--no-docs", action="store_true", help="print only, leave docs/ alone")
    parser.add_argument("--only", default="", help="comma-separated parts (%s)" % ",".join(PARTS))
    parser.add_argument("--json", help="also write the raw results there")
    args = parser.parse_args()
    if args.quick:
        args.runs = min(args.runs, 3)
        args.rounds = min(args.rounds, 3)
        args.idle_seconds = min(args.idle_seconds, 6)
        args.hold = min(args.hold, 1.0)
    args.runs_burst = 3
    args.grab_runs = 20
    args.step_runs = 20 if args.quick else 40
    args.loop = 10
    args.round_files = 20 if args.quick else 30
    return args


def main_bench(r, args, run_dir, root, tmp, want):
    """The bare display at 1920 x 1080 with the busy image."""
    screen = screens.make(tmp, "busy", WIDTH, HEIGHT)
    if want("micro"):
        log("native micro-benchmarks")
        r["micro"] = native.micro(root, screen, args.runs, tmp)
    if want("disk"):
        log("the disk's rate for new 8 MB files")
        d = os.path.join(tmp, "disk")
        os.makedirs(d)
        r["disk"] = native.disk_rate(d, args.hold, args.runs_burst)
        shutil.rmtree(d, ignore_errors=True)
    with WineBench(run_dir, args, tmp) as w:
        w.show_screen(screen)
        if want("writers"):
            log("writers under Wine")
            r["wine_writers"] = probe_runs.writers(w)
        if want("grab"):
            log("bare capture limit")
            r["grab_bmp"] = probe_runs.grab(w, "bmp")
            r["grab_jpg"] = probe_runs.grab(w, "jpg")
            r["grab_clip"] = probe_runs.grab(w, "bmp", clipboard=True)
            r["grab_clip_jpg"] = probe_runs.grab(w, "jpg", clipboard=True)
        if want("steps"):
            log("a capture's steps, and the native X read")
            r["x_read"] = native.x_read(root, w.b.env(), args.grab_runs)
            r["steps_jpg"] = probe_runs.steps(w, "jpg", args.step_runs)
            r["steps_bmp"] = probe_runs.steps(w, "bmp", args.step_runs)
        if want("burst"):
            log("auto-record bursts")
            r["burst_bmp"] = program_runs.burst(w, "bmp")
            r["burst_jpg"] = program_runs.burst(w, "jpg")
            log("auto-record burst with a clipboard reader")
            r["burst_reader"] = program_runs.burst(w, "bmp", reader=True)
            log("auto-record burst beside a clipboard history")
            r["burst_history"] = program_runs.burst(w, "jpg", history=True)
        if want("hotkey"):
            log("hot key to clipboard")
            latency = program_runs.hotkey_latency(w)
            r["hotkey"], r["hotkey_bare"] = latency["vistrel"], latency["bare"]
        if want("peers"):
            log("peers")
            r["peers"] = peers.alone(w)
        if want("startup"):
            log("start-up")
            r["startup"] = footprint.startup(w)
        if want("idle"):
            log("idle cost (%g s)" % args.idle_seconds)
            r["idle"] = footprint.idle(w)
        if want("footprint"):
            log("footprint step by step")
            r["footprint_steps"] = footprint.steps(w)


def round_benches(r, args, run_dir, tmp):
    """Both sizes under openbox, both screens: the program and the peers in rounds."""
    r["rounds"] = {}
    for width, height in ROUND_SIZES:
        with WineBench(run_dir, args, tmp, width, height, window_manager=True) as w:
            for kind in screens.KINDS:
                log("rounds at %d x %d, %s screen" % (width, height, kind))
                w.show_screen(screens.make(tmp, kind, width, height))
                r["rounds"].setdefault("%dx%d" % (width, height), {})[kind] = peers.rounds(
                    w, args.rounds, args.round_files)


def main():
    args = options()
    only = set(filter(None, args.only.split(",")))

    def want(part):
        return not only or part in only

    root = args.root = os.path.abspath(args.root)
    with open(os.path.join(root, "run_dir")) as f:
        run_dir = os.path.abspath(f.read().strip())
    os.environ["VISTREL_EXE"] = os.path.join(run_dir, "vistrel.exe")
    os.environ.setdefault("VISTREL_PROBE",
                          os.path.join(run_dir, "tests", "e2e", "vistrel_probe.exe"))
    arch = "win32" if run_dir.endswith("win32") else "win64"
    os.environ.setdefault("VISTREL_WINEPREFIX", "/tmp/wine-bench-" + arch)

    r = {"date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
         "machine": report.machine(), "arch": "i686" if arch == "win32" else "x86_64",
         "runs": args.runs, "hold": args.hold, "loop": args.loop, "round_files": args.round_files,
         "load_start": "%.1f" % os.getloadavg()[0],
         "exe_size": os.path.getsize(os.environ["VISTREL_EXE"])}
    tmp = tempfile.mkdtemp(prefix="vistrel-bench-")
    try:
        if any(want(p) for p in PARTS if p != "rounds"):
            main_bench(r, args, run_dir, root, tmp, want)
        if want("rounds"):
            round_benches(r, args, run_dir, tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    r["load_end"] = "%.1f" % os.getloadavg()[0]
    report.print_table(r)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(r, f, indent=1)
    if not args.no_docs and not only:
        docs = os.path.join(REPO, "docs")
        os.makedirs(docs, exist_ok=True)
        report.write_docs(r, docs, footprint.SETTLE_S)
        log("wrote docs/bench.md and docs/bench.png")


if __name__ == "__main__":
    main()
