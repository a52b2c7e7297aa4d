// libFuzzer target: the input decodes into a simulated machine (settings store, window, device
// capabilities, texture formats, injected failures) and a sequence of tessel3 calls with their arguments.
// Every pointer handed to the library points at a buffer of exactly the size the call may read or write:
// vertices as large as the application's vertex layout says, texel chains as large as grTexTextureMemRequired
// says, tables, grGet results and saved states as long as the call is told. AddressSanitizer reports any
// access beyond them. After the sequence the library is unloaded and the simulation must hold no COM
// reference, no locked surface, no GDI object, file or registry key.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_machine.h"
#include "glide3x.h"
#include "glide3_fuzz_input.h"

using namespace fuzzinput;
using namespace fuzzmachine;

namespace {

const char *const opNames[] = {
#define GLIDE3_FUZZ_OP(name) #name,
#include "glide3_fuzz_ops.h"
#undef GLIDE3_FUZZ_OP
};

const size_t vertexLayoutBytes = 108;
// Arrays up to two batches of the library's vertex buffer and a part.
const FxU32 arrayVertexLimit = 20000;
// grGet, state and gamma-table lengths up to this many bytes are given; longer ones are skipped.
const FxU32 lengthLimit = 1u << 16;
const int vertexPoolSize = 4;
// Games keep a layout or two of their own to switch between.
const int savedLayoutSlots = 2;

// Screen lines by resolution code; codes past the table open 640 x 480.
const FxU32 screenLines[] = {200, 240,  256,  384, 200, 350, 400,  480,  600,  720,  480,  256,
                             768, 1024, 1200, 300, 864, 960, 1024, 1344, 1392, 1440, 1536, 2048};
const FxU32 fallbackLines = 480;

// The application's view of its vertex layout: what it told grVertexLayout, and so how many bytes each
// of its vertices has.
struct LayoutModel {
    FxI32 offset[storedVertexParams] = {};
    FxU32 mode[storedVertexParams] = {};

    // The position is read whatever its mode: every vertex a game draws has one.
    bool present(size_t i) const {
        return vertexParams[i].param == GR_PARAM_XY || mode[i] != GR_PARAM_DISABLE;
    }

    size_t vertexBytes() const {
        size_t bytes = 0;
        for (size_t i = 0; i < storedVertexParams; ++i)
            if (present(i)) bytes = std::max(bytes, static_cast<size_t>(offset[i]) + vertexParams[i].bytes);
        return bytes;
    }
};

// A layout the application took with grGlideGetVertexLayout, to switch back to it later.
struct SavedLayout {
    bool taken = false;
    LayoutModel model;
    std::vector<uint8_t> bytes;
};

// What the application keeps between its calls; nothing carries over from one input to the next.
struct Application {
    LayoutModel layout;
    SavedLayout savedLayouts[savedLayoutSlots];
    std::vector<uint8_t> savedState;
    GrContext_t context = 0;
    FxU32 lines = fallbackLines;
};

Application app;

// A vertex as large as the layout says, its enabled parameters read from the input.
void readVertex(Reader &in, Buffer &vertex) {
    vertex.allocate(app.layout.vertexBytes());
    memset(vertex.bytes, 0, vertex.size);
    for (size_t i = 0; i < storedVertexParams; ++i) {
        if (!app.layout.present(i)) continue;
        for (FxU32 word = 0; word < vertexParams[i].bytes / 4; ++word) {
            float value = in.fl();
            memcpy(vertex.bytes + app.layout.offset[i] + 4 * word, &value, sizeof(value));
        }
    }
}

// One vertex argument in its own block, or null for one case in eight.
const void *vertexArg(Reader &in, Buffer &vertex) {
    if (nullPointer(in)) return nullptr;
    readVertex(in, vertex);
    return vertex.bytes;
}

// A few distinct vertices that an array's entries cycle through, each in its own block.
struct VertexPool {
    Buffer vertices[vertexPoolSize];
    int distinct = 1;
    uint8_t step = 0;
    void read(Reader &in) {
        distinct = 1 + in.byte() % vertexPoolSize;
        for (int i = 0; i < distinct; ++i)
            readVertex(in, vertices[i]);
        step = in.byte();
    }
    Buffer &at(size_t i) { return vertices[(i * (step | 1) + step) % static_cast<size_t>(distinct)]; }
};

// Glide 3 texture sizes: levels are base-2 logarithms, aspects too (positive: wider than high).
size_t levelTexels(GrLOD_t lod, GrAspectRatio_t aspect) {
    if (lod < GR_LOD_LOG2_1 || lod > GR_LOD_LOG2_256) return 0;
    size_t width = size_t(1) << lod, height = width;
    if (aspect > GR_ASPECT_LOG2_1x1 && aspect <= GR_ASPECT_LOG2_8x1) height >>= aspect;
    if (aspect < GR_ASPECT_LOG2_1x1 && aspect >= GR_ASPECT_LOG2_1x8) width >>= -aspect;
    return std::max<size_t>(width, 1) * std::max<size_t>(height, 1);
}

size_t texelBytes(GrTextureFormat_t format) {
    return static_cast<FxU32>(format) >= GR_TEXFMT_16BIT ? 2 : 1;
}

size_t levelBytes(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format) {
    return levelTexels(lod, aspect) * texelBytes(format);
}

// The whole mipmap chain, as large as the library says it is.
size_t textureBytes(const GrTexInfo &info) {
    GrTexInfo asked = info;
    return std::min<size_t>(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &asked), bufferLimit);
}

FxU32 lockedLines() {
    return app.lines;
}

FxBool readPixelPipeline(Reader &in) {
    return in.num();
}

void writeRegion(GrBuffer_t buffer, FxU32 x, FxU32 y, GrLfbSrcFmt_t format, FxU32 width, FxU32 height,
                 FxBool pipeline, FxI32 stride, void *data) {
    grLfbWriteRegion(buffer, x, y, format, width, height, pipeline, stride, data);
}

size_t tableBytes(GrTexTable_t type) {
    switch (type) {
    case GR_TEXTABLE_NCC0:
    case GR_TEXTABLE_NCC1:
        return sizeof(GuNccTable);
    case GR_TEXTABLE_PALETTE:
    case GR_TEXTABLE_PALETTE_6666_EXT:
        return sizeof(GuTexPalette);
    default:
        return 0;
    }
}

// A 3DF file as the vendor's tools write it, from the input: format word, level range, aspect terms, the
// table its format has, and the texels of every level, cut short or not.
std::string make3df(Reader &in) {
    static const char *const words[] = {"rgb332", "yiq",      "a8",       "p8",   "argb8332", "ayiq8422",
                                        "rgb565", "argb1555", "argb4444", "ap88", "i8",       "3df"};
    static const int sizes[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};
    static const int terms[] = {1, 2, 4, 8};
    uint8_t word = in.byte() % (sizeof(words) / sizeof(words[0]));
    uint8_t small = in.byte(), large = in.byte(), shape = in.byte();
    int smallest = small < 9 ? sizes[small] : in.num(), largest = large < 9 ? sizes[large] : in.num();
    int termA = terms[shape & 3], termB = terms[(shape >> 2) & 3];
    std::string file = "3df v1.0\n" + std::string(words[word]) + "\nlod range: " + std::to_string(smallest) +
                       " " + std::to_string(largest) + "\naspect ratio: " + std::to_string(termA) + " " +
                       std::to_string(termB) + "\n";
    const size_t paletteBytes = 1024, nccBytes = 80;
    size_t bytes = word == 3 || word == 9 ? paletteBytes : word == 1 || word == 5 ? nccBytes : 0;
    size_t perTexel = word >= 4 && word <= 9 ? 2 : 1;
    for (int size = std::min(largest, 256); size >= std::max(smallest, 1); size /= 2)
        bytes += perTexel * std::max(1, size / termA) * std::max(1, size / termB);
    bytes -= std::min<size_t>(bytes, in.byte() * size_t(8));
    Buffer data(bytes);
    data.fill(in);
    file.append(reinterpret_cast<const char *>(data.bytes), data.size);
    return file;
}

} // namespace

#include "glide_common_calls.h"

namespace {

FxI32 glideStateSize() {
    FxI32 size = 0;
    grGet(GR_GLIDE_STATE_SIZE, sizeof(size), &size);
    return size;
}

void drawCall(Op op, Reader &in) {
    Buffer a, b, c;
    switch (op) {
    case op_grDrawPoint: {
        const void *pa = vertexArg(in, a);
        grDrawPoint(pa);
        break;
    }
    case op_grDrawLine: {
        const void *pa = vertexArg(in, a), *pb = vertexArg(in, b);
        grDrawLine(pa, pb);
        break;
    }
    case op_grDrawTriangle: {
        const void *pa = vertexArg(in, a), *pb = vertexArg(in, b), *pc = vertexArg(in, c);
        grDrawTriangle(pa, pb, pc);
        break;
    }
    case op_grAADrawTriangle: {
        const void *pa = vertexArg(in, a), *pb = vertexArg(in, b), *pc = vertexArg(in, c);
        FxBool ab = in.num(), bc = in.num(), ca = in.num();
        grAADrawTriangle(pa, pb, pc, ab, bc, ca);
        break;
    }
    default:
        break;
    }
}

void vertexArrayCall(Op op, Reader &in) {
    FxU32 mode = in.unum(), count = in.unum();
    if (count > arrayVertexLimit) return;
    VertexPool pool;
    pool.read(in);
    if (op == op_grDrawVertexArray) {
        Buffer pointers(count * sizeof(void *));
        for (size_t i = 0; i < count; ++i)
            pointers.as<void *>()[i] = pool.at(i).bytes;
        grDrawVertexArray(mode, count, nullPointer(in) ? nullptr : pointers.bytes);
        return;
    }
    FxU32 stride = in.byte() * static_cast<FxU32>(vertexOffsetUnit);
    size_t vertexBytes = app.layout.vertexBytes();
    uint64_t bytes = count ? (uint64_t(count) - 1) * stride + vertexBytes : 0;
    if (bytes > bufferLimit) return;
    Buffer vertices(static_cast<size_t>(bytes));
    for (size_t i = 0; i < count; ++i)
        memcpy(vertices.bytes + i * stride, pool.at(i).bytes,
               std::min<size_t>(vertexBytes, bytes - i * stride));
    grDrawVertexArrayContiguous(mode, count, nullPointer(in) ? nullptr : vertices.bytes, stride);
}

void layoutCall(Op op, Reader &in) {
    switch (op) {
    case op_grVertexLayout: {
        uint8_t which = in.byte();
        FxU32 param = which < vertexParamCount ? vertexParams[which].param : in.unum();
        FxI32 offset = in.byte() * vertexOffsetUnit;
        FxU32 mode = in.unum();
        grVertexLayout(param, offset, mode);
        for (size_t i = 0; i < storedVertexParams; ++i)
            if (vertexParams[i].param == param) {
                app.layout.offset[i] = offset;
                app.layout.mode[i] = mode;
            }
        break;
    }
    case op_grGlideGetVertexLayout: {
        SavedLayout &saved = app.savedLayouts[in.byte() % savedLayoutSlots];
        Buffer layout(vertexLayoutBytes);
        if (nullPointer(in)) {
            grGlideGetVertexLayout(nullptr);
            break;
        }
        grGlideGetVertexLayout(layout.bytes);
        saved.bytes.assign(layout.bytes, layout.bytes + layout.size);
        saved.model = app.layout;
        saved.taken = true;
        break;
    }
    case op_grGlideSetVertexLayout: {
        // The application restores a layout it saved, or one of nothing enabled.
        const SavedLayout &saved = app.savedLayouts[in.byte() % savedLayoutSlots];
        Buffer layout(vertexLayoutBytes);
        memset(layout.bytes, 0, layout.size);
        if (nullPointer(in)) {
            grGlideSetVertexLayout(nullptr);
            break;
        }
        if (saved.taken) memcpy(layout.bytes, saved.bytes.data(), layout.size);
        grGlideSetVertexLayout(layout.bytes);
        app.layout = saved.taken ? saved.model : LayoutModel();
        break;
    }
    default:
        break;
    }
}

void queryCall(Op op, Reader &in) {
    switch (op) {
    case op_grGet: {
        FxU32 pname = in.unum(), length = in.unum();
        if (length > lengthLimit) break;
        Buffer params(length);
        FxU32 written = grGet(pname, length, nullPointer(in) ? nullptr : params.as<FxI32>());
        if (written > length) {
            fprintf(stderr, "grGet(0x%x) wrote %u bytes into %u\n", pname, written, length);
            abort();
        }
        break;
    }
    case op_grGetString: {
        const char *text = grGetString(in.unum());
        if (text == nullptr || strlen(text) > lengthLimit) abort();
        break;
    }
    case op_grQueryResolutions: {
        std::vector<GrResolution> wanted(1);
        wanted[0].resolution = in.num();
        wanted[0].refresh = in.num();
        wanted[0].numColorBuffers = in.num();
        wanted[0].numAuxBuffers = in.num();
        const GrResolution *pattern = nullPointer(in) ? nullptr : wanted.data();
        FxI32 bytes = grQueryResolutions(pattern, nullptr);
        if (bytes < 0 || static_cast<FxU32>(bytes) > lengthLimit) abort();
        Buffer output(static_cast<size_t>(bytes));
        grQueryResolutions(pattern, nullPointer(in) ? nullptr : output.as<GrResolution>());
        break;
    }
    case op_grReset: {
        FxU32 what = in.unum();
        if (grReset(what) && what == GR_VERTEX_PARAMETER) app.layout = LayoutModel();
        break;
    }
    case op_grGetProcAddress: {
        static const char *const names[] = {"grGetGammaTableExt", "grChromaRangeExt", "grTexDownloadTableExt",
                                            ""};
        std::string name = names[in.byte() % 4];
        Buffer text(name.size() + 1);
        memcpy(text.bytes, name.c_str(), text.size);
        grGetProcAddress(nullPointer(in) ? nullptr : text.as<char>());
        break;
    }
    case op_grGlideGetState:
    case op_grGlideSetState: {
        FxI32 size = glideStateSize();
        if (size < 0 || static_cast<FxU32>(size) > lengthLimit) break;
        Buffer state(static_cast<size_t>(size));
        state.fill(in);
        if (nullPointer(in)) {
            if (op == op_grGlideGetState)
                grGlideGetState(nullptr);
            else
                grGlideSetState(nullptr);
            break;
        }
        if (op == op_grGlideGetState) {
            grGlideGetState(state.bytes);
            app.savedState.assign(state.bytes, state.bytes + state.size);
        } else {
            // The application restores a state it saved.
            if (app.savedState.size() == state.size) memcpy(state.bytes, app.savedState.data(), state.size);
            grGlideSetState(state.bytes);
        }
        break;
    }
    default:
        break;
    }
}

void sessionCall(Op op, Reader &in, HWND window) {
    switch (op) {
    case op_grSstWinOpen: {
        GrScreenResolution_t resolution;
        app.context = openWindow(in, window, resolution);
        app.lines = resolution >= GR_RESOLUTION_MIN && resolution <= GR_RESOLUTION_MAX
                        ? screenLines[resolution]
                        : fallbackLines;
        break;
    }
    case op_grSstWinClose:
    case op_grSelectContext: {
        GrContext_t context = in.byte() % 4 == 3 ? in.unum() : app.context;
        if (op == op_grSstWinClose)
            grSstWinClose(context);
        else
            grSelectContext(context);
        break;
    }
    case op_grFlush:
        grFlush();
        break;
    case op_grFinish:
        grFinish();
        break;
    case op_grViewport: {
        FxI32 x = in.num(), y = in.num(), w = in.num();
        grViewport(x, y, w, in.num());
        break;
    }
    case op_grCoordinateSpace:
        grCoordinateSpace(in.unum());
        break;
    case op_grDepthRange: {
        float n = in.fl();
        grDepthRange(n, in.fl());
        break;
    }
    case op_grEnable:
        grEnable(in.unum());
        break;
    case op_grDisable:
        grDisable(in.unum());
        break;
    case op_grLoadGammaTable: {
        FxU32 entries = in.unum();
        if (entries > lengthLimit / 4) break;
        Buffer red(entries * 4), green(entries * 4), blue(entries * 4);
        red.fill(in);
        green.fill(in);
        blue.fill(in);
        grLoadGammaTable(entries, nullPointer(in) ? nullptr : red.as<FxU32>(), green.as<FxU32>(),
                         blue.as<FxU32>());
        break;
    }
    case op_guGammaCorrectionRGB: {
        float r = in.fl(), g = in.fl();
        guGammaCorrectionRGB(r, g, in.fl());
        break;
    }
    default:
        break;
    }
}

void textureCall(Op op, Reader &in) {
    switch (op) {
    case op_grTexDownloadTable:
    case op_grTexDownloadTablePartial: {
        GrTexTable_t type = in.unum();
        int start = in.num(), end = in.num();
        Buffer table(tableBytes(type));
        table.fill(in);
        void *data = nullPointer(in) ? nullptr : table.bytes;
        if (op == op_grTexDownloadTable)
            grTexDownloadTable(type, data);
        else
            grTexDownloadTablePartial(type, data, start, end);
        break;
    }
    case op_grTexNCCTable:
        grTexNCCTable(in.unum());
        break;
    case op_gu3dfGetInfo:
    case op_gu3dfLoad: {
        // The library opens files with the C runtime: the names are the simulation's full paths.
        const std::string file = sim::currentDirectory() + "/texture.3df";
        const std::string missing = sim::currentDirectory() + "/missing.3df";
        sim::writeFile(file.c_str(), make3df(in));
        const char *name = nullPointer(in) ? nullptr : in.byte() % 8 == 7 ? missing.c_str() : file.c_str();
        std::vector<Gu3dfInfo> info(1);
        Gu3dfInfo *pointer = nullPointer(in) ? nullptr : info.data();
        // A record the application altered must not be trusted either.
        bool alter = in.byte() % 8 == 7;
        GrLOD_t alteredLod = alter ? in.num() : 0;
        if (!gu3dfGetInfo(name, pointer) || op == op_gu3dfGetInfo || pointer == nullptr) break;
        if (info[0].mem_required > bufferLimit) break;
        Buffer texels(info[0].mem_required);
        info[0].data = texels.bytes;
        if (alter) info[0].header.large_lod = alteredLod;
        gu3dfLoad(name, pointer);
        break;
    }
    default:
        break;
    }
}

void runCall(Reader &in, HWND window, bool trace) {
    static const OpTable table;
    Op op = table.ops[in.byte()];
    if (trace) fprintf(stderr, "%s\n", opNames[op]);
    if (runCommonCall(op, in)) return;
    drawCall(op, in);
    if (op == op_grDrawVertexArray || op == op_grDrawVertexArrayContiguous) vertexArrayCall(op, in);
    layoutCall(op, in);
    queryCall(op, in);
    sessionCall(op, in, window);
    textureCall(op, in);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    app = Application();
    int result = runInput(data, size, runCall, "GLIDE3_FUZZ_TRACE");
    app = Application();
    return result;
}
