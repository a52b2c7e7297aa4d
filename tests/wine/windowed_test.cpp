// A game's pop-up window played in a window on a plain desktop (no virtual desktop): the same scene at
// scale 1 and 2 is probed on the captured screen, the window gets its caption for the session and its own
// style back afterwards, and frame pacing is measured in presents per second. Built once per library.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#ifdef KESTRIX_WINDOWED_GLIDE3
#include "glide3x.h"
#define KESTRIX_CAPTURE_PREFIX "glide3_windowed"
typedef GrContext_t Session;
void closeSession(Session session) {
    grSstWinClose(session);
}
#else
#include "glide2x.h"
#define KESTRIX_CAPTURE_PREFIX "glide2_windowed"
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
const char *const displayValues[] = {"Windowed", "WindowScale", "FramePacing"};
const int glideWidth = 640;
const int glideHeight = 480;
const int tol = 10;
const GrColor_t blue = 0x000000FF, red = 0x00FF0000, green = 0x0000FF00;

void storeDisplayValues(DWORD windowed, DWORD scale, DWORD pacing) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    const DWORD values[] = {windowed, scale, pacing};
    for (int i = 0; i < 3; ++i)
        RegSetValueExA(key, displayValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE *>(&values[i]),
                       sizeof(values[i]));
    RegCloseKey(key);
}

// The Wine prefix is shared by every test of the build: the next program must find full-screen again.
void removeDisplayValues() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    for (const char *name : displayValues)
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

Session openOn(HWND hwnd) {
    return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                        GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
}

void clearRect(int minX, int minY, int maxX, int maxY, GrColor_t color) {
    grClipWindow(minX, minY, maxX, maxY);
    grBufferClear(color, 0, 0xFFFF);
}

void drawScene() {
    clearRect(0, 0, glideWidth, glideHeight, blue);
    clearRect(100, 100, 300, 200, red);
    clearRect(400, 300, 600, 420, green);
    grClipWindow(0, 0, glideWidth, glideHeight);
}

// A Glide pixel's centre on the screen, through the window's client origin and the scale.
kx::Expect probe(HWND hwnd, int scale, int x, int y, GrColor_t color) {
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    return {origin.x + x * scale + scale / 2,       origin.y + y * scale + scale / 2,
            static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
            static_cast<int>(color & 0xFF),         tol};
}

void sceneAtScale(int scale) {
    char what[128];
    storeDisplayValues(1, static_cast<DWORD>(scale), 0);
    HWND hwnd = kx::create_window("Kestrix windowed test");
    check(hwnd != nullptr, "the game's pop-up window exists");
    if (!hwnd) return;
    grGlideInit();
    std::snprintf(what, sizeof what, "grSstWinOpen opens windowed at scale %d without a virtual desktop",
                  scale);
    Session session = openOn(hwnd);
    check(session != 0, what);

    RECT client = {};
    GetClientRect(hwnd, &client);
    std::snprintf(what, sizeof what, "the client area is %d x %d (got %ld x %ld)", glideWidth * scale,
                  glideHeight * scale, client.right, client.bottom);
    check(client.right == glideWidth * scale && client.bottom == glideHeight * scale, what);
    check((GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION,
          "the window has a caption to move it by");

    drawScene();
    grBufferSwap(1);
    kx::pump(300);
    // Wine stretches with a linear filter: probes keep a Glide pixel away from each colour edge.
    std::vector<kx::Expect> expect = {
        probe(hwnd, scale, 20, 20, blue),    probe(hwnd, scale, 102, 102, red),
        probe(hwnd, scale, 297, 197, red),   probe(hwnd, scale, 97, 150, blue),
        probe(hwnd, scale, 500, 360, green), probe(hwnd, scale, 597, 417, green),
        probe(hwnd, scale, 602, 422, blue),  probe(hwnd, scale, 638, 478, blue),
    };
    std::snprintf(what, sizeof what, "the scene fills the %dx client area", scale);
    char name[64];
    std::snprintf(name, sizeof name, KESTRIX_CAPTURE_PREFIX "_scale%d", scale);
    check(kx::request_capture(name, expect, 60000), what);

    closeSession(session);
    grGlideShutdown();
    check((GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) == 0,
          "the close gives the window its own style back");
    DestroyWindow(hwnd);
}

double presentsPerSecond(int swapInterval) {
    const int frames = 90;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) {
        grBufferClear(i % 2 ? red : blue, 0, 0xFFFF);
        grBufferSwap(swapInterval);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    QueryPerformanceCounter(&end);
    return frames * static_cast<double>(frequency.QuadPart) /
           static_cast<double>(end.QuadPart - start.QuadPart);
}

double measurePacing(DWORD pacing, int swapInterval) {
    storeDisplayValues(1, 1, pacing);
    HWND hwnd = kx::create_window("Kestrix pacing test");
    if (!hwnd) return 0.0;
    grGlideInit();
    Session session = openOn(hwnd);
    double rate = session != 0 ? presentsPerSecond(swapInterval) : 0.0;
    closeSession(session);
    grGlideShutdown();
    DestroyWindow(hwnd);
    std::printf("presents per second with FramePacing %lu and swap interval %d: %.1f\n",
                static_cast<unsigned long>(pacing), swapInterval, rate);
    return rate;
}

// Timing is reported, not judged tightly: the machine is shared. Paced rates only have to show a wait.
void framePacing() {
    double unpaced = measurePacing(0, 1);
    double retrace = measurePacing(1, 1);
    double capped = measurePacing(2, 0);
    check(unpaced > 0.0 && retrace > 0.0 && capped > 0.0, "every pacing session opened and presented");
    check(retrace < 90.0, "FramePacing 1 with swap interval 1 stays near the refresh rate");
    check(capped < 75.0, "FramePacing 2 holds presents to about 60 per second");
}

} // namespace

int main() {
    sceneAtScale(1);
    sceneAtScale(2);
    framePacing();
    removeDisplayValues();
    kx::expect_log({"~ Display: windowed, client 1280x960", "~ pacing by swap interval"});
    return kx::finish(failures == 0 ? 0 : 1);
}
