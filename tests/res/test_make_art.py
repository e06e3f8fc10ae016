#!/usr/bin/env python3
"""Checks of make_art.py: the files Windows reads back, the shapes, and the pictures telling the
program's states apart."""

import math
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "res"))
import make_art  # noqa: E402


def read_bmp(data):
    """Rows from the top of (r, g, b) of a 24-bit bitmap, checking its headers."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    header, width, height, planes, bits, compression, image_size = struct.unpack_from(
        "<IiiHHII", data, 14)
    assert magic == b"BM" and size == len(data), "file header"
    assert header == 40 and planes == 1 and bits == 24 and compression == 0, "info header"
    assert height > 0, "rows must run bottom-up"
    stride = (width * 3 + 3) & ~3
    assert image_size == stride * height and offset + image_size == len(data), "pixel size"
    base = [offset + (height - 1 - y) * stride for y in range(height)]
    return [[tuple(reversed(data[b + 3 * x:b + 3 * x + 3])) for x in range(width)] for b in base]


def read_ico(data):
    """Per image: (width, rows of (r, g, b) or None where transparent)."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and kind == 1, "icon directory"
    images = []
    for k in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data,
                                                                           6 + 16 * k)
        assert offset + size <= len(data), "image lies outside the file"
        header, width, height2, _, bit_count = struct.unpack_from("<IiiHH", data, offset)
        assert header == 40 and width == (w or 256) and height2 == 2 * (h or 256)
        assert bits == bit_count == 8 and colours == 0, "256 colours"
        table, stride, mask_stride = offset + 40, (width + 3) & ~3, ((width + 31) // 32) * 4
        pixels = table + 256 * 4
        mask = pixels + stride * h
        assert mask + mask_stride * h == offset + size, "image size"
        rows = []
        for y in range(h):
            row = []
            for x in range(width):
                index = data[pixels + (h - 1 - y) * stride + x]
                masked = data[mask + (h - 1 - y) * mask_stride + x // 8] & (0x80 >> (x % 8))
                b, g, r = data[table + 4 * index:table + 4 * index + 3]
                assert not masked or (index, r, g, b) == (0, 0, 0, 0), "colour under the mask"
                row.append(None if masked else (r, g, b))
            rows.append(row)
        images.append((width, rows))
    return images


def colourful(canvas):
    """Pixels with a clearly saturated colour (not black, grey or white)."""
    return sum(max(p[:3]) - min(p[:3]) > 80 for row in canvas.pixels() for p in row)


class Art(unittest.TestCase):

    def test_bitmap_rows_padding_colour_order_and_background(self):
        # Widths 1 to 5 need every amount of row padding; a wrong one shears the picture.
        for width, height in ((1, 1), (2, 3), (3, 2), (4, 4), (5, 3)):
            with self.subTest(width=width, height=height):
                c = make_art.Canvas(width, height, (10, 20, 30))
                c.rect(0, 0, 1, 1, (255, 0, 0))
                c.rect(width - 1, height - 1, width, height, (0, 0, 255))
                rows = read_bmp(make_art.bmp_bytes(c.pixels()))
                self.assertEqual((len(rows[0]), len(rows)), (width, height))
                if width * height > 1:
                    self.assertEqual(rows[0][0], (255, 0, 0), "top left")
                self.assertEqual(rows[-1][-1], (0, 0, 255), "bottom right")
                if width > 1 and height > 1:
                    self.assertEqual(rows[0][-1], (10, 20, 30))
        # What is not drawn, or drawn in part, shows the background.
        c = make_art.Canvas(4, 1)
        c.rect(0, 0, 1.5, 1, (0, 0, 0))
        rows = read_bmp(make_art.bmp_bytes(c.pixels(), background=(200, 100, 0)))
        self.assertEqual(rows[0][:2] + rows[0][3:], [(0, 0, 0), (100, 50, 0), (200, 100, 0)])

    def test_icon_mask_palette_colour_accuracy_and_sizes(self):
        few = make_art.Canvas(16, 16)
        few.rect(2, 2, 14, 14, (0, 0, 0))  # black drawn on purpose stays opaque
        few.rect(4, 4, 12, 12, (255, 128, 0))
        many = make_art.Canvas(32, 32)
        for y in range(32):
            for x in range(32):  # 1024 colours: more than the table holds
                many.rect(x, y, x + 1, y + 1, (x * 8, y * 8, (x + y) * 4))
        many.rect(0, 0, 3, 3, (0, 0, 0, 0.0))
        cases = ((few, 24), (many, 40))
        images = read_ico(make_art.ico_bytes([c.pixels() for c, _ in cases]))
        self.assertEqual([w for w, _ in images], [16, 32])
        for (canvas, tolerance), (_, rows) in zip(cases, images):
            self.assertEqual(len(rows), canvas.height)
            for want_row, got_row in zip(canvas.pixels(), rows):
                for want, got in zip(want_row, got_row):
                    self.assertEqual(got is None, want[3] < 128, (want, got))
                    if got:
                        error = math.dist(want[:3], got)
                        self.assertLess(error, tolerance, (want, got))
        self.assertIsNone(images[0][1][0][0])
        self.assertEqual(images[0][1][2][2], (0, 0, 0))
        # The program's icon: both sizes, a transparent edge.
        images = read_ico(make_art.ico_bytes([draw().pixels() for draw in make_art.ICON_IMAGES]))
        self.assertEqual(sorted(w for w, _ in images), [16, 32])
        for w, rows in images:
            self.assertIsNone(rows[0][0])
            self.assertIsNotNone(rows[w // 2][w // 2])

    def test_filled_area_and_sharp_whole_pixel_edges(self):
        cases = (
            ("rectangle on whole pixels", lambda c: c.rect(2, 3, 7, 5, (0, 0, 0)), 10),
            ("rectangle on half pixels", lambda c: c.rect(2.5, 3, 7, 5.5, (0, 0, 0)), 11.25),
            ("triangle", lambda c: c.polygon([(1, 1), (11, 1), (1, 9)], (0, 0, 0)), 40),
            ("triangle, other winding", lambda c: c.polygon([(1, 1), (1, 9), (11, 1)],
                                                            (0, 0, 0)), 40),
            ("notched, two spans a row", lambda c: c.polygon(
                [(0, 0), (5, 6), (10, 0), (10, 10), (0, 10)], (0, 0, 0)), 70),
            ("circle", lambda c: c.circle(6, 6, 4, (0, 0, 0)), math.pi * 16),
            ("diagonal line", lambda c: c.line(2, 2, 10, 10, 2, (0, 0, 0)), 2 * math.hypot(8, 8)),
        )
        for name, draw, area in cases:
            with self.subTest(name):
                c = make_art.Canvas(12, 12)
                draw(c)
                coverage = sum(p[3] for row in c.pixels() for p in row) / 255
                self.assertAlmostEqual(coverage, area, delta=max(0.6, area * 0.03))
        c = make_art.Canvas(6, 6)
        c.framed_rect(1, 1, 5, 5, (255, 255, 255), (0, 0, 0))
        rows = c.pixels()
        self.assertEqual([rows[0][0][3], rows[5][5][3]], [0, 0])
        self.assertEqual([rows[1][1], rows[2][2], rows[4][4]],
                         [(0, 0, 0, 255), (255, 255, 255, 255), (0, 0, 0, 255)])
        square = [(0, 0), (10, 0), (10, 10), (0, 10)]
        for points in (square, square[::-1]):  # both windings
            got = sorted((round(x, 6), round(y, 6)) for x, y in make_art.inset(points, 1))
            self.assertEqual(got, [(1, 1), (1, 9), (9, 1), (9, 9)])

    def test_pictures_show_something_and_tell_states_and_modes_apart(self):
        art = {name: draw().pixels() for name, draw in make_art.BITMAPS.items()}
        blank = make_art.Canvas(1, 1, make_art.BACKGROUND).pixels()[0][0]
        for name, rows in art.items():
            pixels = [p for row in rows for p in row]
            self.assertGreater(sum(p != blank for p in pixels) / len(pixels), 0.15, name)
        for a, b in (("aot_disabled", "aot_mousemove"), ("aot_disabled", "aot_enabled"),
                     ("aot_mousemove", "aot_enabled"), ("mode_text", "mode_richtext")):
            pa, pb = art[a + ".bmp"], art[b + ".bmp"]
            differ = sum(p != q for ra, rb in zip(pa, pb) for p, q in zip(ra, rb))
            self.assertGreater(differ / (len(pa) * len(pa[0])), 0.08, (a, b))
        # Plain text and the idle pin are grey; their counterparts are told by colour.
        for grey, coloured in (("mode_text", "mode_richtext"), ("aot_disabled", "aot_mousemove")):
            self.assertEqual(colourful(make_art.BITMAPS[grey + ".bmp"]()), 0)
            self.assertGreater(colourful(make_art.BITMAPS[coloured + ".bmp"]()), 30)


if __name__ == "__main__":
    unittest.main()
