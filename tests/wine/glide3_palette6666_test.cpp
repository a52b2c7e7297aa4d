// The 6666 palette on a real Direct3D device: a P_8 quad whose palette entry carries half alpha is blended
// over the cleared background, one whose entry is opaque covers it. The board is the Voodoo3, which
// announces PALETTE6666.
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

const char *const storeKey = settings_store::productKeyPath;
// A key this program created is removed at the end: the programs sharing the Wine prefix treat a present
// key as the user's settings, an absent one as the settings program's defaults.
bool createdStoreKey = false;
const DWORD voodoo3 = 4;
const int side = 8;
const int tol = 14;
const GrColor_t background = 0x000000FF;
// Red with 6-bit alpha 0x20 (widened to 0x82) and red fully opaque, both in the 6666 layout.
const FxU32 halfRed6666 = 0x20u << 18 | 0x3Fu << 12;
const FxU32 opaqueRed6666 = 0x3Fu << 18 | 0x3Fu << 12;
const int halfAlpha = 0x82;

struct Vertex {
    float x, y, oow, s, t;
};

void storeCard(bool set) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    createdStoreKey = createdStoreKey || disposition == REG_CREATED_NEW_KEY;
    if (set)
        RegSetValueExA(key, "Card", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&voodoo3), sizeof(voodoo3));
    else
        RegDeleteValueA(key, "Card");
    RegCloseKey(key);
    if (!set && createdStoreKey) RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
}

void drawQuad(float x0, float y0, float x1, float y1) {
    Vertex a = {x0, y0, 1.0f, 0.0f, 0.0f};
    Vertex b = {x1, y0, 1.0f, 256.0f, 0.0f};
    Vertex c = {x1, y1, 1.0f, 256.0f, 256.0f};
    Vertex d = {x0, y1, 1.0f, 0.0f, 256.0f};
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

// An 8 × 8 P_8 texture of one index, downloaded at address and bound.
void bindIndexed(FxU8 index, FxU32 address) {
    std::vector<FxU8> texels(side * side, index);
    GrTexInfo info = {GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x1, GR_TEXFMT_P_8, texels.data()};
    grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
}

int blend(int source, int destination) {
    return (source * halfAlpha + destination * (255 - halfAlpha)) / 255;
}

} // namespace

int main() {
    storeCard(true);
    HWND hwnd = kx::create_window("Kestrix 6666 palette test");
    grGlideInit();
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened != 0, "grSstWinOpen opens");
    if (opened == 0) {
        storeCard(false);
        grGlideShutdown();
        return kx::finish(1);
    }
    check(std::strstr(grGetString(GR_EXTENSION), " PALETTE6666 ") != nullptr,
          "the Voodoo3 announces PALETTE6666");

    GuTexPalette palette;
    std::memset(&palette, 0, sizeof(palette));
    palette.data[1] = halfRed6666;
    palette.data[2] = opaqueRed6666;
    grTexDownloadTable(GR_TEXTABLE_PALETTE_6666_EXT, &palette);

    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, 12, GR_PARAM_ENABLE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    grBufferClear(background, 0, 0xFFFF);

    bindIndexed(1, 0);
    drawQuad(40, 40, 200, 160);
    bindIndexed(2, 0x1000);
    drawQuad(260, 40, 420, 160);
    grBufferSwap(1);
    kx::pump(300);
    std::vector<kx::Expect> expect = {
        {120, 100, blend(255, 0), 0, blend(0, 255), tol},
        {340, 100, 255, 0, 0, tol},
        {500, 300, 0, 0, 255, tol},
    };
    check(kx::request_capture("glide3_palette6666", expect, 60000),
          "the half-alpha entry blends over the background, the opaque one covers it");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose");
    grGlideShutdown();
    storeCard(false);
    return kx::finish(failures ? 1 : 0);
}
