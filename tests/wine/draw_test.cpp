// Draws through the Glide 2 drawing calls on a real Direct3D device and has the runner probe the screen:
// a Gouraud triangle, textured quads in a native (565) and a converted paletted (P8) format, a chroma-keyed
// texture with its keyed texels left out, alpha blending, two overlapping triangles under a depth test;
// in a second capture, the lower-left origin; in a third, soft edges of an antialiased triangle and line, a
// lower-left frame-buffer lock and the shameless plug.
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

// 16-bit display: 5 or 6 bits per channel, and the rasteriser's own rounding.
const int tol = 14;
const GrColor_t background = 0x00202020;

GrVertex vertex(float x, float y, int r, int g, int b, int a = 255, float oow = 1.0f, float s = 0.0f,
                float t = 0.0f) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    // Snapped the way Glide applications snap: the library removes the offset again.
    v.x = x + 786432.0f;
    v.y = y + 786432.0f;
    v.r = static_cast<float>(r);
    v.g = static_cast<float>(g);
    v.b = static_cast<float>(b);
    v.a = static_cast<float>(a);
    v.oow = oow;
    v.tmuvtx[0].sow = s * oow;
    v.tmuvtx[0].tow = t * oow;
    return v;
}

void quad(float x0, float y0, float x1, float y1, int r, int g, int b, int a = 255, float oow = 1.0f) {
    GrVertex v[4] = {vertex(x0, y0, r, g, b, a, oow, 0, 0), vertex(x1, y0, r, g, b, a, oow, 256, 0),
                     vertex(x1, y1, r, g, b, a, oow, 256, 256), vertex(x0, y1, r, g, b, a, oow, 0, 256)};
    grDrawPolygonVertexList(4, v);
}

void gouraudCombine() {
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

void decalCombine() {
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

GrTexInfo textureInfo(GrTextureFormat_t format, void *data) {
    GrTexInfo info;
    info.smallLod = GR_LOD_64;
    info.largeLod = GR_LOD_64;
    info.aspectRatio = GR_ASPECT_1x1;
    info.format = format;
    info.data = data;
    return info;
}

void useTexture(FxU32 address, GrTexInfo &info) {
    grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
}

// A 64 x 64 texture in four quadrants: 0 top left, 1 top right, 2 bottom left, 3 bottom right.
int quadrantOf(int x, int y) {
    return (y >= 32 ? 2 : 0) + (x >= 32 ? 1 : 0);
}

uint16_t texels565[64 * 64];
uint8_t texels8[64 * 64];
uint8_t keyed8[64 * 64];
uint16_t keyed565[64 * 64];
uint16_t keyed1555[64 * 64];

void drawScene() {
    grBufferClear(background, 0, 0xFFFF);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXFALSE);

    // Gouraud triangle: red, green and blue corners.
    gouraudCombine();
    GrVertex a = vertex(20, 20, 255, 0, 0), b = vertex(200, 20, 0, 255, 0), c = vertex(110, 200, 0, 0, 255);
    grDrawTriangle(&a, &b, &c);

    // Native 565 texture: red, green / blue, yellow.
    const uint16_t colors565[4] = {0xF800, 0x07E0, 0x001F, 0xFFE0};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            texels565[y * 64 + x] = colors565[quadrantOf(x, y)];
    GrTexInfo native = textureInfo(GR_TEXFMT_RGB_565, texels565);
    useTexture(0, native);
    decalCombine();
    quad(240, 20, 400, 180, 255, 255, 255);

    // Paletted texture, converted by the library: cyan, magenta / white, orange.
    GuTexPalette palette;
    std::memset(&palette, 0, sizeof(palette));
    palette.data[10] = 0x0000FFFF;
    palette.data[20] = 0x00FF00FF;
    palette.data[30] = 0x00FFFFFF;
    palette.data[40] = 0x00FF8000;
    const uint8_t indices[4] = {10, 20, 30, 40};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            texels8[y * 64 + x] = indices[quadrantOf(x, y)];
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
    GrTexInfo paletted = textureInfo(GR_TEXFMT_P_8, texels8);
    useTexture(0x10000, paletted);
    quad(420, 20, 580, 180, 255, 255, 255);

    // Chroma key: a white frame around magenta texels that the key takes out, in a converted 32-bit layout
    // and in the native 16-bit layouts (opaque 1555 texels carry their alpha bit).
    grChromakeyValue(0x00FF00FF);
    palette.data[50] = 0x00FFFFFF;
    palette.data[60] = 0x00FF00FF;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            keyed8[y * 64 + x] = (x >= 16 && x < 48 && y >= 16 && y < 48) ? 60 : 50;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
    GrTexInfo keyed = textureInfo(GR_TEXFMT_P_8, keyed8);
    useTexture(0x20000, keyed);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    quad(20, 260, 180, 420, 255, 255, 255);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool middle = x >= 16 && x < 48 && y >= 16 && y < 48;
            keyed565[y * 64 + x] = middle ? 0xF81F : 0xFFFF;
            keyed1555[y * 64 + x] = middle ? 0xFC1F : 0xFFFF;
        }
    GrTexInfo keyedNative = textureInfo(GR_TEXFMT_RGB_565, keyed565);
    useTexture(0x28000, keyedNative);
    quad(240, 196, 300, 256, 255, 255, 255);
    GrTexInfo keyedAlpha = textureInfo(GR_TEXFMT_ARGB_1555, keyed1555);
    useTexture(0x2C000, keyedAlpha);
    quad(320, 196, 380, 256, 255, 255, 255);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);

    // Alpha blending: half-transparent blue over opaque red.
    gouraudCombine();
    grTexSource(GR_TMU0, 0x30000, GR_MIPMAPLEVELMASK_BOTH, &keyed); // an empty slot: no texture bound
    quad(220, 260, 360, 400, 255, 0, 0);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    quad(300, 320, 420, 440, 0, 0, 255, 128);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);

    // Depth: the near green triangle (w 2) first, then the far yellow one (w 10) across it.
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    GrVertex n0 = vertex(460, 260, 0, 255, 0, 255, 0.5f), n1 = vertex(620, 260, 0, 255, 0, 255, 0.5f),
             n2 = vertex(460, 420, 0, 255, 0, 255, 0.5f);
    GrVertex f0 = vertex(500, 300, 255, 255, 0, 255, 0.1f), f1 = vertex(630, 300, 255, 255, 0, 255, 0.1f),
             f2 = vertex(630, 460, 255, 255, 0, 255, 0.1f);
    grDrawTriangle(&n0, &n1, &n2);
    grDrawTriangle(&f0, &f1, &f2);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
}

void drawLowerLeft() {
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grBufferClear(background, 0, 0xFFFF);
    gouraudCombine();
    // Glide y runs upwards from the bottom: this white triangle sits at the bottom of the screen...
    GrVertex a = vertex(40, 20, 255, 255, 255), b = vertex(240, 20, 255, 255, 255),
             c = vertex(40, 140, 255, 255, 255);
    grDrawTriangle(&a, &b, &c);
    // ...and this red band at the top.
    quad(400, 400, 600, 460, 255, 0, 0);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
}

// Edges fade over a pixel; Direct3D's pixel centres lie on whole coordinates, so the line between rows
// 220 and 221 covers each half.
void drawSoftAndPlug() {
    grBufferClear(background, 0, 0xFFFF);
    gouraudCombine();
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    GrVertex a = vertex(360, 40, 255, 255, 255), b = vertex(600, 40, 255, 255, 255),
             c = vertex(360, 200, 255, 255, 255);
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXTRUE, FXTRUE);
    GrVertex from = vertex(340, 220.5f, 255, 255, 255), to = vertex(620, 220.5f, 255, 255, 255);
    grAADrawLine(&from, &to);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);

    GrLfbInfo_t info;
    std::memset(&info, 0, sizeof(info));
    info.size = sizeof(info);
    check(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_LOWER_LEFT,
                    FXFALSE, &info) == FXTRUE,
          "grLfbLock with the lower-left origin");
    for (int y = 0; y < 10 && info.lfbPtr; ++y) {
        FxU16 *row =
            reinterpret_cast<FxU16 *>(static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes);
        for (int x = 20; x < 60; ++x)
            row[x] = 0xF800;
    }
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    grGlideShamelessPlug(FXTRUE);
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix draw test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen 640x480 returns FXTRUE");
    if (opened != FXTRUE) {
        grGlideShutdown();
        return kx::finish(1);
    }

    const int bg = 0x20;
    drawScene();
    grBufferSwap(1);
    kx::pump(300);
    std::vector<kx::Expect> scene = {
        // Gouraud: near each corner its own colour, the centroid an even mix.
        {32, 24, 240, 10, 10, 30},
        {188, 24, 10, 240, 10, 30},
        {110, 190, 10, 10, 240, 30},
        {110, 80, 85, 85, 85, tol},
        {200, 150, bg, bg, bg, tol},
        // 565 quad: each quadrant's texel colour.
        {280, 60, 255, 0, 0, tol},
        {360, 60, 0, 255, 0, tol},
        {280, 140, 0, 0, 255, tol},
        {360, 140, 255, 255, 0, tol},
        // P8 quad.
        {460, 60, 0, 255, 255, tol},
        {540, 60, 255, 0, 255, tol},
        {460, 140, 255, 255, 255, tol},
        {540, 140, 255, 128, 0, tol},
        // Chroma key: the frame is drawn, the keyed middle shows the background.
        {30, 270, 255, 255, 255, tol},
        {170, 410, 255, 255, 255, tol},
        {100, 340, bg, bg, bg, tol},
        {243, 199, 255, 255, 255, tol},
        {270, 226, bg, bg, bg, tol},
        {323, 199, 255, 255, 255, tol},
        {350, 226, bg, bg, bg, tol},
        // Blending: red alone, blue over red, blue over the background.
        {240, 280, 255, 0, 0, tol},
        {330, 360, 127, 0, 128, tol},
        {400, 420, (bg + 1) / 2, (bg + 1) / 2, (bg + 255) / 2, tol},
        // Depth: the near triangle keeps the overlap, the far one shows beyond it.
        {470, 270, 0, 255, 0, tol},
        {520, 320, 0, 255, 0, tol},
        {620, 440, 255, 255, 0, tol},
    };
    check(kx::request_capture("draw_scene", scene, 60000), "scene pixels match");

    drawLowerLeft();
    grBufferSwap(1);
    kx::pump(300);
    std::vector<kx::Expect> lowerLeft = {
        {60, 450, 255, 255, 255, tol},
        {60, 40, bg, bg, bg, tol},
        {500, 50, 255, 0, 0, tol},
        {500, 440, bg, bg, bg, tol},
    };
    check(kx::request_capture("draw_lower_left", lowerLeft, 60000), "lower-left origin pixels match");

    drawSoftAndPlug();
    grBufferSwap(1);
    kx::pump(300);
    // Halfway between the background and white, with room for the exact coverage.
    const int half = (bg + 255) / 2, soft = 60;
    std::vector<kx::Expect> softAndPlug = {
        {400, 80, 255, 255, 255, tol},
        {479, 121, half, half, half, soft},
        {478, 122, half, half, half, soft},
        {520, 160, bg, bg, bg, tol},
        {480, 219, bg, bg, bg, tol},
        {480, 220, half, half, half, soft},
        {480, 221, half, half, half, soft},
        // The lock's rows 0 and 9 are the screen's rows 479 and 470.
        {40, 479, 255, 0, 0, tol},
        {40, 470, 255, 0, 0, tol},
        {40, 468, bg, bg, bg, tol},
        // The plug, 160 × 32, in the bottom-right corner: its bar and its dark ground.
        {580, 472, 226, 122, 48, tol},
        {484, 452, 12, 16, 28, tol},
        {470, 452, bg, bg, bg, tol},
    };
    check(kx::request_capture("draw_soft_and_plug", softAndPlug, 60000), "soft edges, lower-left lock, plug");

    grSstWinClose();
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
