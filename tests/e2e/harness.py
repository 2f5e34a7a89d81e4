"""The end-to-end bench: the real vistrel.exe under Wine on a private Xvfb.

One Bench per test class (setUpClass/tearDownClass); reset the program and the
configuration between tests with reset(). Everything is stdlib; the X side goes
through xdotool, xclip, xwininfo and ImageMagick, the Win32 side through the
probe (vistrel_probe.exe), which prints JSON.

Test files import from here only. Bench is put together from one part per
concern, each in a module of its own:
  bench_env        the repository, the executables, the Wine that runs them
  bench_process    Xvfb, the Wine server and prefix, spawned processes, waits
  bench_program    the program under test
  bench_settings   its settings file, Windows and Linux paths
  bench_probe      the probe: windows, controls, message boxes, menus, messages
  bench_fixture    the fixture window and its events
  bench_input      keys, hot keys, the mouse, the keyboard focus
  bench_tray       Wine's tray window and its icons
  bench_clipboard  the clipboard through Win32 and through X
  bench_screen     screenshots, X windows, the compositor
  image            the Image class (BMP and PPM decoding)

Environment:
  VISTREL_WINEPREFIX     the Wine prefix (default <repo>/build/wineprefix-<arch>)
  VISTREL_EXE            the program (default: the build that build/run_dir names,
                         else the newest build*/win64/vistrel.exe)
  VISTREL_TESTHOOKS_EXE  the program built with test hooks
  VISTREL_PROBE          the probe
  VISTREL_WINE_SLOT      a suffix for the prefix, so that test files can run side by side
  VISTREL_KEEP_BENCH=1   leave Xvfb and Wine running after stop() (debugging)
"""

import os
import shutil
import unittest

from bench_clipboard import ClipboardMixin
from bench_env import REPO, ROOT_COLOR, WINE, WINE_FONTS, WINEARCH, WINESERVER
from bench_fixture import FixtureMixin, fixture_color
from bench_input import VK_CONTROL, VK_F12, VK_INSERT, VK_MENU, VK_SHIFT, InputMixin
from bench_probe import TEST_ERROR_DATA, WM_CLOSE, WM_COPYDATA, WM_NULL, ProbeError, ProbeMixin
from bench_process import BenchProcess
from bench_program import ProgramMixin
from bench_screen import ScreenMixin
from bench_settings import SettingsMixin
from bench_tray import TrayMixin
from image import CONVERT, Image

__all__ = [
    "Bench", "BenchTestCase", "FolderTestCase", "Image", "ProbeError", "fixture_color",
    "CONVERT", "REPO", "ROOT_COLOR", "WINE", "WINE_FONTS", "WINEARCH", "WINESERVER",
    "VK_CONTROL", "VK_F12", "VK_INSERT", "VK_MENU", "VK_SHIFT",
    "TEST_ERROR_DATA", "WM_CLOSE", "WM_COPYDATA", "WM_NULL",
]


class Bench(ProgramMixin, SettingsMixin, ProbeMixin, FixtureMixin, InputMixin, TrayMixin,
            ClipboardMixin, ScreenMixin, BenchProcess):
    """Xvfb + Wine prefix + the program, its configuration, input and inspection."""


class BenchTestCase(unittest.TestCase):
    """One bench for a whole test class: Xvfb, the Wine server and the prefix
    are started once; tests reset the program and its configuration."""

    bench_size = (1280, 800)
    window_manager = True  # openbox on the display; False for the bare display
    second_head = None     # "right" or "left" of the primary: two monitors
    locale = None          # LANG and LC_ALL for Wine, e.g. "hi_IN.UTF-8"; None: C.UTF-8

    @classmethod
    def setUpClass(cls):
        cls.bench = Bench(*cls.bench_size, window_manager=cls.window_manager,
                          second_head=cls.second_head, locale=cls.locale)
        cls.addClassCleanup(cls.bench.stop)
        cls.bench.start()


class FolderTestCase(BenchTestCase):
    """A bench test of what the program writes into one Windows folder,
    `folder_win`: `root` is its Linux path, emptied before every test and
    removed after the class; a message box a test leaves open is closed."""

    folder_win = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.root = cls.bench.linux_path(cls.folder_win)
        cls.addClassCleanup(shutil.rmtree, cls.root, ignore_errors=True)

    def setUp(self):
        self.bench.reset()
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)

    def tearDown(self):
        if self.bench.msgboxes():
            self.bench.close_msgboxes()
