// Frame-buffer access cost on the simulation (recording off), each beside a memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "sim/sim.h"
#include "glide2x.h"
#include "settings_store.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

void openDisplay(DWORD colorDepth, GrScreenResolution_t resolution) {
    sim::reset();
    sim::setRecording(false);
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settings_store::productKeyPath, "ColorDepth", colorDepth);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), resolution, GR_REFRESH_60Hz,
                 GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void closeDisplay() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}

// A shadowed write lock of a whole 1024 × 768 screen: read back on lock, written back on unlock.
void ShadowedLockUnlock(benchmark::State &state, DWORD colorDepth, GrLfbWriteMode_t mode) {
    openDisplay(colorDepth, GR_RESOLUTION_1024x768);
    for (auto _ : state) {
        GrLfbInfo_t info;
        grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, mode, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info);
        benchmark::DoNotOptimize(info.lfbPtr);
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    }
    closeDisplay();
    state.SetBytesProcessed(state.iterations() * 1024 * 768 * (colorDepth / 8) * 2);
}
BENCHMARK_CAPTURE(ShadowedLockUnlock, Shadow565On32BitDisplay, 32, GR_LFBWRITEMODE_565)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ShadowedLockUnlock, Shadow8888On16BitDisplay, 16, GR_LFBWRITEMODE_8888)
    ->Unit(benchmark::kMicrosecond);

// A 1024 × 768 buffer copied out and back in. The 32-bit one moves at least the bytes of either lock pair
// (a 32-bit and a 16-bit buffer each way); the 16-bit one is the screen alone of the 16-bit display.
void ScreenCopyOutAndIn(benchmark::State &state, size_t bytesPerPixel) {
    std::vector<unsigned char> screen(1024 * 768 * bytesPerPixel, 0x5A), copy(screen.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), screen.data(), screen.size());
        benchmark::ClobberMemory();
        std::memcpy(screen.data(), copy.data(), screen.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * screen.size() * 2);
}
BENCHMARK_CAPTURE(ScreenCopyOutAndIn, Memcpy32BitScreen, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ScreenCopyOutAndIn, Memcpy16BitScreen, 2)->Unit(benchmark::kMicrosecond);

// A 640 × 480 1555 picture (a video frame or a menu) written onto a 16-bit screen.
void WriteRegion1555(benchmark::State &state) {
    openDisplay(16, GR_RESOLUTION_640x480);
    std::vector<FxU16> picture(640 * 480);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<FxU16>(i * 2654435761u >> 16);
    for (auto _ : state)
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_1555, 640, 480, 640 * 2, picture.data());
    closeDisplay();
    state.SetBytesProcessed(state.iterations() * picture.size() * 2);
}
BENCHMARK(WriteRegion1555)->Unit(benchmark::kMicrosecond);

void PictureMemcpy(benchmark::State &state) {
    std::vector<FxU16> picture(640 * 480, 0x1234), screen(picture.size());
    for (auto _ : state) {
        std::memcpy(screen.data(), picture.data(), picture.size() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * picture.size() * 2);
}
BENCHMARK(PictureMemcpy)->Unit(benchmark::kMicrosecond);

} // namespace
