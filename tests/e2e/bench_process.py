"""The bench's own processes: Xvfb, the Wine server and prefix, every process
started for a test (ended by pid at stop()), and the waits on conditions."""

import atexit
import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from bench_env import REPO, ROOT_COLOR, WINE, WINE_FONTS, WINEARCH, WINESERVER, find_exe
from bench_probe import ProbeError

WINDOW_MANAGER_CONFIG = "/etc/xdg/openbox/rc.xml"  # Debian's, from the openbox package

# Xorg's dummy driver: no input devices hot-plugged (no udev here); the
# outputs DUMMY0 and DUMMY1 get a monitor each, with its mode and position.
TWO_HEADS_CONFIG = """\
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dev0"
    Driver "dummy"
    VideoRam 64000
    Option "Monitor-DUMMY0" "mon0"
    Option "Monitor-DUMMY1" "mon1"
EndSection
Section "Monitor"
    Identifier "mon0"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1280x800" 83.50 1280 1352 1480 1680 800 803 809 831
    Option "PreferredMode" "1280x800"
    Option "Primary" "true"
    Option "Position" "%(primary)s"
EndSection
Section "Monitor"
    Identifier "mon1"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806
    Option "PreferredMode" "1024x768"
    Option "Enable" "true"
    Option "Position" "%(second)s"
EndSection
Section "Screen"
    Identifier "scr0"
    Device "dev0"
    Monitor "mon0"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2304 800
    EndSubSection
EndSection
"""


class BenchProcess:
    """Xvfb and Wine for one bench; the base the other parts of Bench build on."""

    def __init__(self, width=1280, height=800, prefix=None, window_manager=True, second_head=None,
                 locale=None):
        self.width, self.height = width, height
        # Wine takes the ANSI code page from the locale: None keeps C.UTF-8
        # (1252); "hi_IN.UTF-8" gives the UTF-8 code page (65001).
        self.locale = locale
        # "right" or "left": a second monitor of 1024 x 768 beside the primary
        # (width x height must then be 1280 x 800), on Xorg's dummy driver.
        self.second_head = second_head
        # openbox on the display, as every desktop has a window manager: focus
        # and the foreground come through it, Alt+F4 reaches the active window,
        # and Wine hides a managed window at once instead of waiting 2 s for a
        # confirmation. window_manager=False gives the bare display.
        self.window_manager = window_manager
        self._wm = None
        self.prefix = os.path.abspath(prefix or os.environ.get("VISTREL_WINEPREFIX")
                                      or os.path.join(REPO, "build", "wineprefix-" + WINEARCH))
        if not prefix and os.environ.get("VISTREL_WINE_SLOT"):
            # ctest runs two groups of test files side by side, one prefix each.
            self.prefix += "-" + os.environ["VISTREL_WINE_SLOT"]
        self.exe = find_exe("VISTREL_EXE", "vistrel.exe")
        self.testhooks_exe = find_exe("VISTREL_TESTHOOKS_EXE", "vistrel_testhooks.exe")
        self.probe_exe = find_exe("VISTREL_PROBE", os.path.join("tests", "e2e", "vistrel_probe.exe"))
        self.display = None
        self.timings = {}
        self._xvfb = None
        self._processes = []  # every process started, ended by pid at stop()
        # The other parts' state starts here too, so that stop() can end
        # whatever runs, whenever it is called.
        self._program = None
        self._program_wpid = None
        self._fixture = None
        self._fixture_tray = False
        self.fixture = None
        self.fixture_events = []
        self._events_lock = threading.Lock()
        self._compositor = None
        self._bound_letters = {}  # letter: the spare key given to it (bench_input)
        self._tmp = tempfile.mkdtemp(prefix="vistrel-e2e-")

    # ---- life cycle -----------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        # A failing setUpClass skips tearDownClass: end everything at exit then,
        # and on SIGTERM (a ctest timeout) too.
        self._stopped = False
        atexit.register(self.stop)
        if signal.getsignal(signal.SIGTERM) is signal.SIG_DFL:
            signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        try:
            if self.second_head:
                self._start_two_heads()
            else:
                self._start_xvfb()
            if self.window_manager:
                self._start_window_manager()
            self._start_wine()
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        if getattr(self, "_stopped", True):
            return
        self._stopped = True
        atexit.unregister(self.stop)
        if os.environ.get("VISTREL_KEEP_BENCH") == "1":
            print("bench kept: DISPLAY=%s WINEPREFIX=%s" % (self.display, self.prefix))
            return
        self._stop_compositor()
        for proc in reversed(self._processes):
            self._end(proc)
        self._processes = []
        self._program = self._fixture = None
        if os.path.isdir(self.prefix):
            subprocess.run([WINESERVER, "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
            with contextlib.suppress(subprocess.TimeoutExpired):
                subprocess.run([WINESERVER, "-w"], env=self.env(), timeout=15)
        if self._xvfb:
            self._end(self._xvfb, sig=signal.SIGTERM)
            self._xvfb = None
        shutil.rmtree(self._tmp, ignore_errors=True)

    def env(self):
        e = dict(os.environ)
        e.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": WINEARCH,
            "WINELOADER": WINE,
            "WINESERVER": WINESERVER,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": self.locale or "C.UTF-8",
        })
        if self.locale:
            e["LC_ALL"] = self.locale
            e["LOCPATH"] = self._locale_dir()
        else:
            e.pop("LC_ALL", None)
        if self.display:
            e["DISPLAY"] = self.display
        return e

    def _locale_dir(self):
        """A folder holding self.locale for the C library. Wine takes the
        Windows locale from its name and the character set of Linux file
        names from it; a locale the machine has not generated leaves that
        set ASCII, and every file name outside it fails. Only the name and
        the UTF-8 set matter to Wine: C.utf8's data under that name."""
        path = os.path.join(self._tmp, "locales")
        name = self.locale.replace(".UTF-8", ".utf8")
        if not os.path.isdir(os.path.join(path, name)):
            shutil.copytree("/usr/lib/locale/C.utf8", os.path.join(path, name))
        return path

    def _start_xvfb(self):
        self._start_x_server(["Xvfb", "-screen", "0", "%dx%dx24" % (self.width, self.height),
                              "-nolisten", "tcp", "-noreset"])

    def _start_two_heads(self):
        """One X screen of 2304 x 800 with two monitors (RandR outputs, which
        Wine reports as two): the primary, 1280 x 800, and 1024 x 768 at its
        right or left; Xvfb's heads all lie at 0, 0."""
        if (self.width, self.height) != (1280, 800):
            raise ValueError("two heads: the primary is 1280 x 800")
        primary, second = {"right": ("0 0", "1280 0"), "left": ("1024 0", "0 0")}[self.second_head]
        config = os.path.join(self._tmp, "xorg.conf")
        with open(config, "w") as f:
            f.write(TWO_HEADS_CONFIG % {"primary": primary, "second": second})
        xorg = "/usr/lib/xorg/Xorg" if os.path.exists("/usr/lib/xorg/Xorg") else "Xorg"
        # -disableVidMode: with it, 64-bit Wine 8's explorer dies at the second
        # monitor; -sharevts -novtswitch: no Linux console is taken.
        self._start_x_server([xorg, "-config", config, "-logfile",
                              os.path.join(self._tmp, "xorg.log"), "-noreset", "-nolisten", "tcp",
                              "-sharevts", "-novtswitch", "-disableVidMode"])
        self.wait_until(lambda: self._run(["xdpyinfo", "-ext", "XINERAMA"], check=False)
                        .stdout.count(b"head #") == 2, timeout=15, what="Xorg's two heads")

    def _start_x_server(self, argv):
        # -displayfd: the server picks a free display itself (it honours the lock files).
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            argv[:1] + ["-displayfd", str(write_end)] + argv[1:],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline or self._xvfb.poll() is not None:
                os.close(read_end)
                raise RuntimeError("%s did not start" % argv[0])
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self._run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOR])

    def _start_window_manager(self):
        self._wm = self._spawn(["openbox", "--sm-disable", "--config-file",
                                self._window_manager_config()])

        def managing():
            if self._wm.poll() is not None:
                raise RuntimeError("openbox exited with status %s" % self._wm.returncode)
            out = self._run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
            return b"window id" in out.stdout
        self.wait_until(managing, timeout=30, what="openbox to manage the display")

    def _window_manager_config(self):
        """openbox's own configuration, and one rule: Wine's tray window (openbox
        has no tray, so Wine shows one of its own) takes no focus when it
        appears, as a desktop's tray does not; otherwise each arming would make
        it the foreground window."""
        with open(WINDOW_MANAGER_CONFIG) as f:
            config = f.read()
        rule = ('  <application title="Wine System Tray">\n'
                '    <focus>no</focus>\n'
                '  </application>\n'
                '  <application title="Form4">\n'
                '    <fullscreen>no</fullscreen>\n'
                '  </application>\n')
        config = config.replace("</applications>", rule + "</applications>", 1)
        path = os.path.join(self._tmp, "openbox-rc.xml")
        with open(path, "w") as f:
            f.write(config)
        return path

    def _start_wine(self):
        env = self.env()
        # Leftovers of an earlier run in this prefix would still talk to another display.
        subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        with contextlib.suppress(subprocess.TimeoutExpired):
            subprocess.run([WINESERVER, "-w"], env=env, timeout=15)
        started = time.monotonic()
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
            boot = self._spawn([WINE, "wineboot", "-u"])
            try:
                boot.wait(timeout=300)
            except subprocess.TimeoutExpired:
                raise RuntimeError("Wine prefix creation took over 300 s") from None
            self.timings["prefix_created"] = time.monotonic() - started
        self._install_wine_fonts()
        self._keep_user_folders_in_prefix()
        # A persistent server keeps the prefix's services (and the tray) alive
        # between program runs.
        # Its own output goes nowhere: a server kept after the run
        # (VISTREL_KEEP_BENCH) must not hold the caller's output open.
        subprocess.run([WINESERVER, "-p"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        self.wait_until(lambda: os.path.exists(self.documents_dir) or None, timeout=60,
                        what="the prefix's Documents folder")
        self.timings["wine_ready"] = time.monotonic() - started

    def _keep_user_folders_in_prefix(self):
        """A new prefix links Documents, Downloads and the other user folders
        to the home folder, where the captures of the default folder and an
        unpacked release would land: they become the prefix's own folders."""
        users = os.path.join(self.prefix, "drive_c", "users")
        inside = os.path.realpath(self.prefix) + os.sep
        for user in os.listdir(users) if os.path.isdir(users) else []:
            home = os.path.join(users, user)
            for name in os.listdir(home) if os.path.isdir(home) else []:
                path = os.path.join(home, name)
                if os.path.islink(path) and not os.path.realpath(path).startswith(inside):
                    os.remove(path)
                    os.makedirs(path)

    def _install_wine_fonts(self):
        """Debian's Wine does not find the fonts of its fonts-wine package by
        itself; without them "MS Sans Serif" falls back to a wider face and the
        windows' texts no longer fit their layouts. Copied into the prefix."""
        fonts = os.path.join(self.prefix, "drive_c", "windows", "Fonts")
        if not os.path.isdir(WINE_FONTS) or not os.path.isdir(os.path.dirname(fonts)):
            return
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir(WINE_FONTS):
            if not os.path.exists(os.path.join(fonts, name)):
                shutil.copy(os.path.join(WINE_FONTS, name), fonts)

    # ---- processes ------------------------------------------------------------

    def _spawn(self, argv, stdout=subprocess.DEVNULL, cwd=None, extra_env=None):
        env = self.env()
        env.update(extra_env or {})
        proc = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=stdout,
                                stderr=subprocess.DEVNULL, cwd=cwd or self._tmp,
                                start_new_session=True)
        self._processes.append(proc)
        return proc

    def _end(self, proc, sig=signal.SIGKILL):
        if proc.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.kill(proc.pid, sig)
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.kill(proc.pid, signal.SIGKILL)
                proc.wait(timeout=10)
        if proc.stdout is not None:
            with contextlib.suppress(OSError, ValueError):
                proc.stdout.close()
        if proc in self._processes:
            self._processes.remove(proc)

    def _run(self, argv, timeout=30, check=True, input=None):
        out = subprocess.run(argv, env=self.env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             timeout=timeout, input=input)
        if check and out.returncode != 0:
            raise RuntimeError("%s failed (%d): %s" % (" ".join(argv), out.returncode,
                                                      out.stderr.decode(errors="replace").strip()))
        return out

    # ---- waiting --------------------------------------------------------------

    @staticmethod
    def wait_until(predicate, timeout=10, interval=0.1, what="the condition"):
        """Polls predicate until it returns something truthy, which is returned."""
        deadline = time.monotonic() + timeout
        last_error = None
        while True:
            try:
                value = predicate()
                if value:
                    return value
            except ProbeError as e:
                last_error = e
            if time.monotonic() > deadline:
                extra = " (last probe error: %s)" % last_error if last_error else ""
                raise AssertionError("timed out after %g s waiting for %s%s" % (timeout, what, extra))
            time.sleep(interval)

    def holds_still(self, predicate, seconds=0.6):
        """True when predicate() stays true for that long, polled: for what must
        not happen (a capture that must not start, a window that must stay)."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if not predicate():
                return False
            time.sleep(0.1)
        return predicate()
