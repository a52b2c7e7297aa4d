// What games do that the API never promised: re-entering the open, their own DirectDraw around sessions,
// losing the display to another program, leaving with everything held.
#include "glide2_driver.h"

#include <string>

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

// The settings program was never run to the end: its key exists, its values do not.
TEST_F(Misuse, AStoreWithoutColorDepthOpensThe565DisplayTheBufferWritesAssume) {
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Orvane\\Kestrix XP");
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
