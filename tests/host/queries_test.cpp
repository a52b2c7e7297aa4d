#include "glide2_driver.h"

#include <cstring>

#include "render/saved_state.h"

namespace {

// The x87 control word, read and written by the test itself.
unsigned short fpuControlWord() {
    unsigned short controlWord = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(controlWord));
    return controlWord;
}

void setFpuControlWord(unsigned short controlWord) {
    __asm__ __volatile__("fldcw %0" : : "m"(controlWord));
}

using Queries = Glide2Test;

TEST_F(Queries, HardwareReportsOneOrTwoTextureUnitsByTheTmuSetting) {
    for (DWORD tmu : {0u, 1u}) {
        SCOPED_TRACE(tmu);
        setProductDword("TMU", tmu);
        grGlideInit();
        GrHwConfiguration config;
        std::memset(&config, 0xCD, sizeof(config));
        EXPECT_EQ(grSstQueryHardware(&config), FXTRUE);
        const GrVoodooConfig_t &voodoo = config.SSTs[0].sstBoard.VoodooConfig;
        EXPECT_EQ(config.num_sst, 1);
        EXPECT_EQ(config.SSTs[0].type, tmu ? 6 : GR_SSTTYPE_VOODOO);
        EXPECT_EQ(voodoo.fbRam, 8);
        EXPECT_EQ(voodoo.fbiRev, 1);
        EXPECT_EQ(voodoo.nTexelfx, tmu ? 2 : 1);
        EXPECT_EQ(voodoo.sliDetect, 0);
        EXPECT_EQ(voodoo.tmuConfig[1].tmuRev, 1);
        EXPECT_EQ(voodoo.tmuConfig[1].tmuRam, 4);
        // Bytes past the first 40 stay as the caller had them.
        EXPECT_EQ(reinterpret_cast<const unsigned char *>(&config)[40], 0xCD);
    }
    GrHwConfiguration boards;
    std::memset(&boards, 0xCD, sizeof(boards));
    EXPECT_EQ(grSstQueryBoards(&boards), FXTRUE);
    EXPECT_EQ(boards.num_sst, 1);
    EXPECT_EQ(boards.SSTs[0].sstBoard.VoodooConfig.fbRam, 0);
}

TEST_F(Queries, StatusAndRetraceFollowTheVerticalBlank) {
    EXPECT_EQ(grSstStatus(), 0x0FFFF03Fu);
    EXPECT_EQ(grSstVideoLine(), 0u);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::setVerticalBlank(TRUE, DD_OK);
    EXPECT_EQ(grSstStatus(), 0x0FFFF07Fu);
    EXPECT_EQ(grSstVRetraceOn(), FXTRUE);
    sim::setVerticalBlank(TRUE, DDERR_GENERIC);
    EXPECT_EQ(grSstStatus(), 0x0FFFF03Fu);
    EXPECT_EQ(grSstVRetraceOn(), FXFALSE);
    sim::setVerticalBlank(FALSE, DD_OK);
    EXPECT_EQ(grSstVRetraceOn(), FXFALSE);

    sim::setScanLine(217, DD_OK);
    EXPECT_EQ(grSstVideoLine(), 217u);
    sim::setScanLine(217, DDERR_GENERIC);
    EXPECT_EQ(grSstVideoLine(), 0u);
    grSstWinClose();
}

TEST_F(Queries, CountersAndConstantAnswers) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    std::vector<GrVertex> fan(44, GrVertex{});
    grDrawPolygonVertexList(static_cast<int>(fan.size()), fan.data()); // 42 triangles
    FxU32 processed = 0, drawn = 0;
    grTriStats(&processed, &drawn);
    EXPECT_EQ(processed, 42u);
    EXPECT_EQ(drawn, 42u);
    grResetTriStats();
    grTriStats(&processed, &drawn);
    EXPECT_EQ(processed, 0u);

    grBufferSwap(0);
    grSstResetPerfStats();
    GrSstPerfStats_t stats;
    std::memset(&stats, 0xFF, sizeof(stats));
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsIn, 0u);
    EXPECT_EQ(stats.pixelsOut, 0u);

    EXPECT_EQ(grBufferNumPending(), 0);
    EXPECT_EQ(grSstIsBusy(), FXFALSE);
    EXPECT_EQ(grSstControl(0x1234), FXTRUE);
    EXPECT_EQ(grCheckForRoom(1 << 20), FXTRUE);

    char version[80];
    std::memset(version, 'x', sizeof(version));
    grGlideGetVersion(version);
    EXPECT_STREQ(version, "2.60.00.2103");
    EXPECT_EQ(version[13], 'x');

    GrState state;
    std::memset(&state, 0x5A, sizeof(state));
    grGlideGetState(&state);
    EXPECT_EQ(state.pad[savedStateBytes], 0x5A);
    grSstWinClose();
}

TEST_F(Queries, FpuPrecisionHintSetsTheX87ControlWord) {
    unsigned short original = fpuControlWord();
    setFpuControlWord(static_cast<unsigned short>((original & ~0x3Fu) | 0x0300u | 0x1000u));
    grHints(GR_HINT_FPUPRECISION, 1);
    unsigned short doublePrecision = fpuControlWord();
    grHints(GR_HINT_FPUPRECISION, 0);
    unsigned short singlePrecision = fpuControlWord();
    grHints(GR_HINT_STWHINT, 1);
    unsigned short untouched = fpuControlWord();
    setFpuControlWord(original);

    EXPECT_EQ(doublePrecision & 0x0300, 0x0200);
    EXPECT_EQ(doublePrecision & 0x003F, 0x003F);
    EXPECT_EQ(doublePrecision & 0x1000, 0x1000);
    EXPECT_EQ(singlePrecision & 0x0300, 0x0000);
    EXPECT_EQ(singlePrecision & 0x103F, doublePrecision & 0x103F);
    EXPECT_EQ(untouched, singlePrecision);
}

// Games call the session entry points in any order; none may touch a device that is not there.
TEST_F(Queries, SessionCallsAreSafeInAnyState) {
    for (int phase = 0; phase < 3; ++phase) {
        SCOPED_TRACE(phase);
        if (phase == 1) grGlideInit();
        if (phase == 2) {
            ASSERT_EQ(open(), FXTRUE);
            grSstWinClose();
        }
        sim::clearCalls();
        grBufferSwap(1);
        grRenderBuffer(GR_BUFFER_BACKBUFFER);
        grBufferClear(0xFFFFFFFF, 0xFF, 0xFFFF);
        grClipWindow(0, 0, 10, 10);
        grSplash(0, 0, 0, 0, 0);
        grSstOrigin(GR_ORIGIN_LOWER_LEFT);
        grSstWinClose();
        grGlideShutdown();
        grSstQueryHardware(nullptr);
        grSstQueryBoards(nullptr);
        grSstPerfStats(nullptr);
        grTriStats(nullptr, nullptr);
        grGlideGetVersion(nullptr);
        EXPECT_FALSE(grSstVRetraceOn());
        EXPECT_TRUE(sim::calls().empty());
    }
}

} // namespace
