"""Reliability over long runs: the handles the program holds after windows
opened and closed and captures taken (a few rounds, 1,000 with the long
variant), and only with VISTREL_RELIABILITY_LONG=1: 1,000 captures with the
process's resources sampled, a 60-second burst, kills in the middle of a burst."""

import os
import shutil
import time
import unittest

from harness import VK_F12, VK_SHIFT, BenchTestCase
from prefs_helpers import ABOUT_LAYOUT, PREFERENCES_LAYOUT, PrefsDriver, layout_rect
from reliability import LONG, NAME, ReliabilityCase

HANDLES_HELD = 0x8000 + 0x57  # WM_APP + 0x57: the test-hook build's tally, by kind
HANDLE_KINDS = ("menus", "icons", "GDI objects")


class HandleTallyTest(BenchTestCase):
    """Every window opened and closed as a user does, and every capture,
    gives back what it made: the handles the program's owners hold are as
    many after the rounds as after the first."""

    ROUNDS = 1000 if LONG else 4
    FOLDER = "C:\\vistrel_tally"

    def setUp(self):
        b = self.bench
        b.reset()
        self.root = b.linux_path(self.FOLDER)
        shutil.rmtree(self.root, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        b.write_settings(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath=self.FOLDER)
        b.start_fixture()
        b.start_testhooks_program()
        self.trigger = b.window("VistrelTestHooks")["hwnd"]

    def held(self):
        return tuple(self.bench.send_message(self.trigger, HANDLES_HELD, kind)["result"]
                     for kind in range(len(HANDLE_KINDS)))

    def files(self):
        return [n for n in os.listdir(self.root) if NAME.match(n)] if os.path.isdir(self.root) else []

    def click_in(self, window, layout, name):
        b = self.bench
        if window.get("x11_window"):
            # Once Wine and X agree on the window's place (the map race under
            # load), as click_control waits for it.
            def wine_rects():
                now = b.window(window["class"])
                return (now["rect"], now["client"])
            b.wait_placed(window["x11_window"], wine_rects)
        left, top, right, bottom = layout_rect(layout, name)
        client = window["client"]
        b.click(client[0] + (left + right) // 2, client[1] + (top + bottom) // 2)

    def wait_x(self, title, shown):
        self.bench.wait_until(lambda: self.bench.x_window_shown(title) == shown,
                              what="%s %s" % (title, "shown" if shown else "hidden"))

    def keys_to_the_fixture(self):
        b = self.bench
        b._run(["xdotool", "windowactivate", "--sync", b.fixture_window_id()])
        b.probe("key-state", VK_F12, VK_SHIFT)

    def one_round(self, places):
        """The preferences from the tray, the about window and back, "Annuler";
        a selection's frozen screen and "Run"; one auto-recorded capture."""
        b = self.bench
        b.click_tray_icon(3)
        b.click_menu_item("Config")
        self.wait_x(places["prefs_title"], True)
        self.click_in(places["prefs"], PREFERENCES_LAYOUT, "Infos")
        self.wait_x(places["about_title"], True)
        self.click_in(places["about"], ABOUT_LAYOUT, "Button1")
        self.wait_x(places["about_title"], False)
        self.wait_x(places["prefs_title"], True)
        self.click_in(places["prefs"], PREFERENCES_LAYOUT, "Annuler")
        self.wait_x(places["prefs_title"], False)

        self.keys_to_the_fixture()
        b.press_hotkey("F12", "shift")
        self.wait_x("Form4", True)
        # Clicked once the preview shows above the frozen screen, as a user sees it
        # (made active first where openbox holds the active frozen screen above
        # it, as the click would make it; see click_control).
        shown = lambda: b.screenshot().pixel(*places["run"]) == places["run_pixel"]
        try:
            b.wait_until(shown, timeout=2, what="the preview above the frozen screen")
        except AssertionError:
            b.activate_x_window(b.window("TForm1")["x11_window"])
            b.wait_until(shown, what="the preview above the frozen screen")
        b.click(*places["run"])
        self.wait_x("Form4", False)
        b.wait_until(b.tray_icon, what="armed again")

        self.keys_to_the_fixture()
        count = len(self.files())
        b.press_hotkey("F12")
        b.wait_until(lambda: len(self.files()) > count, what="the capture's file")

    def test_windows_opened_and_closed_and_captures_leave_no_handle_behind(self):
        b = self.bench
        # The places the rounds click, found once: no window moves.
        prefs = PrefsDriver(self, b)
        prefs.open_from_tray()
        places = {"prefs": b.window("TForm2"), "prefs_title": "  Préférences..."}
        prefs.open_about()
        places.update(about=b.window("TForm3"), about_title="  About...")
        self.click_in(places["about"], ABOUT_LAYOUT, "Button1")
        prefs.shown("TForm2")
        self.click_in(places["prefs"], PREFERENCES_LAYOUT, "Annuler")
        prefs.hidden("TForm2")
        self.keys_to_the_fixture()
        b.press_hotkey("F12", "shift")
        b.wait_until(lambda: b.visible("TForm1"), what="the preview window")
        run = b.probe("screen-rect", "--hwnd", b.child("TForm1", text="Run")["hwnd"])["rect"]
        places["run"] = ((run[0] + run[2]) // 2, (run[1] + run[3]) // 2)
        places["run_pixel"] = b.screenshot().pixel(*places["run"])
        b.click(*places["run"])
        b.wait_until(b.tray_icon, what="armed again")

        self.one_round(places)
        first = self.held()
        started = time.monotonic()
        for _ in range(self.ROUNDS - 1):
            self.one_round(places)
        last = self.held()
        print("handles held after round 1: %s, after round %d: %s (%.1f s a round)"
              % (dict(zip(HANDLE_KINDS, first)), self.ROUNDS, dict(zip(HANDLE_KINDS, last)),
                 (time.monotonic() - started) / max(self.ROUNDS - 1, 1)))
        self.assertEqual(last, first)
        self.assertEqual(len(self.files()), self.ROUNDS)
        self.assertEqual(b.msgboxes(), [])


@unittest.skipUnless(LONG, "long variant: VISTREL_RELIABILITY_LONG=1")
class LongRunTest(ReliabilityCase):
    """1,000 captures, a 60-second burst, a kill in the middle of a burst. A
    smaller screen keeps the files small."""

    WIDTH, HEIGHT = 640, 400
    COUNTED = True

    def assert_no_capture_lost(self, taken):
        """The program's own count of its captures: a file for each (the last
        may still be on its way), no more. Returns the files."""
        self.bench.wait_until(lambda: len(self.files(self.root)) >= taken, timeout=30,
                              what="a file for each of %d captures" % taken)
        files = self.files(self.root)
        self.assertEqual(len(files), taken, "a file for every capture, and no other")
        return files

    def stats(self, captures):
        b = self.bench
        linux = b.program_linux_stats()
        win = b.gui_resources()
        return dict(captures=captures, vm_rss_kb=linux["VmRSS"], vm_size_kb=linux["VmSize"],
                    fds=linux["fds"], working_set=win["working_set"], gdi=win["gdi"],
                    user=win["user"], handles=win["handles"], private_bytes=win["private_bytes"])

    def test_a_thousand_captures_keep_resources_flat_and_files_whole(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        captures, samples, checked, cycle = 0, {}, 0, 0
        seen_names = set()
        # Ten presses, then the first reading. A press that outlasts a
        # capture under load is a burst of two.
        before = self.captures_taken()
        for i in range(10):
            self.capture(["full", "frame", "client"][i % 3])
        files = self.assert_no_capture_lost(self.captures_taken() - before)
        self.assertGreaterEqual(len(files), 10)
        self.assert_files_complete(files, decode=True)
        seen_names.update(os.path.basename(p) for p in files)
        for path in files:
            os.remove(path)
        captures = len(files)
        samples[10] = self.stats(captures)
        print("at capture %d:" % captures, samples[10])
        while captures < 1000:
            fmt = "bmp" if cycle % 2 == 0 else "jpg"
            b.write_settings(AutoRec="oui", AutoRecFormat=fmt, SaveFilePath="C:\\vistrel_rel",
                             Compression=str(50 + cycle % 50))
            before = self.captures_taken()
            steps = ["full", "frame", "client"] + (["selection"] if cycle % 5 == 4 else [])
            self.capture("full", hold=1.0)
            for mode in steps:
                self.capture(mode)
            self.ensure_armed()
            # A selection is no file, and its frozen screen no capture.
            taken = self.captures_taken() - before
            captures += taken + steps.count("selection")
            files = self.assert_no_capture_lost(taken)
            for path in files:
                self.assertNotIn(os.path.basename(path), seen_names)
                seen_names.add(os.path.basename(path))
            self.assert_files_complete(files, decode=(cycle % 10 == 0))
            checked += len(files)
            for path in files:
                os.remove(path)
            cycle += 1
        samples[1000] = self.stats(captures)
        print("at capture %d:" % captures, samples[1000])
        self.assertEqual(self.boxes, [])
        first, last = samples[10], samples[1000]
        self.assertLessEqual(last["fds"] - first["fds"], 4, "file descriptors stay flat")
        self.assertLess(last["vm_rss_kb"] - first["vm_rss_kb"], 40 * 1024, "memory stays flat")

    def test_a_sixty_second_burst_loses_no_capture(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        self.clear_keys()
        before = self.captures_taken()
        b.keydown("F12")
        try:
            time.sleep(60)  # the length of the burst
        finally:
            b.keyup("F12")
        self.wait_burst_end()
        self.settle("the burst")
        captures = self.captures_taken() - before
        print("60-second burst: %d captures, %d files" % (captures, len(self.files(self.root))))
        files = self.assert_no_capture_lost(captures)
        names = [os.path.basename(p) for p in files]
        self.assertEqual(len(set(names)), len(names))
        self.assert_files_complete(files)
        self.assertEqual(self.boxes, [])

    def test_a_kill_during_a_burst_leaves_earlier_files_whole(self):
        b = self.bench
        self.start(AutoRec="oui", AutoRecFormat="bmp", SaveFilePath="C:\\vistrel_rel")
        size = 54 + 4 * b.width * b.height
        for round_ in range(3):
            with self.subTest(round=round_):
                if not b.program_running():
                    b.start_program(cwd=self.cwd)
                    self.activate_fixture()
                self.clear_keys()
                b.keydown("F12")
                try:
                    b.wait_until(lambda: len(self.files(self.root)) >= 8 + round_ * 3, timeout=60,
                                 what="a burst under way")
                    b.stop_program()
                finally:
                    b.keyup("F12")
                files = self.files(self.root)
                short = [p for p in files if os.path.getsize(p) != size]
                self.assertLessEqual(len(short), 1, "at most the file being written is short")
                if short:
                    self.assertEqual(short[0], files[-1], "only the last file")
                self.assert_files_complete([p for p in files if p not in short])
                for p in files:
                    os.remove(p)


if __name__ == "__main__":
    unittest.main()
