// The frame probe on tessel3.dll, loaded by name so the Glide 2 library can share the process.
#include "probe.h"

#include <cstdio>

#include "glide3x.h"

namespace probe {
namespace {

struct Glide3 {
    decltype(&grGlideInit) glideInit;
    decltype(&grSstSelect) sstSelect;
    decltype(&grSstWinOpen) winOpen;
    decltype(&grSstWinClose) winClose;
    decltype(&grGlideShutdown) shutdown;
    decltype(&grVertexLayout) vertexLayout;
    decltype(&grColorCombine) colorCombine;
    decltype(&grConstantColorValue) constantColor;
    decltype(&grBufferClear) bufferClear;
    decltype(&grBufferSwap) bufferSwap;
    decltype(&grDrawTriangle) drawTriangle;
    decltype(&grDrawVertexArray) drawVertexArray;
    decltype(&grDrawVertexArrayContiguous) drawVertexArrayContiguous;
};

template <typename T> bool entry(HMODULE dll, const char *name, T &out) {
    out = reinterpret_cast<T>(reinterpret_cast<void *>(findEntry(dll, name)));
    if (out == nullptr) std::printf("tessel3.dll has no %s\n", name);
    return out != nullptr;
}

bool load(HMODULE dll, Glide3 &g) {
    return entry(dll, "_grGlideInit@0", g.glideInit) && entry(dll, "_grSstSelect@4", g.sstSelect) &&
           entry(dll, "_grSstWinOpen@28", g.winOpen) && entry(dll, "_grSstWinClose@4", g.winClose) &&
           entry(dll, "_grGlideShutdown@0", g.shutdown) && entry(dll, "_grVertexLayout@12", g.vertexLayout) &&
           entry(dll, "_grColorCombine@20", g.colorCombine) &&
           entry(dll, "_grConstantColorValue@4", g.constantColor) &&
           entry(dll, "_grBufferClear@12", g.bufferClear) && entry(dll, "_grBufferSwap@4", g.bufferSwap) &&
           entry(dll, "_grDrawTriangle@12", g.drawTriangle) &&
           entry(dll, "_grDrawVertexArray@12", g.drawVertexArray) &&
           entry(dll, "_grDrawVertexArrayContiguous@16", g.drawVertexArrayContiguous);
}

const FxU32 farthestDepth = 0xFFFFFFFFu;

void measure(const Glide3 &g, const std::vector<Fan> &fans, Timings &out) {
    const size_t perFan = fanTriangles + 2;
    std::vector<Point> vertices;
    for (const Fan &fan : fans) {
        vertices.push_back(fan.centre);
        for (const Point &p : fan.rim)
            vertices.push_back(p);
    }
    std::vector<void *> pointers;
    for (Point &p : vertices)
        pointers.push_back(&p);
    // Every triangle's three corners one after another, as a list.
    std::vector<Point> list;
    for (const Fan &fan : fans)
        for (int t = 0; t < fanTriangles; ++t) {
            list.push_back(fan.centre);
            list.push_back(fan.rim[t]);
            list.push_back(fan.rim[t + 1]);
        }
    const FxU32 listPerFan = 3 * fanTriangles;
    out.ms[oneCallEach] = timeFrames([&] {
        g.bufferClear(0, 0, farthestDepth);
        for (size_t f = 0; f < fans.size(); ++f) {
            const Point *fan = &vertices[f * perFan];
            for (int t = 0; t < fanTriangles; ++t)
                g.drawTriangle(&fan[0], &fan[1 + t], &fan[2 + t]);
        }
        g.bufferSwap(0);
    });
    out.ms[fansOf64] = timeFrames([&] {
        g.bufferClear(0, 0, farthestDepth);
        for (size_t f = 0; f < fans.size(); ++f)
            g.drawVertexArray(GR_TRIANGLE_FAN, static_cast<FxU32>(perFan), &pointers[f * perFan]);
        g.bufferSwap(0);
    });
    out.ms[vertexArrayTriangles] = timeFrames([&] {
        g.bufferClear(0, 0, farthestDepth);
        for (size_t f = 0; f < fans.size(); ++f)
            g.drawVertexArrayContiguous(GR_TRIANGLES, listPerFan, &list[f * listPerFan], sizeof(Point));
        g.bufferSwap(0);
    });
}

} // namespace

bool runGlide3(HWND window, const std::vector<Fan> fans[2], Timings out[2]) {
    HMODULE dll = LoadLibraryA("tessel3.dll");
    Glide3 g;
    if (dll == nullptr || !load(dll, g)) return false;
    g.glideInit();
    g.sstSelect(0);
    GrContext_t context =
        g.winOpen(static_cast<FxU32>(reinterpret_cast<UINT_PTR>(window)), GR_RESOLUTION_640x480,
                  GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    if (context != 0) {
        const GrColor_t white = 0xFFFFFFFFu;
        g.vertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
        g.colorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_NONE, FXFALSE);
        g.constantColor(white);
        for (int size = 0; size < 2; ++size)
            measure(g, fans[size], out[size]);
        g.winClose(context);
    }
    g.shutdown();
    FreeLibrary(dll);
    return context != 0;
}

} // namespace probe
