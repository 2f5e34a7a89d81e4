"""Native figures: the writers' micro-benchmarks, the disk's own rate for new
8 MB files, and the screen read as a native X client makes it."""

import json
import os
import subprocess
import time

from figures import stats

# A 1920 x 1080 capture as a BMP file: header and 32-bit pixels.
BMP_BYTES = 54 + 1920 * 1080 * 4


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


def disk_rate(folder, seconds, runs, size=BMP_BYTES):
    """New files of a BMP capture's size written one after the other into
    `folder` for `seconds`, each under a new name and kept until the run ends,
    as a BMP burst writes them: files per second over the first 20 and over
    the whole run (the page cache takes the first ones faster)."""
    data = bytes(size)
    first, sustained, mb_per_s = [], [], []
    for run in range(runs):
        done, names = [], []
        started = time.monotonic()
        while len(done) < 21 or time.monotonic() - started < seconds:
            name = os.path.join(folder, "disk-%d-%04d.bmp" % (run, len(names)))
            fd = os.open(name, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            try:
                os.write(fd, data)
            finally:
                os.close(fd)
            names.append(name)
            done.append(time.monotonic())
        first.append(20 / (done[20] - done[0]))
        rate = (len(done) - 1) / (done[-1] - done[0])
        sustained.append(rate)
        mb_per_s.append(rate * size / 1e6)
        for name in names:
            os.unlink(name)
    return {"first20": stats(first), "sustained": stats(sustained), "MB_per_s": stats(mb_per_s),
            "bytes": size}


def x_read(root, env, runs):
    """XGetImage (as Wine reads the screen) and XShmGetImage of the whole root."""
    exe = os.path.join(root, "native", "bench", "vistrel_x_read")
    if not os.path.exists(exe):
        return {}
    out = subprocess.run([exe, "--runs", str(runs)], env=env, check=True,
                         stdout=subprocess.PIPE, timeout=300).stdout
    answer = json.loads(out.decode().strip().splitlines()[-1])
    return {k: stats(v) for k, v in answer.items() if isinstance(v, list)}
