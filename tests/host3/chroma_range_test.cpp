// Chroma ranges, keyed in software: the texels inside a range become the surface's colour key, and come back
// when the range goes.
#include "glide3_fixture.h"

#include "sim_assertions.h"

namespace {

using ChromaRanges = Glide3Test;

typedef void(FX_CALL *ModeProc)(FxU32);
typedef void(FX_CALL *RangeProc)(GrColor_t, GrColor_t, FxU32);
typedef void(FX_CALL *TexModeProc)(GrChipID_t, FxU32);
typedef void(FX_CALL *TexRangeProc)(GrChipID_t, GrColor_t, GrColor_t, FxU32);

const DWORD voodoo2 = 2, voodoo3 = 4;
const FxU32 enable = 1, disable = 0, rgbAll = 0;
// Reds from 0xE0 up with little green and blue.
const GrColor_t low = 0x00E00000, high = 0x00FF2020;
const FxU16 red = 0xF800, darkerRed = 0xE000, green = 0x07E0, blue = 0x001F;
// The lowest 565 colour inside the range: red field 28 widens to 0xE7.
const DWORD key565 = 0xE000;

template <typename Proc> Proc proc(const char *name) {
    return reinterpret_cast<Proc>(
        reinterpret_cast<void (*)(void)>(grGetProcAddress(const_cast<char *>(name))));
}

IDirectDrawSurface7 *download565(FxU32 address, std::vector<FxU16> texels) {
    GrTexInfo info = {GR_LOD_LOG2_2, GR_LOD_LOG2_2, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, texels.data()};
    size_t before = texturesCreated().size();
    grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    std::vector<const void *> made = texturesCreated();
    if (made.size() == before) return nullptr;
    return static_cast<IDirectDrawSurface7 *>(const_cast<void *>(made.back()));
}

void bind(FxU32 address) {
    GrTexInfo info = {GR_LOD_LOG2_2, GR_LOD_LOG2_2, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, nullptr};
    grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
}

std::vector<DWORD> texels(IDirectDrawSurface7 *surface) {
    return {sim::pixel(surface, 0, 0), sim::pixel(surface, 1, 0), sim::pixel(surface, 0, 1),
            sim::pixel(surface, 1, 1)};
}

DWORD colorKeying() {
    return sim::renderState(liveDevice(), D3DRENDERSTATE_COLORKEYENABLE);
}

TEST_F(ChromaRanges, ATmuRangeKeysItsBoundTextureAndReleasesIt) {
    setProductDword("Card", voodoo3);
    setProductDword("ColorDepth", 16);
    ASSERT_NE(initAndOpen(), 0u);
    TexModeProc texMode = proc<TexModeProc>("grTexChromaModeExt");
    TexRangeProc texRange = proc<TexRangeProc>("grTexChromaRangeExt");
    ASSERT_NE(texMode, nullptr);
    ASSERT_NE(texRange, nullptr);
    IDirectDrawSurface7 *texture = download565(0, {red, green, darkerRed, blue});
    ASSERT_NE(texture, nullptr);
    bind(0);

    texRange(GR_TMU0, low, high, rgbAll);
    texMode(GR_TMU0, enable);
    EXPECT_EQ(texels(texture), (std::vector<DWORD>{key565, green, key565, blue}));
    EXPECT_EQ(sim::surfaceInfo(texture).srcBltKey.dwColorSpaceLowValue, key565);
    EXPECT_EQ(colorKeying(), DWORD(TRUE));
    // Partial downloads are keyed as they arrive.
    std::vector<FxU16> row = {green, red};
    grTexDownloadMipMapLevelPartial(GR_TMU0, 0, GR_LOD_LOG2_2, GR_LOD_LOG2_2, GR_ASPECT_LOG2_1x1,
                                    GR_TEXFMT_RGB_565, GR_MIPMAPLEVELMASK_BOTH, row.data(), 1, 1);
    EXPECT_EQ(texels(texture), (std::vector<DWORD>{key565, green, green, key565}));

    texMode(GR_TMU0, disable);
    EXPECT_EQ(texels(texture), (std::vector<DWORD>{red, green, green, red}));
    EXPECT_EQ(colorKeying(), DWORD(FALSE));
    grSstWinClose(1);
    grGlideShutdown();
}

// The frame's range stands in for the chroma key of textures downloaded under it and of those bound later;
// only the Voodoo2 and later hand out its procedures, and only the Banshee and Voodoo3 the TMU's ones.
TEST_F(ChromaRanges, TheFrameRangeKeysTexturesDownloadedOrBoundUnderIt) {
    for (DWORD card : {0u, voodoo2}) {
        SCOPED_TRACE(card);
        setProductDword("Card", card);
        setProductDword("ColorDepth", 16);
        ASSERT_NE(initAndOpen(), 0u);
        ModeProc mode = proc<ModeProc>("grChromaRangeModeExt");
        RangeProc range = proc<RangeProc>("grChromaRangeExt");
        EXPECT_EQ(proc<TexModeProc>("grTexChromaModeExt"), nullptr);
        if (card == 0u) {
            EXPECT_EQ(mode, nullptr);
            EXPECT_EQ(range, nullptr);
        } else {
            ASSERT_NE(mode, nullptr);
            ASSERT_NE(range, nullptr);
            IDirectDrawSurface7 *earlier = download565(0, {red, red, blue, blue});
            range(low, high, rgbAll);
            mode(enable);
            EXPECT_EQ(colorKeying(), DWORD(TRUE));
            IDirectDrawSurface7 *later = download565(0x1000, {blue, darkerRed, blue, green});
            ASSERT_NE(earlier, nullptr);
            ASSERT_NE(later, nullptr);
            EXPECT_EQ(texels(later), (std::vector<DWORD>{blue, key565, blue, green}));
            EXPECT_EQ(texels(earlier), (std::vector<DWORD>{red, red, blue, blue}));
            bind(0);
            EXPECT_EQ(texels(earlier), (std::vector<DWORD>{key565, key565, blue, blue}));
            EXPECT_EQ(sim::surfaceInfo(earlier).srcBltKey.dwColorSpaceLowValue, key565);
        }
        grSstWinClose(1);
        grGlideShutdown();
    }
}

} // namespace
