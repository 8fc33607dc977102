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
import struct
import tempfile
import zlib
from pathlib import Path

import zorvo_e2e
from zorvo_e2e import ABOUT, BAT, DIAL, MAIN, Dial, Main, Menu, Picture, ZorvoTestCase

REFERENCES = Path(__file__).resolve().parent / "reference_pictures"
OUTPUT = Path(os.environ.get("ZORVO_PICTURES_OUT", zorvo_e2e.BUILD.parent / "e2e-pictures"))
ACCEPT = os.environ.get("ZORVO_ACCEPT_PICTURES") == "1"
FONT_FILES = ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
              "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf")
MASK = b"\xff\x00\xff"
SW_SHOWNOACTIVATE = 4
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# The faces the forms are designed with come out as the one font there is.
PREFIX_SETTINGS = """REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"CursorBlinkRate"="-1"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"Comic Sans MS"="DejaVu Sans"
"MS Sans Serif"="DejaVu Sans"
"""
FONTS_CONF = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>
"""


def write_png(picture, path):
    """An 8-bit RGB PNG, each row filtered by its left neighbour ("Sub"), which shrinks the
    flat areas of a form's picture."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    rows = bytearray()
    stride = picture.width * 3
    for y in range(picture.height):
        row = picture.pixels[y * stride:(y + 1) * stride]
        rows += b"\x01" + row[:3] + bytes((row[i] - row[i - 3]) & 0xFF for i in range(3, stride))
    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0, 0)
    path.write_bytes(PNG_SIGNATURE + chunk(b"IHDR", header) +
                     chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def read_png(path):
    """What write_png writes."""
    data = path.read_bytes()
    at, header, compressed = len(PNG_SIGNATURE), None, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", data[at + 8:at + 8 + length])
        elif kind == b"IDAT":
            compressed += data[at + 8:at + 8 + length]
        at += 12 + length
    width, height = header[:2]
    assert header[2:] == (8, 2, 0, 0, 0) and data.startswith(PNG_SIGNATURE), path
    raw, stride, pixels = zlib.decompress(compressed), width * 3, bytearray()
    for y in range(height):
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        assert raw[y * (stride + 1)] == 1, "%s: not a row filter of write_png" % path
        for i in range(3, stride):
            row[i] = (row[i] + row[i - 3]) & 0xFF
        pixels += row
    return Picture(width, height, pixels)


def difference(got, reference):
    """How many pixels differ, their bounding box, and a picture of them in red over the
    reference dimmed; pixels that only one of two pictures of different sizes has differ."""
    width, height = max(got.width, reference.width), max(got.height, reference.height)
    out, count, box = bytearray(width * height * 3), 0, None
    for y in range(height):
        for x in range(width):
            at = (y * width + x) * 3
            if x < min(got.width, reference.width) and y < min(got.height, reference.height) \
                    and got.pixel(x, y) == reference.pixel(x, y):
                out[at:at + 3] = bytes([sum(reference.pixel(x, y)) // 9] * 3)
                continue
            out[at:at + 3] = b"\xff\x00\x00"
            count += 1
            box = (x, y, x, y) if box is None else (min(box[0], x), min(box[1], y),
                                                    max(box[2], x), max(box[3], y))
    return count, box, Picture(width, height, out)


class PictureSession(zorvo_e2e.WineSession):
    """A Wine prefix of the pictures' own, whatever $WINEPREFIX says, with the fonts pinned (see
    the module's note)."""

    def __init__(self):
        super().__init__(tempfile.mkdtemp(prefix="zorvo-pictures-wine-"))
        fonts = self.scratch / "fonts"
        fonts.mkdir()
        for font in FONT_FILES:
            if not Path(font).is_file():
                raise AssertionError("%s is missing: run tools/setup.sh" % font)
            (fonts / Path(font).name).symlink_to(font)
        conf = self.scratch / "fonts.conf"
        conf.write_text(FONTS_CONF % (fonts, self.scratch / "font-cache"))
        self.env.update(FONTCONFIG_FILE=str(conf))

    def start(self):
        super().start()
        settings = self.scratch / "settings.reg"
        settings.write_text(PREFIX_SETTINGS)
        self.run("wine", "reg", "import", zorvo_e2e.windows_path(settings))


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

    @classmethod
    def tearDownClass(cls):
        try:
            super().tearDownClass()
        finally:
            cls.driver.close()
            cls.session.stop()
            cls.session, cls.driver = cls.shared

    def test_forms(self):
        for dpi in (96, 144):
            with self.subTest(dpi=dpi):
                self.end_programs()
                self.check_forms(dpi)

    def check_forms(self, dpi):
        d = self.driver
        self.session.set_dpi(dpi)
        # Nothing may be hovered: a label under the pointer changes colour.
        d.value("cursor", 0, 0)
        program = self.start_main()
        main, bat, about, dial = (program.window(c) for c in (MAIN, BAT, ABOUT, DIAL))
        self.check_picture("main-idle-%d" % dpi, main, (Main.lblDate, Main.lblTime))
        for window, item, name in ((bat, Menu.mnuBat, "batch-dialog"),
                                   (about, Menu.mnuAbout, "about")):
            self.open_form(main, item, window, 10000)
            self.check_picture("%s-%d" % (name, dpi), window)
            d.close_window(window)
            self.assertTrue(d.wait_gone(window, 10000))
        # Counting down 45 minutes: long enough that nothing is performed meanwhile.
        d.select(main, Main.Combo1)
        d.type_text(main, Main.Combo1, "45")
        self.assertEventually(lambda: d.text(main, Main.lblH) == "0:45", 5)
        d.command(main, Menu.mnuActive)
        self.assertEventually(lambda: d.visible(main, Main.lblReset), 10, "no countdown")
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
        d = self.driver
        previous = None
        for _ in range(20):
            d.sync(window)
            picture = d.capture(window)
            client = d.rect(window)[4:6]
            for control in masks:
                left, top, width, height = d.rect(window, control)[:4]
                left, top = left - client[0], top - client[1]
                for y in range(max(0, top), min(picture.height, top + height)):
                    start = (y * picture.width + max(0, left)) * 3
                    end = (y * picture.width + min(picture.width, left + width)) * 3
                    picture.pixels[start:end] = MASK * ((end - start) // 3)
            if picture == previous:
                return picture
            previous = picture
            d.wait_ticks(MAIN, 1)
        self.fail("%s kept changing between captures" % window)

    def check_picture(self, name, window, masks=()):
        got = self.capture(window, masks)
        reference = REFERENCES / (name + ".png")
        got_path, diff_path = OUTPUT / (name + ".got.png"), OUTPUT / (name + ".diff.png")
        for stale in (got_path, diff_path):
            stale.unlink(missing_ok=True)
        if ACCEPT:
            if not reference.exists() or read_png(reference) != got:
                write_png(got, reference)
                print("\naccepted reference picture %s" % name)
            return
        self.assertTrue(reference.exists(), "no %s: tools/accept_pictures.sh draws it" % reference)
        expected = read_png(reference)
        if expected == got:
            return
        count, box, picture = difference(got, expected)
        OUTPUT.mkdir(parents=True, exist_ok=True)
        write_png(got, got_path)
        write_png(picture, diff_path)
        self.fail("%s differs from %s: %d pixels in %s, %dx%d got, %dx%d expected; see %s and %s "
                  "(are Wine's own fonts, package fonts-wine, installed?). If the change is "
                  "deliberate, tools/accept_pictures.sh draws the references again." % (
                      name, reference, count, box, got.width, got.height, expected.width,
                      expected.height, got_path, diff_path))
