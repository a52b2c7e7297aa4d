// Glide 3 texture memory, sampling state and table downloads, as the device sees them.
#include "glide3_fixture.h"

#include <cstring>

#include "engine_probe.h"
#include "ncc_samples.h"
#include "sim_assertions.h"
#include "texture/texture_state.h"

namespace {

using Triple = std::vector<unsigned long long>;

Triple stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return Triple{stage, static_cast<unsigned long long>(type), value};
}

DWORD floatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

class Texture3 : public Glide3Test {
  protected:
    std::vector<FxU8> texels = std::vector<FxU8>(256 * 256 * 2, 0);

    void openWith(DWORD filtering) {
        setProductDword("ColorDepth", 16);
        setProductDword("Filtering", filtering);
        ASSERT_EQ(initAndOpen(), 1u);
        sim::clearCalls();
    }
    void TearDown() override {
        grSstWinClose(1);
        Glide3Test::TearDown();
    }

    // The texture surface the download created and still alive, else null.
    IDirectDrawSurface7 *download(GrChipID_t tmu, FxU32 address, GrLOD_t lod, GrAspectRatio_t aspect,
                                  GrTextureFormat_t format, const void *data) {
        GrTexInfo info = {lod, lod, aspect, format, const_cast<void *>(data)};
        size_t before = texturesCreated().size();
        grTexDownloadMipMap(tmu, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        std::vector<const void *> made = texturesCreated();
        if (made.size() == before || !alive(made.back())) return nullptr;
        return static_cast<IDirectDrawSurface7 *>(const_cast<void *>(made.back()));
    }

    // What grTexSource hands the TMU's stage, or null. A surface the stage already holds is not sent
    // again: then the device's own binding answers.
    static const void *bound(GrChipID_t tmu, FxU32 address) {
        size_t from = sim::calls().size();
        grTexSource(tmu, address, GR_MIPMAPLEVELMASK_BOTH, nullptr);
        size_t at = find("SetTexture", from);
        if (at == std::string::npos) return sim::boundTexture(renderContext.device, static_cast<DWORD>(tmu));
        if (sim::calls()[at].args[0] != static_cast<unsigned long long>(tmu)) return nullptr;
        return sim::calls()[at].source;
    }

    // The stage states sent are those expected, in order, less the values the device already held; each
    // stage state ends with the last value expected for it.
    static void expectSentInOrderAndHeld(const std::vector<Triple> &expected) {
        std::vector<Triple> sent = stageStates();
        size_t next = 0;
        for (const Triple &state : sent) {
            while (next < expected.size() && expected[next] != state)
                ++next;
            EXPECT_LT(next, expected.size()) << "stage " << state[0] << " state " << state[1] << " sent as "
                                             << state[2] << " out of order or unexpected";
            ++next;
        }
        for (const Triple &state : expected) {
            DWORD last = static_cast<DWORD>(state[2]);
            for (const Triple &later : expected)
                if (later[0] == state[0] && later[1] == state[1]) last = static_cast<DWORD>(later[2]);
            EXPECT_EQ(sim::textureStageState(renderContext.device, static_cast<DWORD>(state[0]),
                                             static_cast<D3DTEXTURESTAGESTATETYPE>(state[1])),
                      last);
        }
    }
};

TEST_F(Texture3, SizesComeFromBase2LevelAndAspect) {
    openWith(0);
    IDirectDrawSurface7 *wide =
        download(0, 0, GR_LOD_LOG2_256, GR_ASPECT_LOG2_8x1, GR_TEXFMT_RGB_565, texels.data());
    IDirectDrawSurface7 *tall =
        download(0, 0x100000, GR_LOD_LOG2_256, GR_ASPECT_LOG2_1x8, GR_TEXFMT_RGB_565, texels.data());
    ASSERT_NE(wide, nullptr);
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(sim::surfaceInfo(wide).width, 256u);
    EXPECT_EQ(sim::surfaceInfo(wide).height, 32u);
    EXPECT_EQ(sim::surfaceInfo(tall).width, 32u);
    EXPECT_EQ(sim::surfaceInfo(tall).height, 256u);
    // The vertex conversion scales s and t by the bound texture's aspect.
    ASSERT_EQ(bound(0, 0), wide);
    EXPECT_FLOAT_EQ(deviceTextures.currentTexture[0]->sScale, 1.0f / 256);
    EXPECT_FLOAT_EQ(deviceTextures.currentTexture[0]->tScale, 1.0f / 32);
    ASSERT_EQ(bound(0, 0x100000), tall);
    EXPECT_FLOAT_EQ(deviceTextures.currentTexture[0]->sScale, 1.0f / 32);
    EXPECT_FLOAT_EQ(deviceTextures.currentTexture[0]->tScale, 1.0f / 256);

    // 256 × 32 down to 1 × 1: 10927 texels of 2 bytes, on Glide's 8-byte boundary.
    const FxU32 chainBytes = 21856;
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_LOG2_1, GR_LOD_LOG2_256, GR_ASPECT_LOG2_8x1, GR_TEXFMT_RGB_565),
              chainBytes);
    GrTexInfo info = {GR_LOD_LOG2_1, GR_LOD_LOG2_256, GR_ASPECT_LOG2_8x1, GR_TEXFMT_RGB_565, nullptr};
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info), chainBytes);
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_LOG2_1, 9, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565), 0u);
    EXPECT_EQ(grTexMinAddress(GR_TMU0), 0u);
    EXPECT_EQ(grTexMaxAddress(GR_TMU1), highestTextureAddress());
    // The largest texture fits below the highest address; nothing starts above it.
    EXPECT_NE(download(1, highestTextureAddress(), GR_LOD_LOG2_256, 0, GR_TEXFMT_RGB_565, texels.data()),
              nullptr);
    EXPECT_EQ(download(2, 0, GR_LOD_LOG2_8, 0, GR_TEXFMT_RGB_565, texels.data()), nullptr);
    EXPECT_EQ(download(0, 0x400000, GR_LOD_LOG2_8, 0, GR_TEXFMT_RGB_565, texels.data()), nullptr);
    EXPECT_EQ(download(0, 0, GR_LOD_LOG2_8, 0, 7, texels.data()), nullptr);
}

TEST_F(Texture3, ChainWithoutSizeDownloadsNothing) {
    openWith(0);
    std::vector<FxU8> none(1);
    for (GrLOD_t small : {GR_LOD_LOG2_64, GrLOD_t(-1), GrLOD_t(65530)}) {
        GrTexInfo info = {small, GR_LOD_LOG2_32, GR_ASPECT_LOG2_8x1, GR_TEXFMT_ALPHA_8, none.data()};
        ASSERT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info), 0u);
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    }
    EXPECT_TRUE(texturesCreated().empty());
}

// Glide 3 numbers levels by log2 of their side: the 64 level of a 128 chain is its second.
TEST_F(Texture3, LevelDownloadsCountLevelsByLog2AndMultibaseBindsNothing) {
    openWith(0);
    grTexDownloadMipMapLevel(1, 0x8000, GR_LOD_LOG2_64, GR_LOD_LOG2_128, 0, GR_TEXFMT_RGB_565, 0,
                             texels.data());
    grTexDownloadMipMapLevelPartial(1, 0x8000, GR_LOD_LOG2_64, GR_LOD_LOG2_128, 0, GR_TEXFMT_RGB_565, 0,
                                    texels.data(), 0, 63);
    grTexDownloadMipMapLevel(1, 0x8000, GR_LOD_LOG2_128, GR_LOD_LOG2_64, 0, GR_TEXFMT_RGB_565, 0,
                             texels.data());
    ASSERT_EQ(texturesCreated().size(), 1u);
    EXPECT_EQ(bound(1, 0x8000), texturesCreated()[0]);
    EXPECT_EQ(bound(0, 0x8000), nullptr) << "filed on TMU 1 only";
    EXPECT_EQ(deviceTextures.currentTexture[1]->width, 128u);
    EXPECT_EQ(deviceTextures.currentTexture[1]->levelCount, 2u);
    GrTexInfo chain = {GR_LOD_LOG2_8, GR_LOD_LOG2_64, GR_ASPECT_LOG2_2x1, GR_TEXFMT_RGB_565, texels.data()};
    grTexDownloadMipMap(1, 0x40000, GR_MIPMAPLEVELMASK_BOTH, &chain);
    ASSERT_NE(lookupTexture(1, 0x40000), nullptr);
    EXPECT_EQ(lookupTexture(1, 0x40000)->levelCount, 4u);

    grTexDownloadMipMapLevelPartial(0, 0, GR_LOD_LOG2_32, GR_LOD_LOG2_32, 0, GR_TEXFMT_RGB_565, 0,
                                    texels.data(), 0, 0);
    ASSERT_EQ(texturesCreated().size(), 3u);
    ASSERT_EQ(bound(0, 0), texturesCreated()[2]);
    sim::clearCalls();
    GrTexInfo info = {GR_LOD_LOG2_64, GR_LOD_LOG2_64, 0, GR_TEXFMT_RGB_565, texels.data()};
    grTexMultibaseAddress(0, GR_TEXBASE_256, 0x8000, GR_MIPMAPLEVELMASK_BOTH, &info);
    EXPECT_EQ(countNamed("SetTexture"), 0u);
    EXPECT_EQ(deviceTextures.currentTexture[0]->width, 32u);
}

// The mip filter and the bias follow the application whatever Filtering says.
TEST_F(Texture3, SamplingCallsFollowTheFilteringSetting) {
    for (DWORD filtering : {0u, 1u}) {
        SCOPED_TRACE(filtering);
        openWith(filtering);
        grTexClampMode(0, GR_TEXTURECLAMP_MIRROR_EXT, GR_TEXTURECLAMP_CLAMP);
        grTexClampMode(0, GR_TEXTURECLAMP_MIRROR_EXT, GR_TEXTURECLAMP_WRAP);
        grTexFilterMode(0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
        grTexFilterMode(1, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
        grTexMipMapMode(0, GR_MIPMAP_DISABLE, FXFALSE);
        grTexMipMapMode(1, GR_MIPMAP_NEAREST, FXTRUE);
        grTexMipMapMode(0, GR_MIPMAP_NEAREST_DITHER, FXFALSE);
        grTexMipMapMode(1, 7, FXTRUE);
        grTexLodBiasValue(0, -2.5f);
        grTexLodBiasValue(1, -9.5f);
        const DWORD minFilter = filtering ? D3DTFN_POINT : D3DTFN_LINEAR;
        const DWORD magFilter = filtering ? D3DTFG_POINT : D3DTFG_LINEAR;
        expectSentInOrderAndHeld((std::vector<Triple>{
            stage(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR),
            stage(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP),
            stage(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP),
            stage(0, D3DTSS_MINFILTER, minFilter),
            stage(0, D3DTSS_MAGFILTER, magFilter),
            stage(1, D3DTSS_MINFILTER, minFilter),
            stage(1, D3DTSS_MAGFILTER, magFilter),
            stage(0, D3DTSS_MIPFILTER, D3DTFP_NONE),
            stage(1, D3DTSS_MIPFILTER, D3DTFP_LINEAR),
            stage(0, D3DTSS_MIPFILTER, D3DTFP_POINT),
            stage(0, D3DTSS_MIPMAPLODBIAS, floatBits(-2.5f)),
            stage(1, D3DTSS_MIPMAPLODBIAS, floatBits(-8.0f)),
        }));
        grSstWinClose(1);
        grGlideShutdown();
    }
}

// Every palette download takes its checksum, 0 included, and brings TMU 0's texture up to date at once.
TEST_F(Texture3, PaletteDownloadRebindsTmuZeroEvenWithAZeroChecksum) {
    openWith(0);
    std::vector<FxU8> index(4, 3);
    IDirectDrawSurface7 *paletted = download(0, 0, GR_LOD_LOG2_2, 0, GR_TEXFMT_P_8, index.data());
    ASSERT_NE(paletted, nullptr);
    ASSERT_EQ(bound(0, 0), paletted);
    GuTexPalette palette{};
    palette.data[3] = 0xFF123456;
    grTexDownloadTable(GR_TEXTABLE_PALETTE, &palette);
    EXPECT_EQ(sim::pixel(paletted, 1, 1), 0x00123456u);
    palette.data[3] = 0;
    sim::clearCalls();
    grTexDownloadTable(GR_TEXTABLE_PALETTE, &palette);
    EXPECT_EQ(probe::paletteChecksum(), 0u);
    EXPECT_EQ(sim::pixel(paletted, 1, 1), 0u);
    // The stage holds the same surface: nothing to send again, the new texels are already in it.
    EXPECT_EQ(sim::boundTexture(renderContext.device, 0), paletted);

    sim::clearCalls();
    grTexDownloadTable(GR_TEXTABLE_PALETTE, nullptr);
    grTexDownloadTablePartial(GR_TEXTABLE_PALETTE, nullptr, 0, 255);
    grTexDetailControl(0, 1, 2, 1.0f);
    EXPECT_TRUE(sim::calls().empty());
}

// The key is the application's colour; a bound texture is keyed by it at once, in its own texel layout.
TEST_F(Texture3, ChromakeyValueKeysTheBoundTextureAtOnce) {
    openWith(0);
    const DWORD magenta565 = 0xF81F;
    IDirectDrawSurface7 *surface = download(0, 0, GR_LOD_LOG2_2, 0, GR_TEXFMT_RGB_565, texels.data());
    ASSERT_EQ(bound(0, 0), surface);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grChromakeyValue(0x00FF00FF);
    EXPECT_EQ(sim::surfaceInfo(surface).srcBltKey.dwColorSpaceLowValue, magenta565);
    EXPECT_EQ(sim::renderState(renderContext.device, D3DRENDERSTATE_COLORKEYENABLE),
              static_cast<DWORD>(TRUE));
}

// A palette sent in two halves: the bound texture shows both, and a texture converted with the first half
// alone is converted again when it is bound.
TEST_F(Texture3, PaletteSentInPartsKeepsTheOtherEntries) {
    openWith(0);
    const FxU8 low = 3, high = 200;
    std::vector<FxU8> indices = {low, high, low, high};
    IDirectDrawSurface7 *paletted = download(0, 0, GR_LOD_LOG2_2, 0, GR_TEXFMT_P_8, indices.data());
    IDirectDrawSurface7 *other = download(0, 0x1000, GR_LOD_LOG2_2, 0, GR_TEXFMT_P_8, indices.data());
    ASSERT_NE(paletted, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(bound(0, 0x1000), other);
    GuTexPalette palette{};
    palette.data[low] = 0x00FF0000;
    grTexDownloadTablePartial(GR_TEXTABLE_PALETTE, &palette, 0, 127);
    ASSERT_EQ(bound(0, 0), paletted);
    palette.data[low] = 0;
    palette.data[high] = 0x0000FF00;
    grTexDownloadTablePartial(GR_TEXTABLE_PALETTE, &palette, 128, 255);
    EXPECT_EQ(sim::pixel(paletted, 0, 0), 0x00FF0000u);
    EXPECT_EQ(sim::pixel(paletted, 1, 0), 0x0000FF00u);
    ASSERT_EQ(bound(0, 0x1000), other);
    EXPECT_EQ(sim::pixel(other, 1, 0), 0x0000FF00u);
}

// Each Y, I and Q combination through a downloaded table; selecting another table re-converts the bound
// texture, and a table download converts TMU 0's texture again at once.
TEST_F(Texture3, YiqTexelsAreDecodedThroughTheChosenTable) {
    openWith(0);
    std::vector<FxU8> yiq(256);
    for (int s = 0; s < 256; ++s)
        yiq[s] = static_cast<FxU8>(s);
    IDirectDrawSurface7 *surface = download(0, 0, GR_LOD_LOG2_16, 0, GR_TEXFMT_YIQ_422, yiq.data());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(sim::pixel(surface, 15, 15), 0x00FFFFFFu) << "a grey ramp before any table";
    EXPECT_EQ(sim::pixel(surface, 0, 8), 0x00888888u);
    ASSERT_EQ(bound(0, 0), surface);

    GuNccTable first = nccTableSample<GuNccTable>(3);
    GuNccTable second = nccTableSample<GuNccTable>(200);
    grTexDownloadTable(GR_TEXTABLE_NCC0, &first);
    for (FxU32 s = 0; s < 256; ++s)
        ASSERT_EQ(sim::pixel(surface, s % 16, s / 16), nccDecoded(first, s)) << s;
    grTexDownloadTable(GR_TEXTABLE_NCC1, &second);
    EXPECT_EQ(sim::pixel(surface, 2, 9), nccDecoded(first, 0x92));
    grTexNCCTable(GR_NCCTABLE_NCC1);
    ASSERT_EQ(bound(0, 0), surface);
    for (FxU32 s = 0; s < 256; ++s)
        ASSERT_EQ(sim::pixel(surface, s % 16, s / 16), nccDecoded(second, s)) << s;
}

TEST_F(Texture3, AlphaTexturesAreWhiteWithTheirAlpha) {
    openWith(0);
    std::vector<FxU8> alpha(4, 0xC4);
    IDirectDrawSurface7 *surface = download(0, 0, GR_LOD_LOG2_2, 0, GR_TEXFMT_ALPHA_8, alpha.data());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(sim::pixel(surface, 1, 0), 0xC4FFFFFFu);
}

} // namespace
