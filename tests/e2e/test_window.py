"""The window's behaviour: hiding to the notification area, the icon's mouse messages and left
Ctrl+T. (Always on top is in test_about, around the about box.)"""

from zorvo_e2e import (MAIN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, Menu,
                       ZorvoTestCase)

WM_SYSCOMMAND, SC_MINIMIZE = 0x0112, 0xF020
VK_LCONTROL, VK_RCONTROL, VK_T = 0xA2, 0xA3, 0x54


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
                    d.value("key-down", ctrl)
                    d.value("key-down", VK_T)
                    try:
                        if ctrl == VK_RCONTROL:  # the poll looks many times meanwhile
                            d.wait_ticks(MAIN)
                            self.assert_state(False, True, "the right Ctrl key", at_once=True)
                        else:
                            self.assert_state(True, False, "left Ctrl+T did not bring it back")
                    finally:
                        d.value("key-up", VK_T)
                        d.value("key-up", ctrl)
