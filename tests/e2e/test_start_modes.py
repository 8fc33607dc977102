"""However the program is started, its command line is applied once; and it leaves with the logon,
or when a script asks it to close.

Shortcuts set to "Minimized", `start /min` and the Task Scheduler start the program without
activating it; the first activation it then sees is the user restoring the window later."""

import re
import subprocess

from zorvo_e2e import (ABOUT, BAT, MAIN, SW_RESTORE, SW_SHOWMINNOACTIVE, WM_LBUTTONDBLCLK, Main,
                       Menu, ZorvoTestCase, wait_until)

ALARM = "Zorvo - подача звукового сигнала через "
WM_QUERYENDSESSION = 0x0011
WM_ENDSESSION = 0x0016


def seconds_left(caption):
    match = re.fullmatch(re.escape(ALARM) + r"(\d+) мин (\d\d) сек", caption)
    return int(match[1]) * 60 + int(match[2]) if match else None


class StartModes(ZorvoTestCase):
    def tearDown(self):
        super().tearDown()
        self.driver.kill_image()  # the copies that launch() started

    def launch(self, *args, show=SW_SHOWMINNOACTIVE):
        """Starts a copy as the shell does with `show`; its main window's driver name."""
        folder = self.program_folder()
        pid = self.driver.launch(show, self.scratch, folder.exe, *args)
        main = "%s@%d" % (MAIN, pid)
        self.assertTrue(self.driver.wait_exists(main, 20000), "no main window")
        return main

    def left(self, main):
        return wait_until(lambda: seconds_left(self.driver.text(main)), timeout=5)

    def assert_restored_and_counting_on(self, main, before):
        """Shown, not minimised, and a moment later still so, with the countdown going on."""
        d = self.driver
        self.assertEventually(lambda: d.visible(main) and not d.iconic(main), timeout=5,
                              msg="the window did not come back")
        d.sync(main)
        d.value("sleep", 1500)
        self.assertTrue(d.visible(main) and not d.iconic(main),
                        "the window went away again: the command line was applied again")
        after = self.left(main)
        self.assertIsNotNone(after, "no countdown: %r" % d.text(main))
        self.assertLess(after, before, "the countdown started over")
        self.assertFalse(d.enabled(main, Main.lblActivate))

    def test_start_min_then_restore(self):
        d = self.driver
        main = self.launch("/a", "5")
        self.assertEventually(lambda: d.iconic(main), timeout=5, msg="not started minimised")
        self.left(main)
        d.value("sleep", 2500)
        before = self.left(main)
        self.assertLessEqual(before, 298)
        d.show_window(main, SW_RESTORE)
        self.assert_restored_and_counting_on(main, before)

    def test_min_switch_then_restore(self):
        d = self.driver
        main = self.launch("/a", "5", "/min", show=1)
        self.assertEventually(lambda: d.iconic(main), timeout=5, msg="/min did not minimise")
        d.value("sleep", 2500)
        before = self.left(main)
        d.show_window(main, SW_RESTORE)
        self.assert_restored_and_counting_on(main, before)
        d.show_window(main, SW_RESTORE)  # and once more, already shown
        self.assert_restored_and_counting_on(main, self.left(main) + 1)

    def test_hid_started_minimised_then_double_click_on_the_icon(self):
        d = self.driver
        main = self.launch("/a", "5", "/hid")
        self.assertEventually(lambda: not d.visible(main) and self.left(main), timeout=5,
                              msg="/hid did not hide a running countdown")
        d.value("sleep", 2500)
        before = self.left(main)
        d.tray(main, WM_LBUTTONDBLCLK)
        self.assert_restored_and_counting_on(main, before)

    def test_invisible_without_a_task_keeps_its_icon(self):
        d = self.driver
        main = self.launch("/invisible", show=1)
        self.assertEventually(lambda: not d.visible(main), timeout=5, msg="not hidden")
        d.value("sleep", 500)
        # Hidden in the notification area, as /hid: the window keeps its place in the task list
        # (a fully hidden one is owned by a hidden window so that it has none).
        self.assertEqual(d.owner(main), 0, "fully hidden with nothing to bring it back")
        d.tray(main, WM_LBUTTONDBLCLK)
        self.assertEventually(lambda: d.visible(main) and not d.iconic(main), timeout=5,
                              msg="the icon's double click must bring the window back")

    def test_logoff_ends_the_program_like_exit(self):
        d = self.driver
        program = self.start_main(args=("/a", "5"))
        main = program.window()
        self.left(main)
        d.command(main, Menu.mnuLog)
        d.value("post", main, 0, WM_QUERYENDSESSION, 0, 0)
        d.value("post", main, 0, WM_ENDSESSION, 1, 0)
        self.assertIsNotNone(program.wait_exit(5), "the program outlived the logon")
        self.assertIsNone(d.message_box_text(), "no dialog on the way out")
        self.assertFalse((self.scratch / "zorvo.log").exists(), "no task was performed")

    def test_taskkill_without_force_calls_a_countdown_off(self):
        """The command the README gives a script: the program leaves as «Выход» does."""
        d = self.driver
        program = self.start_main(args=("/a", "1"))
        main = program.window()
        hwnd = d.handle(program)
        self.left(main)
        d.command(main, Menu.mnuLog)
        self.assertTrue(d.menu_state(main, Menu.mnuLog).checked)
        self.assertEventually(lambda: d.has_tray_icon(hwnd), timeout=5,
                              msg="the program's icon is not in the notification area")
        result = subprocess.run(["wine", "taskkill", "/im", "zorvo.exe"], env=self.session.env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=60,
                                check=False)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(program.wait_exit(10), 0, "the program did not leave when asked")
        self.assertIsNone(d.message_box_text(), "no dialog on the way out")
        # Wine's shell also sweeps the icons of a destroyed window; Windows leaves a ghost until
        # the mouse passes over it, so the unit tests hold the program's own removal.
        self.assertFalse(d.has_tray_icon(hwnd), "its icon stayed behind")
        # The alarm writes its entry after the melody: no entry, no task.
        self.assertFalse((self.scratch / "zorvo.log").exists(), "the task was performed")

    def test_taskkill_with_a_dialog_open(self):
        """A modal dialog's loop does not keep the program, nor its task, alive."""
        d = self.driver
        for dialog, item in ((BAT, Menu.mnuBat), (ABOUT, Menu.mnuAbout)):
            with self.subTest(dialog):
                program = self.start_main(args=("/a", "1"))
                main = program.window()
                d.command(main, Menu.mnuLog)
                d.command(main, item)
                self.assertTrue(d.wait_window(program.window(dialog), 5000), "no dialog")
                subprocess.run(["wine", "taskkill", "/im", "zorvo.exe"], env=self.session.env,
                               stdin=subprocess.DEVNULL, capture_output=True, timeout=60,
                               check=False)
                self.assertEqual(program.wait_exit(10), 0, "the program did not leave")
                self.assertIsNone(d.message_box_text(), "no dialog on the way out")
                self.assertFalse((self.scratch / "zorvo.log").exists(), "the task was performed")
                self.end_programs()

    def test_a_cancelled_logoff_changes_nothing(self):
        d = self.driver
        program = self.start_main(args=("/a", "5"))
        main = program.window()
        before = self.left(main)
        d.value("post", main, 0, WM_QUERYENDSESSION, 0, 0)
        d.value("post", main, 0, WM_ENDSESSION, 0, 0)
        d.sync(main)
        d.value("sleep", 1200)
        self.assertTrue(program.running())
        self.assertLess(self.left(main), before)
