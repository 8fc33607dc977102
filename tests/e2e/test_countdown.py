"""A full one-minute run of the countdown: the alarm with its log entry."""

import datetime
import re
import time

from zorvo_e2e import ALARM, IDLE_CAPTION, MAIN, DriverError, Main, Menu, ZorvoTestCase


class OneMinuteRuns(ZorvoTestCase):

    def test_alarm_with_log(self):
        d = self.driver
        workdir = self.scratch / "work"
        workdir.mkdir()
        program = self.start_main(cwd=workdir)
        main = program.window()
        d.command(main, Menu.mnuAlarm)
        d.command(main, Menu.mnuLog)
        d.sync(main)
        self.assertTrue(d.menu_state(main, Menu.mnuLog).checked)
        self.assertTrue(d.visible(main, Main.lblLog), "lblLog shows while logging is on")

        d.click(main, Main.lblActivate)
        activated = time.monotonic()
        due_at = datetime.datetime.now() + datetime.timedelta(seconds=60)
        # Every caption of the minute, in order, polled ten times a second.
        captions = [IDLE_CAPTION]
        while time.monotonic() < activated + 59.3:
            text = d.text(main)
            if captions[-1] != text:
                captions.append(text)
            time.sleep(0.1)
        self.assertEqual(list(workdir.iterdir()), [], "nothing is logged before the end")
        # While the melody plays the window goes on answering: each round of messages is
        # answered at once, not after a note or the whole melody.
        rounds, unanswered, gone = [], [], None
        while time.monotonic() < activated + 80:
            asked = time.monotonic()
            try:
                d.call("sync", main, timeout=10)
                rounds.append((asked - activated, time.monotonic() - asked))
            except DriverError as error:
                # A window that has gone answers nothing: the program has ended its work (its
                # process may take a while longer to go on a loaded machine). Only a window
                # still there counts as silent.
                if not any(w[1] == program.windows_pid for w in d.windows(MAIN)):
                    # It went after the round before answered: a round asked of a window that
                    # goes meanwhile waits out its whole time limit, which is not the program's.
                    gone = asked
                    break
                unanswered.append((round(asked - activated, 2), str(error)))
            time.sleep(0.05)
        measured = (gone or time.monotonic()) - activated
        self.assertIsNotNone(program.wait_exit(30), "the alarm did not end the program")
        during = [took for at, took in rounds if at >= 60.3]
        self.assertEqual(unanswered, [], "the window did not answer while the program ran")
        print("\nMEASURED alarm 1-minute: %.2f s; %d rounds during the melody, slowest %.3f s"
              % (measured, len(during), max(during, default=0)))
        # The captions of the minute in order; a second the polling missed on a loaded machine
        # may lack, not many.
        expected = [IDLE_CAPTION] + [ALARM + "0 мин %02d сек" % s for s in range(59, 0, -1)]
        self.assertEqual([c for c in expected if c in captions], captions[:len(captions) - (
            captions[-1] == ALARM + "0 мин 00 сек")], "captions out of order or unknown")
        self.assertGreater(len(captions), 50, captions)
        # The melody lasts its 6.75 s even where Beep returns at once, as under Wine, and the
        # program ends after it, once.
        self.assertGreaterEqual(measured, 59.7 + 6.5)
        self.assertLessEqual(measured, 60.3 + 6.75 + 5.0)
        self.assertGreaterEqual(len(during), 5, "the window did not answer during the melody")
        self.assertLess(max(during), 2.5, "the window stopped answering during the melody")
        self.assertIsNone(d.message_box_text(), "the alarm must end without a message")

        self.assertEqual([p.name for p in workdir.iterdir()], ["zorvo.log"])
        content = (workdir / "zorvo.log").read_bytes()
        entry = re.fullmatch(rb"\[(\d\d\.\d\d\.\d{4})   (\d{1,2}:\d\d:\d\d)\]\r\n" +
                             "Сигнал подан".encode("cp1251") + rb"\r\n\*{24}\r\n", content)
        self.assertIsNotNone(entry, "zorvo.log holds %r" % content)
        stamp = datetime.datetime.strptime((entry[1] + b" " + entry[2]).decode(),
                                           "%d.%m.%Y %H:%M:%S")
        # Written after the melody, as after every other task's action.
        self.assertLessEqual(abs((stamp - due_at).total_seconds() - 6.75), 2,
                             "logged %s, the countdown ended at %s" % (stamp, due_at))
