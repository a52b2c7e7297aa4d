// The one main of tessel2_bench; every other file under bench/ only registers benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
