// 256 × 256 texture downloads on the simulation (recording off), each beside a memcpy of the bytes the
// texture surface holds. "Download" is the whole grTexDownloadMipMap (a new surface every time, as Glide
// downloads are); "Upload" fills an existing surface: the lock, the copy or conversion, the unlock.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "sim/sim.h"
#include "glide2x.h"
#include "texture/texture_memory.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

const FxU32 side = 256;

void openDisplay() {
    sim::reset();
    sim::setRecording(false);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::vector<FxU32> palette(256);
    for (FxU32 i = 0; i < 256; ++i)
        palette[i] = i * 0x00010305u;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette.data());
}

void closeDisplay() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}

std::vector<FxU8> texels(size_t bytesPerTexel) {
    std::vector<FxU8> data(side * side * bytesPerTexel);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<FxU8>(i * 2654435761u >> 13);
    return data;
}

void Download(benchmark::State &state, GrTextureFormat_t format, size_t sourceBytes, size_t surfaceBytes) {
    openDisplay();
    std::vector<FxU8> data = texels(sourceBytes);
    GrTexInfo info = {GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, format, data.data()};
    for (auto _ : state) {
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        benchmark::DoNotOptimize(lookupTexture(GR_TMU0, 0));
    }
    if (lookupTexture(GR_TMU0, 0) == nullptr) state.SkipWithError("the download was dropped");
    closeDisplay();
    state.SetBytesProcessed(state.iterations() * side * side * surfaceBytes);
}
BENCHMARK_CAPTURE(Download, Native565, GR_TEXFMT_RGB_565, 2, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Download, Rgb332ToXrgb, GR_TEXFMT_RGB_332, 1, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Download, P8ToXrgb, GR_TEXFMT_P_8, 1, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Download, Yiq422ThroughNcc, GR_TEXFMT_YIQ_422, 1, 4)->Unit(benchmark::kMicrosecond);

void Upload(benchmark::State &state, GrTextureFormat_t format, size_t sourceBytes, size_t surfaceBytes) {
    openDisplay();
    std::vector<FxU8> data = texels(sourceBytes);
    GrTexInfo info = {GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, format, data.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    TextureRecord *record = lookupTexture(GR_TMU0, 0);
    if (record == nullptr) {
        state.SkipWithError("the download was dropped");
        closeDisplay();
        return;
    }
    for (auto _ : state) {
        uploadTexels(record, data.data());
        benchmark::ClobberMemory();
    }
    closeDisplay();
    state.SetBytesProcessed(state.iterations() * side * side * surfaceBytes);
}
BENCHMARK_CAPTURE(Upload, Native565, GR_TEXFMT_RGB_565, 2, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Upload, Rgb332ToXrgb, GR_TEXFMT_RGB_332, 1, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Upload, P8ToXrgb, GR_TEXFMT_P_8, 1, 4)->Unit(benchmark::kMicrosecond);

void TextureMemcpy(benchmark::State &state, size_t surfaceBytes) {
    std::vector<FxU8> source(side * side * surfaceBytes, 0x5A), surface(source.size());
    for (auto _ : state) {
        std::memcpy(surface.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * source.size());
}
BENCHMARK_CAPTURE(TextureMemcpy, Surface16Bit, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TextureMemcpy, Surface32Bit, 4)->Unit(benchmark::kMicrosecond);

} // namespace
