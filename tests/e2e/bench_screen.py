"""What the display shows: screenshots of the root window, X windows mapped
and their events, and a compositor for per-window alpha."""

import contextlib
import re
import signal
import subprocess
import threading

from bench_env import ROOT_COLOR
from image import Image


class ScreenMixin:
    """Bench's part for the X display."""

    # ---- the screen -----------------------------------------------------------

    def screenshot(self):
        """The whole root window."""
        out = self._run(["import", "-display", self.display, "-window", "root", "-depth", "8",
                         "ppm:-"], timeout=60)
        return Image.from_ppm(out.stdout)

    def save_screenshot(self, path):
        self._run(["import", "-display", self.display, "-window", "root", path], timeout=60)

    @contextlib.contextmanager
    def use_compositor(self):
        """xcompmgr on the display, for per-window alpha. The clipboard is not
        offered to X while it runs, so keep clipboard checks outside."""
        proc = self._spawn(["xcompmgr"])
        self._compositor = proc
        corner = (self.width - 1, self.height - 1)
        try:
            # xcompmgr paints its own background over the root colour.
            self.wait_until(lambda: self.screenshot().pixel(*corner) != ROOT_COLOR, timeout=15,
                            interval=0.2, what="the compositor to paint")
            yield
        finally:
            self._stop_compositor()

    def _stop_compositor(self):
        if self._compositor is not None:
            self._end(self._compositor, sig=signal.SIGTERM)
            self._compositor = None
            with contextlib.suppress(Exception):
                self._run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOR])

    # ---- X windows ------------------------------------------------------------

    def x_window_shown(self, title):
        """True once an X window of exactly that title is mapped: a look at the
        screen itself, quicker than asking Wine through the probe."""
        out = self._run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)],
                        check=False)
        return bool(out.stdout.split())

    def x_window_name(self, window_id):
        """The name of an X window or of the window its frame holds, else its id."""
        tree = self._run(["xwininfo", "-tree", "-id", str(window_id)], check=False).stdout.decode()
        if "(the root window)" in tree.strip().split("\n", 1)[0]:
            return "the desktop"
        names = re.findall(r'0x[0-9a-f]+ "([^"]*)"', tree)
        return names[0] if names else "0x%x" % int(window_id)

    def x_window_input_only(self, window_id):
        """True for a mapped InputOnly X window: Wine's cursor clip, which it
        maps over the whole screen while a window filling the only monitor
        (the frozen screen) is in front, and through which it hands each
        click to the Windows window under it."""
        info = self._run(["xwininfo", "-id", str(window_id)], check=False).stdout.decode()
        return "Class: InputOnly" in info and "IsViewable" in info

    def x_window_geometry(self, window_id):
        """[x, y, w, h] on the screen of a mapped X window, else None."""
        info = self._run(["xwininfo", "-id", str(window_id)], check=False).stdout.decode()
        found = [re.search(p, info) for p in (
            r"Absolute upper-left X:\s+(-?\d+)", r"Absolute upper-left Y:\s+(-?\d+)",
            r"Width:\s+(\d+)", r"Height:\s+(\d+)")]
        if "IsViewable" not in info or None in found:
            return None
        return [int(m.group(1)) for m in found]

    def x_frame(self, window_id):
        """(x, y, w, h) on the screen of an X window with the frame the window
        manager draws around it (none on the bare display)."""
        x, y, w, h = self.x_window_geometry(window_id)
        out = self._run(["xprop", "-id", str(window_id), "_NET_FRAME_EXTENTS"], check=False)
        extents = re.search(r"= (\d+), (\d+), (\d+), (\d+)", out.stdout.decode())
        left, right, top, bottom = (int(v) for v in extents.groups()) if extents else (0,) * 4
        return (x - left, y - top, w + left + right, h + top + bottom)

    @contextlib.contextmanager
    def x_window_events(self, window_id):
        """Records what happens to an X window during the with-block (xev's
        structure events: MapNotify, UnmapNotify, ConfigureNotify...); yields
        a list that holds the event names once the block has ended."""
        proc = self._spawn(["xev", "-id", str(window_id), "-event", "structure", "-event",
                            "property"], stdout=subprocess.PIPE)
        lines = []
        threading.Thread(target=lambda: lines.extend(iter(proc.stdout.readline, b"")),
                         daemon=True).start()

        def marked(tag):
            # A property of the tests' own set on the window: once xev reports
            # it, every event before it has been reported too.
            self._run(["xprop", "-id", str(window_id), "-f", "_VISTREL_MARK", "8s", "-set",
                       "_VISTREL_MARK", tag])
            return sum(b"PropertyNotify" in line for line in lines)

        self.wait_until(lambda: marked("start"), what="xev watching the window")
        events = []
        try:
            yield events
            seen = sum(b"PropertyNotify" in line for line in lines)
            self.wait_until(lambda: marked("end") > seen, what="xev's last events")
        finally:
            self._end(proc)
        events.extend(line.split()[0].decode() for line in list(lines)
                      if line[:1].isalpha() and b" event, serial" in line)
