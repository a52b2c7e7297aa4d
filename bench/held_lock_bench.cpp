// Cost per frame of a frame-buffer lock held across frames and of a plain lock and unlock, on a 640 × 480
// 16-bit screen, beside a memcpy of that screen. Each frame is a clear, the writes and a swap; PlainFrame
// is the same frame without any lock, so the lock's own cost is a frame's time less PlainFrame's. On the
// simulation GetWriteWatch compares every page with a copy (SimGetWriteWatch times one query); Windows
// reads the page tables instead.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "settings_store.h"
#include "sim/sim.h"
#include "glide2x.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

const int screenWidth = 640, screenHeight = 480;
const size_t screenBytes = screenWidth * screenHeight * 2;
const int fewRows = 4;
const FxU16 barColor = 0x07E0;

void openDisplay() {
    sim::reset();
    sim::setRecording(false);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settings_store::productKeyPath, settings_store::colorDepth, 16);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, screenWidth, screenHeight});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void closeDisplay() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}

bool lockBack(GrLfbInfo_t &info) {
    std::memset(&info, 0, sizeof(info));
    info.size = sizeof(info);
    return grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                     FXFALSE, &info) == FXTRUE;
}

void writeRows(const GrLfbInfo_t &info, int rows) {
    for (int y = 0; y < rows; ++y) {
        FxU16 *row = reinterpret_cast<FxU16 *>(static_cast<char *>(info.lfbPtr) + y * info.strideInBytes);
        for (int x = 0; x < screenWidth; ++x)
            row[x] = barColor;
    }
}

void PlainFrame(benchmark::State &state) {
    openDisplay();
    for (auto _ : state) {
        grBufferClear(0, 0, 0xFFFF);
        grBufferSwap(0);
    }
    closeDisplay();
}
BENCHMARK(PlainFrame)->Unit(benchmark::kMicrosecond);

// One lock for the whole run; every frame writes `rows` rows through it.
void HeldLockFrame(benchmark::State &state) {
    openDisplay();
    GrLfbInfo_t info;
    if (!lockBack(info)) state.SkipWithError("lock failed");
    int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        grBufferClear(0, 0, 0xFFFF);
        writeRows(info, rows);
        grBufferSwap(0);
    }
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    closeDisplay();
}
BENCHMARK(HeldLockFrame)->Arg(fewRows)->Arg(screenHeight)->Unit(benchmark::kMicrosecond);

// A lock and an unlock every frame, with a few rows written in between.
void LockUnlockFrame(benchmark::State &state) {
    openDisplay();
    for (auto _ : state) {
        grBufferClear(0, 0, 0xFFFF);
        GrLfbInfo_t info;
        if (lockBack(info)) writeRows(info, fewRows);
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
        grBufferSwap(0);
    }
    closeDisplay();
}
BENCHMARK(LockUnlockFrame)->Unit(benchmark::kMicrosecond);

void SimGetWriteWatch(benchmark::State &state) {
    sim::reset();
    void *memory =
        VirtualAlloc(NULL, screenBytes, MEM_RESERVE | MEM_COMMIT | MEM_WRITE_WATCH, PAGE_READWRITE);
    std::vector<PVOID> pages(screenBytes / 4096 + 1);
    for (auto _ : state) {
        ULONG_PTR count = pages.size();
        DWORD granularity = 0;
        GetWriteWatch(WRITE_WATCH_FLAG_RESET, memory, screenBytes, pages.data(), &count, &granularity);
        benchmark::DoNotOptimize(count);
    }
    VirtualFree(memory, 0, MEM_RELEASE);
}
BENCHMARK(SimGetWriteWatch)->Unit(benchmark::kMicrosecond);

void ScreenMemcpy640x480x16(benchmark::State &state) {
    std::vector<unsigned char> screen(screenBytes, 0x5A), copy(screenBytes);
    for (auto _ : state) {
        std::memcpy(copy.data(), screen.data(), screenBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * screenBytes));
}
BENCHMARK(ScreenMemcpy640x480x16)->Unit(benchmark::kMicrosecond);

} // namespace
