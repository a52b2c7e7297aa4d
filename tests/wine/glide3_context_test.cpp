// Opens a Glide 3 context at 640 x 480, clears to orange, clears a clip window to green, presents, and has
// the runner check the screen; then closes, and has the runner check the banner lines of kestrix.log.
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

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix Glide 3 context test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    check(std::strcmp(grGetString(GR_VERSION), "3.10") == 0, "grGetString(GR_VERSION) is 3.10");
    // The hWnd parameter is an FxU32; window handles fit in 32 bits.
    GrContext_t opened =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == 1, "grSstWinOpen 640x480 returns context 1");
    if (opened == 0) {
        grGlideShutdown();
        return kx::finish(1);
    }

    FxI32 depthBits = 0;
    check(grGet(GR_BITS_DEPTH, sizeof(depthBits), &depthBits) == sizeof(depthBits) && depthBits == 16,
          "grGet(GR_BITS_DEPTH) answers 16");
    check(std::strlen(grGetString(GR_HARDWARE)) > 0, "grGetString(GR_HARDWARE) names the adapter");

    grBufferClear(0x00FF8000, 0, 0xFFFF); // ARGB orange: r 255, g 128, b 0
    // Direct3D clears only the viewport, which Glide 3's clip window sets.
    grClipWindow(100, 100, 300, 200);
    grBufferClear(0x0000FF00, 0, 0xFFFF);
    grClipWindow(0, 0, 640, 480);
    grBufferSwap(1);
    kx::pump(300);

    // 16-bit 565 keeps 5 or 6 bits per channel: allow for rounding either way.
    const int tol = 10;
    std::vector<kx::Expect> expect = {
        {0, 0, 255, 128, 0, tol},     {639, 479, 255, 128, 0, tol}, {99, 150, 255, 128, 0, tol},
        {300, 150, 255, 128, 0, tol}, {100, 100, 0, 255, 0, tol},   {299, 199, 0, 255, 0, tol},
        {200, 150, 0, 255, 0, tol},
    };
    check(kx::request_capture("glide3_context", expect, 60000), "orange screen with the green clip window");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose closes the context");
    check(grSstWinClose(opened) == FXFALSE, "a second grSstWinClose has nothing to close");
    grGlideShutdown();

    // The engine buffers its log and writes it out when the DLL is unloaded, so the runner checks
    // kestrix.log after this process has ended.
    check(kx::expect_log({"= ---------------------------------------",
                          "=               Kestrix 3.0              ", "~ Driver:", "~ Texture OP Caps: 0x"}),
          "asked the runner to check kestrix.log after exit");
    return kx::finish(failures ? 1 : 0);
}
