#!/usr/bin/env python3
"""Writes the seed corpus of the 3DF fuzz target: one small valid file per format word, every level
present, big-endian data, as the vendor's texture tools write them."""
import os
import struct
import sys

FORMATS = [  # word, bytes per texel, table
    ("rgb332", 1, None), ("yiq", 1, "ncc"), ("a8", 1, None), ("p8", 1, "palette"),
    ("argb8332", 2, None), ("ayiq8422", 2, "ncc"), ("rgb565", 2, None),
    ("argb1555", 2, None), ("argb4444", 2, None), ("ap88", 2, "palette"),
]
ASPECTS = [(1, 1), (8, 1), (4, 1), (2, 1), (1, 2), (1, 4), (1, 8)]


def level_texels(size, aspect):
    width, height = size, size
    if aspect[0] > 1:
        height = max(1, size // aspect[0])
    if aspect[1] > 1:
        width = max(1, size // aspect[1])
    return width * height


def make_file(word, texel_bytes, table, smallest, largest, aspect):
    out = bytearray(b"3df v1.0\n%s\nlod range: %d %d\naspect ratio: %d %d\n"
                    % (word.encode(), smallest, largest, aspect[0], aspect[1]))
    if table == "palette":
        for i in range(256):
            out += struct.pack(">I", (i << 16) | ((255 - i) << 8) | 0x20)
    elif table == "ncc":
        values = [i * 16 for i in range(16)] + [(i * 37) & 0x1FF for i in range(24)]
        out += struct.pack(">40H", *values)
    size = largest
    seed = 0x20  # the first data byte is white space on purpose
    while size >= smallest:
        for i in range(level_texels(size, aspect)):
            value = (seed + i * 13) & 0xFFFF
            out += struct.pack(">H", value) if texel_bytes == 2 else bytes([value & 0xFF])
        size //= 2
    return bytes(out)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "tdf")
    os.makedirs(target, exist_ok=True)
    for index, (word, texel_bytes, table) in enumerate(FORMATS):
        aspect = ASPECTS[index % len(ASPECTS)]
        data = make_file(word, texel_bytes, table, 1, 8 if index % 2 else 16, aspect)
        with open(os.path.join(target, "%s.3df" % word), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
