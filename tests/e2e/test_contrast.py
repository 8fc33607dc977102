"""High contrast: every form and the popup draw in the system's colours without the background
picture, and follow the switch while they run.

Wine 8 cannot switch high contrast on (SPI_SETHIGHCONTRAST fails, SPI_GETHIGHCONTRAST always
answers off), and a running process keeps the system colours it started with. So the driver's
probe, inside the program, answers SPI_GETHIGHCONTRAST as the test asks and sets the system
colours there (SetSysColors, which also tells every window); WM_SETTINGCHANGE is broadcast as the
system does. The colours drawn are read off the screen."""

import collections

from zorvo_e2e import (ABOUT, ALARM, BAT, DIAL, WM_LBUTTONDBLCLK, WS_EX_TOPMOST, About, Bat, Dial,
                       Main, Menu, ZorvoTestCase, wait_until)

LWA_COLORKEY, LWA_ALPHA = 1, 2
COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT = 5, 8, 13, 14
COLOR_GRAYTEXT, COLOR_HOTLIGHT = 17, 26
# Colours (0xBBGGRR) that neither the design nor the picture uses, each telling its role.
WINDOW, TEXT, HOT = 0x302010, 0x40F0E0, 0x10C0F0
HIGHLIGHT, HIGHLIGHT_TEXT, GRAY = 0xA02080, 0x80FF40, 0x909088
SYSTEM = {COLOR_WINDOW: WINDOW, COLOR_WINDOWTEXT: TEXT, COLOR_HOTLIGHT: HOT,
          COLOR_HIGHLIGHT: HIGHLIGHT, COLOR_HIGHLIGHTTEXT: HIGHLIGHT_TEXT, COLOR_GRAYTEXT: GRAY}
DESIGNED_LABEL = 0xFFFFC0


def near(colour, target, tolerance=0x10):
    """Smoothed text never quite reaches its own colour."""
    return all(abs(((colour >> s) & 0xFF) - ((target >> s) & 0xFF)) <= tolerance
               for s in (0, 8, 16))


class HighContrast(ZorvoTestCase):
    original = None  # the system colours before the test's

    def tearDown(self):
        try:
            if self.original:
                # The system colours live on in the prefix, which later tests share.
                self.contrast(self.main, "off", self.original)
        finally:
            super().tearDown()

    def contrast(self, window, state, colours=None):
        """Switches high contrast as the program sees it, setting the colours given."""
        colours = colours or {}
        self.main = window
        value = self.driver.value("contrast", window, state,
                                  *[v for pair in colours.items() for v in pair]).split()
        self.assertEqual(value[:2], ["1", "1"], "the probe could not stand in for the system")
        if self.original is None and colours:
            self.original = dict(zip(colours, (int(v, 16) for v in value[2:])))

    def colours(self, window, control_id=0):
        """[(colour as 0xBBGGRR, pixels)] over the control (0: the client area), most first."""
        pixels = self.driver.capture(window, control_id).pixels
        counts = collections.Counter(pixels[i] | pixels[i + 1] << 8 | pixels[i + 2] << 16
                                     for i in range(0, len(pixels), 3))
        return counts.most_common()

    def dominant(self, window, control_id=0):
        return self.colours(window, control_id)[0][0]

    def shows(self, window, control_id, colour):
        return any(near(c, colour) for c, _ in self.colours(window, control_id))

    def assert_drawn(self, window, control_id, background, text, msg=""):
        """The control's area is mostly `background`, with `text` drawn on it."""
        def right():
            found = self.colours(window, control_id)
            return found[0][0] == background and any(near(c, text) for c, _ in found)
        self.assertTrue(wait_until(right, timeout=5), "%s control %d: %s" % (
            msg, control_id, [("%06X" % c, n) for c, n in self.colours(window, control_id)[:6]]))

    def test_main_window_follows_the_switch_and_the_colours(self):
        d = self.driver
        main = self.start_main().window()
        d.sync(main)
        normal = self.colours(main)
        self.assertNotEqual(normal[0][0], WINDOW)
        self.assertTrue(self.shows(main, Main.lblActivate, DESIGNED_LABEL))
        # The colours first, with high contrast still off: the design stays.
        self.contrast(main, "keep", SYSTEM)
        d.sync(main)
        self.assertEqual(self.dominant(main), normal[0][0])
        # Then the switch, told only by WM_SETTINGCHANGE, as the system tells it.
        self.contrast(main, "on")
        d.sync(main)
        self.assertEqual(self.dominant(main), normal[0][0], "nothing told the window yet")
        d.value("setting-change")
        self.assert_drawn(main, 0, WINDOW, TEXT, "main window")
        # The picture is gone: nothing but the system's colours and the blends of their text.
        drawn = dict(self.colours(main))
        self.assertGreater(drawn.get(WINDOW, 0), sum(drawn.values()) * 0.8)
        self.assertEqual([c for c, _ in normal[:3] if c in drawn], [], "picture colours left")
        self.assert_drawn(main, Main.lblEnter, WINDOW, TEXT, "status line")
        self.assert_drawn(main, Main.lblActivate, WINDOW, HOT, "label-button")
        # The hover highlight stays visible, in the system's highlight colours.
        d.hover(main, Main.lblActivate)
        self.assert_drawn(main, Main.lblActivate, HIGHLIGHT, HIGHLIGHT_TEXT, "hovered")
        d.hover(main, 0)
        self.assert_drawn(main, Main.lblActivate, WINDOW, HOT, "left")
        # A system colour changed while high contrast is on.
        self.contrast(main, "keep", {COLOR_WINDOW: 0x204060})
        self.assert_drawn(main, 0, 0x204060, TEXT, "new window colour")
        # Switched off with the colours of before, as the system does it.
        self.contrast(main, "off", self.original)
        self.assertTrue(wait_until(lambda: self.dominant(main) == normal[0][0], timeout=5),
                        "the picture did not come back")
        self.assertTrue(self.shows(main, Main.lblActivate, DESIGNED_LABEL))

    def test_dialogs_follow_and_open_in_system_colours(self):
        d = self.driver
        program = self.start_main()
        main, about, bat = program.window(), program.window(ABOUT), program.window(BAT)
        self.open_form(main, Menu.mnuAbout, about)
        self.assertNotEqual(self.dominant(about), WINDOW)
        # Switched on while the about box is open.
        self.contrast(main, "on", SYSTEM)
        self.assert_drawn(about, 0, WINDOW, HOT, "about box")
        self.assert_drawn(about, About.Text1, WINDOW, TEXT, "about text")
        for control in (About.lblHomePage, About.lblOK):
            self.assert_drawn(about, control, WINDOW, HOT)
        d.hover(about, About.lblOK)
        self.assert_drawn(about, About.lblOK, HIGHLIGHT, HIGHLIGHT_TEXT, "hovered OK")
        d.click(about, About.lblOK)
        self.assertTrue(d.wait_gone(about, 5000))
        # Opened with high contrast on.
        self.open_form(main, Menu.mnuBat, bat)
        self.assert_drawn(bat, 0, WINDOW, TEXT, "batch-file dialog")
        # The minutes box: its edit in the window's colours (its text selected, so in the
        # highlight's), none of its designed dark blue.
        box = dict(self.colours(bat, Bat.Combo1))
        self.assertIn(WINDOW, box)
        self.assertNotIn(0x400000, box)
        for control in (Bat.lblOK, Bat.lblCancel):
            self.assert_drawn(bat, control, WINDOW, HOT)
        d.hover(bat, Bat.lblCancel)
        self.assert_drawn(bat, Bat.lblCancel, HIGHLIGHT, HIGHLIGHT_TEXT, "hovered Отмена")
        self.contrast(main, "off", self.original)
        self.assertTrue(wait_until(lambda: self.dominant(bat) != WINDOW, timeout=5),
                        "the dialog kept the system colours")
        d.click(bat, Bat.lblCancel)
        self.assertTrue(d.wait_gone(bat, 5000))

    def test_popup_of_the_last_half_minute(self):
        d = self.driver
        program = self.start_main(shown=False, args=("/a", "1", "/hid"))
        main, popup = program.window(), program.window(DIAL)
        self.assertTrue(d.wait_exists(popup, 5000), "the first tick makes the popup")
        # Switched on while the popup is still hidden, in a white scheme: white is what the
        # popup's colour key would punch out if the system read only its colour part.
        # Set a moment after the window is made.
        self.assertEventually(lambda: d.state(popup)[-3:] == (0xFFFFFFFF, 0, LWA_COLORKEY), 5,
                              "not the designed key: %r" % (d.state(popup)[-3:],))
        self.contrast(main, "on", {**SYSTEM, COLOR_WINDOW: 0xFFFFFF})
        # Under Wine white is never keyed out, so what shows here is how the popup is composed:
        # opaque by its alpha, with no key that a white scheme could match.
        composed = wait_until(lambda: d.state(popup)[-3:] == (0, 255, LWA_ALPHA), timeout=5)
        self.assertTrue(composed, "composed as %r" % (d.state(popup)[-3:],))
        self.assertTrue(d.wait_window(popup, 45000), "the popup did not show")
        # Shown at the tick of half a minute, not before, over every other window.
        self.assertIn(self.left(main, ALARM), range(27, 31))
        self.assertTrue(d.state(popup).exstyle & WS_EX_TOPMOST, "the popup stays on top")
        d.sync(popup)
        self.assert_drawn(popup, 0, 0xFFFFFF, TEXT, "popup")
        self.assert_drawn(popup, Dial.Label1, 0xFFFFFF, TEXT, "countdown")
        self.assertFalse(self.shows(popup, Dial.Label1, 0x0000C0), "the designed dark red")
        # The window brought back by the icon: the popup goes at the next tick.
        d.tray(main, WM_LBUTTONDBLCLK)
        self.assertEventually(lambda: d.visible(main) and not d.visible(popup), timeout=5)
