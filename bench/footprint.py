"""The program's footprint in the tray beside the minimal tray poller: start-up
to the tray icon, CPU and memory while armed, and what the private memory
above the poller's is made of: the DLLs loaded (the private pages of each
mapping of the Wine process) and, step by step, what the program does before
its first capture, added one at a time to the poller (vistrel_footprint_*)."""

import collections
import contextlib
import json
import os
import select
import subprocess
import time

from figures import stats

# Past start-up: what a process still does once its icon shows.
SETTLE_S = 2.0

# (label, build, flags, the row it adds to): what the program does before
# its first capture, one step at a time, then its start as it could be.
ALL = ("--icc", "--folder", "--app", "--clipboard", "--overlay", "--prefs", "--about")
STEPS = [
    ("minimal tray poller", "idle_tray", (), None),
    ("+ the program's code linked in (no call into it)", "bare", (), 0),
    ("+ comctl32 imported, as the program does", "dlls", (), 1),
    ("+ the program's resources: icons, the common-controls 6 manifest", "v6", (), 2),
    ("+ InitCommonControlsEx", "v6", ALL[:1], 3),
    ("+ the documents folder looked up as the program does (SHGetFolderPathW)", "v6", ALL[:2],
     4),
    ("+ the application and clipboard windows", "v6", ALL[:4], 5),
    ("+ the selection overlay", "v6", ALL[:5], 6),
    ("+ the preferences window, hidden", "v6", ALL[:6], 7),
    ("+ the about window, hidden", "v6", ALL, 8),
    ("the program, armed", "vistrel", (), 9),
    ("as it could start: the same resources, comctl32 loaded when first used, "
     "no window with controls made before it shows", "v6_on_use", ("--app", "--clipboard",
                                                                    "--overlay"), 0),
    ("  with the preferences window made at start all the same", "v6_on_use",
     ("--app", "--clipboard", "--overlay", "--icc", "--prefs"), 11),
]


def exe_of(w, build):
    if build == "vistrel":
        return w.b.exe
    if build == "idle_tray":
        return w.idle_tray
    return os.path.join(w.run_dir, "bench", "vistrel_footprint_%s.exe" % build)


def start_tray(w, exe, flags=(), cpu=None):
    """Starts a tray program; the time until its icon shows: until Wine's tray
    window was last mapped before the icon is seen (vistrel_x_map_wait, at
    the event), else (another icon there already) until a look at the window
    tree finds it. With cpu, a list, the CPU milliseconds the process had used
    when that map was reported are added to it."""
    waiter = os.path.join(w.args.root, "native", "bench", "vistrel_x_map_wait")
    watch = None
    # The tray window is mapped anew only when it holds no icon yet; it must
    # stay unmapped a while, or a late map for a program just ended would be
    # taken for this one's.
    if os.path.exists(waiter) and w.b.holds_still(lambda: w.b.tray_window() is None, 0.5):
        watch = w.b._spawn([waiter, "Wine System Tray"], stdout=subprocess.PIPE)
        # One byte at a time up to the first line, so nothing after it is buffered here.
        first = b""
        while not first.endswith(b"\n"):
            byte = os.read(watch.stdout.fileno(), 1)
            if not byte:
                raise RuntimeError("vistrel_x_map_wait did not start")
            first += byte
    started = time.monotonic()
    proc = w.b._spawn([w.harness.WINE, exe, *flags], cwd=os.path.dirname(exe))
    mapped, used, pending = None, None, b""
    deadline = started + 60
    while watch and time.monotonic() < deadline:
        # Read from the pipe itself: select() knows nothing of a line in a buffer.
        ready, _, _ = select.select([watch.stdout], [], [], 0.05)
        if ready:
            pending += os.read(watch.stdout.fileno(), 4096)
            *lines, pending = pending.split(b"\n")
            for event in (json.loads(line) for line in lines if line.strip()):
                if "mapped_ms" in event:
                    mapped, used = event["mapped_ms"], cpu_ms(proc.pid)
                elif "unmapped_ms" in event:
                    mapped = None
        elif mapped and w.b.tray_icon():
            break
    if watch:
        w.b._end(watch)
    w.b.wait_until(w.b.tray_icon, timeout=60, interval=0.02, what="a tray icon")
    if cpu is not None:
        cpu.append(used if mapped else cpu_ms(proc.pid))
    seconds = mapped / 1000 - started if mapped else time.monotonic() - started
    return proc, seconds


def cpu_ms(pid):
    """CPU time of the process's threads so far, in ms (the scheduler's ns)."""
    total = 0
    with contextlib.suppress(OSError):
        for task in os.listdir("/proc/%d/task" % pid):
            path = "/proc/%d/task/%s/schedstat" % (pid, task)
            with contextlib.suppress(OSError), open(path) as f:
                total += int(f.read().split()[0])
    return total / 1e6


def end_tray(w, proc):
    w.b._end(proc)
    w.b.wait_until(lambda: w.b.tray_icon() is None, timeout=20, what="the tray icon to go")


def private_by_mapping(pid):
    """kB of private (anonymous) pages per mapped file of the process; pages
    of no file under "[anon]" (Wine's heaps among them)."""
    out = collections.Counter()
    current = None
    with open("/proc/%d/smaps" % pid) as f:
        for line in f:
            parts = line.split()
            if not parts[0].endswith(":") and "-" in parts[0]:
                current = os.path.basename(parts[5]) if len(parts) > 5 else "[anon]"
            elif parts[0] == "Anonymous:":
                out[current] += int(parts[1])
    return out


def startup(w):
    ours, bare, ours_cpu, bare_cpu = [], [], [], []
    w.b.remove_config()
    for _ in range(w.args.runs):
        for exe, into, cpu in ((w.b.exe, ours, ours_cpu), (w.idle_tray, bare, bare_cpu)):
            proc, seconds = start_tray(w, exe, cpu=cpu)
            into.append(seconds * 1000)
            end_tray(w, proc)
    return {"vistrel": stats(ours), "idle_tray": stats(bare), "vistrel_cpu": stats(ours_cpu),
            "idle_tray_cpu": stats(bare_cpu)}


def idle(w):
    """CPU seconds per 60 s and memory of the armed program and of the
    minimal tray poller, side by side, over a few windows."""
    w.b.remove_config()
    ours, _ = start_tray(w, w.b.exe)
    bare, _ = start_tray(w, w.idle_tray)
    server = w.wineserver_pid()
    time.sleep(3)  # past start-up
    windows = 3
    span = w.args.idle_seconds / windows
    cpu = {"vistrel": [], "idle_tray": [], "wineserver": []}
    mem = {"vistrel": [], "idle_tray": []}
    pids = {"vistrel": ours.pid, "idle_tray": bare.pid}
    if server:
        pids["wineserver"] = server
    for _ in range(windows):
        before = {k: w.proc(p)[0] for k, p in pids.items()}
        time.sleep(span)
        for k, p in pids.items():
            used, m = w.proc(p)
            cpu[k].append((used - before[k]) * 60 / span)
            if k in mem:
                mem[k].append(m)
    mappings = {k: private_by_mapping(p) for k, p in pids.items() if k in mem}
    w.b._end(bare)
    w.b._end(ours)
    result = {"cpu_per_60s_" + k: stats(v) for k, v in cpu.items() if v}
    for k, samples in mem.items():
        for field in ("VmRSS", "RssAnon"):
            result[field + "_" + k] = stats([s.get(field) for s in samples])
    result["idle_seconds"] = w.args.idle_seconds
    result["mappings"] = loaded_beyond(mappings["vistrel"], mappings["idle_tray"])
    return result


def loaded_beyond(ours, poller):
    """Private kB per mapping where the program has more than the poller,
    largest first; the DLLs only the program has loaded are marked."""
    rows = []
    for name in set(ours) | set(poller):
        extra = ours.get(name, 0) - poller.get(name, 0)
        if extra > 0:
            rows.append({"mapping": name, "kB": extra, "only_ours": name not in poller})
    return sorted(rows, key=lambda r: -r["kB"])


def steps(w):
    """Every step of STEPS started in turn, round after round: private memory
    once settled, start-up to the tray icon, and the DLLs loaded."""
    w.b.remove_config()
    memory = collections.defaultdict(list)
    start = collections.defaultdict(list)
    cpu = collections.defaultdict(list)
    dlls = {}
    for _ in range(w.args.runs):
        for label, build, flags, _ in STEPS:
            proc, seconds = start_tray(w, exe_of(w, build), flags, cpu=cpu[label])
            start[label].append(seconds * 1000)
            time.sleep(SETTLE_S)  # what runs after the icon shows counts too
            with contextlib.suppress(OSError):
                memory[label].append(w.proc(proc.pid)[1].get("RssAnon"))
                dlls[label] = sorted(n for n, kb in private_by_mapping(proc.pid).items()
                                     if n.lower().endswith((".dll", ".drv")))
            end_tray(w, proc)
    return [{"label": label, "RssAnon": stats(memory[label]), "startup_ms": stats(start[label]),
             "startup_cpu_ms": stats(cpu[label]), "dlls": dlls.get(label, []), "base": base}
            for label, _, _, base in STEPS]
