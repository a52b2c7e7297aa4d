// The utility library's texture manager: memory handed out from the bottom of each TMU, and mipmaps
// downloaded and selected through the same downloads and binds as the application's own calls.
#include "glide2_texture_driver.h"

#include "texture/texture_memory.h"
#include "texture/texture_state.h"

namespace {

const FxU32 chain64Bytes565 = 10928; // 5461 texels of 2 bytes, to 8 bytes
const FxU32 chain256Bytes565 = 174768;

class TextureManager : public Glide2TextureTest {
  protected:
    std::vector<FxU16> texels = std::vector<FxU16>(256 * 256 * 2, 0x1234);

    static GrMipMapId_t allocate565(GrChipID_t tmu, GrLOD_t largeLod,
                                    GrTextureClampMode_t clamp = GR_TEXTURECLAMP_CLAMP) {
        int side = 256 >> largeLod;
        return guTexAllocateMemory(tmu, GR_MIPMAPLEVELMASK_BOTH, side, side, GR_TEXFMT_RGB_565,
                                   GR_MIPMAP_NEAREST, GR_LOD_1, largeLod, GR_ASPECT_1x1, clamp, clamp,
                                   GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
    }

    static bool stageStateSent(GrChipID_t stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
        for (const sim::Call &call : named("SetTextureStageState"))
            if (call.args ==
                std::vector<unsigned long long>{static_cast<unsigned long long>(stage), type, value})
                return true;
        return false;
    }
};

TEST_F(TextureManager, AllocatedMipMapsLieOneAfterAnotherAndAreDrawnWhenSourced) {
    openSession();
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU1), textureAddressLimit());
    GrMipMapId_t first = allocate565(GR_TMU1, GR_LOD_64);
    GrMipMapId_t second = allocate565(GR_TMU1, GR_LOD_64, GR_TEXTURECLAMP_WRAP);
    ASSERT_NE(first, GR_NULL_MIPMAP_HANDLE);
    ASSERT_NE(second, GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU1), textureAddressLimit() - 2 * chain64Bytes565);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), textureAddressLimit());

    guTexDownloadMipMap(first, texels.data(), nullptr);
    guTexDownloadMipMap(second, texels.data(), nullptr);
    TextureRecord *firstRecord = lookupTexture(GR_TMU1, 0);
    TextureRecord *secondRecord = lookupTexture(GR_TMU1, chain64Bytes565);
    ASSERT_NE(firstRecord, nullptr);
    ASSERT_NE(secondRecord, nullptr);
    EXPECT_EQ(sim::pixel(secondRecord->surface, 63, 63), 0x1234u);

    sim::clearCalls();
    guTexSource(first);
    EXPECT_EQ(sim::boundTexture(liveDevice(), GR_TMU1), firstRecord->surface);
    EXPECT_EQ(deviceTextures.currentTexture[GR_TMU1], firstRecord);
    EXPECT_TRUE(stageStateSent(GR_TMU1, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP));
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU1), first);
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU0), GR_NULL_MIPMAP_HANDLE);
    guTexSource(second);
    EXPECT_EQ(sim::boundTexture(liveDevice(), GR_TMU1), secondRecord->surface);
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU1), second);

    const int *info = static_cast<const int *>(guTexGetMipMapInfo(second));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info[1], FXTRUE); // valid
    EXPECT_EQ(info[2], 64);     // width
    EXPECT_EQ(guTexGetMipMapInfo(second + 1), nullptr);
}

TEST_F(TextureManager, MemoryRunsOutAtFourMegabytesAndResetFreesIt) {
    openSession();
    const FxU32 fitting = textureAddressLimit() / chain256Bytes565;
    for (FxU32 i = 0; i < fitting; ++i)
        ASSERT_NE(allocate565(GR_TMU0, GR_LOD_256), GR_NULL_MIPMAP_HANDLE) << i;
    EXPECT_EQ(allocate565(GR_TMU0, GR_LOD_256), GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), textureAddressLimit() - fitting * chain256Bytes565);
    EXPECT_EQ(allocate565(GR_TMU2, GR_LOD_1), GR_NULL_MIPMAP_HANDLE);

    guTexDownloadMipMap(0, texels.data(), nullptr);
    guTexSource(0);
    IDirectDrawSurface7 *surface = lookupTexture(GR_TMU0, 0)->surface;
    guTexMemReset();
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), textureAddressLimit());
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU0), GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexGetMipMapInfo(0), nullptr);
    EXPECT_EQ(lookupTexture(GR_TMU0, 0), nullptr);
    sim::clearCalls();
    guTexSource(0);
    EXPECT_EQ(countNamed("SetTexture"), 0u);
    grSstWinClose();
    EXPECT_FALSE(alive(surface));
}

// A loop over the levels hands the manager one pointer that each call moves past its level.
TEST_F(TextureManager, LevelDownloadsWalkTheApplicationsChain) {
    openSession();
    GrMipMapId_t id = allocate565(GR_TMU0, GR_LOD_64);
    std::vector<FxU16> chain(4096 + 1024 + 256 + 64 + 16 + 4 + 1, 0x0F0F);
    chain[0] = 0xF800;
    const void *cursor = chain.data();
    for (GrLOD_t lod = GR_LOD_64; lod <= GR_LOD_1; ++lod)
        guTexDownloadMipMapLevel(id, lod, &cursor);
    EXPECT_EQ(cursor, static_cast<const void *>(chain.data() + chain.size()));
    TextureRecord *record = lookupTexture(GR_TMU0, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(sim::pixel(record->surface, 0, 0), 0xF800u);
    EXPECT_EQ(record->levelCount, 7u);
}

// The mipmap's mode, trilinear flag and bias reach the stage when it is sourced.
TEST_F(TextureManager, SourcingAMipMapSetsItsLevelSelection) {
    openSession();
    const float bias = 1.5f;
    DWORD biasBits;
    std::memcpy(&biasBits, &bias, sizeof(biasBits));
    GrMipMapId_t id =
        guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 64, 64, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST,
                            GR_LOD_1, GR_LOD_64, GR_ASPECT_1x1, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP,
                            GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, bias, FXTRUE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    sim::clearCalls();
    guTexSource(id);
    EXPECT_TRUE(stageStateSent(GR_TMU0, D3DTSS_MIPFILTER, D3DTFP_LINEAR));
    EXPECT_TRUE(stageStateSent(GR_TMU0, D3DTSS_MIPMAPLODBIAS, biasBits));
    EXPECT_EQ(lookupTexture(GR_TMU0, 0)->levelCount, 7u);
}

TEST_F(TextureManager, AttributesChangeWithinTheAllocatedMemoryOnly) {
    openSession();
    GrMipMapId_t id = allocate565(GR_TMU0, GR_LOD_64);
    const int keep = -1;
    EXPECT_EQ(guTexChangeAttributes(id, 64, 32, keep, keep, keep, keep, GR_ASPECT_2x1, GR_TEXTURECLAMP_WRAP,
                                    keep, keep, keep),
              FXTRUE);
    EXPECT_EQ(guTexChangeAttributes(id, 128, 128, keep, keep, keep, GR_LOD_128, GR_ASPECT_1x1, keep, keep,
                                    keep, keep),
              FXFALSE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    TextureRecord *record = lookupTexture(GR_TMU0, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 64u);
    EXPECT_EQ(record->height, 32u);
    sim::clearCalls();
    guTexSource(id);
    EXPECT_TRUE(stageStateSent(GR_TMU0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP));
    EXPECT_EQ(guTexChangeAttributes(id + 1, keep, keep, keep, keep, keep, keep, keep, keep, keep, keep, keep),
              FXFALSE);
}

} // namespace
