// The vertex layout record and the conversion of one application vertex through it.
#include "glide3_vertex_driver.h"

#include <limits>

namespace {

using VertexConversion3 = Glide3DrawTest;

std::vector<FxU32> savedLayout() {
    std::vector<FxU32> words(27, 0xDEADBEEF);
    grGlideGetVertexLayout(words.data());
    return words;
}

TEST_F(VertexConversion3, TheRecordKeepsPairsPackedFlagAndSizeAndMovesWhole) {
    grReset(GR_VERTEX_PARAMETER);
    EXPECT_EQ(savedLayout(), std::vector<FxU32>(27, 0));
    grVertexLayout(GR_PARAM_XY, 4, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, 8, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_PARGB, 0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST1, 40, 7); // any non-zero mode enables
    grVertexLayout(GR_PARAM_FOG_EXT, 60, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_Q1, 100, GR_PARAM_DISABLE);
    grVertexLayout(GR_PARAM_ST2, 200, GR_PARAM_ENABLE); // accepted, stored nowhere
    const std::vector<FxU32> expected = {1, 0, 60, 4, 1, 0,  0, 0, 0, 60, 1, 0,   0, 8,
                                         1, 0, 1,  0, 0, 40, 7, 0, 0, 0,  0, 100, 0};
    std::vector<FxU32> saved = savedLayout();
    EXPECT_EQ(saved, expected);
    // Disabling changes no flag; only mode 1 of A or RGB clears it.
    grVertexLayout(GR_PARAM_PARGB, 0, GR_PARAM_DISABLE);
    grVertexLayout(GR_PARAM_A, 4, 2);
    EXPECT_EQ(savedLayout()[0], 1u);
    grVertexLayout(GR_PARAM_A, 4, GR_PARAM_ENABLE);
    EXPECT_EQ(savedLayout()[0], 0u);

    grGlideSetVertexLayout(saved.data());
    EXPECT_EQ(savedLayout(), saved);
    FxU32 vertex[3] = {0xFF112233, 0, 0};
    const float position[2] = {12.0f, 34.0f};
    std::memcpy(&vertex[1], position, sizeof(position));
    grDrawVertexArrayContiguous(GR_POINTS, 1, vertex, 14);
    std::vector<TlVertex> drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 12.0f);
    EXPECT_EQ(drawn[0].y, 34.0f);
    EXPECT_EQ(drawn[0].diffuse, 0xFF112233u);
    EXPECT_EQ(savedLayout()[1], 3u); // the stride in words, rounded down
}

TEST_F(VertexConversion3, PositionIsReadAtOffsetZeroWhenXyWasNeverEnabled) {
    grReset(GR_VERTEX_PARAMETER);
    grVertexLayout(GR_PARAM_PARGB, 8, GR_PARAM_ENABLE);
    FxU32 vertex[3] = {0, 0, 0xFF445566};
    const float position[2] = {21.0f, 43.0f};
    std::memcpy(vertex, position, sizeof(position));
    grDrawVertexArrayContiguous(GR_POINTS, 1, vertex, sizeof(vertex));
    std::vector<TlVertex> drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 21.0f);
    EXPECT_EQ(drawn[0].y, 43.0f);
    EXPECT_EQ(drawn[0].diffuse, 0xFF445566u);
}

TEST_F(VertexConversion3, SnapOffsetAndLowerLeftOrigin) {
    TlVertex d = drawnPoint(appVertex(786432.0f + 100.5f, 524287.0f));
    EXPECT_EQ(d.x, 100.5f);
    EXPECT_EQ(d.y, 524287.0f);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(drawnPoint(appVertex(5.0f, 0.0f)).y, 480.0f);
}

TEST_F(VertexConversion3, DepthByModeAndRhwFromQOrW) {
    AppVertex v = appVertex(1, 1);
    v.z = 65535.0f;
    v.q = 0.25f;
    v.w = 0.0625f;
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    EXPECT_EQ(drawnPoint(v).rhw, 1.0f); // neither Q nor W
    grVertexLayout(GR_PARAM_Q, offsetQ, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).rhw, 0.25f); // no texture selected, still 1/w
    EXPECT_EQ(drawnPoint(v).z, 0.5f);
    grVertexLayout(GR_PARAM_W, offsetW, GR_PARAM_ENABLE); // W wins over Q
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS);
    EXPECT_EQ(drawnPoint(v).rhw, 0.0625f);
    EXPECT_EQ(drawnPoint(v).z, 0.75f);

    grVertexLayout(GR_PARAM_Z, offsetZ, GR_PARAM_ENABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    EXPECT_FLOAT_EQ(drawnPoint(v).z, 0.9999847f);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS);
    v.z = 16384.0f;
    EXPECT_EQ(drawnPoint(v).z, 0.25f);
}

TEST_F(VertexConversion3, ColourIsThePackedWordOrFloatsHeldToTheByteRange) {
    AppVertex v = appVertex(1, 1);
    v.argb = 0x80102030;
    v.r = 255.0f;
    v.g = 127.9f;
    v.b = 63.5f;
    v.a = 64.75f;
    EXPECT_EQ(drawnPoint(v).diffuse, 0xFFFFFFFFu); // channels the vertex lacks are 255
    grVertexLayout(GR_PARAM_RGB, offsetRgb, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).diffuse, 0xFFFF7F3Fu);
    grVertexLayout(GR_PARAM_A, offsetA, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_PARGB, offsetPargb, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).diffuse, 0x80102030u);
    grVertexLayout(GR_PARAM_PARGB, offsetPargb, GR_PARAM_DISABLE);
    EXPECT_EQ(drawnPoint(v).diffuse, 0x40FF7F3Fu);
    v.r = 300.0f;
    v.g = -5.0f;
    v.b = std::numeric_limits<float>::quiet_NaN();
    v.a = 1e20f;
    EXPECT_EQ(drawnPoint(v).diffuse, 0xFFFF0000u);
}

// The TMU setting is 0: TMU 1 gets its coordinates whenever a texture is selected all the same.
TEST_F(VertexConversion3, TextureCoordinatesDivideByQ0AndScaleByTheSelectedTexture) {
    grVertexLayout(GR_PARAM_Q, offsetQ, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, offsetSt0, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST1, offsetSt1, GR_PARAM_ENABLE);
    AppVertex v = appVertex(1, 1);
    v.q = 0.25f;
    v.s0 = v.s1 = 128.0f * 0.25f;
    v.t0 = v.t1 = 16.0f * 0.25f;
    EXPECT_EQ(drawnPoint(v).tu0, 0.0f); // nothing selected
    selectTexture(GR_TMU0, 256, 32);
    selectTexture(GR_TMU1, 32, 256);
    TlVertex d = drawnPoint(v);
    EXPECT_EQ(d.tu0, 0.5f);
    EXPECT_EQ(d.tv0, 0.5f);
    EXPECT_EQ(d.tu1, 4.0f);
    EXPECT_EQ(d.tv1, 0.0625f);
    // Q0 divides TMU 0's coordinates, and TMU 1's until Q1 is enabled.
    grVertexLayout(GR_PARAM_Q0, offsetQ0, GR_PARAM_ENABLE);
    v.q0 = 0.5f;
    v.q1 = 2.0f;
    v.s0 = v.s1 = 64.0f;
    d = drawnPoint(v);
    EXPECT_EQ(d.tu0, 128.0f / 256.0f);
    EXPECT_EQ(d.tu1, 128.0f / 32.0f);
    EXPECT_EQ(d.rhw, 0.25f);
    grVertexLayout(GR_PARAM_Q1, offsetQ1, GR_PARAM_ENABLE);
    EXPECT_EQ(drawnPoint(v).tu1, 32.0f / 32.0f);
}

// A vertex ending right before memory the process may not read converts with every disabled parameter
// pointing past it.
TEST_F(VertexConversion3, NothingIsReadBeyondTheLastEnabledParameter) {
    for (FxU32 param : {GR_PARAM_Z, GR_PARAM_W, GR_PARAM_Q, GR_PARAM_A, GR_PARAM_RGB, GR_PARAM_PARGB,
                        GR_PARAM_ST0, GR_PARAM_ST1, GR_PARAM_Q0, GR_PARAM_Q1})
        grVertexLayout(param, 4096, GR_PARAM_DISABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    selectTexture(GR_TMU0, 64, 64);
    float *tail = guardedFloats(2);
    ASSERT_NE(tail, nullptr);
    tail[0] = 7.0f;
    tail[1] = 9.0f;
    grDrawVertexArrayContiguous(GR_POINTS, 1, tail, 8);
    releaseGuarded();
    std::vector<TlVertex> drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 7.0f);
}

} // namespace
