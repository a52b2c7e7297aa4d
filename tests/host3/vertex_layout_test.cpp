// The vertex layout record and the conversion of one application vertex through it.
#include "glide3_vertex_driver.h"

#include <cmath>
#include <limits>

namespace {

using VertexLayout3 = Glide3Test;
using VertexConversion3 = Glide3DrawTest;

std::vector<FxU32> savedLayout() {
    std::vector<FxU32> words(27, 0xDEADBEEF);
    grGlideGetVertexLayout(words.data());
    return words;
}

TEST_F(VertexLayout3, TheRecordKeepsEachPairThePackedFlagAndTheVertexSize) {
    FxU32 size = 0;
    EXPECT_EQ(grGet(GR_GLIDE_VERTEXLAYOUT_SIZE, sizeof(size), reinterpret_cast<FxI32 *>(&size)), 4u);
    EXPECT_EQ(size, 27u * 4u);

    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_PARGB, 20, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST1, 40, 7); // any non-zero mode enables
    grVertexLayout(GR_PARAM_FOG_EXT, 60, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q1, 100, GR_PARAM_DISABLE);
    grVertexLayout(GR_PARAM_ST2, 200, GR_PARAM_ENABLE); // accepted, stored nowhere
    std::vector<FxU32> words = savedLayout();
    const std::vector<FxU32> expected = {1, 0,  60, 0, 1, 0,  0, 0, 0, 60, 1, 0,   0, 8,
                                         1, 20, 1,  0, 0, 40, 7, 0, 0, 0,  0, 100, 0};
    EXPECT_EQ(words, expected);

    // Disabling changes no flag; enabling A (mode exactly 1) clears it.
    grVertexLayout(GR_PARAM_PARGB, 20, GR_PARAM_DISABLE);
    EXPECT_EQ(savedLayout()[0], 1u);
    grVertexLayout(GR_PARAM_A, 4, 2);
    EXPECT_EQ(savedLayout()[0], 1u);
    grVertexLayout(GR_PARAM_A, 4, GR_PARAM_ENABLE);
    EXPECT_EQ(savedLayout()[0], 0u);
    EXPECT_EQ(savedLayout()[2], 60u); // ST1 ends at 48, FOG_EXT counts with its offset alone
}

TEST_F(VertexConversion3, GetSetAndResetMoveTheWholeRecord) {
    grVertexLayout(GR_PARAM_XY, 4, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_PARGB, 0, GR_PARAM_ENABLE);
    std::vector<FxU32> saved = savedLayout();

    grReset(GR_VERTEX_PARAMETER);
    EXPECT_EQ(savedLayout(), std::vector<FxU32>(27, 0));
    FxU32 vertex[3] = {0xFF112233, 0, 0};
    float position[2] = {12.0f, 34.0f};
    std::memcpy(&vertex[1], position, sizeof(position));
    sim::clearCalls();
    grDrawPoint(vertex);
    std::vector<TlVertex> drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 0.0f); // no position enabled: nothing is read
    EXPECT_EQ(drawn[0].diffuse, 0xFFFFFFFFu);

    grGlideSetVertexLayout(saved.data());
    EXPECT_EQ(savedLayout(), saved);
    sim::clearCalls();
    grDrawPoint(vertex);
    drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 12.0f);
    EXPECT_EQ(drawn[0].y, 34.0f);
    EXPECT_EQ(drawn[0].diffuse, 0xFF112233u);

    grDrawVertexArrayContiguous(GR_POINTS, 1, vertex, 14);
    EXPECT_EQ(savedLayout()[1], 3u); // the stride in words, rounded down
}

TEST_F(VertexConversion3, SnappedCoordinatesLoseTheirOffsetAndTheLowerLeftOriginFlips) {
    TlVertex d = drawnPoint(appVertex(786432.0f + 100.5f, 524287.0f));
    EXPECT_EQ(d.x, 100.5f);
    EXPECT_EQ(d.y, 524287.0f);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(drawnPoint(appVertex(5.0f, 0.0f)).y, 480.0f);
    EXPECT_EQ(drawnPoint(appVertex(5.0f, 10.0f)).y, 470.0f);
}

TEST_F(VertexConversion3, DepthByModeAndRhwFromQOrW) {
    setProductDword("ZFast", 1); // plays no part in Glide 3
    grSstWinClose(1);
    grGlideInit();
    ASSERT_EQ(open(), 1u);
    grVertexLayout(GR_PARAM_XY, offsetXy, GR_PARAM_ENABLE);
    AppVertex v = appVertex(1, 1);
    v.z = 65535.0f;
    v.q = 0.25f;
    v.w = 0.0625f;

    // Neither Q nor W: rhw 1, a w-buffer depth of 1 - sqrt(1).
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    EXPECT_EQ(drawnPoint(v).rhw, 1.0f);
    EXPECT_EQ(drawnPoint(v).z, 0.0f);

    grVertexLayout(GR_PARAM_Q, offsetQ, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).rhw, 0.25f); // no texture selected, still 1/w
    EXPECT_EQ(drawnPoint(v).z, 0.5f);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS);
    EXPECT_EQ(drawnPoint(v).z, 0.5f);

    grVertexLayout(GR_PARAM_W, offsetW, GR_PARAM_ENABLE); // W wins over Q
    EXPECT_EQ(drawnPoint(v).rhw, 0.0625f);
    EXPECT_EQ(drawnPoint(v).z, 0.75f);

    grVertexLayout(GR_PARAM_Z, offsetZ, GR_PARAM_ENABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    EXPECT_FLOAT_EQ(drawnPoint(v).z, 0.9999847f);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS);
    v.z = 16384.0f;
    EXPECT_EQ(drawnPoint(v).z, 0.25f);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    EXPECT_EQ(drawnPoint(v).z, 0.0f);
}

TEST_F(VertexConversion3, ColourIsThePackedWordOrFloatsHeldToTheByteRange) {
    AppVertex v = appVertex(1, 1);
    v.argb = 0x80102030;
    v.r = 255.0f;
    v.g = 127.9f;
    v.b = 63.5f;
    v.a = 255.0f;
    // Nothing enabled: every channel 255.
    EXPECT_EQ(drawnPoint(v).diffuse, 0xFFFFFFFFu);
    grVertexLayout(GR_PARAM_RGB, offsetRgb, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).diffuse, 0xFFFF7F3Fu);
    grVertexLayout(GR_PARAM_A, offsetA, GR_PARAM_ENABLE);
    v.a = 64.75f;
    EXPECT_EQ(drawnPoint(v).diffuse, 0x40FF7F3Fu);

    grVertexLayout(GR_PARAM_PARGB, offsetPargb, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).diffuse, 0x80102030u);
    grVertexLayout(GR_PARAM_PARGB, offsetPargb, GR_PARAM_DISABLE);
    EXPECT_EQ(drawnPoint(v).diffuse, 0x40FF7F3Fu);

    // Out of range and not a number: held to 0 to 255, never wrapped to the low byte.
    v.r = 300.0f;
    v.g = -5.0f;
    v.b = std::numeric_limits<float>::quiet_NaN();
    v.a = 1e20f;
    EXPECT_EQ(drawnPoint(v).diffuse, 0xFFFF0000u);
}

TEST_F(VertexConversion3, TextureCoordinatesDivideByQ0AndScaleByTheSelectedTexture) {
    // The TMU setting is 0: TMU 1 gets its coordinates whenever a texture is selected all the same.
    grVertexLayout(GR_PARAM_Q, offsetQ, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, offsetSt0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST1, offsetSt1, GR_PARAM_ENABLE);
    AppVertex v = appVertex(1, 1);
    v.q = 0.25f;
    v.s0 = v.s1 = 128.0f * 0.25f;
    v.t0 = v.t1 = 16.0f * 0.25f;

    TlVertex d = drawnPoint(v);
    EXPECT_EQ(d.tu0, 0.0f); // nothing selected
    EXPECT_EQ(d.tu1, 0.0f);

    selectTexture(GR_TMU0, 256, 32); // 8x1
    selectTexture(GR_TMU1, 32, 256); // 1x8
    d = drawnPoint(v);
    EXPECT_EQ(d.tu0, 0.5f);
    EXPECT_EQ(d.tv0, 0.5f);
    EXPECT_EQ(d.tu1, 4.0f);
    EXPECT_EQ(d.tv1, 0.0625f);

    // Q0 divides TMU 0's coordinates, and TMU 1's while Q1 is disabled.
    grVertexLayout(GR_PARAM_Q0, offsetQ0, GR_PARAM_ENABLE);
    v.q0 = 0.5f;
    v.s0 = v.s1 = 64.0f;
    d = drawnPoint(v);
    EXPECT_EQ(d.tu0, 128.0f / 256.0f);
    EXPECT_EQ(d.tu1, 128.0f / 32.0f);
    EXPECT_EQ(d.rhw, 0.25f);
    grVertexLayout(GR_PARAM_Q1, offsetQ1, GR_PARAM_ENABLE);
    v.q1 = 2.0f;
    d = drawnPoint(v);
    EXPECT_EQ(d.tu0, 128.0f / 256.0f);
    EXPECT_EQ(d.tu1, 32.0f / 32.0f);
}

// Disabled parameters are never read: a vertex that ends where its last enabled parameter ends, right
// before memory the process may not read, converts with every other parameter pointing past it.
TEST_F(VertexConversion3, NothingIsReadBeyondTheLastEnabledParameter) {
    const FxI32 beyond = 4096;
    for (FxU32 param : {GR_PARAM_Z, GR_PARAM_W, GR_PARAM_Q, GR_PARAM_A, GR_PARAM_RGB, GR_PARAM_PARGB,
                        GR_PARAM_ST0, GR_PARAM_ST1, GR_PARAM_Q0, GR_PARAM_Q1})
        grVertexLayout(param, beyond, GR_PARAM_DISABLE);
    grVertexLayout(GR_PARAM_XY, 0, GR_PARAM_ENABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    selectTexture(GR_TMU0, 64, 64);
    float *tail = guardedFloats(2);
    ASSERT_NE(tail, nullptr);
    tail[0] = 7.0f;
    tail[1] = 9.0f;
    sim::clearCalls();
    grDrawVertexArrayContiguous(GR_POINTS, 1, tail, 8);
    std::vector<TlVertex> drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 7.0f);
    EXPECT_EQ(drawn[0].y, 9.0f);
    EXPECT_EQ(drawn[0].diffuse, 0xFFFFFFFFu);
    releaseGuarded();
}

} // namespace
