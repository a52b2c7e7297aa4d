// Texture memory: 1 KiB slots per TMU, a surface per download (the same one again for a texture downloaded
// again over itself), binding on the stage of the TMU, and the release of every surface.
#include "glide2_draw_driver.h"

#include <algorithm>

#include "engine_probe.h"

namespace {

class TextureSlots : public Glide2DrawTest {
  protected:
    std::vector<FxU16> texels = std::vector<FxU16>(256 * 256, 0x1234);

    IDirectDrawSurface7 *download565(GrChipID_t tmu, FxU32 address, GrLOD_t lod = GR_LOD_8) {
        return download(tmu, address, lod, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data());
    }

    // The index of the Release call that took this surface's count to zero, or npos.
    static size_t releaseToZero(const void *surface) {
        const std::vector<sim::Call> &calls = sim::calls();
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].name == "Release" && calls[i].object == surface &&
                calls[i].args == std::vector<unsigned long long>{0})
                return i;
        return std::string::npos;
    }
};

// Applications allocate what these return and fill it with the whole chain.
TEST_F(TextureSlots, MemoryRequiredIsTheChainsBytesOnEightByteBoundaries) {
    const FxU32 fullChain565 = (65536 + 16384 + 4096 + 1024 + 256 + 64 + 16 + 4 + 1) * 2;       // 174762
    const FxU32 evenLevels565 = (65536 + 4096 + 256 + 16 + 1) * 2;                              // 139810
    const FxU32 longChain8Bit = 256 * 32 + 128 * 16 + 64 * 8 + 32 * 4 + 16 * 2 + 8 + 4 + 2 + 1; // 10927
    GrTexInfo large = texInfo(GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_ARGB_1555, nullptr);
    GrTexInfo tiny = texInfo(GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr);
    GrTexInfo chain = texInfo(GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, nullptr);
    chain.smallLod = GR_LOD_1;
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565), fullChain565 + 6);
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_1, GR_LOD_256, GR_ASPECT_8x1, GR_TEXFMT_P_8), longChain8Bit + 1);
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_1, GR_LOD_1, GR_ASPECT_8x1, GR_TEXFMT_P_8), 8u);
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_1, GR_LOD_256, 7, GR_TEXFMT_P_8), 0u);
    EXPECT_EQ(grTexCalcMemRequired(GR_LOD_1, INT32_MIN, GR_ASPECT_1x1, GR_TEXFMT_P_8), 0u);
    EXPECT_EQ(grTexCalcMemRequired(INT32_MAX, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8), 0u);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &large), 256u * 256u * 2u);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &tiny), 8u);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_EVEN, &chain), evenLevels565 + 6);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_ODD, &chain), fullChain565 - evenLevels565);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, nullptr), 0u);
    EXPECT_EQ(grTexMinAddress(GR_TMU1), 0u);
    EXPECT_EQ(grTexMaxAddress(GR_TMU0), 0x3FFC00u);
}

// A 64 × 64 565 texture takes 8 KiB (0x2000 bytes) from its start address.
TEST_F(TextureSlots, ADownloadReplacesTheTexturesItsRangeOverlaps) {
    struct Case {
        const char *what;
        GrChipID_t secondTmu;
        FxU32 secondAddress;
        bool firstKept;
    } cases[] = {
        {"right after the first", GR_TMU0, 0x12000, true},
        {"just before the first", GR_TMU0, 0xE000, true},
        {"inside the first", GR_TMU0, 0x11FF8, false},
        {"ending inside the first", GR_TMU0, 0xE008, false},
        {"the same address on the other TMU", GR_TMU1, 0x10000, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        openSession();
        IDirectDrawSurface7 *first = download565(GR_TMU0, 0x10000, GR_LOD_64);
        IDirectDrawSurface7 *second = download565(c.secondTmu, c.secondAddress, GR_LOD_64);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_NE(first, second);
        EXPECT_EQ(filedSurface(GR_TMU0, 0x10000), c.firstKept ? first : nullptr);
        EXPECT_EQ(filedSurface(c.secondTmu, c.secondAddress), second);
        EXPECT_EQ(alive(first), c.firstKept);
        grSstWinClose();
    }
}

// Games pack textures tightly: one download over several small ones replaces them all and no other.
TEST_F(TextureSlots, ADownloadOverSeveralTexturesReplacesThemAll) {
    openSession();
    const FxU32 tinyBytes = 8; // a 2 × 2 565 level
    std::vector<IDirectDrawSurface7 *> tiny;
    for (FxU32 i = 0; i < 6; ++i)
        tiny.push_back(download565(GR_TMU1, 0x100 + i * tinyBytes, GR_LOD_2));
    IDirectDrawSurface7 *cover = download565(GR_TMU1, 0x108, GR_LOD_4); // 32 bytes: the next four
    EXPECT_TRUE(alive(tiny[0]));
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(alive(tiny[i]));
    EXPECT_TRUE(alive(tiny[5]));
    EXPECT_EQ(lookupTexture(GR_TMU1, 0x108)->surface, cover);
    EXPECT_EQ(lookupTexture(GR_TMU1, 0x110), nullptr);
    EXPECT_EQ(lookupTexture(GR_TMU1, 0x128)->surface, tiny[5]);
}

// Each download makes a surface of the level's size, for stage = TMU, managed by Direct3D on a hardware
// device and in system memory on a software one.
TEST_F(TextureSlots, DownloadsCreateASurfaceWithEveryLevelOfTheChain) {
    struct Case {
        GrLOD_t lod;
        GrAspectRatio_t aspect;
        GrChipID_t tmu;
        DWORD width;
        DWORD height;
    } cases[] = {
        {GR_LOD_256, GR_ASPECT_8x1, GR_TMU0, 256, 32}, {GR_LOD_256, GR_ASPECT_1x8, GR_TMU1, 32, 256},
        {GR_LOD_64, GR_ASPECT_4x1, GR_TMU1, 64, 16},   {GR_LOD_64, GR_ASPECT_1x2, GR_TMU0, 32, 64},
        {GR_LOD_1, GR_ASPECT_1x1, GR_TMU0, 1, 1},
    };
    for (bool hardware : {true, false}) {
        SCOPED_TRACE(hardware ? "hardware device" : "software device");
        // Without depth formats on the hardware types, the library takes the device for a software one.
        sim::deviceConfig(sim::DeviceType::TnLHal).depthFormats.clear();
        sim::deviceConfig(sim::DeviceType::Hal).depthFormats.clear();
        if (hardware)
            sim::deviceConfig(sim::DeviceType::TnLHal).depthFormats = {sim::depthFormat(16, 0xFFFF)};
        openSession();
        for (const Case &c : cases) {
            SCOPED_TRACE(c.width * 1000 + c.height);
            sim::clearCalls();
            GrTexInfo info = {GR_LOD_1, c.lod, c.aspect, GR_TEXFMT_RGB_332, texels.data()};
            grTexDownloadMipMap(c.tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
            std::vector<sim::Call> created = named("CreateSurface");
            ASSERT_EQ(created.size(), 1u);
            const DDSURFACEDESC2 &desc = created[0].desc;
            // The chain runs from lod down to GR_LOD_1; a single level is a plain texture.
            const DWORD levels = DWORD(GR_LOD_1 - c.lod + 1);
            const DWORD chainFlags = levels > 1 ? DWORD(DDSD_MIPMAPCOUNT) : 0;
            const DWORD chainCaps = levels > 1 ? DWORD(DDSCAPS_MIPMAP | DDSCAPS_COMPLEX) : 0;
            EXPECT_EQ(desc.dwFlags, DWORD(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT |
                                          DDSD_TEXTURESTAGE | chainFlags));
            EXPECT_EQ(desc.dwMipMapCount, levels > 1 ? levels : 0);
            EXPECT_EQ(desc.dwWidth, c.width);
            EXPECT_EQ(desc.dwHeight, c.height);
            EXPECT_EQ(desc.dwTextureStage, DWORD(c.tmu));
            EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
            EXPECT_EQ(desc.ddsCaps.dwCaps,
                      DWORD(hardware ? DDSCAPS_TEXTURE | chainCaps
                                     : DDSCAPS_TEXTURE | chainCaps | DDSCAPS_SYSTEMMEMORY));
            EXPECT_EQ(desc.ddsCaps.dwCaps2, DWORD(hardware ? DDSCAPS2_D3DTEXTUREMANAGE : 0));
            EXPECT_TRUE(inOrder({"CreateSurface", "Lock", "Unlock", "SetColorKey"}));
        }
        grSstWinClose();
    }
}

TEST_F(TextureSlots, SourceBindsTheSlotsSurfaceOnTheStageOfTheTmu) {
    setProductDword("TMU", 1);
    openSession();
    IDirectDrawSurface7 *zero = download565(GR_TMU0, 0x8000);
    // 4 × 8, its palette applied in software: a palette download refreshes it while it is in force.
    IDirectDrawSurface7 *one =
        download(GR_TMU1, 0x8000, GR_LOD_8, GR_ASPECT_1x2, GR_TEXFMT_P_8, texels.data());
    sim::clearCalls();
    // The info passed on selection is not compared with the download's.
    GrTexInfo other = texInfo(GR_LOD_1, GR_ASPECT_8x1, GR_TEXFMT_P_8, nullptr);
    grTexSource(GR_TMU0, 0x8000, GR_MIPMAPLEVELMASK_BOTH, &other);
    grTexMultibaseAddress(GR_TMU1, GR_TEXBASE_256, 0x8000, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    std::vector<sim::Call> binds = named("SetTexture");
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_EQ(binds[0].args[0], 0u);
    EXPECT_EQ(binds[0].source, zero);
    EXPECT_EQ(binds[1].args[0], 1u);
    EXPECT_EQ(binds[1].source, one);
    // Each TMU draws with its own texture: the coordinates follow the aspect of the texture bound there.
    TlVertex drawn = texturedPoint();
    EXPECT_EQ(drawn.rhw, 0.5f);
    EXPECT_EQ(drawn.tu0, 0.25f);
    EXPECT_EQ(drawn.tv0, 0.25f);
    EXPECT_EQ(drawn.tu1, 0.5f);
    EXPECT_EQ(drawn.tv1, 0.25f);
    loadPalette(std::vector<FxU32>(256, 0x00123456), GR_TMU1);
    EXPECT_EQ(callsOn("Lock", one), 1u);

    // An empty slot unbinds: texturing off for that TMU, the stage told to drop its texture.
    sim::clearCalls();
    grTexSource(GR_TMU1, 0x8400, 0, nullptr);
    binds = named("SetTexture");
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_EQ(binds[0].args[0], 1u);
    EXPECT_EQ(binds[0].source, nullptr);
    drawn = texturedPoint();
    EXPECT_EQ(drawn.rhw, 0.5f);
    EXPECT_EQ(drawn.tu0, 0.25f);
    EXPECT_EQ(drawn.tu1, 0.0f);
    EXPECT_EQ(drawn.tv1, 0.0f);
    loadPalette(std::vector<FxU32>(256, 0x00654321), GR_TMU1);
    EXPECT_EQ(callsOn("Lock", one), 0u);
}

// The stage keeps the old surface (it holds its own reference) until the next grTexSource.
TEST_F(TextureSlots, ReplacingTheCurrentTextureTurnsTexturingOffWithoutTellingTheDevice) {
    openSession();
    IDirectDrawSurface7 *old = download565(GR_TMU0, 0);
    grTexSource(GR_TMU0, 0, 0, nullptr);
    sim::clearCalls();
    IDirectDrawSurface7 *fresh = download565(GR_TMU0, 0x40); // inside the old texture's 128 bytes
    EXPECT_NE(fresh, old);
    EXPECT_EQ(countNamed("SetTexture"), 0u);
    TlVertex drawn = texturedPoint();
    EXPECT_EQ(drawn.rhw, 1.0f);
    EXPECT_EQ(drawn.tu0, 0.0f);
    EXPECT_FALSE(probe::holdsCurrentTexture(0)); // the replaced texture is gone
    EXPECT_EQ(sim::boundTexture(liveDevice(), 0), old);
    grTexSource(GR_TMU0, 0x40, 0, nullptr);
    EXPECT_EQ(sim::boundTexture(liveDevice(), 0), fresh);
    EXPECT_FALSE(alive(old));
}

// The same texture downloaded again to its address refills the surface while no stage holds it; one the stage
// holds is left to the stage, which draws the old texels until the game selects the texture again.
TEST_F(TextureSlots, ADownloadAgainToTheSameAddressRefillsASurfaceNoStageHolds) {
    const FxU16 newTexel = 0x4321;
    openSession();
    IDirectDrawSurface7 *first = download565(GR_TMU0, 0);
    ASSERT_NE(first, nullptr);
    std::fill(texels.begin(), texels.end(), newTexel);
    sim::clearCalls();
    EXPECT_EQ(download565(GR_TMU0, 0), first);
    EXPECT_EQ(countNamed("CreateSurface"), 0u);
    EXPECT_EQ(sim::pixel(first, 0, 0), newTexel);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), first);

    std::fill(texels.begin(), texels.end(), 0);
    IDirectDrawSurface7 *second = download565(GR_TMU0, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(sim::boundTexture(liveDevice(), 0), first);
    EXPECT_EQ(sim::pixel(first, 0, 0), newTexel);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), second);
    EXPECT_FALSE(alive(first));
}

// Whatever fails, the slot keeps the texture it held and the new surface, if any, is released.
TEST_F(TextureSlots, FailedDownloadsKeepTheOldTexture) {
    struct Case {
        const char *what;
        std::function<void()> inject;
        GrChipID_t tmu;
        FxU32 address;
        GrLOD_t lod;
        GrAspectRatio_t aspect;
        GrTextureFormat_t format;
        bool nullData;
        size_t surfacesMade = 0;
    } cases[] = {
        {"surface creation fails", [] { sim::failCallOn("CreateSurface", sim::SurfaceRole::Texture); }, 0, 0,
         GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, false, 0},
        {"lock fails", [] { sim::failCallOn("Lock", sim::SurfaceRole::Texture); }, 0, 0, GR_LOD_8,
         GR_ASPECT_1x1, GR_TEXFMT_RGB_565, false, 1},
        {"lock fails on a software palette", [] { sim::failCallOn("Lock", sim::SurfaceRole::Texture); }, 0, 0,
         GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, false, 1},
        {"reserved format", [] {}, 0, 0, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RSVD1, false},
        {"format above 31", [] {}, 0, 0, GR_LOD_8, GR_ASPECT_1x1, 40, false},
        {"negative format", [] {}, 0, 0, GR_LOD_8, GR_ASPECT_1x1, -1, false},
        {"LOD outside the table", [] {}, 0, 0, 9, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, false},
        {"aspect outside the table", [] {}, 0, 0, GR_LOD_8, 7, GR_TEXFMT_RGB_565, false},
        {"no texels", [] {}, 0, 0, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, true},
        {"a third TMU", [] {}, GR_TMU2, 0, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, false},
        {"an address beyond 4 MiB", [] {}, 0, 0x400000, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, false},
    };
    openSession();
    IDirectDrawSurface7 *kept = download565(GR_TMU0, 0);
    grTexSource(GR_TMU0, 0, 0, nullptr);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sim::clearCalls();
        c.inject();
        GrTexInfo info = texInfo(c.lod, c.aspect, c.format, c.nullData ? nullptr : texels.data());
        grTexDownloadMipMap(c.tmu, c.address, 0, &info);
        sim::clearFaults();
        EXPECT_EQ(texturesCreated().size(), c.surfacesMade);
        for (const void *made : texturesCreated())
            EXPECT_FALSE(alive(made));
        // The old texture is still drawn with, the device was told nothing, and the slot still holds it.
        EXPECT_EQ(countNamed("SetTexture"), 0u);
        TlVertex drawn = texturedPoint();
        EXPECT_EQ(drawn.rhw, 0.5f);
        EXPECT_EQ(drawn.tu0, 0.25f);
        EXPECT_EQ(filedSurface(GR_TMU0, 0), kept);
    }
    EXPECT_TRUE(alive(kept));
    grTexDownloadMipMap(GR_TMU0, 0, 0, nullptr);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), kept);
}

TEST_F(TextureSlots, CloseAndMemResetReleaseEverySurface) {
    openSession();
    std::vector<const void *> made;
    for (FxU32 address : {0u, 0x400u, 0x3FFC00u})
        made.push_back(download565(GR_TMU0, address));
    made.push_back(download565(GR_TMU1, 0));
    grTexSource(GR_TMU1, 0, 0, nullptr);
    guTexMemReset();
    EXPECT_EQ(texturedPoint().rhw, 1.0f);        // no texture in force on either TMU
    EXPECT_FALSE(probe::holdsCurrentTexture(1)); // the texture bound there is gone
    for (size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(alive(made[i])) << i;
    // The stage still holds the last surface handed to it, until it is given another.
    EXPECT_TRUE(alive(made[3]));
    sim::clearCalls();
    grTexSource(GR_TMU1, 0, 0, nullptr);
    EXPECT_EQ(named("SetTexture")[0].source, nullptr);
    EXPECT_FALSE(alive(made[3]));

    made.clear();
    for (FxU32 address : {0u, 0x800u})
        made.push_back(download565(GR_TMU0, address));
    sim::clearCalls();
    grSstWinClose();
    size_t ddrawRelease = findCall("RestoreDisplayMode");
    ASSERT_NE(ddrawRelease, std::string::npos);
    for (const void *surface : made)
        EXPECT_LT(releaseToZero(surface), ddrawRelease);
    // The slots were emptied: the next session finds nothing in them.
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), nullptr);
}

TEST_F(TextureSlots, ASecondGlideInitReleasesTheTexturesOfTheFirstTable) {
    openSession();
    const void *first = download565(GR_TMU0, 0);
    grGlideInit();
    EXPECT_FALSE(alive(first));
    EXPECT_EQ(filedSurface(GR_TMU0, 0), nullptr);
    EXPECT_NE(download565(GR_TMU0, 0), nullptr);
}

// Before grGlideInit there is no slot table, before grSstWinOpen no device, after grSstWinClose neither.
TEST_F(TextureSlots, CallsWithoutASessionAreIgnored) {
    auto everyCall = [this] {
        GrTexInfo info = texInfo(GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data());
        grTexDownloadMipMap(GR_TMU0, 0, 0, &info);
        grTexDownloadMipMapLevel(GR_TMU1, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, 0,
                                 texels.data());
        grTexSource(GR_TMU0, 0, 0, &info);
        grTexMultibaseAddress(GR_TMU1, 0, 0, 0, nullptr);
        grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
        grTexFilterMode(GR_TMU1, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
        grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
        loadPalette({0x00FFFFFF, 0x00123456});
        grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, nullptr);
        grTexNCCTable(GR_TMU1, GR_NCCTABLE_NCC1);
        guTexMemReset();
    };
    sim::clearCalls();
    everyCall();
    grGlideInit();
    everyCall();
    EXPECT_EQ(countNamed("CreateSurface"), 0u);
    openSession();
    download565(GR_TMU0, 0);
    grSstWinClose();
    sim::clearCalls();
    everyCall();
    EXPECT_EQ(sim::calls().size(), 0u);
    // Nothing was filed either: the next session finds the slot empty.
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), nullptr);
}

// DirectDraw compares keys in the texture's own layout, so the key is laid out like its texels.
TEST_F(TextureSlots, TheColorKeyIsTakenWhenTheTextureIsCreated) {
    openSession();
    grChromakeyValue(0x00FF00FF);
    IDirectDrawSurface7 *first = download565(GR_TMU0, 0);
    grChromakeyValue(0xFF00FF00);
    IDirectDrawSurface7 *second = download565(GR_TMU0, 0x400);
    std::vector<sim::Call> keys = named("SetColorKey");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].object, first);
    EXPECT_EQ(keys[0].args, (std::vector<unsigned long long>{DDCKEY_SRCBLT, 0xF81F, 0xF81F}));
    EXPECT_EQ(keys[1].object, second);
    EXPECT_EQ(keys[1].args, (std::vector<unsigned long long>{DDCKEY_SRCBLT, 0x07E0, 0x07E0}));
    EXPECT_EQ(sim::surfaceInfo(first).srcBltKey.dwColorSpaceLowValue, 0xF81Fu);
}

TEST_F(TextureSlots, TheColorKeyIsAnOpaqueTexelOfTheKeyColorInEveryRgbLayout) {
    struct Case {
        GrTextureFormat_t format; // stored natively or through a converter on the default device
        DWORD low, high;
    } cases[] = {
        {GR_TEXFMT_RGB_565, 0xF81F, 0xF81F},           {GR_TEXFMT_ARGB_1555, 0xFC1F, 0xFC1F},
        {GR_TEXFMT_ARGB_4444, 0xFF0F, 0xFF0F},         {GR_TEXFMT_RGB_332, 0xFF00FF, 0xFF00FF},
        {GR_TEXFMT_ARGB_8332, 0xFFFF00FF, 0xFFFF00FF},
    };
    openSession();
    grChromakeyValue(0x80FF00FF);
    std::vector<FxU8> texels(64 * 64 * 2, 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        sim::clearCalls();
        ASSERT_NE(download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, c.format, texels.data()), nullptr);
        std::vector<sim::Call> keys = named("SetColorKey");
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(keys[0].args, (std::vector<unsigned long long>{DDCKEY_SRCBLT, c.low, c.high}));
    }
}

TEST_F(TextureSlots, ColorMipMapLevelsAreSolidColorsLargestFirst) {
    FxU8 *block = static_cast<FxU8 *>(guTexCreateColorMipMap());
    ASSERT_NE(block, nullptr);
    const FxU16 colors[] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0xF800, 0x07E0, 0x001F, 0xFFFF};
    size_t offset = 0;
    for (int level = 0; level < 9; ++level) {
        size_t side = 256u >> level;
        for (size_t at : {offset, offset + (side * side - 1) * 2}) {
            EXPECT_EQ(block[at], colors[level] & 0xFF) << level;
            EXPECT_EQ(block[at + 1], colors[level] >> 8) << level;
        }
        offset += side * side * 2;
    }
    EXPECT_EQ(offset, 174762u);
    EXPECT_EQ(block[174760], 0xFF);
    EXPECT_EQ(block[174761], 0xFF);
    EXPECT_EQ(block[174758], 0x1F);
    EXPECT_EQ(block[174759], 0x00);
    free(block);
}

} // namespace
