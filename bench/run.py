#!/usr/bin/env python3
"""Runs every benchmark in one invocation and reports medians with min and max.

Native: BmpWriter and JpegWriter beside a raw write and libjpeg-turbo itself.
Under Wine on Xvfb at 1920 x 1080: the writers as built for Windows beside
their limits, the bare capture limit (vistrel_bench_probe.exe grab), hot key
to clipboard latency, auto-record bursts (BMP, JPEG q85), the peers, idle cost,
start-up and the size of vistrel.exe. Nothing here asserts a timing.

Called by bench/run.sh after the build; --root is that build root.
"""

import argparse
import contextlib
import datetime
import glob
import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WIDTH, HEIGHT = 1920, 1080
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


def stats(values):
    values = [v for v in values if v is not None]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "n": len(values)}


def log(text):
    print("bench: " + text, file=sys.stderr, flush=True)


# ---- native ------------------------------------------------------------------

def micro(root, screen_ppm, runs, tmp):
    exe = os.path.join(root, "native", "bench", "vistrel_micro_bench")
    out = subprocess.run([exe, "--screen=" + screen_ppm, "--out_dir=" + tmp,
                          "--benchmark_repetitions=%d" % runs,
                          "--benchmark_report_aggregates_only=true",
                          "--benchmark_format=json"], check=True, stdout=subprocess.PIPE).stdout
    report = json.loads(out)
    result = {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "aggregate":
            continue
        name, agg = b["run_name"].replace("/real_time", ""), b["aggregate_name"]
        if agg in ("median", "min", "max"):
            result.setdefault(name, {"n": runs})[agg] = b["real_time"]
    result["context"] = {k: v for k, v in report["context"].items() if k.startswith("jpeg_q")}
    return result


# ---- Wine --------------------------------------------------------------------

class WineBench:
    def __init__(self, run_dir, args, tmp):
        self.args = args
        self.tmp = tmp
        self.run_dir = run_dir
        self.bench_probe = os.path.join(run_dir, "bench", "vistrel_bench_probe.exe")
        self.idle_tray = os.path.join(run_dir, "bench", "vistrel_idle_tray.exe")
        import harness  # after VISTREL_EXE is set: it picks the Wine from the program
        self.harness = harness
        self.b = harness.Bench(width=WIDTH, height=HEIGHT)

    def __enter__(self):
        self.b.start()
        return self

    def __exit__(self, *exc):
        self.b.stop()

    def wine(self, *argv, timeout=600):
        out = subprocess.run([self.harness.WINE, *argv], env=self.b.env(), stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=timeout, cwd=self.tmp)
        return out.stdout.decode(errors="replace")

    def probe_json(self, *argv, timeout=600):
        lines = [l for l in self.wine(self.bench_probe, *argv, timeout=timeout).splitlines()
                 if l.startswith("{")]
        answer = json.loads(lines[-1])
        if "error" in answer:
            raise RuntimeError("bench probe: %s" % answer["error"])
        return answer

    def show_screen(self, ppm):
        """The screen-like image in a window over the whole display (xwud;
        there is no window manager to move it), under what Wine shows later."""
        xwd = os.path.join(self.tmp, "screen.xwd")
        subprocess.run([CONVERT, ppm, "xwd:" + xwd], check=True)
        viewer = self.b._spawn(["xwud", "-in", xwd, "-geometry", "+0+0"])
        self.b.wait_until(lambda: self.b.screenshot().pixel(WIDTH // 2, 15) != self.harness.ROOT_COLOR
                          or viewer.poll() is not None, timeout=30, what="the screen image")

    def out_dir(self, name):
        path = os.path.join(self.tmp, name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    # -- writers and limits ---------------------------------------------------

    def writers(self):
        d = self.out_dir("writers")
        answer = self.probe_json("writers", "--runs", str(self.args.runs), "--dir",
                                 self.b.windows_path(d))
        shutil.rmtree(d, ignore_errors=True)
        return {k: stats(v) for k, v in answer.items()}

    def grab(self, fmt, clipboard=False):
        d = self.out_dir("grab")
        argv = ["grab", "--runs", str(self.args.grab_runs), "--dir", self.b.windows_path(d),
                "--format", fmt, "--quality", "85"]
        if clipboard:
            argv.append("--clipboard")
        answer = self.probe_json(*argv)
        shutil.rmtree(d, ignore_errors=True)
        return {k: stats(v) for k, v in answer.items() if isinstance(v, list)}

    # -- the program ----------------------------------------------------------

    def burst(self, fmt, reader=False):
        """Files per second while the hot key is held: first 20, then sustained.
        With reader, another program reads the clipboard's image at every change
        meanwhile: how many of its reads found a whole image, and the slowest."""
        first, sustained, counts, before, after = [], [], [], [], []
        whole, slowest = [], []
        for _ in range(self.args.runs_burst):
            d = self.out_dir("burst")
            self.b.stop_program()
            self.b.write_settings(autoRec="oui", autoRecFormat=fmt,
                                  SaveFilePath=self.b.windows_path(d), Compression="85")
            self.b.start_program()
            self.b.start_fixture()
            before.append(self._proc(self.b._program.pid)[1].get("RssAnon"))
            ext = "." + fmt
            with contextlib.ExitStack() as stack:
                reads = stack.enter_context(self.b.clipboard_reader()) if reader else None
                try:
                    self.b.keydown("F12")
                    started = time.monotonic()
                    self.b.wait_until(lambda: len(glob.glob(os.path.join(d, "*" + ext))) >= 21,
                                      timeout=60, interval=0.05, what="21 auto-recorded files")
                    time.sleep(max(0.0, self.args.hold - (time.monotonic() - started)))
                finally:
                    self.b.keyup("F12")
                last = [-1]

                def settled():
                    n = len(os.listdir(d))
                    done = n == last[0]
                    last[0] = n
                    return done
                self.b.wait_until(settled, timeout=60, interval=0.5, what="the burst to end")
            if reader and reads:
                whole.append(100.0 * sum(1 for x in reads if "crc" in x) / len(reads))
                slowest.append(max(x["ms"] for x in reads))
            after.append(self._proc(self.b._program.pid)[1].get("RssAnon"))
            times = sorted(os.stat(p).st_mtime_ns / 1e9 for p in glob.glob(os.path.join(d, "*" + ext)))
            if len(times) >= 21:
                first.append(20 / (times[20] - times[0]))
                sustained.append((len(times) - 1) / (times[-1] - times[0]))
                counts.append(len(times))
            shutil.rmtree(d, ignore_errors=True)
        self.b.stop_fixture()
        self.b.stop_program()
        self.b.remove_config()
        result = {"first20": stats(first), "sustained": stats(sustained), "files": stats(counts),
                  "RssAnon_before": stats(before), "RssAnon_after": stats(after)}
        if reader:
            result.update(reader_whole_pct=stats(whole), reader_slowest_ms=stats(slowest))
        return result

    def hotkey_latency(self):
        """Key arrival at a window of the bench probe to a bitmap readable on
        the clipboard; the program is restarted (armed) before every press."""
        self.b.remove_config()
        self.b.stop_fixture()
        errors = open(os.path.join(self.tmp, "hotkey.err"), "w+")
        proc = subprocess.Popen([self.harness.WINE, self.bench_probe, "hotkey", "--runs",
                                 str(self.args.runs), "--paced"], env=self.b.env(),
                                stdout=subprocess.PIPE, stderr=errors, stdin=subprocess.PIPE, cwd=self.tmp,
                                start_new_session=True)
        self.b._processes.append(proc)
        latencies, announced = [], []
        try:
            def event():
                line = proc.stdout.readline().decode(errors="replace")
                if not line:
                    errors.seek(0)
                    raise RuntimeError("the bench probe ended: " + errors.read()[-2000:])
                log("probe: " + line.strip())
                return json.loads(line)
            ready = event()
            for _ in range(self.args.runs):
                self.b.start_program()
                proc.stdin.write(b"go\n")
                proc.stdin.flush()
                waiting = event()
                assert waiting.get("event") == "waiting", waiting
                self.b._run(["xdotool", "windowfocus", "--sync", str(ready["x11_window"])])
                time.sleep(0.3)  # the focus change reaches Wine
                self.b.key("F12")
                answer = event()
                if answer.get("ms", -1) >= 0:
                    latencies.append(answer["ms"])
                    announced.append(answer["announced_ms"])
                self.b.stop_program()
        finally:
            self.b._end(proc)
            proc.stdout.close()
            proc.stdin.close()
            errors.close()
        return dict(stats(latencies), announced=stats(announced))

    def _start_tray(self, exe):
        """Starts a tray program; the time until its icon shows."""
        started = time.monotonic()
        proc = self.b._spawn([self.harness.WINE, exe], cwd=os.path.dirname(exe))
        self.b.wait_until(self.b.tray_icon, timeout=60, interval=0.02, what="a tray icon")
        return proc, time.monotonic() - started

    def startup(self):
        ours, bare = [], []
        self.b.remove_config()
        for _ in range(self.args.runs):
            for exe, into in ((self.b.exe, ours), (self.idle_tray, bare)):
                proc, seconds = self._start_tray(exe)
                into.append(seconds * 1000)
                self.b._end(proc)
                self.b.wait_until(lambda: self.b.tray_icon() is None, timeout=20,
                                  what="the tray icon to go")
        return {"vistrel": stats(ours), "idle_tray": stats(bare)}

    @staticmethod
    def _proc(pid):
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        ticks = os.sysconf("SC_CLK_TCK")
        cpu = (int(fields[11]) + int(fields[12])) / ticks
        mem = {}
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "RssAnon"):
                    mem[key] = int(value.split()[0])
        return cpu, mem

    def _wineserver_pid(self):
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            with contextlib.suppress(OSError):
                with open("/proc/%s/comm" % pid) as f:
                    if not f.read().startswith("wineserver"):
                        continue
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if ("WINEPREFIX=" + self.b.prefix).encode() in f.read().split(b"\0"):
                        return int(pid)
        return None

    def idle(self):
        """CPU seconds per 60 s and memory of the armed program and of the
        minimal tray poller, side by side, over a few windows."""
        self.b.remove_config()
        ours, _ = self._start_tray(self.b.exe)
        bare, _ = self._start_tray(self.idle_tray)
        server = self._wineserver_pid()
        time.sleep(3)  # past start-up
        windows = 3
        span = self.args.idle_seconds / windows
        cpu = {"vistrel": [], "idle_tray": [], "wineserver": []}
        mem = {"vistrel": [], "idle_tray": []}
        pids = {"vistrel": ours.pid, "idle_tray": bare.pid}
        if server:
            pids["wineserver"] = server
        for _ in range(windows):
            before = {k: self._proc(p)[0] for k, p in pids.items()}
            time.sleep(span)
            for k, p in pids.items():
                used, m = self._proc(p)
                cpu[k].append((used - before[k]) * 60 / span)
                if k in mem:
                    mem[k].append(m)
        self.b._end(bare)
        self.b._end(ours)
        result = {"cpu_per_60s_" + k: stats(v) for k, v in cpu.items() if v}
        for k, samples in mem.items():
            for field in ("VmRSS", "RssAnon"):
                result[field + "_" + k] = stats([s.get(field) for s in samples])
        result["idle_seconds"] = self.args.idle_seconds
        return result

    # -- peers ----------------------------------------------------------------

    def peers(self):
        d = self.out_dir("peers")
        tools = {
            "scrot JPEG q85": ["scrot", "-o", "-q", "85", os.path.join(d, "s.jpg")],
            "maim PNG": ["maim", os.path.join(d, "m.png")],
            "import BMP": ["/usr/bin/import", "-window", "root", os.path.join(d, "i.bmp")],
            "xwd raw": ["xwd", "-root", "-silent", "-out", os.path.join(d, "x.xwd")],
        }
        result = {}
        env = self.b.env()
        for name, argv in tools.items():
            single = []
            for _ in range(self.args.runs):
                t0 = time.perf_counter()
                subprocess.run(argv, env=env, check=True, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
                single.append((time.perf_counter() - t0) * 1000)
                for p in os.listdir(d):
                    os.unlink(os.path.join(d, p))
                time.sleep(0.1)
            loops = []
            for _ in range(3):
                n = self.args.loop
                t0 = time.perf_counter()
                for _ in range(n):
                    subprocess.run(argv, env=env, check=True, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
                loops.append(n / (time.perf_counter() - t0))
                for p in os.listdir(d):
                    os.unlink(os.path.join(d, p))
            result[name] = {"single_ms": stats(single), "loop_per_s": stats(loops)}
        shutil.rmtree(d, ignore_errors=True)
        return result


# ---- report ------------------------------------------------------------------

def fmt(s, unit="", digits=1):
    if not s:
        return "n/a"
    f = "%%.%df" % digits
    return (f + "%s (%s–%s)") % (s["median"], unit, f % s["min"], f % s["max"])


def ratio(a, b):
    if not a or not b or not b["median"]:
        return ""
    return "%.2f×" % (a["median"] / b["median"])


def rows(r):
    """(group, figure, Vistrel, reference, reference figure, ratio)."""
    out = []
    m = r.get("micro", {})
    bmp_w, bmp_raw = m.get("bmp/BmpWriter"), m.get("bmp/raw_write")
    out.append(("native", "BMP encode and write, ms", fmt(bmp_w, digits=2), "raw write of the same bytes",
                fmt(bmp_raw, digits=2), ratio(bmp_w, bmp_raw)))
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
                    "libjpeg-turbo + WriteFile, same pixels", fmt(lim, digits=2), ratio(ours, lim)))
    def per_second(ms):
        if not ms:
            return None
        rate = {k: 1000 / ms[k] for k in ("median", "min", "max")}
        rate["min"], rate["max"] = rate["max"], rate["min"]
        return rate

    scrot = r.get("peers", {}).get("scrot JPEG q85", {}).get("loop_per_s")
    for f, label in (("bmp", "BMP"), ("jpg", "JPEG q85")):
        b = r.get("burst_" + f, {})
        limit = per_second(r.get("grab_" + f, {}).get("total"))
        with_clip = per_second(r.get("grab_clip" + ("" if f == "bmp" else "_jpg"), {}).get("total"))
        for part, what in (("first20", "first 20 files"),
                           ("sustained", "sustained (%s files)" %
                            fmt(b.get("files"), digits=0).split(" ")[0])):
            ours = b.get(part)
            out.append(("Wine", "auto-record %s, %s, files/s" % (label, what), fmt(ours),
                        "bare probe: BitBlt + GetDIBits + write", fmt(limit),
                        ratio(ours, limit) and "ours/limit %s (goal ≥ 0.90)" % ratio(ours, limit)))
            out.append(("Wine", "  the same against scrot", "", "scrot JPEG q85, in a loop", fmt(scrot),
                        ratio(ours, scrot) and "ours/scrot %s (goal ≥ 1.50)" % ratio(ours, scrot)))
        out.append(("Wine", "  bare probe with a clipboard copy per capture, files/s", "",
                    "bare probe: as above + clipboard copy", fmt(with_clip),
                    ratio(b.get("first20"), with_clip) and
                    "ours/limit " + ratio(b.get("first20"), with_clip)))
    rd = r.get("burst_reader", {})
    out.append(("Wine", "auto-record BMP with a clipboard reader, first 20 files, files/s",
                fmt(rd.get("first20")), "", "", ""))
    out.append(("Wine", "  reads finding a whole image, %", fmt(rd.get("reader_whole_pct"), digits=0),
                "goal", "≥ 80", ""))
    out.append(("Wine", "  slowest read, ms", fmt(rd.get("reader_slowest_ms"), digits=0), "goal",
                "≤ 1000", ""))
    clip = r.get("grab_clip", {})
    bare_key = ({k: clip["bitblt"][k] + clip["clipboard"][k] for k in ("median", "min", "max")}
                if clip.get("bitblt") and clip.get("clipboard") else None)
    out.append(("Wine", "hot key to clipboard, ms", fmt(r.get("hotkey")),
                "bare probe: BitBlt + clipboard copy", fmt(bare_key),
                ratio(r.get("hotkey"), bare_key) and
                "ours/bare %s (goal ≤ 1.20)" % ratio(r.get("hotkey"), bare_key)))
    # The poll every 100 ms waits 50 ms on average before the capture starts.
    poll = {k: v - 50 for k, v in r.get("hotkey", {}).items() if k in ("median", "min", "max")}
    out.append(("Wine", "  less the mean wait for the next poll (50 ms), ms", fmt(poll or None), "", "",
                ratio(poll or None, bare_key) and "ours/bare " + ratio(poll, bare_key)))
    out.append(("Wine", "  hot key to the capture announced on the clipboard, ms",
                fmt(r.get("hotkey", {}).get("announced")), "bare probe: BitBlt",
                fmt(clip.get("bitblt")), ""))
    for name, p in r.get("peers", {}).items():
        out.append(("peers", "%s, one capture per process, ms" % name, "", "", fmt(p["single_ms"]), ""))
        out.append(("peers", "%s, in a loop, files/s" % name, "", "", fmt(p["loop_per_s"]), ""))
    i = r.get("idle", {})
    out.append(("idle", "armed, CPU s per 60 s", fmt(i.get("cpu_per_60s_vistrel"), digits=3),
                "minimal tray poller", fmt(i.get("cpu_per_60s_idle_tray"), digits=3), ""))
    out.append(("idle", "wineserver CPU s per 60 s (both)", "", "", fmt(i.get("cpu_per_60s_wineserver"), digits=3), ""))
    for field, label in (("RssAnon", "private memory (RssAnon), kB"), ("VmRSS", "resident memory (VmRSS), kB")):
        out.append(("idle", label, fmt(i.get(field + "_vistrel"), digits=0), "minimal tray poller",
                    fmt(i.get(field + "_idle_tray"), digits=0),
                    ratio(i.get(field + "_vistrel"), i.get(field + "_idle_tray"))))
    bb = r.get("burst_bmp", {})
    two = 2 * WIDTH * HEIGHT * 4 / 1024
    armed_two = ({k: bb["RssAnon_before"][k] + two for k in ("median", "min", "max")}
                 if bb.get("RssAnon_before") else None)
    out.append(("idle", "private memory armed after a BMP burst, kB",
                fmt(bb.get("RssAnon_after"), digits=0), "armed + two captures' bytes",
                fmt(armed_two, digits=0), ratio(bb.get("RssAnon_after"), armed_two)))
    s = r.get("startup", {})
    out.append(("start", "start-up to tray icon, ms", fmt(s.get("vistrel"), digits=0), "minimal tray poller",
                fmt(s.get("idle_tray"), digits=0), ratio(s.get("vistrel"), s.get("idle_tray"))))
    out.append(("size", "vistrel.exe, bytes", "%d" % r.get("exe_size", 0), "goal", "< 1048576", ""))
    return out


def machine():
    def read(path):
        with contextlib.suppress(OSError):
            with open(path) as f:
                return f.read()
        return ""
    model = next((l.split(":", 1)[1].strip() for l in read("/proc/cpuinfo").splitlines()
                  if l.startswith("model name")), platform.processor())
    mem = next((l.split()[1] for l in read("/proc/meminfo").splitlines() if l.startswith("MemTotal")), "0")
    wine = subprocess.run(["wine", "--version"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          check=False).stdout.decode().strip()
    osname = next((l.split("=", 1)[1].strip('"') for l in read("/etc/os-release").splitlines()
                   if l.startswith("PRETTY_NAME=")), platform.system())
    return {"cpu": model, "cores": os.cpu_count(), "memory_gb": round(int(mem) / 1048576, 1),
            "os": osname, "kernel": platform.release(), "wine": wine}


def table(r):
    header = ("", "figure", "Vistrel", "reference", "reference figure", "ratio")
    return [header] + rows(r)


def markdown(r):
    lines = ["| " + " | ".join(t[1:]) + " |" for t in table(r)[:1]]
    lines.append("|" + "---|" * 5)
    lines += ["| " + " | ".join(x or "" for x in t[1:]) + " |" for t in table(r)[1:]]
    return "\n".join(lines)


def write_docs(r, docs):
    m = r["machine"]
    text = """# Benchmark

Taken by `bench/run.sh` in one invocation on %(date)s. Every figure is the median of
several runs with the minimum and maximum in brackets; ratios are of medians.

Machine: %(cpu)s, %(cores)d cores, %(mem)s GB, %(os)s (Linux %(kernel)s), %(wine)s,
the %(arch)s build under Wine on Xvfb at %(w)d x %(h)d x 24.
%(load)s

%(table)s

![chart](bench.png)

How the figures are taken:

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
  limit adds what every full-screen capture also does before auto-record: a copy of the bitmap
  handed to the clipboard as CF_BITMAP (Wine then copies its 8 MB to the Wine server).
- auto-record: the real program, hot key held (xdotool) over the same image shown full screen
  (xwud); files per second
  from the files' modification times, the first 20 files and the whole hold (%(hold)g s)
  separately (the disk slows after some 160 MB); files deleted after every run. Set against
  the bare limit without the clipboard step (goal: at least 0.9 of it) and scrot's loop (goal:
  at least 1.5 times it).
- auto-record with a clipboard reader: the same, while `vistrel_probe.exe clipboard-reader`
  reads the clipboard's image (CF_DIB) at every change: the share of its reads that found a
  whole image, and its slowest read.
- hot key to clipboard: key arrival at a window of the bench probe to a CF_BITMAP readable
  there, with the armed program polling every 100 ms (so 0 to 100 ms of it, 50 on average, is
  the wait for the next tick), and to the bitmap first announced on the clipboard. The bare
  figure it is set against has no poll to wait for and no reader's own copy of the bits.
- peers: each tool captures the same screen to a file, one process per capture: one at a time
  with a pause between, and 10 back to back in a loop.
- memory: RssAnon (private) and VmRSS of the Linux process, armed before any capture; after a
  burst the armed program also holds the last capture (the preview's picture) and the
  clipboard's bitmap of it, set against the armed figure of the same process plus two
  captures' bytes.
- idle: CPU time of the Linux processes over %(idle)g s (scaled to 60 s), beside
  `vistrel_idle_tray.exe` (a hidden window, a tray icon, a 100 ms timer querying one key).
- start-up: process start to tray icon shown, same method for both programs.
""" % {"date": r["date"], "cpu": m["cpu"], "cores": m["cores"], "mem": m["memory_gb"],
       "os": m["os"], "kernel": m["kernel"], "wine": m["wine"], "arch": r["arch"],
       "w": WIDTH, "h": HEIGHT, "table": markdown(r), "runs": r["runs"], "hold": r["hold"],
       "idle": r.get("idle", {}).get("idle_seconds", 0),
       "load": load_note(r)}
    with open(os.path.join(docs, "bench.md"), "w", encoding="utf-8") as f:
        f.write(text)
    chart(r, os.path.join(docs, "bench.png"))


def load_note(r):
    loads = "load average %s at the start, %s at the end" % (r["load_start"], r["load_end"])
    if max(float(r["load_start"]), float(r["load_end"])) < 1.0:
        return "The machine was otherwise idle while this ran (%s)." % loads
    return ("The machine was shared with other work while this ran (%s): absolute figures are "
            "pessimistic, ratios taken in the same run compare like with like." % loads)


def chart(r, path):
    """Captures per second at 1920 x 1080, one bar each (ImageMagick)."""
    bars = []
    for f, label in (("bmp", "BMP"), ("jpg", "JPEG q85")):
        b = r.get("burst_" + f, {}).get("first20")
        if b:
            bars.append(("Vistrel auto-record %s" % label, b["median"], "#1f6fb5"))
        g = r.get("grab_" + f, {}).get("total")
        if g:
            bars.append(("bare probe limit %s" % label, 1000 / g["median"], "#9bbad8"))
        gc = r.get("grab_clip" + ("" if f == "bmp" else "_jpg"), {}).get("total")
        if gc:
            bars.append(("  the same + clipboard step", 1000 / gc["median"], "#c8d8ea"))
    for name, p in r.get("peers", {}).items():
        if p.get("loop_per_s"):
            bars.append((name + " (loop)", p["loop_per_s"]["median"], "#b0b0b0"))
    if not bars:
        return
    top = max(v for _, v, _ in bars)
    width, row, left, right = 900, 34, 250, 90
    height = 60 + row * len(bars)
    mvg = ["viewbox 0 0 %d %d" % (width, height), "font-size 14", "fill '#222222'",
           "text 10,25 'Captures per second at 1920 x 1080 under Wine on Xvfb (median; higher is better)'"]
    for i, (name, value, colour) in enumerate(bars):
        y = 45 + i * row
        length = (width - left - right) * value / top
        mvg += ["fill '#222222'", "text 10,%d '%s'" % (y + 18, name.replace("'", "")),
                "fill '%s'" % colour, "rectangle %d,%d %d,%d" % (left, y + 4, left + max(length, 1), y + 26),
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


def print_table(r):
    t = table(r)
    widths = [max(len(x[i] or "") for x in t) for i in range(len(t[0]))]
    for x in t:
        print("  ".join((x[i] or "").ljust(widths[i]) for i in range(len(x))).rstrip())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--quick", action="store_true", help="fewer runs, 6 s of idle")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--hold", type=float, default=3.0, help="seconds the hot key is held")
    parser.add_argument("--no-docs", action="store_true", help="print only, leave docs/ alone")
    parser.add_argument("--only", default="", help="comma-separated parts (micro,writers,grab,"
                        "burst,hotkey,peers,idle,startup)")
    parser.add_argument("--json", help="also write the raw results there")
    args = parser.parse_args()
    if args.quick:
        args.runs = min(args.runs, 3)
        args.idle_seconds = min(args.idle_seconds, 6)
        args.hold = min(args.hold, 1.0)
    args.runs_burst = 3
    args.grab_runs = 20
    args.loop = 10
    only = set(filter(None, args.only.split(",")))

    def want(part):
        return not only or part in only

    root = os.path.abspath(args.root)
    with open(os.path.join(root, "run_dir")) as f:
        run_dir = f.read().strip()
    os.environ["VISTREL_EXE"] = os.path.join(run_dir, "vistrel.exe")
    os.environ.setdefault("VISTREL_PROBE", os.path.join(run_dir, "tests", "e2e", "vistrel_probe.exe"))
    arch = "win32" if run_dir.endswith("win32") else "win64"
    os.environ.setdefault("VISTREL_WINEPREFIX", "/tmp/wine-bench-" + arch)
    sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))

    r = {"date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
         "machine": machine(), "arch": "i686" if arch == "win32" else "x86_64",
         "runs": args.runs, "hold": args.hold, "load_start": "%.1f" % os.getloadavg()[0],
         "exe_size": os.path.getsize(os.environ["VISTREL_EXE"])}
    tmp = tempfile.mkdtemp(prefix="vistrel-bench-")
    try:
        screen_ppm, screen_png = os.path.join(tmp, "screen.ppm"), os.path.join(tmp, "screen.png")
        subprocess.run([sys.executable, os.path.join(REPO, "bench", "make_screen.py"), screen_ppm,
                        screen_png, "--size", "%dx%d" % (WIDTH, HEIGHT)], check=True)
        if want("micro"):
            log("native micro-benchmarks")
            r["micro"] = micro(root, screen_ppm, args.runs, tmp)
        with WineBench(run_dir, args, tmp) as w:
            w.show_screen(screen_ppm)
            if want("writers"):
                log("writers under Wine")
                r["wine_writers"] = w.writers()
            if want("grab"):
                log("bare capture limit")
                r["grab_bmp"] = w.grab("bmp")
                r["grab_jpg"] = w.grab("jpg")
                r["grab_clip"] = w.grab("bmp", clipboard=True)
                r["grab_clip_jpg"] = w.grab("jpg", clipboard=True)
            if want("burst"):
                log("auto-record bursts")
                r["burst_bmp"] = w.burst("bmp")
                r["burst_jpg"] = w.burst("jpg")
                log("auto-record burst with a clipboard reader")
                r["burst_reader"] = w.burst("bmp", reader=True)
            if want("hotkey"):
                log("hot key to clipboard")
                r["hotkey"] = w.hotkey_latency()
            if want("peers"):
                log("peers")
                r["peers"] = w.peers()
            if want("startup"):
                log("start-up")
                r["startup"] = w.startup()
            if want("idle"):
                log("idle cost (%g s)" % args.idle_seconds)
                r["idle"] = w.idle()
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    r["load_end"] = "%.1f" % os.getloadavg()[0]
    print_table(r)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(r, f, indent=1)
    if not args.no_docs and not only:
        docs = os.path.join(REPO, "docs")
        os.makedirs(docs, exist_ok=True)
        write_docs(r, docs)
        log("wrote docs/bench.md and docs/bench.png")


if __name__ == "__main__":
    main()
