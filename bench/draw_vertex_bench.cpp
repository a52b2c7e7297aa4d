// Vertex conversion and drawing on the simulation with recording off, per vertex, beside a baseline that only
// copies 60-byte GrVertex records into 40-byte DrawVertex slots. The "ns_per_vertex" counter is the figure to
// compare.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "sim/sim.h"
#include "glide2x.h"
#include "render/draw_vertex.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

const int polygonVertices = 64;

void openTexturedSession() {
    sim::reset();
    sim::setRecording(false);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);

    static FxU16 texels[64 * 64];
    for (int i = 0; i < 64 * 64; ++i)
        texels[i] = static_cast<FxU16>(i * 2654435761u >> 16);
    GrTexInfo info;
    info.smallLod = GR_LOD_64;
    info.largeLod = GR_LOD_64;
    info.aspectRatio = GR_ASPECT_1x1;
    info.format = GR_TEXFMT_RGB_565;
    info.data = texels;
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
}

void closeSession() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}

// Snapped, perspective-divided vertices with varied colours, as a game's transform stage hands them over.
std::vector<GrVertex> makeVertices(int count) {
    std::vector<GrVertex> vertices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        GrVertex &v = vertices[static_cast<size_t>(i)];
        std::memset(&v, 0, sizeof(v));
        float oow = 1.0f / (2.0f + static_cast<float>(i % 7));
        v.x = 786432.0f + 100.0f + static_cast<float>(i * 5 % 400);
        v.y = 786432.0f + 50.0f + static_cast<float>(i * 11 % 300);
        v.r = static_cast<float>(i * 37 % 256);
        v.g = static_cast<float>(i * 91 % 256);
        v.b = static_cast<float>(i * 53 % 256);
        v.a = 200.0f;
        v.oow = oow;
        v.tmuvtx[0].sow = static_cast<float>(i % 9) * 32.0f * oow;
        v.tmuvtx[0].tow = static_cast<float>(i % 5) * 64.0f * oow;
        v.tmuvtx[0].oow = oow;
    }
    return vertices;
}

void countPerVertex(benchmark::State &state, int verticesPerIteration) {
    state.counters["ns_per_vertex"] =
        benchmark::Counter(static_cast<double>(verticesPerIteration),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void copyRecords(const GrVertex *source, DrawVertex *slots, int count) {
    for (int i = 0; i < count; ++i) {
        const GrVertex &g = source[i];
        DrawVertex &d = slots[i];
        d.x = g.x;
        d.y = g.y;
        d.z = g.ooz;
        d.rhw = g.oow;
        std::memcpy(&d.diffuse, &g.r, 4);
        std::memcpy(&d.specular, &g.a, 4);
        d.tu0 = g.tmuvtx[0].sow;
        d.tv0 = g.tmuvtx[0].tow;
        d.tu1 = g.tmuvtx[1].sow;
        d.tv1 = g.tmuvtx[1].tow;
    }
}

void CopyBaseline(benchmark::State &state) {
    int count = static_cast<int>(state.range(0));
    std::vector<GrVertex> vertices = makeVertices(count);
    static DrawVertex slots[polygonVertices];
    for (auto _ : state) {
        benchmark::DoNotOptimize(vertices.data());
        copyRecords(vertices.data(), slots, count);
        benchmark::ClobberMemory();
    }
    countPerVertex(state, count);
}
BENCHMARK(CopyBaseline)->Arg(3)->Arg(polygonVertices);

// Texture times vertex colour with alpha from the vertex: the combine nearly every game draws with.
void setTexturedCombine() {
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

// Vertex times constant colour (code 192) with the constant added as specular: the evaluated codes.
void setProductCombine() {
    grConstantColorValue(0xC08060A0);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL,
                   GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
}

void drawTriangles(benchmark::State &state, void (*setCombine)()) {
    openTexturedSession();
    setCombine();
    std::vector<GrVertex> vertices = makeVertices(3);
    unsigned long long verticesBefore = sim::counters().vertices;
    for (auto _ : state) {
        grDrawTriangle(&vertices[0], &vertices[1], &vertices[2]);
        benchmark::ClobberMemory();
    }
    grSstIdle(); // the last batch
    if (sim::counters().vertices - verticesBefore != 3 * static_cast<unsigned long long>(state.iterations()))
        state.SkipWithError("not every triangle reached DrawPrimitive");
    countPerVertex(state, 3);
    closeSession();
}

void DrawTriangleTextured(benchmark::State &state) {
    drawTriangles(state, setTexturedCombine);
}
BENCHMARK(DrawTriangleTextured);

void DrawTriangleProductCodes(benchmark::State &state) {
    drawTriangles(state, setProductCombine);
}
BENCHMARK(DrawTriangleProductCodes);

void DrawPolygonVertexList64(benchmark::State &state) {
    openTexturedSession();
    setTexturedCombine();
    std::vector<GrVertex> vertices = makeVertices(polygonVertices);
    unsigned long long verticesBefore = sim::counters().vertices;
    for (auto _ : state) {
        grDrawPolygonVertexList(polygonVertices, vertices.data());
        benchmark::ClobberMemory();
    }
    grSstIdle(); // the last batch
    if (sim::counters().vertices - verticesBefore !=
        static_cast<unsigned long long>(state.iterations()) * polygonVertices)
        state.SkipWithError("not every vertex reached DrawPrimitive");
    countPerVertex(state, polygonVertices);
    closeSession();
}
BENCHMARK(DrawPolygonVertexList64);

} // namespace
