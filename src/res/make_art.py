#!/usr/bin/env python3
"""Draws Brimlo's images and writes them as Windows bitmaps plus the program icon.

Usage: make_art.py OUTPUT_DIR

Everything is drawn here from a few primitives, so the build needs no image editor and the
repository holds no binary image. Shapes are sampled SS x SS times per pixel, which gives smooth
edges to circles and slanted lines while edges on whole pixel coordinates stay crisp.
"""

import math
import os
import struct
import sys

SS = 4  # samples per pixel along each axis

# The light neutral behind every bitmap: close to white, and quiet next to the light blue,
# grey and sage panels of the window.
BACKGROUND = (240, 240, 240)


class Canvas:
    """An RGBA drawing surface; coordinates are in pixels, (0, 0) is the top left corner."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        self.sw = width * SS
        self.sh = height * SS
        n = self.sw * self.sh
        # Premultiplied colour: painting over is a plain mix and averaging needs no weights.
        if background is None:
            self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n
        else:
            self.r = [float(background[0])] * n
            self.g = [float(background[1])] * n
            self.b = [float(background[2])] * n
            self.a = [1.0] * n

    # -- sample level --------------------------------------------------------------------------

    def _rows(self, y0, y1):
        """Sample rows whose centres lie in [y0, y1)."""
        first = max(0, math.ceil(y0 * SS - 0.5))
        last = min(self.sh, math.ceil(y1 * SS - 0.5))
        return range(first, last)

    def _span(self, sy, x0, x1, colour):
        """Paints the samples of row sy whose centres lie in [x0, x1)."""
        first = max(0, math.ceil(x0 * SS - 0.5))
        last = min(self.sw, math.ceil(x1 * SS - 0.5))
        if first >= last:
            return
        cr, cg, cb = colour[0], colour[1], colour[2]
        alpha = colour[3] if len(colour) > 3 else 1.0
        base = sy * self.sw
        r, g, b, a = self.r, self.g, self.b, self.a
        if alpha >= 1.0:
            for i in range(base + first, base + last):
                r[i], g[i], b[i], a[i] = cr, cg, cb, 1.0
        else:
            keep = 1.0 - alpha
            for i in range(base + first, base + last):
                r[i] = cr * alpha + r[i] * keep
                g[i] = cg * alpha + g[i] * keep
                b[i] = cb * alpha + b[i] * keep
                a[i] = alpha + a[i] * keep

    # -- shapes --------------------------------------------------------------------------------

    def rect(self, x0, y0, x1, y1, colour):
        for sy in self._rows(y0, y1):
            self._span(sy, x0, x1, colour)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        for sy in self._rows(y0, y1):
            t = ((sy + 0.5) / SS - y0) / (y1 - y0)
            self._span(sy, x0, x1, mix(top, bottom, t))

    def polygon(self, points, colour):
        """Fills a polygon with the even-odd rule, one sample row at a time."""
        ys = [p[1] for p in points]
        edges = list(zip(points, points[1:] + points[:1]))
        for sy in self._rows(min(ys), max(ys)):
            yc = (sy + 0.5) / SS
            xs = []
            for (ax, ay), (bx, by) in edges:
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for k in range(0, len(xs) - 1, 2):
                self._span(sy, xs[k], xs[k + 1], colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        for sy in self._rows(cy - ry, cy + ry):
            dy = ((sy + 0.5) / SS - cy) / ry
            if abs(dy) < 1.0:
                half = rx * math.sqrt(1.0 - dy * dy)
                self._span(sy, cx - half, cx + half, colour)

    def circle(self, cx, cy, radius, colour):
        self.ellipse(cx, cy, radius, radius, colour)

    def line(self, x0, y0, x1, y1, width, colour, round_caps=False):
        """A straight stroke of the given width, centred on the segment."""
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                      (x0 - nx, y0 - ny)], colour)
        if round_caps:
            self.circle(x0, y0, width / 2, colour)
            self.circle(x1, y1, width / 2, colour)

    def round_rect(self, x0, y0, x1, y1, radius, colour):
        self.rect(x0 + radius, y0, x1 - radius, y1, colour)
        self.rect(x0, y0 + radius, x1, y1 - radius, colour)
        for cx, cy in ((x0 + radius, y0 + radius), (x1 - radius, y0 + radius),
                       (x0 + radius, y1 - radius), (x1 - radius, y1 - radius)):
            self.circle(cx, cy, radius, colour)

    # Shapes with a border: the border colour first, the fill inset on top of it.

    def framed_polygon(self, points, fill, border, width=1.0):
        self.polygon(points, border)
        self.polygon(inset(points, width), fill)

    def framed_rect(self, x0, y0, x1, y1, fill, border, width=1.0):
        self.rect(x0, y0, x1, y1, border)
        self.rect(x0 + width, y0 + width, x1 - width, y1 - width, fill)

    def framed_circle(self, cx, cy, radius, fill, border, width=1.0):
        self.circle(cx, cy, radius, border)
        self.circle(cx, cy, radius - width, fill)

    def framed_round_rect(self, x0, y0, x1, y1, radius, fill, border, width=1.0):
        self.round_rect(x0, y0, x1, y1, radius, border)
        self.round_rect(x0 + width, y0 + width, x1 - width, y1 - width,
                        max(radius - width, 0.0), fill)

    # -- result --------------------------------------------------------------------------------

    def pixels(self):
        """Rows from the top, each a list of (r, g, b, alpha), every channel 0..255."""
        n = SS * SS
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                pr = pg = pb = pa = 0.0
                for sy in range(y * SS, (y + 1) * SS):
                    base = sy * self.sw + x * SS
                    for i in range(base, base + SS):
                        pr += self.r[i]
                        pg += self.g[i]
                        pb += self.b[i]
                        pa += self.a[i]
                if pa > 0:
                    pixel = (clamp(pr / pa), clamp(pg / pa), clamp(pb / pa), clamp(255 * pa / n))
                else:
                    pixel = (0, 0, 0, 0)
                row.append(pixel)
            rows.append(row)
        return rows


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(c0, c1, t):
    return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(3))


def shade(colour, factor):
    """Darker below 1, lighter above 1 (mixed towards white)."""
    if factor <= 1:
        return tuple(c * factor for c in colour)
    return mix(colour, (255, 255, 255), factor - 1)


def inset(points, d):
    """Moves every edge of a convex polygon inwards by d; the winding may be either way."""
    area = sum(ax * by - bx * ay
               for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]))
    sign = 1.0 if area > 0 else -1.0
    lines = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        length = math.hypot(bx - ax, by - ay)
        # Inward normal: to the left of the edge for one winding, to the right for the other.
        nx, ny = -(by - ay) / length * sign, (bx - ax) / length * sign
        lines.append(((ax + nx * d, ay + ny * d), (bx - ax, by - ay)))
    result = []
    for k in range(len(lines)):
        (px, py), (dx, dy) = lines[k - 1]
        (qx, qy), (ex, ey) = lines[k]
        det = dx * ey - dy * ex
        if abs(det) < 1e-9:
            result.append((qx, qy))
            continue
        t = ((qx - px) * ey - (qy - py) * ex) / det
        result.append((px + dx * t, py + dy * t))
    return result


# -- colours ---------------------------------------------------------------------------------

INK = (62, 64, 74)
PAPER = (255, 255, 255)
PAPER_FOLD = (212, 216, 226)
TEXT_GREY = (150, 153, 162)


# -- the images ------------------------------------------------------------------------------


def page(c, x, y, w, h, fold, fill=PAPER):
    """A sheet of paper with its top right corner folded over."""
    outline = [(x, y), (x + w - fold, y), (x + w, y + fold), (x + w, y + h), (x, y + h)]
    c.framed_polygon(outline, fill, INK)
    flap = [(x + w - fold, y), (x + w - fold, y + fold), (x + w, y + fold)]
    c.polygon(flap, PAPER_FOLD)
    c.rect(x + w - fold, y, x + w - fold + 1, y + fold + 1, INK)
    c.rect(x + w - fold, y + fold, x + w, y + fold + 1, INK)
    # The slanted edge through pixel centres: one clean pixel per row.
    c.line(x + w - fold + 0.5, y + 0.5, x + w - 0.5, y + fold - 0.5, 1.1, INK, round_caps=True)


def words(c, x, y, lengths, thickness, colours, gap=2):
    """One line of text as a row of word-sized bars; colours repeat when fewer than words."""
    for k, length in enumerate(lengths):
        c.rect(x, y, x + length, y + thickness, colours[k % len(colours)])
        x += length + gap


def draw_mode_files():
    c = Canvas(57, 60, BACKGROUND)
    for k, (x, y) in enumerate(((4, 3), (11, 9), (18, 15))):
        # The sheets further back lie in shadow; only the front one shows its text.
        page(c, x, y, 34, 42, 9, fill=shade(PAPER, 0.88 + 0.06 * k))
    lines = ((9, 6, 8), (5, 12, 5), (11, 9), (7, 5, 10), (12, 8), (6, 9))
    for row, lengths in enumerate(lines):
        words(c, 23, 28 + row * 5, lengths, 2, [TEXT_GREY])
    return c


def draw_mode_text():
    c = Canvas(48, 48, BACKGROUND)
    page(c, 9, 3, 30, 42, 9)
    lines = ((7, 5, 4), (5, 8, 6), (9, 10), (4, 6, 9), (10, 7), (6, 4, 9), (8, 5))
    for row, lengths in enumerate(lines):
        words(c, 14, 15 + row * 4, lengths, 2, [TEXT_GREY])
    return c


def draw_mode_richtext():
    c = Canvas(48, 48, BACKGROUND)
    page(c, 9, 3, 30, 42, 9)
    navy, red, green, black = (30, 70, 170), (205, 45, 40), (40, 145, 60), (40, 40, 48)
    words(c, 14, 8, (12,), 4, [navy])  # a heading, big and bold
    words(c, 14, 16, (6, 9, 4), 2, [black, red, black])
    words(c, 14, 21, (5, 7, 7), 3, [black])  # a bold line
    words(c, 14, 27, (8, 5, 6), 2, [green, black, black])
    words(c, 14, 32, (4, 10, 5), 2, [black, navy, black])
    c.rect(20, 35, 30, 36, navy)  # underlined word
    c.rect(14, 39, 16, 41, red)  # a bullet point
    words(c, 19, 39, (6, 8), 2, [black])
    return c


def draw_mode_picture():
    c = Canvas(56, 56, BACKGROUND)
    wood, wood_dark = (196, 146, 78), (116, 74, 34)
    c.framed_rect(3, 6, 53, 50, wood, wood_dark)
    c.rect(5, 8, 51, 9, shade(wood, 1.25))  # light falls on the top of the frame
    c.framed_rect(7, 10, 49, 46, (200, 225, 248), wood_dark)
    c.vgradient(8, 11, 48, 45, (95, 158, 232), (205, 228, 250))
    c.circle(37, 20, 4.5, (255, 214, 70))
    c.polygon([(8, 37), (18, 22), (25, 30), (32, 23), (48, 38), (48, 45), (8, 45)],
              (120, 138, 170))
    c.polygon([(24, 28.6), (18, 22), (15.6, 25.6), (18, 27), (20, 25.6)], (245, 247, 252))
    c.polygon([(8, 40), (15, 35), (24, 37), (34, 33), (48, 36), (48, 45), (8, 45)],
              (78, 160, 72))
    c.polygon([(8, 45), (8, 42), (20, 39), (36, 41), (48, 40), (48, 45)], (58, 132, 56))
    return c


def arrow(c, x0, y0, x1, y1, width, head_length, head_width, colour):
    """A straight arrow from (x0, y0) with its point at (x1, y1)."""
    length = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    bx, by = x1 - ux * head_length, y1 - uy * head_length
    c.line(x0, y0, bx + ux, by + uy, width, colour)
    nx, ny = -uy * head_width / 2, ux * head_width / 2
    c.polygon([(x1, y1), (bx + nx, by + ny), (bx - nx, by - ny)], colour)


def draw_resize():
    c = Canvas(42, 36, BACKGROUND)
    blue = (36, 92, 196)
    # The window in the middle, and an arrow from each of its corners to a corner of the image.
    c.framed_rect(16, 13, 26, 23, PAPER, INK)
    c.rect(17, 14, 25, 16, blue)
    # At 45 degrees through pixel centres the shafts stay sharp.
    for dx, dy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        tx, ty = 21 + dx * 18.5, 18 + dy * 16.5
        arrow(c, tx - dx * 12.5, ty - dy * 12.5, tx, ty, 2.2, 6, 8, blue)
    return c


def draw_new_folder():
    c = Canvas(25, 25, BACKGROUND)
    edge, back, front = (150, 100, 16), (226, 172, 44), (252, 212, 90)
    c.framed_polygon([(1, 5), (8, 5), (10, 7), (20, 7), (20, 20), (1, 20)], back, edge)
    c.framed_polygon([(4, 10), (23, 10), (20, 20), (1, 20)], front, edge)
    c.rect(5, 11, 21.4, 12, shade(front, 1.45))  # the lit top edge of the front flap
    # A green plus in front: "new". Its dark rim keeps it apart from the yellow.
    green, green_dark = (60, 176, 70), (24, 104, 36)
    c.rect(17, 12, 22, 25, green_dark)
    c.rect(14, 15, 25, 22, green_dark)
    c.rect(18, 13, 21, 24, green)
    c.rect(15, 16, 24, 21, green)
    return c


def draw_exit():
    c = Canvas(32, 32, BACKGROUND)
    c.framed_circle(16, 16, 14, (214, 48, 40), (140, 22, 20))
    c.ellipse(16, 11, 9, 5.5, (230, 96, 86, 0.55))  # a soft highlight on the upper half
    white = (255, 255, 255)
    c.line(10.5, 10.5, 21.5, 21.5, 3.6, white, round_caps=True)
    c.line(21.5, 10.5, 10.5, 21.5, 3.6, white, round_caps=True)
    return c


def draw_pin(c, place, body, body_edge, metal, needle_length):
    """A push pin seen from the side; `place` maps its own frame (needle down) to the image."""

    def poly(points, fill, border=None):
        points = [place(x, y) for x, y in points]
        if border is None:
            c.polygon(points, fill)
        else:
            c.framed_polygon(points, fill, border)

    def box(x0, y0, x1, y1):
        return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]

    # Odd widths around the axis keep every edge on whole pixels in both orientations.
    poly([(-0.5, 10), (0.5, 10), (0.5, 9 + needle_length), (0, 10 + needle_length),
          (-0.5, 9 + needle_length)], metal)
    poly(box(-4.5, 8, 4.5, 11), body, body_edge)  # the collar
    poly(box(-2.5, 2, 2.5, 9), body, body_edge)  # the grip
    poly(box(-3.5, 0, 3.5, 3), body, body_edge)  # the head
    poly(box(-1.5, 3, -0.5, 8), shade(body, 1.5))  # a highlight along the grip


def lying(x, y):
    """The pin lying on its side, head on the right, point to the left."""
    return (19 - y, 10.5 + x)


def standing(x, y):
    """The pin upright, pushed in from above."""
    return (10.5 + x, 1 + y)


def draw_aot_disabled():
    c = Canvas(21, 20, BACKGROUND)
    draw_pin(c, lying, (196, 198, 204), (118, 120, 130), (140, 142, 150), 7)
    return c


def draw_aot_mousemove():
    c = Canvas(21, 20, BACKGROUND)
    draw_pin(c, lying, (238, 88, 70), (160, 40, 30), (120, 124, 136), 7)
    return c


def draw_aot_enabled():
    c = Canvas(21, 20, BACKGROUND)
    c.ellipse(10.5, 17.5, 6, 1.6, (150, 150, 160, 0.6))  # its shadow on the surface
    draw_pin(c, standing, (204, 32, 28), (110, 14, 12), (90, 92, 104), 6)
    return c


def draw_icon_32():
    c = Canvas(32, 32)
    board, board_edge = (176, 120, 62), (98, 62, 26)
    c.framed_round_rect(2, 4, 23, 31, 2.5, board, board_edge)
    c.framed_rect(5, 8, 20, 28, PAPER, (150, 118, 80))
    for row, length in enumerate((11, 8, 10, 6, 9)):
        c.rect(7, 11 + row * 3, 7 + length, 12 + row * 3, TEXT_GREY)
    metal, metal_edge = (200, 204, 212), (84, 88, 100)
    c.framed_round_rect(7, 1, 18, 7, 1.5, metal, metal_edge)
    c.rect(10, 2.5, 15, 4, metal_edge)
    # The floppy disk the clipboard goes to, with an arrow pointing into it.
    navy, blue = (20, 36, 96), (48, 94, 190)
    c.framed_polygon([(15, 16), (29, 16), (31, 18), (31, 31), (15, 31)], blue, navy)
    c.framed_rect(19, 16, 28, 22, (206, 210, 220), navy)
    c.rect(24, 17.5, 26, 20.5, navy)
    c.framed_rect(17, 24, 29, 31, PAPER, navy)
    c.rect(19, 26, 27, 27, TEXT_GREY)
    c.rect(19, 28, 25, 29, TEXT_GREY)
    green, green_dark = (64, 180, 72), (20, 96, 30)
    c.framed_polygon([(25, 1), (29, 1), (29, 8), (31.5, 8), (27, 13.5), (22.5, 8), (25, 8)],
                     green, green_dark)
    return c


def draw_icon_16():
    c = Canvas(16, 16)
    board_edge = (98, 62, 26)
    c.framed_rect(1, 2, 12, 16, (176, 120, 62), board_edge)
    c.rect(3, 4, 10, 14, PAPER)
    for row, length in enumerate((5, 4, 5)):
        c.rect(4, 6 + row * 2, 4 + length, 7 + row * 2, TEXT_GREY)
    c.framed_rect(4, 1, 9, 4, (200, 204, 212), (84, 88, 100))
    navy, blue = (20, 36, 96), (48, 94, 190)
    c.framed_rect(8, 8, 16, 16, blue, navy)
    c.rect(10, 9, 14, 11, (206, 210, 220))
    c.rect(9, 12, 15, 15, PAPER)
    return c


BITMAPS = {
    "mode_files.bmp": draw_mode_files,
    "mode_text.bmp": draw_mode_text,
    "mode_picture.bmp": draw_mode_picture,
    "mode_richtext.bmp": draw_mode_richtext,
    "resize.bmp": draw_resize,
    "new_folder.bmp": draw_new_folder,
    "exit.bmp": draw_exit,
    "aot_disabled.bmp": draw_aot_disabled,
    "aot_mousemove.bmp": draw_aot_mousemove,
    "aot_enabled.bmp": draw_aot_enabled,
}
ICON = "brimlo.ico"
ICON_IMAGES = (draw_icon_32, draw_icon_16)


# -- file formats ----------------------------------------------------------------------------


def bmp_bytes(rows, background=BACKGROUND):
    """A 24-bit bottom-up Windows bitmap; what is not fully covered shows the background."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, a in row:
            t = a / 255.0
            line += bytes((clamp(b * t + background[2] * (1 - t)),
                           clamp(g * t + background[1] * (1 - t)),
                           clamp(r * t + background[0] * (1 - t))))
        pixels += line + bytes(stride - len(line))
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835,
                              2835, 0, 0)
    return file_header + info_header + bytes(pixels)


def median_cut(counts, size):
    """Up to `size` colours that stand for the weighted colours in `counts` ({rgb: count})."""
    boxes = [list(counts.items())]

    def spread(box):
        ranges = [max(c[i] for c, _ in box) - min(c[i] for c, _ in box) for i in range(3)]
        return max(ranges), ranges.index(max(ranges))

    while len(boxes) < size:
        candidates = [(spread(b)[0] * sum(n for _, n in b), k) for k, b in enumerate(boxes)
                      if len(b) > 1]
        if not candidates:
            break
        _, k = max(candidates)
        box = boxes.pop(k)
        channel = spread(box)[1]
        box.sort(key=lambda item: item[0][channel])
        total, running, cut = sum(n for _, n in box), 0, 1
        for cut in range(1, len(box)):
            running += box[cut - 1][1]
            if running * 2 >= total:
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(clamp(sum(c[i] * n for c, n in box) / total) for i in range(3)))
    return palette


def icon_image_bytes(rows):
    """One icon image: 8 bits per pixel with a 256-colour table, then the transparency mask.

    Index 0 is black, which the mask needs under transparent pixels; the picture's own
    colours fill the rest of the table."""
    height, width = len(rows), len(rows[0])
    counts = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= 128:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    colours = [c for c in counts if c != (0, 0, 0)]
    palette = colours if len(colours) <= 255 else median_cut(counts, 255)
    palette = [(0, 0, 0)] + palette
    lookup = {}

    def index(colour):
        if colour not in lookup:
            lookup[colour] = min(range(len(palette)), key=lambda k: sum(
                (palette[k][i] - colour[i])**2 for i in range(3)))
        return lookup[colour]

    stride = (width + 3) & ~3
    mask_stride = ((width + 31) // 32) * 4
    colour_bits, mask_bits = bytearray(), bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        mask = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            if a >= 128:
                line[x] = index((r, g, b))
            else:
                mask[x // 8] |= 0x80 >> (x % 8)
        colour_bits += line
        mask_bits += mask
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    table += bytes(4 * (256 - len(palette)))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0,
                         len(colour_bits) + len(mask_bits), 0, 0, 0, 0)
    return header + table + bytes(colour_bits) + bytes(mask_bits)


def ico_bytes(images):
    """An .ico file holding the given images (each a list of rows from Canvas.pixels)."""
    blobs = [icon_image_bytes(rows) for rows in images]
    offset = 6 + 16 * len(blobs)
    directory = struct.pack("<HHH", 0, 1, len(blobs))
    for rows, blob in zip(images, blobs):
        width, height = len(rows[0]), len(rows)
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 8, len(blob),
                                 offset)
        offset += len(blob)
    return directory + b"".join(blobs)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTPUT_DIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in BITMAPS.items():
        write(os.path.join(out, name), bmp_bytes(draw().pixels()))
    write(os.path.join(out, ICON), ico_bytes([draw().pixels() for draw in ICON_IMAGES]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
