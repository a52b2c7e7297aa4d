// The display's window and clip rectangle on Wine's Direct3D: a program with no window of its own gets the
// library's, and grClipWindow bounds clears.
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

const int tol = 10;
const GrColor_t blue = 0x000000FF, red = 0x00FF0000;

void clippedClearWithoutWindow() {
    FxBool opened = grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                                 GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen without a window opens the library's own");
    if (opened != FXTRUE) return;
    grBufferClear(blue, 0, 0xFFFF);
    grClipWindow(100, 100, 300, 200);
    grBufferClear(red, 0, 0xFFFF);
    grClipWindow(0, 0, 640, 480);
    grBufferSwap(1);
    std::vector<kx::Expect> expect = {
        {200, 150, 255, 0, 0, tol}, {101, 101, 255, 0, 0, tol}, {298, 198, 255, 0, 0, tol},
        {99, 150, 0, 0, 255, tol},  {200, 201, 0, 0, 255, tol}, {600, 400, 0, 0, 255, tol},
    };
    check(kx::request_capture("clipped", expect, 60000), "the clear is red inside the clip window only");
    grSstWinClose();
}

} // namespace

int main() {
    grGlideInit();
    clippedClearWithoutWindow();
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
