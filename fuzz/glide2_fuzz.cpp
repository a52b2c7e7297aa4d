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
#include <vector>

#include "fuzz_machine.h"
#include "glide2x.h"
#include "glide2_fuzz_input.h"

using namespace fuzzinput;
using namespace fuzzmachine;

namespace {

const char *const opNames[] = {
#define GLIDE2_FUZZ_OP(name) #name,
#include "glide2_fuzz_ops.h"
#undef GLIDE2_FUZZ_OP
};

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

// The Glide 2 inputs give the large level only, as they always have.
// An application's texels hold every level from largeLod down to smallLod.
size_t textureBytes(const GrTexInfo &info) {
    size_t bytes = levelBytes(info.largeLod, info.aspectRatio, info.format);
    if (bytes == 0 || info.smallLod > GR_LOD_1) return bytes;
    for (GrLOD_t lod = info.largeLod + 1; lod <= info.smallLod; ++lod)
        bytes += levelBytes(lod, info.aspectRatio, info.format);
    return bytes;
}

FxU32 lockedLines() {
    return grSstScreenHeight();
}

// Glide 2 frame-buffer writes have no pixel-pipeline argument.
FxBool readPixelPipeline(Reader &) {
    return FXFALSE;
}

void writeRegion(GrBuffer_t buffer, FxU32 x, FxU32 y, GrLfbSrcFmt_t format, FxU32 width, FxU32 height, FxBool,
                 FxI32 stride, void *data) {
    grLfbWriteRegion(buffer, x, y, format, width, height, stride, data);
}

} // namespace

#include "glide_common_calls.h"

namespace {

// Arguments are read in the order they are written (clang evaluates call arguments left to right; the seed
// writer relies on it).
void runCall(Reader &in, HWND window, bool trace) {
    static const OpTable table;
    Op op = table.ops[in.byte()];
    if (trace) fprintf(stderr, "%s\n", opNames[op]);
    if (runCommonCall(op, in)) return;
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
    case op_grBufferNumPending:
        if (grBufferNumPending() != 0) abort();
        break;
    case op_grCheckForRoom:
        grCheckForRoom(in.num());
        break;
    case op_grConstantColorValue4: {
        float a = in.fl(), r = in.fl(), g = in.fl(), b = in.fl();
        grConstantColorValue4(a, r, g, b);
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
    case op_grGlideShamelessPlug:
        grGlideShamelessPlug(in.num());
        break;
    case op_grHints:
        grHints(in.num(), in.unum());
        break;
    case op_grResetTriStats:
        grResetTriStats();
        break;
    case op_grSstControl:
        grSstControl(in.unum());
        break;
    case op_grSstIdle:
        grSstIdle();
        break;
    case op_grSstIsBusy:
        grSstIsBusy();
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
        GrScreenResolution_t resolution;
        openWindow(in, window, resolution);
        break;
    }
    case op_grTexCombineFunction:
        grTexCombineFunction(in.num(), in.num());
        break;
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
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return runInput(data, size, runCall, "GLIDE2_FUZZ_TRACE");
}
