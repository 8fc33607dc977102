"""The about box: its text, the link, closing, the main window's always-on-top state around it,
and a countdown that runs on, untouched, while a dialog is open."""

import re
import time

from zorvo_e2e import (ABOUT, BAT, WS_EX_TOOLWINDOW, WS_EX_TOPMOST, WS_MAXIMIZEBOX,
                       WS_MINIMIZEBOX, About, Bat, Main, Menu, ZorvoTestCase, wait_until)
from zorvo_e2e import VERSION

CAPTION = "О программе..."
FIRST_LINES = "Zorvo v" + VERSION + "\r\nДата создания: 16 ноября 2007\r\n"
SHUTDOWN = "Zorvo - до выключения осталось "


def remaining(caption):
    match = re.fullmatch(re.escape(SHUTDOWN) + r"(\d+) мин (\d\d) сек", caption)
    return int(match[1]) * 60 + int(match[2]) if match else None


class AboutBox(ZorvoTestCase):
    def tearDown(self):
        # Whatever the shell made of the home-page link must not outlive the test.
        self.driver.kill_image("winebrowser.exe")
        super().tearDown()

    def open_about(self, main, about):
        self.open_form(main, Menu.mnuAbout, about)

    def topmost(self, window):
        return bool(self.driver.styles(window)[1] & WS_EX_TOPMOST)

    def test_text_link_and_closing(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)
        for close in (lambda: d.click(about, About.lblOK), lambda: d.close_window(about)):
            self.open_about(main, about)
            self.assertEqual(d.text(about), CAPTION)
            text = d.text(about, About.Text1)
            self.assertTrue(text.startswith(FIRST_LINES), repr(text[:60]))
            self.assertEqual(len(text.split("\r\n")), 6, repr(text))
            self.assertFalse(text.endswith("\r\n"))
            self.assertEqual(d.text(about, About.lblHomePage), "Сайт программы")
            self.assertEqual(wait_until(lambda: d.tooltips(about), timeout=5),
                             [(About.lblHomePage, "https://zorvo.example/")])
            self.assertEqual(d.text(about, About.lblOK), "OK")
            self.assertEqual(d.focus(about), About.Text1, "the text box takes the focus")
            self.assertFalse(d.enabled(main), "the main window takes no input meanwhile")

            d.click(about, About.lblHomePage)
            d.sync(about)
            time.sleep(0.5)
            self.assertTrue(d.visible(about), "the link leaves the box open")
            self.assertIsNone(d.message_box_text())

            close()
            self.assertTrue(d.wait_gone(about, 5000))
            self.assertTrue(d.enabled(main))
            self.assertEqual(d.focus(main), Main.Combo1, "the main window is active again")

    def test_window_style(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)
        self.open_about(main, about)
        style, exstyle = d.styles(about)
        self.assertEqual(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)
        self.assertEqual(exstyle & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW)
        self.assertEqual(d.client_size(about), (234, 153))
        main_hwnd = d.handle(program)
        self.assertEqual(d.owner(about), main_hwnd)
        d.close_window(about)
        self.assertTrue(d.wait_gone(about, 5000))

    def test_topmost_is_suspended_while_open(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)
        d.command(main, Menu.mnuTopM)
        d.sync(main)
        self.assertTrue(self.topmost(main))
        for close in (lambda: d.click(about, About.lblOK), lambda: d.close_window(about)):
            self.open_about(main, about)
            self.assertFalse(self.topmost(main), "the main window must not stay on top")
            close()
            self.assertTrue(d.wait_gone(about, 5000))
            self.assertTrue(wait_until(lambda: self.topmost(main), timeout=3),
                            "on top again after the box closed")
        d.command(main, Menu.mnuTopM)
        d.sync(main)
        self.open_about(main, about)
        d.close_window(about)
        self.assertTrue(d.wait_gone(about, 5000))
        self.assertFalse(self.topmost(main))


class DialogsDuringACountdown(ZorvoTestCase):
    def test_countdown_runs_on_and_the_command_line_is_not_applied_again(self):
        d = self.driver
        program = self.start_main(args=("/v", "5"))
        main = program.window()
        first = wait_until(lambda: remaining(d.text(main)), timeout=5)
        self.assertIsNotNone(first, d.text(main))
        started = time.monotonic() - (299 - first)

        for cls, item, close in ((ABOUT, Menu.mnuAbout, About.lblOK),
                                 (BAT, Menu.mnuBat, Bat.lblCancel)):
            window = program.window(cls)
            d.command(main, item)
            self.assertTrue(d.wait_window(window, 5000))
            before = remaining(d.text(main))
            self.assertTrue(wait_until(lambda: remaining(d.text(main)) < before, timeout=3),
                            "the countdown must go on while %s is open" % cls)
            d.click(window, close)
            self.assertTrue(d.wait_gone(window, 5000))
            d.sync(main)
            time.sleep(1.2)

        left = remaining(d.text(main))
        expected = 299 - (time.monotonic() - started)
        self.assertIsNotNone(left, d.text(main))
        self.assertLess(abs(left - expected), 2.5, "restarted or stalled: %d s left" % left)
        self.assertFalse(d.enabled(main, Main.lblActivate))
        self.assertEqual(d.text(main, Main.Combo1), "5")
