// Glide 3 vertex arrays against Glide 2's polygon conversion, in the same run on the simulation with
// recording off. Glide 2's path is the engine's conversion compiled for GrVertex's fixed layout, drawn as
// tessel2's grDrawPolygonVertexList draws it. "ratio" is Glide 3's ns per vertex over Glide 2's; any heap
// allocation inside the timed calls fails the benchmark.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "sim/sim.h"
#include "glide3x.h"
#include "render/primitives.h"
#include "render/vertex_conversion.h"
#include "texture/texture_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {
unsigned long long allocations = 0;
}

__attribute__((noinline)) void *operator new(size_t size) {
    ++allocations;
    void *block = std::malloc(size ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

__attribute__((noinline)) void operator delete(void *block) noexcept {
    std::free(block);
}

__attribute__((noinline)) void operator delete(void *block, size_t) noexcept {
    std::free(block);
}

namespace {

const int arrayVertices = 8190;

// Glide 2's GrVertex, 60 bytes: x, y, z, r, g, b, ooz, a, oow, then s/w, t/w, 1/w of two TMUs.
struct Glide2Vertex {
    float x, y, z, r, g, b, ooz, a, oow;
    float tmu[2][3];
};

constexpr VertexLayout glide2Layout = {
    offsetof(Glide2Vertex, x),
    offsetof(Glide2Vertex, y),
    offsetof(Glide2Vertex, oow),
    offsetof(Glide2Vertex, ooz),
    offsetof(Glide2Vertex, r),
    offsetof(Glide2Vertex, g),
    offsetof(Glide2Vertex, b),
    offsetof(Glide2Vertex, a),
    {offsetof(Glide2Vertex, tmu[0][0]), offsetof(Glide2Vertex, tmu[1][0])},
    {offsetof(Glide2Vertex, tmu[0][1]), offsetof(Glide2Vertex, tmu[1][1])},
    sizeof(Glide2Vertex),
    0,
    {0, 0},
    offsetof(Glide2Vertex, oow),
    0, // no fog coordinate
    everyGlide2Field,
    {65535.0f, true, false, true, true, false},
};

// XY, Z, Q, PARGB and ST0, as a Glide 3 game packs them.
struct Glide3Vertex {
    float x, y, z, q;
    FxU32 argb;
    float s, t;
};

TextureRecord texture;

void openSession() {
    sim::reset();
    sim::setRecording(false);
    HWND window = sim::createWindow("Benchmark", RECT{0, 0, 640, 480});
    DllMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000)), DLL_PROCESS_ATTACH, nullptr);
    grGlideInit();
    grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grVertexLayout(GR_PARAM_XY, offsetof(Glide3Vertex, x), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Z, offsetof(Glide3Vertex, z), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q, offsetof(Glide3Vertex, q), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_PARGB, offsetof(Glide3Vertex, argb), GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, offsetof(Glide3Vertex, s), GR_PARAM_ENABLE);
    // A 64 × 64 texture selected on TMU 0, as far as the conversion reads it.
    texture.width = texture.height = 64;
    texture.sScale = texture.tScale = 1.0f / 256.0f;
    deviceTextures.currentTexture[tmu0] = &texture;
    deviceTextures.textureEnabled[tmu0] = 1;
}

void closeSession() {
    deviceTextures.currentTexture[tmu0] = nullptr;
    deviceTextures.textureEnabled[tmu0] = 0;
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}

// The same snapped, perspective-divided vertices in both records.
void makeVertices(std::vector<Glide3Vertex> &glide3, std::vector<Glide2Vertex> &glide2) {
    glide3.resize(arrayVertices);
    glide2.resize(arrayVertices);
    for (int i = 0; i < arrayVertices; ++i) {
        float oow = 1.0f / (2.0f + static_cast<float>(i % 7));
        float x = 786432.0f + 100.0f + static_cast<float>(i * 5 % 400);
        float y = 786432.0f + 50.0f + static_cast<float>(i * 11 % 300);
        float s = static_cast<float>(i % 9) * 32.0f * oow, t = static_cast<float>(i % 5) * 64.0f * oow;
        FxU32 r = static_cast<FxU32>(i * 37 % 256), g = static_cast<FxU32>(i * 91 % 256);
        FxU32 b = static_cast<FxU32>(i * 53 % 256);
        float z = static_cast<float>(i % 65536);
        glide3[static_cast<size_t>(i)] = Glide3Vertex{x, y, z, oow, 200u << 24 | r << 16 | g << 8 | b, s, t};
        Glide2Vertex &v = glide2[static_cast<size_t>(i)];
        std::memset(&v, 0, sizeof(v));
        v.x = x;
        v.y = y;
        v.ooz = z;
        v.oow = oow;
        v.r = static_cast<float>(r);
        v.g = static_cast<float>(g);
        v.b = static_cast<float>(b);
        v.a = 200.0f;
        v.tmu[0][0] = s;
        v.tmu[0][1] = t;
        v.tmu[0][2] = oow;
    }
}

void drawGlide3(std::vector<Glide3Vertex> &vertices) {
    grDrawVertexArrayContiguous(GR_TRIANGLES, arrayVertices, vertices.data(), sizeof(Glide3Vertex));
}

// tessel2's grDrawPolygonVertexList, through its fixed-layout conversion.
void drawGlide2(std::vector<Glide2Vertex> &vertices) {
    VertexConverters glide3Converters = vertexConverters;
    VertexLayout glide3Layout = vertexLayout;
    vertexConverters = fixedLayoutConverters<glide2Layout>;
    vertexLayout = glide2Layout;
    drawPolygonVertexList(arrayVertices, vertices.data());
    vertexConverters = glide3Converters;
    vertexLayout = glide3Layout;
}

void perVertex(benchmark::State &state, const char *name, double nanoseconds) {
    state.counters[name] = benchmark::Counter(nanoseconds / static_cast<double>(arrayVertices),
                                              benchmark::Counter::kAvgIterations);
}

void Glide3ContiguousTriangles(benchmark::State &state) {
    openSession();
    std::vector<Glide3Vertex> glide3;
    std::vector<Glide2Vertex> glide2;
    makeVertices(glide3, glide2);
    unsigned long long before = allocations;
    for (auto _ : state) {
        drawGlide3(glide3);
        benchmark::ClobberMemory();
    }
    if (allocations != before) state.SkipWithError("the draw allocated");
    state.counters["ns_per_vertex"] =
        benchmark::Counter(static_cast<double>(arrayVertices),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    closeSession();
}
BENCHMARK(Glide3ContiguousTriangles);

// Both in every iteration, each timed on its own, so that the ratio compares like with like.
void Glide3AgainstGlide2Polygon(benchmark::State &state) {
    openSession();
    std::vector<Glide3Vertex> glide3;
    std::vector<Glide2Vertex> glide2;
    makeVertices(glide3, glide2);
    typedef std::chrono::steady_clock Clock;
    double glide3Ns = 0.0, glide2Ns = 0.0;
    unsigned long long before = allocations;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        drawGlide3(glide3);
        Clock::time_point middle = Clock::now();
        drawGlide2(glide2);
        Clock::time_point end = Clock::now();
        glide3Ns += std::chrono::duration<double, std::nano>(middle - start).count();
        glide2Ns += std::chrono::duration<double, std::nano>(end - middle).count();
    }
    if (allocations != before) state.SkipWithError("a draw allocated");
    perVertex(state, "glide3_ns_per_vertex", glide3Ns);
    perVertex(state, "glide2_ns_per_vertex", glide2Ns);
    state.counters["ratio"] = glide2Ns > 0.0 ? glide3Ns / glide2Ns : 0.0;
    closeSession();
}
BENCHMARK(Glide3AgainstGlide2Polygon);

} // namespace

BENCHMARK_MAIN();
