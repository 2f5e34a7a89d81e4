"""What the bench probe measures under Wine with the program's own code or
the bare calls: the writers beside their limits, the bare grab-and-write
burst, and one capture's steps."""

import shutil

from figures import stats


def writers(w):
    d = w.out_dir("writers")
    answer = w.probe_json("writers", "--runs", str(w.args.runs), "--dir", w.b.windows_path(d))
    shutil.rmtree(d, ignore_errors=True)
    return {k: stats(v) for k, v in answer.items()}


def grab(w, fmt, clipboard=False):
    d = w.out_dir("grab")
    argv = ["grab", "--runs", str(w.args.grab_runs), "--dir", w.b.windows_path(d),
            "--format", fmt, "--quality", "85"]
    if clipboard:
        argv.append("--clipboard")
    answer = w.probe_json(*argv)
    shutil.rmtree(d, ignore_errors=True)
    return {k: stats(v) for k, v in answer.items() if isinstance(v, list)}


def steps(w, fmt, runs):
    """A burst as the program's poll makes one, each step timed with the
    program's own engine and settings reads, then each step alone. The
    settings auto-record into a folder of the bench's, as a burst's do."""
    d = w.out_dir("steps")
    w.b.stop_program()
    w.auto_record_into(d, fmt)
    try:
        answer = w.probe_json("steps", "--runs", str(runs), "--dir", w.b.windows_path(d),
                              "--format", fmt, "--quality", "85")
    finally:
        w.b.remove_config()
        shutil.rmtree(d, ignore_errors=True)
    alone = answer["alone"]
    # The write alone: the writer less the encode of the same round.
    encode = alone["encode"] if fmt == "jpg" else [0.0] * len(alone["writer"])
    alone["write"] = [a - b for a, b in zip(alone["writer"], encode)]
    return {part: {k: stats(v) for k, v in answer[part].items()} for part in ("burst", "alone")}
