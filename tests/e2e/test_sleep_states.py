"""Standby and hibernation on a computer that cannot do them, and on one that refuses at the end.

Wine answers that it has S1, S4 and a hibernation file, so both tasks are allowed as they come.
For the other answers the tests put a stand-in powrprof.dll (tests/e2e/fixtures) into the
prefix's system folder and start the program with WINEDLLOVERRIDES="powrprof=n": the program
loads the library from the system folder as it does on Windows, and meets the stand-in there.
Only the copies started so load it; the rest of the prefix keeps Wine's own."""

import os
import re
import shutil
import subprocess
from pathlib import Path

from zorvo_e2e import (BUILD, HIBERNATE, IDLE_CAPTION, SHUTDOWN, STANDBY, Main, Menu,
                       ZorvoTestCase)

STAND_IN = BUILD / "e2e" / "powrprof_stand_in.dll"
NO_STANDBY = "Этот компьютер нельзя перевести в ждущий режим: "
HIBERNATION_OFF = ("Этот компьютер нельзя перевести в спящий режим: в Windows выключена "
                   "гибернация (нет файла гибернации).\r\n")
NOT_STARTED = "\r\nОтсчёт не запущен."
WM_POWERBROADCAST = 0x0218
PBT_APMPOWERSTATUSCHANGE = 0x000A
# SetThreadExecutionState as Wine's log shows it: the system held, the display too, nothing.
SYSTEM, DISPLAY, RELEASED = "0x80000001", "0x80000003", "0x80000000"
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

    def power_source(self):
        """A folder that a copy started with the returned environment sees as the computer's
        power supplies (Wine reads /sys/class/power_supply), in a mount namespace of its own; the
        test writes "0" or "1" into the folder's AC/online. None where namespaces are not allowed."""
        supplies = self.scratch / "power_supply"
        for name, values in (("AC", {"type": "Mains", "online": "0"}),
                             ("BAT0", {"type": "Battery", "present": "1", "status": "Discharging",
                                       "capacity": "50"})):
            (supplies / name).mkdir(parents=True)
            for key, value in values.items():
                (supplies / name / key).write_text(value + "\n")
        probe = subprocess.run(["unshare", "-m", "--propagation", "private", "mount", "--bind",
                                str(supplies), "/sys/class/power_supply"],
                               capture_output=True, check=False)
        if probe.returncode != 0:
            return None, {}
        wrapper = self.scratch / "bin" / "wine"
        wrapper.parent.mkdir()
        wrapper.write_text('#!/bin/sh\nexec unshare -m --propagation private sh -c \'mount --bind '
                           '"$0" /sys/class/power_supply && exec "$@"\' %s %s "$@"\n'
                           % (supplies, shutil.which("wine")))
        wrapper.chmod(0o755)
        return supplies / "AC" / "online", {"PATH": "%s:%s" % (wrapper.parent, os.environ["PATH"])}

    def test_a_countdown_holds_the_display_on_a_modern_standby_computer_on_battery(self):
        d = self.driver
        mains, env = self.power_source()
        env.update(self.computer("S1,S4,HIBERFILE,AOAC"), WINEDEBUG="warn+ntdll")
        program = self.start_main(args=("/v", "1"), env=env)
        main = program.window()

        def holds():
            log = Path(program.log.name).read_text(errors="replace")
            return re.findall(r"NtSetThreadExecutionState \((0x[0-9a-f]+),", log)

        def wait_for(state, count):
            self.assertEventually(lambda: holds().count(state) == count, timeout=5,
                                  msg="%s %d times; held: %s" % (state, count, holds()))
        self.assertEventually(lambda: d.text(main).startswith(SHUTDOWN), timeout=3)
        if mains is None:
            print("\nMEASURED no mount namespace here: the mains only")
            wait_for(SYSTEM, 1)
        else:
            wait_for(DISPLAY, 1)
            for online, state, count in (("1", SYSTEM, 1), ("0", DISPLAY, 2)):
                mains.write_text(online + "\n")
                d.post(main, 0, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0)
                wait_for(state, count)
        # At zero the hold goes; Wine's WMI has no ShutDown, so the failure box comes unchanged.
        text = d.message_box_text(wait_ms=75000)
        self.assertTrue(text and text.startswith("Не удалось выключить компьютер.\r\n"), repr(text))
        self.assertRegex(text.splitlines()[-1], r"^Причина: \S.* \(код 0x[0-9A-F]{8}\)$")
        self.assertEqual(holds()[-1], RELEASED, "held while the box waits")
        self.assertTrue(d.message_box_press())
        self.assertIsNotNone(program.wait_exit(5), "the program did not end after OK")

    def test_what_the_computer_answers(self):
        d = self.driver
        cases = [  # states, arguments, menu item, refusal (None: the countdown runs), what to do
            ("S1,S4", ("/s", "5", "/hid"), Menu.mnuSleep, HIBERNATION_OFF, " powercfg /h on"),
            ("S4,HIBERFILE", ("/w", "5"), Menu.mnuWait, NO_STANDBY, "Modern Standby"),
            ("FAIL", ("/w", "5"), Menu.mnuWait, None, None),  # no answer: counts down
            (None, ("/w", "5"), Menu.mnuWait, None, None),
            (None, ("/s", "5"), Menu.mnuSleep, None, None),
        ]
        for states, args, item, refusal, advice in cases:
            with self.subTest(states=states, args=args):
                main = self.start_main(args=args, shown=args[-1] != "/hid",
                                       env=self.computer(states)).window()
                if refusal:
                    # The message box that says why, then the window idle and in sight, the task
                    # kept.
                    text = d.message_box_text(wait_ms=10000)
                    self.assertTrue(text and text.startswith(refusal) and advice in text and
                                    text.endswith(NOT_STARTED), repr(text))
                    self.assertTrue(d.visible(main), "the reason is given in sight of the window")
                    self.assertTrue(d.message_box_press())
                    self.assertEqual((d.visible(main), d.iconic(main)), (True, False))
                    self.assertTrue(d.enabled(main, Main.lblActivate) and
                                    d.enabled(main, Main.Combo1))
                    self.assertTrue(d.menu_state(main, item).checked, "the task stays selected")
                    d.wait_ticks(main)
                    self.assertEqual(d.text(main), IDLE_CAPTION, "no countdown")
                    self.assertEqual(d.text(main, Main.Combo1), args[1])
                else:
                    self.left(main, STANDBY if item == Menu.mnuWait else HIBERNATE)
                    self.assertIsNone(d.message_box_text())
                self.end_programs()

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
