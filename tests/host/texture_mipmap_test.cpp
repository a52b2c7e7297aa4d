// Mipmap chains: every level an application sends is kept in the texture's surface chain with its texels.
#include "glide2_texture_driver.h"

#include <cstdlib>

#include "engine_probe.h"

namespace {

const FxU16 red565 = 0xF800, green565 = 0x07E0, blue565 = 0x001F, white565 = 0xFFFF, black565 = 0x0000;

class TextureMipmap : public Glide2TextureTest {
  protected:
    // The levels of a chain, largest first; the test's references are given back at once.
    static std::vector<IDirectDrawSurface7 *> levelsOf(IDirectDrawSurface7 *top) {
        std::vector<IDirectDrawSurface7 *> levels;
        for (IDirectDrawSurface7 *level = top; level != nullptr;) {
            levels.push_back(level);
            DDSCAPS2 caps{};
            caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
            IDirectDrawSurface7 *next = nullptr;
            if (level->GetAttachedSurface(&caps, &next) != DD_OK) break;
            next->Release();
            level = next;
        }
        return levels;
    }

    static std::vector<DWORD> sizes(const std::vector<IDirectDrawSurface7 *> &levels) {
        std::vector<DWORD> out;
        for (IDirectDrawSurface7 *level : levels)
            out.push_back(sim::surfaceInfo(level).width * 1000 + sim::surfaceInfo(level).height);
        return out;
    }

    static std::vector<uint32_t> firstTexels(const std::vector<IDirectDrawSurface7 *> &levels) {
        std::vector<uint32_t> out;
        for (IDirectDrawSurface7 *level : levels)
            out.push_back(sim::pixel(level, 0, 0));
        return out;
    }
};

TEST_F(TextureMipmap, AChainDownloadKeepsEveryLevelWithItsTexels) {
    sim::setPitchPadding(0); // rows as long as the level's, but for the smallest levels
    openSession();
    void *colors = guTexCreateColorMipMap();
    ASSERT_NE(colors, nullptr);
    GrTexInfo info = {GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, colors};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    std::free(colors);
    std::vector<IDirectDrawSurface7 *> levels = levelsOf(filedSurface(GR_TMU0, 0));
    EXPECT_EQ(sizes(levels),
              (std::vector<DWORD>{256256, 128128, 64064, 32032, 16016, 8008, 4004, 2002, 1001}));
    EXPECT_EQ(firstTexels(levels), (std::vector<uint32_t>{red565, green565, blue565, white565, black565,
                                                          red565, green565, blue565, white565}));
    EXPECT_EQ(sim::pixel(levels[2], 63, 63), blue565);

    // A long chain's short side stops at one texel; converted texels land in every level.
    std::vector<FxU8> rgb332;
    for (FxU32 side = 32, level = 0; side >= 1; side /= 2, ++level)
        rgb332.insert(rgb332.end(), side * std::max<FxU32>(side / 4, 1), FxU8(level << 5));
    GrTexInfo longInfo = {GR_LOD_1, GR_LOD_32, GR_ASPECT_4x1, GR_TEXFMT_RGB_332, rgb332.data()};
    grTexDownloadMipMap(GR_TMU1, 0, GR_MIPMAPLEVELMASK_BOTH, &longInfo);
    levels = levelsOf(filedSurface(GR_TMU1, 0));
    EXPECT_EQ(sizes(levels), (std::vector<DWORD>{32008, 16004, 8002, 4001, 2001, 1001}));
    EXPECT_EQ(firstTexels(levels),
              (std::vector<uint32_t>{0, 0x200000, 0x400000, 0x600000, 0x800000, 0xA00000}));

    grSstWinClose();
    for (IDirectDrawSurface7 *level : levels)
        EXPECT_FALSE(alive(level));
}

// A palette change converts the kept texels of every level again.
TEST_F(TextureMipmap, SoftwarePaletteChainsFollowThePaletteInEveryLevel) {
    openSession();
    std::vector<FxU8> indices(8 * 8, 1);
    indices.insert(indices.end(), 4 * 4, 2);
    loadPalette({0, 0x00FF0000, 0x0000FF00});
    GrTexInfo info = {GR_LOD_4, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    std::vector<IDirectDrawSurface7 *> levels = levelsOf(filedSurface(GR_TMU0, 0));
    EXPECT_EQ(firstTexels(levels), (std::vector<uint32_t>{0xFF0000, 0x00FF00}));
    loadPalette({0, 0x00000080, 0x00808080});
    EXPECT_EQ(firstTexels(levels), (std::vector<uint32_t>{0x000080, 0x808080}));
}

// As on the board, a level lands in the chain at the address whatever order the levels come in; rows of a
// partial download land where they belong, and a bound chain that grows is bound again.
TEST_F(TextureMipmap, LevelDownloadsBuildTheChainLevelByLevel) {
    openSession();
    const FxU16 levelTexel[] = {red565, green565, blue565, white565, 0x1234, 0x4321, 0x7777};
    std::vector<FxU16> texels(64 * 32);
    for (GrLOD_t lod = GR_LOD_64; lod <= GR_LOD_1; ++lod) {
        std::fill(texels.begin(), texels.end(), levelTexel[lod - GR_LOD_64]);
        grTexDownloadMipMapLevel(GR_TMU1, 0x2000, lod, GR_LOD_64, GR_ASPECT_2x1, GR_TEXFMT_RGB_565,
                                 GR_MIPMAPLEVELMASK_BOTH, texels.data());
        if (lod == GR_LOD_64) grTexSource(GR_TMU1, 0x2000, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    }
    IDirectDrawSurface7 *bound = sim::boundTexture(liveDevice(), 1);
    std::vector<IDirectDrawSurface7 *> levels = levelsOf(filedSurface(GR_TMU1, 0x2000));
    EXPECT_EQ(levels[0], bound);
    EXPECT_EQ(sizes(levels), (std::vector<DWORD>{64032, 32016, 16008, 8004, 4002, 2001, 1001}));
    EXPECT_EQ(firstTexels(levels), std::vector<uint32_t>(levelTexel, levelTexel + 7));

    // Rows 2 and 3 of the 32 × 16 level.
    std::fill(texels.begin(), texels.end(), black565);
    grTexDownloadMipMapLevelPartial(GR_TMU1, 0x2000, GR_LOD_32, GR_LOD_64, GR_ASPECT_2x1, GR_TEXFMT_RGB_565,
                                    GR_MIPMAPLEVELMASK_BOTH, texels.data(), 2, 3);
    levels = levelsOf(filedSurface(GR_TMU1, 0x2000));
    EXPECT_EQ(sim::pixel(levels[1], 31, 1), green565);
    EXPECT_EQ(sim::pixel(levels[1], 31, 2), black565);
    EXPECT_EQ(sim::pixel(levels[1], 31, 3), black565);
    EXPECT_EQ(sim::pixel(levels[1], 31, 4), green565);

    // The smaller level first: the larger one joins the same chain.
    std::fill(texels.begin(), texels.end(), blue565);
    grTexDownloadMipMapLevel(GR_TMU0, 0, GR_LOD_8, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_RGB_565,
                             GR_MIPMAPLEVELMASK_BOTH, texels.data());
    std::fill(texels.begin(), texels.end(), red565);
    grTexDownloadMipMapLevel(GR_TMU0, 0, GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_RGB_565,
                             GR_MIPMAPLEVELMASK_BOTH, texels.data());
    levels = levelsOf(filedSurface(GR_TMU0, 0));
    EXPECT_EQ(sizes(levels), (std::vector<DWORD>{16016, 8008}));
    EXPECT_EQ(firstTexels(levels), (std::vector<uint32_t>{red565, blue565}));
}

// A chain whose levels cannot be reached is dropped like any failed download; a chain that cannot grow
// keeps the levels it has. Either way no surface is left behind.
TEST_F(TextureMipmap, ChainsThatFailLeaveTheTexturesAsTheyWere) {
    openSession();
    std::vector<FxU16> texels(64 * 64, green565);
    GrTexInfo single = {GR_LOD_64, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &single);
    IDirectDrawSurface7 *kept = filedSurface(GR_TMU0, 0);

    std::vector<FxU16> chainTexels(64 * 64 + 32 * 32 + 16 * 16, green565);
    GrTexInfo chain = {GR_LOD_16, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, chainTexels.data()};
    sim::failCall("GetAttachedSurface", 2);
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &chain);
    sim::clearFaults();
    EXPECT_EQ(filedSurface(GR_TMU0, 0), kept);

    sim::failCall("CreateSurface", 1);
    grTexDownloadMipMapLevel(GR_TMU0, 0, GR_LOD_32, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565,
                             GR_MIPMAPLEVELMASK_BOTH, texels.data());
    sim::clearFaults();
    EXPECT_EQ(filedSurface(GR_TMU0, 0), kept);
    EXPECT_EQ(lookupTexture(GR_TMU0, 0)->levelCount, 1u);
    grSstWinClose();
    for (const void *made : texturesCreated())
        EXPECT_FALSE(alive(made));
}

} // namespace
