#!/usr/bin/env python3
"""Checks pixels of a PNG screen capture (standard library only).

    check_pixels.py <png> <expect-file>

Each non-empty line of the expect file is "x y r g b tolerance"; the pixel at (x, y)
passes when every channel is within tolerance of r, g, b. Prints one line per
failing pixel and exits 1 if any failed, 2 if the files cannot be read.
"""

import struct
import sys
import zlib


def read_png(path):
    """Returns (width, height, rows) with rows[y][x] = (r, g, b) for 8-bit PNGs."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG" % path)
    pos = 8
    idat = bytearray()
    width = height = depth = ctype = interlace = None
    palette = None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i : i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if width is None:
        raise ValueError("%s has no IHDR" % path)
    if interlace:
        raise ValueError("%s is interlaced" % path)
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    if depth == 16:
        bpp = channels * 2
    elif depth == 8:
        bpp = channels
    elif ctype in (0, 3) and depth in (1, 2, 4):
        bpp = None
    else:
        raise ValueError("%s: unsupported depth %d" % (path, depth))
    raw = zlib.decompress(bytes(idat))
    stride = (width * channels * depth + 7) // 8
    filt_bpp = max(1, (channels * depth) // 8)
    rows = []
    prev = bytearray(stride)
    at = 0
    for _ in range(height):
        ftype = raw[at]
        line = bytearray(raw[at + 1 : at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - filt_bpp] if i >= filt_bpp else 0
            b = prev[i]
            c = prev[i - filt_bpp] if i >= filt_bpp else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
        prev = line
        px = []
        for x in range(width):
            if bpp is None:  # 1, 2 or 4 bits: palette index or grey level
                per = 8 // depth
                byte = line[x // per]
                shift = (per - 1 - x % per) * depth
                value = (byte >> shift) & ((1 << depth) - 1)
                if ctype == 3:
                    px.append(palette[value])
                else:
                    grey = value * 255 // ((1 << depth) - 1)
                    px.append((grey, grey, grey))
                continue
            o = x * bpp
            step = 2 if depth == 16 else 1
            vals = [line[o + k * step] for k in range(channels)]
            if ctype == 3:
                px.append(palette[vals[0]])
            elif ctype in (0, 4):
                px.append((vals[0], vals[0], vals[0]))
            else:
                px.append((vals[0], vals[1], vals[2]))
        rows.append(px)
    return width, height, rows


def check(png, expect_path, out=sys.stdout):
    width, height, rows = read_png(png)
    failures = 0
    checked = 0
    with open(expect_path) as f:
        for n, line in enumerate(f, 1):
            fields = line.split()
            if not fields:
                continue
            if len(fields) != 6:
                out.write("%s:%d: expected 'x y r g b tolerance', got %r\n" % (expect_path, n, line))
                failures += 1
                continue
            x, y, r, g, b, tol = (int(v) for v in fields)
            checked += 1
            if not (0 <= x < width and 0 <= y < height):
                out.write("pixel (%d,%d) lies outside the %dx%d capture\n" % (x, y, width, height))
                failures += 1
                continue
            got = rows[y][x]
            if any(abs(have - want) > tol for have, want in zip(got, (r, g, b))):
                out.write(
                    "pixel (%d,%d) is rgb(%d,%d,%d), expected rgb(%d,%d,%d) +-%d\n"
                    % (x, y, got[0], got[1], got[2], r, g, b, tol)
                )
                failures += 1
    return checked, failures


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: check_pixels.py <png> <expect-file>\n")
        return 2
    try:
        checked, failures = check(argv[1], argv[2])
    except (OSError, ValueError, KeyError, zlib.error) as e:
        print("cannot check %s: %s" % (argv[1], e))
        return 2
    if failures:
        print("%d of %d pixels wrong in %s" % (failures, checked, argv[1]))
        return 1
    print("%d pixels as expected in %s" % (checked, argv[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
