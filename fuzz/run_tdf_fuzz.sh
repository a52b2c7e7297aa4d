#!/usr/bin/env bash
# Builds the 3DF fuzz target (the fuzz preset) and runs it for a bounded time.
# Usage: bash fuzz/run_tdf_fuzz.sh [build directory] [seconds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/fuzz}"
seconds="${2:-60}"
mkdir -p "$out/corpus"
out="$(cd "$out" && pwd)"

(cd "$root" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --target tdf_fuzz >/dev/null)
cp "$root/build/fuzz-build/fuzz/tdf_fuzz" "$out/tdf_fuzz"

# The target rewrites its input file at every run: keep it in memory where possible.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch="$(mktemp -d /dev/shm/tdf_fuzz.XXXXXX)"; else scratch="$(mktemp -d)"; fi

# New inputs go to the first directory; the committed seeds stay untouched.
cd "$out"
set +e
TMPDIR="$scratch" "$out/tdf_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$out/" "$out/corpus" "$root/fuzz/corpus/tdf" 2>&1 | tee "$out/tdf_fuzz.log" | tail -n 25
status=${PIPESTATUS[0]}
rm -rf "$scratch"
exit "$status"
