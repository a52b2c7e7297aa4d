#!/usr/bin/env bash
# Builds the trace reader fuzz target (the fuzz preset) and runs it for a bounded time.
# Usage: bash fuzz/run_trace_fuzz.sh [build directory] [seconds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/fuzz}"
seconds="${2:-30}"
mkdir -p "$out/trace_corpus"
out="$(cd "$out" && pwd)"

(cd "$root" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --target trace_fuzz >/dev/null)
cp "$root/build/fuzz-build/fuzz/trace_fuzz" "$out/trace_fuzz"

# Scratch space for libFuzzer, in memory where possible.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch="$(mktemp -d /dev/shm/trace_fuzz.XXXXXX)"; else scratch="$(mktemp -d)"; fi

# New inputs go to the first directory; the committed seeds stay untouched.
cd "$out"
set +e
TMPDIR="$scratch" "$out/trace_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$out/" "$out/trace_corpus" "$root/fuzz/corpus/trace" 2>&1 | tee "$out/trace_fuzz.log" | tail -n 25
status=${PIPESTATUS[0]}
rm -rf "$scratch"
exit "$status"
