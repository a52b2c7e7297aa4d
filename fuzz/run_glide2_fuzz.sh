#!/usr/bin/env bash
# Builds the Glide 2 call-sequence fuzz target (the whole engine on the simulated Windows; the fuzz preset:
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and runs it with one job.
# Usage: bash fuzz/run_glide2_fuzz.sh [build directory] [seconds] [extra libFuzzer flags...]
#   seconds 0 runs until stopped; -runs=N in the extra flags bounds the number of executions instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/fuzz}"
seconds="${2:-120}"
shift $(( $# > 2 ? 2 : $# ))
mkdir -p "$out/glide2_corpus"
out="$(cd "$out" && pwd)"

(cd "$root" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --target glide2_fuzz >/dev/null)
cp "$root/build/fuzz-build/fuzz/glide2_fuzz" "$out/glide2_fuzz"

# New inputs go to the first directory; the committed seeds stay untouched. Eight frames of allocation
# stack are enough to place a block, and recording thirty for every allocation costs a tenth of the run.
cd "$out"
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=8}"
set +e
"$out/glide2_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$out/glide2-" "$@" \
    "$out/glide2_corpus" "$root/fuzz/corpus/glide2" 2>&1 | tee "$out/glide2_fuzz.log" | tail -n 30
status=${PIPESTATUS[0]}
exit "$status"
