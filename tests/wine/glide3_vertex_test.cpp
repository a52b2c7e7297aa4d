// Draws through the Glide 3 vertex calls on a real Direct3D device with back faces culled and has the
// runner probe the screen: a strip continued by a second call on an even and on an odd triangle, a fan
// continued around its centre, a polygon, all with packed colours; then triangles, a contiguous strip, lines
// and points with float colours, one of them out of range.
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

struct Vertex {
    float x, y;
    FxU32 argb;
    float r, g, b, a;
};

struct Color {
    int r, g, b;
};

const Color red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255}, yellow = {255, 255, 0},
            cyan = {0, 255, 255}, white = {255, 255, 255}, orange = {255, 128, 0};

// Snapped the way Glide applications snap: the library removes the offset again.
Vertex vertex(float x, float y, Color c) {
    return Vertex{x + 786432.0f,
                  y + 786432.0f,
                  0xFF000000u | static_cast<FxU32>(c.r) << 16 | static_cast<FxU32>(c.g) << 8 |
                      static_cast<FxU32>(c.b),
                  static_cast<float>(c.r),
                  static_cast<float>(c.g),
                  static_cast<float>(c.b),
                  255.0f};
}

void drawArray(FxU32 mode, std::vector<Vertex> &vertices) {
    std::vector<void *> pointers;
    for (Vertex &v : vertices)
        pointers.push_back(&v);
    grDrawVertexArray(mode, static_cast<FxU32>(pointers.size()), pointers.data());
}

// Every triangle is wound as the culling keeps it: counter-clockwise on the screen.
void drawPacked() {
    grVertexLayout(GR_PARAM_PARGB, offsetof(Vertex, argb), GR_PARAM_ENABLE);

    std::vector<Vertex> strip = {vertex(20, 20, red), vertex(20, 100, red), vertex(120, 20, red),
                                 vertex(120, 100, red)};
    std::vector<Vertex> more = {vertex(220, 20, red), vertex(220, 100, red)};
    drawArray(GR_TRIANGLE_STRIP, strip);
    drawArray(GR_TRIANGLE_STRIP_CONTINUE, more);

    // One triangle: the continued strip starts on an odd one.
    std::vector<Vertex> odd = {vertex(20, 120, red), vertex(20, 200, red), vertex(120, 120, red)};
    std::vector<Vertex> oddMore = {vertex(120, 200, red), vertex(220, 120, red), vertex(220, 200, red)};
    drawArray(GR_TRIANGLE_STRIP, odd);
    drawArray(GR_TRIANGLE_STRIP_CONTINUE, oddMore);

    std::vector<Vertex> fan = {vertex(320, 60, green), vertex(380, 20, green), vertex(260, 20, green)};
    std::vector<Vertex> fanMore = {vertex(260, 100, green), vertex(380, 100, green), vertex(380, 20, green)};
    drawArray(GR_TRIANGLE_FAN, fan);
    drawArray(GR_TRIANGLE_FAN_CONTINUE, fanMore);

    std::vector<Vertex> polygon = {vertex(440, 20, blue), vertex(440, 100, blue), vertex(560, 100, blue),
                                   vertex(560, 20, blue)};
    drawArray(GR_POLYGON, polygon);
}

void drawFloats() {
    grVertexLayout(GR_PARAM_PARGB, offsetof(Vertex, argb), GR_PARAM_DISABLE);
    grVertexLayout(GR_PARAM_RGB, offsetof(Vertex, r), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_A, offsetof(Vertex, a), GR_PARAM_ENABLE);

    std::vector<Vertex> triangles = {vertex(20, 240, yellow),  vertex(20, 320, yellow),
                                     vertex(220, 240, yellow), vertex(220, 240, yellow),
                                     vertex(20, 320, yellow),  vertex(220, 320, yellow)};
    drawArray(GR_TRIANGLES, triangles);

    std::vector<Vertex> strip = {vertex(260, 240, cyan), vertex(260, 320, cyan), vertex(380, 240, cyan),
                                 vertex(380, 320, cyan)};
    grDrawVertexArrayContiguous(GR_TRIANGLE_STRIP, 4, strip.data(), sizeof(Vertex));

    // Channels beyond 0 to 255 are held to it: red 300 is 255, green -5 is 0.
    Vertex a = vertex(440, 240, blue), b = vertex(440, 320, blue), c = vertex(560, 240, blue);
    for (Vertex *v : {&a, &b, &c}) {
        v->r = 300.0f;
        v->g = -5.0f;
        v->b = 128.0f;
    }
    grDrawTriangle(&a, &b, &c);

    std::vector<Vertex> lines;
    for (int y = 399; y <= 403; ++y) {
        lines.push_back(vertex(20, static_cast<float>(y), white));
        lines.push_back(vertex(220, static_cast<float>(y), white));
    }
    drawArray(GR_LINES, lines);

    std::vector<Vertex> points;
    for (int y = 398; y <= 404; ++y)
        for (int x = 298; x <= 304; ++x)
            points.push_back(vertex(static_cast<float>(x), static_cast<float>(y), orange));
    drawArray(GR_POINTS, points);
}

} // namespace

int main() {
    HWND hwnd = kx::create_window("Kestrix Glide 3 vertex test");
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

    grBufferClear(0x00202020, 0, 0xFFFF);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grCullMode(GR_CULL_POSITIVE);
    grVertexLayout(GR_PARAM_XY, offsetof(Vertex, x), GR_PARAM_ENABLE);

    drawPacked();
    drawFloats();
    grBufferSwap(1);
    kx::pump(300);

    const int g = 0x20;
    std::vector<kx::Expect> expect = {
        // Strip and its continuation on an even triangle.
        {40, 60, 255, 0, 0, tol},
        {100, 60, 255, 0, 0, tol},
        {170, 40, 255, 0, 0, tol},
        {200, 90, 255, 0, 0, tol},
        // Strip continued on an odd triangle: every triangle kept by the culling.
        {40, 130, 255, 0, 0, tol},
        {100, 185, 255, 0, 0, tol},
        {170, 140, 255, 0, 0, tol},
        {200, 190, 255, 0, 0, tol},
        // The fan and its continuation close the square.
        {320, 30, 0, 255, 0, tol},
        {270, 60, 0, 255, 0, tol},
        {320, 90, 0, 255, 0, tol},
        {370, 60, 0, 255, 0, tol},
        {500, 60, 0, 0, 255, tol},
        {240, 60, g, g, g, tol},
        {60, 240 + 20, 255, 255, 0, tol},
        {180, 300, 255, 255, 0, tol},
        {320, 280, 0, 255, 255, tol},
        {460, 260, 255, 0, 128, tol},
        {120, 401, 255, 255, 255, tol},
        {120, 420, g, g, g, tol},
        {301, 401, 255, 128, 0, tol},
        {310, 401, g, g, g, tol},
    };
    check(kx::request_capture("glide3_vertex", expect, 60000),
          "strips, fans, polygon, triangles, lines, points");

    check(grSstWinClose(opened) == FXTRUE, "grSstWinClose closes the context");
    grGlideShutdown();
    return kx::finish(failures ? 1 : 0);
}
