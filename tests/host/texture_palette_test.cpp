// Palette downloads: the checksum, software-palette textures converted with the current palette and
// brought up to date lazily, native palettised textures with a DirectDraw palette, and the NCC tables.
#include "ncc_samples.h"
#include "glide2_texture_driver.h"

#include "engine_probe.h"

namespace {

using namespace texfmt;

class TexturePalette : public Glide2TextureTest {
  protected:
    std::vector<FxU8> indices = std::vector<FxU8>(64 * 64 * 2, 3);

    static void downloadPartial(GrChipID_t tmu, const std::vector<FxU32> &entries, int start, int end) {
        GuTexPalette palette{};
        std::memcpy(palette.data, entries.data(), std::min<size_t>(entries.size(), 256) * 4);
        grTexDownloadTablePartial(tmu, GR_TEXTABLE_PALETTE, &palette, start, end);
    }

    static std::vector<FxU32> uniform(FxU32 value) { return std::vector<FxU32>(256, value); }

    static std::vector<FxU32> entryAt(int index, FxU32 value) {
        std::vector<FxU32> entries(256, 0);
        entries[index] = value;
        return entries;
    }

    static std::vector<PALETTEENTRY> entriesOf(const sim::Call &call) {
        std::vector<PALETTEENTRY> entries(call.data.size() / sizeof(PALETTEENTRY));
        std::memcpy(entries.data(), call.data.data(), call.data.size());
        return entries;
    }
};

TEST_F(TexturePalette, TheChecksumCoversTheEntriesOfTheDownload) {
    // Native palettised textures show the entries in force: their DirectDraw palette is made of them.
    useTextureFormats({rgb565(), paletted(8, 0)});
    openSession();
    auto entriesInForce = [this] {
        sim::clearCalls();
        download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
        std::vector<sim::Call> palettes = named("CreatePalette");
        EXPECT_EQ(palettes.size(), 1u);
        return palettes.size() == 1 ? entriesOf(palettes[0]) : std::vector<PALETTEENTRY>(256, {1, 1, 1, 1});
    };
    std::vector<FxU32> ramp(256);
    FxU32 rampSum = 0;
    for (FxU32 i = 0; i < 256; ++i) {
        ramp[i] = 0x01000000u * (i & 3) | i * 0x010203u;
        rampSum += ramp[i] << (i & 7);
    }
    struct Case {
        const char *what;
        std::vector<FxU32> entries;
        int start;
        int end;
        FxU32 checksum; // 0: unchanged
    } cases[] = {
        {"the whole palette", ramp, 0, 255, rampSum},
        {"one entry", entryAt(10, 0x000000FF), 10, 10, 0x3FC},
        {"the top byte is counted, not stored", entryAt(9, 0xFF000000), 9, 9, 0xFE000000},
        {"start after end", ramp, 20, 10, 0},
        {"all zero", uniform(0), 0, 255, 0},
        {"end beyond the palette", entryAt(255, 1), 255, 100000, 0x80},
        {"start before the palette", entryAt(0, 1), -50, 0, 1},
        {"start beyond the palette", ramp, 256, 300, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        probe::setPaletteChecksum(0x5EED);
        downloadPartial(GR_TMU0, c.entries, c.start, c.end);
        EXPECT_EQ(probe::paletteChecksum(), c.checksum ? c.checksum : 0x5EEDu);
        if (c.start == 0 && c.end == 255 && c.checksum) {
            PALETTEENTRY entry = entriesInForce()[7];
            EXPECT_EQ(entry.peRed, 7);
            EXPECT_EQ(entry.peGreen, 7 * 2);
            EXPECT_EQ(entry.peBlue, 7 * 3);
            EXPECT_EQ(entry.peFlags, 0);
        }
    }
    PALETTEENTRY entry = entriesInForce()[9];
    EXPECT_EQ(entry.peRed, 0);
    EXPECT_EQ(entry.peFlags, 0);
}

// Before the first palette download of a session the current entries are used, not a blank surface.
TEST_F(TexturePalette, ASoftwarePaletteTextureShowsTheCurrentPaletteFromTheStart) {
    openSession();
    loadPalette(entryAt(3, 0x00ABCDEF));
    grSstWinClose();
    openSession();
    ASSERT_EQ(probe::paletteChecksum(), 0xFFFFFFFFu);
    IDirectDrawSurface7 *surface =
        download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
    grTexSource(GR_TMU0, 0, 0, nullptr);
    EXPECT_EQ(sim::pixel(surface, 63, 63), 0x00ABCDEFu);
}

TEST_F(TexturePalette, SoftwarePaletteTexturesAreReconvertedOnlyWhenBoundAfterAChange) {
    openSession();
    loadPalette(entryAt(3, 0x00111111));
    IDirectDrawSurface7 *a = download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
    IDirectDrawSurface7 *b =
        download(GR_TMU0, 0x2000, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_AP_88, indices.data());
    IDirectDrawSurface7 *other =
        download(GR_TMU1, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
    grTexSource(GR_TMU0, 0, 0, nullptr);
    grTexSource(GR_TMU1, 0, 0, nullptr);
    sim::clearCalls();

    // The current texture of the named TMU follows at once; the others wait until they are bound.
    loadPalette(entryAt(3, 0x00222222), GR_TMU0);
    EXPECT_EQ(callsOn("Lock", a), 1u);
    EXPECT_EQ(sim::pixel(a, 5, 5), 0x00222222u);
    EXPECT_EQ(sim::pixel(b, 5, 5), 0x03111111u);
    EXPECT_EQ(sim::pixel(other, 5, 5), 0x00111111u);
    grTexSource(GR_TMU0, 0x2000, 0, nullptr);
    grTexSource(GR_TMU0, 0x2000, 0, nullptr);
    grTexSource(GR_TMU0, 0, 0, nullptr);
    EXPECT_EQ(callsOn("Lock", b), 1u);
    EXPECT_EQ(callsOn("Lock", a), 1u);
    EXPECT_EQ(sim::pixel(b, 5, 5), 0x03222222u);
    EXPECT_TRUE(inOrder({"Lock", "Unlock", "SetTexture"}, findCall("Unlock") + 1));

    // A download whose checksum is zero writes its entries but refreshes nothing.
    grTexSource(GR_TMU1, 0, 0, nullptr);
    EXPECT_EQ(sim::pixel(other, 5, 5), 0x00222222u);
    sim::clearCalls();
    loadPalette(uniform(0), GR_TMU1);
    grTexSource(GR_TMU1, 0, 0, nullptr);
    EXPECT_EQ(countNamed("Lock"), 0u);
    EXPECT_EQ(sim::pixel(other, 5, 5), 0x00222222u);
    loadPalette(entryAt(3, 0x00333333), GR_TMU1);
    EXPECT_EQ(sim::pixel(other, 5, 5), 0x00333333u);
    EXPECT_EQ(sim::pixel(a, 5, 5), 0x00222222u);
}

// A refresh whose lock fails keeps the old texels and is not retried at every bind.
TEST_F(TexturePalette, AFailedRefreshKeepsTheOldTexels) {
    openSession();
    loadPalette(entryAt(3, 0x00111111));
    IDirectDrawSurface7 *surface =
        download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
    loadPalette(entryAt(3, 0x00222222), GR_TMU1);
    sim::failCallOn("Lock", sim::SurfaceRole::Texture);
    grTexSource(GR_TMU0, 0, 0, nullptr);
    sim::clearFaults();
    sim::clearCalls();
    grTexSource(GR_TMU0, 0, 0, nullptr);
    EXPECT_EQ(countNamed("Lock"), 0u);
    EXPECT_EQ(sim::pixel(surface, 0, 0), 0x00111111u);
    EXPECT_EQ(sim::boundTexture(liveDevice(), 0), surface);
}

TEST_F(TexturePalette, NativePalettisedTexturesCarryADirectDrawPalette) {
    useTextureFormats({rgb565(), paletted(8, 0), paletted(16, 0xFF00)});
    openSession();
    loadPalette(entryAt(3, 0x00445566));
    sim::clearCalls();
    IDirectDrawSurface7 *p8 = download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
    IDirectDrawSurface7 *ap88 =
        download(GR_TMU1, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_AP_88, indices.data());
    ASSERT_NE(p8, nullptr);
    ASSERT_NE(ap88, nullptr);
    EXPECT_EQ(sim::pixel(p8, 63, 63), 3u);
    EXPECT_EQ(sim::pixel(ap88, 63, 63), 0x0303u);
    std::vector<sim::Call> palettes = named("CreatePalette");
    ASSERT_EQ(palettes.size(), 2u);
    EXPECT_EQ(palettes[0].args[0], DWORD(DDPCAPS_8BIT | DDPCAPS_ALLOW256));
    std::vector<PALETTEENTRY> given = entriesOf(palettes[0]);
    ASSERT_EQ(given.size(), 256u);
    EXPECT_EQ(given[3].peRed, 0x44);
    EXPECT_EQ(given[3].peBlue, 0x66);
    EXPECT_TRUE(inOrder(
        {"CreateSurface", "Lock", "Unlock", "CreatePalette", "SetPalette", "Release", "SetColorKey"}));
    IDirectDrawPalette *palette = sim::surfaceInfo(p8).palette;
    ASSERT_NE(palette, nullptr);

    // Refreshed through the palette's entries, not the texels.
    sim::clearCalls();
    loadPalette(entryAt(3, 0x00778899), GR_TMU1);
    grTexSource(GR_TMU0, 0, 0, nullptr);
    EXPECT_EQ(countNamed("Lock"), 0u);
    std::vector<sim::Call> set = named("SetEntries");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].object, palette);
    EXPECT_EQ(set[0].args, (std::vector<unsigned long long>{0, 0, 256}));
    EXPECT_EQ(sim::paletteEntries(palette)[3].peGreen, 0x88);
    EXPECT_TRUE(inOrder({"GetPalette", "SetEntries", "Release", "SetTexture"}));
}

TEST_F(TexturePalette, APaletteThatCannotBeAttachedDropsTheDownload) {
    useTextureFormats({rgb565(), paletted(8, 0)});
    openSession();
    IDirectDrawSurface7 *kept = download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data());
    for (const char *failing : {"CreatePalette", "SetPalette"}) {
        SCOPED_TRACE(failing);
        sim::clearCalls();
        sim::failCall(failing, 1);
        EXPECT_EQ(download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, indices.data()), nullptr);
        sim::clearFaults();
        EXPECT_EQ(filedSurface(GR_TMU0, 0), kept);
        std::vector<const void *> made = texturesCreated();
        ASSERT_EQ(made.size(), 1u);
        EXPECT_FALSE(alive(made[0]));
    }
}

// Every Y, I and Q combination through a table with sums below 0 and above 255; a table download or
// selection that changes a bound YIQ texture's table re-converts it at its next selection.
TEST_F(TexturePalette, YiqTexelsAreDecodedThroughTheSelectedNccTable) {
    openSession();
    const GuNccTable first = nccTableSample<GuNccTable>(0);
    const GuNccTable second = nccTableSample<GuNccTable>(77);
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, const_cast<GuNccTable *>(&first));
    std::vector<FxU8> yiq(256);
    std::vector<FxU8> ayiq(512);
    for (int s = 0; s < 256; ++s) {
        yiq[s] = static_cast<FxU8>(s);
        ayiq[2 * s] = static_cast<FxU8>(s);
        ayiq[2 * s + 1] = static_cast<FxU8>(255 - s);
    }
    IDirectDrawSurface7 *plain =
        download(GR_TMU0, 0, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_YIQ_422, yiq.data());
    IDirectDrawSurface7 *alpha =
        download(GR_TMU0, 0x2000, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_AYIQ_8422, ayiq.data());
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(alpha, nullptr);
    for (FxU32 s = 0; s < 256; ++s) {
        EXPECT_EQ(sim::pixel(plain, s % 16, s / 16), nccDecoded(first, s)) << s;
        EXPECT_EQ(sim::pixel(alpha, s % 16, s / 16), (255 - s) << 24 | nccDecoded(first, s)) << s;
    }
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC1, const_cast<GuNccTable *>(&second));
    EXPECT_EQ(sim::pixel(plain, 5, 3), nccDecoded(first, 0x35)) << "a download alone changes no texel";
    grTexNCCTable(GR_TMU0, GR_NCCTABLE_NCC1);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), plain);
    for (FxU32 s = 0; s < 256; ++s)
        ASSERT_EQ(sim::pixel(plain, s % 16, s / 16), nccDecoded(second, s)) << s;
    grTexNCCTable(GR_TMU1, GR_NCCTABLE_NCC0);
    EXPECT_EQ(filedSurface(GR_TMU0, 0), plain);
    EXPECT_EQ(sim::pixel(plain, 15, 15), nccDecoded(second, 0xFF)) << "TMU 1's selection is its own";
}

// An NCC download reads its 112 bytes and leaves the palette and its checksum alone.
TEST_F(TexturePalette, NccDownloadLeavesThePaletteAlone) {
    openSession();
    loadPalette({0x00102030});
    const FxU32 checksum = probe::paletteChecksum();
    std::vector<unsigned char> exact(sizeof(GuNccTable), 0x5C);
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC1, exact.data());
    EXPECT_EQ(probe::nccTable(1), exact);
    EXPECT_EQ(probe::paletteChecksum(), checksum);
    std::vector<FxU8> index(4, 0);
    IDirectDrawSurface7 *paletted =
        download(GR_TMU0, 0, GR_LOD_2, GR_ASPECT_1x1, GR_TEXFMT_P_8, index.data());
    ASSERT_NE(paletted, nullptr);
    EXPECT_EQ(sim::pixel(paletted, 0, 0), 0x00102030u);
}

} // namespace
