"""The report: the table printed, and docs/bench.md (the table, the machine,
how each figure is taken) with docs/bench.png."""

import contextlib
import os
import platform
import subprocess

from chart import chart
from goals import goal_lines
from table import table

METHODS = """\
- native: Google Benchmark, %(runs)d repetitions, on a 1920 x 1080 screen-like image drawn by
  `bench/make_screen.py` (wallpaper, document, code editor, spreadsheet, taskbar). Each
  iteration creates its file anew; it is deleted untimed.
- Wine, writers: `vistrel_bench_probe.exe writers` links the program's own `BmpWriter` and
  `JpegWriter` and times them, on a captured screen in the program's own picture, beside the
  same bytes written from memory (BMP: header and pixels, two WriteFile calls) and
  libjpeg-turbo on the same pixels plus one WriteFile (JPEG), round after round.
- Wine, bare limit: `vistrel_bench_probe.exe grab` creates a bitmap, BitBlts the screen into
  it, reads it with GetDIBits and writes it in one WriteFile (BMP) or through libjpeg-turbo
  (JPEG q85): the same grab, conversion and write as auto-record, nothing else. The second
  limit adds a copy of the bitmap handed to the clipboard as CF_BITMAP (Wine then copies its
  8 MB to the Wine server), as every capture did before delayed rendering.
- auto-record: the real program, hot key held (xdotool) over the same image as the root
  window's background, on the bare display; files per second from the files' modification
  times, the first 20 files and the whole hold (%(hold)g s) separately; files deleted after
  every run. Set against the bare limit without the clipboard step (goal: at least 0.9 of it)
  and scrot's loop (goal: at least 1.5 times it). Beside the BMP rows, the disk's own rate:
  new files of the same 8 MB written natively one after the other (one write each, kept until
  the run ends) into the same file system for as long, the first 20 and the whole run.
- the capture's steps: `vistrel_bench_probe.exe steps` links the program's capture engine
  (`Capturer`: the modifiers' queries, the grab into a reused picture, the clipboard announce,
  the auto-recorder with its writing thread), its settings read after every capture
  (`ReadAutoRecordPlan` through `StampedReads`: the file read again only once its write time or
  size has changed) and writers, and runs a burst as the program's poll does, each step timed;
  the share is of the time from one capture to the next. The settings file is dated a minute
  back, as a user's is older than the press (one written in the last two seconds is read again
  at every capture). Then each step alone, round after round, with the pieces of the settings
  read (and the same read from the file every time, as before), the name and the writer. The native read of the same screen from the X
  server (`vistrel_x_read`: XGetImage, as Wine 8 reads it, and XShmGetImage through shared
  memory) shows what Wine adds to the read.
- auto-record with a clipboard reader: the same, while `vistrel_probe.exe clipboard-reader`
  reads the clipboard's image (CF_DIB) at every change: the share of its reads that found a
  whole image, and its slowest read.
- auto-record beside a clipboard history: a JPEG burst while `vistrel_probe.exe
  clipboard-history`, a clipboard-format listener standing in for the system's history, takes
  the image at every change not marked for exclusion; its rate against the JPEG burst without
  it, and how many captures the listener took per burst (the first of the press and the last
  of the burst go unmarked; the captures between carry the exclusion formats).
- hot key to clipboard: key arrival at a window of the bench probe to a CF_BITMAP readable
  there, with the armed program polling every 100 ms (so 0 to 100 ms of it, 50 on average, is
  the wait for the next tick), to the bitmap first announced on the clipboard, and to the
  preview window shown (visible). Set against the bench probe's bare key program timed by the
  same stopwatch, the two pressed in turns and each started afresh before its press: a 100 ms
  poll of the key, then one BitBlt, a window shown and a copy of the bitmap on the clipboard,
  so both carry the same poll, the same key's way into Wine and the reader's own copy of the
  bits. The press comes at a moment drawn at random within one poll interval. The bare calls alone (BitBlt, clipboard copy) are given as
  what the screen and the clipboard cost on this machine.
- peers: each tool captures the same screen to a new file, one process per capture: one at a
  time with a pause between, and %(loop)d back to back in a loop; scrot and xwd also with a
  window of flat colour on the screen. xwd reads the root window in one XGetImage only while
  no window is mapped; with one, it reads each window apart and puts the image together pixel
  by pixel in the client, so its figure depends on what the screen shows. scrot reads through
  shared memory (MIT-SHM), the program through Wine's BitBlt, an XGetImage over the socket.
- rounds: on a display of each size with openbox running, the busy image and then a plain
  desktop (flat wallpaper, two windows of flat panels, a taskbar; `make_screen.py --plain`) as
  the root window's background, and a window of flat colour holding the keyboard focus. In
  every round the program's JPEG q85 and BMP bursts (hot key held until %(files)d files after
  the first) and loops of %(files)d captures of scrot (JPEG q85) and xwd (raw), the order turned
  round every other round; every file under a new name in one folder, emptied after each run.
  The ratio is taken within each round; its median and spread (min–max) across the rounds.
- memory: RssAnon (private) and VmRSS of the Linux process, armed before any capture; by
  mapping: the private pages of each file the Wine process maps (`/proc/<pid>/smaps`), above
  the poller's. After a burst the armed program also holds the last capture (the preview's
  picture) and the clipboard's bitmap of it, set against the armed figure of the same process
  plus two captures' bytes.
- idle: CPU time of the Linux processes over %(idle)g s (scaled to 60 s), beside
  `vistrel_idle_tray.exe` (a hidden window, a tray icon, a 100 ms timer querying one key).
- start-up: process start to tray icon shown, same method for both programs.
- footprint step by step: `vistrel_footprint_*.exe` is the same poller built with the
  program's code, then importing the DLL the program imports (comctl32), then with the program's
  resources (its common-controls 6 manifest); flags add, one at a time, what the program does
  before its first capture, with the program's own code. Each is started in turn, round after
  round: private memory %(settle)g s after its tray icon shows, and the start-up.
"""


def machine():
    def read(path):
        with contextlib.suppress(OSError):
            with open(path) as f:
                return f.read()
        return ""
    model = next((l.split(":", 1)[1].strip() for l in read("/proc/cpuinfo").splitlines()
                  if l.startswith("model name")), platform.processor())
    mem = next((l.split()[1] for l in read("/proc/meminfo").splitlines()
                if l.startswith("MemTotal")), "0")
    wine = subprocess.run(["wine", "--version"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          check=False).stdout.decode().strip()
    osname = next((l.split("=", 1)[1].strip('"') for l in read("/etc/os-release").splitlines()
                   if l.startswith("PRETTY_NAME=")), platform.system())
    return {"cpu": model, "cores": os.cpu_count(), "memory_gb": round(int(mem) / 1048576, 1),
            "os": osname, "kernel": platform.release(), "wine": wine}


def load_note(r):
    loads = "load average %s at the start, %s at the end" % (r["load_start"], r["load_end"])
    if max(float(r["load_start"]), float(r["load_end"])) < 1.0:
        return "The machine was otherwise idle while this ran (%s)." % loads
    return ("The machine was shared with other work while this ran (%s): absolute figures are "
            "pessimistic, ratios taken in the same run compare like with like." % loads)


def markdown(r):
    t = table(r)
    lines = ["| " + " | ".join(t[0][1:]) + " |", "|" + "---|" * 5]
    lines += ["| " + " | ".join(x or "" for x in row[1:]) + " |" for row in t[1:]]
    return "\n".join(lines)


def print_table(r):
    t = table(r)
    widths = [max(len(x[i] or "") for x in t) for i in range(len(t[0]))]
    for x in t:
        print("  ".join((x[i] or "").ljust(widths[i]) for i in range(len(x))).rstrip())


def write_docs(r, docs, settle):
    m = r["machine"]
    head = """# Benchmark

Taken by `bench/run.sh` in one invocation on %(date)s. Every figure is the median of
several runs with the minimum and maximum in brackets; ratios are of medians, but for the
rounds, whose ratios are taken round by round.

Machine: %(cpu)s, %(cores)d cores, %(mem)s GB, %(os)s (Linux %(kernel)s), %(wine)s,
the %(arch)s build under Wine on Xvfb at 1920 x 1080 x 24 (the rounds: also 1280 x 800).
%(load)s

""" % {"date": r["date"], "cpu": m["cpu"], "cores": m["cores"], "mem": m["memory_gb"],
       "os": m["os"], "kernel": m["kernel"], "wine": m["wine"], "arch": r["arch"],
       "load": load_note(r)}
    methods = METHODS % {"runs": r["runs"], "hold": r["hold"], "loop": r.get("loop", 10),
                         "files": r.get("round_files", 0), "settle": settle,
                         "idle": r.get("idle", {}).get("idle_seconds", 0)}
    goals = "\n".join(goal_lines(r))
    text = (head + markdown(r) + "\n\n![chart](bench.png)\n\n"
            "The goals, with what this run measured in the way of those not met:\n\n" + goals +
            "\n\nHow the figures are taken:\n\n" + methods)
    with open(os.path.join(docs, "bench.md"), "w", encoding="utf-8") as f:
        f.write(text)
    chart(r, os.path.join(docs, "bench.png"))
