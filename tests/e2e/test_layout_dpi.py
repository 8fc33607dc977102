"""Every caption of every window shows whole at 96, 120, 144 and 192 dpi: measured inside the
program with the font each control draws with, against the control's own client area. The main
window's icons are drawn for the DPI too."""

from zorvo_e2e import ABOUT, BAT, DIAL, MAIN, Bat, Menu, ZorvoTestCase

DPIS = (96, 120, 144, 192)
BS_TYPEMASK = 0x0F
BS_GROUPBOX = 0x07


class CaptionsAtEveryDpi(ZorvoTestCase):
    def tearDown(self):
        super().tearDown()
        self.session.set_dpi(96)  # the other tests' screen

    def cut_captions(self, window, dpi):
        """The captions of the window's controls that do not show whole, with their figures."""
        problems = []
        for item in self.driver.value("text-fit", window).split():
            cid, cls, style, cw, ch, lw, lh, wh, wdpi = item.split(":")
            style, cw, ch, lw, lh, wh, wdpi = (int(style, 16), int(cw), int(ch), int(lw),
                                               int(lh), int(wh), int(wdpi))
            self.assertEqual(wdpi, dpi, "%s %s runs at another DPI" % (window, cid))
            if cls in ("Edit", "ComboBox"):
                continue  # scrolling text, not a caption
            if cls == "Button":
                # Room the frame of a group box or the circle of an option button takes.
                kind = style & BS_TYPEMASK
                extra = (16 if kind == BS_GROUPBOX else 18) * dpi // 96
                if lw + extra > cw:
                    problems.append("%s %s: %d + %d > %d" % (window, cid, lw, extra, cw))
            elif ch < 2 * lh:
                if lw > cw or lh > ch:
                    problems.append("%s %s: %dx%d in %dx%d" % (window, cid, lw, lh, cw, ch))
            elif wh > ch:
                problems.append("%s %s: wraps to %d in %d" % (window, cid, wh, ch))
        return problems

    def test_no_caption_is_cut_or_wrapped_and_icons_fit(self):
        d = self.driver
        problems = []
        for dpi in DPIS:
            self.session.set_dpi(dpi)
            # The longest status text and every label shown: alarm running, logging on.
            program = self.start_main(args=("/a", "5"))
            main, bat, about = (program.window(c) for c in (MAIN, BAT, ABOUT))
            d.command(main, Menu.mnuLog)
            d.sync(main)
            problems += self.cut_captions(main, dpi)
            icons = d.icons(main)
            if icons != (32 * dpi // 96, 16 * dpi // 96):
                problems.append("%s icons %s at %d dpi" % (main, icons, dpi))
            self.assertTrue(d.wait_exists(program.window(DIAL), 5000), "no popup at the first tick")
            problems += self.cut_captions(program.window(DIAL), dpi)
            self.open_form(main, Menu.mnuBat, bat)
            problems += self.cut_captions(bat, dpi)
            d.click(bat, Bat.lblCancel)
            self.assertTrue(d.wait_gone(bat, 5000))
            self.open_form(main, Menu.mnuAbout, about)
            problems += self.cut_captions(about, dpi)
            self.end_programs()
        self.assertEqual(problems, [])
