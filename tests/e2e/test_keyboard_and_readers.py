"""Keyboard only and screen readers: Enter and Esc in the dialogs, wherever the focus is, and
every clickable label read and pressed through Active Accessibility from another process, as a
screen reader does it."""

from test_batch import BatchDialogCase
from zorvo_e2e import (ABOUT, IDLE_CAPTION, SHUTDOWN, VK_ESCAPE, VK_RETURN, VK_TAB, WARNING,
                       About, Bat, Main, Menu, ZorvoTestCase)

VK_CONTROL, VK_DOWN = 0x11, 0x28
CB_SHOWDROPDOWN = 0x014F
ROLE_CLIENT, ROLE_LINK, ROLE_PUSHBUTTON = 0x0A, 0x1E, 0x2B
STATE_UNAVAILABLE, STATE_DEFAULT, STATE_INVISIBLE, STATE_LINKED = 0x1, 0x100, 0x8000, 0x400000
DISP_E_MEMBERNOTFOUND = 0x80020003
PRESS, JUMP = "Нажать", "Перейти"


class BatchDialogKeys(BatchDialogCase):
    def test_enter_and_esc_from_every_control(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        cases = [  # the focus stops, reached with Tab from the first, and a label (it never has
            # the focus, but a script may aim a key there): the action chosen, its file
            (Bat.Combo1, "Перезагрузка", "reset.bat", "/r 7 "),
            (Bat.Combo2, "Звуковой сигнал", "alarm.bat", "/a 7 "),
            (Bat.Option1, "Спящий режим", "sleep.bat", "/s 7 "),
            (Bat.lblCancel, "Выключение", "shutdown.bat", "/v 7 "),
        ]
        for key in (VK_ESCAPE, VK_RETURN):
            for tabs, (control, action, name, switches) in enumerate(cases):
                with self.subTest(key=key, control=control):
                    self.choose(main, bat, action=action, minutes="7")
                    for _ in range(min(tabs, 2)):
                        d.key(bat, d.focus(bat), VK_TAB)
                        d.sync(bat)
                    self.assertEqual(d.focus(bat), Bat.Option1 if tabs > 2 else control)
                    d.key(bat, control, key)
                    self.assertTrue(d.wait_gone(bat, 5000), "the key must close the dialog")
                    self.assertEqual(self.written().get(name),
                                     self.content(switches) if key == VK_RETURN else None)
                    self.assertTrue(d.enabled(main))
        self.assertTrue(d.enabled(main, Main.lblActivate), "the main window did not see a key")
        # An open list takes Esc first.
        self.choose(main, bat)
        d.post(bat, Bat.Combo2, CB_SHOWDROPDOWN, 1)
        d.sync(bat)
        d.key(bat, Bat.Combo2, VK_ESCAPE)
        d.sync(bat)
        self.assertTrue(d.visible(bat), "Esc closes the open list, not the dialog")
        d.key(bat, Bat.Combo2, VK_ESCAPE)
        self.assertTrue(d.wait_gone(bat, 5000), "a second Esc closes the dialog")

    def test_keyboard_only_user_writes_a_batch_file(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        for keys, expected in (((VK_TAB, VK_DOWN, VK_RETURN), {"wait.bat": self.content("/w 1 ")}),
                               ((VK_ESCAPE,), None)):
            before = self.written()
            self.assertFocus(main, Main.Combo1)  # back in the main window, where keys now go
            for _ in range(3):  # (a shortcut of the window, wherever its focus is)
                d.press_keys(main, VK_CONTROL, ord("B"))
                if d.wait_window(bat, 5000):
                    break
                # Under load Wine may lose the Ctrl (the minutes box then warns of the B) or the
                # front (see press_keys); a program that drops the keys itself keeps the front.
                warned = d.message_box_text() == WARNING and d.message_box_press()
                self.assertTrue(warned or not d.foreground(main), "Ctrl+B did not open the dialog")
                print("\nMEASURED Ctrl+B typed again after",
                      "a B alone" if warned else d.value("activate", main))
            else:
                self.fail("no Ctrl+B of three opened the dialog")
            self.assertFocus(bat, Bat.Combo1)
            for key in keys:
                d.press_keys(bat, key)
            self.assertTrue(d.wait_gone(bat, 5000), "Enter or Esc did not close the dialog")
            self.assertEqual(self.written(), expected or before)


class AboutBoxKeys(ZorvoTestCase):
    def test_enter_and_esc_close_it(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)
        # Typed on the keyboard. (A key posted to any control goes the batch dialog's way: one
        # modal loop asks the form's keys of both.)
        for key in (VK_RETURN, VK_ESCAPE):
            with self.subTest(key=key):
                self.open_form(main, Menu.mnuAbout, about)
                self.assertFocus(about, About.Text1)
                d.press_keys(about, key)
                self.assertTrue(d.wait_gone(about, 5000))
                self.assertTrue(d.enabled(main))
        self.assertEqual(d.text(main), IDLE_CAPTION, "no key reached the main window")
        # In the main window Enter stays the minutes box's: it activates the countdown.
        self.assertFocus(main, Main.Combo1)
        d.press_keys(main, VK_RETURN)
        self.left(main, SHUTDOWN)


class ScreenReaders(ZorvoTestCase):
    def accessible(self, window, control_id):
        """(role, state, name, default action) as a screen reader in another process reads them."""
        role, state, name, action = self.driver.value("accessible", window, control_id).split("\t")
        return int(role, 16), int(state, 16), name, action

    def press(self, window, control_id):
        """The control's default action run through the reader's object; its HRESULT."""
        return int(self.driver.value("accessible-do", window, control_id), 16)

    def test_clickable_labels_are_buttons_and_a_link(self):
        d = self.driver
        program = self.start_main()
        main = program.window()
        role, state, name, action = self.accessible(main, Main.lblReset)
        self.assertEqual((role, name, action), (ROLE_PUSHBUTTON, "Сбросить", ""),
                         "a hidden button offers nothing to press")
        self.assertEqual(state & (STATE_INVISIBLE | STATE_UNAVAILABLE),
                         STATE_INVISIBLE | STATE_UNAVAILABLE)
        self.assertEqual(self.press(main, Main.lblReset), DISP_E_MEMBERNOTFOUND)
        # A label that is only text keeps the system's description.
        self.assertEqual(self.accessible(main, Main.lblEnter)[0], ROLE_CLIENT)
        self.assertEqual(self.accessible(main, Main.Combo1)[2], "в минутах")
        # Pressed, each goes out of reach: «Активировать» disabled, «Сбросить» hidden.
        for label, name in ((Main.lblActivate, "Активировать"), (Main.lblReset, "Сбросить")):
            self.assertEqual(self.accessible(main, label), (ROLE_PUSHBUTTON, 0, name, PRESS))
            self.assertEqual(self.press(main, label), 0)
            running = label == Main.lblActivate
            self.assertEventually(lambda: d.enabled(main, Main.lblActivate) != running, timeout=5)
            self.assertEqual([d.enabled(main, Main.Combo1)] + [
                d.menu_state(main, m).enabled for m in (Menu.mnuActive, Menu.mnuReset)],
                [not running, not running, running])
            _, state, _, action = self.accessible(main, label)
            self.assertEqual((state & STATE_UNAVAILABLE, action), (STATE_UNAVAILABLE, ""))
            self.assertEqual(self.press(main, label), DISP_E_MEMBERNOTFOUND)
        self.assertEqual(d.text(main), IDLE_CAPTION)

        # The about box's default button and link. (The batch dialog's labels are read through
        # the same object, over facts that the unit tests hold for every form.)
        about = program.window(ABOUT)
        self.open_form(main, Menu.mnuAbout, about)
        self.assertEqual(self.accessible(about, About.lblOK),
                         (ROLE_PUSHBUTTON, STATE_DEFAULT, "OK", PRESS))
        self.assertEqual(self.accessible(about, About.lblHomePage),
                         (ROLE_LINK, STATE_LINKED, "Сайт программы", JUMP))
        self.assertEqual(self.press(about, About.lblOK), 0)
        self.assertTrue(d.wait_gone(about, 5000))
