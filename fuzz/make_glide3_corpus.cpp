// Writes the seed corpus of the Glide 3 call-sequence fuzz target: the call streams of the Glide 3 Wine
// programs and of the host unit tests' scenarios, in the target's input format. Each Seed method writes one
// call exactly as glide3_fuzz.cpp reads it back.
//   clang++ -std=c++17 -Iinclude -Ifuzz fuzz/make_glide3_corpus.cpp -o /tmp/seeds && /tmp/seeds
//   fuzz/corpus/glide3
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "glide3x.h"
#include "glide3_fuzz_input.h"
#include "glide_common_seed.h"

using namespace fuzzinput;

namespace {

// The application vertex most seeds use: x, y, z, 1/w, r, g, b, a, s, t as floats, in that order.
struct Vertex {
    float x, y, z, oow, r, g, b, a, s, t;
    FxU32 argb;
};

const FxI32 offsetX = 0, offsetZ = 8, offsetQ = 12, offsetRgb = 16, offsetA = 28, offsetSt0 = 32;

Vertex vertex(float x, float y, float oow = 1.0f) {
    return Vertex{x,           y,    1000.0f,      oow,         200.0f / 255, 100.0f / 255,
                  50.0f / 255, 1.0f, 128.0f * oow, 64.0f * oow, 0xFFC86432};
}

class Seed : public CommonSeed {
  public:
    using CommonSeed::CommonSeed;

    // The parameters this seed has enabled, as the target's model of the layout.
    bool enabled[storedVertexParams] = {};
    bool saved[2][storedVertexParams] = {};

    // The context grSstWinOpen gave.
    void winClose() {
        w.op(op_grSstWinClose);
        w.byte(0);
    }
    void selectContext(uint32_t context) {
        w.op(op_grSelectContext);
        w.byte(3);
        w.num(context);
    }
    void get(uint32_t pname, uint32_t length) {
        w.op(op_grGet);
        w.num(pname);
        w.num(length);
        valid();
    }
    void getString(uint32_t pname) { oneArg(op_grGetString, pname); }
    void clipWindow(uint32_t minx, uint32_t miny, uint32_t maxx, uint32_t maxy) {
        w.op(op_grClipWindow);
        w.num(minx);
        w.num(miny);
        w.num(maxx);
        w.num(maxy);
    }
    void layout(uint32_t param, FxI32 offset, uint32_t mode = GR_PARAM_ENABLE) {
        w.op(op_grVertexLayout);
        for (size_t i = 0; i < vertexParamCount; ++i)
            if (vertexParams[i].param == param) {
                w.byte(static_cast<uint8_t>(i));
                if (i < storedVertexParams) enabled[i] = mode != GR_PARAM_DISABLE;
            }
        w.byte(static_cast<uint8_t>(offset / vertexOffsetUnit));
        w.num(mode);
    }
    // The layout of Vertex.
    void standardLayout() {
        layout(GR_PARAM_XY, offsetX);
        layout(GR_PARAM_Z, offsetZ);
        layout(GR_PARAM_Q, offsetQ);
        layout(GR_PARAM_RGB, offsetRgb);
        layout(GR_PARAM_A, offsetA);
        layout(GR_PARAM_ST0, offsetSt0);
    }
    void resetLayout() {
        oneArg(op_grReset, GR_VERTEX_PARAMETER);
        for (bool &e : enabled)
            e = false;
    }
    // The enabled parameters' values in the target's order.
    void vertexFields(const Vertex &v) {
        for (size_t i = 0; i < storedVertexParams; ++i) {
            if (!enabled[i]) continue;
            std::vector<float> values;
            switch (vertexParams[i].param) {
            case GR_PARAM_XY:
                values = {v.x, v.y};
                break;
            case GR_PARAM_Z:
                values = {v.z};
                break;
            case GR_PARAM_W:
            case GR_PARAM_Q:
            case GR_PARAM_Q0:
            case GR_PARAM_Q1:
                values = {v.oow};
                break;
            case GR_PARAM_A:
                values = {v.a};
                break;
            case GR_PARAM_RGB:
                values = {v.r, v.g, v.b};
                break;
            case GR_PARAM_ST0:
            case GR_PARAM_ST1:
                values = {v.s, v.t};
                break;
            case GR_PARAM_PARGB:
                values.resize(1);
                memcpy(values.data(), &v.argb, sizeof(v.argb));
                break;
            default:
                values.assign(vertexParams[i].bytes / 4, 0.0f);
            }
            for (float f : values)
                w.fl(f);
        }
    }
    void vertexArg(const Vertex &v) {
        valid();
        vertexFields(v);
    }
    void point(const Vertex &a) {
        w.op(op_grDrawPoint);
        vertexArg(a);
    }
    void line(const Vertex &a, const Vertex &b) {
        w.op(op_grDrawLine);
        vertexArg(a);
        vertexArg(b);
    }
    // grDrawTriangle, or grAADrawTriangle with the first and last edges antialiased.
    void triangle(const Vertex &a, const Vertex &b, const Vertex &c, Op op = op_grDrawTriangle) {
        w.op(op);
        for (const Vertex *v : {&a, &b, &c})
            vertexArg(*v);
        if (op != op_grAADrawTriangle) return;
        for (FxBool edge : {FXTRUE, FXFALSE, FXTRUE})
            w.num(edge);
    }
    // grDrawVertexArray or grDrawVertexArrayContiguous over count entries cycling through pool.
    void vertexArray(Op op, uint32_t mode, uint32_t count, const std::vector<Vertex> &pool, uint8_t step = 0,
                     FxU32 stride = 0) {
        w.op(op);
        w.num(mode);
        w.num(count);
        w.byte(static_cast<uint8_t>(pool.size() - 1));
        for (const Vertex &v : pool)
            vertexFields(v);
        w.byte(step);
        if (op == op_grDrawVertexArrayContiguous) w.byte(static_cast<uint8_t>(stride / vertexOffsetUnit));
        valid();
    }
    void saveLayout(uint8_t slot = 0) {
        w.op(op_grGlideGetVertexLayout);
        w.byte(slot);
        valid();
        std::copy(enabled, enabled + storedVertexParams, saved[slot]);
    }
    void restoreLayout(uint8_t slot = 0) {
        w.op(op_grGlideSetVertexLayout);
        w.byte(slot);
        valid();
        std::copy(saved[slot], saved[slot] + storedVertexParams, enabled);
    }
    void state(Op op) {
        w.op(op);
        fill(1);
        valid();
    }
    void texTable(Op op, uint32_t type, uint8_t fillSeed) {
        w.op(op);
        w.num(type);
        w.num(0);
        w.num(255);
        fill(fillSeed);
        valid();
    }
    void pixelPipeline() override { w.num(FXFALSE); }
    // gu3dfLoad (after gu3dfGetInfo) of a generated file: format word index, level size indices, aspect
    // terms, how many eight-byte blocks are cut from its end.
    void load3df(Op op, uint8_t word, uint8_t small, uint8_t large, uint8_t shape, uint8_t cut) {
        w.op(op);
        w.byte(word);
        w.byte(small);
        w.byte(large);
        w.byte(shape);
        w.byte(cut);
        fill(word);
        valid();   // file name
        w.byte(0); // the generated file
        valid();   // info
        w.byte(0); // the record as gu3dfGetInfo left it
    }
};

const std::vector<Vertex> quad = {vertex(10, 10, 0.5f), vertex(300, 10, 0.25f), vertex(300, 190, 0.5f),
                                  vertex(10, 190, 1.0f)};

// The Wine programs, call for call.
void wineSeeds(const std::string &dir) {
    Seed context;
    context.glideInit();
    context.getString(GR_VERSION);
    context.winOpen(GR_RESOLUTION_640x480);
    context.get(GR_BITS_DEPTH, sizeof(FxI32));
    context.getString(GR_HARDWARE);
    context.bufferClear(0x00FF8000, 0, 0xFFFF);
    context.clipWindow(100, 100, 300, 200);
    context.bufferClear(0x0000FF00, 0, 0xFFFF);
    context.clipWindow(0, 0, 640, 480);
    context.bufferSwap(1);
    context.winClose();
    context.winClose();
    context.glideShutdown();
    context.save(dir, "wine-glide3-context");

    // Strips, fans, polygon, lists, lines and points from packed and float colours; arrays of more
    // distinct vertices than a seed's pool holds cycle through their first four.
    Seed draw;
    draw.start(GR_RESOLUTION_640x480);
    draw.bufferClear(0x00202020, 0, 0xFFFF);
    draw.combine(op_grColorCombine, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    draw.combine(op_grAlphaCombine, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    draw.alphaBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
    draw.oneArg(op_grDepthBufferMode, GR_DEPTHBUFFER_DISABLE);
    draw.oneArg(op_grCullMode, GR_CULL_POSITIVE);
    // The program's vertex: x, y, packed colour, red, green, blue, alpha.
    const FxI32 packedAt = 8, redAt = 12, alphaAt = 24;
    draw.layout(GR_PARAM_XY, 0);
    draw.layout(GR_PARAM_PARGB, packedAt);
    const float snap = 786432.0f;
    auto at = [&](float x, float y) { return vertex(x + snap, y + snap); };
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_STRIP, 4,
                     {at(20, 20), at(20, 100), at(120, 20), at(120, 100)});
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_STRIP_CONTINUE, 2, {at(220, 20), at(220, 100)});
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_STRIP, 3, {at(20, 120), at(20, 200), at(120, 120)});
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_STRIP_CONTINUE, 3,
                     {at(120, 200), at(220, 120), at(220, 200)});
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_FAN, 3, {at(320, 60), at(380, 20), at(260, 20)});
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_FAN_CONTINUE, 3,
                     {at(260, 100), at(380, 100), at(380, 20)});
    draw.vertexArray(op_grDrawVertexArray, GR_POLYGON, 4,
                     {at(440, 20), at(440, 100), at(560, 100), at(560, 20)});
    draw.layout(GR_PARAM_PARGB, packedAt, GR_PARAM_DISABLE);
    draw.layout(GR_PARAM_RGB, redAt);
    draw.layout(GR_PARAM_A, alphaAt);
    draw.vertexArray(op_grDrawVertexArray, GR_TRIANGLES, 6,
                     {at(20, 240), at(20, 320), at(220, 240), at(220, 320)}, 1);
    draw.vertexArray(op_grDrawVertexArrayContiguous, GR_TRIANGLE_STRIP, 4,
                     {at(260, 240), at(260, 320), at(380, 240), at(380, 320)}, 0, 28);
    draw.triangle(at(440, 240), at(440, 320), at(560, 240));
    draw.vertexArray(op_grDrawVertexArray, GR_LINES, 10,
                     {at(20, 399), at(220, 399), at(20, 403), at(220, 403)});
    draw.vertexArray(op_grDrawVertexArray, GR_POINTS, 49,
                     {at(298, 398), at(304, 398), at(298, 404), at(304, 404)});
    draw.bufferSwap(1);
    draw.winClose();
    draw.glideShutdown();
    draw.save(dir, "wine-glide3-vertex");

    // A quad of every texel format with a palette and an NCC table, then a frame-buffer round trip.
    Seed texture;
    texture.start(GR_RESOLUTION_640x480);
    texture.texTable(op_grTexDownloadTable, GR_TEXTABLE_PALETTE, 5);
    texture.texTable(op_grTexDownloadTable, GR_TEXTABLE_NCC0, 16);
    texture.oneArg(op_grTexNCCTable, GR_NCCTABLE_NCC0);
    texture.layout(GR_PARAM_XY, 0);
    texture.layout(GR_PARAM_Q, 8);
    texture.layout(GR_PARAM_ST0, 12);
    texture.combine(op_grColorCombine, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE,
                    GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    texture.w.op(op_grTexCombine);
    for (int v : {GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                  GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE})
        texture.w.num(v);
    texture.texClamp(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    texture.texFilter(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    texture.bufferClear(0x00303030, 0, 0xFFFF);
    const int formats[] = {GR_TEXFMT_RGB_565,
                           GR_TEXFMT_ARGB_1555,
                           GR_TEXFMT_ARGB_4444,
                           GR_TEXFMT_RGB_332,
                           GR_TEXFMT_ARGB_8332,
                           GR_TEXFMT_INTENSITY_8,
                           GR_TEXFMT_ALPHA_INTENSITY_44,
                           GR_TEXFMT_ALPHA_INTENSITY_88,
                           GR_TEXFMT_ALPHA_8,
                           GR_TEXFMT_P_8,
                           GR_TEXFMT_AP_88,
                           GR_TEXFMT_YIQ_422,
                           GR_TEXFMT_AYIQ_8422};
    for (int i = 0; i < 13; ++i) {
        const uint32_t address = static_cast<uint32_t>(i) * 0x1000;
        texture.oneArg(op_grTexMinAddress, GR_TMU0);
        texture.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, address, GR_LOD_LOG2_8, GR_LOD_LOG2_8,
                            GR_ASPECT_LOG2_1x1, formats[i], static_cast<uint8_t>(i * 19));
        texture.texInfoCall(op_grTexSource, GR_TMU0, address, GR_LOD_LOG2_8, GR_LOD_LOG2_8,
                            GR_ASPECT_LOG2_1x1, formats[i], 0);
        const float x0 = static_cast<float>(20 + (i % 4) * 150), y0 = static_cast<float>(20 + (i / 4) * 110);
        Vertex a = vertex(x0, y0), b = vertex(x0 + 120, y0), c = vertex(x0 + 120, y0 + 80),
               d = vertex(x0, y0 + 80);
        a.s = d.s = a.t = b.t = 0.0f;
        b.s = c.s = c.t = d.t = 256.0f;
        texture.triangle(a, b, c);
        texture.triangle(a, c, d);
    }
    texture.lfbWrite(GR_BUFFER_BACKBUFFER, 520, 400, GR_LFB_SRC_FMT_565, 64, 32, 128);
    texture.lfbRead(GR_BUFFER_BACKBUFFER, 520, 400, 64, 32, 128);
    texture.lfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, 0);
    texture.lfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    texture.bufferSwap(1);
    texture.winClose();
    texture.glideShutdown();
    texture.save(dir, "wine-glide3-texture");

    // The harbour demo: two layouts taken once and switched between, four textures one after the other,
    // one frame of sky, sea, boats, pier and lanterns in its state changes and array calls, a letterbox.
    // Vertex counts are the frame's; the vertices cycle through a seed's four.
    Seed harbour;
    harbour.start(GR_RESOLUTION_640x480, GR_ORIGIN_LOWER_LEFT);
    harbour.getString(GR_VERSION);
    harbour.getString(GR_HARDWARE);
    harbour.get(GR_GLIDE_VERTEXLAYOUT_SIZE, sizeof(FxI32));
    const uint8_t packed = 0, floats = 1;
    // Both records start with x, y, z and q.
    auto position = [&] {
        harbour.resetLayout();
        harbour.layout(GR_PARAM_XY, 0);
        harbour.layout(GR_PARAM_Z, 8);
        harbour.layout(GR_PARAM_Q, 12);
    };
    position();
    harbour.layout(GR_PARAM_PARGB, 16);
    harbour.layout(GR_PARAM_ST0, 20);
    harbour.saveLayout(packed);
    position();
    harbour.layout(GR_PARAM_RGB, 16);
    harbour.layout(GR_PARAM_A, 28);
    harbour.layout(GR_PARAM_ST0, 32);
    harbour.saveLayout(floats);
    const FxI32 packedStride = 28, floatStride = 40;
    harbour.oneArg(op_grTexMinAddress, GR_TMU0);
    harbour.texTable(op_grTexDownloadTable, GR_TEXTABLE_NCC0, 40);
    harbour.oneArg(op_grTexNCCTable, GR_NCCTABLE_NCC0);
    const int harbourTextures[4][3] = {{GR_LOD_LOG2_256, GR_ASPECT_LOG2_4x1, GR_TEXFMT_YIQ_422},
                                       {GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565},
                                       {GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565},
                                       {GR_LOD_LOG2_32, GR_ASPECT_LOG2_1x1, GR_TEXFMT_ARGB_4444}};
    for (uint32_t k = 0; k < 4; ++k) {
        const int *t = harbourTextures[k];
        harbour.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, k * 1024, t[0], t[0], t[1], t[2],
                            static_cast<uint8_t>(k * 50));
        harbour.texInfoCall(op_grTexTextureMemRequired, GR_TMU0, 0, t[0], t[0], t[1], t[2], 0);
    }
    harbour.texFilter(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    harbour.texMipMap(GR_TMU0, GR_MIPMAP_DISABLE);
    harbour.oneArg(op_grCullMode, GR_CULL_DISABLE);
    const uint32_t haze = 0x00E08CA0;
    harbour.oneArg(op_grFogColorValue, haze);
    auto colourOnly = [&] {
        harbour.combine(op_grColorCombine, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                        GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
        harbour.combine(op_grAlphaCombine, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                        GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    };
    auto textured = [&](uint32_t address, int texture) {
        harbour.combine(op_grColorCombine, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                        GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        harbour.combine(op_grAlphaCombine, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                        GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        const int *t = harbourTextures[texture];
        harbour.texInfoCall(op_grTexSource, GR_TMU0, address, t[0], t[0], t[1], t[2], 0);
        harbour.texClamp(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    };
    auto depthWorld = [&](FxBool writeDepth) {
        harbour.oneArg(op_grDepthBufferMode, GR_DEPTHBUFFER_ZBUFFER);
        harbour.oneArg(op_grDepthBufferFunction, GR_CMP_LESS);
        harbour.oneArg(op_grDepthMask, writeDepth);
        harbour.oneArg(op_grFogMode, GR_FOG_WITH_ITERATED_Z);
    };
    auto flat = [&] {
        harbour.oneArg(op_grDepthBufferMode, GR_DEPTHBUFFER_DISABLE);
        harbour.oneArg(op_grFogMode, GR_FOG_DISABLE);
    };
    auto strip = [&](uint32_t mode, uint32_t count, FxI32 stride) {
        harbour.vertexArray(op_grDrawVertexArrayContiguous, mode, count, quad, 1, static_cast<FxU32>(stride));
    };
    harbour.clipWindow(0, 0, 640, 480);
    harbour.bufferClear(haze, 0, 0xFFFF);
    harbour.restoreLayout(floats);
    flat();
    colourOnly();
    strip(GR_TRIANGLE_FAN, 34, floatStride); // sky
    strip(GR_POINTS, 60, floatStride);       // stars
    harbour.alphaBlend(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE);
    strip(GR_TRIANGLE_FAN, 26, floatStride); // sun
    harbour.alphaBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
    strip(GR_TRIANGLE_STRIP, 86, floatStride); // headlands
    depthWorld(FXTRUE);
    strip(GR_TRIANGLE_STRIP, 10, floatStride); // lighthouse
    for (int gull = 0; gull < 3; ++gull)
        strip(GR_LINE_STRIP, 5, floatStride);
    harbour.restoreLayout(packed);
    depthWorld(FXTRUE);
    textured(1024, 1);
    for (int row = 0; row < 4; ++row)
        strip(GR_TRIANGLE_STRIP, 82, packedStride); // sea
    harbour.restoreLayout(floats);
    colourOnly();
    for (int boat = 0; boat < 2; ++boat)
        harbour.vertexArray(op_grDrawVertexArray, GR_TRIANGLES, 36, quad, 3);
    textured(3072, 3);
    strip(GR_TRIANGLE_STRIP, 12, floatStride); // reflections
    harbour.restoreLayout(packed);
    depthWorld(FXTRUE);
    textured(2048, 2);
    harbour.vertexArray(op_grDrawVertexArray, GR_TRIANGLES, 60, quad, 1); // pier
    harbour.restoreLayout(floats);
    textured(3072, 3);
    depthWorld(FXFALSE);
    harbour.alphaBlend(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE);
    for (int lantern = 0; lantern < 5; ++lantern)
        strip(GR_TRIANGLE_FAN, 4, floatStride);
    harbour.alphaBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
    harbour.oneArg(op_grDepthMask, FXTRUE);
    harbour.clipWindow(0, 0, 640, 48);
    harbour.bufferClear(0, 0, 0xFFFF);
    harbour.clipWindow(0, 432, 640, 480);
    harbour.bufferClear(0, 0, 0xFFFF);
    harbour.bufferSwap(1);
    harbour.get(GR_STATS_TRIANGLES_OUT, sizeof(FxI32));
    harbour.winClose();
    harbour.glideShutdown();
    harbour.save(dir, "wine-glide3-demo");
}

// The scenarios of the host unit tests, shortened to their calls.
void unitTestSeeds(const std::string &dir) {
    // Queries with right and wrong lengths, before and after a context, and the counters reset.
    Seed queries(0, 0x08 | 0x10);
    queries.get(GR_BITS_RGBA, 16);
    queries.get(GR_BITS_RGBA, 4);
    queries.get(GR_NUM_TMU, 4);
    queries.getString(GR_VENDOR);
    queries.getString(GR_EXTENSION);
    queries.w.op(op_grQueryResolutions);
    for (FxU32 v : {GR_QUERY_ANY, GR_QUERY_ANY, FxU32(0), FxU32(0)})
        queries.w.num(v);
    queries.valid();
    queries.valid();
    queries.start(GR_RESOLUTION_320x240, GR_ORIGIN_LOWER_LEFT);
    queries.get(GR_FIFO_FULLNESS, 8);
    queries.get(GR_VIEWPORT, 16);
    queries.get(GR_VIEWPORT, 15);
    queries.get(GR_GLIDE_STATE_SIZE, 4);
    queries.get(GR_STATS_TRIANGLES_IN, 4);
    queries.getString(GR_VENDOR);
    queries.getString(GR_EXTENSION);
    queries.oneArg(op_grReset, GR_STATS_PIXELS);
    queries.oneArg(op_grReset, GR_STATS_PIXELS_IN);
    queries.state(op_grGlideGetState);
    queries.state(op_grGlideSetState);
    queries.simple(op_grFlush);
    queries.simple(op_grFinish);
    queries.oneArg(op_grRenderBuffer, GR_BUFFER_FRONTBUFFER);
    queries.winClose();
    queries.glideShutdown();
    queries.save(dir, "unit-queries");

    // Context re-opens: a second open over the first, selections, a close of nothing open.
    Seed reopen(1);
    reopen.winClose();
    reopen.glideInit();
    reopen.oneArg(op_grSstSelect, 0);
    reopen.winOpen(GR_RESOLUTION_400x256);
    reopen.selectContext(1);
    reopen.winOpen(GR_RESOLUTION_512x256, GR_ORIGIN_ANY, GR_COLORFORMAT_BGRA);
    reopen.selectContext(7);
    reopen.oneArg(op_grSstOrigin, GR_ORIGIN_LOWER_LEFT);
    reopen.bufferClear(0xFF000000, 0x80, 0x1234);
    reopen.winClose();
    reopen.winOpen(GR_RESOLUTION_320x200);
    reopen.glideShutdown();
    reopen.winClose();
    reopen.save(dir, "unit-context-reopen");

    // A textured, depth-buffered frame drawn with every primitive and every array mode.
    Seed frame(0, 0x08 | 0x10);
    frame.start(GR_RESOLUTION_320x200, GR_ORIGIN_LOWER_LEFT);
    frame.standardLayout();
    frame.oneArg(op_grDepthBufferMode, GR_DEPTHBUFFER_ZBUFFER);
    frame.oneArg(op_grDepthBufferFunction, GR_CMP_LESS);
    frame.oneArg(op_grCullMode, GR_CULL_NEGATIVE);
    frame.combine(op_grColorCombine, GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL,
                  GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE,
                  FXFALSE);
    frame.combine(op_grAlphaCombine, GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_ONE,
                  GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    frame.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, 0, GR_LOD_LOG2_1, GR_LOD_LOG2_64, GR_ASPECT_LOG2_2x1,
                      GR_TEXFMT_RGB_565, 3);
    frame.texInfoCall(op_grTexSource, GR_TMU0, 0, GR_LOD_LOG2_1, GR_LOD_LOG2_64, GR_ASPECT_LOG2_2x1,
                      GR_TEXFMT_RGB_565, 0);
    frame.texClamp(GR_TMU0, GR_TEXTURECLAMP_MIRROR_EXT, GR_TEXTURECLAMP_CLAMP);
    frame.texFilter(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    frame.texMipMap(GR_TMU0, GR_MIPMAP_NEAREST);
    frame.triangle(quad[0], quad[1], quad[2]);
    frame.triangle(quad[0], quad[2], quad[3], op_grAADrawTriangle);
    frame.line(quad[0], quad[2]);
    frame.point(quad[1]);
    for (uint32_t mode = GR_POINTS; mode <= GR_TRIANGLE_FAN_CONTINUE + 1; ++mode)
        frame.vertexArray(op_grDrawVertexArray, mode, 6, quad, 1);
    frame.vertexArray(op_grDrawVertexArrayContiguous, GR_TRIANGLE_STRIP, 4, quad, 0, 40);
    frame.vertexArray(op_grDrawVertexArrayContiguous, GR_TRIANGLE_STRIP_CONTINUE, 5, quad, 0, 48);
    frame.vertexArray(op_grDrawVertexArrayContiguous, GR_TRIANGLE_FAN_CONTINUE, 3, quad, 0, 40);
    frame.bufferSwap(1);
    frame.winClose();
    frame.glideShutdown();
    frame.save(dir, "unit-vertex-frame");

    // Layouts: packed colour, two texture units with their own q, saved and restored, reset, arrays over
    // the library's vertex buffer.
    Seed layouts(0, 0x08 | 0x10);
    layouts.start(GR_RESOLUTION_320x200);
    layouts.layout(GR_PARAM_XY, 0);
    layouts.layout(GR_PARAM_W, 8);
    layouts.layout(GR_PARAM_PARGB, 12);
    layouts.layout(GR_PARAM_ST0, 16);
    layouts.layout(GR_PARAM_ST1, 24);
    layouts.layout(GR_PARAM_Q0, 32);
    layouts.layout(GR_PARAM_Q1, 36);
    layouts.layout(GR_PARAM_FOG_EXT, 40);
    layouts.texInfoCall(op_grTexDownloadMipMap, GR_TMU1, 0x2000, GR_LOD_LOG2_8, GR_LOD_LOG2_8,
                        GR_ASPECT_LOG2_1x8, GR_TEXFMT_ARGB_4444, 4);
    layouts.texInfoCall(op_grTexSource, GR_TMU1, 0x2000, GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x8,
                        GR_TEXFMT_ARGB_4444, 0);
    layouts.triangle(quad[0], quad[1], quad[2]);
    layouts.saveLayout();
    layouts.get(GR_GLIDE_VERTEXLAYOUT_SIZE, 4);
    layouts.layout(GR_PARAM_PARGB, 12, GR_PARAM_DISABLE);
    layouts.layout(GR_PARAM_RGB, 44);
    layouts.layout(GR_PARAM_A, 56);
    layouts.vertexArray(op_grDrawVertexArray, GR_TRIANGLES, 9000, quad, 3);
    layouts.restoreLayout();
    layouts.vertexArray(op_grDrawVertexArrayContiguous, GR_TRIANGLE_FAN, 8193, quad, 1, 44);
    layouts.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_STRIP_CONTINUE, 16385, quad, 2);
    layouts.resetLayout();
    layouts.saveLayout();
    layouts.restoreLayout();
    layouts.vertexArray(op_grDrawVertexArray, GR_POLYGON, 3, quad);
    layouts.bufferSwap(1);
    layouts.glideShutdown();
    layouts.save(dir, "unit-vertex-layouts");

    // Textures: every format, levels, palette and NCC tables, tables of other types, 3DF files.
    Seed textures;
    textures.start(GR_RESOLUTION_320x240);
    textures.standardLayout();
    textures.texTable(op_grTexDownloadTable, GR_TEXTABLE_PALETTE, 9);
    textures.texTable(op_grTexDownloadTable, GR_TEXTABLE_NCC0, 10);
    textures.texTable(op_grTexDownloadTablePartial, GR_TEXTABLE_NCC1, 11);
    textures.texTable(op_grTexDownloadTable, GR_TEXTABLE_PALETTE_6666_EXT, 12);
    textures.oneArg(op_grTexNCCTable, GR_NCCTABLE_NCC1);
    for (int format = GR_TEXFMT_RGB_332; format <= GR_TEXFMT_RSVD2; ++format) {
        textures.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, static_cast<uint32_t>(format) * 1024,
                             GR_LOD_LOG2_16, GR_LOD_LOG2_16, GR_ASPECT_LOG2_1x1, format,
                             static_cast<uint8_t>(format));
        textures.texInfoCall(op_grTexSource, GR_TMU0, static_cast<uint32_t>(format) * 1024, GR_LOD_LOG2_16,
                             GR_LOD_LOG2_16, GR_ASPECT_LOG2_1x1, format, 0);
        textures.triangle(quad[0], quad[1], quad[2]);
    }
    textures.texLevel(GR_TMU1, 0x8000, GR_LOD_LOG2_256, GR_LOD_LOG2_256, GR_ASPECT_LOG2_8x1, GR_TEXFMT_P_8);
    textures.texLevel(GR_TMU0, 0x8000, GR_LOD_LOG2_32, GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_AP_88,
                      op_grTexDownloadMipMapLevelPartial);
    textures.texInfoCall(op_grTexMultibaseAddress, GR_TMU0, 0x3FFC00, GR_LOD_LOG2_1, GR_LOD_LOG2_256,
                         GR_ASPECT_LOG2_1x1, GR_TEXFMT_ARGB_1555, 0);
    textures.texInfoCall(op_grTexTextureMemRequired, GR_TMU0, 0, GR_LOD_LOG2_1, GR_LOD_LOG2_256,
                         GR_ASPECT_LOG2_1x1, GR_TEXFMT_ARGB_1555, 0);
    textures.w.op(op_grTexLodBiasValue);
    textures.w.num(GR_TMU0);
    textures.w.fl(-2.5f);
    textures.load3df(op_gu3dfLoad, 3 /* p8 */, 0, 8, 0, 0);
    textures.load3df(op_gu3dfLoad, 1 /* yiq */, 2, 5, 4, 0);
    textures.load3df(op_gu3dfLoad, 9 /* ap88 */, 0, 6, 2, 3);
    textures.load3df(op_gu3dfGetInfo, 6 /* rgb565 */, 0, 8, 8, 0);
    textures.bufferSwap(1);
    textures.winClose();
    textures.glideShutdown();
    textures.save(dir, "unit-textures");

    // Frame-buffer locks on a 32-bit display: a read lock kept over a write lock of another buffer, writes
    // in every source layout, a lock left open across a clip window, a close and a larger re-open.
    Seed locks(1);
    locks.start(GR_RESOLUTION_320x200, GR_ORIGIN_LOWER_LEFT);
    locks.lfbLock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_ANY, 1);
    locks.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_DEPTHBUFFER, GR_LFBWRITEMODE_ZA16, 2);
    for (int format : {GR_LFB_SRC_FMT_565, GR_LFB_SRC_FMT_555, GR_LFB_SRC_FMT_888, GR_LFB_SRC_FMT_ZA16,
                       GR_LFB_SRC_FMT_555_DEPTH, GR_LFB_SRC_FMT_RLE16})
        locks.lfbWrite(GR_BUFFER_BACKBUFFER, 8, 300, format, 33, 7, 140);
    locks.lfbWrite(GR_BUFFER_BACKBUFFER, 300, 190, GR_LFB_SRC_FMT_1555_DEPTH, 40, 20, -160);
    locks.lfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_DEPTHBUFFER);
    locks.clipWindow(10, 20, 110, 220);
    locks.lfbRead(GR_BUFFER_BACKBUFFER, 0, 0, 320, 200, 640);
    locks.lfbRead(GR_BUFFER_AUXBUFFER, 319, 199, 2, 2, 4);
    locks.winClose();
    locks.lfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER);
    locks.winOpen(GR_RESOLUTION_800x600);
    locks.lfbLock(GR_LFB_WRITE_ONLY | GR_LFB_NOIDLE, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888, 3);
    locks.bufferSwap(0);
    locks.glideShutdown();
    locks.save(dir, "unit-lfb-locks");

    // Every device type refuses.
    Seed failing(0, 0x08, 0x1F);
    failing.start(GR_RESOLUTION_320x240);
    failing.get(GR_FIFO_FULLNESS, 8);
    failing.glideShutdown();
    failing.save(dir, "unit-no-device");

    // Surfaces lost under a drawing game: the back buffer refuses its second lock as lost, textures are
    // downloaded and drawn across the loss, frame-buffer reads meet the lost front surface.
    const uint8_t lostBackBufferLock[] = {10 /* Lock */, 2,
                                          1 /* BackBuffer */ | 1 << 6 /* DDERR_SURFACELOST */};
    Seed lost(0, 0x08, 0, 0, std::vector<uint8_t>(lostBackBufferLock, lostBackBufferLock + 3));
    lost.start(GR_RESOLUTION_320x240);
    lost.standardLayout();
    lost.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, 6);
    lost.lfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    lost.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, 7);
    lost.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, 0, GR_LOD_LOG2_32, GR_LOD_LOG2_32, GR_ASPECT_LOG2_1x1,
                     GR_TEXFMT_P_8, 2);
    lost.simple(op_loseSurfaces);
    lost.texInfoCall(op_grTexSource, GR_TMU0, 0, GR_LOD_LOG2_32, GR_LOD_LOG2_32, GR_ASPECT_LOG2_1x1,
                     GR_TEXFMT_P_8, 0);
    lost.vertexArray(op_grDrawVertexArray, GR_TRIANGLE_FAN, 4, quad);
    lost.lfbRead(GR_BUFFER_FRONTBUFFER, 0, 0, 320, 240, 640);
    lost.bufferSwap(1);
    lost.winClose();
    lost.glideShutdown();
    lost.save(dir, "unit-lost-surfaces");
}

} // namespace

int main(int argc, char **argv) {
    const std::string dir = argc > 1 ? argv[1] : "fuzz/corpus/glide3";
    for (void (*write)(const std::string &) : {wineSeeds, unitTestSeeds})
        write(dir);
    return 0;
}
