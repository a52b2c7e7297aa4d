#!/usr/bin/env python3
"""Compares two PNGs of one frame: a screen capture and a replayed frame (standard library only).

    compare_pngs.py <a.png> <b.png>

They match when they have one size and nearly every pixel agrees within a 16-bit display's rounding.
Exits 0 on a match, 1 otherwise.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_pixels import read_png  # noqa: E402

CHANNEL_TOLERANCE = 8  # a 5-bit channel widened two ways
MOST_DIFFERENT = 0.001  # of the pixels


def main():
    wa, ha, a = read_png(sys.argv[1])
    wb, hb, b = read_png(sys.argv[2])
    if (wa, ha) != (wb, hb):
        print("sizes differ: %dx%d and %dx%d" % (wa, ha, wb, hb))
        return 1
    different = 0
    for y in range(ha):
        for x in range(wa):
            if any(abs(p - q) > CHANNEL_TOLERANCE for p, q in zip(a[y][x], b[y][x])):
                different += 1
    share = different / float(wa * ha)
    print("%d of %d pixels differ (%.4f%%)" % (different, wa * ha, share * 100))
    return 0 if share <= MOST_DIFFERENT else 1


if __name__ == "__main__":
    sys.exit(main())
