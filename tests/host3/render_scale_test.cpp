// RenderScale in Glide 3: the device draws at twice a 320x240 screen with the lower-left origin, while the
// queries answer the game's own rectangle.
#include "glide3_vertex_driver.h"

namespace {

const DWORD desktopWidth = 1280, desktopHeight = 1024, desktopBits = 16;
const DWORD twice = 2;

using RenderScale3 = Glide3Test;

TEST_F(RenderScale3, TheDeviceDrawsScaledWhileTheQueriesAnswerTheGamesRectangle) {
    sim::setDesktopMode(desktopWidth, desktopHeight, desktopBits);
    setProductDword("RenderScale", twice);
    ASSERT_EQ(initAndOpen(GR_RESOLUTION_320x240, GR_ORIGIN_LOWER_LEFT), 1u);
    grClipWindow(10, 20, 110, 220);
    const D3DVIEWPORT7 viewport = sim::viewport(renderContext.device);
    EXPECT_EQ(viewport.dwX, 20u);
    EXPECT_EQ(viewport.dwY, 40u);
    EXPECT_EQ(viewport.dwWidth, 200u);
    EXPECT_EQ(viewport.dwHeight, 400u);
    FxI32 reported[4] = {};
    EXPECT_EQ(grGet(GR_VIEWPORT, sizeof(reported), reported), sizeof(reported));
    EXPECT_EQ(std::vector<FxI32>(reported, reported + 4), (std::vector<FxI32>{10, 20, 100, 200}));

    // Flipped for the origin at the game's size, then scaled: y 10 is game row 230, screen row 460, less the
    // half pixel between the board's sample point and Direct3D's.
    grClipWindow(0, 0, 320, 240);
    grVertexLayout(GR_PARAM_XY, offsetXy, GR_PARAM_ENABLE);
    sim::clearCalls();
    AppVertex a = appVertex(10, 10), b = appVertex(50, 10), c = appVertex(10, 30);
    grDrawTriangle(&a, &b, &c);
    std::vector<Draw> drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_EQ(drawn[0].vertices.size(), 3u);
    EXPECT_EQ(drawn[0].vertices[0].x, 19.5f);
    EXPECT_EQ(drawn[0].vertices[0].y, 459.5f);
    EXPECT_EQ(drawn[0].vertices[1].x, 99.5f);
    EXPECT_EQ(drawn[0].vertices[2].y, 419.5f);
    grSstWinClose(1);
}

} // namespace
