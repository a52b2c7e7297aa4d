#!/usr/bin/env bash
# Records the scenes kept in tests/traces again (the host tests' scenes of each library, played on the
# simulation) and notes their replay digests anew. Run after a change meant to alter what is recorded or
# replayed; the host suite then replays them against the new digests.
# Usage: bash tools/record_kept_traces.sh [host build directory]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/host}"
traces="$root/tests/traces"

(cd "$root" && cmake --preset host >/dev/null && cmake --build --preset host --target tessel2_tests tessel3_tests)

# The test that records each scene, by the library's test program.
KESTRIX_KEEP_TRACE="$traces/glide2_scene.gltrace" \
    "$build/tessel2_tests" --gtest_filter=KeptTrace2.SceneRecordsEveryKindOfData
KESTRIX_KEEP_TRACE="$traces/glide3_scene.gltrace" \
    "$build/tessel3_tests" --gtest_filter=Trace3.RecordsEachCallWithTheDataItReads

KESTRIX_UPDATE_TRACE_DIGESTS=1 "$build/tessel2_tests" --gtest_filter='*KeptTracesReplayAsNoted'
KESTRIX_UPDATE_TRACE_DIGESTS=1 "$build/tessel3_tests" --gtest_filter='*KeptTracesReplayAsNoted'
ls -l "$traces"
