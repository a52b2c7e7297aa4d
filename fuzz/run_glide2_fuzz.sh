#!/usr/bin/env bash
# Builds the Glide 2 call-sequence fuzz target (the whole engine on the simulated Windows) with clang,
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, and runs it with one job.
# Usage: bash fuzz/run_glide2_fuzz.sh [build directory] [seconds] [extra libFuzzer flags...]
#   seconds 0 runs until stopped; -runs=N in the extra flags bounds the number of executions instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/fuzz}"
seconds="${2:-120}"
shift $(( $# > 2 ? 2 : $# ))
mkdir -p "$out/glide2_corpus" "$out/glide2_obj"
out="$(cd "$out" && pwd)"

clang="${CLANGXX:-clang++}"
flags=(-std=c++17 -g -O2 -Wall -Wextra -Werror -fsanitize=fuzzer-no-link,address,undefined
       -fno-sanitize-recover=all -I"$root/include" -I"$root/engine" -I"$root/winsim/include"
       -I"$root/winsim" -I"$root/fuzz")
sources=("$root"/winsim/sim/*.cpp "$root"/engine/session/*.cpp "$root"/engine/render/*.cpp
         "$root"/engine/texture/*.cpp "$root"/tessel2/*.cpp "$root/fuzz/glide2_fuzz.cpp")

# Two compilers at a time: the machine is shared. clang knows __rdtsc as a builtin and refuses the
# simulation's definition of it under that name; the engine then reads the real counter, which only
# reaches a log line.
printf '%s\n' "${sources[@]}" | CLANG="$clang" OBJ="$out/glide2_obj" xargs -P 2 -I{} bash -c '
    src="$1"; shift; obj="$OBJ/$(echo "$src" | tr / _).o"
    case "$src" in */sim_kernel.cpp) set -- "$@" -D__rdtsc=simulatedRdtsc ;; esac
    # The simulation is not under test: no coverage feedback from its pixel loops, and optimised, but
    # still under AddressSanitizer so that what the engine hands it is checked.
    case "$src" in */winsim/sim/*) set -- "$@" -O2 -fno-sanitize-coverage=trace-pc-guard,trace-cmp,indirect-calls,pc-table,inline-8bit-counters ;; esac
    "$CLANG" "$@" -c "$src" -o "$obj"' _ {} "${flags[@]}"
objects=()
for src in "${sources[@]}"; do objects+=("$out/glide2_obj/$(echo "$src" | tr / _).o"); done
"$clang" -fsanitize=fuzzer,address,undefined "${objects[@]}" -o "$out/glide2_fuzz"

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
