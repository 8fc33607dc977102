"""The window's behaviour: hiding to the notification area, the icon's mouse messages, always on
top, and ending the program while a countdown runs."""

import time

from zorvo_e2e import (MAIN, VK_LCONTROL, VK_RCONTROL, VK_T, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN,
                       WM_LBUTTONUP, WM_RBUTTONUP, WS_EX_TOPMOST, Main, Menu, ZorvoTestCase,
                       wait_until)
from zorvo_e2e import IDLE_CAPTION

WM_SYSCOMMAND = 0x0112
SC_MINIMIZE = 0xF020


class TrayAndTopMost(ZorvoTestCase):
    """One idle program; every test leaves its window shown, normal and not on top."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.program = cls.start_main_for_class()

    def assert_shown_normal(self):
        d = self.driver
        self.assertTrue(wait_until(lambda: d.visible(MAIN) and not d.iconic(MAIN), timeout=5),
                        "visible %s, iconic %s" % (d.visible(MAIN), d.iconic(MAIN)))

    def test_hide_then_single_clicks_do_nothing_and_double_click_restores(self):
        d = self.driver
        self.assert_shown_normal()
        d.command(MAIN, Menu.mnuTray)
        self.assertEventually(lambda: not d.visible(MAIN), timeout=5, msg="mnuTray did not hide")
        self.assertTrue(d.iconic(MAIN), "hidden to the notification area means minimised too")

        for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP):
            d.tray(MAIN, message)
        d.sync(MAIN)
        self.assertFalse(d.visible(MAIN), "a single click on the icon must not show the window")
        self.assertTrue(d.iconic(MAIN))

        d.tray(MAIN, WM_LBUTTONDBLCLK)
        self.assert_shown_normal()
        self.assertEqual(d.text(MAIN), IDLE_CAPTION)

    def test_single_clicks_leave_a_shown_window_alone(self):
        d = self.driver
        self.assert_shown_normal()
        for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP):
            d.tray(MAIN, message)
        d.sync(MAIN)
        self.assertTrue(d.visible(MAIN))
        self.assertFalse(d.iconic(MAIN))

    def test_double_click_restores_a_minimised_window(self):
        d = self.driver
        self.assert_shown_normal()
        d.value("post", MAIN, 0, WM_SYSCOMMAND, SC_MINIMIZE)
        self.assertEventually(lambda: d.iconic(MAIN), timeout=5, msg="the window did not minimise")
        self.assertTrue(d.visible(MAIN), "a minimised window stays visible")
        d.tray(MAIN, WM_LBUTTONDBLCLK)
        self.assert_shown_normal()

    def test_always_on_top_toggles_style_and_check_mark(self):
        d = self.driver
        for on in (True, False):
            with self.subTest("on" if on else "off"):
                d.command(MAIN, Menu.mnuTopM)
                d.sync(MAIN)
                self.assertEqual(d.menu_state(MAIN, Menu.mnuTopM).checked, on)
                exstyle = d.styles(MAIN)[1]
                self.assertEqual(bool(exstyle & WS_EX_TOPMOST), on, "exstyle 0x%X" % exstyle)


class ShowHotKey(ZorvoTestCase):
    """Left Ctrl+T, held anywhere, brings back a window hidden to the notification area."""

    def hide(self, main):
        d = self.driver
        d.command(main, Menu.mnuTray)
        self.assertEventually(lambda: not d.visible(main), timeout=5, msg="mnuTray did not hide")

    def press(self, ctrl):
        """Holds ctrl+T for a second (the poll looks many times meanwhile), then lets go."""
        d = self.driver
        d.hold_keys(ctrl, VK_T)
        try:
            time.sleep(1)
        finally:
            d.release_keys(ctrl, VK_T)

    def test_left_ctrl_t_shows_the_window_after_each_hide_and_right_ctrl_does_not(self):
        d = self.driver
        main = self.start_main().window()
        for hide in ("first", "second"):
            with self.subTest(hide):
                self.hide(main)
                self.press(VK_RCONTROL)
                d.sync(main)
                self.assertFalse(d.visible(main), "the right Ctrl key must not count")
                self.press(VK_LCONTROL)
                self.assertEventually(lambda: d.visible(main) and not d.iconic(main), timeout=3,
                                      msg="left Ctrl+T did not bring the window back")


class EndingWhileRunning(ZorvoTestCase):
    """Closing the main window during a countdown ends the program and performs nothing."""

    def assert_ends_quietly(self, close):
        d = self.driver
        workdir = self.scratch / "work"
        workdir.mkdir()
        program = self.start_main(cwd=workdir)
        main = program.window()
        d.command(main, Menu.mnuLog)
        d.click(main, Main.lblActivate)
        self.assertEventually(lambda: d.text(main).startswith("Zorvo - до выключения осталось"),
                              timeout=3, msg="the countdown did not start")
        close(main)
        self.assertIsNotNone(program.wait_exit(5), "the program did not end")
        self.assertIsNone(d.message_box_text(), "ending must not show a message")
        self.assertEqual(list(workdir.iterdir()), [], "ending must not write the log")

    def test_exit_menu(self):
        self.assert_ends_quietly(lambda main: self.driver.command(main, Menu.mnuExit))

    def test_close_box(self):
        self.assert_ends_quietly(lambda main: self.driver.close_window(main))
