"""The program under test: started (plain or test-hooks build), watched and
ended; its Linux process's resource figures."""

import os
import time

from bench_env import WINE


class ProgramMixin:
    """Bench's part for vistrel.exe itself."""

    def start_program(self, exe=None, wait_armed=True, timeout=30, cwd=None, extra_env=None):
        """Starts the program (default VISTREL_EXE); waits for its TForm1 window
        and, with wait_armed, for its tray icon. Returns the TForm1 window.
        cwd: its current folder (Linux path; default the executable's);
        extra_env: variables of its environment beside Wine's."""
        self.stop_program()
        exe = exe or self.exe
        if not exe or not os.path.isfile(exe):
            raise RuntimeError("no program executable (set VISTREL_EXE or build the win64 tree)")
        started = time.monotonic()
        self._program = self._spawn([WINE, exe], cwd=cwd or os.path.dirname(exe),
                                    extra_env=extra_env)
        self._program_wpid = None

        def form1():
            if self._program.poll() is not None:
                raise AssertionError("the program exited with status %s" % self._program.returncode)
            found = self.probe("windows", "--class", "TForm1", "--exe", os.path.basename(exe))
            return found[0] if found else None

        window = self.wait_until(form1, timeout=timeout, what="the TForm1 window")
        self._program_wpid = window["pid"]
        self.timings["program_window"] = time.monotonic() - started
        if wait_armed:
            # The first program of a new Wine prefix also waits for Wine's
            # tray to come up, which takes long on a loaded machine.
            first = not getattr(self, "_armed_once", False)
            self.wait_until(self.tray_icon, timeout=max(timeout, 90) if first else timeout,
                            what="the program's tray icon")
            self._armed_once = True
            self.timings["program_armed"] = time.monotonic() - started
        return window

    def start_testhooks_program(self, wait_armed=True, timeout=30, extra_env=None):
        if not self.testhooks_exe:
            raise RuntimeError("no vistrel_testhooks.exe (set VISTREL_TESTHOOKS_EXE)")
        return self.start_program(self.testhooks_exe, wait_armed=wait_armed, timeout=timeout,
                                  extra_env=extra_env)

    def program_running(self):
        return self._program is not None and self._program.poll() is None

    def program_exit_code(self):
        return None if self._program is None else self._program.poll()

    @property
    def program_pid(self):
        """The program's Windows process id (what the probe reports)."""
        return self._program_wpid

    def wait_program_exit(self, timeout=10):
        self.wait_until(lambda: not self.program_running(), timeout=timeout,
                        what="the program to exit")

    def stop_program(self):
        """Ends the program at once (its tray icon goes with it under Wine)."""
        if self._program is not None:
            self._end(self._program)
            self._program = None
            self._program_wpid = None
            if not self._fixture_tray:
                self.wait_until(lambda: self.tray_icon() is None, timeout=10,
                                what="the tray icon to go after the program ended")

    def reset(self):
        """Between tests: no program, no configuration file, no fixture."""
        self.stop_program()
        self.stop_fixture()
        self.remove_config()

    def program_linux_stats(self):
        """The program's Linux process: VmRSS and VmSize in kB, open fds. Under
        Wine GetGuiResources, the handle count and private bytes all read 0, so
        leak checks have this and gui_resources()["working_set"]."""
        pid = self._program.pid
        stats = {}
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "VmSize"):
                    stats[key] = int(value.split()[0])
        stats["fds"] = len(os.listdir("/proc/%d/fd" % pid))
        return stats
