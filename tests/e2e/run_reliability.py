"""Runs the reliability tests: every test_reliability_* file, or the modules,
classes or tests named on the command line. The ctest test
e2e.reliability_long runs it with VISTREL_RELIABILITY_LONG=1
(scripts/test_long.sh)."""

import glob
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))


class ReportAtOnce(unittest.TextTestResult):
    """Prints each failure with its traceback when it happens, not only in the
    summary: a long run cut short still shows what failed."""

    def report(self, kind, test, err):
        self.stream.writeln("\n%s: %s\n%s" % (kind, test, self._exc_info_to_string(err, test)))
        self.stream.flush()

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.report("FAIL", test, err)

    def addError(self, test, err):
        super().addError(test, err)
        self.report("ERROR", test, err)

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is not None:
            self.report("FAIL" if issubclass(err[0], test.failureException) else "ERROR",
                        subtest, err)


def main():
    files = glob.glob(os.path.join(HERE, "test_reliability_*.py"))
    names = sys.argv[1:] or sorted(os.path.basename(path)[:-3] for path in files)
    suite = unittest.defaultTestLoader.loadTestsFromNames(names)
    result = unittest.TextTestRunner(verbosity=2, resultclass=ReportAtOnce).run(suite)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
