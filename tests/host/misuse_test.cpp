// What games do that the API never promised: re-entering the open, their own DirectDraw around sessions,
// losing the display to another program, leaving with everything held.
#include "glide2_driver.h"

#include <string>
#include <vector>

namespace {

using Misuse = Glide2Test;

TEST_F(Misuse, AnOpenReenteredFromDirectDrawCreationFailsAloneAndIsLoggedOnce) {
    grGlideInit();
    int inner = 0;
    FxBool innerResult = FXTRUE;
    // A game's opengl32 on Glide, loaded by DirectDraw's creation, opens the display again.
    sim::setDirectDrawCreateHook([&] {
        if (++inner > 2) return;
        innerResult = open();
    });
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(innerResult, FXFALSE);
    EXPECT_EQ(named("DirectDrawCreateEx").size(), 1u);
    grSstWinClose();
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(innerResult, FXFALSE);
    sim::setDirectDrawCreateHook(nullptr);
    grGlideShutdown();
    std::string log = logText();
    const std::string line = "Under Wine keep Wine's opengl32 built-in: WINEDLLOVERRIDES=\"opengl32=b\"";
    size_t first = log.find(line);
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(log.find(line, first + 1), std::string::npos);
}

constexpr GrColor_t red = 0x00FF0000u;
constexpr GrColor_t green = 0x0000FF00u;
constexpr uint32_t red565 = 0xF800u;
constexpr uint32_t green565 = 0x07E0u;
constexpr uint32_t restoredGarbage565 = 0xCDCDu;

LPVOID const processEnding = reinterpret_cast<LPVOID>(1);

void clearAndSwap(GrColor_t color) {
    grBufferClear(color, 0, GR_WDEPTHVALUE_FARTHEST);
    grBufferSwap(0);
}

TEST_F(Misuse, SurfacesLostToAnotherProgramAreRestoredWhenTheScreenComesBack) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    clearAndSwap(red);
    ASSERT_EQ(sim::pixel(frontBuffer(), 0, 0), red565);

    // Alt-tab: every surface is lost and the screen stays another program's for a few frames.
    sim::loseSurfaces();
    sim::failCall("TestCooperativeLevel", 0, DDERR_NOEXCLUSIVEMODE);
    size_t from = sim::calls().size();
    size_t presents = callsOn("BltFast", frontBuffer());
    for (int frame = 0; frame < 3; ++frame)
        clearAndSwap(green);
    EXPECT_EQ(findCall("RestoreAllSurfaces", from), std::string::npos);
    EXPECT_EQ(callsOn("BltFast", frontBuffer()), presents);

    sim::clearFaults();
    clearAndSwap(green); // the frame in flight when the screen comes back is dropped
    EXPECT_NE(findCall("RestoreAllSurfaces", from), std::string::npos);
    for (IDirectDrawSurface7 *surface : sim::liveSurfaces()) {
        SCOPED_TRACE(static_cast<int>(sim::roleOf(surface)));
        EXPECT_FALSE(sim::surfaceInfo(surface).lost);
    }
    EXPECT_NE(sim::pixel(frontBuffer(), 0, 0), restoredGarbage565);
    EXPECT_NE(sim::pixel(frontBuffer(), 0, 0), green565);

    clearAndSwap(green);
    EXPECT_EQ(sim::pixel(frontBuffer(), 0, 0), green565);
    grGlideShutdown();
    std::string log = logText();
    const std::string line = "Display surfaces were lost to another program and are restored";
    size_t first = log.find(line);
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(log.find(line, first + 1), std::string::npos);
}

// Returning from main or calling exit with a write lock held, the session open and no grGlideShutdown: the
// driver's threads are already gone, so no call may reach DirectDraw or Direct3D.
TEST_F(Misuse, AProcessEndingWithEverythingHeldLeavesTheObjectsAndRestoresTheMode) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    ASSERT_TRUE(sim::displayMode().changed);
    size_t from = sim::calls().size();
    DllMain(module, DLL_PROCESS_DETACH, processEnding);
    loaded = false;
    std::vector<std::string> after;
    for (size_t i = from; i < sim::calls().size(); ++i)
        after.push_back(sim::calls()[i].name);
    EXPECT_EQ(after, std::vector<std::string>{"ChangeDisplaySettingsA"});
    EXPECT_FALSE(sim::displayMode().changed);
    EXPECT_NE(sim::readFile("kestrix.log").find("Process ends with the display open"), std::string::npos);
    // The system reclaims what the process held.
    EXPECT_NE(sim::leakReport(), "");
    sim::reset();
}

// The settings program was never run to the end: its key exists, its values do not.
TEST_F(Misuse, AStoreWithoutColorDepthOpensThe565DisplayTheBufferWritesAssume) {
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, settings_store::productKeyPath);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    EXPECT_EQ(sim::displayMode().bpp, 16u);
    FxU16 magenta565 = 0xF81F;
    constexpr int x = 5;
    ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, x, 0, GR_LFB_SRC_FMT_565, 1, 1, sizeof(magenta565),
                               &magenta565),
              FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), x, 0), magenta565);
    grSstWinClose();
}

} // namespace
