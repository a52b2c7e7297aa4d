#!/usr/bin/env bash
# Builds the Glide 2 call-sequence fuzz target and runs it with one job.
# Usage: bash fuzz/run_glide2_fuzz.sh [build directory] [seconds] [extra libFuzzer flags...]
exec bash "$(dirname "$0")/run_call_fuzz.sh" glide2 "$@"
