"""Input as a user gives it, through xdotool: keys, hot keys, the mouse, and
the activation the window manager hands over at a click."""

import re
import time

from bench_probe import WM_NULL

VK_SHIFT, VK_CONTROL, VK_MENU, VK_INSERT, VK_F12 = 0x10, 0x11, 0x12, 0x2D, 0x7B


class InputMixin:
    """Bench's part for the keyboard and the mouse."""

    # ---- keys -----------------------------------------------------------------

    def key(self, name):
        self._run(["xdotool", "key", name])

    def keydown(self, name):
        self._run(["xdotool", "keydown", name])

    def keyup(self, name):
        self._run(["xdotool", "keyup", name])

    def type_text(self, text):
        self.bind_letters(text)
        self._run(["xdotool", "type", "--delay", "30", text])

    def bind_letters(self, text):
        """Letters of text that the display's keymap lacks (accented, Cyrillic,
        ...) get keys of their own, as on a keyboard that has them; xdotool
        would bind each to a spare key only for the moment of its press, and
        Wine loses letters it reaches late. Call it before the program starts:
        a Wine program running at the change lost the first letters typed after
        it. Wine gives the spare keys Windows key codes from a small pool (seven
        here) taken by the lowest keys first, so the letters of one text take
        the lowest spare keys and the letters of an earlier text are let go."""
        letters = sorted({c for c in text if ord(c) > 0x7E})
        if set(letters) <= set(self._bound_letters):
            return
        keymap = self._run(["xmodmap", "-pke"]).stdout.decode()
        spare = sorted(set(self._bound_letters.values()) | {
            int(line.split()[1]) for line in keymap.splitlines()
            if line.startswith("keycode") and not line.split("=", 1)[1].strip()
            and int(line.split()[1]) > 8})
        if len(letters) > min(len(spare), 7):
            raise RuntimeError("more letters outside the keymap than Wine takes: %r"
                               % "".join(letters))
        exprs = []
        for keycode in self._bound_letters.values():
            exprs += ["-e", "keycode %d =" % keycode]
        self._bound_letters = dict(zip(letters, spare))
        for letter, keycode in self._bound_letters.items():
            code = ord(letter)
            keysym = "0x%x" % (code if code < 0x100 else 0x1000000 + code)  # X's Unicode keysyms
            exprs += ["-e", "keycode %d = %s %s" % (keycode, keysym, keysym)]
        self._run(["xmodmap"] + exprs)

    def press_hotkey(self, key="F12", modifiers=(), hold=0.3):
        """Presses key with the modifiers held around it. The program polls
        every 100 ms, so the modifiers are held for `hold` seconds on each side."""
        if isinstance(modifiers, str):
            modifiers = (modifiers,)
        for m in modifiers:
            self.keydown(m)
        try:
            if modifiers:
                time.sleep(hold)
            self.key(key)
            if modifiers:
                time.sleep(hold)
        finally:
            for m in reversed(modifiers):
                self.keyup(m)

    def press_hotkey_handled(self, key="F12", modifiers=()):
        """Presses the hot key and returns once the capture it starts has run to
        its end: the clipboard has taken it, and the program's window answers a
        message again, so its settings were read before anything changes them."""
        sequence = self.probe("clipboard-sequence")["sequence"]
        self.press_hotkey(key, modifiers)
        self.wait_until(lambda: self.probe("clipboard-sequence")["sequence"] != sequence,
                        what="the capture on the clipboard")
        answer = self.send_message(self.window("TForm1")["hwnd"], WM_NULL, timeout_ms=20000)
        if not answer.get("done"):
            raise AssertionError("the program did not answer after the capture")

    def wait_burst_end(self, progress, keys=(VK_F12,)):
        """Once a held key is up: progress() (what the burst changes, such as a
        file count) holds still for a second, so the last capture finished;
        then the keys' pressed-since bits, which the held key's repeats leave
        set, are cleared, so the next tick starts no capture of its own."""
        def still_for_a_second():
            now = progress()
            return self.holds_still(lambda: progress() == now, 1.0)
        self.wait_until(still_for_a_second, timeout=30, what="the burst's end")
        self.probe("key-state", *keys)

    # ---- the mouse ------------------------------------------------------------

    def mouse_move(self, x, y):
        # A synchronous move onto the pointer's own place waits for a motion
        # that never comes.
        if self.cursor_position() != (x, y):
            self._run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def mouse_down(self, button=1):
        self._run(["xdotool", "mousedown", str(button)])

    def mouse_up(self, button=1):
        self._run(["xdotool", "mouseup", str(button)])

    def click(self, x, y, button=1):
        self.mouse_move(x, y)
        self._run(["xdotool", "click", str(button)])

    def window_under_pointer(self):
        """The top-level X window under the pointer (the window manager's frame
        around a managed window)."""
        out = self._run(["xdotool", "getmouselocation", "--shell"]).stdout.decode()
        return int(dict(line.split("=", 1) for line in out.split())["WINDOW"])

    def pointer_over(self, window_id):
        """True when the X window under the pointer is window_id or its frame."""
        under = self.window_under_pointer()
        if under == int(window_id):
            return True
        tree = self._run(["xwininfo", "-tree", "-id", str(under)], check=False).stdout.decode()
        if "(the root window)" in tree.strip().split("\n", 1)[0]:
            return False  # no window there: the root holds every window
        return re.search(r"\b0x%x\b" % int(window_id), tree) is not None

    def cursor_position(self):
        out = self._run(["xdotool", "getmouselocation", "--shell"]).stdout.decode()
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    # ---- keyboard focus -------------------------------------------------------

    def activate_x_window(self, window_id):
        """Activates an X window through the window manager, as a user's click
        on it does: the window manager raises it and hands it the keyboard
        focus, and Wine makes it the foreground window. On the bare display
        only the X keyboard focus can be given."""
        if self.window_manager:
            self._run(["xdotool", "windowactivate", "--sync", str(window_id)])
        else:
            self._run(["xdotool", "windowfocus", "--sync", str(window_id)])

    def focus_window(self, cls):
        """Activates the program's window of that class through the window
        manager and waits until the window is active in Wine."""
        window = self.wait_until(lambda: self.visible(cls), what="%s to show" % cls)
        self.activate_x_window(window["x11_window"])
        self.wait_until(lambda: self.probe("focus", "--hwnd", window["hwnd"])["active"] ==
                        window["hwnd"], what="%s active" % cls)
        return window

    def focus_of(self, window):
        """The child control of the window's thread's active window that holds
        the keyboard focus (a combo box for its edit field), or None."""
        return self.probe("focus", "--hwnd", window["hwnd"])["control"] or None
