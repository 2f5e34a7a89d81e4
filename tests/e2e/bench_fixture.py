"""The fixture window: a probe window of known pattern for the program to
capture, which reports the input it receives as JSON events."""

import contextlib
import json
import subprocess
import threading

from bench_env import WINE


def fixture_color(x, y):
    """The fixture's colour at client pixel (x, y); keep in step with probe_fixture.cpp."""
    return (x & 0xFF, y & 0xFF, (0x40 + (x >> 8) * 40 + (y >> 8) * 8) & 0xFF)


class FixtureMixin:
    """Bench's part for the fixture window."""

    def start_fixture(self, x=60, y=80, w=300, h=200, title="Vistrel fixture", solid=None,
                      topmost=False, tray=False, alpha=None, colorkey=None, controls=False,
                      focus=True, timeout=30, close_on_key=None, animate=None):
        """Opens the fixture window (client area at x, y, w x h) and returns its
        record: hwnd, pid, rect and client (screen, where it lies), x11_window. With
        close_on_key (a virtual-key code) it destroys itself at that key's press;
        with animate (milliseconds) its client area changes colour that often."""
        self.stop_fixture()
        argv = [WINE, self.probe_exe, "fixture", "--x", str(x), "--y", str(y), "--w", str(w),
                "--h", str(h), "--title", title]
        if solid is not None:
            argv += ["--solid", "0x%02X%02X%02X" % tuple(solid)]
        if topmost:
            argv.append("--topmost")
        if tray:
            argv.append("--tray")
        if controls:
            argv.append("--controls")
        if alpha is not None:
            argv += ["--alpha", str(alpha)]
        if colorkey is not None:
            argv += ["--colorkey", "0x%02X%02X%02X" % tuple(colorkey)]
        if close_on_key is not None:
            argv += ["--close-on-key", str(close_on_key)]
        if animate is not None:
            argv += ["--animate", str(animate)]
        self._fixture = self._spawn(argv, stdout=subprocess.PIPE)
        self._fixture_tray = tray
        with self._events_lock:
            self.fixture_events = []
        threading.Thread(target=self._read_fixture, args=(self._fixture,), daemon=True).start()
        ready = self.wait_until(lambda: self.fixture_event("ready"), timeout=timeout,
                                what="the fixture window")
        self.fixture = dict(ready)
        # The window manager keeps a new window's frame on the screen: where
        # it placed the client area elsewhere, the fixture is moved there
        # afterwards, as a user drags a window.
        self._settle_fixture()
        if self.fixture["client"][:2] != [x, y]:
            self.move_fixture(x, y)
        if focus:
            self.focus_fixture()
        return self.fixture

    def _settle_fixture(self, at=None):
        """Waits until the fixture's X window is on the screen where Wine
        places the window (its client area at x, y when given); the fixture
        record then holds that place. Returns the client area's offset from
        the X window: none where the window manager draws the frame, the
        frame's where Wine draws it (a layered window)."""
        wid = self.fixture_window_id()

        def settled():
            shown = self.x_window_geometry(wid)
            if shown is None:
                return None
            on_screen = shown[:2]
            with self._events_lock:
                place = [e for e in self.fixture_events if e.get("event") in ("ready", "placed")][-1]
            if on_screen not in (place["client"][:2], place["rect"][:2]):
                return None
            if at and place["client"][:2] != list(at):
                return None
            return place, (place["client"][0] - on_screen[0], place["client"][1] - on_screen[1])
        found = []
        self.wait_agreed(wid, lambda: found.append(settled()) or found[-1],
                         what="the fixture window placed" + (" at %d, %d" % tuple(at) if at else ""))
        place, offset = found[-1]
        self.fixture["rect"], self.fixture["client"] = place["rect"], place["client"]
        return offset

    def move_fixture(self, x, y):
        """Moves the fixture's client area to x, y (partly off the screen too,
        where a user can drag a window) and waits until Wine knows it there."""
        dx, dy = self._settle_fixture()
        self._run(["xdotool", "windowmove", self.fixture_window_id(), str(x - dx), str(y - dy)])
        self._settle_fixture(at=(x, y))

    def _read_fixture(self, proc):
        for line in proc.stdout:
            with contextlib.suppress(ValueError):
                event = json.loads(line.decode("utf-8", errors="replace"))
                with self._events_lock:
                    self.fixture_events.append(event)

    def fixture_event(self, name, since=0):
        """The first event of that name (from index since on), or None."""
        with self._events_lock:
            for event in self.fixture_events[since:]:
                if event.get("event") == name:
                    return event
        return None

    def fixture_window_id(self):
        if self.fixture.get("x11_window"):
            return str(self.fixture["x11_window"])
        out = self._run(["xdotool", "search", "--name", "^Vistrel fixture$"], check=False)
        ids = out.stdout.split()
        if not ids:
            raise AssertionError("no X window for the fixture")
        return ids[0].decode()

    def focus_fixture(self):
        """Activates the fixture through the window manager: Wine sees keys only
        while one of its windows has the X keyboard focus."""
        self.activate_x_window(self.fixture_window_id())

    def activate_fixture(self):
        """Makes the fixture the foreground window with the keyboard, as a
        user's click does, and waits until Wine reports it so."""
        if not self.window_manager:
            # On the bare display only a click makes a window the foreground.
            client = self.fixture["client"]
            at = (client[0] + 5, client[1] + 5)
            if self.cursor_position() == at:
                at = (client[0] + 9, client[1] + 9)
            self.click(*at)
        self.focus_fixture()
        self.wait_until(lambda: self.probe("info")["foreground"] == self.fixture["hwnd"],
                        what="the fixture in the foreground")

    def stop_fixture(self):
        if self._fixture is not None:
            self._end(self._fixture)
            self._fixture.stdout.close()
            self._fixture = None
            self._fixture_tray = False
