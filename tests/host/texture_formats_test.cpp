// The format table of each device, and the texels each converter writes.
#include "glide2_texture_driver.h"

#include <functional>

#include "engine_probe.h"
#include "texture/texel_converters.h"

namespace {

using namespace texfmt;

enum Kind { Unavailable, Native, Widened, WidenedSoftPalette };

class TextureFormats : public Glide2TextureTest {};

TEST_F(TextureFormats, EachDeviceGetsItsNativeRowsAndOnlyTheFallbacksItsTargetsAllow) {
    struct Case {
        const char *device;
        std::vector<DDPIXELFORMAT> formats;
        Kind rows[16];
    };
    const Kind U = Unavailable, N = Native, W = Widened, S = WidenedSoftPalette;
    std::vector<Case> cases = {
        {"16-bit, luminance and alpha-only formats with both 32-bit targets: alpha textures are widened to "
         "white",
         {rgb565(), argb1555(), argb4444(), luminance(8, 0xFF, 0), luminance(8, 0x0F, 0xF0),
          luminance(16, 0xFF, 0xFF00), alpha8(), xrgb8888(), argb8888()},
         {W, W, W, N, N, S, U, U, W, W, N, N, N, N, S, U}},
        {"no 32-bit formats: nothing is widened",
         {rgb565(), argb1555(), argb4444(), luminance(8, 0xFF, 0)},
         {U, U, U, N, U, U, U, U, U, U, N, N, N, U, U, U}},
        {"native 8-bit palettised textures and only the XRGB target",
         {rgb565(), paletted(8, 0), paletted(16, 0xFF00), rgb(8, 0xE0, 0x1C, 0x03, 0), xrgb8888()},
         {N, W, U, W, U, N, U, U, U, U, N, U, U, U, N, U}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.device);
        useTextureFormats(c.formats);
        openSession();
        for (int format = 0; format < 16; ++format) {
            SCOPED_TRACE(format);
            const probe::FormatRow row = probe::formatRow(format);
            EXPECT_EQ(row.available, c.rows[format] != Unavailable);
            EXPECT_EQ(row.native, c.rows[format] == Native);
            EXPECT_EQ(row.converted, c.rows[format] == Widened || c.rows[format] == S);
            EXPECT_EQ(row.softwarePalette, c.rows[format] == S);
            EXPECT_EQ(row.paletted, (format == GR_TEXFMT_P_8 || format == GR_TEXFMT_AP_88) && row.available);
            if (c.rows[format] == Unavailable) continue;
            DWORD glideBits = format < GR_TEXFMT_16BIT ? 8 : 16;
            EXPECT_EQ(row.sourceBytes, glideBits / 8);
            EXPECT_EQ(row.destinationBytes, row.native ? glideBits / 8 : 4u);
            EXPECT_EQ(row.pixelFormat.dwRGBBitCount, row.destinationBytes * 8);
            EXPECT_EQ(row.pixelFormat.dwSize, sizeof(DDPIXELFORMAT));
            if (!row.native) {
                EXPECT_EQ(row.pixelFormat.dwRGBAlphaBitMask,
                          format == GR_TEXFMT_RGB_332 || format == GR_TEXFMT_INTENSITY_8 ||
                                  format == GR_TEXFMT_P_8 || format == GR_TEXFMT_YIQ_422
                              ? 0u
                              : 0xFF000000u);
            }
        }
        unload();
        load();
    }
}

// A device record with its own FourCC and size still matches; the row keeps the layout the library asked
// for, and a record of all zeros matches none of the unused rows.
TEST_F(TextureFormats, DeviceRecordsMatchOnLayoutAlone) {
    DDPIXELFORMAT odd565 = rgb565();
    odd565.dwFourCC = 0x31545844;
    odd565.dwSize = 0;
    useTextureFormats({odd565, DDPIXELFORMAT{}});
    openSession();
    EXPECT_TRUE(probe::formatRow(GR_TEXFMT_RGB_565).native);
    EXPECT_EQ(probe::formatRow(GR_TEXFMT_RGB_565).pixelFormat.dwFourCC, 0u);
    for (int row = 0; row < probe::formatRowCount(); ++row) {
        EXPECT_EQ(probe::formatRow(row).available, row == GR_TEXFMT_RGB_565) << row;
    }
}

// The samples texel by texel, through a download onto a surface whose rows are padded.
TEST_F(TextureFormats, WidenedTexelsLandInTheTopBitsOfTheirChannels) {
    openSession();
    loadPalette({0, 0, 0, 0x00123456});
    struct Case {
        GrTextureFormat_t format;
        std::vector<FxU8> texel;
        uint32_t pixel;
    } cases[] = {
        {GR_TEXFMT_RGB_332, {0xFF}, 0x00E0E060},
        {GR_TEXFMT_RGB_332, {0x03}, 0x00000060},
        {GR_TEXFMT_ALPHA_INTENSITY_44, {0x5A}, 0x50A0A0A0},
        {GR_TEXFMT_ARGB_8332, {0xFF, 0x80}, 0x80E0E060},
        {GR_TEXFMT_INTENSITY_8, {0x7F}, 0x007F7F7F},
        {GR_TEXFMT_P_8, {3}, 0x00123456},
        {GR_TEXFMT_AP_88, {3, 0x9A}, 0x9A123456},
        {GR_TEXFMT_ALPHA_8, {0xC4}, 0xC4FFFFFF},
        {GR_TEXFMT_ALPHA_INTENSITY_88, {0x21, 0xF3}, 0xF3212121},
        // Before any NCC download, Y alone gives a grey from 0 to 255.
        {GR_TEXFMT_YIQ_422, {0xFF}, 0x00FFFFFF},
        {GR_TEXFMT_AYIQ_8422, {0x96, 0x7E}, 0x7E999999},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << int(c.texel[0]));
        std::vector<FxU8> texels;
        for (int i = 0; i < 4; ++i)
            texels.insert(texels.end(), c.texel.begin(), c.texel.end());
        IDirectDrawSurface7 *surface = download(GR_TMU0, 0, GR_LOD_2, GR_ASPECT_1x1, c.format, texels.data());
        ASSERT_NE(surface, nullptr);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(sim::pixel(surface, x, y), c.pixel);
    }
}

// Every input of every converter against the field layout: a field of n bits at the top of its channel.
TEST_F(TextureFormats, ConvertersPlaceEveryFieldWithoutReplication) {
    openSession();
    std::vector<FxU32> palette(256);
    for (FxU32 i = 0; i < 256; ++i)
        palette[i] = 0xAB000000u | (i ^ 0x5A) << 16 | (255 - i) << 8 | (i * 7 & 0xFF);
    loadPalette(palette);
    auto argb = [](FxU32 a, FxU32 r, FxU32 g, FxU32 b) { return a << 24 | r << 16 | g << 8 | b; };
    auto fromPalette = [&](FxU32 i) { return palette[i] & 0xFFFFFF; };
    auto field = [](FxU32 value, int low, int bits) { return (value >> low) & ((1u << bits) - 1); };
    auto top = [](FxU32 value, int bits) { return (value << (8 - bits)) & 0xFF; };
    // 2-bit fields sit in bits 5 and 6, below a 3-bit neighbour's top position.
    auto two = [](FxU32 value) { return value << 5; };

    struct Converter8 {
        const char *name;
        TexelConverter convert;
        std::function<FxU32(FxU32)> expected;
    } eightBit[] = {
        {"AI44", convertAi44ToArgb,
         [&](FxU32 s) {
             return argb(top(field(s, 4, 4), 4), top(s & 15, 4), top(s & 15, 4), top(s & 15, 4));
         }},
        {"A8", convertA8ToArgb, [&](FxU32 s) { return argb(s, 255, 255, 255); }},
        {"RGB332", convertRgb332ToXrgb,
         [&](FxU32 s) {
             return argb(0, top(field(s, 5, 3), 3), top(field(s, 2, 3), 3), two(field(s, 0, 2)));
         }},
        {"I8", convertI8ToXrgb, [&](FxU32 s) { return argb(0, s, s, s); }},
        {"P8", convertP8ToXrgb, [&](FxU32 s) { return fromPalette(s); }},
    };
    std::vector<FxU8> source(256);
    std::vector<FxU32> out(256);
    for (int i = 0; i < 256; ++i)
        source[i] = static_cast<FxU8>(i);
    for (const Converter8 &c : eightBit) {
        SCOPED_TRACE(c.name);
        c.convert(out.data(), source.data(), 256);
        for (FxU32 s = 0; s < 256; ++s)
            ASSERT_EQ(out[s], c.expected(s)) << s;
        // A row that starts off a word and ends inside a block of the unrolled loop.
        const FxU32 offset = 3, shortRow = 13;
        std::vector<FxU32> row(shortRow + 1, 0xDEADBEEFu);
        c.convert(row.data(), source.data() + offset, shortRow);
        for (FxU32 s = 0; s < shortRow; ++s)
            ASSERT_EQ(row[s], c.expected(s + offset)) << s;
        ASSERT_EQ(row[shortRow], 0xDEADBEEFu);
    }

    struct Converter16 {
        const char *name;
        TexelConverter convert;
        std::function<FxU32(FxU32 lo, FxU32 hi)> expected;
    } sixteenBit[] = {
        {"AI88", convertAi88ToArgb, [&](FxU32 lo, FxU32 hi) { return argb(hi, lo, lo, lo); }},
        {"ARGB8332", convertArgb8332ToArgb,
         [&](FxU32 lo, FxU32 hi) {
             return argb(hi, top(field(lo, 5, 3), 3), top(field(lo, 2, 3), 3), two(field(lo, 0, 2)));
         }},
        {"AP88", convertAp88ToArgb, [&](FxU32 lo, FxU32 hi) { return hi << 24 | fromPalette(lo); }},
    };
    // One byte of offset: applications' texels need not be aligned.
    std::vector<FxU8> source16(1 + 65536 * 2);
    for (FxU32 v = 0; v < 65536; ++v) {
        source16[1 + v * 2] = static_cast<FxU8>(v);
        source16[2 + v * 2] = static_cast<FxU8>(v >> 8);
    }
    std::vector<FxU32> out16(65536);
    for (const Converter16 &c : sixteenBit) {
        SCOPED_TRACE(c.name);
        c.convert(out16.data(), source16.data() + 1, 65536);
        for (FxU32 v = 0; v < 65536; ++v)
            ASSERT_EQ(out16[v], c.expected(v & 0xFF, v >> 8)) << v;
    }
}

// Native texels are copied row by row, converted ones texel by texel, each row at the surface's pitch.
TEST_F(TextureFormats, EveryRowOfTheLevelReachesTheSurface) {
    openSession();
    std::vector<FxU8> texels(64 * 16 * 2);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<FxU8>(i * 131 + 7);
    for (GrTextureFormat_t format : {GR_TEXFMT_RGB_565, GR_TEXFMT_RGB_332, GR_TEXFMT_ARGB_8332}) {
        SCOPED_TRACE(format);
        IDirectDrawSurface7 *surface = download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_4x1, format, texels.data());
        ASSERT_NE(surface, nullptr);
        sim::SurfaceInfo info = sim::surfaceInfo(surface);
        ASSERT_EQ(info.width, 64u);
        ASSERT_EQ(info.height, 16u);
        ASSERT_GT(info.pitch, static_cast<LONG>(64 * info.format.dwRGBBitCount / 8));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 64; ++x) {
                size_t at = static_cast<size_t>(y * 64 + x);
                uint32_t expected =
                    format == GR_TEXFMT_RGB_565 ? texels[at * 2] | texels[at * 2 + 1] << 8
                    : format == GR_TEXFMT_RGB_332
                        ? (texels[at] & 0xE0u) << 16 | (texels[at] & 0x1Cu) << 11 | (texels[at] & 0x03u) << 5
                        : static_cast<uint32_t>(texels[at * 2 + 1]) << 24 | (texels[at * 2] & 0xE0u) << 16 |
                              (texels[at * 2] & 0x1Cu) << 11 | (texels[at * 2] & 0x03u) << 5;
                ASSERT_EQ(sim::pixel(surface, x, y), expected) << x << "," << y;
            }
        }
    }
}

} // namespace
