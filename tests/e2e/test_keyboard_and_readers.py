"""Keyboard only and screen readers: Enter and Esc in the dialogs, wherever the focus is, and
every clickable label read and pressed through Active Accessibility from another process, as a
screen reader does it."""

import re

from test_batch import IDNO, IDYES, BatchDialogCase
from zorvo_e2e import ABOUT, IDLE_CAPTION, About, Bat, Main, Menu, ZorvoTestCase, wait_until

VK_TAB = 0x09
VK_RETURN = 0x0D
VK_ESCAPE = 0x1B
VK_CONTROL = 0x11
VK_DOWN = 0x28
WM_KEYDOWN = 0x0100
CB_SHOWDROPDOWN = 0x014F

ROLE_CLIENT = 0x0A
ROLE_LINK = 0x1E
ROLE_PUSHBUTTON = 0x2B
STATE_UNAVAILABLE = 0x1
STATE_DEFAULT = 0x100
STATE_INVISIBLE = 0x8000
STATE_LINKED = 0x400000
DISP_E_MEMBERNOTFOUND = 0x80020003
PRESS = "Нажать"
JUMP = "Перейти"


def accessible(d, cls, control_id):
    """(role, state, name, default action) as a screen reader in another process reads them."""
    role, state, name, action = d.value("accessible", cls, control_id).split("\t")
    return int(role, 16), int(state, 16), name, action


def press(d, cls, control_id):
    """The control's default action run through the reader's object; its HRESULT."""
    return int(d.value("accessible-do", cls, control_id), 16)


class BatchDialogKeys(BatchDialogCase):
    # The dialog's focus stops, reached with Tab from the first: (control, Tabs to reach it).
    STOPS = ((Bat.Combo1, 0), (Bat.Combo2, 1), (Bat.Option1, 2))

    def focus_on(self, bat, control, tabs):
        d = self.driver
        for _ in range(tabs):
            d.key(bat, d.focus(bat), VK_TAB)
            d.sync(bat)
        self.assertEqual(d.focus(bat), control)

    def test_enter_generates_from_every_control(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        cmd = self.command_line()
        actions = (("Перезагрузка", "reset.bat", " /r 7 "),
                   ("Звуковой сигнал", "alarm.bat", " /a 7 "),
                   ("Спящий режим", "sleep.bat", " /s 7 "))
        for (control, tabs), (action, name, switches) in zip(self.STOPS, actions):
            with self.subTest(focus=control):
                self.open_dialog(main, bat)
                self.choose(bat, action=action, minutes="7")
                self.focus_on(bat, control, tabs)
                d.key(bat, control, VK_RETURN)
                self.assertTrue(d.wait_gone(bat, 5000), "Enter must write the file and close")
                self.assertEqual(self.written()[name],
                                 (cmd + switches + "\r\necho exit\r\n").encode("cp866"))
        # A key posted to a label (it never has the focus, but a script may aim there) too.
        self.open_dialog(main, bat)
        d.value("post", bat, Bat.lblCancel, WM_KEYDOWN, VK_RETURN)
        self.assertTrue(d.wait_gone(bat, 5000))
        self.assertIn("shutdown.bat", self.written())
        self.assertTrue(d.enabled(main, Main.lblActivate), "the main window did not see the key")

    def test_keyboard_only_user_writes_a_batch_file(self):
        d = self.driver
        main, bat = self.start_in_workdir()

        def type_keys(*keys):
            for key in keys:
                d.hold_keys(key)
                d.release_keys(key)

        d.hold_keys(VK_CONTROL, ord("B"))
        d.release_keys(VK_CONTROL, ord("B"))
        self.assertTrue(d.wait_window(bat, 5000), "Ctrl+B did not open the dialog")
        d.sync(bat)
        type_keys(VK_TAB, VK_DOWN)
        d.sync(bat)
        self.assertEqual(d.text(bat, Bat.Combo2), "Ждущий режим")
        type_keys(VK_RETURN)
        self.assertTrue(d.wait_gone(bat, 5000), "Enter did not write the file")
        wait_bat = (self.command_line() + " /w 1 \r\necho exit\r\n").encode("cp866")
        self.assertEqual(self.written(), {"wait.bat": wait_bat})

        d.hold_keys(VK_CONTROL, ord("B"))
        d.release_keys(VK_CONTROL, ord("B"))
        self.assertTrue(d.wait_window(bat, 5000))
        d.sync(bat)
        type_keys(VK_ESCAPE)
        self.assertTrue(d.wait_gone(bat, 5000), "Esc did not close the dialog")
        self.assertEqual(list(self.written()), ["wait.bat"])

    def test_esc_cancels_from_every_control(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        for control, tabs in self.STOPS:
            with self.subTest(focus=control):
                self.open_dialog(main, bat)
                self.choose(bat, action="Перезагрузка", minutes="9")
                self.focus_on(bat, control, tabs)
                d.key(bat, control, VK_ESCAPE)
                self.assertTrue(d.wait_gone(bat, 5000), "Esc must close the dialog")
                self.assertEqual(self.written(), {})
                self.assertTrue(d.enabled(main))

    def test_enter_asks_before_replacing_a_users_file(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        own = b"@echo off\r\n"
        (self.workdir / "shutdown.bat").write_bytes(own)
        self.open_dialog(main, bat)
        d.key(bat, Bat.Combo1, VK_RETURN)
        self.assertIn("shutdown.bat", d.message_box_text(wait_ms=5000) or "", "no question")
        self.assertTrue(d.message_box_press(IDNO))
        self.assertTrue(wait_until(lambda: d.message_box_count() == 0, timeout=5))
        d.sync(bat)
        self.assertTrue(d.visible(bat), "No leaves the dialog open")
        self.assertEqual(self.written(), {"shutdown.bat": own})
        d.key(bat, d.focus(bat), VK_RETURN)
        self.assertIsNotNone(d.message_box_text(wait_ms=5000))
        self.assertTrue(d.message_box_press(IDYES))
        self.assertTrue(d.wait_gone(bat, 5000))
        self.assertNotEqual(self.written()["shutdown.bat"], own)

    def test_an_open_list_takes_esc_first(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        self.open_dialog(main, bat)
        self.focus_on(bat, Bat.Combo2, 1)
        d.value("post", bat, Bat.Combo2, CB_SHOWDROPDOWN, 1)
        d.sync(bat)
        d.key(bat, Bat.Combo2, VK_ESCAPE)
        d.sync(bat)
        self.assertTrue(d.visible(bat), "Esc closes the open list, not the dialog")
        d.key(bat, Bat.Combo2, VK_ESCAPE)
        self.assertTrue(d.wait_gone(bat, 5000), "a second Esc closes the dialog")
        self.assertEqual(self.written(), {})


class AboutBoxKeys(ZorvoTestCase):
    def test_enter_and_esc_close_it_wherever_aimed(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)
        for key in (VK_RETURN, VK_ESCAPE):
            for control in (About.Text1, About.lblHomePage):
                with self.subTest(key=key, control=control):
                    self.open_form(main, Menu.mnuAbout, about)
                    self.assertEqual(d.focus(about), About.Text1)
                    d.value("post", about, control, WM_KEYDOWN, key)
                    self.assertTrue(d.wait_gone(about, 5000))
                    self.assertTrue(d.enabled(main))
        self.assertTrue(d.enabled(main, Main.lblActivate), "no key reached the main window")

    def test_keys_typed_on_the_keyboard(self):
        d = self.driver
        program = self.start_main()
        main, about = program.window(), program.window(ABOUT)
        for key in (VK_RETURN, VK_ESCAPE):
            with self.subTest(key=key):
                self.open_form(main, Menu.mnuAbout, about)
                d.hold_keys(key)
                d.release_keys(key)
                self.assertTrue(d.wait_gone(about, 5000), "a key typed on the keyboard")
        # In the main window Enter stays the minutes box's: it activates the countdown.
        self.assertEqual(d.focus(main), Main.Combo1)
        d.hold_keys(VK_RETURN)
        d.release_keys(VK_RETURN)
        self.assertTrue(wait_until(lambda: not d.enabled(main, Main.lblActivate), timeout=5))


class ScreenReaders(ZorvoTestCase):
    def test_clickable_labels_are_buttons_and_a_link(self):
        d = self.driver
        program = self.start_main()
        main = program.window()
        self.assertEqual(accessible(d, main, Main.lblActivate),
                         (ROLE_PUSHBUTTON, 0, "Активировать", PRESS))
        role, state, name, action = accessible(d, main, Main.lblReset)
        self.assertEqual((role, name, action), (ROLE_PUSHBUTTON, "Сбросить", ""),
                         "a hidden button offers nothing to press")
        self.assertEqual(state & (STATE_INVISIBLE | STATE_UNAVAILABLE),
                         STATE_INVISIBLE | STATE_UNAVAILABLE)
        # A label that is only text keeps the system's description.
        self.assertEqual(accessible(d, main, Main.lblEnter)[0], ROLE_CLIENT)
        self.assertEqual(accessible(d, main, Main.Combo1)[2], "в минутах")

        bat = program.window("frmBat")
        self.open_form(main, Menu.mnuBat, bat)
        self.assertEqual(accessible(d, bat, Bat.lblOK),
                         (ROLE_PUSHBUTTON, STATE_DEFAULT, "Генерация", PRESS))
        self.assertEqual(accessible(d, bat, Bat.lblCancel),
                         (ROLE_PUSHBUTTON, 0, "Отмена", PRESS))
        self.assertEqual(accessible(d, bat, Bat.Combo1)[2], "Время")
        self.assertEqual(press(d, bat, Bat.lblCancel), 0)
        self.assertTrue(d.wait_gone(bat, 5000), "pressing «Отмена» closes the dialog")

        about = program.window(ABOUT)
        self.open_form(main, Menu.mnuAbout, about)
        self.assertEqual(accessible(d, about, About.lblOK),
                         (ROLE_PUSHBUTTON, STATE_DEFAULT, "OK", PRESS))
        self.assertEqual(accessible(d, about, About.lblHomePage),
                         (ROLE_LINK, STATE_LINKED, "Сайт программы", JUMP))
        self.assertEqual(press(d, about, About.lblOK), 0)
        self.assertTrue(d.wait_gone(about, 5000))

    def test_default_action_starts_and_stops_the_countdown(self):
        d = self.driver
        program = self.start_main()
        main = program.window()
        self.assertEqual(press(d, main, Main.lblReset), DISP_E_MEMBERNOTFOUND,
                         "a hidden button cannot be pressed")
        self.assertEqual(press(d, main, Main.lblActivate), 0)
        counting = wait_until(lambda: re.search(r"\d+ мин \d\d сек", d.text(main)), timeout=5)
        self.assertTrue(counting, "the countdown did not start: " + d.text(main))
        self.assertFalse(d.enabled(main, Main.lblActivate))
        _, state, _, action = accessible(d, main, Main.lblActivate)
        self.assertEqual((state & STATE_UNAVAILABLE, action), (STATE_UNAVAILABLE, ""))
        self.assertEqual(press(d, main, Main.lblActivate), DISP_E_MEMBERNOTFOUND)
        self.assertEqual(accessible(d, main, Main.lblReset),
                         (ROLE_PUSHBUTTON, 0, "Сбросить", PRESS))
        self.assertEqual(press(d, main, Main.lblReset), 0)
        self.assertTrue(wait_until(lambda: d.enabled(main, Main.lblActivate), timeout=5))
        self.assertEqual(d.text(main), IDLE_CAPTION)
