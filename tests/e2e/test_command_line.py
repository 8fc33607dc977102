"""Tasks started from the command line as Wine hands it to the program: delay, task and window
switches, and a line at CreateProcess's length limit."""

import random

from zorvo_e2e import (ALARM, IDLE_CAPTION, REBOOT, SHUTDOWN, STANDBY, WS_EX_TOOLWINDOW, Main,
                       Menu, ZorvoTestCase, windows_path)

WS_EX_APPWINDOW = 0x00040000
TASKS = {SHUTDOWN: Menu.mnuShutDown, ALARM: Menu.mnuAlarm, REBOOT: Menu.mnuReboot,
         STANDBY: Menu.mnuWait}


def junk(length):
    """Arguments that mean nothing, `length` characters with the blanks between them; no quotes
    and no blanks inside one, so Wine passes the text on unchanged."""
    rnd = random.Random(1)
    alphabet = "abcxyzABC0123456789/-_.,:;!?@#$%^&*()[]{}=+~|<>'`\\абвгдеёжзийЖЯ"
    args = []
    while len(" ".join(args)) < length - 25:
        arg = "".join(rnd.choice(alphabet) for _ in range(rnd.randint(1, 24)))
        if not arg.endswith("\\") and not arg.startswith("/"):
            args.append(arg)
    return args + ["x" * (length - len(" ".join(args)) - 1)]


class CommandLine(ZorvoTestCase):
    def test_switches(self):
        d = self.driver
        line = junk(32000)
        cases = [  # arguments, the task's caption (None: idle), minutes, window
            (("/a", "90"), ALARM, 90, "shown"),
            (("/v", "5", "/min"), SHUTDOWN, 5, "minimised"),
            (("/w", "5", "/invisible"), STANDBY, 5, "hidden"),
            (("/a", "5", *line), ALARM, 5, "shown"),
            (line, None, 1, "shown"),
        ]
        for args, prefix, minutes, window in cases:
            with self.subTest(args=" ".join(args)[:20]):
                folder = self.program_folder()
                self.assertLess(len(windows_path(folder.exe)) + 3 + len(" ".join(args)), 32767)
                main = self.start_main(folder=folder, args=args, shown=window != "hidden").window()
                if prefix is None:
                    # Applied at the first activation, which gives the box the focus.
                    self.assertFocus(main, Main.Combo1)
                    d.wait_ticks(main)
                    self.assertEqual(d.text(main), IDLE_CAPTION)
                    self.assertTrue(d.enabled(main, Main.lblActivate))
                else:
                    left = self.left(main, prefix)
                    self.assertGreater(left, minutes * 60 - 10)
                    self.assertFalse(d.enabled(main, Main.Combo1) or
                                     d.enabled(main, Main.lblActivate))
                checked = [t for t, item in TASKS.items() if d.menu_state(main, item).checked]
                self.assertEqual(checked, [prefix or SHUTDOWN])
                self.assertEqual(d.text(main, Main.Combo1), str(minutes))
                self.assertEqual(d.text(main, Main.lblH), "%d:%02d" % divmod(minutes, 60))
                self.assertEqual((d.visible(main), d.iconic(main)),
                                 {"shown": (True, False), "minimised": (True, True),
                                  "hidden": (False, True)}[window])
                if window == "hidden":  # and no taskbar button either
                    state = d.state(main)
                    self.assertEqual(state.exstyle & WS_EX_APPWINDOW, 0)
                    self.assertTrue(state.exstyle & WS_EX_TOOLWINDOW or state.owner)
                self.assertIsNone(d.message_box_text())
                self.end_programs()
