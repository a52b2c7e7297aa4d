#!/usr/bin/env python3
"""Self-test of the harness checkers: check_pixels.py decodes PNGs written by ImageMagick
(which picks its own row filters) and by a minimal writer here, and judges known pixels;
check_log.py judges kestrix.log contents and line ends; run_wine_test.sh starts a program once more only
when Wine ended before the program ran."""

import io
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_log  # noqa: E402
import check_pixels  # noqa: E402


def write_ppm(path, width, height, pixels):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        for row in pixels:
            for r, g, b in row:
                f.write(bytes((r, g, b)))


def write_png(path, width, height, pixels, filter_type, alpha=False):
    """Plain writer for one filter type on every row (0 = none, 1 = sub, 2 = up)."""
    channels = 4 if alpha else 3
    raw = bytearray()
    prev = bytearray(width * channels)
    for row in pixels:
        line = bytearray()
        for r, g, b in row:
            line += bytes((r, g, b, 255) if alpha else (r, g, b))
        out = bytearray(line)
        for i in range(len(line)):
            if filter_type == 1:
                out[i] = (line[i] - (line[i - channels] if i >= channels else 0)) & 255
            elif filter_type == 2:
                out[i] = (line[i] - prev[i]) & 255
        raw += bytes((filter_type,)) + out
        prev = line

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw))))
        f.write(chunk(b"IEND", b""))


def noisy_image(width, height, seed):
    rnd = random.Random(seed)
    # Smooth gradients with noise make encoders use the sub, up, average and Paeth filters.
    return [
        [
            (
                (x * 3 + rnd.randint(0, 6)) & 255,
                (y * 5 + rnd.randint(0, 6)) & 255,
                (x * y + rnd.randint(0, 40)) & 255,
            )
            for x in range(width)
        ]
        for y in range(height)
    ]


class DecodeTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def roundtrip(self, png, width, height, pixels):
        w, h, rows = check_pixels.read_png(png)
        self.assertEqual((w, h), (width, height))
        for y in range(height):
            self.assertEqual(rows[y], pixels[y], "row %d differs" % y)

    def test_own_writer_each_filter_rgb_and_rgba(self):
        pixels = noisy_image(17, 9, 1)
        for alpha in (False, True):
            for ftype in (0, 1, 2):
                png = os.path.join(self.dir, "f%d%d.png" % (ftype, alpha))
                write_png(png, 17, 9, pixels, ftype, alpha)
                self.roundtrip(png, 17, 9, pixels)

    @unittest.skipUnless(shutil.which("convert"), "ImageMagick convert not installed")
    def test_imagemagick_png24_and_png32(self):
        pixels = noisy_image(61, 23, 2)
        ppm = os.path.join(self.dir, "in.ppm")
        write_ppm(ppm, 61, 23, pixels)
        for fmt in ("png24", "png32"):
            png = os.path.join(self.dir, fmt + ".png")
            subprocess.run(["convert", ppm, "%s:%s" % (fmt, png)], check=True)
            self.roundtrip(png, 61, 23, pixels)

    @unittest.skipUnless(shutil.which("convert"), "ImageMagick convert not installed")
    def test_imagemagick_flat_black_and_white(self):
        # Flat images are stored as 1-bit grey unless asked otherwise.
        pixels = [[(0, 0, 0)] * 9 for _ in range(3)] + [[(255, 255, 255)] * 9]
        ppm = os.path.join(self.dir, "bw.ppm")
        write_ppm(ppm, 9, 4, pixels)
        png = os.path.join(self.dir, "bw.png")
        subprocess.run(["convert", ppm, png], check=True)
        self.roundtrip(png, 9, 4, pixels)

    def test_rejects_non_png(self):
        bad = os.path.join(self.dir, "bad.png")
        with open(bad, "wb") as f:
            f.write(b"BM not a png")
        with self.assertRaises(ValueError):
            check_pixels.read_png(bad)


class VerdictTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        # 4 x 2: orange row over a blue row.
        self.pixels = [[(255, 128, 0)] * 4, [(0, 0, 255)] * 4]
        self.png = os.path.join(self.dir, "img.png")
        write_png(self.png, 4, 2, self.pixels, 1)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def verdict(self, lines):
        expect = os.path.join(self.dir, "expect.txt")
        with open(expect, "w") as f:
            f.write(lines)
        out = io.StringIO()
        checked, failures = check_pixels.check(self.png, expect, out)
        return checked, failures, out.getvalue()

    def test_matching_pixels_pass(self):
        self.assertEqual(self.verdict("0 0 255 128 0 0\n3 1 0 0 255 0\n\n")[:2], (2, 0))

    def test_within_tolerance_passes_and_beyond_fails(self):
        self.assertEqual(self.verdict("1 0 248 132 4 8\n")[:2], (1, 0))
        checked, failures, text = self.verdict("1 0 246 128 0 8\n")
        self.assertEqual(failures, 1)
        self.assertIn("pixel (1,0) is rgb(255,128,0), expected rgb(246,128,0)", text)

    def test_wrong_row_is_caught(self):
        # Orange is expected on row 0 only: a flipped image would fail here.
        _, failures, _ = self.verdict("2 1 255 128 0 10\n")
        self.assertEqual(failures, 1)

    def test_outside_and_malformed_lines_fail(self):
        _, failures, text = self.verdict("4 0 0 0 0 0\n1 2 3\n")
        self.assertEqual(failures, 2)
        self.assertIn("outside the 4x2 capture", text)

    def test_main_exit_codes(self):
        expect = os.path.join(self.dir, "e.txt")
        with open(expect, "w") as f:
            f.write("0 1 0 0 255 0\n")
        self.assertEqual(check_pixels.main(["x", self.png, expect]), 0)
        with open(expect, "w") as f:
            f.write("0 1 255 0 0 0\n")
        self.assertEqual(check_pixels.main(["x", self.png, expect]), 1)
        self.assertEqual(check_pixels.main(["x", os.path.join(self.dir, "none.png"), expect]), 2)


class LogTest(unittest.TestCase):
    BANNER = b"-------\r\n    Kestrix 2.2    \r\n-------\r\ngrSSTOrigin(origin=0);\r\n"
    EXPECT = ["= -------\n", "=     Kestrix 2.2    \n", "~ grSSTOrigin(origin=0);\n"]

    def test_complete_log_passes(self):
        self.assertEqual(check_log.check(self.BANNER, self.EXPECT), [])

    def test_missing_origin_line_fails(self):
        log = self.BANNER.replace(b"grSSTOrigin(origin=0);\r\n", b"")
        self.assertEqual(check_log.check(log, self.EXPECT), ["no line containing 'grSSTOrigin(origin=0);'"])

    def test_whole_line_must_match_exactly(self):
        # Trimmed padding is a different line.
        log = self.BANNER.replace(b"    Kestrix 2.2    ", b"Kestrix 2.2")
        self.assertEqual(len(check_log.check(log, self.EXPECT)), 1)

    def test_bare_lf_and_unterminated_last_line_fail(self):
        problems = check_log.check(self.BANNER.replace(b"\r\n", b"\n", 1), self.EXPECT)
        self.assertIn("line 1 ends with a bare LF, not CR LF", problems)
        problems = check_log.check(self.BANNER + b"tail", self.EXPECT)
        self.assertIn("the last line is not ended by CR LF", problems)

    def test_empty_log_and_bad_expectation_fail(self):
        self.assertEqual(check_log.check(b"", self.EXPECT), ["the log is empty"])
        self.assertEqual(len(check_log.check(self.BANNER, ["grSSTOrigin\n"])), 1)


# Stands in for wine64: the first start of the program ends at once when FAKE_WINE_FAILS_FIRST is set
# (before the program runs, or after it wrote program-started when FAKE_WINE_STARTED_FIRST is set too);
# later starts behave as a program that ran and succeeded.
FAKE_WINE = """#!/bin/sh
[ "$1" = wineboot ] && { mkdir -p "$WINEPREFIX"; exit 0; }
echo start >>"$FAKE_WINE_STARTS"
if [ -n "$FAKE_WINE_FAILS_FIRST" ] && [ "$(wc -l <"$FAKE_WINE_STARTS")" -eq 1 ]; then
    [ -n "$FAKE_WINE_STARTED_FIRST" ] && : >program-started
    exit 1
fi
: >program-started
echo 0 >exit-code.txt
"""


@unittest.skipUnless(shutil.which("Xvfb") and shutil.which("import"), "needs Xvfb and ImageMagick")
class RunnerRetryTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.wine = os.path.join(self.dir, "wine64")
        with open(self.wine, "w") as f:
            f.write(FAKE_WINE)
        os.chmod(self.wine, 0o755)
        for name in ("game.exe", "tessel2.dll"):
            open(os.path.join(self.dir, name), "wb").close()
        self.starts = os.path.join(self.dir, "starts")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_runner(self, **env):
        environment = dict(os.environ, WINE64=self.wine, WINESERVER="true", FAKE_WINE_STARTS=self.starts, **env)
        runner = os.path.join(os.path.dirname(os.path.abspath(__file__)), "run_wine_test.sh")
        d = self.dir
        result = subprocess.run(
            ["bash", runner, d + "/game.exe", d + "/tessel2.dll", d + "/state", "20"],
            env=environment, capture_output=True, text=True)
        with open(self.starts) as f:
            return result.returncode, len(f.readlines())

    def test_wine_ending_before_the_program_ran_is_started_once_more(self):
        self.assertEqual(self.run_runner(FAKE_WINE_FAILS_FIRST="1"), (0, 2))

    def test_program_that_ran_and_died_fails_without_a_second_start(self):
        self.assertEqual(self.run_runner(FAKE_WINE_FAILS_FIRST="1", FAKE_WINE_STARTED_FIRST="1"), (1, 1))


if __name__ == "__main__":
    unittest.main(verbosity=2)
