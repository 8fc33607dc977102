"""Typing the delay into the minutes box of the real window: the range rule's one warning, the
selected 1 it leaves, lblH, the focus, and Enter."""

from zorvo_e2e import IDLE_CAPTION, SHUTDOWN, VK_RETURN, WARNING, Main, ZorvoTestCase


class MinutesBox(ZorvoTestCase):
    def type_until_warning(self, main, text):
        """Types `text` over the box's text a character at a time, as a user would: a warning
        takes the keyboard, so typing stops there. The index of the character that brought it."""
        d = self.driver
        d.select(main, Main.Combo1)
        for index, char in enumerate(text):
            d.type_text(main, Main.Combo1, char)
            d.sync(main)
            if d.message_box_text() is not None:
                return index
        return None

    def test_typing(self):
        d = self.driver
        main = self.start_main().window()
        # A fresh window gives the box the focus a moment after it shows.
        self.assertFocus(main, Main.Combo1)
        cases = [  # typed, the character that warns, the text left, lblH
            ("361", 2, "1", "0:05"), ("abc", 0, "1", "0:05"), ("12a", 2, "1", "0:05"),
            ("0", 0, "1", "0:05"), ("120", None, "120", "2:00"), ("61", None, "61", "1:01"),
            ("\b", None, "1", "0:01"),
        ]
        for text, warned_at, left, hours in cases:
            with self.subTest(text):
                self.assertEqual(self.type_until_warning(main, text), warned_at)
                if warned_at is not None:
                    box = d.message_box()
                    self.assertEqual((box.count, box.text), (1, WARNING))
                    if text == "abc":  # under the warning the box holds 1 already, and lblH
                        self.assertEventually(lambda: d.text(main, Main.lblH) == "0:01", 3)
                    self.assertTrue(d.message_box_press())
                    self.assertFocus(main, Main.Combo1, "the focus did not come back to the box")
                d.sync(main)
                self.assertIsNone(d.message_box_text(), "a second warning")
                self.assertEqual(d.text(main, Main.Combo1), left)
                if left == "1":
                    self.assertEqual(d.selection(main, Main.Combo1), (0, 1), "the 1 is selected")
                if warned_at is not None:  # typing on replaces the 1, and lblH follows again
                    d.type_text(main, Main.Combo1, "5")
                self.assertEventually(lambda: d.text(main, Main.lblH) == hours, timeout=3,
                                      msg=d.text(main, Main.lblH))
                self.assertEqual(d.text(main), IDLE_CAPTION, "typing must not activate")
        self.type_until_warning(main, "120")
        d.key(main, Main.Combo1, VK_RETURN)
        self.assertIn(self.left(main, SHUTDOWN), range(119 * 60 + 50, 120 * 60))
        self.assertFalse(d.enabled(main, Main.Combo1) or d.enabled(main, Main.lblActivate))
