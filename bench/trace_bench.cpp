// The cost of recording a trace, per grDrawTriangle on the simulation: the same triangle with Trace off and
// on. The "ns_per_call" counters are the figures to compare; their difference is the recording's cost.
#include <benchmark/benchmark.h>

#include <cstring>

#include "sim/sim.h"
#include "glide2x.h"
#include "settings_store.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

// Enough calls for a stable figure and a trace of a few tens of megabytes.
const benchmark::IterationCount tracedCalls = 200000;

void openSession(DWORD trace) {
    sim::reset();
    sim::setRecording(false);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settings_store::productKeyPath, settings_store::trace, trace);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void drawTriangles(benchmark::State &state, DWORD trace) {
    openSession(trace);
    GrVertex vertices[3];
    std::memset(vertices, 0, sizeof(vertices));
    const float corners[3][2] = {{10, 10}, {200, 20}, {100, 150}};
    for (int i = 0; i < 3; ++i) {
        vertices[i].x = corners[i][0];
        vertices[i].y = corners[i][1];
        vertices[i].oow = 1.0f;
    }
    for (auto _ : state) {
        grDrawTriangle(&vertices[0], &vertices[1], &vertices[2]);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_call"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
    if (trace != 0)
        state.counters["trace_bytes_per_call"] =
            static_cast<double>(sim::readFile("kestrix-1.gltrace").size()) /
            static_cast<double>(state.iterations());
}

void DrawTriangleUntraced(benchmark::State &state) {
    drawTriangles(state, 0);
}
BENCHMARK(DrawTriangleUntraced)->Iterations(tracedCalls);

void DrawTriangleTraced(benchmark::State &state) {
    drawTriangles(state, 1);
}
BENCHMARK(DrawTriangleTraced)->Iterations(tracedCalls);

} // namespace
