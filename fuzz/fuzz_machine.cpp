// The simulated machine under the call-sequence fuzz targets.
#include "fuzz_machine.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <sanitizer/asan_interface.h>

#include "session/processor.h"
#include "settings_store.h"
#include "sim_pixel_formats.h"
#include "session/state_groups.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

using namespace fuzzinput;

namespace fuzzmachine {

namespace {

const HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000));

// Large application buffers come from blocks kept between calls: mapping megabytes afresh for every
// call would cost more than the library's work with them. A buffer sits at the end of its block, so the
// allocator's redzone follows its last byte, and the rest of the block stays poisoned.
class BlockPool {
  public:
    static const size_t smallest = 64 * 1024;

    uint8_t *take(size_t n, uint8_t *&block) {
        size_t best = blocks_.size();
        for (size_t i = 0; i < blocks_.size(); ++i)
            if (blocks_[i].capacity >= n &&
                (best == blocks_.size() || blocks_[i].capacity < blocks_[best].capacity))
                best = i;
        size_t capacity = (n + 7) & ~size_t(7);
        if (best < blocks_.size()) {
            block = blocks_[best].bytes;
            capacity = blocks_[best].capacity;
            blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(best));
            ASAN_UNPOISON_MEMORY_REGION(block + capacity - n, n); // a waiting block is poisoned whole
        } else {
            block = static_cast<uint8_t *>(malloc(capacity));
            if (!block) abort();
            ASAN_POISON_MEMORY_REGION(block, capacity - n);
        }
        return block + capacity - n;
    }
    void give(uint8_t *block, uint8_t *bytes, size_t n) {
        size_t capacity = static_cast<size_t>(bytes - block) + n;
        if (blocks_.size() == kept) {
            auto smallestBlock =
                std::min_element(blocks_.begin(), blocks_.end(),
                                 [](const Block &a, const Block &b) { return a.capacity < b.capacity; });
            if (smallestBlock->capacity >= capacity) {
                ASAN_UNPOISON_MEMORY_REGION(block, capacity);
                free(block);
                return;
            }
            ASAN_UNPOISON_MEMORY_REGION(smallestBlock->bytes, smallestBlock->capacity);
            free(smallestBlock->bytes);
            blocks_.erase(smallestBlock);
        }
        ASAN_POISON_MEMORY_REGION(bytes, n);
        blocks_.push_back(Block{block, capacity});
    }

  private:
    struct Block {
        uint8_t *bytes;
        size_t capacity;
    };
    static const size_t kept = 6;
    std::vector<Block> blocks_;
};

// Never destroyed: the blocks stay reachable for the leak check at exit.
BlockPool &blockPool() {
    static BlockPool *pool = new BlockPool;
    return *pool;
}

const char *const faultNames[] = {
    "DirectDrawCreateEx",
    "SetCooperativeLevel",
    "QueryInterface",
    "SetDisplayMode",
    "CreateSurface",
    "GetAttachedSurface",
    "AddAttachedSurface",
    "CreateDevice",
    "GetCaps",
    "SetViewport",
    "Lock",
    "Unlock",
    "BltFast",
    "GetDC",
    "CreatePalette",
    "SetPalette",
    "GetPalette",
    "SetEntries",
    "SetColorKey",
    "SetTexture",
    "DrawPrimitive",
    "Clear",
    "BeginScene",
    "EndScene",
    "GetVerticalBlankStatus",
    "GetScanLine",
    "LoadImageA",
    "CreateCompatibleDC",
    "CreateFileA",
    "RegOpenKeyExA",
    "RegQueryValueExA",
    "GetDeviceIdentifier",
    "EnumTextureFormats",
    "EnumZBufferFormats",
    "Restore",
    "GetSurfaceDesc",
    "EvictManagedTextures",
    "SetRenderState",
    "SetTextureStageState",
    "Blt",
    "CreateClipper",
    "SetClipper",
    "WaitForVerticalBlank",
    "GetDisplayMode",
};
const HRESULT faultResults[] = {DDERR_GENERIC, DDERR_SURFACELOST, DDERR_SURFACEBUSY, DDERR_OUTOFMEMORY};

const char *const windowTitles[] = {"Test Game", "Quake II", "UltraHLE 1.0", ""};

DDPIXELFORMAT textureFormat(int index) {
    switch (index) {
    case 1:
        return sim::rgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0);
    case 2:
        return sim::rgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    case 3:
        return sim::rgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    case 4:
        return sim::rgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    case 5:
        return sim::rgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000);
    case 6: // RGB 332
        return sim::rgbFormat(8, 0xE0, 0x1C, 0x03, 0);
    case 7: // ARGB 8332
        return sim::rgbFormat(16, 0xE0, 0x1C, 0x03, 0xFF00);
    case 8: // L8
        return texfmt::luminance(8, 0xFF, 0);
    case 9: // A4L4
        return texfmt::luminance(8, 0x0F, 0xF0);
    case 10: // A8L8
        return texfmt::luminance(16, 0xFF, 0xFF00);
    case 11: // A8
        return texfmt::alpha8();
    case 12: // P8
        return texfmt::paletted(8, 0);
    case 13: // A8P8
        return texfmt::paletted(16, 0xFF00);
    default:
        return sim::rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
    }
}

void configureMachine(Reader &in, HWND &window) {
    uint8_t header[headerBytes];
    for (uint8_t &b : header)
        b = in.byte();

    const char *product = settings_store::productKeyPath;
    int store = header[hStore] & 3;
    if (store != 0) sim::createRegistryKey(HKEY_LOCAL_MACHINE, product);
    if (store != 2) {
        static const DWORD depths[] = {16, 32, 16, 32, 0, 24, 8, 15};
        uint8_t s1 = header[hSettings1], s2 = header[hSettings2];
        auto put = [&](const char *name, DWORD value) {
            if (store) sim::setRegistryDword(HKEY_LOCAL_MACHINE, product, name, value);
        };
        put("ColorDepth", depths[s1 & 7]);
        put("Oversample", (s1 >> 3) & 3);
        put("Fog", (s1 >> 5) & 1);
        put("Antialiasing", (s1 >> 6) & 1);
        put("ZFast", s1 >> 7);
        put("WaveRace", s2 & 1);
        put("FightingForceFix", (s2 >> 1) & 3);
        put("Filtering", (s2 >> 3) & 1);
        put("TMU", (s2 >> 4) & 1);
        put("TripleBuffer", (s2 >> 5) & 1);
        put("Windowed", (s2 >> 6) & 1);
        put("FramePacing", s2 >> 7);
    }
    const char *glide = settings_store::glideKeyPath;
    if (header[hStore] & 4) sim::setRegistryString(HKEY_LOCAL_MACHINE, glide, "FX_GLIDE_NO_SPLASH", "1");
    if (header[hStore] & 8)
        sim::setRegistryString(HKEY_LOCAL_MACHINE, glide, "FX_GLIDE_NO_DITHER_SUB", "TRUE");

    window = sim::createWindow(windowTitles[(header[hStore] >> 4) & 3], RECT{10, 20, 650, 500});
    sim::setActiveWindow(window);
    if (header[hStore] & 0x80) sim::setOsVersion(false, 4, 10, 2222);

    uint8_t devices = header[hDevices];
    unsigned textures = header[hTextures1] | header[hTextures2] << 8;
    for (int type = 0; type < 5; ++type) {
        sim::DeviceConfig &config = sim::deviceConfig(static_cast<sim::DeviceType>(type));
        config.createSucceeds = !(devices & (1 << type));
        if ((devices & 0x20) && type < 2) config.depthFormats.clear();
        if (devices & 0x40) {
            DDPIXELFORMAT stencil = sim::depthFormat(32, 0xFFFFFF00);
            stencil.dwFlags |= DDPF_STENCILBUFFER;
            stencil.dwStencilBitDepth = 8;
            stencil.dwStencilBitMask = 0xFF;
            config.depthFormats = {stencil};
        }
        if (textures != 0xFFFF) {
            config.textureFormats.clear();
            for (int i = 0; i < 14; ++i)
                if (textures & (1u << i)) config.textureFormats.push_back(textureFormat(i));
        }
        if (header[hCaps] & 1)
            config.caps.dwTextureOpCaps &= ~static_cast<DWORD>(D3DTEXOPCAPS_BLENDTEXTUREALPHA);
        if (header[hCaps] & 2) {
            DWORD blend = header[hBlendCaps] * 0x1041u & 0x1FFF;
            config.caps.dpcTriCaps.dwSrcBlendCaps = blend;
            config.caps.dpcTriCaps.dwDestBlendCaps = blend >> 1 | (blend & 1) << 12;
        }
        if (header[hCaps] & 4) config.caps.dpcTriCaps.dwAlphaCmpCaps = header[hCompareCaps];
        if (header[hCaps] & 8)
            config.caps.dpcTriCaps.dwTextureAddressCaps &= ~static_cast<DWORD>(D3DPTADDRESSCAPS_MIRROR);
    }
    if (devices & 0x80) sim::setPitchPadding(12);

    uint8_t faults = header[hFaultCount];
    sim::setVerticalBlank((faults >> 2) & 1, (faults & 8) ? DDERR_GENERIC : DD_OK);
    sim::setScanLine((faults >> 4) * 31u, (faults & 8) ? DDERR_GENERIC : DD_OK);
    for (int i = 0; i < (faults & 3); ++i) {
        const uint8_t *f = header + hFault0 + 3 * i;
        const char *name = faultNames[f[0] % (sizeof(faultNames) / sizeof(faultNames[0]))];
        HRESULT hr = faultResults[f[2] >> 6];
        int role = f[2] & 7;
        if (role >= 6)
            sim::failCall(name, f[1] % 24, hr);
        else
            sim::failCallOn(name, static_cast<sim::SurfaceRole>(role), hr, f[1] % 24);
    }
}

} // namespace

void Buffer::allocate(size_t n) {
    release();
    size = n;
    if (n >= BlockPool::smallest) {
        bytes = blockPool().take(n, block_);
    } else {
        bytes = static_cast<uint8_t *>(malloc(n));
        if (!bytes) abort();
    }
}

void Buffer::release() {
    if (block_)
        blockPool().give(block_, bytes, size);
    else
        free(bytes);
    bytes = block_ = nullptr;
    size = 0;
}

// Buffers are up to screen-sized, so the loop is kept out of the coverage feedback and free of divisions.
__attribute__((no_sanitize("coverage"))) void Buffer::fill(Reader &in) {
    uint8_t pattern[16];
    size_t count = std::min<size_t>(in.remaining(), 1 + in.byte() % 16);
    for (size_t i = 0; i < count; ++i)
        pattern[i] = in.byte();
    if (count == 0) pattern[count++] = 0x5A;
    size_t i = 0;
    for (size_t block = 0; i < size; ++block)
        for (size_t j = 0; j < count && i < size; ++j, ++i)
            bytes[i] = static_cast<uint8_t>(pattern[j] + block);
}

void touchLockedMemory(void *memory, size_t stride, size_t rows, uint8_t value) {
    if (memory == nullptr || rows == 0) return;
    // The shadow check of the rows after the first costs an eighth of writing them.
    size_t bytes = stride * rows;
    if (bytes == 0) return;
    if (__asan_region_is_poisoned(memory, bytes)) {
        fprintf(stderr, "grLfbLock answered %zu bytes of which some are not addressable\n", bytes);
        abort();
    }
    memset(memory, value, std::min(bytes, stride));
}

// Glide's frame-buffer source formats, the same in Glide 2 and 3.
enum LfbSourceFormat {
    lfbSrc565 = 0x00,
    lfbSrc555 = 0x01,
    lfbSrc1555 = 0x02,
    lfbSrc888 = 0x04,
    lfbSrc8888 = 0x05,
    lfbSrc565Depth = 0x0c,
    lfbSrc555Depth = 0x0d,
    lfbSrc1555Depth = 0x0e,
    lfbSrcZa16 = 0x0f,
    lfbSrcAny = 0xff,
};
const int32_t largestResolution = 0x17; // 2048 x 2048
const int32_t smallResolutions[2] = {0x2 /* 400 x 256 */, 0x0 /* 320 x 200 */};
const uint32_t noWindow = 0xDEAD0;

uint64_t lfbWriteBytes(int32_t format, uint32_t width, uint32_t height, int32_t stride) {
    uint64_t pixel = 0;
    switch (format) {
    case lfbSrc565:
    case lfbSrc555:
    case lfbSrc1555:
    case lfbSrcZa16:
    case lfbSrcAny:
        pixel = 2;
        break;
    case lfbSrc888:
    case lfbSrc8888:
    case lfbSrc565Depth:
    case lfbSrc555Depth:
    case lfbSrc1555Depth:
        pixel = 4;
        break;
    default:
        pixel = 0; // formats the board does not write: the application has nothing to give
    }
    uint64_t magnitude = stride < 0 ? uint64_t(-int64_t(stride)) : uint64_t(stride);
    return width && height && pixel ? (uint64_t(height) - 1) * magnitude + width * pixel : 0;
}

uint64_t lfbReadBytes(uint32_t width, uint32_t height, uint32_t stride) {
    return width && height ? (uint64_t(height) - 1) * stride + uint64_t(width) * 2 : 0;
}

uint8_t *lfbFirstRow(Buffer &data, uint32_t height, int32_t stride) {
    // A negative stride walks up from the first row, which then is the last row of the block.
    uint64_t magnitude = stride < 0 ? uint64_t(-int64_t(stride)) : uint64_t(stride);
    uint8_t *first = data.bytes;
    if (stride < 0 && height) first += (uint64_t(height) - 1) * magnitude;
    return first;
}

uint32_t windowArgument(Reader &in, HWND window) {
    uint8_t target = in.byte();
    uint32_t hwnd = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    if (target % 4 == 1) hwnd = 0;
    if (target % 4 == 2) hwnd = noWindow;
    return hwnd;
}

int32_t resolutionArgument(Reader &in) {
    int32_t resolution = in.num();
    if (resolution > largestResolution && resolution < 0xF0) resolution = smallResolutions[resolution % 2];
    return resolution;
}

void loseSurfaces() {
    sim::loseSurfaces();
}

void failNextCall(Reader &in) {
    uint8_t name = in.byte(), occurrence = in.byte();
    sim::failCall(faultNames[name % (sizeof(faultNames) / sizeof(faultNames[0]))], 1 + occurrence % 8,
                  faultResults[occurrence >> 6]);
}

void reloadLibrary() {
    DllMain(module, DLL_PROCESS_DETACH, nullptr);
    DllMain(module, DLL_PROCESS_ATTACH, nullptr);
}

void setVerticalBlank(Reader &in) {
    uint8_t state = in.byte();
    sim::setVerticalBlank(state & 1, (state & 2) ? DDERR_GENERIC : DD_OK);
    sim::setScanLine(state, (state & 4) ? DDERR_GENERIC : DD_OK);
}

int runInput(const uint8_t *data, size_t size, CallRunner runCall, const char *traceVariable) {
    static const std::vector<unsigned char> bitmap =
        sim::makeBmp24(16, 8, [](int x, int y) { return static_cast<uint32_t>(x * 0x100F + y * 0x30000); });
    const unsigned short controlWord = readFpuControlWord();

    sim::reset();
    sim::setRecording(false);
    sim::setNewSurfacesCleared(false);
    sim::registerBitmapResource(module, "LOGO", bitmap);
    sim::registerBitmapResource(module, "SPLASH", bitmap);
    Reader in(data, size);
    HWND window = nullptr;
    configureMachine(in, window);

    // Nothing carries over from the input before, as nothing does between two loads of the DLL.
    forgetLoadState();
    DllMain(module, DLL_PROCESS_ATTACH, nullptr);
    // The trace variable set to anything lists the calls of an input, to read a crash or check a seed.
    const bool trace = getenv(traceVariable) != nullptr;
    for (int calls = 0; !in.done() && calls < 400; ++calls)
        runCall(in, window, trace);
    DllMain(module, DLL_PROCESS_DETACH, nullptr);
    writeFpuControlWord(controlWord);

    std::string leaks = sim::leakReport();
    if (!leaks.empty()) {
        fprintf(stderr, "left behind after unload:\n%s", leaks.c_str());
        abort();
    }
    if (sim::displayMode().changed) {
        fprintf(stderr, "the display mode was not restored\n");
        abort();
    }
    // Every input frees what it allocated: libFuzzer runs an input again under the heap leak check
    // whenever it counts more allocations than frees.
    sim::reset();
    return 0;
}

} // namespace fuzzmachine
