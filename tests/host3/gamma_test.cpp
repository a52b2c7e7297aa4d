// The game's gamma table and the user's Gamma setting on what the screen shows.
#include "glide3_fixture.h"

#include <cmath>

namespace {

using Gamma = Glide3Test;

const int entries = 256;
const WORD rampScale = 257;
const DWORD rgbMask = 0x00FFFFFF;
const GrColor_t clearColor = 0x00402010; // ARGB
const DWORD invertedClear = 0x00BFDFEF;

struct Table {
    std::vector<FxU32> red, green, blue;
};

// Each entry the complement of its index: every channel value is turned over.
Table invertedTable() {
    Table table{std::vector<FxU32>(entries), std::vector<FxU32>(entries), std::vector<FxU32>(entries)};
    for (int i = 0; i < entries; ++i)
        table.red[i] = table.green[i] = table.blue[i] = static_cast<FxU32>(entries - 1 - i);
    return table;
}

WORD rampOf(int entry, double gamma) {
    return static_cast<WORD>(std::lround(std::pow(entry / 255.0, 1.0 / gamma) * 255.0) * rampScale);
}

TEST_F(Gamma, FullScreenLoadsTheDisplaysRampAndPutsItBackAtClose) {
    sim::setDriverCaps2(DDCAPS2_PRIMARYGAMMA);
    ASSERT_EQ(initAndOpen(), 1u);
    guGammaCorrectionRGB(2.0f, 1.0f, 0.5f);
    ASSERT_TRUE(sim::gammaRampSet());
    for (int i : {0, 64, 128, 255}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sim::gammaRamp().red[i], rampOf(i, 2.0));
        EXPECT_EQ(sim::gammaRamp().green[i], i * rampScale);
        EXPECT_EQ(sim::gammaRamp().blue[i], rampOf(i, 0.5));
    }
    // The ramp carries the table: the frame itself is presented as drawn.
    grBufferClear(clearColor, 0, 0xFFFF);
    grBufferSwap(0);
    EXPECT_EQ(find("Lock"), std::string::npos);
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
    EXPECT_EQ(sim::gammaRamp().red[128], 128 * rampScale);
    EXPECT_EQ(sim::gammaRamp().blue[128], 128 * rampScale);
}

TEST_F(Gamma, WithoutTheDriversRampTheFlippedFrameIsLookedUp) {
    setProductDword("ColorDepth", 32);
    ASSERT_EQ(initAndOpen(), 1u);
    Table table = invertedTable();
    grLoadGammaTable(entries, table.red.data(), table.green.data(), table.blue.data());
    EXPECT_FALSE(sim::gammaRampSet());
    grBufferClear(clearColor, 0, 0xFFFF);
    grBufferSwap(0);
    EXPECT_EQ(sim::pixel(renderContext.frontSurface, 5, 5) & rgbMask, invertedClear);
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
}

// Front-buffer drawing goes through the lookup too: it is drawn into the back buffer and each showing
// corrects the copy, so showing it twice does not apply the table twice.
TEST_F(Gamma, WithoutTheDriversRampFrontBufferDrawingIsLookedUpOnce) {
    setProductDword("ColorDepth", 32);
    ASSERT_EQ(initAndOpen(), 1u);
    Table table = invertedTable();
    grLoadGammaTable(entries, table.red.data(), table.green.data(), table.blue.data());
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    grBufferClear(clearColor, 0, 0xFFFF);
    grFlush();
    EXPECT_EQ(sim::pixel(renderContext.frontSurface, 5, 5) & rgbMask, invertedClear);
    EXPECT_EQ(sim::pixel(renderContext.backSurface, 5, 5) & rgbMask, clearColor);
    grBufferClear(clearColor, 0, 0xFFFF);
    grFlush();
    EXPECT_EQ(sim::pixel(renderContext.frontSurface, 5, 5) & rgbMask, invertedClear);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
}

// The window shows the frame through the table; the frame stays as drawn, so showing it again (a front-
// buffer write, a splash) does not apply the table twice.
TEST_F(Gamma, AWindowShowsACorrectedCopyOfTheFrame) {
    setProductDword("ColorDepth", 32);
    setProductDword("Windowed", 1);
    ASSERT_EQ(initAndOpen(), 1u);
    Table table = invertedTable();
    grLoadGammaTable(entries, table.red.data(), table.green.data(), table.blue.data());
    grBufferClear(clearColor, 0, 0xFFFF);
    sim::clearCalls();
    grBufferSwap(0);
    std::vector<sim::Call> blts = sim::callsNamed("Blt");
    ASSERT_FALSE(blts.empty());
    auto *shown = static_cast<IDirectDrawSurface7 *>(const_cast<void *>(blts[0].source));
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown, renderContext.frontSurface);
    EXPECT_EQ(sim::pixel(shown, 5, 5) & rgbMask, invertedClear);
    EXPECT_EQ(sim::pixel(renderContext.frontSurface, 5, 5) & rgbMask, clearColor);
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
}

// Gamma 2.00 brightens on top of the game's linear table; the game reads back its own table.
TEST_F(Gamma, TheUsersSettingBrightensOnTopOfTheGamesTable) {
    setProductDword("Gamma", 200);
    sim::setDriverCaps2(DDCAPS2_PRIMARYGAMMA);
    ASSERT_EQ(initAndOpen(), 1u);
    ASSERT_TRUE(sim::gammaRampSet());
    EXPECT_EQ(sim::gammaRamp().green[64], rampOf(64, 2.0));
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
}

} // namespace
