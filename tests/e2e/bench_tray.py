"""Wine's system tray window ("Wine System Tray"), seen from the X side."""

import re


class TrayMixin:
    """Bench's part for the tray and its icons."""

    def tray_x_window(self):
        """The X window id of Wine's tray window, shown or not, or None."""
        out = self._run(["xwininfo", "-root", "-tree"], check=False).stdout.decode(errors="replace")
        for line in out.splitlines():
            if '"Wine System Tray"' in line:
                return line.split()[0]
        return None

    def tray_window(self):
        """Geometry (x, y, w, h) of Wine's tray window while it is shown, else None."""
        out = self._run(["xwininfo", "-root", "-tree"], check=False).stdout.decode(errors="replace")
        for line in out.splitlines():
            if '"Wine System Tray"' in line:
                wid = line.split()[0]
                info = self._run(["xwininfo", "-id", wid], check=False).stdout.decode()
                if "IsViewable" not in info:
                    return None
                m = re.search(r"-geometry (\d+)x(\d+)[+-](-?\d+)[+-](-?\d+)", info)
                ax = re.search(r"Absolute upper-left X:\s+(-?\d+)", info)
                ay = re.search(r"Absolute upper-left Y:\s+(-?\d+)", info)
                if m and ax and ay:
                    return (int(ax.group(1)), int(ay.group(1)), int(m.group(1)), int(m.group(2)))
        return None

    def tray_icon(self, index=0):
        """Screen centre (x, y) of a tray icon (the first by default), or None.
        Icons sit side by side in 20 x 20 cells from the tray window's left."""
        tray = self.tray_window()
        if tray is None:
            return None
        x, y, w, h = tray
        cell = h
        if (index + 1) * cell > w:
            return None
        return (x + index * cell + cell // 2, y + h // 2)

    def click_tray_icon(self, button=1):
        position = self.wait_until(self.tray_icon, what="the tray icon")
        self.click(position[0], position[1], button)

    def restart_shell(self):
        """As Explorer starting again: the program's icon is forgotten and
        "TaskbarCreated" is broadcast."""
        return self.probe("shell-restart", "--hwnd", self.window("TForm1")["hwnd"])
