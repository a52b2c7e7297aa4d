// A Glide 3 session ready to draw, an application vertex with every parameter, and what reached the device.
#ifndef KESTRIX_GLIDE3_VERTEX_DRIVER_H
#define KESTRIX_GLIDE3_VERTEX_DRIVER_H

#include "glide3_fixture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "render/draw_vertex.h"
#include "render/vertex_arrays.h"
#include "texture/texture_state.h"

// Every parameter a Glide 3 layout can place, at offsets the tests enable one by one.
struct AppVertex {
    float x, y, z, w, q;
    float r, g, b, a;
    FxU32 argb;
    float s0, t0, q0;
    float s1, t1, q1;
};

inline AppVertex appVertex(float x, float y) {
    AppVertex v;
    std::memset(&v, 0, sizeof(v));
    v.x = x;
    v.y = y;
    return v;
}

const FxI32 offsetXy = offsetof(AppVertex, x);
const FxI32 offsetZ = offsetof(AppVertex, z);
const FxI32 offsetW = offsetof(AppVertex, w);
const FxI32 offsetQ = offsetof(AppVertex, q);
const FxI32 offsetRgb = offsetof(AppVertex, r);
const FxI32 offsetA = offsetof(AppVertex, a);
const FxI32 offsetPargb = offsetof(AppVertex, argb);
const FxI32 offsetSt0 = offsetof(AppVertex, s0);
const FxI32 offsetQ0 = offsetof(AppVertex, q0);
const FxI32 offsetSt1 = offsetof(AppVertex, s1);
const FxI32 offsetQ1 = offsetof(AppVertex, q1);

// One DrawPrimitive as the device saw it.
struct Draw {
    D3DPRIMITIVETYPE type;
    std::vector<TlVertex> vertices;
};

inline std::vector<Draw> draws() {
    std::vector<Draw> found;
    for (const sim::Call &call : sim::callsNamed("DrawPrimitive"))
        found.push_back({static_cast<D3DPRIMITIVETYPE>(call.args[0]), verticesOf(call)});
    return found;
}

class Glide3DrawTest : public Glide3Test {
  protected:
    TextureRecord selected[2] = {};
    unsigned char *guarded = nullptr;
    size_t guardedPage = 0;

    void SetUp() override {
        Glide3Test::SetUp();
        ASSERT_EQ(initAndOpen(), 1u);
        // Gouraud colour and alpha, texture times colour: the vertex colour reaches the diffuse unchanged.
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_NONE, FXFALSE);
        grVertexLayout(GR_PARAM_XY, offsetXy, GR_PARAM_ENABLE);
        sim::clearCalls();
    }

    void TearDown() override {
        for (int tmu = 0; tmu < 2; ++tmu) {
            deviceTextures.currentTexture[tmu] = nullptr;
            deviceTextures.textureEnabled[tmu] = 0;
        }
        grSstWinClose(1);
        Glide3Test::TearDown();
    }

    // A width × height texture selected on the TMU, as far as the conversion reads it: its scales.
    void selectTexture(GrChipID_t tmu, FxU32 width, FxU32 height) {
        const float longer = static_cast<float>(width > height ? width : height);
        TextureRecord &record = selected[tmu];
        record.width = width;
        record.height = height;
        record.sScale = longer / static_cast<float>(width) / 256.0f;
        record.tScale = longer / static_cast<float>(height) / 256.0f;
        deviceTextures.currentTexture[tmu] = &record;
        deviceTextures.textureEnabled[tmu] = 1;
    }

    static TlVertex drawnPoint(const AppVertex &vertex) {
        sim::clearCalls();
        grDrawPoint(&vertex);
        std::vector<Draw> drawn = draws();
        EXPECT_EQ(drawn.size(), 1u);
        return drawn.size() == 1 && drawn[0].vertices.size() == 1 ? drawn[0].vertices[0] : TlVertex{};
    }

    // count vertices along a line, vertex i at x = i.
    static std::vector<AppVertex> row(size_t count) {
        std::vector<AppVertex> vertices;
        for (size_t i = 0; i < count; ++i)
            vertices.push_back(appVertex(static_cast<float>(i), 1.0f));
        return vertices;
    }

    static std::vector<void *> pointersTo(std::vector<AppVertex> &vertices) {
        std::vector<void *> pointers;
        for (AppVertex &v : vertices)
            pointers.push_back(&v);
        return pointers;
    }

    // count floats that end where a page the process may not read begins.
    float *guardedFloats(size_t count) {
        guardedPage = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void *pages =
            mmap(nullptr, 2 * guardedPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages == MAP_FAILED) return nullptr;
        guarded = static_cast<unsigned char *>(pages);
        if (mprotect(guarded + guardedPage, guardedPage, PROT_NONE) != 0) return nullptr;
        return reinterpret_cast<float *>(guarded + guardedPage) - count;
    }

    void releaseGuarded() {
        if (guarded != nullptr) munmap(guarded, 2 * guardedPage);
        guarded = nullptr;
    }

    static FxU32 triangles() {
        FxU32 count = 0;
        grGet(GR_STATS_TRIANGLES_OUT, sizeof(count), reinterpret_cast<FxI32 *>(&count));
        return count;
    }
};

#endif
