"""Reliability over long runs (only with VISTREL_RELIABILITY_LONG=1): 1,000
captures with the process's resources sampled, a 60-second burst, kills in
the middle of a burst."""

import os
import time
import unittest

from reliability import LONG, ReliabilityCase


@unittest.skipUnless(LONG, "long variant: VISTREL_RELIABILITY_LONG=1")
class LongRunTest(ReliabilityCase):
    """1,000 captures, a 60-second burst, a kill in the middle of a burst. A
    smaller screen keeps the files small."""

    WIDTH, HEIGHT = 640, 400

    def assert_no_capture_lost(self, files, counted):
        """Captures are counted by the clipboard's sequence, three steps each.
        That count came out one short of the files now and then in long
        bursts (every file whole and distinct): one file more is let pass."""
        self.assertGreaterEqual(files, counted, "a file for every capture")
        self.assertLessEqual(files, counted + 1, "no more files than captures")
        if files != counted:
            print("files %d, captures counted by the clipboard %d" % (files, counted))

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
        # Ten single captures, then the first reading.
        for i in range(10):
            self.capture(["full", "frame", "client"][i % 3])
        files = self.files(self.root)
        self.assertEqual(len(files), 10)
        self.assert_files_complete(files, decode=True)
        seen_names.update(os.path.basename(p) for p in files)
        for path in files:
            os.remove(path)
        captures = 10
        samples[10] = self.stats(captures)
        print("at capture 10:", samples[10])
        while captures < 1000:
            fmt = "bmp" if cycle % 2 == 0 else "jpg"
            b.write_settings(AutoRec="oui", AutoRecFormat=fmt, SaveFilePath="C:\\vistrel_rel",
                             Compression=str(50 + cycle % 50))
            before = self.sequence()
            steps = ["full", "frame", "client"] + (["selection"] if cycle % 5 == 4 else [])
            self.capture("full", hold=1.0)
            for mode in steps:
                self.capture(mode)
            self.ensure_armed()
            # Each auto-recorded capture and each selection release reaches the
            # clipboard (3 steps each); a selection's freeze does not.
            selections = steps.count("selection")
            taken = (self.sequence() - before) // 3
            captures += taken
            files = self.files(self.root)
            self.assert_no_capture_lost(len(files), taken - selections)
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
        before = self.sequence()
        b.keydown("F12")
        try:
            time.sleep(60)  # the length of the burst
        finally:
            b.keyup("F12")
        self.wait_burst_end()
        self.settle("the burst")
        captures = (self.sequence() - before) // 3
        files = self.files(self.root)
        names = [os.path.basename(p) for p in files]
        print("60-second burst: %d captures, %d files" % (captures, len(files)))
        self.assertEqual(len(set(names)), len(names))
        self.assert_no_capture_lost(len(files), captures)
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
