// The board the Card setting names, as Glide 3 applications see it.
#include "glide3_fixture.h"

namespace {

using CardProfiles = Glide3Test;

const FxI32 mebibyte = 0x100000;

struct Board {
    DWORD card;
    FxI32 frameBuffer, textureUnit, unified, units, fbRevision, tmuRevision;
    const char *hardware; // null: the adapter's description
    const char *version;
};

const Board boards[] = {
    {0, 8 * mebibyte, 4 * mebibyte, 0, 1, 0, 0, nullptr, "3.10"},
    {1, 4 * mebibyte, 2 * mebibyte, 0, 1, 1, 1, "Voodoo Rush", "3.0"},
    {2, 4 * mebibyte, 4 * mebibyte, 0, 2, 2, 2, "Voodoo2", "3.01"},
    {3, 4 * mebibyte, 12 * mebibyte, 12 * mebibyte, 1, 3, 3, "Voodoo Banshee", "3.10"},
    {4, 4 * mebibyte, 12 * mebibyte, 12 * mebibyte, 2, 4, 4, "Voodoo3", "3.10"},
};

FxI32 answer(FxU32 pname) {
    FxI32 value = -1;
    EXPECT_EQ(grGet(pname, sizeof(value), &value), sizeof(value)) << pname;
    return value;
}

TEST_F(CardProfiles, GetAndStringsAnswerForTheChosenBoard) {
    sim::setDeviceIdentifier("nv4_disp.dll", "NVIDIA GeForce2 MX", 0x10DE, 0x110);
    for (const Board &board : boards) {
        SCOPED_TRACE(board.card);
        setProductDword("Card", board.card);
        ASSERT_NE(initAndOpen(), 0u);
        EXPECT_EQ(answer(GR_MEMORY_FB), board.frameBuffer);
        EXPECT_EQ(answer(GR_MEMORY_TMU), board.textureUnit);
        EXPECT_EQ(answer(GR_MEMORY_UMA), board.unified);
        EXPECT_EQ(answer(GR_NUM_TMU), board.units);
        EXPECT_EQ(answer(GR_REVISION_FB), board.fbRevision);
        EXPECT_EQ(answer(GR_REVISION_TMU), board.tmuRevision);
        EXPECT_EQ(answer(GR_NUM_FB), 1);
        EXPECT_EQ(answer(GR_PENDING_BUFFERSWAPS), 0);
        EXPECT_EQ(answer(GR_MAX_TEXTURE_SIZE), 256);
        EXPECT_EQ(answer(GR_MAX_TEXTURE_ASPECT_RATIO), 3);
        EXPECT_EQ(answer(GR_TEXTURE_ALIGN), 8);
        EXPECT_STREQ(grGetString(GR_HARDWARE), board.hardware ? board.hardware : "NVIDIA GeForce2 MX");
        EXPECT_STREQ(grGetString(GR_VERSION), board.version);
        EXPECT_STREQ(grGetString(GR_VENDOR), "nVidia");
        EXPECT_STREQ(grGetString(GR_RENDERER), "Glide");
        // The highest address a texture may start at lies inside the memory announced.
        EXPECT_LT(grTexMaxAddress(GR_TMU0), static_cast<FxU32>(board.textureUnit));
        EXPECT_GE(grTexMaxAddress(GR_TMU0), static_cast<FxU32>(board.textureUnit - mebibyte));
        grSstWinClose(1);
        grGlideShutdown();
    }
}

// Boards from the Voodoo2 on announce GETGAMMA and hand out its procedure; the others answer null, as
// every board does for a name it never had.
TEST_F(CardProfiles, ExtensionsAreAnnouncedAndHandedOutByTheBoardsThatHadThem) {
    typedef void(FX_CALL * GetGammaTable)(FxU32, FxU32 *, FxU32 *, FxU32 *);
    sim::deviceConfig(sim::DeviceType::TnLHal).caps.dpcTriCaps.dwTextureAddressCaps = D3DPTADDRESSCAPS_MIRROR;
    const struct {
        DWORD card;
        const char *extensions;
    } cases[] = {{0, " TEXMIRROR "},
                 {1, " TEXMIRROR "},
                 {2, " CHROMARANGE TEXMIRROR PALETTE6666 FOGCOORD GETGAMMA "},
                 {3, " CHROMARANGE TEXCHROMA TEXMIRROR PALETTE6666 FOGCOORD GETGAMMA "},
                 {4, " CHROMARANGE TEXCHROMA TEXMIRROR PALETTE6666 FOGCOORD GETGAMMA "}};
    const int entries = 256;
    std::vector<FxU32> red(entries), green(entries), blue(entries);
    for (int i = 0; i < entries; ++i) {
        red[i] = static_cast<FxU32>(entries - 1 - i);
        green[i] = static_cast<FxU32>(i / 2);
        blue[i] = static_cast<FxU32>(i);
    }
    for (const auto &c : cases) {
        SCOPED_TRACE(c.card);
        setProductDword("Card", c.card);
        setProductDword("Gamma", 150); // the user's brightness is not part of the game's table
        ASSERT_NE(initAndOpen(), 0u);
        EXPECT_STREQ(grGetString(GR_EXTENSION), c.extensions);
        EXPECT_EQ(grGetProcAddress(const_cast<char *>("grChromaKeyExt")), nullptr);
        EXPECT_EQ(grGetProcAddress(nullptr), nullptr);
        GrProc proc = grGetProcAddress(const_cast<char *>("grGetGammaTableExt"));
        bool offered = c.card >= 2;
        EXPECT_EQ(proc != nullptr, offered);
        if (proc != nullptr) {
            grLoadGammaTable(entries, red.data(), green.data(), blue.data());
            std::vector<FxU32> readRed(entries), readGreen(entries), readBlue(entries);
            reinterpret_cast<GetGammaTable>(reinterpret_cast<void (*)(void)>(proc))(
                entries, readRed.data(), readGreen.data(), readBlue.data());
            EXPECT_EQ(readRed, red);
            EXPECT_EQ(readGreen, green);
            EXPECT_EQ(readBlue, blue);
        }
        grSstWinClose(1);
        grGlideShutdown();
    }
}

} // namespace
