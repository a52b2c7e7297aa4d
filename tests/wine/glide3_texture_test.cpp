// Draws one textured quad per Glide texel format through Glide 3 calls, the YIQ ones through a downloaded NCC
// table, and has the runner probe each quad's colour on screen; then writes a frame-buffer region, reads it
// back and has the runner find it on screen too.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide3x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

struct Vertex {
    float x, y, oow, s, t;
};

const int side = 8; // texels a side of every texture
const int quadWidth = 120;
const int quadHeight = 80;
const int columns = 4;

struct Sample {
    const char *name;
    GrTextureFormat_t format;
    FxU16 texel; // 8-bit formats use the low byte
    int r, g, b;
    int tolerance;
};

// A table like those the vendor's tools write: Y rising, I and Q pulling red against blue and green against
// both.
GuNccTable nccTable() {
    GuNccTable table;
    std::memset(&table, 0, sizeof(table));
    for (int i = 0; i < 16; ++i)
        table.yRGB[i] = static_cast<FxU8>(i * 16);
    const FxI16 i[4][3] = {{-60, 20, 80}, {-20, 8, 30}, {20, -8, -30}, {60, -20, -80}};
    const FxI16 q[4][3] = {{30, -50, 20}, {10, -15, 8}, {-10, 15, -8}, {-30, 50, -20}};
    std::memcpy(table.iRGB, i, sizeof(i));
    std::memcpy(table.qRGB, q, sizeof(q));
    return table;
}

int clampChannel(int value) {
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

// The colour the board shows for a YIQ byte through the table.
void yiqColor(const GuNccTable &table, unsigned yiq, int &r, int &g, int &b) {
    int y = table.yRGB[yiq >> 4];
    const FxI16 *i = table.iRGB[(yiq >> 2) & 3];
    const FxI16 *q = table.qRGB[yiq & 3];
    r = clampChannel(y + i[0] + q[0]);
    g = clampChannel(y + i[1] + q[1]);
    b = clampChannel(y + i[2] + q[2]);
}

void drawQuad(int index) {
    const float x0 = static_cast<float>(20 + (index % columns) * (quadWidth + 30));
    const float y0 = static_cast<float>(20 + (index / columns) * (quadHeight + 30));
    const float x1 = x0 + quadWidth, y1 = y0 + quadHeight;
    Vertex a = {x0, y0, 1.0f, 0.0f, 0.0f};
    Vertex b = {x1, y0, 1.0f, 256.0f, 0.0f};
    Vertex c = {x1, y1, 1.0f, 256.0f, 256.0f};
    Vertex d = {x0, y1, 1.0f, 0.0f, 256.0f};
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

kx::Expect centreOf(int index, const Sample &sample) {
    return {20 + (index % columns) * (quadWidth + 30) + quadWidth / 2,
            20 + (index / columns) * (quadHeight + 30) + quadHeight / 2,
            sample.r,
            sample.g,
            sample.b,
            sample.tolerance};
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix Glide 3 texture test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == 1, "grSstWinOpen 640x480 returns context 1");
    if (opened == 0) {
        grGlideShutdown();
        return kx::finish(1);
    }

    const GuNccTable table = nccTable();
    int yr, yg, yb, ar, ag, ab;
    yiqColor(table, 0xE6, yr, yg, yb); // Y 14, I 1, Q 2
    yiqColor(table, 0x7C, ar, ag, ab); // Y 7, I 3, Q 0
    // 565 on screen keeps 5 or 6 bits a channel; layouts with 2- and 3-bit fields differ between a device
    // that stores them and the 32-bit widening.
    const int tol = 12;
    const int narrow = 40;
    const Sample samples[] = {
        {"RGB_565", GR_TEXFMT_RGB_565, 0xF800, 255, 0, 0, tol},
        {"ARGB_1555", GR_TEXFMT_ARGB_1555, 0x83E0, 0, 255, 0, tol},
        {"ARGB_4444", GR_TEXFMT_ARGB_4444, 0xF00F, 0, 0, 255, tol},
        {"RGB_332", GR_TEXFMT_RGB_332, 0x1C, 0, 255, 0, narrow},
        {"ARGB_8332", GR_TEXFMT_ARGB_8332, 0xFFE0, 255, 0, 0, narrow},
        {"INTENSITY_8", GR_TEXFMT_INTENSITY_8, 0x80, 128, 128, 128, tol},
        {"ALPHA_INTENSITY_44", GR_TEXFMT_ALPHA_INTENSITY_44, 0xFA, 165, 165, 165, narrow},
        {"ALPHA_INTENSITY_88", GR_TEXFMT_ALPHA_INTENSITY_88, 0xFF40, 64, 64, 64, tol},
        {"ALPHA_8", GR_TEXFMT_ALPHA_8, 0xFF, 255, 255, 255, tol},
        {"P_8", GR_TEXFMT_P_8, 0x05, 255, 0, 255, tol},
        {"AP_88", GR_TEXFMT_AP_88, 0xFF06, 0, 255, 255, tol},
        {"YIQ_422", GR_TEXFMT_YIQ_422, 0xE6, yr, yg, yb, tol},
        {"AYIQ_8422", GR_TEXFMT_AYIQ_8422, 0xFF7C, ar, ag, ab, tol},
    };
    const int sampleCount = static_cast<int>(sizeof(samples) / sizeof(samples[0]));

    GuTexPalette palette;
    std::memset(&palette, 0, sizeof(palette));
    palette.data[5] = 0x00FF00FF;
    palette.data[6] = 0x0000FFFF;
    grTexDownloadTable(GR_TEXTABLE_PALETTE, &palette);
    grTexDownloadTable(GR_TEXTABLE_NCC0, const_cast<GuNccTable *>(&table));
    grTexNCCTable(GR_NCCTABLE_NCC0);

    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, 12, GR_PARAM_ENABLE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    grBufferClear(0x00303030, 0, 0xFFFF);

    std::vector<kx::Expect> expect;
    for (int i = 0; i < sampleCount; ++i) {
        const Sample &sample = samples[i];
        const bool wide = sample.format >= GR_TEXFMT_ARGB_8332;
        std::vector<FxU8> texels(side * side * 2);
        for (int t = 0; t < side * side; ++t) {
            if (wide) {
                texels[2 * t] = static_cast<FxU8>(sample.texel);
                texels[2 * t + 1] = static_cast<FxU8>(sample.texel >> 8);
            } else {
                texels[t] = static_cast<FxU8>(sample.texel);
            }
        }
        GrTexInfo info = {GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x1, sample.format, texels.data()};
        const FxU32 address = grTexMinAddress(GR_TMU0) + static_cast<FxU32>(i) * 0x1000;
        grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        drawQuad(i);
        expect.push_back(centreOf(i, sample));
        std::printf("%s expects %d %d %d\n", sample.name, sample.r, sample.g, sample.b);
    }

    // A 565 block written into the back buffer under the quads, read back exactly.
    const int blockX = 520, blockY = 400, blockW = 64, blockH = 32;
    std::vector<FxU16> block(blockW * blockH);
    for (int y = 0; y < blockH; ++y)
        for (int x = 0; x < blockW; ++x)
            block[y * blockW + x] = x < blockW / 2 ? 0x001F : 0xFFE0; // blue, then yellow
    check(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, blockX, blockY, GR_LFB_SRC_FMT_565, blockW, blockH, FXFALSE,
                           blockW * 2, block.data()) == FXTRUE,
          "grLfbWriteRegion writes the block");
    std::vector<FxU16> readBack(blockW * blockH, 0x1234);
    check(grLfbReadRegion(GR_BUFFER_BACKBUFFER, blockX, blockY, blockW, blockH, blockW * 2,
                          readBack.data()) == FXTRUE,
          "grLfbReadRegion reads the block");
    check(readBack == block, "the block reads back as written");
    GrLfbInfo_t lfb;
    std::memset(&lfb, 0, sizeof(lfb));
    lfb.size = sizeof(lfb);
    check(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT,
                    FXFALSE, &lfb) == FXTRUE,
          "grLfbLock of the back buffer");
    FxU16 locked = 0;
    if (lfb.lfbPtr && lfb.writeMode == GR_LFBWRITEMODE_565)
        std::memcpy(&locked,
                    static_cast<FxU8 *>(lfb.lfbPtr) + (blockY + 1) * lfb.strideInBytes + (blockX + 40) * 2,
                    2);
    check(locked == 0xFFE0, "the lock sees the block's yellow");
    check(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER) == FXTRUE, "grLfbUnlock");
    expect.push_back({blockX + 8, blockY + 16, 0, 0, 255, tol});
    expect.push_back({blockX + 56, blockY + 16, 255, 255, 0, tol});
    expect.push_back({blockX - 4, blockY + 16, 0x30, 0x30, 0x30, tol});

    grBufferSwap(1);
    kx::pump(300);
    check(kx::request_capture("glide3_texture", expect, 60000),
          "every format's quad and the block on screen");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose");
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
