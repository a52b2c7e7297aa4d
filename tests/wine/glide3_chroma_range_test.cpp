// Chroma ranges on a real Direct3D device, which has no range keys of its own: one texture, red on its left
// half and green on its right, drawn twice over a blue background. The first quad keys reds out through the
// TMU's range, the second greens through the frame's range, so the background shows through one half of
// each. The board is the Voodoo3, which announces CHROMARANGE and TEXCHROMA.
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
const FxU16 red565 = 0xF800, green565 = 0x07E0;
const FxU32 enable = 1, disable = 0, rgbAll = 0;
const GrColor_t redLow = 0x00E00000, redHigh = 0x00FF2020;
const GrColor_t greenLow = 0x0000E000, greenHigh = 0x0020FF20;

typedef void(FX_CALL *ModeProc)(FxU32);
typedef void(FX_CALL *RangeProc)(GrColor_t, GrColor_t, FxU32);
typedef void(FX_CALL *TexModeProc)(GrChipID_t, FxU32);
typedef void(FX_CALL *TexRangeProc)(GrChipID_t, GrColor_t, GrColor_t, FxU32);

template <typename Proc> Proc proc(const char *name) {
    return reinterpret_cast<Proc>(
        reinterpret_cast<void (*)(void)>(grGetProcAddress(const_cast<char *>(name))));
}

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

void bindHalves() {
    std::vector<FxU16> texels(side * side);
    for (int i = 0; i < side * side; ++i)
        texels[i] = (i % side) < side / 2 ? red565 : green565;
    GrTexInfo info = {GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, texels.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
}

void setUpDecal() {
    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, 12, GR_PARAM_ENABLE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
}

} // namespace

int main() {
    storeCard(true);
    HWND hwnd = kx::create_window("Kestrix chroma range test");
    grGlideInit();
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened != 0, "grSstWinOpen opens");
    ModeProc mode = proc<ModeProc>("grChromaRangeModeExt");
    RangeProc range = proc<RangeProc>("grChromaRangeExt");
    TexModeProc texMode = proc<TexModeProc>("grTexChromaModeExt");
    TexRangeProc texRange = proc<TexRangeProc>("grTexChromaRangeExt");
    check(mode && range && texMode && texRange, "the Voodoo3 hands out the four range procedures");
    if (opened == 0 || !(mode && range && texMode && texRange)) {
        storeCard(false);
        grGlideShutdown();
        return kx::finish(1);
    }
    check(std::strstr(grGetString(GR_EXTENSION), " CHROMARANGE TEXCHROMA ") != nullptr,
          "the Voodoo3 announces CHROMARANGE and TEXCHROMA");

    setUpDecal();
    grBufferClear(background, 0, 0xFFFF);
    bindHalves();
    texRange(GR_TMU0, redLow, redHigh, rgbAll);
    texMode(GR_TMU0, enable);
    drawQuad(40, 40, 200, 160);
    texMode(GR_TMU0, disable);
    range(greenLow, greenHigh, rgbAll);
    mode(enable);
    drawQuad(260, 40, 420, 160);
    mode(disable);
    grBufferSwap(1);
    kx::pump(300);
    std::vector<kx::Expect> expect = {
        {80, 100, 0, 0, 255, tol},  {160, 100, 0, 255, 0, tol}, {300, 100, 255, 0, 0, tol},
        {380, 100, 0, 0, 255, tol}, {500, 300, 0, 0, 255, tol},
    };
    check(kx::request_capture("glide3_chroma_range", expect, 60000),
          "the TMU's range keys the reds out of one quad, the frame's range the greens out of the other");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose");
    grGlideShutdown();
    storeCard(false);
    return kx::finish(failures ? 1 : 0);
}
