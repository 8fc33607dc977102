#!/usr/bin/env python3
"""Runs the end-to-end tests.

    python3 tests/e2e/run.py                          every test
    python3 tests/e2e/run.py test_startup             one module
    python3 tests/e2e/run.py test_startup.SecondCopy  one class (or Class.test_method)

Without $DISPLAY it starts itself again under xvfb-run. Without $WINEPREFIX it uses a fresh
temporary prefix, removed at the end. ZORVO_BUILD names the windows build folder (default
build/windows). A test that runs longer than ZORVO_E2E_TEST_TIMEOUT seconds (default 300) fails
by its name and the run goes on; so does a class set-up that hangs.
"""

import os
import shutil
import signal
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import zorvo_e2e  # noqa: E402


TEST_TIMEOUT = float(os.environ.get("ZORVO_E2E_TEST_TIMEOUT", "300"))


class TestTimeout(Exception):
    """A test (or a class set-up) ran past its time: it fails, the run goes on."""


def _time_is_up(signum, frame):
    raise TestTimeout("took longer than %g s" % TEST_TIMEOUT)


def arm_watchdog():
    """Starts the clock for what runs next: a test, or the set-up of the next class."""
    signal.setitimer(signal.ITIMER_REAL, TEST_TIMEOUT)


class TimedResult(unittest.TextTestResult):
    def __init__(self, *args, **kw):
        super().__init__(*args, **kw)
        self.timings = []
        self.passed = 0

    def startTest(self, test):
        self._started = time.monotonic()
        arm_watchdog()
        super().startTest(test)

    def stopTest(self, test):
        self.timings.append((time.monotonic() - self._started, test.id()))
        super().stopTest(test)
        arm_watchdog()

    def addSuccess(self, test):
        self.passed += 1
        super().addSuccess(test)


def main(argv):
    if not os.environ.get("DISPLAY"):
        xvfb = shutil.which("xvfb-run")
        if xvfb is None:
            print("e2e: no $DISPLAY and no xvfb-run", file=sys.stderr)
            return 2
        os.execv(xvfb, [xvfb, "-a", "-s", "-screen 0 1024x768x24", sys.executable,
                        str(Path(__file__).resolve()), *argv])

    loader = unittest.TestLoader()
    if argv:
        suite = loader.loadTestsFromNames(argv)
    else:
        suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))

    started = time.monotonic()
    runner = unittest.TextTestRunner(verbosity=2, resultclass=TimedResult, stream=sys.stdout)
    signal.signal(signal.SIGALRM, _time_is_up)
    try:
        arm_watchdog()
        result = runner.run(suite)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        zorvo_e2e.shutdown()
    elapsed = time.monotonic() - started

    print("\nSlowest end-to-end tests:")
    for seconds, name in sorted(result.timings, reverse=True)[:8]:
        print("  %6.1f s  %s" % (seconds, name))
    # A test with failing subtests counts once.
    failed = len({getattr(test, "test_case", test).id()
                  for test, _ in result.failures + result.errors})
    failed += len(result.unexpectedSuccesses)
    print("e2e took %.1f s" % elapsed)
    print("e2e: %d passed, %d failed, %d skipped" % (result.passed, failed, len(result.skipped)))
    if result.testsRun == 0 or result.passed == 0:
        print("e2e: no test ran", file=sys.stderr)
        return 1
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
