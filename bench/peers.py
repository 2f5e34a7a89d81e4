"""The peers: other programs capturing the same screen to a file, one process
per capture. Alone, each in turn; and in rounds, interleaved with the
program's own bursts on the same display, so that a slower spell of the
machine weighs on both sides of a ratio alike."""

import os
import subprocess
import time

import program_runs
from figures import stats

# Each capture goes to a new file under that stem.
TOOLS = {
    "scrot JPEG q85": lambda stem: ["scrot", "-o", "-q", "85", stem + ".jpg"],
    "maim PNG": lambda stem: ["maim", stem + ".png"],
    "import BMP": lambda stem: ["/usr/bin/import", "-window", "root", stem + ".bmp"],
    "xwd raw": lambda stem: ["xwd", "-root", "-silent", "-out", stem + ".xwd"],
}
# What the program's bursts are set beside in the rounds: scrot for JPEG, and
# xwd's raw dump, the nearest peer to an uncompressed BMP.
ROUND_PEERS = {"jpg": "scrot JPEG q85", "bmp": "xwd raw"}


def capture(w, tool, stem):
    subprocess.run(TOOLS[tool](stem), env=w.b.env(), check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def loop(w, tool, folder, n, tag=""):
    """n captures back to back, each under a new name: files per second."""
    t0 = time.perf_counter()
    for i in range(n):
        capture(w, tool, os.path.join(folder, "%s%s-%04d" % (tool.split()[0], tag, i)))
    return n / (time.perf_counter() - t0)


def alone(w):
    """Each peer on its own: single captures with a pause between, then loops."""
    d = w.out_dir("peers")
    result = {}
    for tool in TOOLS:
        single = []
        for i in range(w.args.runs):
            t0 = time.perf_counter()
            capture(w, tool, os.path.join(d, "single-%04d" % i))
            single.append((time.perf_counter() - t0) * 1000)
            w.empty(d)
            time.sleep(0.1)  # apart, not back to back: the loop is the other figure
        loops = []
        for _ in range(3):
            loops.append(loop(w, tool, d, w.args.loop))
            w.empty(d)
        result[tool] = {"single_ms": stats(single), "loop_per_s": stats(loops)}
    # xwd reads the root in one request only while no window is mapped; with
    # one it reads each window apart and puts them together pixel by pixel.
    w.b.start_fixture(solid=(212, 208, 200))
    try:
        for tool in ("scrot JPEG q85", "xwd raw"):
            loops = []
            for _ in range(3):
                loops.append(loop(w, tool, d, w.args.loop))
                w.empty(d)
            result[tool]["loop_per_s_window"] = stats(loops)
    finally:
        w.b.stop_fixture()
    return result


def rounds(w, n_rounds, files):
    """Rounds on the screen shown: in each, a JPEG q85 and a BMP burst of the
    program (hot key held until `files` + 1 files) and loops of `files`
    captures of scrot and xwd, the order turned round every other round. Every
    file is new and stays until its round ends, all in one folder. Rates per
    round, and the ratio of each burst to its peer in the same round."""
    d = w.out_dir("rounds")
    w.b.remove_config()
    w.b.start_program()
    # A window of flat colour to hold the keyboard focus, as a desktop has one.
    w.b.start_fixture(x=w.width - 420, y=w.height - 330, w=320, h=200, solid=(212, 208, 200))
    rates = {k: [] for k in ("jpg", "bmp", *ROUND_PEERS.values())}
    steps = [("jpg", None), (None, ROUND_PEERS["jpg"]), ("bmp", None), (None, ROUND_PEERS["bmp"])]
    try:
        for r in range(n_rounds):
            for fmt, tool in steps if r % 2 == 0 else reversed(steps):
                if fmt:
                    w.auto_record_into(d, fmt)
                    times = program_runs.hold_key(w, d, "." + fmt, files + 1, 0)
                    rates[fmt].append(program_runs.rate(times, files))
                else:
                    rates[tool].append(loop(w, tool, d, files, "-%d" % r))
                w.empty(d)
    finally:
        w.b.stop_fixture()
        w.b.stop_program()
        w.b.remove_config()
    result = {"rates": {k: stats(v) for k, v in rates.items()}, "rounds": n_rounds,
              "files": files}
    for fmt, tool in ROUND_PEERS.items():
        result["ratio_" + fmt] = stats([a / b for a, b in zip(rates[fmt], rates[tool])
                                        if a and b])
    return result
