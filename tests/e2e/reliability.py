"""What the reliability tests share: a bench with the program on hand-written
settings, the checks every group makes, and the auto-record files' names.

The test_reliability_* files run their quick part by default (a few
representative cases of each kind). VISTREL_RELIABILITY_LONG=1 adds the long
variants: many generated settings files, 1,000 captures with the process's
resources sampled, a 60-second burst and a kill in the middle of a burst;
scripts/test_long.sh runs them all (run_reliability.py) through ctest with a
limit of their own.

Throughout: the program never crashes or stops answering, every message box it
shows carries one of its known messages, one box at a time, and every file it
leaves behind is complete (only a file being written when the disk filled or
the program was killed may be short)."""

import contextlib
import os
import re
import shutil
import subprocess
import time
import unittest

from harness import VK_CONTROL, VK_F12, VK_MENU, VK_SHIFT, WM_NULL, Bench

HELD_KEYS = (VK_SHIFT, VK_CONTROL, VK_MENU, VK_F12)  # the hot key and the mode modifiers

CAPTURES_TAKEN = 0x8000 + 0x59  # WM_APP + 0x59: the test-hook build's count of captures
LONG = os.environ.get("VISTREL_RELIABILITY_LONG") == "1"

NAME = re.compile(r"^\d\d\.\d\d\.\d{4} à \d\dh \d\dm \d\ds \d{3}'\.(bmp|jpg)$")

# Every text a box of the program may carry, with its full stop.
KNOWN_MESSAGES = [re.compile(p, re.S) for p in (
    r"^Impossible d'ouvrir le Presse-papiers\.$",
    r"^'.*' n'est pas une valeur entière correcte\.$",
    r'^Impossible de créer le fichier ".*"\. .*$',
    r"^Erreur d'écriture dans le flux\.$",
    r"^Impossible d'affecter TPicture à TBitmap\.$",
    r"^Erreur JPEG #\d+\.$",
    r"^Impossible d'écrire dans Vistrel\.cfg\.$",
    r"^Paramètres réinitialisés\.$",
)]

MODES = {"full": (), "frame": ("alt",), "client": ("ctrl",), "selection": ("shift",)}

HOSTILE_ROOT = "C:\\vistrel_hostile"  # SaveFilePath of the generated files
CWD = "C:\\vistrel_cwd"               # the program's current folder: relative folders land here


def captures_in_burst(steps):
    """How many captures one burst made, from the steps it moved the
    clipboard's sequence number on: its first capture 3 (empty, bitmap,
    close), each one after 5 (two marks for the clipboard's history too), and
    at its end 3 more when it made more than one, for its last capture put
    there again without the marks."""
    if steps <= 3:
        return steps // 3
    return (steps - 1) // 5


def bmp_complete(data):
    """A BMP whose header's file size is its length and whose pixels are all there."""
    if len(data) < 54 or data[:2] != b"BM":
        return False
    size = int.from_bytes(data[2:6], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    bpp = int.from_bytes(data[28:30], "little")
    offset = int.from_bytes(data[10:14], "little")
    return (size == len(data) and width > 0 and height != 0 and
            offset + ((width * bpp + 31) // 32) * 4 * abs(height) == len(data))


def jpeg_complete(data):
    return data[:3] == b"\xff\xd8\xff" and data[-2:] == b"\xff\xd9"


def file_complete(path, decode=False):
    """Complete: a 0-byte file (a 0 x 0 capture), a whole BMP or a whole JPEG;
    with decode, ImageMagick reads it too."""
    with open(path, "rb") as f:
        data = f.read()
    if not data:
        return True
    ok = bmp_complete(data) if path.endswith(".bmp") else jpeg_complete(data)
    if ok and decode:
        ok = subprocess.run(["/usr/bin/identify", path], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, timeout=60).returncode == 0
    return ok



class ReliabilityCase(unittest.TestCase):
    """A bench, the program, and the checks every group shares."""

    WIDTH, HEIGHT = 1280, 800
    window_manager = True  # openbox on the display; False for the bare display
    COUNTED = False  # the test-hook build in place of vistrel.exe

    @classmethod
    def setUpClass(cls):
        cls.bench = Bench(cls.WIDTH, cls.HEIGHT, window_manager=cls.window_manager)
        cls.bench.start()
        cls.cwd = cls.bench.linux_path(CWD)
        cls.hostile_root = cls.bench.linux_path(HOSTILE_ROOT)
        cls.root = cls.bench.linux_path("C:\\vistrel_rel")

    @classmethod
    def tearDownClass(cls):
        for folder in (cls.cwd, cls.hostile_root, cls.root):
            shutil.rmtree(folder, ignore_errors=True)
        cls.bench.stop()

    def setUp(self):
        self.bench.reset()
        for folder in (self.cwd, self.hostile_root, self.root):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
        self.boxes = []  # every box text met, in order
        self._started = time.monotonic()

    def tearDown(self):
        print("[%.1f s]" % (time.monotonic() - self._started), end=" ", flush=True)
        with contextlib.suppress(Exception):
            self.bench.keyup("F12")
        if self.bench.program_running() and self.bench.msgboxes():
            self.bench.close_msgboxes()

    # ---- the program -------------------------------------------------------------

    def start(self, config=None, **settings):
        """The program started on these settings (raw bytes or keys), armed,
        the fixture in the foreground; a box at start-up is taken. With
        COUNTED, the test-hook build, which tells how many captures it took."""
        b = self.bench
        if config is not None:
            with open(b.config_path, "wb") as f:
                f.write(config)
        elif settings:
            b.write_settings(**settings)
        if b._fixture is None:
            b.start_fixture()
        b.start_program(b.testhooks_exe if self.COUNTED else None, cwd=self.cwd)
        self.settle("start-up")
        self.activate_fixture()

    def form(self, cls):
        return self.bench.window(cls)

    def assert_alive(self, what):
        """Running, and its window answers a sent message within 10 s."""
        b = self.bench
        self.assertTrue(b.program_running(), "the program ended (%s): status %s"
                        % (what, b.program_exit_code()))
        answer = b.send_message(self.form1_hwnd(), WM_NULL, timeout_ms=10000)
        self.assertTrue(answer["done"], "the program does not answer (%s)" % what)

    def form1_hwnd(self):
        """TForm1's handle, asked once per program run."""
        b = self.bench
        if getattr(self, "_form1", (None, None))[0] != b.program_pid:
            self._form1 = (b.program_pid, self.form("TForm1")["hwnd"])
        return self._form1[1]

    def wait_burst_end(self):
        self.bench.wait_burst_end(lambda: (self.sequence(), len(self.written_files())), HELD_KEYS)

    def clear_keys(self):
        """Clears the pressed-since bits, so nothing left over starts a capture
        or chooses a mode."""
        self.bench.probe("key-state", *HELD_KEYS)

    def settle(self, what, most=1):
        """Once the program answers again: the boxes it opened, each checked
        (known text, alone on screen) and closed; at most `most` of them."""
        b = self.bench
        met = []
        for _ in range(most + 3):
            self.assert_alive(what)
            boxes = b.msgboxes()
            if not boxes:
                break
            self.assertEqual(len(boxes), 1, "boxes stacked (%s): %s" % (what, boxes))
            text = boxes[0]["text"]
            self.assertEqual(boxes[0]["caption"], "Vistrel")
            self.assertTrue(any(p.match(text) for p in KNOWN_MESSAGES),
                            "unknown message (%s): %r" % (what, text[:300]))
            met.append(text)
            self.clear_keys()
            b.close_msgboxes()
        self.assertLessEqual(len(met), most, "the same failure shown again (%s): %s"
                             % (what, [t[:120] for t in met]))
        self.boxes += met
        return met

    def activate_fixture(self):
        """The fixture in the foreground with the keyboard, as a click gives it."""
        self.bench.activate_fixture()

    def ensure_armed(self):
        """Back in the tray: "Run" on the preview window when it shows (which
        also hides an overlay left from a selection)."""
        b = self.bench
        form1 = b.window("TForm1", children=True)
        if form1["visible"]:
            # A held key's repeats leave its pressed-since bit set: it would
            # capture again at the first tick after arming.
            self.clear_keys()
            run = next(c for c in form1["children"] if c["text"] == "Run")
            b.click_control(run["hwnd"])
            b.wait_until(lambda: not self.form("TForm1")["visible"] and b.tray_icon(),
                         what="the program re-armed")
            self.settle("Run")

    def armed(self):
        return not self.form("TForm1")["visible"] and self.bench.tray_icon() is not None

    def captures_taken(self):
        """The captures the program grabbed since it started (COUNTED)."""
        b = self.bench
        return b.send_message(b.window("VistrelTestHooks")["hwnd"], CAPTURES_TAKEN)["result"]

    def sequence(self):
        """The clipboard's sequence number, read without opening it."""
        return self.bench.probe("clipboard-sequence")["sequence"]

    def capture(self, mode, hold=None):
        """One capture in that mode (a burst when hold seconds are given),
        a selection dragged out and released in selection mode; the boxes
        it met are checked and closed."""
        b = self.bench
        self.ensure_armed()
        if b.probe("info")["foreground"] != b.fixture["hwnd"]:
            self.activate_fixture()
        else:
            b.focus_fixture()
        self.clear_keys()
        before = self.sequence()
        if hold:
            b.keydown("F12")
            try:
                b.wait_until(lambda: self.sequence() != before or b.msgboxes(), timeout=15,
                             what="a capture of the burst")
                time.sleep(hold)  # the length of the burst, not a wait for a result
            finally:
                b.keyup("F12")
            self.wait_burst_end()
        else:
            b.press_hotkey("F12", MODES[mode])
        if mode == "selection":
            # Dragged once the frozen screen is on the screen, as a user does:
            # Wine calls a window visible a moment before its X window is
            # mapped, and a press in that moment goes to what lies beneath.
            shown = b.wait_until(lambda: (self.form("TForm4")["visible"] and
                                          b.x_window_shown("Form4")) or b.msgboxes(),
                                 timeout=15, what="the overlay")
            if shown is True:
                before = self.sequence()
                b.mouse_move(400, 420)
                b.mouse_down(1)
                b.mouse_move(450, 460)
                b.mouse_move(520, 500)
                b.mouse_up(1)
        b.wait_until(lambda: self.sequence() != before or b.msgboxes(), timeout=15,
                     what="the %s capture" % mode)
        return self.settle("%s capture" % mode)

    def files(self, folder):
        found = []
        for top, _, names in os.walk(folder):
            found += [os.path.join(top, n) for n in names if NAME.match(n)]
        return sorted(found)

    def written_files(self):
        """Every auto-record file under the places hostile folders reach."""
        drive_c = self.bench.linux_path("C:\\")
        loose = [os.path.join(drive_c, n) for n in os.listdir(drive_c) if NAME.match(n)]
        return loose + self.files(self.cwd) + self.files(self.hostile_root) + self.files(self.root)

    def assert_files_complete(self, files, decode=False):
        for path in files:
            self.assertTrue(file_complete(path, decode), "incomplete file %s (%d bytes)"
                            % (path, os.path.getsize(path)))
