"""Standby and hibernation on a computer that cannot do them, and on one that refuses at the end.

Wine answers that it has S1, S4 and a hibernation file, so both tasks are allowed as they come.
For the other answers the tests put a stand-in powrprof.dll (tests/e2e/fixtures) into the
prefix's system folder and start the program with WINEDLLOVERRIDES="powrprof=n": the program
loads the library from the system folder as it does on Windows, and meets the stand-in there.
Only the copies started so load it; the rest of the prefix keeps Wine's own."""

import shutil
from pathlib import Path

from zorvo_e2e import (BUILD, HIBERNATE, IDLE_CAPTION, STANDBY, Main, Menu, ZorvoTestCase)

STAND_IN = BUILD / "e2e" / "powrprof_stand_in.dll"
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
        # Moved, not written over: a shard's prefix shares Wine's files with the others.
        shutil.move(cls.system_library, cls.wine_library)
        shutil.copy2(STAND_IN, cls.system_library)

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.move(cls.wine_library, cls.system_library)

    def computer(self, states, suspend_error=None):
        """The environment of a copy that meets a computer with these states (None: Wine's)."""
        if states is None:
            return None
        env = {"WINEDLLOVERRIDES": self.session.env["WINEDLLOVERRIDES"] + ";powrprof=n",
               "ZORVO_E2E_SLEEP_STATES": states}
        if suspend_error is not None:
            env["ZORVO_E2E_SUSPEND_ERROR"] = str(suspend_error)
        return env

    def refused(self, main, item, text_start):
        """The message box that says why, then the window idle and in sight, the task kept."""
        d = self.driver
        text = d.message_box_text(wait_ms=10000)
        self.assertTrue(text and text.startswith(text_start), repr(text))
        self.assertTrue(text.endswith(NOT_STARTED), repr(text))
        self.assertTrue(d.visible(main), "the reason is given in sight of the window")
        self.assertTrue(d.message_box_press())
        self.assertEventually(lambda: d.message_box_count() == 0, timeout=5)
        self.assertEqual((d.visible(main), d.iconic(main)), (True, False))
        self.assertTrue(d.enabled(main, Main.lblActivate) and d.enabled(main, Main.Combo1))
        self.assertTrue(d.menu_state(main, item).checked, "the task stays selected")
        d.wait_ticks(main)
        self.assertEqual(d.text(main), IDLE_CAPTION, "no countdown")
        return text

    def test_what_the_computer_answers(self):
        d = self.driver
        cases = [  # states, arguments, menu item, refusal (None: the countdown runs)
            ("S1,S4", ("/s", "5", "/hid"), Menu.mnuSleep, HIBERNATION_OFF),
            ("FAIL", ("/w", "5"), Menu.mnuWait, None),  # no answer: counts down
            (None, ("/w", "5"), Menu.mnuWait, None),
            (None, ("/s", "5"), Menu.mnuSleep, None),
        ]
        for states, args, item, refusal in cases:
            with self.subTest(states=states, args=args):
                main = self.start_main(args=args, shown=args[-1] != "/hid",
                                       env=self.computer(states)).window()
                if refusal:
                    text = self.refused(main, item, refusal)
                    self.assertIn(" powercfg /h on", text)
                    self.assertEqual(d.text(main, Main.Combo1), args[1])
                else:
                    self.left(main, STANDBY if item == Menu.mnuWait else HIBERNATE)
                    self.assertIsNone(d.message_box_text())
                self.end_programs()

    def test_standby_refused_on_a_modern_standby_machine_then_hibernation_runs(self):
        d = self.driver
        main = self.start_main(env=self.computer("S4,HIBERFILE")).window()
        d.command(main, Menu.mnuWait)
        d.click(main, Main.lblActivate)
        self.assertIn("Modern Standby", self.refused(main, Menu.mnuWait, NO_STANDBY))
        d.command(main, Menu.mnuSleep)
        d.command(main, Menu.mnuActive)
        self.left(main, HIBERNATE)
        self.assertIsNone(d.message_box_text())
        # Counting down: a change to standby is refused at once, and the countdown goes on.
        d.command(main, Menu.mnuWait)
        text = d.message_box_text(wait_ms=10000)
        self.assertTrue(text and text.startswith(NO_STANDBY), repr(text))
        self.assertTrue(d.message_box_press())
        self.assertEventually(lambda: d.message_box_count() == 0, timeout=5)
        self.assertEqual([d.menu_state(main, m).checked for m in (Menu.mnuSleep, Menu.mnuWait)],
                         [True, False])
        before = self.left(main, HIBERNATE)
        self.assertEventually(lambda: self.left(main, HIBERNATE) < before, timeout=5,
                              msg="the countdown goes on")

    def test_standby_refused_at_the_end_says_why(self):
        d = self.driver
        # ERROR_NOT_SUPPORTED: a suspend call that the system turns down when the time is up.
        program = self.start_main(args=("/w", "1"),
                                  env=self.computer("S1,S4,HIBERFILE", suspend_error=50))
        text = d.message_box_text(wait_ms=75000)
        self.assertTrue(text and text.startswith(STANDBY_FAILED), repr(text))
        reason = text[len(STANDBY_FAILED):]
        print("\nMEASURED reason line: %r" % reason)
        self.assertRegex(reason, r"^\S.* \(код 0x00000032\)$")
        self.assertNotIn("\n", reason)
        self.assertNotIn("система не описала", reason, "the system has words for error 50")
        self.assertTrue(d.message_box_press())
        self.assertIsNotNone(program.wait_exit(5), "the program did not end after OK")
