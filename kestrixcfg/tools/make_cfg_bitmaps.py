#!/usr/bin/env python3
"""Draws the two bitmaps of the kestrixcfg settings dialog.

    banner.bmp  400 x 73, 24 bits per pixel (resource 106, across the top of the dialog)
    colors.bmp  171 x 13, 24 bits per pixel (resource 102, under the colour depth list)

The banner is the word KESTRIX XP in a blocky 5 x 7 font over a dark lattice of
triangles with an orange rule; the colour strip is a hue ramp whose upper half is
cut to a few levels per channel (how 16-bit colour bands) and whose lower half is
smooth (32-bit colour).

Usage:
    make_cfg_bitmaps.py [OUTDIR]     write both files (default: kestrixcfg/bitmaps)
    make_cfg_bitmaps.py --check DIR  exit 1 unless DIR holds exactly what this script draws
"""

import colorsys
import os
import struct
import sys

FONT = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "G": [".####", "#....", "#....", "#.###", "#...#", "#...#", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "N": ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    "C": [".####", "#....", "#....", "#....", "#....", "#....", ".####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "/": ["....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#...."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}

BACKGROUND_TOP = (10, 14, 30)
BACKGROUND_BOTTOM = (28, 38, 66)
LATTICE = (44, 58, 92)
TEXT = (240, 236, 224)
SHADOW = (8, 8, 12)
ACCENT = (230, 126, 46)
SUBTITLE = (170, 186, 214)


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, rgb):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = rgb

    def rect(self, x0, y0, w, h, rgb):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.put(x, y, rgb)

    def text(self, x, y, s, scale, rgb, spacing=1):
        for ch in s:
            glyph = FONT[ch]
            for gy, row in enumerate(glyph):
                for gx, c in enumerate(row):
                    if c == "#":
                        self.rect(x + gx * scale, y + gy * scale, scale, scale, rgb)
            x += (5 + spacing) * scale

    def bmp(self):
        row_size = (self.width * 3 + 3) & ~3
        image = bytearray()
        for y in range(self.height - 1, -1, -1):  # bottom-up
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += b"\0" * (row_size - len(row))
            image += row
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
        return bytes(header + info + image)


def text_width(s, scale, spacing=1):
    return len(s) * (5 + spacing) * scale - spacing * scale


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def draw_banner():
    w, h = 400, 73
    c = Canvas(w, h)
    for y in range(h):
        shade = mix(BACKGROUND_TOP, BACKGROUND_BOTTOM, y / (h - 1))
        for x in range(w):
            c.put(x, y, shade)
    # A lattice of triangles: horizontal lines every 12 rows and diagonals both ways.
    cell = 12
    for y in range(h):
        for x in range(w):
            if y % cell == 0 or (x + y) % (2 * cell) == 0 or (x - y) % (2 * cell) == 0:
                c.put(x, y, mix(c.pixels[y][x], LATTICE, 0.8))
    # Title with a drop shadow, and an orange rule under it.
    title = "KESTRIX XP"
    scale = 4
    tx = 16
    ty = 9
    c.text(tx + 2, ty + 2, title, scale, SHADOW)
    c.text(tx, ty, title, scale, TEXT)
    rule_y = ty + 7 * scale + 6
    c.rect(tx, rule_y, text_width(title, scale), 3, ACCENT)
    c.text(tx, rule_y + 8, "GLIDE TO DIRECT3D", 2, SUBTITLE)
    # A stylised wing on the right: stacked orange triangles fading out.
    for i in range(5):
        base_x = 300 + i * 18
        top = 12 + i * 4
        for y in range(top, 62):
            span = (y - top) * 0.45
            for x in range(int(base_x - span), int(base_x + 1)):
                c.put(x, y, mix(c.pixels[y][x], ACCENT, 0.85 - i * 0.15))
    return c


def draw_colors():
    w, h = 171, 13
    c = Canvas(w, h)
    for x in range(w):
        r, g, b = colorsys.hsv_to_rgb(x / w, 0.85, 0.95)
        smooth = (int(r * 255), int(g * 255), int(b * 255))
        banded = tuple((v >> 5) << 5 for v in smooth)  # a few levels per channel: 16-bit banding, exaggerated
        for y in range(h):
            c.put(x, y, banded if y < 6 else smooth)
    for x in range(w):
        c.put(x, 6, mix(c.pixels[6][x], (255, 255, 255), 0.5))
    return c


def drawings():
    return {"banner.bmp": draw_banner().bmp(), "colors.bmp": draw_colors().bmp()}


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    if len(argv) >= 2 and argv[0] == "--check":
        stale = [n for n, data in drawings().items()
                 if not os.path.exists(os.path.join(argv[1], n)) or open(os.path.join(argv[1], n), "rb").read() != data]
        if stale:
            print("out of date: " + ", ".join(stale) + " (run kestrixcfg/tools/make_cfg_bitmaps.py)")
            return 1
        print("bitmaps current")
        return 0
    outdir = argv[0] if argv else os.path.join(here, "..", "bitmaps")
    os.makedirs(outdir, exist_ok=True)
    for n, data in drawings().items():
        with open(os.path.join(outdir, n), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
