// grGet, grGetString, grQueryResolutions and grReset.
#include "glide3_fixture.h"
#include "core/draw_counters.h"

#include <algorithm>

#include <string.h>

namespace {

using Queries = Glide3Test;

const FxI32 untouched = 0x5A5A5A5A;

TEST_F(Queries, BitsRgbaWritesFourValuesOnlyWithItsOwnLength) {
    FxI32 values[4] = {untouched, untouched, untouched, untouched};
    EXPECT_EQ(grGet(GR_BITS_RGBA, sizeof(values), values), sizeof(values));
    EXPECT_EQ(std::vector<FxI32>(values, values + 4), (std::vector<FxI32>{5, 6, 5, 0}));

    FxI32 single = untouched;
    EXPECT_EQ(grGet(GR_BITS_RGBA, sizeof(single), &single), 0u);
    EXPECT_EQ(single, untouched);
    EXPECT_EQ(grGet(GR_BITS_RGBA, sizeof(values), nullptr), 0u);
}

TEST_F(Queries, UnansweredNamesReturnZeroAndWriteNothing) {
    for (FxU32 pname : {GR_STATS_PIXELS, GR_STATS_TRIANGLES, GR_VERTEX_PARAMETER, 0x2B}) {
        FxI32 value = untouched;
        EXPECT_EQ(grGet(pname, sizeof(value), &value), 0u) << pname;
        EXPECT_EQ(value, untouched) << pname;
    }
}

TEST_F(Queries, TableAnswersWithoutAContext) {
    struct Row {
        FxU32 pname;
        FxI32 value;
    };
    const Row rows[] = {
        {GR_BITS_DEPTH, 16},
        {GR_GAMMA_TABLE_ENTRIES, 256},
        {GR_GLIDE_STATE_SIZE, 216},
        {GR_GLIDE_VERTEXLAYOUT_SIZE, 108},
        {GR_IS_BUSY, 0},
        {GR_LFB_PIXEL_PIPE, 1},
        {GR_MAX_TEXTURE_SIZE, 256},
        {GR_MAX_TEXTURE_ASPECT_RATIO, 3},
        {GR_MEMORY_FB, 0x800000},
        {GR_MEMORY_TMU, 0x400000},
        {GR_MEMORY_UMA, 0},
        {GR_FOG_TABLE_ENTRIES, 64},
        {GR_TEXTURE_ALIGN, 8},
        {GR_NUM_BOARDS, 1},
        {GR_NON_POWER_OF_TWO_TEXTURES, 0},
        {GR_NUM_FB, 1},
        {GR_NUM_SWAP_HISTORY_BUFFER, 8},
        {GR_NUM_TMU, 1},
        {GR_PENDING_BUFFERSWAPS, 0},
        {GR_REVISION_FB, 0},
        {GR_REVISION_TMU, 0},
        {GR_SUPPORTS_PASSTHRU, 0},
        {GR_BITS_GAMMA, 8},
    };
    grGlideInit();
    for (const Row &row : rows) {
        FxI32 value = untouched;
        EXPECT_EQ(grGet(row.pname, sizeof(value), &value), sizeof(value)) << row.pname;
        EXPECT_EQ(value, row.value) << row.pname;
    }
    FxI32 range[2] = {};
    EXPECT_EQ(grGet(GR_ZDEPTH_MIN_MAX, sizeof(range), range), sizeof(range));
    EXPECT_EQ(range[0], 0xFFFF);
    EXPECT_EQ(range[1], 0);
    // W-buffer clears use the second value: the far end.
    EXPECT_EQ(grGet(GR_WDEPTH_MIN_MAX, sizeof(range), range), sizeof(range));
    EXPECT_EQ(range[0], 0);
    EXPECT_EQ(range[1], 0xFFFF);
    FxI32 fifo[2] = {};
    EXPECT_EQ(grGet(GR_FIFO_FULLNESS, sizeof(fifo), fifo), sizeof(fifo));
    FxI32 position[2] = {untouched, untouched};
    EXPECT_EQ(grGet(GR_VIDEO_POSITION, sizeof(position), position), sizeof(position));
    EXPECT_EQ(position[1], 0);
    FxI32 history[8];
    std::fill(history, history + 8, untouched);
    EXPECT_EQ(grGet(GR_SWAP_HISTORY, sizeof(history), history), sizeof(history));
    EXPECT_EQ(std::vector<FxI32>(history, history + 8), std::vector<FxI32>(8, 0));
    // The last texture a program may place must lie inside the memory it was told of.
    FxI32 memory = 0;
    grGet(GR_MEMORY_TMU, sizeof(memory), &memory);
    EXPECT_LT(grTexMaxAddress(GR_TMU0), static_cast<FxU32>(memory));
}

TEST_F(Queries, TextureUnitsFollowTheTmuSetting) {
    sim::setRegistryDword(HKEY_LOCAL_MACHINE, settings_store::productKeyPath, settings_store::tmu, 1);
    grGlideInit();
    FxI32 units = 0;
    EXPECT_EQ(grGet(GR_NUM_TMU, sizeof(units), &units), sizeof(units));
    EXPECT_EQ(units, 2);
}

TEST_F(Queries, FifoFullnessShowsTheVerticalBlank) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::setVerticalBlank(TRUE, DD_OK);
    FxI32 fifo[2] = {};
    EXPECT_EQ(grGet(GR_FIFO_FULLNESS, sizeof(fifo), fifo), sizeof(fifo));
    EXPECT_EQ(fifo[0], 0xFFFF07F);
    EXPECT_EQ(fifo[1], 0xFFFF07F);
    grSstWinClose(1);
}

TEST_F(Queries, CountersReportAndResetByGroup) {
    ASSERT_EQ(initAndOpen(), 1u);
    grBufferSwap(1);
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    drawCounters.triangles = 7;
    FxI32 value = 0;
    EXPECT_EQ(grGet(GR_STATS_PIXELS_IN, sizeof(value), &value), sizeof(value));
    EXPECT_EQ(value, static_cast<FxI32>(2 * 640 * 480));
    EXPECT_EQ(grGet(GR_STATS_TRIANGLES_OUT, sizeof(value), &value), sizeof(value));
    EXPECT_EQ(value, 7);

    EXPECT_EQ(grReset(GR_STATS_PIXELS_IN), FXFALSE);
    EXPECT_EQ(drawCounters.pixels.pixelsIn, 2u * 640u * 480u);
    EXPECT_EQ(grReset(GR_STATS_PIXELS), FXTRUE);
    EXPECT_EQ(drawCounters.pixels.pixelsIn, 0u);
    EXPECT_EQ(drawCounters.pixels.pixelsOut, 0u);
    EXPECT_EQ(drawCounters.triangles, 7u);
    EXPECT_EQ(grReset(GR_STATS_TRIANGLES), FXTRUE);
    EXPECT_EQ(drawCounters.triangles, 0u);
    EXPECT_EQ(grReset(GR_STATS_POINTS), FXTRUE);
    EXPECT_EQ(grReset(GR_STATS_LINES), FXTRUE);
    EXPECT_EQ(grReset(GR_VERTEX_PARAMETER), FXTRUE);
    grSstWinClose(1);
}

TEST_F(Queries, StringsWithoutAContext) {
    EXPECT_STREQ(grGetString(GR_VENDOR), "3dfx Interactive");
    EXPECT_STREQ(grGetString(GR_EXTENSION), " ");
    EXPECT_STREQ(grGetString(GR_HARDWARE), "Kestrix 3 (tm)");
    EXPECT_STREQ(grGetString(GR_RENDERER), "Glide");
    EXPECT_STREQ(grGetString(GR_VERSION), "3.10");
    EXPECT_STREQ(grGetString(0x42), "ERROR");
}

TEST_F(Queries, StringsWithAContextNameTheAdapter) {
    sim::setDeviceIdentifier("nv4_disp.dll", "NVIDIA GeForce2 MX", 0x10DE, 0x110);
    sim::deviceConfig(sim::DeviceType::TnLHal).caps.dpcTriCaps.dwTextureAddressCaps = D3DPTADDRESSCAPS_MIRROR;
    ASSERT_EQ(initAndOpen(), 1u);
    EXPECT_STREQ(grGetString(GR_VENDOR), "nVidia");
    EXPECT_STREQ(grGetString(GR_EXTENSION), " TEXMIRROR ");
    EXPECT_STREQ(grGetString(GR_HARDWARE), "NVIDIA GeForce2 MX");
    grSstWinClose(1);
    EXPECT_STREQ(grGetString(GR_VENDOR), "3dfx Interactive");
}

// Full screen lists the resolutions the display has at the colour depth, each of which then opens; a window
// opens every size.
TEST_F(Queries, ResolutionsListWhatTheDisplayOpensWithFourBufferChoices) {
    sim::setDisplayModeAccepted([](DWORD w, DWORD h, DWORD bpp) {
        return bpp == 16 && ((w == 640 && h == 480) || (w == 1024 && h == 768));
    });
    setProductDword("ColorDepth", 16);
    grGlideInit();
    const FxI32 recordBytes = static_cast<FxI32>(sizeof(GrResolution));
    ASSERT_EQ(grQueryResolutions(nullptr, nullptr), 8 * recordBytes);
    std::vector<GrResolution> list(8);
    EXPECT_EQ(grQueryResolutions(nullptr, list.data()), 8 * recordBytes);
    EXPECT_EQ(list[0].resolution, GR_RESOLUTION_640x480);
    EXPECT_EQ(list[0].refresh, GR_REFRESH_60Hz);
    EXPECT_EQ(list[0].numColorBuffers, 2);
    EXPECT_EQ(list[0].numAuxBuffers, 1);
    EXPECT_EQ(list[7].resolution, GR_RESOLUTION_1024x768);
    EXPECT_EQ(list[7].numColorBuffers, 1);
    EXPECT_EQ(list[7].numAuxBuffers, 0);
    for (const GrResolution &listed : list) {
        EXPECT_EQ(open(listed.resolution), 1u) << listed.resolution;
        grSstWinClose(1);
    }
    EXPECT_EQ(open(GR_RESOLUTION_800x600), 0u);
    grGlideShutdown();

    setProductDword("Windowed", 1);
    grGlideInit();
    EXPECT_EQ(grQueryResolutions(nullptr, nullptr), 96 * recordBytes);
}

// Games size their buffer by the first answer and fill it with the second: the list never grows between
// them, whether or not the adapter could be asked the first time.
TEST_F(Queries, TheResolutionListNeverOutgrowsTheSizeAnswerBeforeIt) {
    sim::setDisplayModeAccepted(
        [](DWORD w, DWORD h, DWORD bpp) { return bpp == 16 && w == 640 && h == 480; });
    grGlideInit();
    const FxI32 recordBytes = static_cast<FxI32>(sizeof(GrResolution));
    sim::failCall("DirectDrawCreateEx", 1);
    const FxI32 sized = grQueryResolutions(nullptr, nullptr);
    EXPECT_EQ(sized, 96 * recordBytes) << "every resolution while the adapter cannot be asked";
    EXPECT_LE(grQueryResolutions(nullptr, nullptr), sized);
    const FxI32 listed = grQueryResolutions(nullptr, nullptr);
    EXPECT_EQ(listed, 4 * recordBytes);
    sim::failCall("DirectDrawCreateEx", 1);
    EXPECT_EQ(grQueryResolutions(nullptr, nullptr), listed) << "the adapter's answer is kept";
    grGlideShutdown();
}

TEST_F(Queries, ContextCallsAnswerTheFixedValues) {
    EXPECT_EQ(grSelectContext(12345), FXTRUE);
    EXPECT_EQ(grGetProcAddress(const_cast<char *>("grChromaRangeExt")), nullptr);
    EXPECT_EQ(grTexMinAddress(GR_TMU0), 0u);
}

} // namespace
