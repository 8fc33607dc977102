"""Standby and hibernation on a computer that cannot do them, and on one that refuses at the end.

Wine answers that it has S1, S4 and a hibernation file, so both tasks are allowed as they come.
For the other answers the tests put a stand-in powrprof.dll (tests/e2e/fixtures) into the
prefix's system folder and start the program with WINEDLLOVERRIDES="powrprof=n": the program
loads the library from the system folder as it does on Windows, and meets the stand-in there.
Only the copies started so load it; the rest of the prefix keeps Wine's own."""

import re
import shutil
import time
from pathlib import Path

from zorvo_e2e import BUILD, IDLE_CAPTION, Main, Menu, ZorvoTestCase, wait_until

STAND_IN = BUILD / "e2e" / "powrprof_stand_in.dll"
STANDBY = "Zorvo - войдет в ждущий режим через "
HIBERNATE = "Zorvo - войдет в спящий режим через "
NO_STANDBY = "Этот компьютер нельзя перевести в ждущий режим: "
HIBERNATION_OFF = ("Этот компьютер нельзя перевести в спящий режим: в Windows выключена "
                   "гибернация (нет файла гибернации).\r\n")
NOT_STARTED = "\r\nОтсчёт не запущен."
STANDBY_FAILED = ("Не удалось перевести компьютер в ждущий режим: система отказала в переходе."
                  "\r\nПричина: ")


class SleepStates(ZorvoTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        system = Path(cls.session.prefix) / "drive_c" / "windows" / "system32"
        cls.system_library = system / "powrprof.dll"
        cls.wine_library = Path(cls.class_scratch) / "powrprof.wine.dll"
        shutil.copy2(cls.system_library, cls.wine_library)
        shutil.copy2(STAND_IN, cls.system_library)

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.copy2(cls.wine_library, cls.system_library)

    def computer(self, states, suspend_error=None):
        """The environment of a copy that meets a computer with these states."""
        env = {"WINEDLLOVERRIDES": self.session.env["WINEDLLOVERRIDES"] + ";powrprof=n",
               "ZORVO_E2E_SLEEP_STATES": states}
        if suspend_error is not None:
            env["ZORVO_E2E_SUSPEND_ERROR"] = str(suspend_error)
        return env

    def assert_idle_and_shown(self, main, item):
        d = self.driver
        self.assertTrue(d.visible(main), "the window must be in sight")
        self.assertFalse(d.iconic(main), "the window must not stay minimised")
        self.assertTrue(d.enabled(main, Main.lblActivate))
        self.assertTrue(d.enabled(main, Main.Combo1))
        self.assertFalse(d.visible(main, Main.lblReset))
        self.assertTrue(d.menu_state(main, item).checked, "the task stays selected")
        d.value("sleep", 1500)
        self.assertEqual(d.text(main), IDLE_CAPTION, "no countdown")

    def test_hibernation_switched_off_refused_from_hid(self):
        d = self.driver
        program = self.start_main(args=("/s", "5", "/hid"), shown=False,
                                  env=self.computer("S1,S4"))
        main = program.window()
        text = d.message_box_text(wait_ms=10000)
        self.assertIsNotNone(text, "no message box")
        self.assertTrue(text.startswith(HIBERNATION_OFF), repr(text))
        self.assertIn(" powercfg /h on", text)
        self.assertTrue(text.endswith(NOT_STARTED), repr(text))
        self.assertTrue(d.visible(main), "the reason is given in sight of the window")
        self.assertTrue(d.message_box_ok())
        self.assertEventually(lambda: d.message_box_count() == 0, timeout=5)
        self.assert_idle_and_shown(main, Menu.mnuSleep)
        self.assertEqual(d.text(main, Main.Combo1), "5")
        self.assertTrue(program.running())

    def test_standby_refused_on_a_modern_standby_machine_then_hibernation_runs(self):
        d = self.driver
        main = self.start_main(env=self.computer("S4,HIBERFILE")).window()
        d.command(main, Menu.mnuWait)
        d.click(main, Main.lblActivate)
        text = d.message_box_text(wait_ms=10000)
        self.assertIsNotNone(text, "no message box")
        self.assertTrue(text.startswith(NO_STANDBY), repr(text))
        self.assertIn("Modern Standby", text)
        self.assertTrue(d.message_box_ok())
        self.assertEventually(lambda: d.message_box_count() == 0, timeout=5)
        self.assert_idle_and_shown(main, Menu.mnuWait)

        d.command(main, Menu.mnuSleep)
        d.command(main, Menu.mnuActive)
        self.assertEventually(lambda: d.text(main).startswith(HIBERNATE), timeout=3)
        self.assertIsNone(d.message_box_text())

        # Counting down: a change to standby is refused at once, and the countdown goes on.
        d.command(main, Menu.mnuWait)
        text = d.message_box_text(wait_ms=10000)
        self.assertIsNotNone(text, "no message box for the change")
        self.assertTrue(text.startswith(NO_STANDBY), repr(text))
        self.assertTrue(d.message_box_ok())
        self.assertEventually(lambda: d.message_box_count() == 0, timeout=5)
        self.assertTrue(d.menu_state(main, Menu.mnuSleep).checked)
        self.assertFalse(d.menu_state(main, Menu.mnuWait).checked)
        caption = d.text(main)
        self.assertTrue(caption.startswith(HIBERNATE), caption)
        self.assertEventually(lambda: d.text(main) not in (caption, IDLE_CAPTION), timeout=3)
        self.assertTrue(d.text(main).startswith(HIBERNATE), "the countdown goes on")

    def test_an_unknown_answer_counts_down(self):
        d = self.driver
        main = self.start_main(args=("/w", "5"), env=self.computer("FAIL")).window()
        self.assertEventually(lambda: d.text(main).startswith(STANDBY), timeout=3)
        self.assertIsNone(d.message_box_text())

    def test_wines_own_answer_allows_both(self):
        d = self.driver
        main = self.start_main().window()
        for item, prefix in ((Menu.mnuWait, STANDBY), (Menu.mnuSleep, HIBERNATE)):
            d.command(main, item)
            d.click(main, Main.lblActivate)
            self.assertEventually(lambda: d.text(main).startswith(prefix), timeout=3)
            self.assertIsNone(d.message_box_text())
            d.click(main, Main.lblReset)
            self.assertEventually(lambda: d.enabled(main, Main.lblActivate), timeout=3)

    def test_standby_refused_at_the_end_says_why(self):
        d = self.driver
        # ERROR_NOT_SUPPORTED: a suspend call that the system turns down when the time is up.
        program = self.start_main(args=("/w", "1"),
                                  env=self.computer("S1,S4,HIBERFILE", suspend_error=50))
        text = d.message_box_text(wait_ms=75000)
        self.assertIsNotNone(text, "no message box at the end of the countdown")
        self.assertTrue(text.startswith(STANDBY_FAILED), repr(text))
        reason = text[len(STANDBY_FAILED):]
        print("\nMEASURED reason line: %r" % reason)
        self.assertRegex(reason, r"^\S.* \(код 0x00000032\)$")
        self.assertNotIn("\n", reason)
        self.assertNotIn("система не описала", reason, "the system has words for error 50")
        self.assertTrue(d.message_box_ok())
        self.assertIsNotNone(program.wait_exit(5), "the program did not end after OK")
