"""Runs a Windows console program (a test runner) under Wine on a bench display.

usage: run_wine.py [--locale LOCALE] PROGRAM.exe [ARGS...]
Exits with the program's status, or 77 (skipped) when PROGRAM.exe does not exist.
--locale: Wine's locale, which sets the system's code page (hi_IN.UTF-8: UTF-8).
"""

import os
import subprocess
import sys

from harness import WINE, Bench


def main(argv):
    locale = None
    if len(argv) > 2 and argv[1] == "--locale":
        locale = argv[2]
        argv = argv[:1] + argv[3:]
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    exe = os.path.abspath(argv[1])
    if not os.path.isfile(exe):
        print("%s not built: skipped" % exe)
        return 77
    with Bench(locale=locale) as bench:
        sys.stdout.flush()
        result = subprocess.run([WINE, exe] + argv[2:], env=bench.env(), cwd=os.path.dirname(exe),
                                stdin=subprocess.DEVNULL)
    return result.returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
