// A swap exchanges the buffers: a program that does not clear sees in the back buffer the frame before
// last (with TripleBuffer, the frame three swaps back), full-screen and in a window. Frames are told apart
// by their clear colour and a mark; the back and front buffers are read with grLfbReadRegion, the screen
// is captured, and the time a swap takes is printed. Built once per library.
#include "wine_harness.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#ifdef KESTRIX_SWAP_GLIDE3
#include "glide3x.h"
#define KESTRIX_CAPTURE_PREFIX "glide3_swap"
typedef GrContext_t Session;
void closeSession(Session session) {
    grSstWinClose(session);
}
#else
#include "glide2x.h"
#define KESTRIX_CAPTURE_PREFIX "glide2_swap"
typedef FxBool Session;
void closeSession(Session) {
    grSstWinClose();
}
#endif

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const char *const storeKey = settings_store::productKeyPath;
// A 32-bit display: the frame buffer reads the same full-screen and in a window on the 24-bit X screen.
const char *const storedValues[] = {"Windowed", "TripleBuffer", "ColorDepth"};
const DWORD colorDepth = 32;
const int glideWidth = 640;
const int glideHeight = 480;
const int tol = 10;

struct Frame {
    GrColor_t clear; // ARGB
    uint16_t clear565;
};

// The mark each frame carries at the same place, so that a frame is more than its clear colour.
const GrColor_t markColor = 0x00FFFFFF;
const uint16_t mark565 = 0xFFFF;
const int markMinX = 100, markMinY = 100, markMaxX = 200, markMaxY = 160;
const Frame frames[] = {{0x00FF0000, 0xF800}, {0x0000FF00, 0x07E0}, {0x000000FF, 0x001F}};
const int timedSwaps = 200;

void storeValues(DWORD windowed, DWORD triple) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    const DWORD values[] = {windowed, triple, colorDepth};
    for (int i = 0; i < 3; ++i)
        RegSetValueExA(key, storedValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE *>(&values[i]),
                       sizeof(values[i]));
    RegCloseKey(key);
}

// The Wine prefix is shared by every test of the build.
void removeValues() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    for (const char *name : storedValues)
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void drawFrame(const Frame &frame) {
    grClipWindow(0, 0, glideWidth, glideHeight);
    grBufferClear(frame.clear, 0, 0xFFFF);
    grClipWindow(markMinX, markMinY, markMaxX, markMaxY);
    grBufferClear(markColor, 0, 0xFFFF);
    grClipWindow(0, 0, glideWidth, glideHeight);
}

uint16_t readPixel(GrBuffer_t buffer, int x, int y) {
    uint16_t pixel = 0;
    if (!grLfbReadRegion(buffer, static_cast<FxU32>(x), static_cast<FxU32>(y), 1, 1, 2, &pixel)) return 0;
    return pixel;
}

// Whether the buffer holds the frame: its clear colour outside the mark and the mark inside.
bool holds(GrBuffer_t buffer, const char *bufferName, const char *mode, const Frame &frame) {
    uint16_t outside = readPixel(buffer, 20, 20), inside = readPixel(buffer, 150, 130);
    std::printf("%s: %s buffer reads 0x%04X outside the mark, 0x%04X inside (frame 0x%04X)\n", mode,
                bufferName, outside, inside, frame.clear565);
    return outside == frame.clear565 && inside == mark565;
}

kx::Expect screenProbe(HWND hwnd, bool windowed, int x, int y, GrColor_t color) {
    POINT origin = {0, 0};
    if (windowed) ClientToScreen(hwnd, &origin);
    return {origin.x + x,
            origin.y + y,
            static_cast<int>((color >> 16) & 0xFF),
            static_cast<int>((color >> 8) & 0xFF),
            static_cast<int>(color & 0xFF),
            tol};
}

double microsecondsPerSwap() {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < timedSwaps; ++i) {
        grBufferClear(frames[i % 2].clear, 0, 0xFFFF);
        QueryPerformanceCounter(&start);
        grBufferSwap(0);
        QueryPerformanceCounter(&end);
        times.push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void run(bool windowed, bool triple) {
    char mode[64], what[160];
    std::snprintf(mode, sizeof mode, "%s%s", windowed ? "windowed" : "full-screen", triple ? " triple" : "");
    storeValues(windowed ? 1 : 0, triple ? 1 : 0);
    HWND hwnd = kx::create_window("Kestrix swap test");
    check(hwnd != nullptr, "the game's window exists");
    if (!hwnd) return;
    grGlideInit();
    Session session =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::snprintf(what, sizeof what, "%s: grSstWinOpen succeeds", mode);
    check(session != 0, what);
    if (session == 0) {
        grGlideShutdown();
        DestroyWindow(hwnd);
        return;
    }

    const int drawn = triple ? 3 : 2;
    for (int i = 0; i < drawn; ++i) {
        drawFrame(frames[i]);
        grBufferSwap(0);
    }
    const Frame &last = frames[drawn - 1];
    std::snprintf(what, sizeof what, "%s: without a clear the back buffer holds the first of %d frames", mode,
                  drawn);
    check(holds(GR_BUFFER_BACKBUFFER, "back", mode, frames[0]), what);
    std::snprintf(what, sizeof what, "%s: the front buffer holds the frame just presented", mode);
    check(holds(GR_BUFFER_FRONTBUFFER, "front", mode, last), what);

    kx::pump(300);
    std::vector<kx::Expect> expect = {screenProbe(hwnd, windowed, 20, 20, last.clear),
                                      screenProbe(hwnd, windowed, 150, 130, markColor),
                                      screenProbe(hwnd, windowed, 630, 400, last.clear)};
    char name[64];
    std::snprintf(name, sizeof name, KESTRIX_CAPTURE_PREFIX "_%s%s", windowed ? "windowed" : "fullscreen",
                  triple ? "_triple" : "");
    std::snprintf(what, sizeof what, "%s: the screen shows the frame just presented", mode);
    check(kx::request_capture(name, expect, 60000), what);

    std::printf("%s: median grBufferSwap %.1f us over %d swaps\n", mode, microsecondsPerSwap(), timedSwaps);
    // A dropped present would leave the frame just drawn in the back buffer.
    if (!triple) {
        uint16_t back = readPixel(GR_BUFFER_BACKBUFFER, 20, 20),
                 front = readPixel(GR_BUFFER_FRONTBUFFER, 20, 20);
        std::printf("%s: after the timed swaps back 0x%04X, front 0x%04X\n", mode, back, front);
        std::snprintf(what, sizeof what, "%s: every timed swap exchanged the buffers", mode);
        check(back == frames[timedSwaps % 2].clear565 && front == frames[(timedSwaps + 1) % 2].clear565,
              what);
    }
    closeSession(session);
    grGlideShutdown();
    DestroyWindow(hwnd);
}

} // namespace

int main() {
    run(false, false);
    run(false, true);
    run(true, false);
    run(true, true);
    removeValues();
    return kx::finish(failures == 0 ? 0 : 1);
}
