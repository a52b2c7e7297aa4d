// The frame probe on tessel2.dll, loaded by name so the Glide 3 library can share the process.
#include "probe.h"

#include <cstdio>
#include <cstring>

#include "glide2x.h"

namespace probe {
namespace {

struct Glide2 {
    decltype(&grGlideInit) glideInit;
    decltype(&grSstSelect) sstSelect;
    decltype(&grSstWinOpen) winOpen;
    decltype(&grSstWinClose) winClose;
    decltype(&grGlideShutdown) shutdown;
    decltype(&grColorCombine) colorCombine;
    decltype(&grConstantColorValue) constantColor;
    decltype(&grBufferClear) bufferClear;
    decltype(&grBufferSwap) bufferSwap;
    decltype(&grDrawTriangle) drawTriangle;
    decltype(&grDrawPolygonVertexList) drawPolygonVertexList;
};

template <typename T> bool entry(HMODULE dll, const char *name, T &out) {
    out = reinterpret_cast<T>(reinterpret_cast<void *>(findEntry(dll, name)));
    if (out == nullptr) std::printf("tessel2.dll has no %s\n", name);
    return out != nullptr;
}

bool load(HMODULE dll, Glide2 &g) {
    return entry(dll, "_grGlideInit@0", g.glideInit) && entry(dll, "_grSstSelect@4", g.sstSelect) &&
           entry(dll, "_grSstWinOpen@28", g.winOpen) && entry(dll, "_grSstWinClose@0", g.winClose) &&
           entry(dll, "_grGlideShutdown@0", g.shutdown) && entry(dll, "_grColorCombine@20", g.colorCombine) &&
           entry(dll, "_grConstantColorValue@4", g.constantColor) &&
           entry(dll, "_grBufferClear@12", g.bufferClear) && entry(dll, "_grBufferSwap@4", g.bufferSwap) &&
           entry(dll, "_grDrawTriangle@12", g.drawTriangle) &&
           entry(dll, "_grDrawPolygonVertexList@8", g.drawPolygonVertexList);
}

GrVertex vertexAt(Point p) {
    GrVertex v;
    std::memset(&v, 0, sizeof v);
    v.x = p.x;
    v.y = p.y;
    v.oow = 1.0f;
    return v;
}

// Per fan: the centre and the rim, as the polygon call reads them.
std::vector<GrVertex> fanVertices(const std::vector<Fan> &fans) {
    std::vector<GrVertex> out;
    for (const Fan &fan : fans) {
        out.push_back(vertexAt(fan.centre));
        for (const Point &p : fan.rim)
            out.push_back(vertexAt(p));
    }
    return out;
}

void measure(const Glide2 &g, const std::vector<Fan> &fans, Timings &out) {
    std::vector<GrVertex> vertices = fanVertices(fans);
    const size_t perFan = fanTriangles + 2;
    out.ms[oneCallEach] = timeFrames([&] {
        g.bufferClear(0, 0, GR_WDEPTHVALUE_FARTHEST);
        for (size_t f = 0; f < fans.size(); ++f) {
            const GrVertex *fan = &vertices[f * perFan];
            for (int t = 0; t < fanTriangles; ++t)
                g.drawTriangle(&fan[0], &fan[1 + t], &fan[2 + t]);
        }
        g.bufferSwap(0);
    });
    out.ms[fansOf64] = timeFrames([&] {
        g.bufferClear(0, 0, GR_WDEPTHVALUE_FARTHEST);
        for (size_t f = 0; f < fans.size(); ++f)
            g.drawPolygonVertexList(static_cast<int>(perFan), &vertices[f * perFan]);
        g.bufferSwap(0);
    });
}

} // namespace

bool runGlide2(HWND window, const std::vector<Fan> fans[2], Timings out[2]) {
    HMODULE dll = LoadLibraryA("tessel2.dll");
    Glide2 g;
    if (dll == nullptr || !load(dll, g)) return false;
    g.glideInit();
    g.sstSelect(0);
    bool opened = g.winOpen(static_cast<FxU32>(reinterpret_cast<UINT_PTR>(window)), GR_RESOLUTION_640x480,
                            GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1) != FXFALSE;
    if (opened) {
        const GrColor_t white = 0xFFFFFFFFu;
        g.colorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_NONE, FXFALSE);
        g.constantColor(white);
        for (int size = 0; size < 2; ++size)
            measure(g, fans[size], out[size]);
        g.winClose();
    }
    g.shutdown();
    FreeLibrary(dll);
    return opened;
}

} // namespace probe
