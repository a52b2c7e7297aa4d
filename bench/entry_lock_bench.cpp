// The entry lock's cost per grDrawTriangle when one thread calls: the engine's triangle with and without the
// guard the draw entry points take, and the guard alone. Compare "ns_per_triangle" between the first two.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "sim/sim.h"
#include "glide2x.h"
#include "render/primitives.h"
#include "session/entry_lock.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

void openSession() {
    sim::reset();
    sim::setRecording(false);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void closeSession() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}

GrVertex corner(float x, float y) {
    GrVertex vertex;
    std::memset(&vertex, 0, sizeof(vertex));
    vertex.x = x;
    vertex.y = y;
    vertex.g = 200.0f;
    vertex.oow = 1.0f;
    return vertex;
}

void countPerTriangle(benchmark::State &state) {
    state.counters["ns_per_triangle"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <bool guarded> void drawTriangles(benchmark::State &state) {
    openSession();
    GrVertex a = corner(10.0f, 10.0f), b = corner(300.0f, 40.0f), c = corner(120.0f, 200.0f);
    for (auto _ : state) {
        if (guarded) {
            EntryLock guard(drawOnly);
            drawTriangle(&a, &b, &c);
        } else {
            drawTriangle(&a, &b, &c);
        }
        benchmark::ClobberMemory();
    }
    countPerTriangle(state);
    closeSession();
}

void EntryLockTriangleWithout(benchmark::State &state) {
    drawTriangles<false>(state);
}
BENCHMARK(EntryLockTriangleWithout);

void EntryLockTriangleGuarded(benchmark::State &state) {
    drawTriangles<true>(state);
}
BENCHMARK(EntryLockTriangleGuarded);

void EntryLockAlone(benchmark::State &state) {
    openSession();
    for (auto _ : state) {
        EntryLock guard;
        benchmark::ClobberMemory();
    }
    countPerTriangle(state);
    closeSession();
}
BENCHMARK(EntryLockAlone);

} // namespace
