#!/usr/bin/env python3
"""Compares two PNGs of one frame: a screen capture and a replayed frame (standard library only).

    compare_pngs.py [--one-565-step] <a.png> <b.png>

They match when they have one size and nearly every pixel agrees within a 16-bit display's rounding; with
--one-565-step, within one step of each 5-6-5 channel, for pictures of one frame drawn by two rasterisers
(the simulation's and Wine's round interpolated colours differently). Exits 0 on a match, 1 otherwise.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_pixels import read_png  # noqa: E402

CHANNEL_TOLERANCE = 8  # a 5-bit channel widened two ways
MOST_DIFFERENT = 0.001  # of the pixels
CHANNEL_BITS = (5, 6, 5)
ONE_STEP = 1


def same_within_tolerance(p, q):
    return all(abs(a - b) <= CHANNEL_TOLERANCE for a, b in zip(p, q))


def channel_steps(pixel):
    return [value >> (8 - bits) for value, bits in zip(pixel, CHANNEL_BITS)]


def same_within_a_step(p, q):
    return all(abs(a - b) <= ONE_STEP for a, b in zip(channel_steps(p), channel_steps(q)))


def main():
    arguments = sys.argv[1:]
    same = same_within_tolerance
    if arguments and arguments[0] == "--one-565-step":
        same = same_within_a_step
        arguments = arguments[1:]
    wa, ha, a = read_png(arguments[0])
    wb, hb, b = read_png(arguments[1])
    if (wa, ha) != (wb, hb):
        print("sizes differ: %dx%d and %dx%d" % (wa, ha, wb, hb))
        return 1
    different = 0
    for y in range(ha):
        for x in range(wa):
            if not same(a[y][x][:3], b[y][x][:3]):
                different += 1
    share = different / float(wa * ha)
    print("%d of %d pixels differ (%.4f%%)" % (different, wa * ha, share * 100))
    return 0 if share <= MOST_DIFFERENT else 1


if __name__ == "__main__":
    sys.exit(main())
