"""Typing the delay into the minutes box: the range rule, its warning, lblH and the Enter key."""

from zorvo_e2e import BACKSPACE, VK_RETURN, Main, ZorvoTestCase, wait_until
from zorvo_e2e import IDLE_CAPTION

WARNING = "Вы пытаетесь ввести недопустимое значение!\r\nДопустимый диапазон от 1 до 360 мин"


class MinutesBox:
    """Typing into the minutes box of the window `self.main`."""

    def combo(self):
        return self.driver.text(self.main, Main.Combo1)

    def type_until_warning(self, text):
        """Types `text` a character at a time as a user would: a warning box takes the keyboard,
        so typing stops there. Returns the index of the character that brought the warning."""
        d = self.driver
        d.select(self.main, Main.Combo1, 0, -1)
        for index, char in enumerate(text):
            before = self.combo()
            d.type_text(self.main, Main.Combo1, char, pause_ms=0)
            wait_until(lambda: d.message_box_count() or self.combo() != before, timeout=3,
                       interval=0.02)
            # The box follows the change of the text within the same keystroke.
            if d.message_box_text(wait_ms=150) is not None:
                return index
        return None

    def assert_no_warning(self):
        self.assertIsNone(self.driver.message_box_text(wait_ms=300), "an unexpected warning")

    def assert_one_warning_then_1(self, text, warned_at):
        d = self.driver
        self.assertEqual(self.type_until_warning(text), warned_at, "no warning, or too early")
        self.assertEqual(d.message_box_text(), WARNING)
        self.assertEqual(d.message_box_count(), 1)
        self.assertTrue(d.message_box_ok())
        self.assertTrue(wait_until(lambda: d.message_box_count() == 0, timeout=3))
        self.assert_no_warning()
        self.assertEqual(self.combo(), "1")
        self.assertEqual(d.selection(self.main, Main.Combo1), (0, 1), "the 1 is selected")
        self.assertEqual(d.text(self.main), IDLE_CAPTION, "a warning must not activate")
        # Typing on replaces the selected 1, and the hours display follows again.
        d.type_text(self.main, Main.Combo1, "5", pause_ms=0)
        self.assertTrue(wait_until(lambda: self.combo() == "5", timeout=2), self.combo())
        self.assertTrue(wait_until(lambda: d.text(self.main, Main.lblH) == "0:05", timeout=2),
                        "lblH %r after the warning" % d.text(self.main, Main.lblH))


class MinutesEntry(MinutesBox, ZorvoTestCase):
    """One program for the class; every test starts from an idle window with no box open."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.main = cls.start_main_for_class().window()

    def setUp(self):
        super().setUp()
        d = self.driver
        while d.message_box_ok():
            wait_until(lambda: d.message_box_count() == 0, timeout=3)

    def test_invalid_texts_warn_once_and_leave_1(self):
        for text, warned_at in (("361", 2), ("abc", 0), ("12a", 2), ("0", 0)):
            with self.subTest(text):
                self.assert_one_warning_then_1(text, warned_at)

    def test_text_is_already_1_while_the_warning_is_shown(self):
        d = self.driver
        self.assertEqual(self.type_until_warning("a"), 0)
        try:
            self.assertTrue(wait_until(lambda: self.combo() == "1", timeout=2),
                            "under the warning Combo1 still shows %r" % self.combo())
            self.assertEqual(d.text(self.main, Main.lblH), "0:01")
        finally:
            d.message_box_ok()

    def test_clearing_leaves_1_selected_without_warning(self):
        d = self.driver
        self.assertIsNone(self.type_until_warning("25"))
        self.assertEqual(self.combo(), "25")
        self.assertIsNone(self.type_until_warning(BACKSPACE))
        self.assert_no_warning()
        self.assertEqual(self.combo(), "1")
        self.assertEqual(d.selection(self.main, Main.Combo1), (0, 1))
        # The selected 1 gives way to the next digit.
        d.type_text(self.main, Main.Combo1, "7", pause_ms=0)
        self.assertTrue(wait_until(lambda: self.combo() == "7", timeout=2), self.combo())
        self.assert_no_warning()

    def test_typed_delays_are_kept_and_shown_as_hours(self):
        d = self.driver
        for text, hours in (("120", "2:00"), ("9", "0:09"), ("360", "6:00"), ("61", "1:01")):
            with self.subTest(text):
                self.assertIsNone(self.type_until_warning(text))
                self.assertEqual(self.combo(), text)
                self.assertTrue(wait_until(lambda: d.text(self.main, Main.lblH) == hours,
                                           timeout=2),
                                "lblH %r for %s" % (d.text(self.main, Main.lblH), text))


class FreshWindow(MinutesBox, ZorvoTestCase):
    """Tests that need a program of their own: one activates, one needs the start's focus."""

    def setUp(self):
        super().setUp()
        self.main = self.start_main().window()

    def test_keyboard_focus_returns_to_the_box_after_the_warning(self):
        d = self.driver
        # A fresh window takes its focus a moment after it shows; on a loaded machine later.
        self.assertTrue(wait_until(lambda: d.focus(self.main) == Main.Combo1, timeout=5),
                        "the fresh window's keyboard focus is at %r, not in Combo1"
                        % d.focus(self.main))
        self.assertEqual(self.type_until_warning("0"), 0)
        self.assertTrue(d.message_box_ok())
        self.assertTrue(wait_until(lambda: d.message_box_count() == 0, timeout=3))
        self.assertTrue(wait_until(lambda: d.focus(self.main) == Main.Combo1, timeout=5),
                        "after the warning the keyboard focus is at %r, not in Combo1"
                        % d.focus(self.main))

    def test_enter_activates_with_the_typed_delay(self):
        d = self.driver
        main = self.main
        self.assertIsNone(self.type_until_warning("120"))
        d.key(main, Main.Combo1, VK_RETURN)
        caption = wait_until(
            lambda: d.text(main) if d.text(main) != IDLE_CAPTION else None, timeout=3)
        self.assertEqual(caption, "Zorvo - до выключения осталось 119 мин 59 сек")
        self.assertFalse(d.enabled(main, Main.Combo1))
        self.assertFalse(d.enabled(main, Main.lblActivate))
