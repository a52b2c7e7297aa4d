// Combine probes drawn once with the TMU setting off and once with it on: an alpha texture over black, the
// vertex alpha in the colour and alpha combine, and untextured, one-texture and two-texture triangles in the
// order a game mixes them. Each region's colour is probed on screen. Built once per library.
#include "wine_harness.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef KESTRIX_COMBINE_GLIDE2
#include "glide2x.h"
#define KESTRIX_CAPTURE_PREFIX "glide2_combine_stages"
typedef FxBool Session;
const GrLOD_t textureLod = GR_LOD_8;
const GrAspectRatio_t textureAspect = GR_ASPECT_1x1;
#else
#include "glide3x.h"
#define KESTRIX_CAPTURE_PREFIX "glide3_combine_stages"
typedef GrContext_t Session;
const GrLOD_t textureLod = GR_LOD_LOG2_8;
const GrAspectRatio_t textureAspect = GR_ASPECT_LOG2_1x1;
#endif

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const char *const storeKey = settings_store::productKeyPath;
const char *const tmuValue = "TMU";

// The Wine prefix is shared by every test of the build: what the run changes in the settings is put back,
// and a key the run created is removed again, since an existing key turns the libraries' defaults off.
struct SavedTmu {
    bool keyExisted;
    bool valueExisted;
    DWORD value;
};

SavedTmu saveTmuSetting() {
    SavedTmu saved = {false, false, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return saved;
    saved.keyExisted = true;
    DWORD size = sizeof(saved.value);
    saved.valueExisted = RegQueryValueExA(key, tmuValue, nullptr, nullptr,
                                          reinterpret_cast<BYTE *>(&saved.value), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return saved;
}

void storeTmuSetting(DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    RegSetValueExA(key, tmuValue, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    RegCloseKey(key);
}

void restoreTmuSetting(const SavedTmu &saved) {
    if (!saved.keyExisted) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
        return;
    }
    if (saved.valueExisted) {
        storeTmuSetting(saved.value);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, tmuValue);
    RegCloseKey(key);
}

#ifdef KESTRIX_COMBINE_GLIDE2
typedef GrVertex Vertex;

// 1/w is 1: s/w and t/w are s and t.
Vertex vertex(float x, float y, float a, float r, float g, float b, float s, float t) {
    Vertex v = {};
    v.x = x;
    v.y = y;
    v.a = a;
    v.r = r;
    v.g = g;
    v.b = b;
    v.oow = 1.0f;
    for (int tmu = 0; tmu < 2; ++tmu) {
        v.tmuvtx[tmu].sow = s;
        v.tmuvtx[tmu].tow = t;
        v.tmuvtx[tmu].oow = 1.0f;
    }
    return v;
}

Session openSession(HWND hwnd) {
    return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                        GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void closeSession(Session) {
    grSstWinClose();
}

int reportedUnits() {
    GrHwConfiguration hardware = {};
    grSstQueryHardware(&hardware);
    return hardware.SSTs[0].sstBoard.VoodooConfig.nTexelfx;
}

void setVertexLayout() {}
#else
struct Vertex {
    float x, y;
    float a, r, g, b;
    float oow;
    float s0, t0;
    float s1, t1;
};

Vertex vertex(float x, float y, float a, float r, float g, float b, float s, float t) {
    return {x, y, a, r, g, b, 1.0f, s, t, s, t};
}

Session openSession(HWND hwnd) {
    return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                        GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void closeSession(Session session) {
    grSstWinClose(session);
}

int reportedUnits() {
    FxI32 units = 0;
    grGet(GR_NUM_TMU, sizeof(units), &units);
    return units;
}

void setVertexLayout() {
    grVertexLayout(GR_PARAM_XY, offsetof(Vertex, x), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_A, offsetof(Vertex, a), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, offsetof(Vertex, r), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, offsetof(Vertex, oow), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, offsetof(Vertex, s0), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST1, offsetof(Vertex, s1), GR_PARAM_ENABLE);
}
#endif

const int side = 8; // texels a side of every texture
const int regionSize = 100;
const int regionGap = 50;
const int firstRow = 30;
const int secondRow = 200;
const int thirdRow = 340;
const int tol = 12;
const float opaque = 255.0f;
const float halfAlpha = 128.0f;
const float quarterAlpha = 64.0f;

const FxU16 white565 = 0xFFFF;
const FxU16 green565 = 0x07E0;
const FxU16 yellow565 = 0xFFE0;
const FxU16 grey565 = 0x8410; // 132, 130, 132 on screen
const FxU8 opaqueTexel = 0xFF;
const FxU8 clearTexel = 0x00;

struct Color {
    float r, g, b;
};
const Color noColor = {0, 0, 0};
const Color gouraudRed = {224, 32, 32};
const Color slate = {64, 128, 192};

int regionX(int column) {
    return 20 + column * (regionSize + regionGap);
}

// A square region drawn as two triangles, every vertex with one colour and alpha; s and t span the texture.
void drawRegion(int column, int row, Color color, float alpha) {
    const float x0 = static_cast<float>(regionX(column)), y0 = static_cast<float>(row);
    const float x1 = x0 + regionSize, y1 = y0 + regionSize;
    Vertex v[4] = {
        vertex(x0, y0, alpha, color.r, color.g, color.b, 0.0f, 0.0f),
        vertex(x1, y0, alpha, color.r, color.g, color.b, 256.0f, 0.0f),
        vertex(x1, y1, alpha, color.r, color.g, color.b, 256.0f, 256.0f),
        vertex(x0, y1, alpha, color.r, color.g, color.b, 0.0f, 256.0f),
    };
    grDrawTriangle(&v[0], &v[1], &v[2]);
    grDrawTriangle(&v[0], &v[2], &v[3]);
}

kx::Expect probe(int column, int row, int dx, int r, int g, int b) {
    return {regionX(column) + dx, row + regionSize / 2, r, g, b, tol};
}

kx::Expect centre(int column, int row, int r, int g, int b) {
    return probe(column, row, regionSize / 2, r, g, b);
}

// Downloads a texture of one 16-bit texel value, or of 8-bit texels from a pattern, and selects it.
void selectTexture(GrChipID_t tmu, FxU32 address, GrTextureFormat_t format, const std::vector<FxU8> &texels) {
    GrTexInfo info = {textureLod, textureLod, textureAspect, format, const_cast<FxU8 *>(texels.data())};
    grTexDownloadMipMap(tmu, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(tmu, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexClampMode(tmu, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grTexFilterMode(tmu, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
}

std::vector<FxU8> solid565(FxU16 texel) {
    std::vector<FxU8> texels(side * side * 2);
    for (int t = 0; t < side * side; ++t) {
        texels[2 * t] = static_cast<FxU8>(texel);
        texels[2 * t + 1] = static_cast<FxU8>(texel >> 8);
    }
    return texels;
}

// Opaque in the left half, clear in the right: a glyph's stroke beside the space around it.
std::vector<FxU8> halfOpaqueAlpha() {
    std::vector<FxU8> texels(side * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            texels[y * side + x] = x < side / 2 ? opaqueTexel : clearTexel;
    return texels;
}

void colorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                  GrCombineOther_t other) {
    grColorCombine(function, factor, local, other, FXFALSE);
}

void alphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                  GrCombineOther_t other) {
    grAlphaCombine(function, factor, local, other, FXFALSE);
}

void texCombine(GrChipID_t tmu, GrCombineFunction_t function, GrCombineFactor_t factor) {
    grTexCombine(tmu, function, factor, function, factor, FXFALSE, FXFALSE);
}

void untextured() {
    colorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_NONE);
    alphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_NONE);
}

void textureOnly() {
    colorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                 GR_COMBINE_OTHER_TEXTURE);
    alphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                 GR_COMBINE_OTHER_TEXTURE);
}

// The alpha texture and the vertex alpha in the combine, first row.
void drawAlphaRegions(std::vector<kx::Expect> &expect) {
    textureOnly();
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    texCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE);
    selectTexture(GR_TMU0, 0x0000, GR_TEXFMT_ALPHA_8, halfOpaqueAlpha());
    drawRegion(0, firstRow, noColor, opaque);
    expect.push_back(probe(0, firstRow, regionSize / 4, 255, 255, 255));
    expect.push_back(probe(0, firstRow, regionSize * 3 / 4, 0, 0, 0));

    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    selectTexture(GR_TMU0, 0x1000, GR_TEXFMT_RGB_565, solid565(white565));
    // White texture times the vertex alpha.
    colorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_TEXTURE);
    drawRegion(1, firstRow, noColor, halfAlpha);
    expect.push_back(centre(1, firstRow, 128, 128, 128));
    // White texture times the vertex alpha, plus the vertex alpha.
    colorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL_ALPHA,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE);
    drawRegion(2, firstRow, noColor, quarterAlpha);
    expect.push_back(centre(2, firstRow, 128, 128, 128));
    // The alpha combine scales the texture's alpha by the vertex alpha; the blend shows the result.
    textureOnly();
    alphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_TEXTURE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    drawRegion(3, firstRow, noColor, halfAlpha);
    expect.push_back(centre(3, firstRow, 128, 128, 128));
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
}

// Untextured, one-texture and two-texture triangles, mixed as a game mixes them: second and third row.
void drawStageRegions(bool twoUnits, std::vector<kx::Expect> &expect) {
    untextured();
    drawRegion(0, secondRow, gouraudRed, opaque);
    expect.push_back(centre(0, secondRow, 224, 32, 32));

    texCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE);
    selectTexture(GR_TMU0, 0x2000, GR_TEXFMT_RGB_565, solid565(green565));
    textureOnly();
    drawRegion(1, secondRow, noColor, opaque);
    expect.push_back(centre(1, secondRow, 0, 255, 0));

    // Two units multiply their textures; with one unit the program draws the first texture alone.
    selectTexture(GR_TMU0, 0x3000, GR_TEXFMT_RGB_565, solid565(yellow565));
    if (twoUnits) {
        selectTexture(GR_TMU1, 0x0000, GR_TEXFMT_RGB_565, solid565(grey565));
        texCombine(GR_TMU1, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE);
        texCombine(GR_TMU0, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL);
    }
    drawRegion(2, secondRow, noColor, opaque);
    expect.push_back(twoUnits ? centre(2, secondRow, 132, 130, 0) : centre(2, secondRow, 255, 255, 0));

    // Textures stay selected on both units while the program draws untextured again.
    untextured();
    drawRegion(3, secondRow, gouraudRed, opaque);
    expect.push_back(centre(3, secondRow, 224, 32, 32));

    // One texture again, now modulated by the vertex colour, with TMU 1's texture still selected.
    texCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE);
    selectTexture(GR_TMU0, 0x4000, GR_TEXFMT_RGB_565, solid565(white565));
    colorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_TEXTURE);
    alphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_NONE);
    drawRegion(0, thirdRow, slate, opaque);
    expect.push_back(centre(0, thirdRow, 64, 128, 192));

    // TMU 0 turned off by its texture combine: the vertex colour alone.
    if (twoUnits) {
        texCombine(GR_TMU0, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE);
        texCombine(GR_TMU1, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE);
    }
    untextured();
    drawRegion(1, thirdRow, gouraudRed, opaque);
    expect.push_back(centre(1, thirdRow, 224, 32, 32));
}

void runWithTmuSetting(DWORD tmuSetting) {
    char what[160];
    storeTmuSetting(tmuSetting);
    HWND hwnd = kx::create_window("Kestrix combine stages test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return;
    grGlideInit();
    int units = reportedUnits();
    Session opened = openSession(hwnd);
    check(opened != 0, "grSstWinOpen 640x480 opens");
    if (opened == 0) {
        grGlideShutdown();
        DestroyWindow(hwnd);
        return;
    }
    std::snprintf(what, sizeof what, "TMU setting %lu reports %d texture units", tmuSetting, units);
    check(units == (tmuSetting ? 2 : 1), what);
    setVertexLayout();
    grBufferClear(0, 0, 0xFFFF);

    std::vector<kx::Expect> expect;
    drawAlphaRegions(expect);
    drawStageRegions(units == 2, expect);

    grBufferSwap(1);
    kx::pump(300);
    std::snprintf(what, sizeof what, KESTRIX_CAPTURE_PREFIX "_tmu%lu", tmuSetting);
    check(kx::request_capture(what, expect, 60000), "every region's colour on screen");

    closeSession(opened);
    grGlideShutdown();
    DestroyWindow(hwnd);
    kx::pump(100);
}

} // namespace

int main() {
    SavedTmu saved = saveTmuSetting();
    runWithTmuSetting(0);
    runWithTmuSetting(1);
    restoreTmuSetting(saved);
    return kx::finish(failures ? 1 : 0);
}
