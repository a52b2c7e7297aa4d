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

} // namespace
