#!/usr/bin/env bash
# Runs trace_replay_test.exe under Wine (the demo recorded, its trace replayed) and compares the replayed
# frame with the demo's own capture of it; then replays the same trace on the host's simulation and compares
# its picture of that frame with Wine's.
#   trace_replay_test.sh <driver.exe> <tessel3.dll> <state-dir> <glide3_demo.exe> <kestrixreplay.exe>
#                        <host kestrix_replay3>
set -u
here=$(dirname "$(readlink -f "$0")")
state=$(mkdir -p "$3" && readlink -f "$3")
KESTRIX_WINE_EXTRA_FILES="$4 $5" bash "$here/run_wine_test.sh" "$1" "$2" "$state" 900 || exit $?
run=$state/wine-run/trace_replay_test
python3 "$here/compare_pngs.py" "$state/wine-out/glide3_demo_1.png" "$run/replay/frame-70.png" || exit 1
[ -x "$6" ] || { echo "trace_replay_test: FAIL: no host replay at $6 (build the host preset)" >&2; exit 1; }
rm -rf "$state/host-replay"
"$6" "$run/kestrix-1.gltrace" --frames 70-70 --out "$state/host-replay" >/dev/null || exit 1
python3 "$here/compare_pngs.py" --one-565-step "$run/replay/frame-70.png" "$state/host-replay/frame-70.png"
