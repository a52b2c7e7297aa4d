// The board the Card setting names, as Glide 2 applications see it and as the emulation sizes itself.
#include "glide2_draw_driver.h"

#include <cstring>
#include <string>

namespace {

using CardProfiles = Glide2DrawTest;

const std::size_t callerConfigBytes = 40;
const FxU32 mebibyte = 0x100000;
const unsigned char untouchedByte = 0xCD;

struct Board {
    DWORD card;
    int type;
    int fbRam;
    int nTexelfx;
    int tmuRam;
    int fbiRev;
    int tmuRev;
    const char *version;
};

// Card 0 keeps what the library always answered; an unknown number reports it too.
const Board boards[] = {
    {0, GR_SSTTYPE_VOODOO, 8, 1, 4, 1, 1, "2.60.00.2103"},
    {1, GR_SSTTYPE_SST96, 4, 1, 2, 1, 1, "2.46"},
    {2, GR_SSTTYPE_Voodoo2, 4, 2, 4, 2, 2, "2.53"},
    {3, 4, 4, 1, 12, 3, 3, "2.60.00.2103"},
    {4, 5, 4, 2, 12, 4, 4, "2.60.00.2103"},
    {9, GR_SSTTYPE_VOODOO, 8, 1, 4, 1, 1, "2.60.00.2103"},
};

TEST_F(CardProfiles, HardwareVersionAndTextureMemoryFollowTheCardSetting) {
    for (const Board &board : boards) {
        SCOPED_TRACE(board.card);
        setProductDword("Card", board.card);
        grGlideInit();
        GrHwConfiguration config;
        std::memset(&config, untouchedByte, sizeof(config));
        EXPECT_EQ(grSstQueryHardware(&config), FXTRUE);
        EXPECT_EQ(config.num_sst, 1);
        EXPECT_EQ(config.SSTs[0].type, board.type);
        if (board.type == GR_SSTTYPE_SST96) {
            const GrSst96Config_t &rush = config.SSTs[0].sstBoard.SST96Config;
            EXPECT_EQ(rush.fbRam, board.fbRam);
            EXPECT_EQ(rush.nTexelfx, board.nTexelfx);
            EXPECT_EQ(rush.tmuConfig.tmuRev, board.tmuRev);
            EXPECT_EQ(rush.tmuConfig.tmuRam, board.tmuRam);
        } else {
            const GrVoodooConfig_t &voodoo = config.SSTs[0].sstBoard.VoodooConfig;
            EXPECT_EQ(voodoo.fbRam, board.fbRam);
            EXPECT_EQ(voodoo.fbiRev, board.fbiRev);
            EXPECT_EQ(voodoo.nTexelfx, board.nTexelfx);
            EXPECT_EQ(voodoo.sliDetect, 0);
            for (const GrTMUConfig_t &unit : voodoo.tmuConfig) {
                EXPECT_EQ(unit.tmuRev, board.tmuRev);
                EXPECT_EQ(unit.tmuRam, board.tmuRam);
            }
        }
        EXPECT_EQ(reinterpret_cast<const unsigned char *>(&config)[callerConfigBytes], untouchedByte);

        GrHwConfiguration boardsFound;
        std::memset(&boardsFound, untouchedByte, sizeof(boardsFound));
        EXPECT_EQ(grSstQueryBoards(&boardsFound), FXTRUE);
        EXPECT_EQ(boardsFound.SSTs[0].type, board.type);

        char version[80] = {};
        grGlideGetVersion(version);
        EXPECT_STREQ(version, board.version);

        // Texture memory is as large as the board's: the manager hands out all of it, and no more.
        const FxU32 textureBytes = static_cast<FxU32>(board.tmuRam) * mebibyte;
        EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), textureBytes);
        EXPECT_LT(grTexMaxAddress(GR_TMU0), textureBytes);
        EXPECT_GE(grTexMaxAddress(GR_TMU0), textureBytes - mebibyte);
        grGlideShutdown();
    }
}

TEST_F(CardProfiles, ATextureDownloadedBeyondFourMebibytesIsKeptOnlyByLargerBoards) {
    const FxU32 beyondFourMiB = 0x800000;
    std::vector<FxU16> texels(256 * 256, 0x1234);
    GrTexInfo info = texInfo(GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data());
    for (DWORD card : {0u, 4u}) {
        SCOPED_TRACE(card);
        openWith({{"Card", card}});
        grTexDownloadMipMap(GR_TMU0, beyondFourMiB, GR_MIPMAPLEVELMASK_BOTH, &info);
        sim::clearCalls();
        grTexSource(GR_TMU0, beyondFourMiB, GR_MIPMAPLEVELMASK_BOTH, &info);
        size_t at = findCall("SetTexture");
        bool bound = at != std::string::npos && sim::calls()[at].source != nullptr;
        EXPECT_EQ(bound, card == 4u);
    }
    grSstWinClose();
}

// Boards with two TMUs draw with both whatever the TMU setting says; one-TMU boards never use the second.
TEST_F(CardProfiles, TheSecondTmusCoordinatesFollowTheBoard) {
    const struct {
        DWORD card, tmuSetting;
        bool secondTmu;
    } cases[] = {{0, 0, false}, {0, 1, true}, {1, 1, false}, {2, 0, true}, {3, 1, false}, {4, 0, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.card);
        openWith({{"Card", c.card}, {"TMU", c.tmuSetting}});
        bindTexture565(GR_TMU1, GR_LOD_256, GR_ASPECT_1x1);
        GrVertex v = glideVertex(10, 10, 0.5f);
        v.tmuvtx[1].sow = 64.0f;
        v.tmuvtx[1].tow = 32.0f;
        TlVertex drawn = drawnPoint(v);
        EXPECT_EQ(drawn.tu1, c.secondTmu ? 0.5f : 0.0f);
    }
    grSstWinClose();
}

} // namespace
