// Programs leave the vertex fields their modes do not use as they happen to be: those fields change nothing
// that reaches Direct3D, and values Direct3D cannot take never reach it.
#include "glide2_draw_driver.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

const float notANumber = std::numeric_limits<float>::quiet_NaN();
const float infinity = std::numeric_limits<float>::infinity();

// Which fields a set of modes reads; the rest are left to the filling.
struct ReadFields {
    bool color;
    bool alpha;
    bool ooz;
    bool oow;
    bool texture;
};

class UnreadVertexFields : public Glide2DrawTest {
  protected:
    std::mt19937 random{18};

    // Every field from `fill`, then the fields the modes read set to sensible values.
    GrVertex vertexFilledWith(const std::function<void(GrVertex &)> &fill, const ReadFields &read) {
        GrVertex v;
        fill(v);
        v.x = 100.5f;
        v.y = 786432.0f + 40.0f;
        if (read.color) {
            v.r = 10.0f;
            v.g = 200.0f;
            v.b = 30.0f;
        }
        if (read.alpha) v.a = 128.0f;
        if (read.ooz) v.ooz = 30000.0f;
        if (read.oow) v.oow = 0.5f;
        if (read.texture) {
            v.tmuvtx[0].sow = 32.0f;
            v.tmuvtx[0].tow = 16.0f;
        }
        return v;
    }

    static void zeros(GrVertex &v) { std::memset(&v, 0, sizeof(v)); }
    static void nans(GrVertex &v) {
        float *fields = reinterpret_cast<float *>(&v);
        for (size_t i = 0; i < sizeof(v) / sizeof(float); ++i)
            fields[i] = notANumber;
    }
    void randomBytes(GrVertex &v) {
        unsigned char *bytes = reinterpret_cast<unsigned char *>(&v);
        for (size_t i = 0; i < sizeof(v); ++i)
            bytes[i] = static_cast<unsigned char>(random());
    }

    // The drawn vertex must be the same bytes whatever the unread fields hold.
    void expectUnreadFieldsChangeNothing(const ReadFields &read) {
        TlVertex clean = drawnPoint(vertexFilledWith(zeros, read));
        TlVertex withNans = drawnPoint(vertexFilledWith(nans, read));
        EXPECT_EQ(std::memcmp(&clean, &withNans, sizeof(clean)), 0);
        for (int round = 0; round < 20; ++round) {
            TlVertex withNoise = drawnPoint(vertexFilledWith([this](GrVertex &v) { randomBytes(v); }, read));
            ASSERT_EQ(std::memcmp(&clean, &withNoise, sizeof(clean)), 0) << "round " << round;
        }
        EXPECT_FALSE(std::isnan(clean.rhw));
        EXPECT_FALSE(std::isnan(clean.z));
    }
};

TEST_F(UnreadVertexFields, GouraudWithoutDepthReadsPositionAndColorOnly) {
    openWith({});
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    expectUnreadFieldsChangeNothing({true, true, false, false, false});
}

// A bound texture that the combine does not read leaves 1/w and the texture fields unread.
TEST_F(UnreadVertexFields, AZBufferAndAnUnreadTextureReadOozButNotOneOverW) {
    openWith({});
    bindTexture565(GR_TMU0, GR_LOD_64, GR_ASPECT_1x1);
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    expectUnreadFieldsChangeNothing({true, true, true, false, false});
    TlVertex d = drawnPoint(vertexFilledWith(nans, {true, true, true, false, false}));
    EXPECT_EQ(d.rhw, 1.0f);
    EXPECT_FLOAT_EQ(d.z, 30000.0f / 65535.0f);
}

TEST_F(UnreadVertexFields, AConstantColorWithAWBufferReadsOneOverWButNoColor) {
    openWith({});
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    guAlphaSource(GR_ALPHASOURCE_CC_ALPHA);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    expectUnreadFieldsChangeNothing({false, false, false, true, false});
}

TEST_F(UnreadVertexFields, ATextureTheCombineReadsTakesOneOverWAndItsCoordinates) {
    openWith({});
    bindTexture565(GR_TMU0, GR_LOD_64, GR_ASPECT_1x1);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    guAlphaSource(GR_ALPHASOURCE_CC_ALPHA);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    expectUnreadFieldsChangeNothing({false, false, false, true, true});
    TlVertex d = drawnPoint(vertexFilledWith(nans, {false, false, false, true, true}));
    EXPECT_EQ(d.rhw, 0.5f);
    EXPECT_FLOAT_EQ(d.tu0, 32.0f * 2.0f / 256.0f);
}

TEST_F(UnreadVertexFields, OneOverWThatIsNotFiniteAndPositiveReachesDirect3DAsOne) {
    openWith({{"ZFast", 1}});
    bindTexture565(GR_TMU0, GR_LOD_64, GR_ASPECT_1x1);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    for (float oow : {notANumber, infinity, -infinity, 0.0f, -0.5f}) {
        SCOPED_TRACE(oow);
        GrVertex v = glideVertex(10, 10, oow);
        v.tmuvtx[0].sow = 64.0f;
        TlVertex d = drawnPoint(v);
        EXPECT_EQ(d.rhw, 1.0f);
        EXPECT_EQ(d.z, 0.0f);
        EXPECT_FLOAT_EQ(d.tu0, 64.0f / 256.0f);
    }
}

TEST_F(UnreadVertexFields, ANonFinitePositionDropsThePrimitive) {
    openWith({});
    GrVertex good[4] = {glideVertex(10, 10), glideVertex(50, 10), glideVertex(50, 50), glideVertex(10, 50)};
    for (float bad : {notANumber, infinity, -infinity}) {
        SCOPED_TRACE(bad);
        for (bool badY : {false, true}) {
            GrVertex v[4] = {good[0], good[1], good[2], good[3]};
            (badY ? v[2].y : v[2].x) = bad;
            const int ilist[4] = {0, 1, 2, 3};
            FxU32 before = triangles();
            sim::clearCalls();
            grDrawTriangle(&v[0], &v[1], &v[2]);
            grDrawLine(&v[1], &v[2]);
            grDrawPoint(&v[2]);
            grDrawPolygon(4, ilist, v);
            grDrawPolygonVertexList(4, v);
            EXPECT_EQ(countNamed("DrawPrimitive"), 0u);
            EXPECT_EQ(triangles(), before);
        }
    }
    sim::clearCalls();
    grDrawTriangle(&good[0], &good[1], &good[2]);
    EXPECT_EQ(countNamed("DrawPrimitive"), 1u);
}

} // namespace
