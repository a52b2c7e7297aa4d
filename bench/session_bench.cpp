// Per-frame cost of the session calls a game makes every frame, on the simulation with recording off.
#include <benchmark/benchmark.h>

#include "sim/sim.h"
#include "glide2x.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

void openSession() {
    sim::reset();
    sim::setRecording(false);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480, GR_REFRESH_60Hz,
                 GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void closeSession() { DllMain(nullptr, DLL_PROCESS_DETACH, nullptr); }

void ClearAndSwap(benchmark::State &state) {
    openSession();
    for (auto _ : state) {
        grBufferClear(0x00203040, 0, 0xFFFF);
        grBufferSwap(1);
    }
    closeSession();
}
BENCHMARK(ClearAndSwap);

void StatusPoll(benchmark::State &state) {
    openSession();
    for (auto _ : state)
        benchmark::DoNotOptimize(grSstStatus());
    closeSession();
}
BENCHMARK(StatusPoll);

} // namespace

BENCHMARK_MAIN();
