#!/usr/bin/env bash
# Runs trace_replay_test.exe under Wine (the demo recorded, its trace replayed) and compares the replayed
# frame with the demo's own capture of it.
#   trace_replay_test.sh <driver.exe> <tessel3.dll> <state-dir> <glide3_demo.exe> <kestrixreplay.exe>
set -u
here=$(dirname "$(readlink -f "$0")")
state=$(mkdir -p "$3" && readlink -f "$3")
KESTRIX_WINE_EXTRA_FILES="$4 $5" bash "$here/run_wine_test.sh" "$1" "$2" "$state" 900 || exit $?
python3 "$here/compare_pngs.py" "$state/wine-out/glide3_demo_1.png" \
    "$state/wine-run/trace_replay_test/replay/frame-70.png"
