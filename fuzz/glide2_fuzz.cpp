// libFuzzer target: the input decodes into a simulated machine (settings store, window, device
// capabilities, texture formats, injected failures) and a sequence of tessel2 calls with their arguments.
// Every pointer handed to the library points at a buffer of exactly the size the call may read or write,
// so AddressSanitizer reports any access beyond it. After the sequence the library is unloaded and the
// simulation must hold no COM reference, no locked surface, no GDI object, file or registry key.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <sanitizer/asan_interface.h>

#include "sim/sim.h"
#include "glide2x.h"
#include "glide2_fuzz_input.h"
#include "session/engine_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

using namespace fuzzinput;

namespace {

const HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000));
// The largest buffer an application is given; calls that would need more are skipped.
const size_t bufferLimit = 8u << 20;

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

// An application buffer of an exact size: any access past it is reported.
struct Buffer {
    uint8_t *bytes = nullptr;
    size_t size = 0;
    Buffer() = default;
    explicit Buffer(size_t n) { allocate(n); }
    Buffer(const Buffer &) = delete;
    Buffer &operator=(const Buffer &) = delete;
    ~Buffer() { release(); }
    void allocate(size_t n) {
        release();
        size = n;
        if (n >= BlockPool::smallest) {
            bytes = blockPool().take(n, block_);
        } else {
            bytes = static_cast<uint8_t *>(malloc(n));
            if (!bytes) abort();
        }
    }
    void release() {
        if (block_)
            blockPool().give(block_, bytes, size);
        else
            free(bytes);
        bytes = block_ = nullptr;
        size = 0;
    }
    template <typename T> T *as() { return reinterpret_cast<T *>(bytes); }
    // Filled from the input, repeated when the input is shorter. Buffers are up to screen-sized, so the
    // loop is kept out of the coverage feedback and free of divisions.
    __attribute__((no_sanitize("coverage"))) void fill(Reader &in) {
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

  private:
    uint8_t *block_ = nullptr;
};

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
};
const HRESULT faultResults[] = {DDERR_GENERIC, DDERR_SURFACELOST, DDERR_SURFACEBUSY, DDERR_OUTOFMEMORY};

const char *const opNames[] = {
#define GLIDE2_FUZZ_OP(name) #name,
#include "glide2_fuzz_ops.h"
#undef GLIDE2_FUZZ_OP
};

const char *const windowTitles[] = {"Test Game", "Quake II", "UltraHLE 1.0", ""};

DDPIXELFORMAT textureFormat(int index) {
    DDPIXELFORMAT pf = sim::rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
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
        memset(&pf, 0, sizeof(pf));
        pf.dwSize = sizeof(pf);
        pf.dwFlags = DDPF_LUMINANCE;
        pf.dwRGBBitCount = 8;
        pf.dwRBitMask = 0xFF;
        return pf;
    case 9: // A4L4
        pf = textureFormat(8);
        pf.dwFlags |= DDPF_ALPHAPIXELS;
        pf.dwRBitMask = 0x0F;
        pf.dwRGBAlphaBitMask = 0xF0;
        return pf;
    case 10: // A8L8
        pf = textureFormat(8);
        pf.dwFlags |= DDPF_ALPHAPIXELS;
        pf.dwRGBBitCount = 16;
        pf.dwRGBAlphaBitMask = 0xFF00;
        return pf;
    case 11: // A8
        memset(&pf, 0, sizeof(pf));
        pf.dwSize = sizeof(pf);
        pf.dwFlags = DDPF_ALPHA;
        pf.dwRGBBitCount = 8;
        return pf;
    case 12: // P8
        memset(&pf, 0, sizeof(pf));
        pf.dwSize = sizeof(pf);
        pf.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
        pf.dwRGBBitCount = 8;
        return pf;
    case 13: // A8P8
        pf = textureFormat(12);
        pf.dwFlags |= DDPF_ALPHAPIXELS;
        pf.dwRGBBitCount = 16;
        pf.dwRGBAlphaBitMask = 0xFF00;
        return pf;
    default:
        return pf;
    }
}

void configureMachine(Reader &in, HWND &window) {
    uint8_t header[headerBytes];
    for (uint8_t &b : header)
        b = in.byte();

    const char *product = "Software\\Orvane\\Kestrix XP";
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
    }
    const char *glide = "Software\\3Dfx Interactive\\Glide";
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

GrVertex readVertex(Reader &in) {
    GrVertex v;
    float *field = &v.x;
    static_assert(sizeof(GrVertex) == 15 * sizeof(float), "GrVertex is fifteen floats");
    for (int i = 0; i < 15; ++i)
        field[i] = in.fl();
    return v;
}

// One vertex in its own block, or null for one case in eight.
struct VertexArg {
    std::vector<GrVertex> storage;
    const GrVertex *get() const { return storage.empty() ? nullptr : storage.data(); }
};

VertexArg vertexArg(Reader &in) {
    VertexArg arg;
    if ((in.byte() & 7) == 7) return arg;
    arg.storage.assign(1, readVertex(in));
    arg.storage.shrink_to_fit();
    return arg;
}

bool nullPointer(Reader &in) {
    return (in.byte() & 7) == 7;
}

// Bytes per texel and level size as Glide defines them, for the texel buffer an application passes.
size_t levelBytes(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format) {
    if (lod < GR_LOD_256 || lod > GR_LOD_1 || aspect < GR_ASPECT_8x1 || aspect > GR_ASPECT_1x8) return 0;
    size_t width = 256u >> lod, height = width;
    if (aspect < GR_ASPECT_1x1) height >>= GR_ASPECT_1x1 - aspect;
    if (aspect > GR_ASPECT_1x1) width >>= aspect - GR_ASPECT_1x1;
    width = std::max<size_t>(width, 1);
    height = std::max<size_t>(height, 1);
    return width * height * (static_cast<uint32_t>(format) >= GR_TEXFMT_16BIT ? 2 : 1);
}

// A polygon: nverts from the input, with vertices cycled from a few read from it.
struct Polygon {
    int nverts = 0;
    Buffer vertexBytes, indexBytes;
    bool ok = true;
    GrVertex *vertices() { return vertexBytes.as<GrVertex>(); }
    int *indices() { return indexBytes.as<int>(); }
};

void readPolygon(Polygon &p, Reader &in, bool indexed) {
    p.nverts = in.num();
    size_t count = p.nverts > 0 ? static_cast<size_t>(p.nverts) : 0;
    if (count > 20000) { // two batches of the library's vertex buffer and a part
        p.ok = false;
        return;
    }
    int distinct = 1 + in.byte() % 6;
    GrVertex pool[6];
    for (int i = 0; i < distinct; ++i)
        pool[i] = readVertex(in);
    size_t vertexCount = indexed ? static_cast<size_t>(distinct) : count;
    p.vertexBytes.allocate(vertexCount * sizeof(GrVertex));
    for (size_t i = 0; i < vertexCount; ++i)
        p.vertices()[i] = pool[i % distinct];
    if (indexed) {
        p.indexBytes.allocate(count * sizeof(int));
        uint8_t step = in.byte();
        for (size_t i = 0; i < count; ++i)
            p.indices()[i] = static_cast<int>((i * (step | 1) + step) % distinct);
    }
}

void touchLockedMemory(const GrLfbInfo_t &info, uint8_t value) {
    FxU32 rows = grSstScreenHeight();
    if (info.lfbPtr == nullptr || rows == 0) return;
    uint8_t *memory = static_cast<uint8_t *>(info.lfbPtr);
    // The application may read and write strideInBytes × height bytes: all of them must be addressable.
    // It writes the first row; the shadow check of the rest costs an eighth of writing it.
    size_t bytes = static_cast<size_t>(info.strideInBytes) * rows;
    if (bytes == 0) return;
    if (__asan_region_is_poisoned(memory, bytes)) {
        fprintf(stderr, "grLfbLock answered %zu bytes of which some are not addressable\n", bytes);
        abort();
    }
    memset(memory, value, std::min<size_t>(bytes, info.strideInBytes));
}

void errorCallback(const char *, FxBool) {
    fprintf(stderr, "grErrorSetCallback's function was called\n");
    abort();
}

// Arguments are read in the order they are written (clang evaluates call arguments left to right; the seed
// writer relies on it).
void runCall(Op op, Reader &in, HWND window) {
    switch (op) {
    case op_ConvertAndDownloadRle: {
        Buffer data(64), table(512);
        ConvertAndDownloadRle(in.num(), in.unum(), in.num(), in.num(), in.num(), in.num(), in.unum(),
                              data.bytes, in.num(), in.unum(), in.unum(), in.unum(), in.unum(), in.unum(),
                              in.unum(), reinterpret_cast<FxU16 *>(table.bytes));
        break;
    }
    case op_grAADrawLine: {
        VertexArg a = vertexArg(in), b = vertexArg(in);
        grAADrawLine(a.get(), b.get());
        break;
    }
    case op_grAADrawPoint: {
        VertexArg a = vertexArg(in);
        grAADrawPoint(a.get());
        break;
    }
    case op_grAADrawPolygon:
    case op_grDrawPolygon:
    case op_grDrawPlanarPolygon: {
        Polygon p;
        readPolygon(p, in, true);
        if (!p.ok) break;
        bool nullList = nullPointer(in), nullVertices = nullPointer(in);
        const int *ilist = nullList ? nullptr : p.indices();
        const GrVertex *vlist = nullVertices ? nullptr : p.vertices();
        if (op == op_grAADrawPolygon) grAADrawPolygon(p.nverts, ilist, vlist);
        if (op == op_grDrawPolygon) grDrawPolygon(p.nverts, ilist, vlist);
        if (op == op_grDrawPlanarPolygon) grDrawPlanarPolygon(p.nverts, ilist, vlist);
        break;
    }
    case op_grAADrawPolygonVertexList:
    case op_grDrawPolygonVertexList:
    case op_grDrawPlanarPolygonVertexList:
    case op_guDrawPolygonVertexListWithClip: {
        Polygon p;
        readPolygon(p, in, false);
        if (!p.ok) break;
        const GrVertex *vlist = nullPointer(in) ? nullptr : p.vertices();
        if (op == op_grAADrawPolygonVertexList) grAADrawPolygonVertexList(p.nverts, vlist);
        if (op == op_grDrawPolygonVertexList) grDrawPolygonVertexList(p.nverts, vlist);
        if (op == op_grDrawPlanarPolygonVertexList) grDrawPlanarPolygonVertexList(p.nverts, vlist);
        if (op == op_guDrawPolygonVertexListWithClip) guDrawPolygonVertexListWithClip(p.nverts, vlist);
        break;
    }
    case op_grAADrawTriangle: {
        VertexArg a = vertexArg(in), b = vertexArg(in), c = vertexArg(in);
        grAADrawTriangle(a.get(), b.get(), c.get(), in.num(), in.num(), in.num());
        break;
    }
    case op_grDrawTriangle:
    case op_guDrawTriangleWithClip:
    case op_guAADrawTriangleWithClip: {
        VertexArg a = vertexArg(in), b = vertexArg(in), c = vertexArg(in);
        if (op == op_grDrawTriangle) grDrawTriangle(a.get(), b.get(), c.get());
        if (op == op_guDrawTriangleWithClip) guDrawTriangleWithClip(a.get(), b.get(), c.get());
        if (op == op_guAADrawTriangleWithClip) guAADrawTriangleWithClip(a.get(), b.get(), c.get());
        break;
    }
    case op_grDrawLine: {
        VertexArg a = vertexArg(in), b = vertexArg(in);
        grDrawLine(a.get(), b.get());
        break;
    }
    case op_grDrawPoint: {
        VertexArg a = vertexArg(in);
        grDrawPoint(a.get());
        break;
    }
    case op_grAlphaBlendFunction:
        grAlphaBlendFunction(in.num(), in.num(), in.num(), in.num());
        break;
    case op_grAlphaCombine:
        grAlphaCombine(in.num(), in.num(), in.num(), in.num(), in.num());
        break;
    case op_grAlphaControlsITRGBLighting:
        grAlphaControlsITRGBLighting(in.num());
        break;
    case op_grAlphaTestFunction:
        grAlphaTestFunction(in.num());
        break;
    case op_grAlphaTestReferenceValue:
        grAlphaTestReferenceValue(in.unum());
        break;
    case op_grBufferClear:
        grBufferClear(in.unum(), in.unum(), static_cast<FxU16>(in.unum()));
        break;
    case op_grBufferNumPending:
        if (grBufferNumPending() != 0) abort();
        break;
    case op_grBufferSwap:
        grBufferSwap(in.num());
        break;
    case op_grCheckForRoom:
        grCheckForRoom(in.num());
        break;
    case op_grChromakeyMode:
        grChromakeyMode(in.num());
        break;
    case op_grChromakeyValue:
        grChromakeyValue(in.unum());
        break;
    case op_grClipWindow:
        grClipWindow(in.unum(), in.unum(), in.unum(), in.unum());
        break;
    case op_grColorCombine:
        grColorCombine(in.num(), in.num(), in.num(), in.num(), in.num());
        break;
    case op_grColorMask:
        grColorMask(in.num(), in.num());
        break;
    case op_grConstantColorValue:
        grConstantColorValue(in.unum());
        break;
    case op_grConstantColorValue4: {
        float a = in.fl(), r = in.fl(), g = in.fl(), b = in.fl();
        grConstantColorValue4(a, r, g, b);
        break;
    }
    case op_grCullMode:
        grCullMode(in.num());
        break;
    case op_grDepthBiasLevel:
        grDepthBiasLevel(static_cast<FxI16>(in.num()));
        break;
    case op_grDepthBufferFunction:
        grDepthBufferFunction(in.num());
        break;
    case op_grDepthBufferMode:
        grDepthBufferMode(in.num());
        break;
    case op_grDepthMask:
        grDepthMask(in.num());
        break;
    case op_grDisableAllEffects:
        grDisableAllEffects();
        break;
    case op_grDitherMode:
        grDitherMode(in.num());
        break;
    case op_grErrorSetCallback:
        grErrorSetCallback(nullPointer(in) ? nullptr : errorCallback);
        break;
    case op_grFogColorValue:
        grFogColorValue(in.unum());
        break;
    case op_grFogMode:
        grFogMode(in.num());
        break;
    case op_grFogTable: {
        Buffer table(GR_FOG_TABLE_SIZE);
        table.fill(in);
        grFogTable(nullPointer(in) ? nullptr : table.bytes);
        break;
    }
    case op_grGammaCorrectionValue:
        grGammaCorrectionValue(in.fl());
        break;
    case op_grGlideGetState:
    case op_grGlideSetState: {
        Buffer state(sizeof(GrState));
        state.fill(in);
        GrState *pointer = nullPointer(in) ? nullptr : reinterpret_cast<GrState *>(state.bytes);
        if (op == op_grGlideGetState)
            grGlideGetState(pointer);
        else
            grGlideSetState(pointer);
        break;
    }
    case op_grGlideGetVersion: {
        Buffer version(80);
        grGlideGetVersion(nullPointer(in) ? nullptr : reinterpret_cast<char *>(version.bytes));
        break;
    }
    case op_grGlideInit:
        grGlideInit();
        break;
    case op_grGlideShamelessPlug:
        grGlideShamelessPlug(in.num());
        break;
    case op_grGlideShutdown:
        grGlideShutdown();
        break;
    case op_grHints:
        grHints(in.num(), in.unum());
        break;
    case op_grLfbConstantAlpha:
        grLfbConstantAlpha(in.unum());
        break;
    case op_grLfbConstantDepth:
        grLfbConstantDepth(static_cast<FxU16>(in.unum()));
        break;
    case op_grLfbLock: {
        GrLock_t type = in.num();
        GrBuffer_t buffer = in.num();
        GrLfbWriteMode_t mode = in.num();
        GrOriginLocation_t origin = in.num();
        FxBool pipeline = in.num();
        std::vector<GrLfbInfo_t> info(1);
        info[0].size = sizeof(GrLfbInfo_t);
        bool nullInfo = nullPointer(in);
        uint8_t value = in.byte();
        if (grLfbLock(type, buffer, mode, origin, pipeline, nullInfo ? nullptr : info.data()) && !nullInfo)
            touchLockedMemory(info[0], value);
        break;
    }
    case op_grLfbReadRegion: {
        GrBuffer_t buffer = in.num();
        FxU32 x = in.unum(), y = in.unum(), width = in.unum(), height = in.unum(), stride = in.unum();
        uint64_t bytes = width && height ? (uint64_t(height) - 1) * stride + uint64_t(width) * 2 : 0;
        if (bytes > bufferLimit) break;
        Buffer data(static_cast<size_t>(bytes));
        grLfbReadRegion(buffer, x, y, width, height, stride, nullPointer(in) ? nullptr : data.bytes);
        break;
    }
    case op_grLfbUnlock:
        grLfbUnlock(in.num(), in.num());
        break;
    case op_grLfbWriteColorFormat:
        grLfbWriteColorFormat(in.num());
        break;
    case op_grLfbWriteColorSwizzle:
        grLfbWriteColorSwizzle(in.num(), in.num());
        break;
    case op_grLfbWriteRegion: {
        GrBuffer_t buffer = in.num();
        FxU32 x = in.unum(), y = in.unum();
        GrLfbSrcFmt_t format = in.num();
        FxU32 width = in.unum(), height = in.unum();
        FxI32 stride = in.num();
        uint64_t pixel = 0;
        switch (format) {
        case GR_LFB_SRC_FMT_565:
        case GR_LFB_SRC_FMT_555:
        case GR_LFB_SRC_FMT_1555:
        case GR_LFB_SRC_FMT_ZA16:
        case 0xFF:
            pixel = 2;
            break;
        case GR_LFB_SRC_FMT_888:
        case GR_LFB_SRC_FMT_8888:
        case GR_LFB_SRC_FMT_565_DEPTH:
        case GR_LFB_SRC_FMT_555_DEPTH:
        case GR_LFB_SRC_FMT_1555_DEPTH:
            pixel = 4;
            break;
        default:
            pixel = 0; // formats the board does not write: the application has nothing to give
        }
        uint64_t magnitude = stride < 0 ? uint64_t(-int64_t(stride)) : uint64_t(stride);
        uint64_t bytes = width && height && pixel ? (uint64_t(height) - 1) * magnitude + width * pixel : 0;
        if (bytes > bufferLimit) break;
        Buffer data(static_cast<size_t>(bytes));
        data.fill(in);
        // A negative stride walks up from the first row, which then is the last row of the block.
        uint8_t *first = data.bytes;
        if (stride < 0 && height) first += (uint64_t(height) - 1) * magnitude;
        grLfbWriteRegion(buffer, x, y, format, width, height, stride, nullPointer(in) ? nullptr : first);
        break;
    }
    case op_grRenderBuffer:
        grRenderBuffer(in.num());
        break;
    case op_grResetTriStats:
        grResetTriStats();
        break;
    case op_grSplash: {
        float x = in.fl(), y = in.fl(), w = in.fl(), h = in.fl();
        grSplash(x, y, w, h, in.unum());
        break;
    }
    case op_grSstControl:
        grSstControl(in.unum());
        break;
    case op_grSstIdle:
        grSstIdle();
        break;
    case op_grSstIsBusy:
        grSstIsBusy();
        break;
    case op_grSstOrigin:
        grSstOrigin(in.num());
        break;
    case op_grSstPerfStats: {
        std::vector<GrSstPerfStats_t> stats(1);
        grSstPerfStats(nullPointer(in) ? nullptr : stats.data());
        break;
    }
    case op_grSstQueryBoards:
    case op_grSstQueryHardware: {
        std::vector<GrHwConfiguration> config(1);
        GrHwConfiguration *pointer = nullPointer(in) ? nullptr : config.data();
        if (op == op_grSstQueryBoards)
            grSstQueryBoards(pointer);
        else
            grSstQueryHardware(pointer);
        break;
    }
    case op_grSstResetPerfStats:
        grSstResetPerfStats();
        break;
    case op_grSstScreenHeight:
        grSstScreenHeight();
        break;
    case op_grSstScreenWidth:
        grSstScreenWidth();
        break;
    case op_grSstSelect:
        grSstSelect(in.num());
        break;
    case op_grSstStatus:
        grSstStatus();
        break;
    case op_grSstVRetraceOn:
        grSstVRetraceOn();
        break;
    case op_grSstVideoLine:
        grSstVideoLine();
        break;
    case op_grSstWinClose:
        grSstWinClose();
        break;
    case op_grSstWinOpen: {
        uint8_t target = in.byte();
        FxU32 hwnd = static_cast<FxU32>(reinterpret_cast<uintptr_t>(window));
        if (target % 4 == 1) hwnd = 0;
        if (target % 4 == 2) hwnd = 0xDEAD0;
        // Every code past the table opens 640 x 480; the plain byte values among them open the small
        // screens instead, which the simulation clears and presents many times faster. Tagged values
        // still reach every code.
        GrScreenResolution_t resolution = in.num();
        if (resolution > GR_RESOLUTION_2048x2048 && resolution < 0xF0)
            resolution = resolution % 2 ? GR_RESOLUTION_320x200 : GR_RESOLUTION_400x256;
        GrScreenRefresh_t refresh = in.num();
        GrColorFormat_t format = in.num();
        GrOriginLocation_t origin = in.num();
        int color = in.num(), aux = in.num();
        grSstWinOpen(hwnd, resolution, refresh, format, origin, color, aux);
        break;
    }
    case op_grTexCalcMemRequired:
        grTexCalcMemRequired(in.num(), in.num(), in.num(), in.num());
        break;
    case op_grTexClampMode:
        grTexClampMode(in.num(), in.num(), in.num());
        break;
    case op_grTexCombine:
        grTexCombine(in.num(), in.num(), in.num(), in.num(), in.num(), in.num(), in.num());
        break;
    case op_grTexCombineFunction:
        grTexCombineFunction(in.num(), in.num());
        break;
    case op_grTexDetailControl: {
        GrChipID_t tmu = in.num();
        int bias = in.num();
        FxU8 scale = in.byte();
        grTexDetailControl(tmu, bias, scale, in.fl());
        break;
    }
    case op_grTexDownloadMipMap:
    case op_grTexSource:
    case op_grTexMultibaseAddress:
    case op_grTexTextureMemRequired: {
        GrChipID_t tmu = in.num();
        FxU32 address = in.unum(), evenOdd = in.unum();
        GrTexBaseRange_t range = in.num();
        std::vector<GrTexInfo> info(1);
        info[0].smallLod = in.num();
        info[0].largeLod = in.num();
        info[0].aspectRatio = in.num();
        info[0].format = in.num();
        Buffer texels(levelBytes(info[0].largeLod, info[0].aspectRatio, info[0].format));
        texels.fill(in);
        info[0].data = nullPointer(in) ? nullptr : texels.bytes;
        GrTexInfo *pointer = nullPointer(in) ? nullptr : info.data();
        if (op == op_grTexDownloadMipMap) grTexDownloadMipMap(tmu, address, evenOdd, pointer);
        if (op == op_grTexSource) grTexSource(tmu, address, evenOdd, pointer);
        if (op == op_grTexMultibaseAddress) grTexMultibaseAddress(tmu, range, address, evenOdd, pointer);
        if (op == op_grTexTextureMemRequired) grTexTextureMemRequired(evenOdd, pointer);
        break;
    }
    case op_grTexDownloadMipMapLevel:
    case op_grTexDownloadMipMapLevelPartial: {
        GrChipID_t tmu = in.num();
        FxU32 address = in.unum();
        GrLOD_t thisLod = in.num(), largeLod = in.num();
        GrAspectRatio_t aspect = in.num();
        GrTextureFormat_t format = in.num();
        FxU32 evenOdd = in.unum();
        int start = in.num(), end = in.num();
        Buffer texels(levelBytes(thisLod, aspect, format));
        texels.fill(in);
        void *data = nullPointer(in) ? nullptr : texels.bytes;
        if (op == op_grTexDownloadMipMapLevel)
            grTexDownloadMipMapLevel(tmu, address, thisLod, largeLod, aspect, format, evenOdd, data);
        else
            grTexDownloadMipMapLevelPartial(tmu, address, thisLod, largeLod, aspect, format, evenOdd, data,
                                            start, end);
        break;
    }
    case op_grTexDownloadTable:
    case op_grTexDownloadTablePartial: {
        GrChipID_t tmu = in.num();
        GrTexTable_t type = in.num();
        int start = in.num(), end = in.num();
        size_t bytes = type == GR_TEXTABLE_PALETTE                              ? sizeof(GuTexPalette)
                       : (type == GR_TEXTABLE_NCC0 || type == GR_TEXTABLE_NCC1) ? sizeof(GuNccTable)
                                                                                : 0;
        Buffer table(bytes);
        table.fill(in);
        void *data = nullPointer(in) ? nullptr : table.bytes;
        if (op == op_grTexDownloadTable)
            grTexDownloadTable(tmu, type, data);
        else
            grTexDownloadTablePartial(tmu, type, data, start, end);
        break;
    }
    case op_grTexFilterMode:
        grTexFilterMode(in.num(), in.num(), in.num());
        break;
    case op_grTexLodBiasValue: {
        GrChipID_t tmu = in.num();
        grTexLodBiasValue(tmu, in.fl());
        break;
    }
    case op_grTexMaxAddress:
        grTexMaxAddress(in.num());
        break;
    case op_grTexMinAddress:
        grTexMinAddress(in.num());
        break;
    case op_grTexMipMapMode:
        grTexMipMapMode(in.num(), in.num(), in.num());
        break;
    case op_grTexMultibase:
        grTexMultibase(in.num(), in.num());
        break;
    case op_grTexNCCTable:
        grTexNCCTable(in.num(), in.num());
        break;
    case op_grTriStats: {
        std::vector<FxU32> counts(2);
        bool nullFirst = nullPointer(in), nullSecond = nullPointer(in);
        grTriStats(nullFirst ? nullptr : &counts[0], nullSecond ? nullptr : &counts[1]);
        break;
    }
    case op_gu3dfGetInfo:
    case op_gu3dfLoad: {
        // 3DF parsing has a fuzz target of its own; here only the paths without a file.
        std::vector<Gu3dfInfo> info(1);
        const char *name = nullPointer(in) ? nullptr : "no-such-file.3df";
        Gu3dfInfo *pointer = nullPointer(in) ? nullptr : info.data();
        if (op == op_gu3dfGetInfo)
            gu3dfGetInfo(name, pointer);
        else
            gu3dfLoad(name, pointer);
        break;
    }
    case op_guAlphaSource:
        guAlphaSource(in.num());
        break;
    case op_guColorCombineFunction:
        guColorCombineFunction(in.num());
        break;
    case op_guEncodeRLE16: {
        FxU32 width = in.unum(), height = in.unum();
        uint64_t texels = uint64_t(width) * height;
        if (texels > bufferLimit / 4) break; // texels * 4 wraps from 2^62 texels up
        Buffer source(static_cast<size_t>(texels * 2)), encoded(static_cast<size_t>(texels * 4));
        source.fill(in);
        bool nullDestination = nullPointer(in);
        void *src = nullPointer(in) ? nullptr : source.bytes;
        int size = guEncodeRLE16(nullDestination ? nullptr : encoded.bytes, src, width, height);
        if (size < 0 || static_cast<uint64_t>(size) > texels * 4) abort();
        break;
    }
    case op_guEndianSwapBytes:
        guEndianSwapBytes(static_cast<FxU16>(in.unum()));
        break;
    case op_guEndianSwapWords:
        guEndianSwapWords(in.unum());
        break;
    case op_guFogGenerateExp:
    case op_guFogGenerateExp2:
    case op_guFogGenerateLinear: {
        Buffer table(GR_FOG_TABLE_SIZE);
        GrFog_t *pointer = nullPointer(in) ? nullptr : table.bytes;
        float a = in.fl(), b = in.fl();
        if (op == op_guFogGenerateExp) guFogGenerateExp(pointer, a);
        if (op == op_guFogGenerateExp2) guFogGenerateExp2(pointer, a);
        if (op == op_guFogGenerateLinear) guFogGenerateLinear(pointer, a, b);
        break;
    }
    case op_guFogTableIndexToW:
        guFogTableIndexToW(in.num());
        break;
    case op_guMovieSetName:
        guMovieSetName(nullPointer(in) ? nullptr : "movie");
        break;
    case op_guMovieStart:
        guMovieStart();
        break;
    case op_guMovieStop:
        guMovieStop();
        break;
    case op_guTexAllocateMemory: {
        GrChipID_t tmu = in.num();
        FxU8 mask = in.byte();
        int w = in.num(), h = in.num();
        GrTextureFormat_t format = in.num();
        GrMipMapMode_t mode = in.num();
        GrLOD_t small = in.num(), large = in.num();
        GrAspectRatio_t aspect = in.num();
        GrTextureClampMode_t s = in.num(), t = in.num();
        GrTextureFilterMode_t minFilter = in.num(), magFilter = in.num();
        float bias = in.fl();
        guTexAllocateMemory(tmu, mask, w, h, format, mode, small, large, aspect, s, t, minFilter, magFilter,
                            bias, in.num());
        break;
    }
    case op_guTexChangeAttributes: {
        GrMipMapId_t id = in.num();
        int w = in.num(), h = in.num();
        GrTextureFormat_t format = in.num();
        GrMipMapMode_t mode = in.num();
        GrLOD_t small = in.num(), large = in.num();
        GrAspectRatio_t aspect = in.num();
        GrTextureClampMode_t s = in.num(), t = in.num();
        GrTextureFilterMode_t minFilter = in.num();
        guTexChangeAttributes(id, w, h, format, mode, small, large, aspect, s, t, minFilter, in.num());
        break;
    }
    case op_guTexCombineFunction:
        guTexCombineFunction(in.num(), in.num());
        break;
    case op_guTexCreateColorMipMap:
        // The block is the application's: the library keeps no reference to it. Filling its 170 KiB
        // teaches nothing new after the first time, so most draws of the code skip the call.
        if (in.byte() % 8 == 0) free(guTexCreateColorMipMap());
        break;
    case op_guTexDownloadMipMap: {
        Buffer texels(levelBytes(GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_16BIT));
        std::vector<GuNccTable> table(1);
        guTexDownloadMipMap(in.num(), nullPointer(in) ? nullptr : texels.bytes,
                            nullPointer(in) ? nullptr : table.data());
        break;
    }
    case op_guTexDownloadMipMapLevel: {
        Buffer texels(levelBytes(GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_16BIT));
        const void *levels[1] = {texels.bytes};
        GrMipMapId_t id = in.num();
        guTexDownloadMipMapLevel(id, in.num(), nullPointer(in) ? nullptr : levels);
        break;
    }
    case op_guTexGetCurrentMipMap:
        guTexGetCurrentMipMap(in.num());
        break;
    case op_guTexGetMipMapInfo:
        guTexGetMipMapInfo(in.num());
        break;
    case op_guTexMemQueryAvail:
        guTexMemQueryAvail(in.num());
        break;
    case op_guTexMemReset:
        guTexMemReset();
        break;
    case op_guTexSource:
        guTexSource(in.num());
        break;
    case op_loseSurfaces:
        sim::loseSurfaces();
        break;
    case op_failNextCall: {
        uint8_t name = in.byte(), occurrence = in.byte();
        sim::failCall(faultNames[name % (sizeof(faultNames) / sizeof(faultNames[0]))], 1 + occurrence % 8,
                      faultResults[occurrence >> 6]);
        break;
    }
    case op_reloadLibrary:
        DllMain(module, DLL_PROCESS_DETACH, nullptr);
        DllMain(module, DLL_PROCESS_ATTACH, nullptr);
        break;
    case op_setVerticalBlank: {
        uint8_t state = in.byte();
        sim::setVerticalBlank(state & 1, (state & 2) ? DDERR_GENERIC : DD_OK);
        sim::setScanLine(state, (state & 4) ? DDERR_GENERIC : DD_OK);
        break;
    }
    case opCount:
        break;
    }
}

unsigned short fpuControlWord() {
    unsigned short word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void setFpuControlWord(unsigned short word) {
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const OpTable table;
    static const std::vector<unsigned char> bitmap =
        sim::makeBmp24(16, 8, [](int x, int y) { return static_cast<uint32_t>(x * 0x100F + y * 0x30000); });
    const unsigned short controlWord = fpuControlWord();

    sim::reset();
    sim::setRecording(false);
    sim::setNewSurfacesCleared(false);
    sim::registerBitmapResource(module, "LOGO", bitmap);
    sim::registerBitmapResource(module, "SPLASH", bitmap);
    Reader in(data, size);
    HWND window = nullptr;
    configureMachine(in, window);

    // Nothing carries over from the input before, as nothing does between two loads of the DLL.
    resetLoadState();
    DllMain(module, DLL_PROCESS_ATTACH, nullptr);
    // GLIDE2_FUZZ_TRACE=1 lists the calls of an input, to read a crash or check a seed.
    static const bool trace = getenv("GLIDE2_FUZZ_TRACE") != nullptr;
    for (int calls = 0; !in.done() && calls < 400; ++calls) {
        Op op = table.ops[in.byte()];
        if (trace) fprintf(stderr, "%s\n", opNames[op]);
        runCall(op, in, window);
    }
    DllMain(module, DLL_PROCESS_DETACH, nullptr);
    setFpuControlWord(controlWord);

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
