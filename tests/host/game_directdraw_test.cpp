// Games that show their menus and movies with their own DirectDraw object and display mode, and only their 3D
// through Glide: the sessions in between must leave the game its mode, its cooperative level and its screen.
#include "glide2_driver.h"

#include <cstring>

namespace {

const DWORD menuWidth = 800, menuHeight = 600, menuBits = 16;
const DWORD exclusiveLevel = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
const GrColor_t sessionBlue = 0x000000FF;
const DWORD menuFill = 0x001F;

class GameDirectDraw : public Glide2Test {
  protected:
    IDirectDraw7 *gameDraw = nullptr;
    IDirectDrawSurface7 *gamePrimary = nullptr;

    // The game's menus: its own object at the exclusive level, its own mode and its primary surface.
    void showMenus() {
        ASSERT_EQ(DirectDrawCreateEx(NULL, reinterpret_cast<void **>(&gameDraw), IID_IDirectDraw7, NULL),
                  DD_OK);
        ASSERT_EQ(gameDraw->SetCooperativeLevel(window, exclusiveLevel), DD_OK);
        ASSERT_EQ(gameDraw->SetDisplayMode(menuWidth, menuHeight, menuBits, 0, 0), DD_OK);
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof(desc));
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(gameDraw->CreateSurface(&desc, &gamePrimary, NULL), DD_OK);
    }

    HRESULT fillMenu() {
        DDBLTFX fill;
        std::memset(&fill, 0, sizeof(fill));
        fill.dwSize = sizeof(fill);
        fill.dwFillColor = menuFill;
        return gamePrimary->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    }

    void drawFrame() {
        grBufferClear(sessionBlue, 0, 0xFFFF);
        grBufferSwap(1);
    }

    void TearDown() override {
        if (gamePrimary) gamePrimary->Release();
        if (gameDraw) gameDraw->Release();
        Glide2Test::TearDown();
    }
};

bool inMenuMode() {
    sim::DisplayMode mode = sim::displayMode();
    return mode.width == menuWidth && mode.height == menuHeight && mode.bpp == menuBits;
}

// Most games dropped to the normal level before opening Glide. DirectDraw's own restore returns to the
// desktop's mode (1024x768 here), which left the game's menus drawing into a screen of the wrong size.
TEST_F(GameDirectDraw, CloseGivesTheGameItsModeBack) {
    showMenus();
    ASSERT_EQ(gameDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    EXPECT_EQ(sim::displayMode().width, 640u);
    drawFrame();
    grSstWinClose();

    EXPECT_TRUE(inMenuMode());
    EXPECT_EQ(sim::exclusiveOwner(), nullptr);
    ASSERT_EQ(gameDraw->SetCooperativeLevel(window, exclusiveLevel), DD_OK);
    // The session's mode change lost the game's surfaces, as an alt-tab would; restored, they draw.
    EXPECT_EQ(gamePrimary->IsLost(), DDERR_SURFACELOST);
    ASSERT_EQ(gamePrimary->Restore(), DD_OK);
    EXPECT_EQ(fillMenu(), DD_OK);
    EXPECT_NE(logText().find("Display mode 800x600, 16-bit, in force before the open, put back: done"),
              std::string::npos);
}

// A game that keeps its DirectDraw exclusive through the 3D: on a Voodoo that was the 2D card's business.
TEST_F(GameDirectDraw, SessionOpensInTheGamesDisplayWhileItKeepsTheExclusiveLevel) {
    showMenus();
    RECT before, after;
    GetWindowRect(window, &before);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    EXPECT_EQ(sim::exclusiveOwner(), gameDraw);
    EXPECT_TRUE(inMenuMode());
    size_t from = sim::calls().size();
    drawFrame();
    EXPECT_NE(findCall("Blt", from), std::string::npos);
    grSstWinClose();

    GetWindowRect(window, &after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof(RECT)), 0);
    EXPECT_TRUE(inMenuMode());
    EXPECT_EQ(sim::cooperativeLevelOf(gameDraw).flags, exclusiveLevel);
    EXPECT_EQ(gamePrimary->IsLost(), DD_OK);
    EXPECT_EQ(fillMenu(), DD_OK);
    EXPECT_NE(logText().find("The game's own DirectDraw holds the exclusive level"), std::string::npos);
}

} // namespace
