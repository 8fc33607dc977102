"""Tasks started from the command line: delay, task switch and window mode."""

import re
import time

from zorvo_e2e import (WM_LBUTTONDBLCLK, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW, Main, Menu,
                       ZorvoTestCase, wait_until)
from zorvo_e2e import IDLE_CAPTION

TASK_ITEMS = ("mnuShutDown", "mnuAlarm", "mnuWait", "mnuReboot", "mnuSleep")


def remaining(caption, prefix):
    """The seconds left that a countdown caption shows, or None for another caption."""
    match = re.fullmatch(re.escape(prefix) + r"(\d+) мин (\d\d) сек", caption)
    return int(match[1]) * 60 + int(match[2]) if match else None


class CommandLine(ZorvoTestCase):
    def start_with(self, *args, shown=True):
        program = self.start_main(args=args, shown=shown)
        return program.window()

    def assert_running(self, main, prefix, minutes):
        """The countdown runs with the caption of the task and about `minutes` minutes left."""
        d = self.driver
        caption = wait_until(lambda: d.text(main) if d.text(main) != IDLE_CAPTION else None,
                             timeout=3)
        self.assertIsNotNone(caption, "the countdown did not start")
        self.assertRegex(caption, "^" + re.escape(prefix) + "%d мин 5[0-9] сек$" % (minutes - 1))
        self.assertFalse(d.enabled(main, Main.lblActivate))
        self.assertFalse(d.enabled(main, Main.Combo1))
        return caption

    def assert_task(self, main, checked_item):
        for name in TASK_ITEMS:
            with self.subTest(name):
                self.assertEqual(self.driver.menu_state(main, getattr(Menu, name)).checked,
                                 name == checked_item)

    def test_alarm_90_minutes(self):
        d = self.driver
        main = self.start_with("/a", "90")
        self.assert_running(main, "Zorvo - подача звукового сигнала через ", 90)
        self.assertEqual(d.text(main, Main.Combo1), "90")
        self.assertEqual(d.text(main, Main.lblH), "1:30")
        self.assertEqual(d.text(main, Main.lblEnter), "Zorvo настроен на подачу звукового сигнала")
        self.assert_task(main, "mnuAlarm")

    def test_delay_above_360_is_ignored_and_the_task_runs_with_1(self):
        d = self.driver
        main = self.start_with("/r", "400")
        self.assert_running(main, "Zorvo - до перезагрузки осталось ", 1)
        self.assertEqual(d.text(main, Main.Combo1), "1")
        self.assertEqual(d.text(main, Main.lblH), "0:01")
        self.assert_task(main, "mnuReboot")

    def test_unknown_task_switch_starts_nothing(self):
        d = self.driver
        main = self.start_with("/x", "5")
        time.sleep(2)
        self.assertEqual(d.text(main), IDLE_CAPTION)
        self.assertTrue(d.enabled(main, Main.lblActivate))
        self.assertTrue(d.enabled(main, Main.Combo1))
        self.assertFalse(d.visible(main, Main.lblReset))
        self.assertTrue(d.visible(main))
        self.assert_task(main, "mnuShutDown")

    def test_minimised(self):
        d = self.driver
        main = self.start_with("/v", "5", "/min")
        self.assert_running(main, "Zorvo - до выключения осталось ", 5)
        self.assertTrue(d.iconic(main), "/min must minimise the window")
        self.assertTrue(d.visible(main), "a minimised window stays visible")

    def test_hidden_in_tray_comes_back_with_the_countdown_running_on(self):
        d = self.driver
        prefix = "Zorvo - до выключения осталось "
        main = self.start_with("/v", "5", "/hid", shown=False)
        self.assertEventually(lambda: not d.visible(main), timeout=3, msg="/hid must hide")
        before = remaining(self.assert_running(main, prefix, 5), prefix)
        self.assertTrue(d.iconic(main))

        d.tray(main, WM_LBUTTONDBLCLK)
        self.assertEventually(lambda: d.visible(main) and not d.iconic(main), timeout=5,
                              msg="a double click on the icon must show the window")
        # Not restarted: the time left goes on falling from where it was.
        after = wait_until(lambda: (lambda left: left if left is not None and left < before
                                    else None)(remaining(d.text(main), prefix)), timeout=3)
        self.assertIsNotNone(after, "the countdown did not go on (%r)" % d.text(main))
        self.assertGreaterEqual(after, before - 4)
        self.assertFalse(d.enabled(main, Main.lblActivate))

    def test_invisible_runs_without_window_or_taskbar_button(self):
        d = self.driver
        prefix = "Zorvo - войдет в ждущий режим через "
        main = self.start_with("/w", "5", "/invisible", shown=False)
        self.assertEventually(lambda: not d.visible(main), timeout=3, msg="/invisible must hide")
        self.assert_running(main, prefix, 5)
        self.assertTrue(d.iconic(main))
        exstyle = d.styles(main)[1]
        self.assertEqual(exstyle & WS_EX_APPWINDOW, 0, "exstyle 0x%X" % exstyle)
        self.assertTrue(exstyle & WS_EX_TOOLWINDOW or d.owner(main) != 0,
                        "a taskbar button would remain: exstyle 0x%X, no owner" % exstyle)
        # Still counting, with nothing on screen.
        first = remaining(d.text(main), prefix)
        self.assertEventually(lambda: (remaining(d.text(main), prefix) or first) < first,
                              timeout=3, msg="the hidden countdown does not run")
        self.assertFalse(d.visible(main))
