"""Runs the end-to-end tests in parallel shards (run.py --shards N).

Most of an end-to-end test is waiting for the program (a one-minute countdown takes a minute
whatever the machine), so several run side by side even on two cores. Each shard is a run.py of
its own with its own virtual screen (an Xvfb that picks a free display itself) and its own Wine
prefix (a copy of one prefix set up once), so a test that changes a prefix-wide setting (the
DPI, say) cannot disturb a test of another shard, and two shards never share a wineserver.

The tests are split by their expected durations (durations.txt, written by --record-times)
longest first, each to the shard with the least work so far: the one-minute countdowns end up
side by side. A test class with a set-up of its own (one program shared by its tests) stays whole
in one shard; the tests of other classes are spread one by one.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
RUN_PY = HERE / "run.py"
DURATIONS = HERE / "durations.txt"
WINE_ENV = HERE.parents[1] / "tools" / "wine_env.sh"
# What a test not yet in durations.txt is expected to take, in seconds.
UNKNOWN_TEST_SECONDS = 10.0
# Modules whose class set-up and tear-down are the same in every shard.
SHARED_FIXTURE_MODULES = {"zorvo_e2e", "unittest.case"}
SCREEN = "1024x768x24"


# Planning: which tests go to which shard.

def flatten(suite):
    """The tests of a suite, in the order unittest would run them."""
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from flatten(item)
        else:
            yield item


def load_name(test):
    """The name that loads this test again in a shard's run.py."""
    if isinstance(test, unittest.loader._FailedTest):  # pylint: disable=protected-access
        # A module that failed to import: the shard imports it again and reports the error.
        return test._testMethodName  # pylint: disable=protected-access
    return test.id()


def keeps_class_whole(cls):
    """Whether the tests of `cls` share something made once per class (or per module)."""
    module = sys.modules.get(cls.__module__)
    if module is not None and any(hasattr(module, f) for f in ("setUpModule", "tearDownModule")):
        return True
    return any(("setUpClass" in vars(base) or "tearDownClass" in vars(base))
               and base.__module__ not in SHARED_FIXTURE_MODULES
               for base in cls.__mro__)


def units_of(tests):
    """Groups tests into the pieces that may run in different shards: (key, [tests])."""
    units = {}
    for test in tests:
        cls = type(test)
        if keeps_class_whole(cls):
            key = "%s.%s" % (cls.__module__, cls.__qualname__)
        else:
            key = load_name(test)
        units.setdefault(key, []).append(test)
    return list(units.items())


def read_durations(path=DURATIONS):
    """{test id: seconds} from the table; an absent or unreadable line counts as unknown."""
    table = {}
    try:
        lines = path.read_text(encoding="utf-8").splitlines()
    except FileNotFoundError:
        return table
    for line in lines:
        fields = line.split()
        if len(fields) == 2 and not line.startswith("#"):
            try:
                table[fields[1]] = float(fields[0])
            except ValueError:
                pass
    return table


def write_durations(timings, path=DURATIONS):
    """Keeps the measured seconds of every test, known ones updated, others left as they were."""
    table = read_durations(path)
    table.update(timings)
    lines = ["# Seconds each end-to-end test took in its last recorded run, its class's set-up",
             "# included; run.py --shards splits the tests by them (run.py --record-times)."]
    lines += ["%7.1f %s" % (seconds, name) for name, seconds in sorted(table.items())]
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


def passed_only(timings, passed_ids):
    """The times worth keeping: a failed test may have waited for its time limit."""
    passed = set(passed_ids)
    return {name: seconds for name, seconds in timings.items() if name in passed}


def plan(tests, shards, durations):
    """Splits the tests into at most `shards` lists, longest units first, each to the least
    loaded shard; within a shard the tests keep their discovery order. Returns
    [(expected seconds, [tests])], empty shards left out."""
    order = {id(test): n for n, test in enumerate(tests)}
    units = units_of(tests)

    def expected(unit):
        return sum(durations.get(t.id(), UNKNOWN_TEST_SECONDS) for t in unit[1])

    loads = [[0.0, []] for _ in range(max(1, shards))]
    for unit in sorted(units, key=lambda u: (-expected(u), u[0])):
        lightest = min(loads, key=lambda load: load[0])
        lightest[0] += expected(unit)
        lightest[1].extend(unit[1])
    return [(seconds, sorted(members, key=lambda t: order[id(t)]))
            for seconds, members in loads if members]


# Running: one Xvfb, one Wine prefix and one run.py per shard.

class VirtualScreen:
    """An Xvfb on a display it chooses itself (-displayfd), so shards started together, or
    other runs on the machine, never race for one display number."""

    def __init__(self):
        read_end, write_end = os.pipe()
        try:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten",
                 "tcp"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        with os.fdopen(read_end, "rb") as answer:
            number = answer.readline().strip()
        if not number:
            self.proc.wait()
            raise RuntimeError("Xvfb did not start (exit code %s)" % self.proc.returncode)
        self.display = ":" + number.decode()

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def wine_env(prefix, display):
    env = dict(os.environ, WINEPREFIX=str(prefix), DISPLAY=display)
    env.pop("XAUTHORITY", None)  # the screens take no cookie
    return env


# Wine's own programs and libraries in a prefix: hundreds of megabytes that no test writes to.
# The shards' prefixes share them through hard links; everything else (the registry above all)
# is a copy of its own.
SHARED_SUFFIXES = {".dll", ".exe", ".nls", ".sys", ".drv", ".ocx", ".cpl", ".acm", ".tlb",
                   ".ax", ".ds", ".msstyles", ".ttf", ".ttc", ".fon"}


def link_or_copy(source, target):
    if Path(source).suffix.lower() in SHARED_SUFFIXES:
        try:
            os.link(source, target)
            return target
        except OSError:  # another file system, say: a copy does as well
            pass
    return shutil.copy2(source, target)


def make_prefixes(count, display, scratch):
    """`count` Wine prefixes: one set up as every run sets it up (or a copy of $WINEPREFIX, which
    stays untouched), and copies of it, which cost far less than setting up each."""
    given = os.environ.get("WINEPREFIX")
    prefixes = []
    if given and (Path(given) / "system.reg").exists():
        base = Path(given)
    else:
        base = scratch / "prefix-1"
        subprocess.run(["bash", "-c", 'source "$1" && init_wine_prefix', "_", str(WINE_ENV)],
                       env=wine_env(base, display), check=False, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        subprocess.run(["wineserver", "-w"], env=wine_env(base, display), check=False,
                       stderr=subprocess.DEVNULL)
        prefixes.append(base)
    while len(prefixes) < count:
        copy = scratch / ("prefix-%d" % (len(prefixes) + 1))
        shutil.copytree(base, copy, symlinks=True, copy_function=link_or_copy)
        prefixes.append(copy)
    return prefixes


class Shard:
    def __init__(self, number, tests, expected, scratch):
        self.number = number
        self.names = [load_name(t) for t in tests]
        self.expected = expected
        self.log_path = scratch / ("shard-%d.log" % number)
        self.result_path = scratch / ("shard-%d.json" % number)
        self.screen = None
        self.prefix = None
        self.proc = None
        self.log = None
        self.started = self.elapsed = None
        self.result = None

    def start(self, screen, prefix):
        self.screen, self.prefix = screen, prefix
        env = wine_env(prefix, screen.display)
        env["ZORVO_E2E_RESULT"] = str(self.result_path)
        self.log = open(self.log_path, "wb")
        self.started = time.monotonic()
        self.proc = subprocess.Popen([sys.executable, "-u", str(RUN_PY), *self.names], env=env,
                                     stdin=subprocess.DEVNULL, stdout=self.log,
                                     stderr=subprocess.STDOUT)

    def finished(self):
        if self.proc.poll() is None:
            return False
        if self.elapsed is None:
            self.elapsed = time.monotonic() - self.started
            self.log.close()
            try:
                self.result = json.loads(self.result_path.read_text(encoding="utf-8"))
            except (OSError, ValueError):
                self.result = None  # ended before its summary: a crash or a kill
        return True

    def stop(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.log is not None and not self.log.closed:
            self.log.close()
        if self.prefix is not None:
            subprocess.run(["wineserver", "-k"], env=wine_env(self.prefix, ""), check=False,
                           stderr=subprocess.DEVNULL)


def print_shard(shard):
    print("\n--- e2e shard %d: %d tests, expected %.0f s, took %.1f s" %
          (shard.number, len(shard.names), shard.expected, shard.elapsed))
    sys.stdout.write(shard.log_path.read_text(encoding="utf-8", errors="replace"))
    sys.stdout.flush()


def run_sharded(names, shards, record_times=False):
    """Runs the tests named (all when none) in `shards` shards; prints every shard's output and
    one closing count over all of them. Returns the exit code."""
    sys.path.insert(0, str(HERE))
    loader = unittest.TestLoader()
    if names:
        suite = loader.loadTestsFromNames(names)
    else:
        suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    tests = list(flatten(suite))
    # Ended from outside (a time limit, say): the shards, screens and prefixes go with this run.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))
    split = plan(tests, shards, read_durations())
    started = time.monotonic()
    scratch = Path(tempfile.mkdtemp(prefix="zorvo-shards-"))
    running = [Shard(n + 1, members, seconds, scratch) for n, (seconds, members) in
               enumerate(split)]
    screens = []
    try:
        for _ in running:
            screens.append(VirtualScreen())
        prefixes = make_prefixes(len(running), screens[0].display, scratch)
        print("e2e: %d tests in %d shards, prefixes ready after %.1f s" %
              (len(tests), len(running), time.monotonic() - started), flush=True)
        for shard, screen, prefix in zip(running, screens, prefixes):
            shard.start(screen, prefix)
        pending = list(running)
        while pending:
            for shard in [s for s in pending if s.finished()]:
                pending.remove(shard)
                print_shard(shard)
            time.sleep(0.2)
    finally:
        for shard in running:
            shard.stop()
        for screen in screens:
            screen.close()
        shutil.rmtree(scratch, ignore_errors=True)
    elapsed = time.monotonic() - started

    passed = skipped = 0
    failed = []
    timings = {}
    passed_ids = []
    for shard in running:
        if shard.result is None:
            failed.append("shard %d ended early (exit code %s) running %s" %
                          (shard.number, shard.proc.returncode, " ".join(shard.names)))
            continue
        passed += shard.result["passed"]
        skipped += shard.result["skipped"]
        failed += shard.result["failed"]
        timings.update(shard.result["timings"])
        passed_ids += shard.result["passed_ids"]

    print("\n=== e2e: all shards")
    print("Slowest end-to-end tests (class set-up included):")
    for name, seconds in sorted(timings.items(), key=lambda item: -item[1])[:8]:
        print("  %6.1f s  %s" % (seconds, name))
    print("Shards: " + ", ".join("%d: %.1f s (expected %.0f)" % (s.number, s.elapsed, s.expected)
                                 for s in running))
    print("e2e took %.1f s, the shards %.1f s together" %
          (elapsed, sum(s.elapsed for s in running)))
    for name in failed:
        print("e2e FAILED: %s" % name)
    if record_times and timings:
        write_durations(passed_only(timings, passed_ids))
        print("e2e: durations written to %s" % DURATIONS)
    print("e2e: %d passed, %d failed, %d skipped" % (passed, len(failed), skipped))
    if passed == 0:
        print("e2e: no test ran", file=sys.stderr)
        return 1
    return 0 if not failed else 1
