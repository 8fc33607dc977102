"""Each form's client area at 96 and 144 dpi, pixel for pixel against a committed reference
picture: a control moved by one pixel, re-aligned or re-coloured fails. The clock, the date and
the countdown text are masked.

The pictures are drawn in a Wine prefix of their own, so that nothing in them depends on the
host: the only fonts Wine sees are the two DejaVu Sans files of fonts-dejavu-core (which
tools/setup.sh installs), and the faces the forms ask for are substituted by DejaVu Sans; the
caret does not blink; the mouse pointer rests outside every window.

On a mismatch the picture got and a difference picture (the differing pixels red over the
reference dimmed) are written to build/e2e-pictures/ (ZORVO_PICTURES_OUT names another folder).
tools/accept_pictures.sh (ZORVO_ACCEPT_PICTURES=1 for this module) draws every reference again
after a deliberate change of the look."""

import os
import tempfile
import time
from pathlib import Path

import picture_files
import zorvo_e2e
from zorvo_e2e import ABOUT, BAT, DIAL, MAIN, Dial, Main, Menu, ZorvoTestCase

REFERENCES = Path(__file__).resolve().parent / "reference_pictures"
OUTPUT = Path(os.environ.get("ZORVO_PICTURES_OUT", zorvo_e2e.BUILD.parent / "e2e-pictures"))
ACCEPT = os.environ.get("ZORVO_ACCEPT_PICTURES") == "1"
ACCEPT_COMMAND = "tools/accept_pictures.sh"

PINNED_FONT_FILES = ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                     "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf")
PINNED_FACE = "DejaVu Sans"
# The faces the forms are designed with; each must come out as the pinned font.
DESIGNED_FACES = ("Comic Sans MS", "MS Sans Serif")
MASK = (255, 0, 255)
SW_SHOWNOACTIVATE = 4

PREFIX_SETTINGS = r"""REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"CursorBlinkRate"="-1"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
%s
""" % "\n".join('"%s"="%s"' % (face, PINNED_FACE) for face in DESIGNED_FACES)

FONTS_CONF = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>%s</dir>
  <cachedir>%s</cachedir>
</fontconfig>
"""


class PictureSession(zorvo_e2e.WineSession):
    """A Wine prefix of the pictures' own, whatever $WINEPREFIX says, with the fonts pinned (see
    the module's note)."""

    def __init__(self):
        super().__init__()
        if self.own_prefix:
            os.rmdir(self.prefix)  # the empty one made for the shared kind of session
        self.own_prefix = True
        self.prefix = tempfile.mkdtemp(prefix="zorvo-pictures-wine-")
        fonts = self.scratch / "fonts"
        fonts.mkdir()
        for font in PINNED_FONT_FILES:
            if not Path(font).is_file():
                raise AssertionError("%s is missing: run tools/setup.sh" % font)
            (fonts / Path(font).name).symlink_to(font)
        conf = self.scratch / "fonts.conf"
        conf.write_text(FONTS_CONF % (fonts, self.scratch / "font-cache"))
        self.env.update(WINEPREFIX=self.prefix, FONTCONFIG_FILE=str(conf))

    def start(self):
        super().start()
        settings = self.scratch / "settings.reg"
        settings.write_text(PREFIX_SETTINGS)
        self.run("wine", "reg", "import", zorvo_e2e.windows_path(settings))
        self.set_dpi(96)

    def set_dpi(self, dpi):
        self.run("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                 "REG_DWORD", "/d", str(dpi), "/f")


def reference_path(name):
    return REFERENCES / (name + ".png")


class ReferencePictures(ZorvoTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # The run's shared prefix and driver stay as they are for the other tests.
        cls.shared = cls.session, cls.driver
        cls.session = PictureSession()
        try:
            cls.session.start()
        except BaseException:
            cls.session.stop()
            cls.session, cls.driver = cls.shared
            raise
        cls.driver = zorvo_e2e.Driver(cls.session)
        cls.accepted = []

    @classmethod
    def tearDownClass(cls):
        try:
            super().tearDownClass()
        finally:
            cls.driver.close()
            cls.session.stop()
            cls.session, cls.driver = cls.shared
        if cls.accepted:
            print("\naccepted reference pictures: %s" % ", ".join(cls.accepted))

    def test_forms_at_96_dpi(self):
        self.check_forms(96)

    def test_forms_at_144_dpi(self):
        self.check_forms(144)

    def assert_fonts_pinned(self):
        for face in DESIGNED_FACES:
            name, _, full = self.driver.value("font-face", face).partition(":")
            self.assertEqual(full, PINNED_FACE,
                             "%r is drawn with %r here, not the pinned %s, so no picture could "
                             "match (are Wine's own fonts, package fonts-wine, installed?)"
                             % (face, full or name, PINNED_FACE))

    def check_forms(self, dpi):
        d = self.driver
        self.assert_fonts_pinned()
        self.session.set_dpi(dpi)
        # Nothing may be hovered: a label under the pointer changes colour.
        d.value("cursor", 0, 0)
        program = self.start_main()
        main, bat, about, dial = (program.window(c) for c in (MAIN, BAT, ABOUT, DIAL))

        self.check_picture("main-idle-%d" % dpi, main, (Main.lblDate, Main.lblTime))

        d.command(main, Menu.mnuBat)
        self.assertTrue(d.wait_window(bat, 10000), "the batch-file dialog did not show")
        self.check_picture("batch-dialog-%d" % dpi, bat)
        d.close_window(bat)
        self.assertTrue(d.wait_gone(bat, 10000))

        d.command(main, Menu.mnuAbout)
        self.assertTrue(d.wait_window(about, 10000), "the about box did not show")
        self.check_picture("about-%d" % dpi, about)
        d.close_window(about)
        self.assertTrue(d.wait_gone(about, 10000))

        # Counting down 45 minutes: long enough that nothing is performed meanwhile.
        d.select(main, Main.Combo1, 0, -1)
        d.type_text(main, Main.Combo1, "45")
        d.command(main, Menu.mnuActive)
        self.assertEventually(lambda: d.visible(main, Main.lblReset), 10,
                              "the countdown did not start")
        self.check_picture("main-running-%d" % dpi, main, (Main.lblDate, Main.lblTime))

        # The popup as it shows in the last half minute while the window is hidden; shown here
        # at once rather than after a wait, since only its look is checked.
        d.command(main, Menu.mnuTray)
        self.assertEventually(lambda: not d.visible(main), 10, "the window did not hide")
        self.assertTrue(d.wait_exists(dial, 5000), "no popup at the first tick")
        d.show_window(dial, SW_SHOWNOACTIVATE)
        self.assertTrue(d.wait_window(dial, 5000), "the popup did not show")
        self.check_picture("popup-%d" % dpi, dial, (Dial.Label1,))

    def capture(self, window, masks):
        """The window's client area once two captures in a row agree (a late repaint settles),
        with the masked controls (by ID) painted over."""
        path = self.scratch / "capture.ppm"
        previous = None
        for _ in range(20):
            self.driver.sync(window)
            self.driver.value("capture", window, zorvo_e2e.windows_path(path))
            picture = picture_files.read_ppm(path)
            for control in masks:
                left, top, width, height = self.driver.rect(window, control)
                picture.fill(left, top, width, height, MASK)
            if picture == previous:
                return picture
            previous = picture
            time.sleep(0.25)
        self.fail("%s kept changing between captures" % window)

    def check_picture(self, name, window, masks=()):
        with self.subTest(picture=name):
            got = self.capture(window, masks)
            reference = reference_path(name)
            got_path = OUTPUT / (name + ".got.png")
            diff_path = OUTPUT / (name + ".diff.png")
            for stale in (got_path, diff_path):
                stale.unlink(missing_ok=True)
            if ACCEPT:
                if not reference.exists() or picture_files.read_png(reference) != got:
                    REFERENCES.mkdir(parents=True, exist_ok=True)
                    picture_files.write_png(got, reference)
                    type(self).accepted.append(name)
                return
            if not reference.exists():
                self.fail("no reference picture %s: %s draws it" % (reference, ACCEPT_COMMAND))
            expected = picture_files.read_png(reference)
            if expected == got:
                return
            difference = picture_files.Difference(got, expected)
            OUTPUT.mkdir(parents=True, exist_ok=True)
            picture_files.write_png(got, got_path)
            picture_files.write_png(difference.picture, diff_path)
            self.fail("%s differs from %s: %d pixels in (%d, %d)-(%d, %d), %dx%d got, %dx%d "
                      "expected; see %s and %s. If the change is deliberate, %s draws the "
                      "references again." % (
                          name, reference, difference.count, *difference.box, *got.size,
                          *expected.size, got_path, diff_path, ACCEPT_COMMAND))
