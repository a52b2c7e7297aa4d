// Consecutive draws join one DrawPrimitive until a state change or anything that could see the frame:
// the order of the device calls shows which draws were sent before what.
#include "glide2_draw_driver.h"

#include <algorithm>
#include <functional>
#include <string>

namespace {

typedef Glide2DrawTest DrawBatch;

// The recorded calls of these names, in order; a SetRenderState as its state number.
std::vector<std::string> sequenceOf(const std::vector<std::string> &names) {
    std::vector<std::string> found;
    for (const sim::Call &call : sim::calls())
        for (const std::string &name : names)
            if (call.name == name)
                found.push_back(name == "SetRenderState" ? "state " + std::to_string(call.args[0]) : name);
    return found;
}

TEST_F(DrawBatch, DrawsJoinUntilAStateChanges) {
    openSession();
    std::vector<GrVertex> v = {glideVertex(0, 0), glideVertex(10, 0), glideVertex(0, 10),
                               glideVertex(10, 10)};
    sim::clearCalls();
    grDrawTriangle(&v[0], &v[1], &v[2]);
    // The culling the device already has: not sent, and the batch stays whole.
    grCullMode(GR_CULL_DISABLE);
    grDrawTriangle(&v[1], &v[3], &v[2]);
    grDrawTriangle(&v[0], &v[2], &v[3]);
    grCullMode(GR_CULL_NEGATIVE);
    grDrawTriangle(&v[0], &v[2], &v[1]);
    const std::string cull = "state " + std::to_string(D3DRENDERSTATE_CULLMODE);
    EXPECT_EQ(sequenceOf({"DrawPrimitive", "SetRenderState"}),
              (std::vector<std::string>{"DrawPrimitive", cull, "DrawPrimitive"}));
    std::vector<sim::Call> draws = named("DrawPrimitive");
    ASSERT_EQ(draws.size(), 2u);
    const size_t triangleCorners = 3, joinedCorners = 3 + 3 + 3;
    EXPECT_EQ(verticesOf(draws[0]).size(), joinedCorners);
    EXPECT_EQ(verticesOf(draws[1]).size(), triangleCorners);
    EXPECT_EQ(triangles(), 4u);
}

// Games set the same depth test, clip window and texture before every triangle: each reaches the device
// once and the triangles stay one batch; a changed one is sent and splits it.
TEST_F(DrawBatch, AStateSetBeforeEveryTriangleIsSentOnce) {
    openSession();
    std::vector<GrVertex> v = {glideVertex(0, 0), glideVertex(10, 0), glideVertex(0, 10)};
    static FxU16 texels[64 * 64];
    GrTexInfo info = texInfo(GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    const FxU32 clipRight = 320, clipBottom = 240;
    const int trianglesDrawn = 3;
    sim::clearCalls();
    for (int i = 0; i < trianglesDrawn; ++i) {
        grDepthBufferFunction(GR_CMP_GREATER);
        grClipWindow(0, 0, clipRight, clipBottom);
        grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        grDrawTriangle(&v[0], &v[1], &v[2]);
    }
    const std::string depthTest = "state " + std::to_string(D3DRENDERSTATE_ZFUNC);
    std::vector<std::string> order =
        sequenceOf({"SetRenderState", "SetViewport", "SetTexture", "DrawPrimitive"});
    auto sent = [&](const std::string &name) { return std::count(order.begin(), order.end(), name); };
    EXPECT_EQ(sent(depthTest), 1);
    EXPECT_EQ(sent("SetViewport"), 1);
    EXPECT_EQ(sent("SetTexture"), 1);
    EXPECT_EQ(sent("DrawPrimitive"), 1);
    EXPECT_EQ(order.back(), "DrawPrimitive");

    sim::clearCalls();
    grDrawTriangle(&v[0], &v[1], &v[2]);
    grDepthBufferFunction(GR_CMP_LESS);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    EXPECT_EQ(sequenceOf({"SetRenderState", "DrawPrimitive"}),
              (std::vector<std::string>{"DrawPrimitive", depthTest, "DrawPrimitive"}));
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_ZFUNC), static_cast<DWORD>(D3DCMP_LESS));
    EXPECT_EQ(sim::viewport(liveDevice()).dwWidth, clipRight);

    // A value the device refused, or one it may have lost with its surfaces, is sent again.
    auto depthTestsSent = [&] {
        std::vector<std::string> states = sequenceOf({"SetRenderState"});
        return std::count(states.begin(), states.end(), depthTest);
    };
    sim::clearCalls();
    sim::failCall("SetRenderState", 1);
    grDepthBufferFunction(GR_CMP_ALWAYS);
    grDepthBufferFunction(GR_CMP_ALWAYS);
    EXPECT_EQ(depthTestsSent(), 2);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_ZFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    sim::loseSurfaces();
    grBufferSwap(0);
    sim::clearCalls();
    grDepthBufferFunction(GR_CMP_ALWAYS);
    EXPECT_EQ(depthTestsSent(), 1);
}

// A clear, a swap, a frame-buffer lock, grRenderBuffer and new texels in the bound texture each find what
// was drawn before them already sent; a download elsewhere makes a new surface and leaves the batch whole.
TEST_F(DrawBatch, WhatCouldSeeTheDrawsSendsThemFirst) {
    openSession();
    bindTexture565(GR_TMU0, GR_LOD_64, GR_ASPECT_1x1);
    std::vector<GrVertex> v = {glideVertex(0, 0), glideVertex(10, 0), glideVertex(0, 10)};
    static FxU16 texels[64 * 64];
    GrTexInfo info = texInfo(GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
    const FxU32 elsewhere = 0x10000;
    struct Case {
        const char *name;
        std::function<void()> action;
        const char *call;
        bool splits;
    } cases[] = {
        {"grBufferClear", [] { grBufferClear(0, 0, 0); }, "Clear", true},
        {"grBufferSwap", [] { grBufferSwap(0); }, "Flip", true},
        {"grLfbLock",
         [] {
             GrLfbInfo_t lfb;
             lfb.size = sizeof(lfb);
             grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT,
                       FXFALSE, &lfb);
             grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
         },
         "Lock", true},
        {"grRenderBuffer", [] { grRenderBuffer(GR_BUFFER_BACKBUFFER); }, "EndScene", true},
        {"bound texture",
         [] {
             grTexDownloadMipMapLevel(GR_TMU0, 0, GR_LOD_64, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565,
                                      GR_MIPMAPLEVELMASK_BOTH, texels);
         },
         "Lock", true},
        {"other texture", [&] { grTexDownloadMipMap(GR_TMU0, elsewhere, GR_MIPMAPLEVELMASK_BOTH, &info); },
         "Lock", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sim::clearCalls();
        grDrawTriangle(&v[0], &v[1], &v[2]);
        c.action();
        grDrawTriangle(&v[2], &v[1], &v[0]);
        std::vector<std::string> order = sequenceOf({"DrawPrimitive", c.call});
        ASSERT_GE(order.size(), 2u);
        if (c.splits) {
            EXPECT_EQ(order.front(), "DrawPrimitive");
            EXPECT_EQ(order.back(), "DrawPrimitive");
            EXPECT_EQ(countNamed("DrawPrimitive"), 2u);
        } else {
            EXPECT_EQ(order.back(), "DrawPrimitive");
            EXPECT_EQ(countNamed("DrawPrimitive"), 1u);
        }
    }
}

} // namespace
