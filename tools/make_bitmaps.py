#!/usr/bin/env python3
"""Draws the Kestrix bitmaps embedded in tessel2.dll.

    logo.bmp    320 x 240, 24 bits per pixel, uncompressed (resource "LOGO")
    splash.bmp  160 x 32,  24 bits per pixel, uncompressed (resource "SPLASH")

Both are drawn here from scratch: a faceted kestrel made of triangles over a
dark triangular lattice, and the word KESTRIX in a blocky 5 x 7 pixel font.

Usage:
    make_bitmaps.py [OUTDIR]     write logo.bmp and splash.bmp (default: tessel2/resources)
    make_bitmaps.py --check DIR  exit 1 unless DIR holds exactly what this script draws
"""

import os
import struct
import sys

# 5 x 7 glyphs, one string per row, '#' = lit.
FONT = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "G": [".####", "#....", "#....", "#.###", "#...#", "#...#", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "N": ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    ".": [".....", ".....", ".....", ".....", ".....", ".##..", ".##.."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}
GLYPH_W, GLYPH_H = 5, 7

BACKGROUND = (12, 16, 28)
LATTICE = (26, 36, 58)
TEXT = (236, 232, 220)
TEXT_SHADOW = (70, 36, 16)
ACCENT = (226, 122, 48)

# A kestrel seen from below, wings spread, as triangles in a 320 x 160 frame.
# Each entry: three (x, y) vertices and a shade index into KESTREL_SHADES.
KESTREL_SHADES = [
    (222, 130, 64),  # 0 light rufous
    (196, 98, 45),  # 1 rufous
    (160, 72, 34),  # 2 dark rufous
    (92, 104, 128),  # 3 slate
    (58, 66, 88),  # 4 dark slate
    (240, 200, 150),  # 5 buff
]


def _half_wing(sign):
    """Triangles of one wing; sign = -1 for the left wing, +1 for the right."""

    def p(x, y):
        return (160 + sign * x, y)

    shoulder_a, shoulder_b = p(10, 56), p(8, 78)
    mid_lead, mid_trail = p(60, 48), p(52, 86)
    outer_lead, outer_trail = p(105, 56), p(92, 90)
    tip = p(140, 80)
    return [
        ((shoulder_a, mid_lead, mid_trail), 0),
        ((shoulder_a, mid_trail, shoulder_b), 1),
        ((mid_lead, outer_lead, mid_trail), 1),
        ((mid_trail, outer_lead, outer_trail), 2),
        ((outer_lead, tip, outer_trail), 3),
        ((outer_trail, tip, p(118, 96)), 4),
    ]


def kestrel_triangles():
    tris = []
    tris += _half_wing(-1)
    tris += _half_wing(+1)
    # Head and body down the middle.
    tris += [
        (((160, 24), (150, 44), (170, 44)), 5),
        (((150, 44), (170, 44), (160, 58)), 0),
        (((150, 44), (160, 58), (148, 84)), 1),
        (((170, 44), (172, 84), (160, 58)), 2),
        (((148, 84), (160, 58), (172, 84)), 0),
        (((148, 84), (172, 84), (160, 104)), 1),
        # Tail, fanned.
        (((152, 96), (168, 96), (178, 140)), 2),
        (((152, 96), (178, 140), (142, 140)), 1),
        (((142, 140), (178, 140), (160, 148)), 4),
    ]
    return tris


class Canvas:
    def __init__(self, width, height, color):
        self.width = width
        self.height = height
        self.px = [[color] * width for _ in range(height)]

    def put(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = color

    def rect(self, x0, y0, w, h, color):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.put(x, y, color)

    def triangle(self, a, b, c, color):
        """Fills pixels whose centres lie inside (or on an edge of) triangle abc."""
        xs = [a[0], b[0], c[0]]
        ys = [a[1], b[1], c[1]]
        x0, x1 = max(0, int(min(xs))), min(self.width - 1, int(max(xs)) + 1)
        y0, y1 = max(0, int(min(ys))), min(self.height - 1, int(max(ys)) + 1)

        def edge(p, q, x, y):
            return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

        area = edge(a, b, c[0], c[1])
        if area == 0:
            return
        for y in range(y0, y1 + 1):
            cy = y + 0.5
            for x in range(x0, x1 + 1):
                cx = x + 0.5
                w0 = edge(b, c, cx, cy) * area
                w1 = edge(c, a, cx, cy) * area
                w2 = edge(a, b, cx, cy) * area
                if w0 >= 0 and w1 >= 0 and w2 >= 0:
                    self.px[y][x] = color

    def lattice(self, step, color):
        """Faint lattice of equilateral-ish triangles: horizontals plus two diagonals."""
        for y in range(self.height):
            for x in range(self.width):
                on = (y % step) == 0
                on = on or ((2 * x + y) % (2 * step)) == 0
                on = on or ((2 * x - y) % (2 * step)) == 0
                if on:
                    self.px[y][x] = color

    def text(self, x0, y0, string, scale, color, gap=1):
        x = x0
        for ch in string:
            rows = FONT[ch]
            for gy, row in enumerate(rows):
                for gx, cell in enumerate(row):
                    if cell == "#":
                        self.rect(x + gx * scale, y0 + gy * scale, scale, scale, color)
            x += (GLYPH_W + gap) * scale

    def bmp(self):
        """Bottom-up 24-bit BMP with a BITMAPINFOHEADER, rows padded to 4 bytes."""
        row_bytes = (self.width * 3 + 3) & ~3
        pad = b"\0" * (row_bytes - self.width * 3)
        body = bytearray()
        for y in range(self.height - 1, -1, -1):
            for r, g, b in self.px[y]:
                body += bytes((b, g, r))
            body += pad
        info = struct.pack(
            "<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(body), 2835, 2835, 0, 0
        )
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
        return header + info + bytes(body)


def text_width(string, scale, gap=1):
    return (len(string) * (GLYPH_W + gap) - gap) * scale


def draw_kestrel(canvas, scale, dx, dy):
    for (a, b, c), shade in kestrel_triangles():
        pts = [(dx + v[0] * scale, dy + v[1] * scale) for v in (a, b, c)]
        canvas.triangle(pts[0], pts[1], pts[2], KESTREL_SHADES[shade])


def draw_logo():
    c = Canvas(320, 240, BACKGROUND)
    c.lattice(16, LATTICE)
    draw_kestrel(c, 1.0, 0, 4)
    word = "KESTRIX"
    scale = 5
    x = (320 - text_width(word, scale)) // 2
    c.text(x + 2, 164 + 2, word, scale, TEXT_SHADOW)
    c.text(x, 164, word, scale, TEXT)
    c.rect(40, 206, 240, 2, ACCENT)
    sub = "GLIDE 2.X RUNTIME"
    c.text((320 - text_width(sub, 2)) // 2, 216, sub, 2, ACCENT)
    return c


def draw_splash():
    c = Canvas(160, 32, BACKGROUND)
    c.lattice(8, LATTICE)
    # Kestrel scaled to 0.2 (56 x 30) on the left.
    draw_kestrel(c, 0.2, -1, 0)
    word = "KESTRIX"
    x = 66
    c.text(x + 1, 7 + 1, word, 2, TEXT_SHADOW)
    c.text(x, 7, word, 2, TEXT)
    c.rect(x, 24, text_width(word, 2), 1, ACCENT)
    c.rect(0, 31, 160, 1, ACCENT)
    return c


IMAGES = {"logo.bmp": draw_logo, "splash.bmp": draw_splash}


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default_dir = os.path.join(here, "..", "tessel2", "resources")
    if len(argv) >= 2 and argv[1] == "--check":
        folder = argv[2] if len(argv) > 2 else default_dir
        ok = True
        for name, draw in IMAGES.items():
            path = os.path.join(folder, name)
            try:
                with open(path, "rb") as f:
                    have = f.read()
            except OSError as e:
                print("missing %s: %s" % (path, e))
                ok = False
                continue
            if have != draw().bmp():
                print("%s differs from what tools/make_bitmaps.py draws; rerun it" % path)
                ok = False
        return 0 if ok else 1
    folder = argv[1] if len(argv) > 1 else default_dir
    os.makedirs(folder, exist_ok=True)
    for name, draw in IMAGES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(draw().bmp())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
