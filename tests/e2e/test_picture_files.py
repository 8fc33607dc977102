"""The reference pictures' files and comparison, without Wine: PNG and PPM files read back pixel
for pixel, every PNG row filter undone, a one-pixel change found where it is."""

import random
import struct
import tempfile
import unittest
import zlib
from pathlib import Path

from picture_files import Difference, Picture, PictureError, png_bytes, read_png, read_ppm


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png_file(width, height, rows, colour=2):
    """A PNG whose rows (filter byte first) are given as they are stored."""
    header = struct.pack(">IIBBBBB", width, height, 8, colour, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(bytes(r) for r in rows))) + chunk(b"IEND", b""))


class Files(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="zorvo-picture-files-"))

    def tearDown(self):
        for path in self.folder.iterdir():
            path.unlink()
        self.folder.rmdir()

    def write(self, name, data):
        path = self.folder / name
        path.write_bytes(data)
        return path

    def test_written_png_reads_back_pixel_for_pixel(self):
        rng = random.Random(7)
        for width, height in ((1, 1), (3, 2), (37, 11)):
            pixels = bytes(rng.randrange(256) for _ in range(width * height * 3))
            picture = Picture(width, height, pixels)
            self.assertEqual(read_png(self.write("p.png", png_bytes(picture))), picture,
                             "%dx%d" % (width, height))

    def test_every_png_row_filter_is_undone(self):
        # Two pixels a row; row N uses filter N. The stored bytes were worked out by hand from
        # the pixels below (the last row takes each of the Paeth predictor's three choices).
        stored = [[0, 10, 20, 30, 40, 50, 60],
                  [1, 11, 22, 33, 33, 33, 33],
                  [2, 1, 2, 3, 4, 5, 6],
                  [3, 94, 19, 22, 126, 15, 14],
                  [4, 166, 69, 60, 5, 0, 1]]
        pixels = [10, 20, 30, 40, 50, 60,
                  11, 22, 33, 44, 55, 66,
                  12, 24, 36, 48, 60, 72,
                  100, 31, 40, 200, 60, 70,
                  10, 100, 100, 105, 100, 101]
        picture = read_png(self.write("f.png", png_file(2, 5, stored)))
        self.assertEqual(picture, Picture(2, 5, pixels))

    def test_alpha_is_dropped(self):
        stored = [[0, 1, 2, 3, 255, 4, 5, 6, 0]]
        picture = read_png(self.write("a.png", png_file(2, 1, stored, colour=6)))
        self.assertEqual(picture, Picture(2, 1, [1, 2, 3, 4, 5, 6]))

    def test_files_that_are_not_such_pictures_are_refused(self):
        whole = png_file(1, 1, [[0, 1, 2, 3]])
        cases = {
            "text": b"not a picture",
            "cut short": whole[:-20],
            "missing pixels": png_file(2, 1, [[0, 1, 2, 3]]),
            "palette": png_file(1, 1, [[0, 0]], colour=3),
            "unknown filter": png_file(1, 1, [[5, 1, 2, 3]]),
        }
        for name, data in cases.items():
            with self.subTest(name), self.assertRaises(PictureError):
                read_png(self.write("bad.png", data))

    def test_ppm_with_comment_gives_its_pixels_in_order(self):
        data = b"P6\n# from the driver\n2 1\n255\n" + bytes([1, 2, 3, 4, 5, 6])
        self.assertEqual(read_ppm(self.write("a.ppm", data)), Picture(2, 1, [1, 2, 3, 4, 5, 6]))
        with self.assertRaises(PictureError):
            read_ppm(self.write("short.ppm", data[:-1]))
        with self.assertRaises(PictureError):
            read_ppm(self.write("text.ppm", b"P3\n1 1\n255\n1 2 3\n"))


class Differences(unittest.TestCase):
    def reference(self):
        rng = random.Random(3)
        return Picture(20, 10, bytes(rng.randrange(256) for _ in range(20 * 10 * 3)))

    def test_one_changed_pixel_is_found_where_it_is(self):
        reference = self.reference()
        got = Picture(20, 10, reference.pixels)
        self.assertFalse(Difference(got, reference))
        got.fill(13, 4, 1, 1, (1, 2, 3))
        difference = Difference(got, reference)
        self.assertEqual((difference.count, difference.box), (1, (13, 4, 13, 4)))
        self.assertEqual(difference.picture.size, (20, 10))
        self.assertEqual(difference.picture.pixel(13, 4), (255, 0, 0))
        # Elsewhere the reference shows through, grey and dimmed.
        r, g, b = reference.pixel(0, 0)
        self.assertEqual(difference.picture.pixel(0, 0), ((r + g + b) // 9,) * 3)

    def test_a_changed_block_is_boxed(self):
        reference = self.reference()
        got = Picture(20, 10, reference.pixels)
        got.fill(2, 3, 5, 4, (9, 9, 9))
        difference = Difference(got, reference)
        self.assertEqual((difference.count, difference.box), (20, (2, 3, 6, 6)))

    def test_pictures_of_other_sizes_differ_by_what_only_one_has(self):
        reference = self.reference()
        wider = Picture(21, 10)
        for y in range(10):
            wider.pixels[y * 63:y * 63 + 60] = reference.pixels[y * 60:(y + 1) * 60]
        difference = Difference(wider, reference)
        self.assertEqual((difference.count, difference.box), (10, (20, 0, 20, 9)))
        self.assertNotEqual(wider, reference)

    def test_a_mask_is_clipped_to_the_picture(self):
        picture = Picture(4, 3)
        picture.fill(2, 1, 10, 10, (255, 0, 255))
        picture.fill(-5, -5, 6, 6, (1, 1, 1))
        painted = {(x, y) for y in range(3) for x in range(4) if picture.pixel(x, y) != (0, 0, 0)}
        self.assertEqual(painted, {(0, 0), (2, 1), (3, 1), (2, 2), (3, 2)})


if __name__ == "__main__":
    unittest.main()
