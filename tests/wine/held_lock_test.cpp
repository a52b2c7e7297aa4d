// The board vendor's test pattern: the back buffer is locked once, then every frame is cleared, gets a
// triangle and a bar written through the held pointer, and is swapped; the screen must show all three. Then
// drawing into the front buffer must reach the screen without a swap.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "glide2x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const int tol = 14;
const int frames = 4;
const GrColor_t clearColor = 0x00000080; // dark blue
const uint16_t bar565 = 0x07E0;          // green
const int barTop = 380, barBottom = 400, barLeft = 100, barRight = 540;

GrVertex vertex(float x, float y, int r, int g, int b) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    v.x = x;
    v.y = y;
    v.r = static_cast<float>(r);
    v.g = static_cast<float>(g);
    v.b = static_cast<float>(b);
    v.a = 255.0f;
    v.oow = 1.0f;
    return v;
}

void triangle(float left, float top, float width, float height, int r, int g, int b) {
    GrVertex a = vertex(left, top, r, g, b), c = vertex(left + width, top, r, g, b),
             d = vertex(left + width / 2, top + height, r, g, b);
    grDrawTriangle(&a, &c, &d);
}

void writeBar(const GrLfbInfo_t &info) {
    for (int y = barTop; y < barBottom; ++y) {
        uint16_t *row =
            reinterpret_cast<uint16_t *>(static_cast<char *>(info.lfbPtr) + y * info.strideInBytes);
        for (int x = barLeft; x < barRight; ++x)
            row[x] = bar565;
    }
}

void heldLockFrames() {
    GrLfbInfo_t info;
    std::memset(&info, 0, sizeof(info));
    info.size = sizeof(info);
    bool locked = grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                            GR_ORIGIN_UPPER_LEFT, FXFALSE, &info) == FXTRUE;
    check(locked && info.writeMode == GR_LFBWRITEMODE_565, "the back buffer is locked once, in 565");
    if (!locked) return;
    for (int frame = 0; frame < frames; ++frame) {
        grBufferClear(clearColor, 0, 0xFFFF);
        triangle(200, 60, 240, 160, 255, 0, 0);
        writeBar(info);
        grBufferSwap(1);
        kx::pump(50);
    }
    kx::pump(300);
    check(kx::request_capture("held_lock",
                              {{50, 300, 0, 0, 128, tol},
                               {320, 100, 255, 0, 0, tol},
                               {320, 390, 0, 255, 0, tol},
                               {50, 390, 0, 0, 128, tol},
                               {600, 390, 0, 0, 128, tol}},
                              60000),
          "the screen shows the clear colour, the triangle and the bar");
    check(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER) == FXTRUE, "the held lock ends");
}

// Drawn into the front buffer and shown at a query, with no swap.
void frontBufferDrawing() {
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    triangle(480, 230, 120, 100, 255, 255, 255);
    grBufferNumPending();
    kx::pump(300);
    check(kx::request_capture("front_buffer",
                              {{540, 250, 255, 255, 255, tol},
                               {320, 100, 255, 0, 0, tol},
                               {320, 390, 0, 255, 0, tol},
                               {50, 300, 0, 0, 128, tol}},
                              60000),
          "the front-buffer triangle is on the screen without a swap");
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix held lock test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);
    grGlideInit();
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen 640x480 returns FXTRUE");
    if (opened == FXTRUE) {
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_NONE, FXFALSE);
        heldLockFrames();
        frontBufferDrawing();
        grSstWinClose();
    }
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
