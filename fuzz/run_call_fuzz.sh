#!/usr/bin/env bash
# Builds a call-sequence fuzz target (the whole engine on the simulated Windows; the fuzz preset: clang,
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and runs it with one job.
# Usage: bash fuzz/run_call_fuzz.sh glide2|glide3 [build directory] [seconds] [extra libFuzzer flags...]
#   seconds 0 runs until stopped; -runs=N in the extra flags bounds the number of executions instead.
# The traces kept in tests/traces are converted into seeds first, so that fuzzing starts from the call
# sequences of real scenes; KESTRIX_TRACE_SEEDS=0 leaves them out (to measure what they add).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
name="$1"
shift
out="${1:-$root/build/fuzz}"
seconds="${2:-120}"
shift $(( $# > 2 ? 2 : $# ))
mkdir -p "$out/${name}_corpus"
out="$(cd "$out" && pwd)"

(cd "$root" && cmake --preset fuzz >/dev/null &&
    cmake --build --preset fuzz --target "${name}_fuzz" "${name}_trace_seeds" >/dev/null)
cp "$root/build/fuzz-build/fuzz/${name}_fuzz" "$out/${name}_fuzz"

seeds=()
if [ "${KESTRIX_TRACE_SEEDS:-1}" != 0 ]; then
    rm -rf "$out/${name}_trace_seeds"
    mkdir -p "$out/${name}_trace_seeds"
    "$root/build/fuzz-build/fuzz/${name}_trace_seeds" "$out/${name}_trace_seeds" "$root"/tests/traces/*.gltrace
    seeds=("$out/${name}_trace_seeds")
fi

# New inputs go to the first directory; the committed seeds stay untouched. Eight frames of allocation
# stack are enough to place a block, and recording thirty for every allocation costs a tenth of the run.
# With -jobs each worker logs to fuzz-N.log in the directory it starts in: one directory per target.
mkdir -p "$out/${name}_jobs"
cd "$out/${name}_jobs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=8}"
set +e
"$out/${name}_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$out/${name}-" "$@" \
    "$out/${name}_corpus" "$root/fuzz/corpus/${name}" "${seeds[@]}" 2>&1 | tee "$out/${name}_fuzz.log" | tail -n 30
status=${PIPESTATUS[0]}
exit "$status"
