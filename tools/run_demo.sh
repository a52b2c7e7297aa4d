#!/usr/bin/env bash
# Runs the demo programs under Wine with the 64-bit tessel2.dll and tessel3.dll and leaves their
# screenshots in <out-dir>: logo.png (the LOGO bitmap shown at grSstWinOpen) and splash.png (after
# grSplash), glide2_demo_1.png to glide2_demo_3.png, frames of the animated Glide 2 scene, and
# glide3_demo_1.png to glide3_demo_3.png, frames of the Glide 3 scene; glide2_demo_stretched.png and
# glide2_demo_2x.png, one frame of the Glide 2 scene in a window twice its size, stretched from 640x480 and
# drawn at 2x (RenderScale 2), on a plain 1600x1200 screen.
#
#   run_demo.sh <win64-build-dir> <out-dir>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: run_demo.sh <win64-build-dir> <out-dir>" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

program=$build/tests/wine/logo_demo.exe
scene=$build/tests/wine/glide2_demo.exe
dll=$build/tessel2.dll
scene3=$build/tests/wine/glide3_demo.exe
dll3=$build/tessel3.dll
for file in "$program" "$scene" "$dll" "$scene3" "$dll3"; do
    [ -f "$file" ] || { echo "run_demo: no $file; build the win64 preset first" >&2; exit 1; }
done

frames="glide2_demo_1.png glide2_demo_2.png glide2_demo_3.png glide3_demo_1.png glide3_demo_2.png glide3_demo_3.png"
frames="$frames glide2_demo_stretched.png glide2_demo_2x.png"
rm -f "$out/logo.png" "$out/splash.png"
for png in $frames; do rm -f "$out/$png"; done
KESTRIX_REQUIRE_WINE=1 KESTRIX_OUT_DIR=$out "$root/tests/wine/run_wine_test.sh" "$program" "$dll" "$build" 240
KESTRIX_REQUIRE_WINE=1 KESTRIX_OUT_DIR=$out "$root/tests/wine/run_wine_test.sh" "$scene" "$dll" "$build" 240
KESTRIX_REQUIRE_WINE=1 KESTRIX_OUT_DIR=$out "$root/tests/wine/run_wine_test.sh" "$scene3" "$dll3" "$build" 240
for scale in stretched 2x; do
    KESTRIX_DEMO_SCALE=$scale KESTRIX_DESKTOP=none KESTRIX_SCREEN_SIZE=1600x1200 KESTRIX_REQUIRE_WINE=1 \
        KESTRIX_OUT_DIR=$out "$root/tests/wine/run_wine_test.sh" "$scene" "$dll" "$build" 240
done
for png in logo.png splash.png $frames; do
    [ -s "$out/$png" ] || { echo "run_demo: $out/$png was not written" >&2; exit 1; }
done
echo "run_demo: screenshots in $out: logo.png splash.png $frames"
