// The display's window and clip rectangle on Wine's Direct3D: a program with no window of its own gets the
// library's, grClipWindow bounds clears, and a small game window still shows its first frame on the
// whole screen.
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
const GrColor_t blue = 0x000000FF, red = 0x00FF0000, green = 0x0000FF00;

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

HWND createSmallWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = kx::window_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "KestrixSmallWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Kestrix window test", WS_POPUP, 40, 30, 200, 150,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
        kx::pump(100);
    }
    return hwnd;
}

void firstFrameOfASmallWindow() {
    HWND hwnd = createSmallWindow();
    check(hwnd != nullptr, "the small window exists");
    if (!hwnd) return;
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    check(opened == FXTRUE, "grSstWinOpen on a 200 x 150 window");
    if (opened != FXTRUE) return;
    grBufferClear(green, 0, 0xFFFF);
    grBufferSwap(1);
    std::vector<kx::Expect> expect = {
        {100, 100, 0, 255, 0, tol}, {600, 400, 0, 255, 0, tol}, {639, 479, 0, 255, 0, tol}};
    check(kx::request_capture("first_frame", expect, 60000), "the first frame covers the whole screen");
    grSstWinClose();
    DestroyWindow(hwnd);
}

} // namespace

int main() {
    grGlideInit();
    clippedClearWithoutWindow();
    firstFrameOfASmallWindow();
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
