// Blend factors by their position and fog in the colour asked for, probed on the screen, through tessel2 or
// (built with KESTRIX_FOG_GLIDE3) tessel3: the frame buffer multiplied by a light map and by its inverse,
// fully fogged pixels under fog colour C0C0C0 (table fog and the device's own), table fog near and far,
// and the two-pass "base × light map, fogged to grey" with GR_FOG_ADD2, GR_FOG_MULT2 and the pre-fog factor.
#include "wine_harness.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#ifdef KESTRIX_FOG_GLIDE3
#include "glide3x.h"
#else
#include "glide2x.h"
#endif

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

// 16-bit display: 5 or 6 bits per channel, and the rasteriser's own rounding.
const int tol = 14;

struct Color {
    int r, g, b;
};

const Color white = {255, 255, 255}, base = {200, 100, 50}, lightMap = {128, 255, 64};
const FxU32 lightGrey = 0x00C0C0C0, green = 0x0000FF00, background = 0x00000000;
const float nearW = 1.0f, farW = 2000.0f, fullDepth = 65535.0f;
const GrFog_t halfFog = 128, fullFog = 255;
const float expDensity = 0.01f;
const int fogTableEntries = 64;

struct Rect {
    float x0, y0, x1, y1;
    int cx() const { return static_cast<int>((x0 + x1) / 2); }
    int cy() const { return static_cast<int>((y0 + y1) / 2); }
};

// The screen: one feature per region.
const Rect multiply = {20, 20, 120, 100}, inverse = {140, 20, 240, 100}, sourceDst = {260, 20, 360, 100};
const Rect tableFull = {20, 140, 120, 220}, depthFull = {140, 140, 240, 220};
const Rect expNear = {260, 140, 360, 220}, expFar = {380, 140, 480, 220};
const Rect twoPassNear = {20, 260, 120, 340}, twoPassFar = {140, 260, 240, 340};

#ifdef KESTRIX_FOG_GLIDE3
struct Vertex {
    float x, y, ooz, q;
    float r, g, b, a;
};

Vertex vertex(float x, float y, Color c, float w, float ooz) {
    return Vertex{x, y, ooz, 1.0f / w, float(c.r), float(c.g), float(c.b), 255.0f};
}

void setLayout() {
    grVertexLayout(GR_PARAM_XY, offsetof(Vertex, x), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Z, offsetof(Vertex, ooz), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, offsetof(Vertex, q), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, offsetof(Vertex, r), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_A, offsetof(Vertex, a), GR_PARAM_ENABLE);
}

const GrFogMode_t tableFog = GR_FOG_WITH_TABLE_ON_Q;
#else
typedef GrVertex Vertex;

Vertex vertex(float x, float y, Color c, float w, float ooz) {
    GrVertex v = {};
    v.x = x;
    v.y = y;
    v.ooz = ooz;
    v.oow = 1.0f / w;
    v.r = float(c.r);
    v.g = float(c.g);
    v.b = float(c.b);
    v.a = 255.0f;
    return v;
}

void setLayout() {}

const GrFogMode_t tableFog = GR_FOG_WITH_TABLE;
#endif

void quad(const Rect &r, Color c, float w = nearW, float ooz = 0.0f) {
    Vertex a = vertex(r.x0, r.y0, c, w, ooz), b = vertex(r.x1, r.y0, c, w, ooz);
    Vertex d = vertex(r.x0, r.y1, c, w, ooz), e = vertex(r.x1, r.y1, c, w, ooz);
    grDrawTriangle(&a, &b, &d);
    grDrawTriangle(&b, &e, &d);
}

void setBlend(GrAlphaBlendFnc_t source, GrAlphaBlendFnc_t destination) {
    grAlphaBlendFunction(source, destination, GR_BLEND_ONE, GR_BLEND_ZERO);
}

void fillTable(GrFog_t value) {
    GrFog_t table[fogTableEntries];
    for (GrFog_t &entry : table)
        entry = value;
    grFogTable(table);
}

// The base, then the light map over it by the factor pair given.
void lightMapped(const Rect &r, GrAlphaBlendFnc_t source, GrAlphaBlendFnc_t destination) {
    setBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
    quad(r, base);
    setBlend(source, destination);
    quad(r, lightMap);
}

void drawBlends() {
    lightMapped(multiply, GR_BLEND_ZERO, GR_BLEND_SRC_COLOR);
    lightMapped(inverse, GR_BLEND_ZERO, GR_BLEND_ONE_MINUS_SRC_COLOR);
    lightMapped(sourceDst, GR_BLEND_DST_COLOR, GR_BLEND_ZERO);
    setBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
}

void drawFogColors() {
    grFogColorValue(lightGrey);
    fillTable(fullFog);
    grFogMode(tableFog);
    quad(tableFull, white);
    // The device's own linear fog at the far end of the depth range.
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grDepthBufferFunction(GR_CMP_ALWAYS);
    grFogMode(GR_FOG_WITH_ITERATED_Z);
    quad(depthFull, white, nearW, fullDepth);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);

    GrFog_t table[fogTableEntries];
    guFogGenerateExp(table, expDensity);
    grFogTable(table);
    grFogColorValue(green);
    grFogMode(tableFog);
    quad(expNear, white, nearW);
    quad(expFar, white, farW);
    grFogMode(GR_FOG_DISABLE);
}

// Pass 1 leaves (1 - f) × base; pass 2 makes it (1 - f) × base × light + f × grey.
void drawTwoPass() {
    grFogColorValue(lightGrey);
    fillTable(halfFog);
    const Rect *rects[2] = {&twoPassNear, &twoPassFar};
    for (int i = 0; i < 2; ++i) {
        if (i == 1) fillTable(fullFog);
        grFogMode(tableFog | GR_FOG_ADD2);
        setBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
        quad(*rects[i], base);
        grFogMode(tableFog | GR_FOG_MULT2);
        setBlend(GR_BLEND_ONE, GR_BLEND_PREFOG_COLOR);
        quad(*rects[i], lightMap);
    }
    grFogMode(GR_FOG_DISABLE);
    setBlend(GR_BLEND_ONE, GR_BLEND_ZERO);
}

int product(int a, int b) {
    return a * b / 255;
}

kx::Expect at(const Rect &r, int red, int grn, int blu) {
    return kx::Expect{r.cx(), r.cy(), red, grn, blu, tol};
}

const char *const storeKey = settings_store::productKeyPath;

// The other programs share the Wine prefix: the settings are left as they were found. Without a product key
// the one the settings program writes with "Fog" ticked is written and taken away at the end; a key with
// Fog off or missing has Fog switched on for the run and put back.
struct SavedSettings {
    bool createdKey;
    bool changedFog;
    bool hadFog;
    DWORD fog;
};

SavedSettings enableFog() {
    SavedSettings saved = {false, false, false, 0};
    HKEY key = nullptr;
    DWORD on = 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof(saved.fog);
        saved.hadFog = RegQueryValueExA(key, "Fog", nullptr, nullptr, reinterpret_cast<BYTE *>(&saved.fog),
                                        &size) == ERROR_SUCCESS;
        if (!saved.hadFog || saved.fog == 0)
            saved.changedFog = RegSetValueExA(key, "Fog", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&on),
                                              sizeof(on)) == ERROR_SUCCESS;
        RegCloseKey(key);
        return saved;
    }
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, storeKey, &key) != ERROR_SUCCESS) return saved;
    saved.createdKey = true;
    const struct {
        const char *name;
        DWORD value;
    } values[] = {{"Antialiasing", 0}, {"Fog", 1},          {"Oversample", 0}, {"ColorDepth", 16},
                  {"ZFast", 0},        {"TripleBuffer", 0}, {"WaveRace", 0},   {"FightingForceFix", 0},
                  {"Filtering", 0},    {"TMU", 0}};
    for (const auto &v : values)
        RegSetValueExA(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v.value), sizeof(v.value));
    RegCloseKey(key);
    return saved;
}

void restoreSettings(const SavedSettings &saved) {
    if (saved.createdKey) RegDeleteKeyA(HKEY_LOCAL_MACHINE, storeKey);
    if (!saved.changedFog) return;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (saved.hadFog)
        RegSetValueExA(key, "Fog", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&saved.fog),
                       sizeof(saved.fog));
    else
        RegDeleteValueA(key, "Fog");
    RegCloseKey(key);
}

#ifdef KESTRIX_FOG_GLIDE3
const char captureName[] = "fog_blend3";
#else
const char captureName[] = "fog_blend2";
#endif

} // namespace

int main() {
    SavedSettings saved = enableFog();
    HWND hwnd = kx::create_window("Kestrix fog and blend test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) {
        restoreSettings(saved);
        return kx::finish(1);
    }

    grGlideInit();
#ifdef KESTRIX_FOG_GLIDE3
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
#else
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
#endif
    check(opened != 0, "grSstWinOpen 640x480");
    if (opened == 0) {
        grGlideShutdown();
        restoreSettings(saved);
        return kx::finish(1);
    }

    grBufferClear(background, 0, 0xFFFF);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grCullMode(GR_CULL_DISABLE);
    setLayout();

    drawBlends();
    drawFogColors();
    drawTwoPass();
    grBufferSwap(1);
    kx::pump(300);

    const int grey = 0xC0;
    const double f = halfFog / 255.0;
    auto fogged = [&](int b, int l) { return static_cast<int>((1.0 - f) * product(b, l) + f * grey + 0.5); };
    const int nearFog = static_cast<int>((1.0 - std::exp(-expDensity * nearW)) * 255.0);
    std::vector<kx::Expect> expect = {
        at(multiply, product(base.r, lightMap.r), product(base.g, lightMap.g), product(base.b, lightMap.b)),
        at(inverse, product(base.r, 255 - lightMap.r), product(base.g, 255 - lightMap.g),
           product(base.b, 255 - lightMap.b)),
        at(sourceDst, product(base.r, lightMap.r), product(base.g, lightMap.g), product(base.b, lightMap.b)),
        at(tableFull, grey, grey, grey),
        at(depthFull, grey, grey, grey),
        at(expNear, 255 - nearFog, 255, 255 - nearFog),
        at(expFar, 0, 255, 0),
        at(twoPassNear, fogged(base.r, lightMap.r), fogged(base.g, lightMap.g), fogged(base.b, lightMap.b)),
        at(twoPassFar, grey, grey, grey),
    };
    check(kx::request_capture(captureName, expect, 60000),
          "light map and inverse, fog colour, table fog near and far, two-pass pre-fog");

#ifdef KESTRIX_FOG_GLIDE3
    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose closes the context");
#else
    grSstWinClose();
#endif
    grGlideShutdown();
    restoreSettings(saved);
    return kx::finish(failures ? 1 : 0);
}
