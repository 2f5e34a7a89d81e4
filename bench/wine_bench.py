"""The Wine side of the bench: the end-to-end harness's Bench (Xvfb, the Wine
prefix, the program, input) with what every measuring part shares: the bench
probe's JSON, output folders, a screen image shown, a Linux process's
figures."""

import contextlib
import json
import os
import shutil
import subprocess
import tempfile
import time

import screens


class WineBench:
    def __init__(self, run_dir, args, tmp, width=1920, height=1080, window_manager=False):
        self.args = args
        self.tmp = tmp
        self.run_dir = run_dir
        self.width, self.height = width, height
        self.bench_probe = os.path.join(run_dir, "bench", "vistrel_bench_probe.exe")
        self.idle_tray = os.path.join(run_dir, "bench", "vistrel_idle_tray.exe")
        import harness  # after VISTREL_EXE is set: it picks the Wine from the program
        self.harness = harness
        self.b = harness.Bench(width=width, height=height, window_manager=window_manager)

    def __enter__(self):
        self.b.start()
        return self

    def __exit__(self, *exc):
        self.b.stop()

    def wine(self, *argv, timeout=600):
        # Into a file, not a pipe: the services the first Wine program of a
        # session starts inherit its output and would hold a pipe open.
        with tempfile.TemporaryFile(dir=self.tmp) as out, \
                tempfile.TemporaryFile(dir=self.tmp) as err:
            done = subprocess.run([self.harness.WINE, *argv], env=self.b.env(), stdout=out,
                                  stderr=err, timeout=timeout, cwd=self.tmp)
            out.seek(0)
            err.seek(0)
            self.last_error = "status %d: %s" % (done.returncode,
                                                 err.read()[-1500:].decode(errors="replace"))
            return out.read().decode(errors="replace")

    def probe_json(self, *argv, timeout=600):
        lines = [l for l in self.wine(self.bench_probe, *argv, timeout=timeout).splitlines()
                 if l.startswith("{")]
        if not lines:
            raise RuntimeError("bench probe %s: no answer (%s)" % (argv[0], self.last_error))
        answer = json.loads(lines[-1])
        if "error" in answer:
            raise RuntimeError("bench probe: %s" % answer["error"])
        return answer

    def show_screen(self, ppm):
        """The image as the root window's background: what every capture reads
        where no window lies over it."""
        screens.show_on_root(self, ppm)

    def out_dir(self, name):
        """A new empty folder under the run's own, on the same file system as
        every other file the bench writes."""
        path = os.path.join(self.tmp, name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    def empty(self, path):
        for name in os.listdir(path):
            os.unlink(os.path.join(path, name))

    def auto_record_into(self, folder, fmt, quality=85):
        self.b.write_settings(autoRec="oui", autoRecFormat=fmt,
                              SaveFilePath=self.b.windows_path(folder), Compression=str(quality))
        # Dated a minute back, as a user's settings file is older than the
        # press: a file written a moment ago is read again at every capture.
        then = time.time() - 60
        os.utime(self.b.config_path, (then, then))

    @staticmethod
    def proc(pid):
        """CPU seconds used and VmRSS / RssAnon in kB of a Linux process."""
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

    def wineserver_pid(self):
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
