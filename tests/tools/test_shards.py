"""How the end-to-end tests are split into shards: no test lost or run twice, a class that shares
one program among its tests kept in one shard, the long tests spread over the shards."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

import shards  # noqa: E402


class Fixtures:
    """Test classes to split, out of the loader's sight: they are not tests of this module."""

    class SharedProgram(unittest.TestCase):
        """Stands for a class whose tests share one program started in its set-up."""

        @classmethod
        def setUpClass(cls):
            pass

        def test_a(self):
            pass

        def test_b(self):
            pass

        def test_c(self):
            pass

    class SharedProgramSubclass(SharedProgram):
        """Inherits the shared set-up without writing one of its own."""

        def test_d(self):
            pass

    class Independent(unittest.TestCase):
        def test_minute_1(self):
            pass

        def test_minute_2(self):
            pass

        def test_minute_3(self):
            pass

        def test_quick_1(self):
            pass

        def test_quick_2(self):
            pass


ALL = (Fixtures.SharedProgram, Fixtures.SharedProgramSubclass, Fixtures.Independent)


def tests_of(*classes):
    loader = unittest.TestLoader()
    return [t for cls in classes for t in shards.flatten(loader.loadTestsFromTestCase(cls))]


def name(cls, method):
    return "%s.%s.%s" % (cls.__module__, cls.__qualname__, method)



class Plan(unittest.TestCase):
    def durations(self):
        table = {name(Fixtures.SharedProgram, m): 5.0 for m in ("test_a", "test_b", "test_c")}
        table.update({name(Fixtures.Independent, "test_minute_%d" % n): 62.0
                      for n in (1, 2, 3)})
        table.update({name(Fixtures.Independent, "test_quick_%d" % n): 3.0 for n in (1, 2)})
        return table

    def assert_each_test_once(self, tests, split):
        planned = [t.id() for _, members in split for t in members]
        self.assertCountEqual(planned, [t.id() for t in tests])

    def test_every_test_runs_exactly_once_for_any_number_of_shards(self):
        tests = tests_of(*ALL)
        for count in (1, 2, 3, 4, 20):
            with self.subTest(shards=count):
                split = shards.plan(tests, count, self.durations())
                self.assert_each_test_once(tests, split)
                self.assertLessEqual(len(split), count)
                self.assertTrue(all(members for _, members in split), "an empty shard")

    def test_a_class_with_its_own_set_up_stays_in_one_shard(self):
        # With a shard to spare for every test, only the class holds its tests together.
        tests = tests_of(*ALL)
        split = shards.plan(tests, len(tests), {})
        for cls in (Fixtures.SharedProgram, Fixtures.SharedProgramSubclass):
            holding = {n for n, (_, members) in enumerate(split)
                       if any(type(t) is cls for t in members)}
            self.assertEqual(len(holding), 1, "%s split over shards %s" % (cls.__name__, holding))

    def test_the_long_tests_run_side_by_side(self):
        tests = tests_of(Fixtures.SharedProgram, Fixtures.Independent)
        split = shards.plan(tests, 3, self.durations())
        minutes = [sum("test_minute" in t.id() for t in members) for _, members in split]
        self.assertEqual(sorted(minutes), [1, 1, 1])

    def test_a_shard_runs_its_tests_in_discovery_order(self):
        # Keeps the tests of a class together, so a shared set-up runs once.
        tests = tests_of(Fixtures.SharedProgram, Fixtures.Independent)
        order = [t.id() for t in tests]
        for _, members in shards.plan(tests, 2, self.durations()):
            ids = [t.id() for t in members]
            self.assertEqual(ids, sorted(ids, key=order.index))

    def test_a_test_missing_from_the_table_still_runs_and_counts(self):
        tests = tests_of(Fixtures.Independent)
        split = shards.plan(tests, 2, {})
        self.assert_each_test_once(tests, split)
        self.assertEqual(sorted(len(members) for _, members in split), [2, 3])
        self.assertEqual(sum(seconds for seconds, _ in split),
                         len(tests) * shards.UNKNOWN_TEST_SECONDS)


class DurationTable(unittest.TestCase):
    def test_recorded_times_are_read_back_and_others_kept(self):
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "durations.txt"
            shards.write_durations({"m.C.test_old": 12.25, "m.C.test_kept": 4.0}, path)
            shards.write_durations({"m.C.test_old": 61.5, "m.D.test_new": 7.0}, path)
            self.assertEqual(shards.read_durations(path),
                             {"m.C.test_old": 61.5, "m.C.test_kept": 4.0, "m.D.test_new": 7.0})

    def test_a_missing_table_means_every_time_unknown(self):
        with tempfile.TemporaryDirectory() as folder:
            self.assertEqual(shards.read_durations(Path(folder) / "none.txt"), {})


if __name__ == "__main__":
    unittest.main()
