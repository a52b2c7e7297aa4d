// Draws one feature per screen region through the Glide 2 calls on Wine's Direct3D and has the runner probe
// the screen after a single swap. The 640 x 480 screen is cut into 160 x 160 cells:
//   row 0: depth from ooz, the state an overlay restores, the clip window, table fog;
//   row 1: the chroma key changed after the texture was sourced, the alpha test, the utility library's
//          texture manager, a linear frame buffer write over geometry;
//   row 2: back-face culling in the upper-left origin, in the lower-left origin, and a front-facing control.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide2x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

// 16-bit display: 5 or 6 bits per channel.
const int tol = 12;
const GrColor_t background = 0x00202020;
const int bg = 0x20;

const char *const productKey = settings_store::productKeyPath;

// Table fog only reaches the device while the Fog setting is on. With no product key the library's defaults
// have it on; a key left with Fog at 0 is switched on for the run and put back afterwards.
struct SavedFog {
    bool changed;
    DWORD value;
};

SavedFog enableFogSetting() {
    SavedFog saved = {false, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return saved;
    DWORD size = sizeof(saved.value);
    bool present = RegQueryValueExA(key, "Fog", nullptr, nullptr, reinterpret_cast<BYTE *>(&saved.value),
                                    &size) == ERROR_SUCCESS;
    if (present && saved.value == 0) {
        DWORD on = 1;
        saved.changed = RegSetValueExA(key, "Fog", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&on),
                                       sizeof(on)) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return saved;
}

void restoreFogSetting(const SavedFog &saved) {
    if (!saved.changed) return;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, "Fog", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&saved.value),
                   sizeof(saved.value));
    RegCloseKey(key);
}

GrVertex vertex(float x, float y, int r, int g, int b, int a = 255, float ooz = 0.0f, float s = 0.0f,
                float t = 0.0f) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    v.x = x;
    v.y = y;
    v.r = static_cast<float>(r);
    v.g = static_cast<float>(g);
    v.b = static_cast<float>(b);
    v.a = static_cast<float>(a);
    v.ooz = ooz;
    v.oow = 1.0f;
    v.tmuvtx[0].sow = s;
    v.tmuvtx[0].tow = t;
    return v;
}

// A quad whose texture coordinates span a whole 1x1 texture.
void quad(float x0, float y0, float x1, float y1, int r, int g, int b, int a = 255, float ooz = 0.0f) {
    GrVertex v[4] = {vertex(x0, y0, r, g, b, a, ooz, 0, 0), vertex(x1, y0, r, g, b, a, ooz, 256, 0),
                     vertex(x1, y1, r, g, b, a, ooz, 256, 256), vertex(x0, y1, r, g, b, a, ooz, 0, 256)};
    grDrawPolygonVertexList(4, v);
}

void vertexColorCombine() {
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

void textureCombine() {
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

const uint16_t red565 = 0xF800, blue565 = 0x001F, orange565 = 0xFC00, cyan565 = 0x07FF;

uint16_t keyedTexels[64 * 64];
uint16_t managedTexels[64 * 64];
uint16_t whitePixels[16 * 16];

// Near (ooz 1000) green first, then far (ooz 60000) yellow across it: the overlap stays green.
void drawDepth() {
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    quad(175, 15, 265, 105, 0, 255, 0, 255, 1000.0f);
    quad(215, 55, 305, 145, 255, 255, 0, 255, 60000.0f);
}

// An overlay saves the state, draws a green constant-colour band with blending and no depth test, and puts
// the state back. The red triangle after it, with a vertex alpha of 0, shows its own colour, and the depth
// test it brought back keeps it in front of a far blue quad.
void drawAfterOverlay() {
    static GrState saved;
    grGlideGetState(&saved);
    grConstantColorValue(0xFF00FF00);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    quad(15, 15, 145, 55, 255, 0, 0, 0);
    grGlideSetState(&saved);

    GrVertex a = vertex(15, 70, 255, 0, 0, 0, 1000.0f), b = vertex(145, 70, 255, 0, 0, 0, 1000.0f),
             c = vertex(80, 150, 255, 0, 0, 0, 1000.0f);
    grDrawTriangle(&a, &b, &c);
    quad(95, 80, 150, 110, 0, 0, 255, 255, 60000.0f);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
}

// A cyan quad larger than the clip window colours only the window.
void drawClipped() {
    grClipWindow(360, 40, 440, 120);
    quad(330, 10, 470, 150, 0, 255, 255);
    grClipWindow(0, 0, 640, 480);
}

// A black quad under full table fog turns the fog colour; with fog off again a black quad stays black.
void drawFog() {
    GrFog_t table[GR_FOG_TABLE_SIZE];
    std::memset(table, 255, sizeof(table));
    grFogTable(table);
    grFogColorValue(0x00FFFFFF);
    grFogMode(GR_FOG_WITH_TABLE);
    quad(500, 20, 620, 100, 0, 0, 0);
    grFogMode(GR_FOG_DISABLE);
    quad(500, 115, 620, 145, 0, 0, 0);
}

// A texture red on the left, blue on the right, sourced while the key is blue: the first quad loses its blue
// half. The key then turns red before the second quad, which loses its red half instead.
void drawChromakeyed() {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            keyedTexels[y * 64 + x] = x < 32 ? red565 : blue565;
    GrTexInfo info = {GR_LOD_64, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, keyedTexels};
    const FxU32 address = 0x200000;
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grChromakeyValue(0x000000FF);
    grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    textureCombine();
    quad(12, 180, 76, 300, 255, 255, 255);
    grChromakeyValue(0x00FF0000);
    quad(84, 180, 148, 300, 255, 255, 255);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    vertexColorCombine();
}

// Alpha must be above 0x80: the quad with alpha 100 is left out, the one with 200 drawn.
void drawAlphaTested() {
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(0x80);
    quad(175, 180, 235, 300, 255, 255, 255, 100);
    quad(245, 180, 305, 300, 255, 255, 255, 200);
    grAlphaTestFunction(GR_CMP_ALWAYS);
}

// The texture manager allocates, downloads and selects a texture orange above, cyan below.
bool drawManagedTexture() {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            managedTexels[y * 64 + x] = y < 32 ? orange565 : cyan565;
    GrMipMapId_t id =
        guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 64, 64, GR_TEXFMT_RGB_565, GR_MIPMAP_DISABLE,
                            GR_LOD_64, GR_LOD_64, GR_ASPECT_1x1, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP,
                            GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f, FXFALSE);
    if (id == GR_NULL_MIPMAP_HANDLE) return false;
    guTexDownloadMipMap(id, managedTexels, nullptr);
    guTexSource(id);
    textureCombine();
    quad(340, 180, 460, 300, 255, 255, 255);
    vertexColorCombine();
    return guTexGetCurrentMipMap(GR_TMU0) == id;
}

// The same screen triangle three times under GR_CULL_NEGATIVE. Given counter-clockwise in the upper-left
// origin its area is negative and it is culled. Given in the lower-left origin (y' = 480 - y) the same
// vertices in the same order wind the other way, so it is drawn; so is its clockwise twin in the upper-left.
void drawCulled() {
    grCullMode(GR_CULL_NEGATIVE);
    GrVertex a = vertex(20, 340, 255, 255, 0), b = vertex(20, 460, 255, 255, 0),
             c = vertex(140, 400, 255, 255, 0);
    grDrawTriangle(&a, &b, &c);

    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    GrVertex la = vertex(180, 480 - 340, 255, 255, 0), lb = vertex(180, 480 - 460, 255, 255, 0),
             lc = vertex(300, 480 - 400, 255, 255, 0);
    grDrawTriangle(&la, &lb, &lc);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);

    GrVertex ca = vertex(340, 340, 255, 255, 0), cb = vertex(460, 400, 255, 255, 0),
             cc = vertex(340, 460, 255, 255, 0);
    grDrawTriangle(&ca, &cb, &cc);
    grCullMode(GR_CULL_DISABLE);
}

// A blue quad, then 16 x 16 white pixels written into the back buffer over its middle.
bool drawUnderFrameBufferWrite() {
    quad(500, 180, 620, 300, 0, 0, 255);
    for (uint16_t &pixel : whitePixels)
        pixel = 0xFFFF;
    return grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 552, 232, GR_LFB_SRC_FMT_565, 16, 16, 16 * 2,
                            whitePixels) == FXTRUE;
}

} // namespace

int main() {
    SavedFog savedFog = enableFogSetting();
    HWND hwnd = kx::create_window("Kestrix fidelity test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) {
        restoreFogSetting(savedFog);
        return kx::finish(1);
    }

    grGlideInit();
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen 640x480 returns FXTRUE");
    if (opened != FXTRUE) {
        grGlideShutdown();
        restoreFogSetting(savedFog);
        return kx::finish(1);
    }

    grBufferClear(background, 0, 0xFFFF);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    vertexColorCombine();

    drawDepth();
    drawAfterOverlay();
    drawClipped();
    drawFog();
    drawChromakeyed();
    drawAlphaTested();
    check(drawManagedTexture(), "guTexSource makes the allocated mipmap the current one");
    drawCulled();
    check(drawUnderFrameBufferWrite(), "grLfbWriteRegion writes the back buffer");
    grBufferSwap(1);
    kx::pump(300);

    std::vector<kx::Expect> expect = {
        // Depth: near alone, the overlap, far alone.
        {190, 30, 0, 255, 0, tol},
        {240, 80, 0, 255, 0, tol},
        {290, 130, 255, 255, 0, tol},
        // Overlay band, then the red triangle after the state came back, in front of the far blue quad.
        {80, 35, 0, 255, 0, tol},
        {60, 90, 255, 0, 0, tol},
        {110, 95, 255, 0, 0, tol},
        {140, 105, 0, 0, 255, tol},
        // Clip window: inside, and the quad's parts outside it on each side.
        {400, 80, 0, 255, 255, tol},
        {345, 80, bg, bg, bg, tol},
        {455, 80, bg, bg, bg, tol},
        {400, 25, bg, bg, bg, tol},
        {400, 135, bg, bg, bg, tol},
        // Fog: full table fog, then fog off.
        {560, 60, 255, 255, 255, tol},
        {560, 130, 0, 0, 0, tol},
        // Chroma key blue: red half drawn, blue half keyed; key red: red half keyed, blue half drawn.
        {28, 240, 255, 0, 0, tol},
        {60, 240, bg, bg, bg, tol},
        {100, 240, bg, bg, bg, tol},
        {132, 240, 0, 0, 255, tol},
        // Alpha test.
        {205, 240, bg, bg, bg, tol},
        {275, 240, 255, 255, 255, tol},
        // Texture manager: orange above, cyan below.
        {400, 210, 255, 130, 0, tol},
        {400, 270, 0, 255, 255, tol},
        // Frame buffer write over the blue quad.
        {560, 240, 255, 255, 255, tol},
        {515, 195, 0, 0, 255, tol},
        // Culling: culled, drawn from the lower-left origin, drawn clockwise.
        {60, 400, bg, bg, bg, tol},
        {220, 400, 255, 255, 0, tol},
        {380, 400, 255, 255, 0, tol},
        // The spare cell stays clear.
        {560, 400, bg, bg, bg, tol},
    };
    check(kx::request_capture("fidelity", expect, 60000), "each region shows its feature");

    grSstWinClose();
    grGlideShutdown();
    restoreFogSetting(savedFog);
    return kx::finish(failures ? 1 : 0);
}
