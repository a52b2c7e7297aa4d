// gu3dfGetInfo and gu3dfLoad on 3DF files written here the way the vendor's texture tools write them.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "sim/sim.h"
#include "glide2x.h"

namespace {

typedef std::vector<unsigned char> Bytes;

std::string header(const char *format, int smallest, int largest, int aspectWidth, int aspectHeight) {
    return std::string("3df v1.0\n") + format + "\nlod range: " + std::to_string(smallest) + " " +
           std::to_string(largest) + "\naspect ratio: " + std::to_string(aspectWidth) + " " +
           std::to_string(aspectHeight) + "\n";
}

Bytes bigEndian16(const std::vector<unsigned> &values) {
    Bytes bytes;
    for (unsigned value : values) {
        bytes.push_back(static_cast<unsigned char>(value >> 8));
        bytes.push_back(static_cast<unsigned char>(value));
    }
    return bytes;
}

class TdfFileTest : public ::testing::Test {
  protected:
    Gu3dfInfo info;

    void SetUp() override {
        sim::reset();
        memset(&info, 0xA5, sizeof(info));
    }

    void TearDown() override { EXPECT_EQ(sim::leakReport(), ""); }

    std::string write(const std::string &name, const std::string &text, const Bytes &body = Bytes()) {
        std::string path = sim::currentDirectory() + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.write(reinterpret_cast<const char *>(body.data()), static_cast<std::streamsize>(body.size()));
        return path;
    }

    // gu3dfGetInfo, then gu3dfLoad into a buffer of mem_required bytes followed by guard bytes.
    FxBool load(const std::string &path, Bytes *buffer, size_t guard = 16) {
        if (!gu3dfGetInfo(path.c_str(), &info)) return FXFALSE;
        buffer->assign(info.mem_required + guard, 0xEE);
        info.data = buffer->data();
        return gu3dfLoad(path.c_str(), &info);
    }
};

TEST_F(TdfFileTest, EveryFormatWordGivesItsFormatAndTexelSize) {
    const struct {
        const char *word;
        GrTextureFormat_t format;
        FxU32 memRequired;
    } cases[] = {
        {"rgb332", GR_TEXFMT_RGB_332, 64},      {"yiq", GR_TEXFMT_YIQ_422, 64},
        {"a8", GR_TEXFMT_ALPHA_8, 64},          {"p8", GR_TEXFMT_P_8, 64},
        {"argb8332", GR_TEXFMT_ARGB_8332, 128}, {"ayiq8422", GR_TEXFMT_AYIQ_8422, 128},
        {"rgb565", GR_TEXFMT_RGB_565, 128},     {"argb1555", GR_TEXFMT_ARGB_1555, 128},
        {"argb4444", GR_TEXFMT_ARGB_4444, 128}, {"ap88", GR_TEXFMT_AP_88, 128},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.word);
        std::string path = write("t.3df", header(c.word, 8, 8, 1, 1));
        ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
        EXPECT_EQ(info.header.format, c.format);
        EXPECT_EQ(info.mem_required, c.memRequired);
        EXPECT_EQ(info.header.small_lod, GR_LOD_8);
        EXPECT_EQ(info.header.large_lod, GR_LOD_8);
    }
}

TEST_F(TdfFileTest, HeaderGivesSizesLevelsAspectAndMemory) {
    const struct {
        const char *word;
        int smallest, largest, aspectWidth, aspectHeight;
        FxU32 width, height;
        int smallLod, largeLod;
        GrAspectRatio_t aspect;
        FxU32 memRequired;
    } cases[] = {
        {"rgb565", 1, 256, 1, 1, 256, 256, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, 174762},
        {"argb1555", 256, 256, 8, 1, 256, 32, GR_LOD_256, GR_LOD_256, GR_ASPECT_8x1, 16384},
        {"argb8332", 256, 256, 1, 1, 256, 256, GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, 131072},
        {"a8", 4, 64, 2, 1, 64, 32, GR_LOD_4, GR_LOD_64, GR_ASPECT_2x1, 2728},
        {"a8", 1, 256, 1, 4, 64, 256, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x4, 21845},
        {"rgb565", 1, 256, 8, 1, 256, 32, GR_LOD_1, GR_LOD_256, GR_ASPECT_8x1, 21844},
        {"p8", 16, 128, 1, 8, 16, 128, GR_LOD_16, GR_LOD_128, GR_ASPECT_1x8, 2720},
        {"a8", 2, 32, 4, 1, 32, 8, GR_LOD_2, GR_LOD_32, GR_ASPECT_4x1, 341},
        {"a8", 32, 32, 1, 2, 16, 32, GR_LOD_32, GR_LOD_32, GR_ASPECT_1x2, 512},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + std::to_string(c.smallest) + ".." +
                     std::to_string(c.largest) + " " + std::to_string(c.aspectWidth) + ":" +
                     std::to_string(c.aspectHeight));
        std::string path =
            write("t.3df", header(c.word, c.smallest, c.largest, c.aspectWidth, c.aspectHeight));
        ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
        EXPECT_EQ(info.header.width, c.width);
        EXPECT_EQ(info.header.height, c.height);
        EXPECT_EQ(info.header.small_lod, c.smallLod);
        EXPECT_EQ(info.header.large_lod, c.largeLod);
        EXPECT_EQ(info.header.aspect_ratio, c.aspect);
        EXPECT_EQ(info.mem_required, c.memRequired);
    }
}

TEST_F(TdfFileTest, UnknownWordsAndSizesKeepTheirFields) {
    info.header.format = GR_TEXFMT_ARGB_4444;
    info.header.small_lod = 77;
    info.header.large_lod = 66;
    // No word exists for the intensity formats; 3 and 512 are no level sizes.
    std::string path = write("t.3df", header("i8", 3, 512, 1, 1));
    ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
    EXPECT_EQ(info.header.format, GR_TEXFMT_ARGB_4444);
    EXPECT_EQ(info.header.small_lod, 77);
    EXPECT_EQ(info.header.large_lod, 66);
    EXPECT_EQ(info.header.width, 512u);
    EXPECT_EQ(info.mem_required, 2u * (9 + 36 + 144 + 576 + 2304 + 9216 + 36864 + 147456));
    // A level the record does not name cannot be loaded into the buffer.
    Bytes buffer(info.mem_required);
    info.data = buffer.data();
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
}

TEST_F(TdfFileTest, MalformedHeadersAreRefusedAndLeaveInfoAlone) {
    const struct {
        const char *name;
        std::string text;
    } cases[] = {
        {"not a 3df file", "BM6\n\n\n\n"},
        {"empty file", ""},
        {"ends inside the level range", "3df v1.0\nrgb565\nlod range: 1"},
        {"ends before the aspect terms", "3df v1.0\nrgb565\nlod range: 1 256\naspect ratio:"},
        {"format word missing", "3df v1.0\nlod range: 1 256\naspect ratio: 1 1\n"},
        {"over-long version", header("rgb565", 1, 256, 1, 1).replace(5, 3, "1.000000000000")},
        {"over-long format word", header("argb1555argb1555", 1, 256, 1, 1)},
        {"zero width term", header("rgb565", 1, 256, 0, 1)},
        {"zero height term", header("rgb565", 1, 256, 1, 0)},
        {"negative term", header("rgb565", 1, 256, -2, 1)},
        {"zero smallest size", header("rgb565", 0, 256, 1, 1)},
        {"negative smallest size", header("rgb565", -4, 256, 1, 1)},
        {"largest below smallest", header("rgb565", 256, 1, 1, 1)},
        {"number beyond int", "3df v1.0\nrgb565\nlod range: 1 99999999999\naspect ratio: 1 1\n"},
        {"memory beyond 32 bits", header("argb8332", 1, 1 << 30, 1, 1)},
        {"text after the aspect terms", "3df v1.0\nrgb565\nlod range: 1 256\naspect ratio: 1 1 x\n"},
        {"header beyond 1 KiB",
         "3df v1.0\nrgb565\nlod range:" + std::string(2000, ' ') + "1 256\naspect ratio: 1 1\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = write("bad.3df", c.text);
        Gu3dfInfo before = info;
        EXPECT_EQ(gu3dfGetInfo(path.c_str(), &info), FXFALSE);
        EXPECT_EQ(memcmp(&before, &info, sizeof(info)), 0);
        Bytes buffer(1 << 17, 0xEE);
        info.header = {8, 8, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_ALPHA_8};
        info.mem_required = 64;
        info.data = buffer.data();
        EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
        EXPECT_EQ(buffer[0], 0xEE);
        memcpy(&info, &before, sizeof(info));
    }
    EXPECT_EQ(gu3dfGetInfo((sim::currentDirectory() + "/missing.3df").c_str(), &info), FXFALSE);
    EXPECT_EQ(gu3dfGetInfo(nullptr, &info), FXFALSE);
    EXPECT_EQ(gu3dfLoad(nullptr, &info), FXFALSE);
    std::string good = write("good.3df", header("a8", 8, 8, 1, 1), Bytes(64, 1));
    EXPECT_EQ(gu3dfGetInfo(good.c_str(), nullptr), FXFALSE);
    EXPECT_EQ(gu3dfLoad(good.c_str(), nullptr), FXFALSE);
}

TEST_F(TdfFileTest, HeaderScansLikeTheFormattedInputOfTheTools) {
    // Octal and hexadecimal levels, blanks around fields and CR LF line ends are all header.
    const std::string texts[] = {
        "3df v1.0\nrgb565\nlod range: 010 0x10\naspect ratio: 2 1\n",
        "3df v1.0\r\nrgb565\r\nlod range: 8 16\r\naspect ratio: 2 1\r\n",
        "3df   v1.0 rgb565 lod  range:8\t16 aspect ratio: +2 1   \n",
    };
    for (const std::string &text : texts) {
        SCOPED_TRACE(text);
        std::string path = write("t.3df", text, bigEndian16(std::vector<unsigned>(128, 0x2020)));
        Bytes buffer;
        ASSERT_EQ(load(path, &buffer), FXTRUE);
        EXPECT_EQ(info.header.small_lod, GR_LOD_8);
        EXPECT_EQ(info.header.large_lod, GR_LOD_16);
        EXPECT_EQ(info.header.aspect_ratio, GR_ASPECT_2x1);
        EXPECT_EQ(info.mem_required, 320u);
        FxU16 first;
        memcpy(&first, buffer.data(), 2);
        EXPECT_EQ(first, 0x2020);
    }
}

TEST_F(TdfFileTest, DataStartingWithWhiteSpaceBytesIsReadIntact) {
    for (unsigned char first : {0x20, 0x0A, 0x09, 0x0B, 0x0C, 0x0D}) {
        SCOPED_TRACE(static_cast<int>(first));
        Bytes texels(64);
        for (size_t i = 0; i < texels.size(); ++i)
            texels[i] = static_cast<unsigned char>(i < 3 ? first : i);
        std::string path = write("t.3df", header("a8", 8, 8, 1, 1), texels);
        Bytes buffer;
        ASSERT_EQ(load(path, &buffer), FXTRUE);
        EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 64), texels);
    }
}

TEST_F(TdfFileTest, SixteenBitTexelsAreReadBigEndianWithEveryLevel) {
    // argb1555 256 x 32 (aspect 8:1), then the 128 x 16 level.
    std::vector<unsigned> texels(8192 + 2048);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<unsigned>((i * 7919) & 0xFFFF);
    std::string path = write("t.3df", header("argb1555", 128, 256, 8, 1), bigEndian16(texels));
    Bytes buffer;
    ASSERT_EQ(load(path, &buffer), FXTRUE);
    ASSERT_EQ(info.mem_required, 2u * (8192 + 2048));
    std::vector<FxU16> read(texels.size());
    memcpy(read.data(), buffer.data(), 2 * read.size());
    for (size_t i = 0; i < read.size(); ++i)
        if (read[i] != texels[i])
            FAIL() << "texel " << i << " is " << read[i] << ", file holds " << texels[i];
    EXPECT_EQ(buffer[info.mem_required], 0xEE);
}

// A file that ends inside the smaller levels gives the largest level and what follows of the others.
TEST_F(TdfFileTest, AFileEndingAmongTheSmallerLevelsLoadsWhatItHolds) {
    Bytes texels(64 * 64 + 16 * 32, 0x5A);
    std::string path = write("short.3df", header("rgb332", 1, 64, 1, 1), texels);
    Bytes buffer;
    ASSERT_EQ(load(path, &buffer), FXTRUE);
    ASSERT_GT(info.mem_required, texels.size());
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + texels.size()), texels);
    EXPECT_EQ(buffer[texels.size()], 0xEE);
}

TEST_F(TdfFileTest, PaletteEntriesAreReadBigEndianBeforeTheIndices) {
    for (const char *word : {"p8", "ap88"}) {
        SCOPED_TRACE(word);
        Bytes body;
        for (unsigned i = 0; i < 256; ++i) {
            // 0x00RRGGBB with red = i, green = 255 - i, blue = 0x40
            unsigned char entry[4] = {0x00, static_cast<unsigned char>(i),
                                      static_cast<unsigned char>(255 - i), 0x40};
            body.insert(body.end(), entry, entry + 4);
        }
        const bool wide = std::string(word) == "ap88";
        for (unsigned i = 0; i < 16; ++i) {
            if (wide) body.push_back(0x80); // alpha, the high byte of the big-endian texel
            body.push_back(static_cast<unsigned char>(0x20 + i));
        }
        std::string path = write("t.3df", header(word, 4, 4, 1, 1), body);
        Bytes buffer;
        ASSERT_EQ(load(path, &buffer), FXTRUE);
        EXPECT_EQ(info.table.palette.data[0], 0x0000FF40u);
        EXPECT_EQ(info.table.palette.data[1], 0x0001FE40u);
        EXPECT_EQ(info.table.palette.data[255], 0x00FF0040u);
        if (wide) {
            FxU16 texel;
            memcpy(&texel, buffer.data() + 30, 2);
            EXPECT_EQ(texel, 0x802F);
        } else {
            EXPECT_EQ(buffer[0], 0x20);
            EXPECT_EQ(buffer[15], 0x2F);
            EXPECT_EQ(buffer[16], 0xEE);
        }
    }
}

TEST_F(TdfFileTest, YiqFilesCarryTheirNccTableBeforeTheTexels) {
    for (const char *word : {"yiq", "ayiq8422"}) {
        SCOPED_TRACE(word);
        std::vector<unsigned> table;
        // High bits set on purpose: Y keeps 8 bits, I and Q keep 9.
        for (unsigned i = 0; i < 16; ++i)
            table.push_back(0xAB00 | (i * 16));
        for (unsigned i = 0; i < 12; ++i)
            table.push_back(0xFE00 | (i * 40));
        for (unsigned i = 0; i < 12; ++i)
            table.push_back(0x0100 | i);
        Bytes body = bigEndian16(table);
        const bool wide = std::string(word) == "ayiq8422";
        Bytes texels(wide ? 8 : 4);
        for (size_t i = 0; i < texels.size(); ++i)
            texels[i] = static_cast<unsigned char>(0x90 + i);
        body.insert(body.end(), texels.begin(), texels.end());
        std::string path = write("t.3df", header(word, 2, 2, 1, 1), body);
        Bytes buffer;
        ASSERT_EQ(load(path, &buffer), FXTRUE);
        const GuNccTable &ncc = info.table.nccTable;
        EXPECT_EQ(ncc.yRGB[0], 0x00);
        EXPECT_EQ(ncc.yRGB[15], 0xF0);
        EXPECT_EQ(ncc.iRGB[0][1], 0x28);
        EXPECT_EQ(ncc.iRGB[3][2], 0x1B8);
        EXPECT_EQ(ncc.qRGB[2][0], 0x106);
        EXPECT_EQ(ncc.packed_data[0], 0x30201000u);
        EXPECT_EQ(ncc.packed_data[3], 0xF0E0D0C0u);
        EXPECT_EQ(ncc.packed_data[4], (0x000u << 18) | (0x028u << 9) | 0x050u);
        EXPECT_EQ(ncc.packed_data[7], (0x168u << 18) | (0x190u << 9) | 0x1B8u);
        EXPECT_EQ(ncc.packed_data[8], (0x100u << 18) | (0x101u << 9) | 0x102u);
        EXPECT_EQ(ncc.packed_data[11], (0x109u << 18) | (0x10Au << 9) | 0x10Bu);
        if (wide) {
            FxU16 texel;
            memcpy(&texel, buffer.data(), 2);
            EXPECT_EQ(texel, 0x9091);
        } else {
            EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), texels);
        }
    }
}

TEST_F(TdfFileTest, TruncatedFilesAreRefusedWithoutTouchingBufferOrTable) {
    const struct {
        const char *name;
        const char *word;
        size_t bodyBytes;
    } cases[] = {
        {"palette cut short", "p8", 1000},  {"indices cut short", "p8", 1024 + 63},
        {"ncc table cut short", "yiq", 79}, {"16-bit level one byte short", "rgb565", 127},
        {"header only", "a8", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = write("t.3df", header(c.word, 8, 8, 1, 1), Bytes(c.bodyBytes, 0x11));
        ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
        Bytes buffer(info.mem_required, 0xEE);
        info.data = buffer.data();
        memset(&info.table, 0x5A, sizeof(info.table));
        EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
        EXPECT_EQ(buffer, Bytes(info.mem_required, 0xEE));
        EXPECT_EQ(info.table.palette.data[0], 0x5A5A5A5Au);
    }
}

TEST_F(TdfFileTest, LoadRefusesARecordThatDoesNotFitItsBuffer) {
    std::string path = write("t.3df", header("rgb565", 8, 8, 1, 1), Bytes(128, 0x11));
    const struct {
        const char *name;
        int largeLod;
        GrAspectRatio_t aspect;
        FxU32 memRequired;
        bool nullData;
    } cases[] = {
        {"level beyond 1", 9, GR_ASPECT_1x1, 1 << 20, false},
        {"negative level", -1, GR_ASPECT_1x1, 1 << 20, false},
        {"aspect beyond 1x8", GR_LOD_8, 7, 1 << 20, false},
        {"buffer smaller than the level", GR_LOD_8, GR_ASPECT_1x1, 127, false},
        {"no buffer", GR_LOD_8, GR_ASPECT_1x1, 128, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
        Bytes buffer(1 << 20, 0xEE);
        info.header.large_lod = c.largeLod;
        info.header.aspect_ratio = c.aspect;
        info.mem_required = c.memRequired;
        info.data = c.nullData ? nullptr : buffer.data();
        EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
        EXPECT_EQ(buffer[0], 0xEE);
    }
}

} // namespace
