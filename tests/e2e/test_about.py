"""The about box: its caption, the link, closing, the main window's always-on-top state around
it. (Its text is the unit tests' and the reference pictures'.)"""

from zorvo_e2e import (ABOUT, WS_EX_TOOLWINDOW, WS_EX_TOPMOST, About, Main, Menu, ZorvoTestCase,
                       wait_until)

WS_MINIMIZEBOX_MAXIMIZEBOX = 0x30000


class AboutBox(ZorvoTestCase):
    def tearDown(self):
        # Whatever the shell made of the home-page link must not outlive the test.
        self.driver.kill_image("winebrowser.exe")
        super().tearDown()

    def test_link_closing_and_top_most(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)

        def topmost(window):
            return bool(d.state(window).exstyle & WS_EX_TOPMOST)
        cases = [  # always on top, how the box is closed
            (True, lambda: d.click(about, About.lblOK)), (True, lambda: d.close_window(about)),
            (False, lambda: d.close_window(about))]
        for on, close in cases:
            if topmost(main) != on:
                d.command(main, Menu.mnuTopM)
                d.sync(main)
            self.assertEqual(topmost(main), on)
            self.open_form(main, Menu.mnuAbout, about)
            self.assertFalse(topmost(main), "the main window must not stay on top meanwhile")
            self.assertEqual(d.text(about), "О программе...")
            self.assertEqual(wait_until(lambda: d.tooltips(about), timeout=5),
                             [(About.lblHomePage, "https://zorvo.example/")])
            self.assertFocus(about, About.Text1, "the text box takes the focus")
            self.assertFalse(d.enabled(main), "the main window takes no input meanwhile")
            # A tool window without minimise and maximise boxes, owned by the main window.
            _, _, _, style, exstyle, owner, *_ = d.state(about)
            self.assertEqual((style & WS_MINIMIZEBOX_MAXIMIZEBOX, exstyle & WS_EX_TOOLWINDOW),
                             (0, WS_EX_TOOLWINDOW))
            self.assertEqual(owner, d.handle(program))

            d.click(about, About.lblHomePage)
            d.sync(about)
            self.assertTrue(d.visible(about), "the link leaves the box open")
            self.assertIsNone(d.message_box_text())
            close()
            self.assertTrue(d.wait_gone(about, 5000))
            self.assertTrue(d.enabled(main))
            self.assertFocus(main, Main.Combo1, "the main window is active again")
            self.assertEventually(lambda: topmost(main) == on, timeout=3)
