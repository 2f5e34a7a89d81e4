"""The program's settings file in the prefix, and the ways between Windows and
Linux paths."""

import contextlib
import os
import re
import shutil

from bench_env import WINE

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"


class SettingsMixin:
    """Bench's part for Vistrel.cfg and the prefix's folders."""

    # ---- configuration --------------------------------------------------------

    @property
    def windows_dir(self):
        return os.path.join(self.prefix, "drive_c", "windows")

    @property
    def config_path(self):
        return os.path.join(self.windows_dir, "Vistrel.cfg")

    def write_config(self, text, crlf=True, encoding="cp1252"):
        data = text.replace("\r\n", "\n")
        if crlf:
            data = data.replace("\n", "\r\n")
        with open(self.config_path, "wb") as f:
            f.write(data.encode(encoding))

    def write_settings(self, **keys):
        """[Settings] with the given keys in order, e.g. write_settings(Vistrel="F11")."""
        lines = ["[Settings]"] + ["%s=%s" % (k, v) for k, v in keys.items()]
        self.write_config("\n".join(lines) + "\n")

    def read_config(self, encoding="cp1252"):
        """The file's text (CRLF kept), or None when it does not exist."""
        raw = self.read_config_bytes()
        return None if raw is None else raw.decode(encoding)

    def read_config_bytes(self):
        try:
            with open(self.config_path, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def read_settings(self):
        """The [Settings] keys as a dict (names as written), or None without a file."""
        text = self.read_config()
        if text is None:
            return None
        values, section = {}, None
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].strip().lower()
            elif section == "settings" and "=" in line:
                key, value = line.split("=", 1)
                values[key.strip()] = value.strip()
        return values

    def remove_config(self):
        with contextlib.suppress(FileNotFoundError):
            os.remove(self.config_path)

    # ---- paths ----------------------------------------------------------------

    @property
    def documents_dir(self):
        """C:\\users\\<user>\\Documents on the Linux side."""
        users = os.path.join(self.prefix, "drive_c", "users")
        for name in sorted(os.listdir(users)) if os.path.isdir(users) else []:
            if name != "Public" and os.path.isdir(os.path.join(users, name, "Documents")):
                return os.path.join(users, name, "Documents")
        return os.path.join(users, os.environ.get("USER", "root"), "Documents")

    @contextlib.contextmanager
    def documents_folder(self, win_path):
        """The profile's Documents folder (the shell's "Personal") is win_path
        for the block, made inside the prefix; then the value before comes
        back and the folders made for it go. Yields its Linux path."""
        folder = self.linux_path(win_path)
        made = None  # the outermost folder made here
        if not os.path.exists(folder):
            made = folder
            while not os.path.exists(os.path.dirname(made)):
                made = os.path.dirname(made)
        before = self._shell_folder("Personal")
        os.makedirs(folder, exist_ok=True)
        try:
            self._set_shell_folder("Personal", win_path)
            yield folder
        finally:
            self._set_shell_folder("Personal", before)
            if made:
                shutil.rmtree(made, ignore_errors=True)

    def _shell_folder(self, name):
        out = self._run([WINE, "reg", "query", SHELL_FOLDERS, "/v", name], check=False)
        found = re.search(r"^\s+%s\s+REG_\w+\s+(.*?)\s*$" % re.escape(name),
                          out.stdout.decode("utf-8", errors="replace"), re.M)
        return found.group(1) if found else None

    def _set_shell_folder(self, name, value):
        if value is None:
            self._run([WINE, "reg", "delete", SHELL_FOLDERS, "/v", name, "/f"], check=False)
        else:
            self._run([WINE, "reg", "add", SHELL_FOLDERS, "/v", name, "/t", "REG_EXPAND_SZ",
                       "/d", value, "/f"])

    def linux_path(self, win_path):
        drive, rest = win_path[:2].upper(), win_path[2:].replace("\\", "/").lstrip("/")
        if drive == "C:":
            return os.path.join(self.prefix, "drive_c", rest)
        if drive == "Z:":
            return "/" + rest
        raise ValueError("no Linux path for %r" % win_path)

    def windows_path(self, linux_path):
        linux_path = os.path.abspath(linux_path)
        drive_c = os.path.join(self.prefix, "drive_c")
        if linux_path == drive_c or linux_path.startswith(drive_c + "/"):
            return "C:\\" + os.path.relpath(linux_path, drive_c).replace("/", "\\").lstrip(".")
        return "Z:" + linux_path.replace("/", "\\")
