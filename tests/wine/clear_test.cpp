// Opens 640 x 480, clears to orange, presents, and has the runner check the screen;
// then closes, and has the runner check the banner and origin lines of kestrix.log.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "glide2x.h"

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix clear test");
    check(hwnd != nullptr, "CreateWindowExA made the window");
    if (!hwnd) return kx::finish(1);

    grGlideInit();
    // The hWnd parameter is an FxU32; window handles fit in 32 bits.
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen 640x480 returns FXTRUE");
    if (opened != FXTRUE) {
        grGlideShutdown();
        return kx::finish(1);
    }

    grBufferClear(0x00FF8000, 0, 0xFFFF); // ARGB orange: r 255, g 128, b 0
    grBufferSwap(1);
    kx::pump(300);

    // 16-bit 565 keeps 5 or 6 bits per channel: allow for rounding either way.
    const int tol = 10;
    std::vector<kx::Expect> expect = {
        {320, 240, 255, 128, 0, tol}, {0, 0, 255, 128, 0, tol},     {639, 0, 255, 128, 0, tol},
        {0, 479, 255, 128, 0, tol},   {639, 479, 255, 128, 0, tol}, {100, 380, 255, 128, 0, tol},
    };
    check(kx::request_capture("clear", expect, 60000), "screen is orange at the centre and corners");

    grSstWinClose();
    grGlideShutdown();

    // The engine buffers its log and may write the last lines only when the DLL is
    // unloaded, so the runner checks kestrix.log after this process has ended.
    check(kx::expect_log({"= ---------------------------------------",
                          "=               Kestrix 2.2              ", "~ grSSTOrigin(origin=0);"}),
          "asked the runner to check kestrix.log after exit");
    return kx::finish(failures ? 1 : 0);
}
