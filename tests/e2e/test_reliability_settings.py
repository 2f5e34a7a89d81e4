"""Reliability with hand-edited settings files: generated files of odd values,
odd layouts, overlong values and noise; the program starts, arms, captures in
every mode, auto-records and opens its preferences on each without crashing or
hanging. VISTREL_RELIABILITY_SEED changes the generator's seed."""

import os
import random
import time
import unittest

from prefs_helpers import PrefsDriver
from reliability import HOSTILE_ROOT, LONG, MODES, ReliabilityCase

SEED = int(os.environ.get("VISTREL_RELIABILITY_SEED", "20261208"))

KEYS = ["AutoRec", "AutoRecFormat", "SaveFilePath", "Compression", "Vistrel", "BordBlanc"]
ODD_VALUES = ["OUI", "Non", "", "png", "BMP", "abc", "150", "-5", "050",
              "Touche" + "x" * 54]  # the last: a hot-key name of 60 characters
GOOD_VALUES = {"AutoRec": "oui", "AutoRecFormat": "bmp", "SaveFilePath": None,
               "Compression": "85", "Vistrel": "F12", "BordBlanc": "oui"}


def _line(rng, key, value):
    """One key line with blanks or quotes around "=" and the value, at random."""
    blank = lambda: rng.choice(["", " ", "  ", "\t"])  # noqa: E731
    quote = rng.choice(["", "", '"', "'"])
    return "%s%s%s=%s%s%s%s%s" % (blank(), key, blank(), blank(), quote, value, quote, blank())


def _join(rng, lines):
    """Lines with CR, LF or CRLF ends, mixed or not."""
    ends = ["\r\n", "\n", "\r"]
    mixed = rng.random() < 0.3
    end = rng.choice(ends)
    return "".join(line + (rng.choice(ends) if mixed else end) for line in lines)


def hostile_config(rng, kind, folder):
    """The bytes of one generated Vistrel.cfg of the given kind."""
    if kind == "random":
        size = rng.choice([16, 300, 4000, 70000])
        data = bytearray(rng.getrandbits(8) for _ in range(size))
        # Often with a real header somewhere in it, so the readers meet the noise.
        if rng.random() < 0.7:
            at = rng.randrange(len(data))
            data[at:at] = b"\r\n[Settings]\r\nAutoRec=oui\r\n" + bytes(
                rng.getrandbits(8) for _ in range(64))
        return bytes(data)
    if kind == "odd":
        # Every key with one of the odd values; files differ in which.
        shift = rng.randrange(len(ODD_VALUES))
        lines = ["[Settings]"] + ["%s=%s" % (k, ODD_VALUES[(shift + 3 * i) % len(ODD_VALUES)])
                                  for i, k in enumerate(KEYS)]
        return _join(rng, lines).encode("cp1252")
    if kind == "long":
        lengths = [2047, 2048, 100000]
        lines = ["[Settings]"]
        for key in KEYS:
            n = rng.choice(lengths)
            if key == "SaveFilePath":
                value = folder + "\\" + "d" * n
            elif key == "Compression":
                value = rng.choice(["1" * n, "0" * (n - 2) + "85"])
            else:
                value = rng.choice("abcF12o") * n
            lines.append("%s=%s" % (key, value))
        if rng.random() < 0.5:
            lines.append("%s=%s" % (rng.choice(KEYS), "z" * rng.choice(lengths)))
        return _join(rng, lines).encode("cp1252")
    if kind == "layout":
        # Repeated keys, blanks and quotes, a second Settings section, other
        # sections around, keys in other letter cases.
        lines = []
        if rng.random() < 0.5:
            lines += ["[Autre]", "AutoRec=non", "Compression=abc", ""]
        for copy in range(rng.choice([1, 2])):
            lines.append(rng.choice(["[Settings]", "[settings]", " [Settings] ", "[SETTINGS]"]))
            for key in rng.sample(KEYS, len(KEYS)):
                good = GOOD_VALUES[key] if GOOD_VALUES[key] is not None else folder
                value = good if rng.random() < 0.6 else rng.choice(ODD_VALUES)
                name = rng.choice([key, key.upper(), key.lower()])
                lines.append(_line(rng, name, value))
                if rng.random() < 0.3:
                    lines.append(_line(rng, key, rng.choice(ODD_VALUES)))
                if rng.random() < 0.2:
                    lines.append(rng.choice(["", "   ", "; note", "=sans clé", "ligne sans égal"]))
        if rng.random() < 0.5:
            lines += ["[Fin]", "Vistrel=F1", "x=y"]
        return _join(rng, lines).encode("cp1252")
    raise ValueError(kind)


def hostile_configs(seed, count):
    """count files, kinds in turn; the first four are one of each kind."""
    rng = random.Random(seed)
    kinds = ["odd", "layout", "long", "random"]
    folder = HOSTILE_ROOT + "\\shots"
    return [("%s-%d" % (kinds[i % 4], i), hostile_config(rng, kinds[i % 4], folder))
            for i in range(count)]


class HostileSettingsTest(ReliabilityCase):
    """Hand-edited settings files: start, arm, capture in every mode, auto-record,
    preferences opened and closed; nothing crashes or hangs."""

    def exercise(self, name, config, modes=tuple(MODES)):
        b = self.bench
        self.start(config)
        for mode in modes:
            self.capture(mode)
        self.capture("full", hold=0.8)
        # The preferences from the tray, left with "Annuler"; "Ok" when a
        # reload failure keeps them open.
        self.ensure_armed()
        prefs = PrefsDriver(self, b)
        prefs.open_from_tray()
        self.settle("preferences shown")
        prefs.click("Annuler")
        b.wait_until(lambda: not self.form("TForm2")["visible"] or b.msgboxes(),
                     what="Annuler handled")
        self.settle("Annuler")
        if self.form("TForm2")["visible"]:
            prefs.click("Valider")
            b.wait_until(lambda: not self.form("TForm2")["visible"] or b.msgboxes(),
                         what="Ok handled")
            self.settle("Ok")
        self.assert_alive("after the preferences")
        files = self.written_files()
        self.assert_files_complete(files)
        for path in files:
            os.remove(path)
        b.stop_program()

    def run_configs(self, configs, modes=None):
        for i, (name, config) in enumerate(configs):
            with self.subTest(config=name):
                started = time.monotonic()
                try:
                    self.exercise(name, config, modes[i % len(modes)] if modes else tuple(MODES))
                except Exception:
                    # Kept for a look at the case that failed.
                    keep = os.path.join(os.environ.get("TMPDIR", "/tmp"), "vistrel-hostile-" + name)
                    with open(keep, "wb") as f:
                        f.write(config)
                    print("settings file kept in", keep)
                    raise
                finally:
                    if self.bench.program_running() and self.bench.msgboxes():
                        self.bench.close_msgboxes()
                print("%s: %.1f s, boxes %s" % (name, time.monotonic() - started,
                                                 [t[:70] for t in self.boxes]))
                self.boxes = []

    def test_representative_hostile_files(self):
        """One file of each kind; the quick run shares the modes out among them."""
        quick = [("full", "frame"), ("full", "client"), ("full", "selection"),
                 ("full", "frame", "client")]
        self.run_configs(hostile_configs(SEED, 4), None if LONG else quick)

    @unittest.skipUnless(LONG, "long variant: VISTREL_RELIABILITY_LONG=1")
    def test_every_odd_value_for_every_key(self):
        """Each key in turn with each odd value, the other keys sound."""
        folder = HOSTILE_ROOT + "\\shots"
        configs = []
        for key in KEYS:
            for value in ODD_VALUES:
                settings = dict(GOOD_VALUES, SaveFilePath=folder, AutoRecFormat="jpg")
                settings[key] = value
                text = "[Settings]\r\n" + "".join("%s=%s\r\n" % kv for kv in settings.items())
                configs.append(("%s=%r" % (key, value[:12]), text.encode("cp1252")))
        # Auto-record reads its keys at every capture whatever the mode; the
        # modes are shared out among the files.
        self.run_configs(configs, [("full", m) for m in ("frame", "client", "selection")])

    @unittest.skipUnless(LONG, "long variant: VISTREL_RELIABILITY_LONG=1")
    def test_many_generated_files(self):
        self.run_configs(hostile_configs(SEED + 1, 24))


if __name__ == "__main__":
    unittest.main()
