"""However the program is started, its command line is applied once; and it leaves with the logon,
or when a script asks it to close.

Shortcuts set to "Minimized", `start /min` and the Task Scheduler start the program without
activating it; the first activation it then sees is the user restoring the window later."""

import subprocess

from zorvo_e2e import (ABOUT, ALARM, BAT, MAIN, WM_LBUTTONDBLCLK, Main, Menu, ZorvoTestCase)

SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_RESTORE = 1, 7, 9
WM_QUERYENDSESSION, WM_ENDSESSION = 0x0011, 0x0016


class StartModes(ZorvoTestCase):
    def test_restored_once_and_counting_on(self):
        d = self.driver
        def restore(main):
            d.show_window(main, SW_RESTORE)

        def double_click(main):
            d.tray(main, WM_LBUTTONDBLCLK)
        cases = [  # show command, arguments, how the window is brought back (twice)
            (SW_SHOWMINNOACTIVE, ("/a", "5"), restore),
            (SW_SHOWNORMAL, ("/a", "5", "/min"), restore),
            (SW_SHOWMINNOACTIVE, ("/a", "5", "/hid"), double_click),
            # Hidden to the notification area as /hid does, with nothing to count down: the
            # window keeps its place in the task list (a fully hidden one is owned).
            (SW_SHOWNORMAL, ("/invisible",), double_click),
        ]
        for show, args, bring_back in cases:
            with self.subTest(args=" ".join(args), show=show):
                pid = d.launch(show, self.scratch, self.program_folder().exe, *args)
                main = "%s@%d" % (MAIN, pid)
                self.assertTrue(d.wait_exists(main, 20000), "no main window")
                hidden = args[-1] in ("/hid", "/invisible")
                self.assertEventually(lambda: d.iconic(main) and d.visible(main) != hidden,
                                      timeout=5, msg="not started minimised or hidden")
                counting = args[0] == "/a"
                before = self.left(main, ALARM) if counting else None
                if not counting:
                    self.assertEqual(d.state(main).owner, 0, "hidden with nothing to bring it back")
                for _ in range(2):
                    bring_back(main)
                    self.assertEventually(lambda: d.visible(main) and not d.iconic(main),
                                          timeout=5, msg="the window did not come back")
                    d.wait_ticks(main)
                    self.assertTrue(d.visible(main) and not d.iconic(main),
                                    "the window went away again: the command line was applied "
                                    "again")
                    if counting:
                        after = self.left(main, ALARM)
                        self.assertLess(after, before, "the countdown started over")
                        before = after
                        self.assertFalse(d.enabled(main, Main.lblActivate))
                self.end_programs()

    def test_logoff_cancelled_then_done(self):
        d = self.driver
        program = self.start_main(args=("/a", "5"))
        main = program.window()
        d.command(main, Menu.mnuLog)
        before = self.left(main, ALARM)
        d.post(main, 0, WM_QUERYENDSESSION)
        d.post(main, 0, WM_ENDSESSION, 0, 0)
        d.wait_ticks(main)
        self.assertTrue(program.running())
        self.assertLess(self.left(main, ALARM), before, "a cancelled logoff changes nothing")
        d.post(main, 0, WM_QUERYENDSESSION)
        d.post(main, 0, WM_ENDSESSION, 1, 0)
        self.assertIsNotNone(program.wait_exit(5), "the program outlived the logon")
        self.assertIsNone(d.message_box_text(), "no dialog on the way out")
        self.assertFalse((self.scratch / "zorvo.log").exists(), "no task was performed")

    def test_asked_to_close_it_performs_nothing(self):
        """taskkill without /f, as the README gives a script, with or without a dialog open (a
        modal dialog's loop does not keep the program alive), and «Выход»."""
        d = self.driver
        for dialog, item in ((None, None), (BAT, Menu.mnuBat), (ABOUT, Menu.mnuAbout),
                             (None, Menu.mnuExit)):
            with self.subTest(dialog=dialog, item=item):
                program = self.start_main(args=("/a", "1"))
                main = program.window()
                hwnd = d.handle(program)
                self.left(main, ALARM)
                d.command(main, Menu.mnuLog)
                self.assertEventually(lambda: d.has_tray_icon(hwnd), timeout=5,
                                      msg="the program's icon is not in the notification area")
                if dialog:
                    self.open_form(main, item, program.window(dialog))
                if item == Menu.mnuExit:
                    d.command(main, item)
                else:
                    result = subprocess.run(["wine", "taskkill", "/im", "zorvo.exe"],
                                            env=self.session.env, stdin=subprocess.DEVNULL,
                                            capture_output=True, timeout=60, check=False)
                    self.assertTrue(dialog or result.returncode == 0, result.stdout)
                self.assertEqual(program.wait_exit(10), 0, "the program did not leave")
                self.assertIsNone(d.message_box_text(), "no dialog on the way out")
                # Wine's shell also sweeps the icons of a destroyed window; Windows leaves a
                # ghost until the mouse passes over it, so the unit tests hold the program's own
                # removal.
                self.assertFalse(d.has_tray_icon(hwnd), "its icon stayed behind")
                # The alarm writes its entry after the melody: no entry, no task.
                self.assertFalse((self.scratch / "zorvo.log").exists(), "the task was performed")
                self.end_programs()
