"""The probe (vistrel_probe.exe), the bench's look into Win32: the program's
windows and controls, its message boxes and popup menus, messages sent to it."""

import contextlib
import json
import os
import subprocess
import time

from bench_env import WINE

WM_NULL = 0x0000
WM_CLOSE = 0x0010
WM_COPYDATA = 0x004A
TEST_ERROR_DATA = 0x7E57  # WM_COPYDATA tag that makes the test build raise an error


class ProbeError(AssertionError):
    pass


class ProbeMixin:
    """Bench's part that asks the probe about the program."""

    # ---- the probe ------------------------------------------------------------

    # Commands that only look: run again when a start under load gave nothing.
    LOOKING = {"key-state", "info", "windows", "msgboxes", "screen-rect", "clipboard-sequence",
               "focus"}

    def probe(self, *args, timeout=30, check=True):
        """Runs the probe and returns its JSON answer (the first JSON line)."""
        if not self.probe_exe or not os.path.isfile(self.probe_exe):
            raise RuntimeError("no vistrel_probe.exe (set VISTREL_PROBE or build the win64 tree)")
        for attempt in range(3 if args and args[0] in self.LOOKING else 1):
            out = subprocess.run([WINE, self.probe_exe] + [str(a) for a in args], env=self.env(),
                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, timeout=timeout, cwd=self._tmp)
            if out.stdout.strip():
                break
        for line in out.stdout.decode("utf-8", errors="replace").splitlines():
            if line[:1] in "[{":
                value = json.loads(line)
                if check and isinstance(value, dict) and "error" in value:
                    raise ProbeError("probe %s: %s" % (" ".join(map(str, args)), value["error"]))
                return value
        raise ProbeError("probe %s gave no JSON (status %d)" % (" ".join(map(str, args)),
                                                                  out.returncode))

    def _target(self):
        return ["--pid", self._program_wpid] if self._program_wpid and self.program_running() else []

    # ---- windows and controls -------------------------------------------------

    def windows(self, cls=None, children=False):
        """Top-level windows of the program, visible or not."""
        args = ["windows"] + self._target()
        if cls:
            args += ["--class", cls]
        if children:
            args.append("--children")
        return self.probe(*args)

    def window(self, cls, children=False):
        """The program's one top-level window of class cls, or None."""
        found = self.windows(cls, children)
        if len(found) > 1:
            raise AssertionError("%d windows of class %s" % (len(found), cls))
        return found[0] if found else None

    def visible(self, cls):
        """The window of that class when it is visible, else None."""
        window = self.window(cls)
        return window if window and window["visible"] else None

    def hidden(self, cls):
        """The window of that class when it exists hidden, else None."""
        window = self.window(cls)
        return window if window and not window["visible"] else None

    def child(self, cls_or_window, text=None, ctl_class=None, id=None):
        """A child control of a form (given by class or by its window() dict)."""
        win = cls_or_window if isinstance(cls_or_window, dict) else self.window(cls_or_window, True)
        if win is None:
            raise AssertionError("no window %s" % cls_or_window)
        for c in win.get("children") or []:
            if ((text is None or c["text"] == text) and (id is None or c["id"] == id) and
                    (ctl_class is None or c["class"].lower() == ctl_class.lower())):
                return c
        return None

    # ---- message boxes --------------------------------------------------------

    def msgboxes(self):
        return self.probe("msgboxes", *self._target())

    def wait_msgbox(self, timeout=10):
        """The first message box of the program, once one is open."""
        return self.wait_until(lambda: (self.msgboxes() or [None])[0], timeout=timeout,
                               what="a message box")

    def close_msgboxes(self, button=None, timeout=10):
        """Presses button (default: the first one) in every open box until none is left."""
        def closed():
            boxes = self.msgboxes()
            if not boxes:
                return True
            args = ["msgbox-close"] + self._target()
            if button:
                args += ["--button", button]
            self.probe(*args, check=False)
            return False
        self.wait_until(closed, timeout=timeout, interval=0.3, what="the message boxes to close")

    # ---- messages -------------------------------------------------------------

    def click_control(self, hwnd):
        """A real left click in the middle of the control, as a user makes it,
        once its window shows on the screen where Wine places it and is the one
        under the pointer there (the window manager maps and restacks windows a
        moment after Wine asks); returns at once, so a box the click opens
        does not block."""
        def where():
            found = self.probe("screen-rect", "--hwnd", hwnd)
            assert found["found"], "no window %s" % hwnd
            return found
        found = where()
        window = found["x11_window"]
        try:
            self.wait_placed(window, lambda: (where()["top_rect"], where()["top_client"]))
            found = where()
            r = found["rect"]
            x, y = (r[0] + r[2]) // 2, (r[1] + r[3]) // 2
            self.mouse_move(x, y)
            self.wait_uncovered(window, x, y)
        except AssertionError as e:
            raise AssertionError("%s; X shows it at %s, under the pointer: %s" % (
                e, self.x_window_geometry(window),
                self.x_window_name(self.window_under_pointer()))) from None
        self.click(x, y)

    def wait_uncovered(self, window, x, y):
        """Waits until the X window is the one under the pointer at x, y.
        openbox puts an active window without decorations that fills the
        screen (the frozen screen) in a layer above every always-on-top
        window, where Windows keeps the preview above it; a click on the
        window below would make that window active, so that window is
        made active through the window manager first."""
        what = "the control's window under the pointer at %d, %d" % (x, y)

        def reached():
            # Wine's cursor clip routes the click by Wine's own stacking, in
            # which the preview lies above the frozen screen, as on Windows.
            return self.pointer_over(window) or self.x_window_input_only(
                self.window_under_pointer())
        try:
            self.wait_until(reached, timeout=2, what=what)
            return
        except AssertionError:
            under = self.x_window_geometry(self.window_under_pointer())
            if not self.window_manager or not under or under[2:] != [self.width, self.height]:
                raise
        # Asked again every 2 s: under load openbox may take the first
        # request before the frozen screen has left the foreground.
        retry = [time.monotonic() + 2]
        self.activate_x_window(window)

        def uncovered():
            if reached():
                return True
            if time.monotonic() > retry[0]:
                self.activate_x_window(window)
                retry[0] = time.monotonic() + 2
            return False
        self.wait_until(uncovered, timeout=15, what=what)

    def wait_placed(self, window, wine_rects, timeout=15):
        """Waits until the X window shows where Wine places the window (the
        top-left of one of the rectangles wine_rects() gives, read anew at each
        look: the window's, its client area's)."""
        def agree():
            shown = self.x_window_geometry(window)
            return shown is not None and shown[:2] in [r[:2] for r in wine_rects()]
        self.wait_agreed(window, agree, timeout=timeout,
                         what="the window on the screen where Wine places it")

    def wait_agreed(self, window, agree, timeout=15, what="Wine and X to agree"):
        """Polls agree() until it holds; every 2 s that it does not, the X
        window is nudged (see nudge_window)."""
        deadline = time.monotonic() + timeout
        next_nudge = time.monotonic() + 2
        while True:
            with contextlib.suppress(ProbeError):
                if agree():
                    return
            now = time.monotonic()
            if now > deadline:
                raise AssertionError("timed out after %g s waiting for %s" % (timeout, what))
            if now > next_nudge:
                self.nudge_window(window)
                next_nudge = now + 2
            time.sleep(0.1)

    def nudge_window(self, window):
        """openbox and Wine 8 race when a window is mapped: now and then Wine
        keeps the first place of the frame openbox makes for it (0, 0) and
        misses the move that follows, so that Wine places the window at 0, 0
        while X shows it where it was asked (seen under load). A move by one
        pixel and back brings two fresh configure events from the window
        manager, from which Wine learns where the window is."""
        for dx in ("1", "-1"):
            self._run(["xdotool", "windowmove", "--relative", str(window), dx, "0"],
                      check=False, timeout=5)

    def send_message(self, hwnd, msg, wparam=0, lparam=0, timeout_ms=5000):
        return self.probe("send", "--hwnd", hwnd, "--msg", msg, "--wparam", wparam,
                          "--lparam", lparam, "--timeout", timeout_ms)

    def post_message(self, hwnd, msg, wparam=0, lparam=0):
        return self.probe("post", "--hwnd", hwnd, "--msg", msg, "--wparam", wparam,
                          "--lparam", lparam)

    def send_copydata(self, hwnd, data, text, wait_ms=1000):
        return self.probe("send-copydata", "--hwnd", hwnd, "--data", data, "--text", text,
                          "--wait", wait_ms)

    def raise_test_error(self, text):
        """Test build only: its error trigger raises vistrel::Error(text) inside
        the program's error boundary."""
        trigger = self.window("VistrelTestHooks")
        return self.send_copydata(trigger["hwnd"], TEST_ERROR_DATA, text)

    # ---- popup menus ----------------------------------------------------------

    def menus(self):
        """Open popup menus of the program: hwnd, rect, items (text, id,
        separator, enabled, checked, rect in screen coordinates)."""
        return self.probe("menu", *self._target())

    def wait_menu(self, timeout=10):
        """The first open popup menu, once one is shown with its items."""
        return self.wait_until(lambda: next((m for m in self.menus() if m["items"]), None),
                               timeout=timeout, what="a popup menu")

    def click_menu_item(self, text, button=1):
        """Clicks the item of the open menu captioned text, as a user would."""
        menu = self.wait_menu()
        for item in menu["items"]:
            if item["text"] == text:
                left, top, right, bottom = item["rect"]
                self.click((left + right) // 2, (top + bottom) // 2, button)
                return item
        raise AssertionError("no item %r in the menu %s" % (text, [i["text"] for i in menu["items"]]))

    def gui_resources(self):
        return self.probe("gui-resources", *self._target())
