#!/usr/bin/env bash
# Records the scenes kept in tests/traces again (the host tests' scenes of each library, played on the
# simulation; the Glide 3 demo's first frame, cut from its recording under Wine by the wine_trace_replay
# test when the win64 build has run it) and notes their replay digests anew. Run after a change meant to
# alter what is recorded or replayed; the host suite then replays them against the new digests.
# Usage: bash tools/record_kept_traces.sh [host build directory] [win64 build directory]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/host}"
win64="${2:-$root/build/win64}"
traces="$root/tests/traces"

(cd "$root" && cmake --preset host >/dev/null && cmake --build --preset host --target tessel2_tests tessel3_tests)

# The test that records each scene, by the library's test program.
KESTRIX_KEEP_TRACE="$traces/glide2_scene.gltrace" \
    "$build/tessel2_tests" --gtest_filter=KeptTrace2.SceneRecordsEveryKindOfData
KESTRIX_KEEP_TRACE="$traces/glide3_scene.gltrace" \
    "$build/tessel3_tests" --gtest_filter=Trace3.RecordsEachCallWithTheDataItReads

demo="$win64/wine-run/trace_replay_test/kestrix-1.gltrace"
if [ -f "$demo" ]; then
    python3 "$root/tools/cut_trace.py" "$demo" "$traces/glide3_demo_frame.gltrace" 1
else
    echo "no Wine recording of the demo at $demo: glide3_demo_frame kept as it is" >&2
fi

KESTRIX_UPDATE_TRACE_DIGESTS=1 "$build/tessel2_tests" --gtest_filter='*KeptTracesReplayAsNoted'
KESTRIX_UPDATE_TRACE_DIGESTS=1 "$build/tessel3_tests" --gtest_filter='*KeptTracesReplayAsNoted'
ls -l "$traces"
