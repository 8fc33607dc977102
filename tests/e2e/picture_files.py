"""Pictures as the reference-picture tests handle them: RGB pixels read from the driver's PPM
files and written to and read from PNG files, with the Python standard library only."""

import struct
import zlib
from pathlib import Path

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class PictureError(ValueError):
    """A file that is not a picture of the kind these tests write."""


class Picture:
    """Width x height RGB pixels, row by row, 3 bytes each."""

    def __init__(self, width, height, pixels=None):
        if width <= 0 or height <= 0:
            raise PictureError("a picture of %dx%d" % (width, height))
        self.width = width
        self.height = height
        size = width * height * 3
        self.pixels = bytearray(pixels) if pixels is not None else bytearray(size)
        if len(self.pixels) != size:
            raise PictureError("%d bytes for %dx%d pixels" % (len(self.pixels), width, height))

    @property
    def size(self):
        return self.width, self.height

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])

    def fill(self, left, top, width, height, colour):
        """Paints the rectangle (clipped to the picture) in one colour."""
        right = min(self.width, left + width)
        bottom = min(self.height, top + height)
        left, top = max(0, left), max(0, top)
        if left >= right or top >= bottom:
            return
        run = bytes(colour) * (right - left)
        for y in range(top, bottom):
            at = (y * self.width + left) * 3
            self.pixels[at:at + len(run)] = run

    def __eq__(self, other):
        return isinstance(other, Picture) and self.size == other.size and \
            self.pixels == other.pixels


def _ppm_token(data, at):
    """The next whitespace-separated header token of a PPM file and the index after it."""
    while at < len(data):
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
        elif data[at:at + 1].isspace():
            at += 1
        else:
            break
    end = at
    while end < len(data) and not data[end:end + 1].isspace():
        end += 1
    return data[at:end], end


def read_ppm(path):
    data = Path(path).read_bytes()
    magic, at = _ppm_token(data, 0)
    if magic != b"P6":
        raise PictureError("%s is not a binary PPM" % path)
    fields = []
    for _ in range(3):
        token, at = _ppm_token(data, at)
        if not token.isdigit():
            raise PictureError("%s has a broken header" % path)
        fields.append(int(token))
    width, height, maximum = fields
    if maximum != 255:
        raise PictureError("%s has %d levels, not 256" % (path, maximum + 1))
    return Picture(width, height, data[at + 1:at + 1 + width * height * 3])


def _chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def png_bytes(picture):
    """The picture as an 8-bit RGB PNG; each row filtered by its left neighbour ("Sub"), which
    shrinks the flat areas of a form's picture."""
    rows = bytearray()
    stride = picture.width * 3
    for y in range(picture.height):
        row = picture.pixels[y * stride:(y + 1) * stride]
        rows.append(1)
        rows += row[:3]
        rows += bytes((row[i] - row[i - 3]) & 0xFF for i in range(3, stride))
    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0, 0)
    return (PNG_SIGNATURE + _chunk(b"IHDR", header) +
            _chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + _chunk(b"IEND", b""))


def write_png(picture, path):
    with open(path, "wb") as out:
        out.write(png_bytes(picture))


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(kind, row, previous, bpp):
    out = bytearray(row)
    for i in range(len(out)):
        left = out[i - bpp] if i >= bpp else 0
        up = previous[i]
        if kind == 1:
            out[i] = (out[i] + left) & 0xFF
        elif kind == 2:
            out[i] = (out[i] + up) & 0xFF
        elif kind == 3:
            out[i] = (out[i] + (left + up) // 2) & 0xFF
        elif kind == 4:
            out[i] = (out[i] + _paeth(left, up, previous[i - bpp] if i >= bpp else 0)) & 0xFF
        elif kind != 0:
            raise PictureError("unknown PNG row filter %d" % kind)
    return out


def read_png(path):
    """An 8-bit RGB or RGBA PNG without interlacing (alpha is dropped): what write_png writes and
    what common tools save a picture edited by hand as."""
    data = Path(path).read_bytes()
    if not data.startswith(PNG_SIGNATURE):
        raise PictureError("%s is not a PNG file" % path)
    at = len(PNG_SIGNATURE)
    header, compressed = None, bytearray()
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if len(body) != length:
            raise PictureError("%s is cut short" % path)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
        at += 12 + length
    if header is None:
        raise PictureError("%s has no header" % path)
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise PictureError("%s is not an 8-bit RGB picture without interlacing" % path)
    bpp = 3 if colour == 2 else 4
    try:
        raw = zlib.decompress(bytes(compressed))
    except zlib.error as error:
        raise PictureError("%s: %s" % (path, error)) from None
    stride = width * bpp
    if len(raw) != height * (stride + 1):
        raise PictureError("%s holds %d bytes of pixels, not %d" %
                           (path, len(raw), height * (stride + 1)))
    pixels = bytearray()
    previous = bytes(stride)
    for y in range(height):
        start = y * (stride + 1)
        row = _unfilter(raw[start], raw[start + 1:start + 1 + stride], previous, bpp)
        pixels += row if bpp == 3 else bytes(b for i, b in enumerate(row) if i % 4 != 3)
        previous = row
    return Picture(width, height, pixels)


DIFFERENT = (255, 0, 0)


class Difference:
    """Where two pictures differ: the count of differing pixels, their bounding box (left, top,
    right, bottom, inclusive) and a picture that shows them in red over the reference dimmed.
    Pixels that only one of two pictures of different sizes has count as differing."""

    def __init__(self, got, reference):
        width = max(got.width, reference.width)
        height = max(got.height, reference.height)
        self.picture = Picture(width, height)
        self.count = 0
        self.box = None
        out = self.picture.pixels
        for y in range(height):
            for x in range(width):
                inside = x < min(got.width, reference.width) and y < min(got.height,
                                                                        reference.height)
                at = (y * width + x) * 3
                if inside and got.pixel(x, y) == reference.pixel(x, y):
                    r, g, b = reference.pixel(x, y)
                    out[at:at + 3] = bytes([(r + g + b) // 9] * 3)
                    continue
                out[at:at + 3] = bytes(DIFFERENT)
                self.count += 1
                if self.box is None:
                    self.box = [x, y, x, y]
                else:
                    box = self.box
                    box[0], box[1] = min(box[0], x), min(box[1], y)
                    box[2], box[3] = max(box[2], x), max(box[3], y)
        if self.box is not None:
            self.box = tuple(self.box)

    def __bool__(self):
        return self.count > 0
