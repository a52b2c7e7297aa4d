// Calls in orders and with arguments the Glide API never promised to support: each must leave the library
// and the display in a sound state. Regression tests of the faults the call-sequence fuzzer found, and of
// the entry points whose behaviour without a session or with edge arguments is defined here.
#include <math.h>

#include "session_fixture.h"

namespace {

class Robustness : public SessionTest {};

TEST_F(Robustness, SplashAtAPositionWithoutIntegerPartDrawsNothing) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const float positions[][2] = {
        {NAN, 0.0f}, {0.0f, INFINITY}, {-INFINITY, 5.0f}, {3.0e9f, 0.0f}, {0.0f, -2.2e9f}};
    for (const auto &position : positions) {
        SCOPED_TRACE(::testing::Message() << position[0] << ", " << position[1]);
        sim::clearCalls();
        grSplash(position[0], position[1], 640.0f, 480.0f, 0);
        EXPECT_EQ(countNamed("BltFast"), 0u);
    }
    sim::clearCalls();
    grSplash(10.75f, 20.5f, 0.0f, 0.0f, 0);
    std::vector<sim::Call> blits = named("BltFast");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(firstArgs(blits[0], 2), (std::vector<unsigned long long>{10, 20}));
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// A negative position reaches DirectDraw as a large unsigned one, which it refuses as a whole.
TEST_F(Robustness, SplashAboveOrLeftOfTheScreenIsRefusedByTheBlit) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const float positions[][2] = {{-8.0f, 0.0f}, {0.0f, -4.0f}, {-1.0f, -1.0f}};
    for (const auto &position : positions) {
        SCOPED_TRACE(::testing::Message() << position[0] << ", " << position[1]);
        sim::clearCalls();
        grSplash(position[0], position[1], 0.0f, 0.0f, 0);
        std::vector<sim::Call> blits = named("BltFast");
        ASSERT_EQ(blits.size(), 1u);
        EXPECT_EQ(blits[0].hr, DDERR_INVALIDRECT);
    }
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// Rows 28 and 30 of the format table hold the 32-bit fallback targets: as Glide formats they would read
// four bytes per texel from a buffer an application sized at two.
TEST_F(Robustness, DownloadInAFormatAboveGlidesFifteenCreatesNoTexture) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    std::vector<FxU16> texels(16 * 16, 0x1234);
    for (GrTextureFormat_t format : {16, 28, 30, 31, 32, -1}) {
        SCOPED_TRACE(format);
        sim::clearCalls();
        GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, format, texels.data()};
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexDownloadMipMapLevel(GR_TMU0, 0x400, GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, format,
                                 GR_MIPMAPLEVELMASK_BOTH, texels.data());
        EXPECT_EQ(countNamed("CreateSurface"), 0u);
    }
    GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_ARGB_1555, texels.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    EXPECT_EQ(countNamed("CreateSurface"), 1u);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

} // namespace
