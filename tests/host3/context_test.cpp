// The Glide 3 context: open, present, close.
#include "glide3_fixture.h"

TEST_F(Glide3Test, OpenClearPresentCloseLeavesNothingHeld) {
    EXPECT_EQ(initAndOpen(), 1u);
    grBufferClear(0x00FF0000, 0, 0xFFFF);
    grBufferSwap(1);
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
    EXPECT_EQ(grSstWinClose(1), FXFALSE);
}
