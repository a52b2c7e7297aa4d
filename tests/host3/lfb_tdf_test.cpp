// The Glide 3 frame-buffer calls and 3DF files with Glide 3's level and aspect numbers.
#include "glide3_fixture.h"

#include <cstring>
#include <fstream>

#include "sim_assertions.h"

namespace {

class Lfb3 : public Glide3Test {
  protected:
    void SetUp() override {
        Glide3Test::SetUp();
        sim::setPitchPadding(8);
        setProductDword("ColorDepth", 16);
        ASSERT_EQ(initAndOpen(), 1u);
    }
    void TearDown() override {
        grSstWinClose(1);
        Glide3Test::TearDown();
    }
};

TEST_F(Lfb3, WrittenRegionReadsBackAndUnlockNeverFails) {
    const FxU16 written[2][3] = {{0xF800, 0x07E0, 0x001F}, {0xFFFF, 0x0000, 0x1234}};
    ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 10, 20, GR_LFB_SRC_FMT_565, 3, 2, FXTRUE,
                               sizeof(written[0]), const_cast<FxU16 *>(&written[0][0])),
              FXTRUE);
    FxU16 read[2][3] = {};
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 10, 20, 3, 2, sizeof(read[0]), read), FXTRUE);
    EXPECT_EQ(std::memcmp(read, written, sizeof(read)), 0);
    EXPECT_EQ(sim::pixel(backBuffer(), 12, 21), 0x1234u);

    GrLfbInfo_t info = {};
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(info.size, static_cast<int>(sizeof(GrLfbInfo_t)));
    EXPECT_NE(info.lfbPtr, sim::surfaceInfo(backBuffer()).pixels); // a shadow, which outlives swaps
    sim::failCall("Unlock", 0);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    sim::clearFaults();
}

TEST_F(Lfb3, CloseGivesBackTheLocksTheApplicationStillHolds) {
    GrLfbInfo_t info = {};
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    sim::clearCalls();
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
    // The application's locks hold shadows, not surfaces: nothing is left locked to give back.
    EXPECT_EQ(countNamed("Unlock"), 0u);
    EXPECT_TRUE(inOrder({"EndScene", "RestoreDisplayMode"}));
}

// The Glide 3 library shares the held lock: a swap made while it is held flips and shows what was written.
TEST_F(Lfb3, HeldLockWritesReachTheScreenAtTheSwap) {
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    sim::clearCalls();
    for (FxU16 color : {0xF800, 0x07E0}) {
        grBufferClear(0, 0, 0xFFFF);
        static_cast<FxU16 *>(info.lfbPtr)[2 * info.strideInBytes / 2 + 1] = color;
        grBufferSwap(1);
        EXPECT_EQ(sim::pixel(frontBuffer(), 1, 2), color);
    }
    ASSERT_EQ(sim::callsNamed("Flip").size(), 2u);
    for (const sim::Call &call : sim::calls())
        EXPECT_EQ(call.hr, DD_OK) << call.name;
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
}

class Tdf3 : public Glide3Test {
  protected:
    std::string write(const std::string &text, const std::vector<unsigned char> &body) {
        std::string path = sim::currentDirectory() + "/t.3df";
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.write(reinterpret_cast<const char *>(body.data()), static_cast<std::streamsize>(body.size()));
        return path;
    }
};

TEST_F(Tdf3, HeaderGivesGlide3LevelsAndAspect) {
    std::string path = write("3df v1.0\nargb1555\nlod range: 1 256\naspect ratio: 1 4\n", {});
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
    EXPECT_EQ(info.header.small_lod, GR_LOD_LOG2_1);
    EXPECT_EQ(info.header.large_lod, GR_LOD_LOG2_256);
    EXPECT_EQ(info.header.aspect_ratio, GR_ASPECT_LOG2_1x4);
    EXPECT_EQ(info.header.width, 64u);
    EXPECT_EQ(info.header.height, 256u);
    EXPECT_EQ(info.header.format, GR_TEXFMT_ARGB_1555);
}

// The file's NCC table lands in the info record, so that downloading it gives the file's colours.
TEST_F(Tdf3, YiqFileLoadsItsTableAndTexels) {
    std::vector<unsigned char> body;
    auto push16 = [&](unsigned value) {
        body.push_back(static_cast<unsigned char>(value >> 8));
        body.push_back(static_cast<unsigned char>(value));
    };
    for (unsigned i = 0; i < 16; ++i)
        push16(i * 16);
    for (unsigned i = 0; i < 24; ++i)
        push16(0x1E8 + i); // 9-bit negatives: -24 to -1
    const unsigned char texels[8] = {0x00, 0x15, 0x2A, 0x3F, 0xF0, 0xF5, 0xFA, 0xFF};
    body.insert(body.end(), texels, texels + 8);
    std::string path = write("3df v1.0\nyiq\nlod range: 4 4\naspect ratio: 2 1\n", body);
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
    EXPECT_EQ(info.header.aspect_ratio, GR_ASPECT_LOG2_2x1);
    ASSERT_EQ(info.mem_required, 8u);
    std::vector<unsigned char> buffer(info.mem_required + 4, 0xEE);
    info.data = buffer.data();
    ASSERT_EQ(gu3dfLoad(path.c_str(), &info), FXTRUE);
    EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + 8),
              std::vector<unsigned char>(texels, texels + 8));
    EXPECT_EQ(buffer[8], 0xEE);
    EXPECT_EQ(info.table.nccTable.yRGB[15], 0xF0);
    EXPECT_EQ(info.table.nccTable.iRGB[0][0] & 0x1FF, 0x1E8);
    EXPECT_EQ(info.table.nccTable.qRGB[3][2] & 0x1FF, 0x1FF);
}

} // namespace
