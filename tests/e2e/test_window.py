"""The window's behaviour: hiding to the notification area, the icon's mouse messages, left
Ctrl+T, and always on top."""

from zorvo_e2e import (MAIN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP,
                       WS_EX_TOPMOST, Menu, ZorvoTestCase)

WM_SYSCOMMAND, SC_MINIMIZE = 0x0112, 0xF020
VK_LCONTROL, VK_RCONTROL, VK_T = 0xA2, 0xA3, 0x54


class WindowBehaviour(ZorvoTestCase):
    def assert_shown(self, shown, msg=None):
        d = self.driver
        self.assertEventually(lambda: (d.visible(MAIN), d.iconic(MAIN)) == (shown, not shown),
                              timeout=5, msg=msg)

    def test_icon_and_hot_key_bring_the_window_back(self):
        d = self.driver
        self.start_main()
        # Single clicks on the icon do nothing, hidden or shown; a double click brings it back,
        # from hidden or from minimised.
        for hide in ((Menu.mnuTray,), (WM_SYSCOMMAND, SC_MINIMIZE)):
            with self.subTest(hide=hide):
                if len(hide) == 1:
                    d.command(MAIN, *hide)
                else:
                    d.post(MAIN, 0, *hide)
                self.assertEventually(lambda: d.iconic(MAIN), timeout=5, msg="not hidden")
                hidden = not d.visible(MAIN)
                self.assertEqual(hidden, len(hide) == 1, "minimised stays visible")
                for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP):
                    d.tray(MAIN, message)
                d.sync(MAIN)
                self.assertEqual((d.visible(MAIN), d.iconic(MAIN)), (not hidden, True))
                d.tray(MAIN, WM_LBUTTONDBLCLK)
                self.assert_shown(True, "a double click on the icon must bring the window back")
                for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP):
                    d.tray(MAIN, message)
                d.sync(MAIN)
                self.assertEqual((d.visible(MAIN), d.iconic(MAIN)), (True, False))
        # Left Ctrl+T, held anywhere, brings a hidden window back, after each hide; the right
        # Ctrl key does not count.
        for hide in ("first", "second"):
            with self.subTest(hide=hide):
                d.command(MAIN, Menu.mnuTray)
                self.assert_shown(False)
                for ctrl in (VK_RCONTROL, VK_LCONTROL):
                    d.value("key-down", ctrl)
                    d.value("key-down", VK_T)
                    try:
                        if ctrl == VK_RCONTROL:  # the poll looks many times meanwhile
                            d.wait_ticks(MAIN)
                            self.assertFalse(d.visible(MAIN), "the right Ctrl key must not count")
                        else:
                            self.assert_shown(True, "left Ctrl+T did not bring the window back")
                    finally:
                        d.value("key-up", VK_T)
                        d.value("key-up", ctrl)

    def test_always_on_top_toggles_style_and_check_mark(self):
        d = self.driver
        self.start_main()
        for on in (True, False):
            d.command(MAIN, Menu.mnuTopM)
            d.sync(MAIN)
            self.assertEqual(d.menu_state(MAIN, Menu.mnuTopM).checked, on)
            self.assertEqual(bool(d.state(MAIN).exstyle & WS_EX_TOPMOST), on)
