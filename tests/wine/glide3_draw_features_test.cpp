// Draws Glide 3 features one per screen region on a real Direct3D device and has the runner probe them:
// a triangle in clip coordinates mapped through a viewport, soft edges of an antialiased triangle and of a
// line under ordered antialiasing, a lower-left frame-buffer lock, the shameless plug in its corner, and
// then a full-screen splash.
#include "wine_harness.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "glide3x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

// 16-bit display: 5 or 6 bits per channel, and the rasteriser's own rounding.
const int tol = 14;
const int background = 0x40;
const FxU32 backgroundColor = 0x00404040;

struct Vertex {
    float x, y, w;
    float r, g, b, a;
};

// Clip coordinates: channels 0 to 1.
Vertex clipVertex(float x, float y, float w) {
    return Vertex{x, y, w, 0.0f, 1.0f, 0.0f, 1.0f};
}

Vertex white(float x, float y) {
    return Vertex{x, y, 1.0f, 255.0f, 255.0f, 255.0f, 255.0f};
}

// Top left: a green triangle at x/w, y/w of ±0.5 in a 320 × 240 viewport, w = 2.
void drawClipCoordinates() {
    grCoordinateSpace(GR_CLIP_COORDS);
    grViewport(0, 0, 320, 240);
    grDepthRange(0.0f, 1.0f);
    Vertex a = clipVertex(-1.0f, -1.0f, 2.0f), b = clipVertex(1.0f, -1.0f, 2.0f),
           c = clipVertex(0.0f, 1.0f, 2.0f);
    grDrawTriangle(&a, &b, &c);
    grCoordinateSpace(GR_WINDOW_COORDS);
}

// Top right: a white triangle with every edge soft, and a soft horizontal line halfway between two rows
// (Direct3D's pixel centres lie on whole coordinates).
void drawAntialiased() {
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    Vertex a = white(360, 40), b = white(600, 40), c = white(360, 200);
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXTRUE, FXTRUE);
    grEnable(GR_AA_ORDERED);
    Vertex from = white(340, 220.5f), to = white(620, 220.5f);
    grDrawLine(&from, &to);
    grDisable(GR_AA_ORDERED);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
}

// Bottom left: rows 0 to 9 of a lower-left lock, red, are the bottom ten rows of the screen.
bool writeLowerLeftRows() {
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    if (!grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_LOWER_LEFT,
                   FXFALSE, &info))
        return false;
    for (int y = 0; y < 10; ++y) {
        FxU16 *row =
            reinterpret_cast<FxU16 *>(static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes);
        for (int x = 20; x < 60; ++x)
            row[x] = 0xF800;
    }
    return grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER) == FXTRUE;
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix Glide 3 draw features test");
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

    grBufferClear(backgroundColor, 0, 0xFFFF);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grCullMode(GR_CULL_DISABLE);
    grVertexLayout(GR_PARAM_XY, offsetof(Vertex, x), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_W, offsetof(Vertex, w), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, offsetof(Vertex, r), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_A, offsetof(Vertex, a), GR_PARAM_ENABLE);

    drawClipCoordinates();
    drawAntialiased();
    check(writeLowerLeftRows(), "grLfbLock with the lower-left origin");
    grEnable(GR_SHAMELESS_PLUG);
    grBufferSwap(1);
    kx::pump(300);

    const int bg = background;
    // Halfway between the background and white: any soft edge lies well inside these bounds.
    const int half = (background + 255) / 2, soft = 60;
    std::vector<kx::Expect> expect = {
        // Clip coordinates: the triangle spans (80, 60), (240, 60), (160, 180); none of it at the raw values.
        {160, 100, 0, 255, 0, tol},
        {100, 70, 0, 255, 0, tol},
        {60, 100, bg, bg, bg, tol},
        {2, 2, bg, bg, bg, tol},
        // The antialiased triangle: inside white, just outside its long edge (2x + 3y = 1320) a blend.
        {400, 80, 255, 255, 255, tol},
        {479, 121, half, half, half, soft},
        {478, 122, half, half, half, soft},
        {520, 160, bg, bg, bg, tol},
        // The soft line between rows 220 and 221 covers each half.
        {480, 219, bg, bg, bg, tol},
        {480, 220, half, half, half, soft},
        {480, 221, half, half, half, soft},
        {480, 223, bg, bg, bg, tol},
        // The lower-left lock's rows 0 and 9 are the screen's rows 479 and 470.
        {40, 479, 255, 0, 0, tol},
        {40, 470, 255, 0, 0, tol},
        {40, 468, bg, bg, bg, tol},
        {40, 5, bg, bg, bg, tol},
        // The plug, 160 × 32, in the bottom-right corner: its bar and its dark ground.
        {580, 472, 226, 122, 48, tol},
        {484, 452, 12, 16, 28, tol},
        {470, 452, bg, bg, bg, tol},
    };
    check(kx::request_capture("glide3_draw_features", expect, 60000),
          "clip coordinates, soft edges, lower-left lock, plug");

    // A splash over the whole screen shows the logo, 320 × 240, centred.
    grSplash(0.0f, 0.0f, 640.0f, 480.0f, 0);
    kx::pump(300);
    std::vector<kx::Expect> splash = {
        {160 + 110, 120 + 70, 222, 130, 64, tol},
        {160 + 50, 120 + 70, 92, 104, 128, tol},
        {100, 300, bg, bg, bg, tol},
    };
    check(kx::request_capture("glide3_splash", splash, 60000), "full-screen splash shows the logo");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose closes the context");
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
