// RenderScale on a real Direct3D: a 320x240 scene drawn at 1x and at 2x, full-screen and in a window. The
// triangle's shallow top edge is a staircase of game pixels at 1x and of screen pixels at 2x: at 2x the
// game pixel it crosses is split between its colours. A block written through the frame buffer covers its
// scaled place, flat rectangles over whole game pixels cover exactly their blocks, and the milliseconds per
// frame at each scale are printed. Built once per library.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#ifdef KESTRIX_SCALE_GLIDE3
#include "glide3x.h"
#define KESTRIX_CAPTURE_PREFIX "glide3_scale"
typedef GrContext_t Session;
typedef float Vertex[2];
void closeSession(Session session) {
    grSstWinClose(session);
}
void setVertex(Vertex &v, float x, float y) {
    v[0] = x;
    v[1] = y;
}
void prepareVertices() {
    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
}
#else
#include "glide2x.h"
#define KESTRIX_CAPTURE_PREFIX "glide2_scale"
typedef FxBool Session;
typedef GrVertex Vertex;
void closeSession(Session) {
    grSstWinClose();
}
void setVertex(Vertex &v, float x, float y) {
    v = GrVertex();
    v.x = x;
    v.y = y;
}
void prepareVertices() {}
#endif

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const char *const storeKey = settings_store::productKeyPath;
const char *const storedValues[] = {"Windowed", "RenderScale", "ColorDepth"};
const DWORD colorDepth = 32;
const int glideWidth = 320, glideHeight = 240;
const int tol = 40;
const GrColor_t blue = 0xFF0000FF, white = 0xFFFFFFFF, red = 0xFFFF0000, green = 0xFF00FF00;
// The triangle's top edge runs from (20, 20) to (220, 70): a quarter of a pixel down per pixel across.
const float corners[3][2] = {{20, 20}, {220, 70}, {20, 120}};
// Direct3D 7 samples a pixel at its integer coordinates. Game pixel (61, 30) lies above that edge (which
// passes 30.25 there) and (61, 31) below; at 2x the edge passes y 60.125 at screen column 122, between the
// sample points of the two rows of the block of (61, 30).
const int edgeX = 61, aboveY = 30, belowY = 31;
// A block written through the frame buffer.
const int blockX = 250, blockY = 150, blockSize = 8;
const uint16_t red565 = 0xF800;
// Rectangles over game pixels [left, right) x [top, bottom). The first has its corners on whole pixels. The
// second's lie an eighth of a pixel right of and below them: the board lights the pixels whose centres are
// inside, the same ones, and at 2x so must the scaled picture, whose sample points of a block lie a quarter
// of a game pixel either side of its centre. (At 1x Direct3D samples the corners: it is one pixel off there.)
struct GameRectangle {
    int left, top, right, bottom;
    float nudge;
};
const GameRectangle wholeRectangle = {260, 40, 270, 50, 0.0f}, nudgedRectangle = {280, 40, 290, 50, 0.125f};
const int timedFrames = 120;

void storeValues(DWORD windowed, DWORD scale) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        check(false, "the settings key can be written");
        return;
    }
    const DWORD values[] = {windowed, scale, colorDepth};
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

void drawScene() {
    grBufferClear(blue, 0, 0xFFFF);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grConstantColorValue(white);
    Vertex v[3];
    for (int i = 0; i < 3; ++i)
        setVertex(v[i], corners[i][0], corners[i][1]);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    grConstantColorValue(green);
    for (const GameRectangle &rect : {wholeRectangle, nudgedRectangle}) {
        const float left = rect.left + rect.nudge, top = rect.top + rect.nudge,
                    right = rect.right + rect.nudge, bottom = rect.bottom + rect.nudge;
        Vertex r[4];
        setVertex(r[0], left, top);
        setVertex(r[1], right, top);
        setVertex(r[2], right, bottom);
        setVertex(r[3], left, bottom);
        grDrawTriangle(&r[0], &r[1], &r[2]);
        grDrawTriangle(&r[0], &r[2], &r[3]);
    }
}

bool writeBlock() {
    static uint16_t pixels[blockSize * blockSize];
    for (uint16_t &p : pixels)
        p = red565;
    return grLfbWriteRegion(GR_BUFFER_BACKBUFFER, blockX, blockY, GR_LFB_SRC_FMT_565, blockSize, blockSize,
#ifndef KESTRIX_SCALE_GLIDE3
                            blockSize * 2,
#else
                            FXFALSE, blockSize * 2,
#endif
                            pixels) != FXFALSE;
}

kx::Expect at(POINT origin, int x, int y, GrColor_t color) {
    return {origin.x + x,
            origin.y + y,
            static_cast<int>((color >> 16) & 0xFF),
            static_cast<int>((color >> 8) & 0xFF),
            static_cast<int>(color & 0xFF),
            tol};
}

double millisecondsPerFrame() {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < timedFrames; ++i) {
        drawScene();
        grBufferSwap(0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / timedFrames;
}

std::vector<kx::Expect> probes(POINT origin, int scale) {
    std::vector<kx::Expect> expect = {
        at(origin, 5 * scale, 5 * scale, blue),
        at(origin, 60 * scale, 80 * scale, white),
        at(origin, (blockX + blockSize) * scale - 1, (blockY + blockSize) * scale - 1, red),
        at(origin, (blockX + blockSize) * scale + 1, (blockY + blockSize) * scale + 1, blue),
        // Below the edge's game pixel, white at any scale.
        at(origin, edgeX * scale, belowY * scale + scale - 1, white),
    };
    for (const GameRectangle &rect : {wholeRectangle, nudgedRectangle}) {
        if (rect.nudge != 0.0f && scale == 1) continue;
        // The first and last screen pixels each way are inside, the next ones out.
        const int left = rect.left * scale, top = rect.top * scale, right = rect.right * scale,
                  bottom = rect.bottom * scale;
        for (const kx::Expect &e : {at(origin, left, top, green), at(origin, right - 1, bottom - 1, green),
                                    at(origin, left - 1, top, blue), at(origin, left, top - 1, blue),
                                    at(origin, right, bottom - 1, blue), at(origin, right - 1, bottom, blue)})
            expect.push_back(e);
    }
    if (scale == 1) {
        expect.push_back(at(origin, edgeX, aboveY, blue)); // the whole game pixel is above
    } else {
        // The game pixel the edge crosses: its top screen row blue, its bottom row white.
        expect.push_back(at(origin, edgeX * scale, aboveY * scale, blue));
        expect.push_back(at(origin, edgeX * scale, aboveY * scale + 1, white));
    }
    return expect;
}

void run(bool windowed, int scale) {
    char mode[64], what[160];
    std::snprintf(mode, sizeof mode, "%s %dx", windowed ? "windowed" : "full-screen", scale);
    storeValues(windowed ? 1 : 0, static_cast<DWORD>(scale));
    HWND hwnd = kx::create_window("Kestrix render scale test");
    check(hwnd != nullptr, "the game's window exists");
    if (!hwnd) return;
    grGlideInit();
    Session session =
        grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_320x240,
                     GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::snprintf(what, sizeof what, "%s: grSstWinOpen succeeds", mode);
    check(session != 0, what);
    if (session == 0) {
        grGlideShutdown();
        DestroyWindow(hwnd);
        return;
    }
    prepareVertices();
    std::printf("%s: %.2f ms per frame over %d frames\n", mode, millisecondsPerFrame(), timedFrames);
    drawScene();
    std::snprintf(what, sizeof what, "%s: grLfbWriteRegion writes at the game's resolution", mode);
    check(writeBlock(), what);
    grBufferSwap(0);
    kx::pump(300);

    POINT origin = {0, 0};
    if (windowed) ClientToScreen(hwnd, &origin);
    char name[64];
    std::snprintf(name, sizeof name, KESTRIX_CAPTURE_PREFIX "_%s_%dx", windowed ? "windowed" : "fullscreen",
                  scale);
    std::snprintf(what, sizeof what, "%s: the edge steps by %s pixels and the written block is in place",
                  mode, scale == 1 ? "game" : "screen");
    check(kx::request_capture(name, probes(origin, scale), 60000), what);
    closeSession(session);
    grGlideShutdown();
    DestroyWindow(hwnd);
}

} // namespace

int main() {
    run(false, 1);
    run(false, 2);
    run(true, 1);
    run(true, 2);
    removeValues();
    kx::expect_log({"~ Render scale 2: drawn at 640x480"});
    return kx::finish(failures == 0 ? 0 : 1);
}
