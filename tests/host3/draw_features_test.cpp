// Clip coordinates, antialiased edges and the shameless plug as tessel3 draws them.
#include "glide3_vertex_driver.h"

#include <algorithm>

namespace {

using DrawFeatures3 = Glide3DrawTest;

size_t countSent(const char *name, DWORD renderState = 0) {
    size_t count = 0;
    for (const sim::Call &call : sim::callsNamed(name))
        if (renderState == 0 || call.args[0] == renderState) ++count;
    return count;
}

// The same depth test, clip window and combine before every triangle reach the device once and leave the
// triangles one batch; a changed depth test is sent and splits it.
TEST_F(DrawFeatures3, AStateSetBeforeEveryTriangleIsSentOnce) {
    AppVertex v[] = {appVertex(0, 0), appVertex(10, 0), appVertex(0, 10)};
    const FxU32 clipRight = 320, clipBottom = 240;
    const int trianglesDrawn = 3;
    for (int i = 0; i < trianglesDrawn; ++i) {
        grDepthBufferFunction(GR_CMP_GREATER);
        grClipWindow(0, 0, clipRight, clipBottom);
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grDrawTriangle(&v[0], &v[1], &v[2]);
    }
    EXPECT_EQ(countSent("SetRenderState", D3DRENDERSTATE_ZFUNC), 1u);
    EXPECT_EQ(countSent("SetViewport"), 1u);
    EXPECT_EQ(countSent("SetTextureStageState"), 0u) << "the combine the device has since SetUp";
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws()[0].vertices.size(), static_cast<size_t>(3 * trianglesDrawn));

    sim::clearCalls();
    grDrawTriangle(&v[0], &v[1], &v[2]);
    grDepthBufferFunction(GR_CMP_LESS);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    EXPECT_TRUE(inOrder({"DrawPrimitive", "SetRenderState", "DrawPrimitive"}));
    EXPECT_EQ(draws().size(), 2u);
    EXPECT_EQ(sim::renderState(renderContext.device, D3DRENDERSTATE_ZFUNC), static_cast<DWORD>(D3DCMP_LESS));
}

TEST_F(DrawFeatures3, ClipCoordinatesDivideByWAndMapThroughViewportAndDepthRange) {
    grVertexLayout(GR_PARAM_Z, offsetZ, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_W, offsetW, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_RGB, offsetRgb, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_A, offsetA, GR_PARAM_ENABLE);
    grVertexLayout(GR_PARAM_ST0, offsetSt0, GR_PARAM_ENABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grCoordinateSpace(GR_CLIP_COORDS);
    grViewport(100, 50, 200, 100);
    grDepthRange(0.25f, 0.75f);
    selectTexture(GR_TMU0, 64, 32);

    AppVertex v = appVertex(2.0f, -4.0f); // x/w 0.5, y/w -1
    v.z = 0.0f;
    v.w = 4.0f;
    v.r = 1.0f;
    v.g = 0.5f;
    v.b = 0.0f;
    v.a = 1.0f;
    v.s0 = 0.5f; // s and t run 0 to 1 and are not divided by w
    v.t0 = 0.25f;
    TlVertex d = drawnPoint(v);
    EXPECT_EQ(d.x, 100.0f + 100.0f + 0.5f * 100.0f);
    EXPECT_EQ(d.y, 50.0f + 50.0f - 50.0f);
    EXPECT_EQ(d.z, 0.5f);
    EXPECT_EQ(d.rhw, 0.25f);
    EXPECT_EQ(d.diffuse, 0xFFFF7F00u);
    EXPECT_EQ(d.tu0, 0.5f);
    EXPECT_EQ(d.tv0, 0.5f); // half the texture's height at 0.25 of its longer side

    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(drawnPoint(v).y, 480.0f - 50.0f);

    grCoordinateSpace(GR_WINDOW_COORDS);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    EXPECT_EQ(drawnPoint(v).x, 2.0f);
}

float windingOf(const TlVertex &a, const TlVertex &b, const TlVertex &c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

// The edges the flags name get a fringe a pixel wide outside them, alpha 0 at its outer border, wound as the
// triangle so that culling treats both alike.
TEST_F(DrawFeatures3, AntialiasedTriangleDrawsAFringeOutsideTheFlaggedEdges) {
    grVertexLayout(GR_PARAM_PARGB, offsetPargb, GR_PARAM_ENABLE);
    AppVertex a = appVertex(10, 10), b = appVertex(10, 50), c = appVertex(50, 10);
    for (AppVertex *v : {&a, &b, &c})
        v->argb = 0xFF808080u;
    const FxU32 before = triangles();
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXFALSE, FXFALSE);
    // The triangle and then its fringe, in one list.
    std::vector<Draw> drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_EQ(drawn[0].type, D3DPT_TRIANGLELIST);
    ASSERT_EQ(drawn[0].vertices.size(), 3u + 6u);
    EXPECT_EQ(triangles(), before + 1);
    const std::vector<TlVertex> &list = drawn[0].vertices;
    const float winding = windingOf(list[0], list[1], list[2]);
    for (size_t i = 3; i < list.size(); i += 3)
        EXPECT_GT(windingOf(list[i], list[i + 1], list[i + 2]) * winding, 0.0f);
    for (size_t i = 3; i < list.size(); ++i) {
        const TlVertex &v = list[i];
        // Edge a to b lies on x = 10, the triangle to its right.
        EXPECT_TRUE((v.x == 10.0f && v.diffuse == 0xFF808080u) || (v.x == 9.0f && v.diffuse == 0x00808080u))
            << v.x << " " << std::hex << v.diffuse;
    }
    sim::clearCalls();
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXTRUE, FXTRUE);
    drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].vertices.size(), 3u + 18u);
}

// With ordered antialiasing a line is a ridge two pixels wide and a point a pyramid, drawn with culling off
// and the culling put back.
TEST_F(DrawFeatures3, OrderedAntialiasingSoftensLinesAndPoints) {
    AppVertex a = appVertex(10, 20), b = appVertex(30, 20);
    grCullMode(GR_CULL_POSITIVE);
    grEnable(GR_AA_ORDERED);
    sim::clearCalls();
    grDrawLine(&a, &b);
    std::vector<Draw> drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].type, D3DPT_TRIANGLELIST);
    ASSERT_EQ(drawn[0].vertices.size(), 12u);
    float lowest = 1e9f, highest = -1e9f;
    for (const TlVertex &v : drawn[0].vertices) {
        lowest = std::min(lowest, v.y);
        highest = std::max(highest, v.y);
        EXPECT_EQ(v.diffuse >> 24, v.y == 20.0f ? 0xFFu : 0u);
    }
    EXPECT_EQ(lowest, 19.0f);
    EXPECT_EQ(highest, 21.0f);
    std::vector<sim::Call> culls;
    for (const sim::Call &call : sim::callsNamed("SetRenderState"))
        if (call.args[0] == D3DRENDERSTATE_CULLMODE) culls.push_back(call);
    ASSERT_EQ(culls.size(), 2u);
    EXPECT_EQ(culls[0].args[1], static_cast<unsigned long long>(D3DCULL_NONE));
    EXPECT_EQ(culls[1].args[1], static_cast<unsigned long long>(D3DCULL_CW));

    std::vector<AppVertex> points = row(2);
    std::vector<void *> pointers = pointersTo(points);
    sim::clearCalls();
    grDrawVertexArray(GR_POINTS, 2, pointers.data());
    drawn = draws();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].vertices.size(), 12u);

    grDisable(GR_AA_ORDERED);
    sim::clearCalls();
    grDrawLine(&a, &b);
    drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].type, D3DPT_LINELIST);
}

// Black pixels of tessel3's bitmaps leave the picture as it was.
TEST_F(DrawFeatures3, ThePlugIsColourKeyedInTheCornerUntilDisabled) {
    grEnable(GR_SHAMELESS_PLUG);
    grBufferSwap(1);
    std::vector<sim::Call> blits = sim::callsNamed("BltFast");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(firstArgs(blits[0], 3),
              (std::vector<unsigned long long>{640 - 160, 480 - 32, DDBLTFAST_SRCCOLORKEY}));
    grDisable(GR_SHAMELESS_PLUG);
    sim::clearCalls();
    grBufferSwap(1);
    EXPECT_EQ(sim::callsNamed("BltFast").size(), 0u);
}

} // namespace
