"""However the program is started, its command line is applied once; it leaves with the logon,
or when a script asks it to close; and the window comes back from the notification area by the
icon's double click or left Ctrl+T. (Always on top is in test_about, around the about box.)

Shortcuts set to "Minimized", `start /min` and the Task Scheduler start the program without
activating it; the first activation it then sees is the user restoring the window later."""

import subprocess

from zorvo_e2e import (ABOUT, ALARM, BAT, MAIN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONUP,
                       WM_RBUTTONUP, Main, Menu, ZorvoTestCase)

SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_RESTORE = 1, 7, 9
WM_QUERYENDSESSION, WM_ENDSESSION = 0x0011, 0x0016
WM_SYSCOMMAND, SC_MINIMIZE = 0x0112, 0xF020
VK_LCONTROL, VK_RCONTROL, VK_T = 0xA2, 0xA3, 0x54


class StartModes(ZorvoTestCase):
    def test_restored_once_and_counting_on(self):
        d = self.driver
        restore, double_click = (lambda main: d.show_window(main, SW_RESTORE),
                                 lambda main: d.tray(main, WM_LBUTTONDBLCLK))
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
                    before = self.left(main, ALARM)
                    self.assertEventually(lambda: self.left(main, ALARM) < before, timeout=5,
                                          msg="the countdown must go on while %s is open" % dialog)
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


class WindowBehaviour(ZorvoTestCase):
    def assert_state(self, visible, iconic, msg=None, at_once=False):
        d = self.driver
        self.assertEventually(lambda: (d.visible(MAIN), d.iconic(MAIN)) == (visible, iconic),
                              timeout=0 if at_once else 5, msg=msg)

    def single_clicks(self):
        for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP):
            self.driver.tray(MAIN, message)
        self.driver.sync(MAIN)

    def test_icon_and_hot_key_bring_the_window_back(self):
        d = self.driver
        self.start_main()
        # Single clicks on the icon do nothing, hidden or shown; a double click brings the
        # window back, hidden to the icon (which minimises it too) or minimised.
        for hidden in (True, False):
            with self.subTest(hidden=hidden):
                if hidden:
                    d.command(MAIN, Menu.mnuTray)
                else:
                    d.post(MAIN, 0, WM_SYSCOMMAND, SC_MINIMIZE)
                self.assert_state(not hidden, True)
                self.single_clicks()
                self.assert_state(not hidden, True, "a single click on the icon", at_once=True)
                d.tray(MAIN, WM_LBUTTONDBLCLK)
                self.assert_state(True, False, "a double click on the icon must bring it back")
                self.single_clicks()
                self.assert_state(True, False, "a single click on the icon", at_once=True)
        # Left Ctrl+T, held anywhere, brings a hidden window back, after each hide; the right
        # Ctrl key does not count.
        for hide in ("first", "second"):
            with self.subTest(hide=hide):
                d.command(MAIN, Menu.mnuTray)
                self.assert_state(False, True)
                for ctrl in (VK_RCONTROL, VK_LCONTROL):
                    d.value("keys", "*", ctrl, VK_T)
                    try:
                        if ctrl == VK_RCONTROL:  # the poll looks many times meanwhile
                            d.wait_ticks(MAIN)
                            self.assert_state(False, True, "the right Ctrl key", at_once=True)
                        else:
                            self.assert_state(True, False, "left Ctrl+T did not bring it back")
                    finally:
                        d.value("keys", "*", -VK_T, -ctrl)
