// Writes the seed corpus of the Glide 2 call-sequence fuzz target: the call streams of the Wine programs
// (logo demo, clear, frame-buffer and texture tests) and of the host unit tests' scenarios, in the
// target's input format. Each Seed method writes one call exactly as glide2_fuzz.cpp reads it back.
//   clang++ -std=c++17 -Iinclude -Ifuzz fuzz/make_glide2_corpus.cpp -o /tmp/seeds && /tmp/seeds
//   fuzz/corpus/glide2
#include <string>
#include <vector>

#include "glide2x.h"
#include "glide2_fuzz_input.h"
#include "glide_common_seed.h"

using namespace fuzzinput;

namespace {

struct Vertex {
    float x, y, oow, r, g, b, a, s, t;
};

class Seed : public CommonSeed {
  public:
    using CommonSeed::CommonSeed;

    void vertexFields(const Vertex &v) {
        const float fields[15] = {v.x,   v.y,         0.0f,        v.r,   v.g,         v.b,         0.0f, v.a,
                                  v.oow, v.s * v.oow, v.t * v.oow, v.oow, v.s * v.oow, v.t * v.oow, v.oow};
        for (float f : fields)
            w.fl(f);
    }
    void vertexArg(const Vertex &v) {
        valid();
        vertexFields(v);
    }

    void winClose() { w.op(op_grSstWinClose); }
    void texTable(int tmu, int type, int start, int end, uint8_t fillSeed) {
        w.op(start == 0 && end == 255 ? op_grTexDownloadTable : op_grTexDownloadTablePartial);
        w.num(tmu);
        w.num(type);
        w.num(start);
        w.num(end);
        fill(fillSeed);
        valid();
    }
    void triangle(const Vertex &a, const Vertex &b, const Vertex &c, Op op = op_grDrawTriangle) {
        w.op(op);
        vertexArg(a);
        vertexArg(b);
        vertexArg(c);
        if (op == op_grAADrawTriangle)
            for (int i = 0; i < 3; ++i)
                w.num(1);
    }
    void line(const Vertex &a, const Vertex &b) {
        w.op(op_grDrawLine);
        vertexArg(a);
        vertexArg(b);
    }
    void point(const Vertex &a) {
        w.op(op_grDrawPoint);
        vertexArg(a);
    }
    void polygon(Op op, int nverts, const std::vector<Vertex> &pool, uint8_t step = 1) {
        w.op(op);
        w.num(nverts);
        w.byte(static_cast<uint8_t>(pool.size() - 1));
        for (const Vertex &v : pool)
            vertexFields(v);
        bool indexed = op == op_grDrawPolygon || op == op_grAADrawPolygon || op == op_grDrawPlanarPolygon;
        if (indexed) {
            w.byte(step);
            valid();
        }
        valid();
    }
    void queryHardware() {
        w.op(op_grSstQueryHardware);
        valid();
    }
};

Vertex vertex(float x, float y, float oow = 1.0f) {
    return Vertex{x, y, oow, 200.0f, 100.0f, 50.0f, 255.0f, 128.0f, 64.0f};
}

// The Wine programs, call for call.
void wineSeeds(const std::string &dir) {
    Seed logo;
    logo.glideInit();
    logo.winOpen(GR_RESOLUTION_640x480);
    logo.splash(0, 0, 640, 480);
    logo.winClose();
    logo.glideShutdown();
    logo.save(dir, "wine-logo-demo");

    Seed clear;
    clear.glideInit();
    clear.winOpen(GR_RESOLUTION_640x480);
    clear.bufferClear(0x00FF8000, 0, 0xFFFF);
    clear.bufferSwap(1);
    clear.winClose();
    clear.glideShutdown();
    clear.save(dir, "wine-clear");

    for (int depth = 0; depth < 2; ++depth) {
        Seed lfb(depth);
        lfb.glideInit();
        lfb.winOpen(GR_RESOLUTION_640x480);
        lfb.bufferClear(0, 0, 0xFFFF);
        lfb.lfbWrite(GR_BUFFER_BACKBUFFER, 16, 16, GR_LFB_SRC_FMT_565, 64, 32, 128);
        lfb.lfbWrite(GR_BUFFER_BACKBUFFER, 96, 16, GR_LFB_SRC_FMT_1555, 64, 32, 128);
        lfb.lfbWrite(GR_BUFFER_BACKBUFFER, 176, 16, GR_LFB_SRC_FMT_8888, 64, 32, 256);
        lfb.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, 0x42);
        lfb.lfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
        lfb.bufferSwap(1);
        lfb.lfbRead(GR_BUFFER_FRONTBUFFER, 0, 0, 640, 480, 640 * 2);
        lfb.winClose();
        lfb.glideShutdown();
        lfb.save(dir, depth ? "wine-lfb-32" : "wine-lfb-16");
    }

    Seed texture;
    texture.glideInit();
    texture.winOpen(GR_RESOLUTION_640x480);
    texture.texTable(GR_TMU0, GR_TEXTABLE_PALETTE, 0, 255, 9);
    texture.combine(op_grColorCombine, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE,
                    GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    for (int format : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14}) {
        texture.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, static_cast<uint32_t>(format) * 1024, GR_LOD_16,
                            GR_LOD_16, GR_ASPECT_1x1, format, static_cast<uint8_t>(format));
        texture.texInfoCall(op_grTexSource, GR_TMU0, static_cast<uint32_t>(format) * 1024, GR_LOD_16,
                            GR_LOD_16, GR_ASPECT_1x1, format, 0);
        texture.triangle(vertex(10, 10), vertex(200, 10), vertex(10, 200));
    }
    texture.texTable(GR_TMU0, GR_TEXTABLE_PALETTE, 0, 255, 77);
    texture.bufferSwap(1);
    texture.simple(op_guTexMemReset);
    texture.winClose();
    texture.glideShutdown();
    texture.save(dir, "wine-texture");
}

// The scenarios of the host unit tests, shortened to their calls.
void unitTestSeeds(const std::string &dir) {
    const std::vector<Vertex> quad = {vertex(10, 10, 0.5f), vertex(300, 10, 0.25f), vertex(300, 190, 0.5f),
                                      vertex(10, 190, 1.0f)};

    // A textured, depth-buffered, fogged frame on two TMUs with the lower-left origin.
    Seed frame(0, 0x08 | 0x10);
    frame.glideInit();
    frame.winOpen(GR_RESOLUTION_320x200, GR_ORIGIN_LOWER_LEFT);
    frame.oneArg(op_grDepthBufferMode, GR_DEPTHBUFFER_WBUFFER);
    frame.oneArg(op_grDepthBufferFunction, GR_CMP_LESS);
    frame.oneArg(op_grDepthMask, FXTRUE);
    frame.oneArg(op_grCullMode, GR_CULL_NEGATIVE);
    frame.alphaBlend(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA);
    frame.oneArg(op_grAlphaTestFunction, GR_CMP_GREATER);
    frame.oneArg(op_grAlphaTestReferenceValue, 0x80);
    frame.oneArg(op_grFogMode, GR_FOG_WITH_TABLE);
    frame.fogExp(0.01f);
    frame.oneArg(op_grFogColorValue, 0x00808080);
    frame.oneArg(op_grConstantColorValue, 0x80FF0000);
    frame.oneArg(op_grChromakeyValue, 0x00FF00FF);
    frame.oneArg(op_grChromakeyMode, GR_CHROMAKEY_ENABLE);
    frame.combine(op_grColorCombine, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                  GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    frame.combine(op_grAlphaCombine, GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA,
                  GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    frame.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, 0, GR_LOD_64, GR_LOD_64, GR_ASPECT_2x1,
                      GR_TEXFMT_RGB_565, 3);
    frame.texInfoCall(op_grTexDownloadMipMap, GR_TMU1, 0x3FFC00, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x8,
                      GR_TEXFMT_P_8, 4);
    frame.texInfoCall(op_grTexSource, GR_TMU0, 0, GR_LOD_64, GR_LOD_64, GR_ASPECT_2x1, GR_TEXFMT_RGB_565, 0);
    frame.texInfoCall(op_grTexSource, GR_TMU1, 0x3FFC00, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x8, GR_TEXFMT_P_8, 0);
    frame.texClamp(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_WRAP);
    frame.texFilter(GR_TMU1, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    frame.texMipMap(GR_TMU0, GR_MIPMAP_NEAREST);
    frame.w.op(op_grTexCombine);
    for (int v : {GR_TMU0, GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE, GR_COMBINE_FUNCTION_BLEND,
                  GR_COMBINE_FACTOR_ONE, 0, 0})
        frame.w.num(v);
    frame.triangle(quad[0], quad[1], quad[2]);
    frame.triangle(quad[0], quad[2], quad[3], op_grAADrawTriangle);
    frame.polygon(op_grDrawPolygonVertexList, 4, quad);
    frame.polygon(op_grDrawPolygon, 5, quad, 3);
    frame.line(quad[0], quad[2]);
    frame.point(quad[1]);
    frame.texTable(GR_TMU1, GR_TEXTABLE_PALETTE, 10, 20, 5);
    frame.texTable(GR_TMU0, GR_TEXTABLE_NCC0, 0, 255, 6);
    frame.bufferSwap(1);
    frame.texLevel(GR_TMU0, 0x2000, GR_LOD_32, GR_LOD_32, GR_ASPECT_1x1, GR_TEXFMT_ARGB_4444);
    frame.texLevel(GR_TMU0, 0x2000, GR_LOD_16, GR_LOD_32, GR_ASPECT_1x1, GR_TEXFMT_ARGB_4444);
    frame.simple(op_grDisableAllEffects);
    frame.bufferSwap(0);
    frame.winClose();
    frame.glideShutdown();
    frame.save(dir, "unit-textured-frame");

    // Session order: calls before grGlideInit, grSstQueryHardware over an open session, reopen, double close.
    Seed session(1, 0x00, 0, 0x01);
    session.triangle(quad[0], quad[1], quad[2]);
    session.lfbLock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_565, 0);
    session.winOpen(GR_RESOLUTION_400x256);
    session.glideInit();
    session.winOpen(GR_RESOLUTION_320x240);
    session.queryHardware();
    session.winOpen(GR_RESOLUTION_512x256, GR_ORIGIN_ANY, GR_COLORFORMAT_BGRA);
    session.oneArg(op_grSstOrigin, GR_ORIGIN_LOWER_LEFT);
    session.bufferClear(0xFF000000, 0x80, 0x1234);
    session.renderBuffer(GR_BUFFER_FRONTBUFFER);
    session.renderBuffer(GR_BUFFER_BACKBUFFER);
    session.glideInit();
    session.winClose();
    session.winClose();
    session.triangle(quad[0], quad[1], quad[2]);
    session.glideShutdown();
    session.save(dir, "unit-session-order");

    // Frame-buffer locks left open across a swap and a close, nested and shadowed, on a 32-bit display.
    Seed locks(1);
    locks.glideInit();
    locks.winOpen(GR_RESOLUTION_320x200);
    locks.lfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, 1);
    locks.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, 2);
    locks.lfbWrite(GR_BUFFER_BACKBUFFER, 300, 190, GR_LFB_SRC_FMT_1555_DEPTH, 40, 20, -160);
    locks.bufferSwap(1);
    locks.lfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    locks.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888, 3);
    locks.lfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    locks.lfbLock(GR_LFB_WRITE_ONLY | GR_LFB_NOIDLE, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_565_DEPTH, 4);
    locks.lfbRead(GR_BUFFER_TRIPLEBUFFER, 310, 190, 20, 20, 40);
    locks.winOpen(GR_RESOLUTION_640x480);
    locks.lfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_1555, 5);
    locks.winClose();
    locks.glideShutdown();
    locks.save(dir, "unit-lfb-locks");

    // A polygon longer than the vertex buffer, and the combine utilities.
    Seed big(0, 0x08, 0, 0x02);
    big.glideInit();
    big.winOpen(GR_RESOLUTION_320x200);
    for (int fnc = 0; fnc <= 16; fnc += 4)
        big.oneArg(op_guColorCombineFunction, fnc);
    big.oneArg(op_guAlphaSource, GR_ALPHASOURCE_TEXTURE_ALPHA);
    big.polygon(op_grDrawPolygonVertexList, 9831, quad);
    big.polygon(op_grDrawPolygon, 20000, quad, 7);
    big.polygon(op_grDrawPolygonVertexList, 2, quad);
    big.bufferSwap(1);
    big.glideShutdown();
    big.save(dir, "unit-long-polygon");

    // Failures: every device type refuses, then textures whose surfaces cannot be created or locked.
    Seed failing(0, 0x08, 0x1F);
    failing.glideInit();
    failing.winOpen(GR_RESOLUTION_320x240);
    failing.glideShutdown();
    failing.save(dir, "unit-no-device");

    Seed textureFailures(0, 0x08, 0, 0, {10 /* Lock */, 2, 4 /* Texture */, 4 /* CreateSurface */, 9, 6});
    textureFailures.glideInit();
    textureFailures.winOpen(GR_RESOLUTION_320x240);
    for (uint32_t slot = 0; slot < 4; ++slot)
        textureFailures.texInfoCall(op_grTexDownloadMipMap, GR_TMU0, slot << 10, GR_LOD_32, GR_LOD_32,
                                    GR_ASPECT_1x1, GR_TEXFMT_P_8, static_cast<uint8_t>(slot));
    textureFailures.texInfoCall(op_grTexSource, GR_TMU0, 0, GR_LOD_32, GR_LOD_32, GR_ASPECT_1x1,
                                GR_TEXFMT_P_8, 0);
    textureFailures.texTable(GR_TMU0, GR_TEXTABLE_PALETTE, 0, 255, 1);
    textureFailures.triangle(quad[0], quad[1], quad[2]);
    textureFailures.winClose();
    textureFailures.glideShutdown();
    textureFailures.save(dir, "unit-texture-failures");
}

} // namespace

int main(int argc, char **argv) {
    std::string dir = argc > 1 ? argv[1] : "fuzz/corpus/glide2";
    wineSeeds(dir);
    unitTestSeeds(dir);
    return 0;
}
