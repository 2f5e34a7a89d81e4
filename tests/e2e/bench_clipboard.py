"""The clipboard, read both ways: through Win32 (the probe) and as X offers it;
other programs holding or reading it while a test runs."""

import contextlib
import json
import os
import subprocess
import threading

from bench_env import WINE
from image import Image


class ClipboardMixin:
    """Bench's part for the clipboard."""

    # ---- through Win32 --------------------------------------------------------

    def clipboard_info(self):
        return self.probe("clipboard-info")

    def clipboard_dib(self):
        """The clipboard's CF_DIB read through Win32, as an Image (None if absent)."""
        blob = self.clipboard_dib_bytes()
        return Image.from_bmp(blob) if blob else None

    def clipboard_dib_bytes(self):
        """The clipboard's CF_DIB read through Win32, as a BMP file's bytes
        (None if absent)."""
        path = os.path.join(self._tmp, "clipboard.bmp")
        answer = self.probe("clipboard-save", "--path", self.windows_path(path), check=False)
        if "error" in answer:
            return None
        with open(path, "rb") as f:
            return f.read()

    def clear_clipboard(self):
        return self.probe("clipboard-clear")

    # ---- other programs at it -------------------------------------------------

    @contextlib.contextmanager
    def clipboard_held(self, seconds=30, copy=None):
        """Keeps the clipboard open in another process for the with-block.
        With copy, the holder keeps it for the seconds given, writes that text
        and only then lets go; the block's end waits for it."""
        argv = [WINE, self.probe_exe, "hold-clipboard", "--seconds", str(seconds)]
        proc = self._spawn(argv + (["--copy", copy] if copy else []), stdout=subprocess.PIPE)
        try:
            line = proc.stdout.readline().decode(errors="replace")
            if '"held"' not in line:
                raise AssertionError("the probe could not open the clipboard: %r" % line)
            yield
            if copy:
                self.wait_until(lambda: proc.poll() is not None, timeout=seconds + 30,
                                what="the holder's copy")
        finally:
            self._end(proc)
            proc.stdout.close()

    @contextlib.contextmanager
    def clipboard_reader(self, seconds=120):
        """Another program reading the clipboard's image at every change, for
        the with-block. Yields the list its reads go into, one dict each
        (sequence, ms, width, height, crc: see pixel_crc()); complete once the
        block has ended."""
        with self._probe_lines("clipboard-reader", seconds, '"reading"') as reads:
            yield reads

    @contextlib.contextmanager
    def clipboard_history(self, seconds=120):
        """A stand-in for the system's clipboard history for the with-block: a
        clipboard-format listener that takes the image at every change not
        marked for exclusion. Yields the list of its changes, one dict each
        (sequence, ms, and taken or skipped); complete once the block has ended."""
        with self._probe_lines("clipboard-history", seconds, '"listening"') as changes:
            yield changes

    @contextlib.contextmanager
    def _probe_lines(self, command, seconds, started):
        """The probe's command running beside the program: waits for its first
        line (holding `started`), then collects every line about a clipboard
        change (those with a sequence number) until the with-block ends."""
        proc = self._spawn([WINE, self.probe_exe, command, "--seconds", str(seconds)],
                           stdout=subprocess.PIPE)
        lines = []
        first = proc.stdout.readline().decode(errors="replace")
        if started not in first:
            self._end(proc)
            raise AssertionError("the probe's %s did not start: %r" % (command, first))

        def collect():
            for raw in proc.stdout:
                with contextlib.suppress(ValueError):
                    line = json.loads(raw.decode("utf-8", errors="replace"))
                    if "sequence" in line:
                        lines.append(line)
        collector = threading.Thread(target=collect, daemon=True)
        collector.start()
        try:
            yield lines
        finally:
            self._end(proc)
            collector.join(timeout=10)

    # ---- as X offers it -------------------------------------------------------

    def clipboard_targets(self):
        out = self._run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"], check=False,
                        timeout=15)
        return out.stdout.decode(errors="replace").split() if out.returncode == 0 else []

    def clipboard_bmp(self):
        """The clipboard as X offers it (image/bmp), or None."""
        out = self._run(["xclip", "-selection", "clipboard", "-t", "image/bmp", "-o"], check=False,
                        timeout=15)
        if out.returncode != 0 or not out.stdout.startswith(b"BM"):
            return None
        return Image.from_bmp(out.stdout)
