#!/usr/bin/env python3
"""Runs the end-to-end tests.

    python3 tests/e2e/run.py                          every test
    python3 tests/e2e/run.py test_startup             one module
    python3 tests/e2e/run.py test_startup.SecondCopy  one class (or Class.test_method)
    python3 tests/e2e/run.py --shards 4 [NAME...]     in four shards side by side (shards.py)
    python3 tests/e2e/run.py --record-times [...]     and keep each test's time in durations.txt

Without $DISPLAY it starts itself again under xvfb-run. Without $WINEPREFIX it uses a fresh
temporary prefix, removed at the end. ZORVO_BUILD names the windows build folder (default
build/windows); ZORVO_E2E_SHARDS the number of shards when --shards is not given (default 1).
A test that runs longer than ZORVO_E2E_TEST_TIMEOUT seconds (default 300) fails by its name and
the run goes on; so does a class set-up that hangs.
"""

import json
import os
import shutil
import signal
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import shards  # noqa: E402
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
        self.costs = {}  # test id: seconds since the previous test ended (class set-up included)
        self.passed = 0
        self.passed_ids = []
        self._previous_stop = time.monotonic()

    def startTest(self, test):
        self._started = time.monotonic()
        arm_watchdog()
        super().startTest(test)

    def stopTest(self, test):
        now = time.monotonic()
        self.timings.append((now - self._started, test.id()))
        self.costs[test.id()] = now - self._previous_stop
        self._previous_stop = now
        super().stopTest(test)
        arm_watchdog()

    def addSuccess(self, test):
        self.passed += 1
        self.passed_ids.append(test.id())
        super().addSuccess(test)


def parse_options(argv):
    """(shards, record_times, test names) from the command line."""
    shard_count = int(os.environ.get("ZORVO_E2E_SHARDS", "1"))
    record_times = False
    names = []
    args = iter(argv)
    for arg in args:
        if arg == "--shards":
            shard_count = int(next(args, "1"))
        elif arg.startswith("--shards="):
            shard_count = int(arg.split("=", 1)[1])
        elif arg == "--record-times":
            record_times = True
        else:
            names.append(arg)
    return max(1, shard_count), record_times, names


def main(argv):
    shard_count, record_times, argv = parse_options(argv)
    if shard_count > 1:
        # Each shard has a screen of its own: no $DISPLAY is needed here.
        return shards.run_sharded(argv, shard_count, record_times)
    if not os.environ.get("DISPLAY"):
        xvfb = shutil.which("xvfb-run")
        if xvfb is None:
            print("e2e: no $DISPLAY and no xvfb-run", file=sys.stderr)
            return 2
        os.execv(xvfb, [xvfb, "-a", "-s", "-screen 0 1024x768x24", sys.executable,
                        str(Path(__file__).resolve()), *(["--record-times"] * record_times),
                        *argv])

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
    failed = sorted({getattr(test, "test_case", test).id()
                     for test, _ in result.failures + result.errors})
    failed += [test.id() for test in result.unexpectedSuccesses]
    print("e2e took %.1f s" % elapsed)
    if os.environ.get("ZORVO_E2E_RESULT"):
        # For the run that started this one as a shard: what it sums over all shards.
        Path(os.environ["ZORVO_E2E_RESULT"]).write_text(json.dumps({
            "passed": result.passed, "failed": failed, "skipped": len(result.skipped),
            "timings": result.costs, "passed_ids": result.passed_ids}), encoding="utf-8")
    if record_times:
        shards.write_durations(shards.passed_only(result.costs, result.passed_ids))
    print("e2e: %d passed, %d failed, %d skipped" %
          (result.passed, len(failed), len(result.skipped)))
    if result.testsRun == 0 or result.passed == 0:
        print("e2e: no test ran", file=sys.stderr)
        return 1
    return 0 if not failed else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
