#!/usr/bin/env python3
"""Runs the end-to-end tests.

    python3 tests/e2e/run.py                          every test
    python3 tests/e2e/run.py test_startup             one module
    python3 tests/e2e/run.py test_startup.SecondCopy  one class (or Class.test_method)
    python3 tests/e2e/run.py --shards 3 [NAME...]     in three shards side by side

Without $DISPLAY it starts itself again under xvfb-run. Without $WINEPREFIX it uses a fresh
temporary prefix, removed at the end. ZORVO_BUILD names the windows build folder (default
build/windows). A test that runs longer than ZORVO_E2E_TEST_TIMEOUT seconds (default 300) fails
by its name and the run goes on; so does a class set-up that hangs.

Most of an end-to-end test is waiting for the program (a one-minute countdown takes a minute on
any machine), so shards run side by side even on two cores, each a run.py of its own with its own
virtual screen and its own copy of one Wine prefix: a test that changes a prefix-wide setting
(the DPI, say) cannot disturb another shard's.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import zorvo_e2e  # noqa: E402

TEST_TIMEOUT = float(os.environ.get("ZORVO_E2E_TEST_TIMEOUT", "300"))
# The tests that wait out a one-minute countdown, or set up a prefix of their own, and about how
# long they take; every other test counts as 4 s. The shards get the slow ones first, each to
# the shard with the least work, so that the countdowns run side by side; a class stays whole.
SLOW = {
    "test_hostile.LogFailures": 85,
    "test_countdown.OneMinuteRuns.test_alarm_with_log": 70,
    "test_sleep_states.SleepStates.test_standby_refused_at_the_end_says_why": 62,
    "test_sleep_states.SleepStates."
    "test_a_countdown_holds_the_display_on_a_modern_standby_computer_on_battery": 62,
    "test_contrast.HighContrast.test_popup_of_the_last_half_minute": 32,
    "test_pictures.ReferencePictures": 30,
}


class TestTimeout(Exception):
    """A test (or a class set-up) ran past its time: it fails, the run goes on."""


def time_is_up(signum, frame):
    raise TestTimeout("took longer than %g s" % TEST_TIMEOUT)


class TimedResult(unittest.TextTestResult):
    """Starts the clock for what runs next: a test, or the set-up of the next class."""

    passed = 0

    def startTest(self, test):
        signal.setitimer(signal.ITIMER_REAL, TEST_TIMEOUT)
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        signal.setitimer(signal.ITIMER_REAL, TEST_TIMEOUT)

    def addSuccess(self, test):
        self.passed += 1
        super().addSuccess(test)


def load(names):
    loader = unittest.TestLoader()
    if names:
        return loader.loadTestsFromNames(names)
    return loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))


def test_names(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from test_names(item)
        elif isinstance(item, unittest.loader._FailedTest):  # pylint: disable=protected-access
            yield item._testMethodName  # the module that failed to import, to report its error
        else:
            yield item.id()


def split(names, count):
    """The tests in at most `count` lists, by class (a test of SLOW alone), slow ones first."""
    units = {}
    for name in names:
        units.setdefault(name if name in SLOW else name.rsplit(".", 1)[0], []).append(name)
    shards = [[0, []] for _ in range(count)]
    for key, members in sorted(units.items(), key=lambda u: -SLOW.get(u[0], 4 * len(u[1]))):
        lightest = min(shards, key=lambda shard: shard[0])
        lightest[0] += SLOW.get(key, 4 * len(members))
        lightest[1].extend(members)
    return [members for _, members in shards if members]


def virtual_screen():
    """An Xvfb on a display it chooses itself (-displayfd): shards started together never race
    for one display number. The process and its display."""
    read_end, write_end = os.pipe()
    screen = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as answer:
        display = ":" + answer.readline().strip().decode()
    if display == ":":
        raise RuntimeError("Xvfb did not start (exit code %s)" % screen.wait())
    return screen, display


def shard_env(prefix, display):
    env = dict(os.environ, WINEPREFIX=str(prefix), DISPLAY=display)
    env.pop("XAUTHORITY", None)  # the screens take no cookie
    return env


def make_prefixes(count, display, scratch):
    """One prefix set up once (or $WINEPREFIX, left untouched), and copies of it."""
    given = os.environ.get("WINEPREFIX")
    base = Path(given) if given and (Path(given) / "system.reg").exists() else scratch / "p0"
    subprocess.run(["bash", "-c", 'source "$1" && init_wine_prefix', "_", str(zorvo_e2e.WINE_ENV)],
                   env=shard_env(base, display), check=False, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)

    prefixes = [scratch / ("p%d" % n) for n in range(1, count + 1)]
    for prefix in prefixes:
        zorvo_e2e.copy_prefix(base, prefix)
    return prefixes


def run_sharded(names, count):
    """Runs the tests named (all when none) in `count` shards; prints every shard's output and
    one closing count over all of them. Returns the exit code."""
    plan = split(list(test_names(load(names))), count)
    if not plan:
        return summary(0, [], 0)
    # Ended from outside (a time limit, say): the shards, screens and prefixes go with this run.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))
    started = time.monotonic()
    scratch = Path(tempfile.mkdtemp(prefix="zorvo-shards-"))
    screens, shards, counts, failed = [], [], [0, 0], []
    try:
        screens = [virtual_screen() for _ in plan]
        prefixes = make_prefixes(len(plan), screens[0][1], scratch)
        for n, (members, (_, display), prefix) in enumerate(zip(plan, screens, prefixes), 1):
            log = open(scratch / ("%d.log" % n), "w+b")
            shards.append((subprocess.Popen(
                [sys.executable, "-u", str(HERE / "run.py"), *members], stdin=subprocess.DEVNULL,
                stdout=log, stderr=subprocess.STDOUT, env=shard_env(prefix, display)), log,
                members))
        for n, (proc, log, members) in enumerate(shards, 1):
            proc.wait()
            log.seek(0)
            print("\n--- e2e shard %d: %d tests, %.1f s" %
                  (n, len(members), time.monotonic() - started))
            output = log.read().decode("utf-8", errors="replace")
            sys.stdout.write(output)
            # The shard's own summary, which names its failures; none: a crash or a kill.
            summed = re.findall(r"^e2e: (\d+) passed, \d+ failed, (\d+) skipped$", output, re.M)
            counts = [c + int(s) for c, s in zip(counts, summed[-1])] if summed else counts
            failed += re.findall(r"^e2e FAILED: (.*)$", output, re.M) if summed else [
                "shard %d ended early (exit code %s)" % (n, proc.returncode)]
    finally:
        for proc, log, _ in shards:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
            log.close()
        for prefix in scratch.glob("p*"):
            subprocess.run(["wineserver", "-k"], env=shard_env(prefix, ""), check=False,
                           stderr=subprocess.DEVNULL)
        for screen, _ in screens:
            screen.terminate()
            screen.wait()
        shutil.rmtree(scratch, ignore_errors=True)
    print("\n=== e2e: all shards, %.1f s" % (time.monotonic() - started))
    return summary(counts[0], failed, counts[1])


def summary(passed, failed, skipped):
    for name in failed:
        print("e2e FAILED: %s" % name)
    print("e2e: %d passed, %d failed, %d skipped" % (passed, len(failed), skipped))
    if passed == 0:
        print("e2e: no test ran", file=sys.stderr)
        return 1
    return 0 if not failed else 1


def main(argv):
    count = 1
    if argv[:1] == ["--shards"]:
        count, argv = int(argv[1]), argv[2:]
    if count > 1:
        return run_sharded(argv, count)  # each shard has a screen of its own
    if not os.environ.get("DISPLAY"):
        xvfb = shutil.which("xvfb-run")
        if xvfb is None:
            print("e2e: no $DISPLAY and no xvfb-run", file=sys.stderr)
            return 2
        os.execv(xvfb, [xvfb, "-a", "-s", "-screen 0 1024x768x24", sys.executable,
                        str(Path(__file__).resolve()), *argv])

    started = time.monotonic()
    runner = unittest.TextTestRunner(verbosity=2, resultclass=TimedResult, stream=sys.stdout)
    signal.signal(signal.SIGALRM, time_is_up)
    try:
        signal.setitimer(signal.ITIMER_REAL, TEST_TIMEOUT)
        result = runner.run(load(argv))
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        zorvo_e2e.shutdown()
    # A test with failing subtests counts once.
    failed = sorted({getattr(test, "test_case", test).id()
                     for test, _ in result.failures + result.errors})
    failed += [test.id() for test in result.unexpectedSuccesses]
    print("e2e took %.1f s" % (time.monotonic() - started))
    return summary(result.passed, failed, len(result.skipped))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
