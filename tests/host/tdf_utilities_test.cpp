// guEncodeRLE16, guEndianSwapBytes and guEndianSwapWords.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/sim.h"
#include "glide2x.h"

namespace {

class TextureUtilitiesTest : public ::testing::Test {
  protected:
    void SetUp() override { sim::reset(); }
    void TearDown() override { EXPECT_EQ(sim::leakReport(), ""); }

    // Encodes into a buffer with room to spare; returns the words written before the guard.
    static std::vector<FxU32> encode(std::vector<FxU16> texels, FxU32 width, FxU32 height, int *size) {
        std::vector<FxU32> words(texels.size() + 4, 0xDEADBEEF);
        *size = guEncodeRLE16(words.data(), texels.data(), width, height);
        size_t written = 0;
        while (written < words.size() && words[written] != 0xDEADBEEF)
            ++written;
        words.resize(written);
        return words;
    }
};

TEST_F(TextureUtilitiesTest, Rle16WritesOneWordPerRunAndMeasuresWithoutDestination) {
    const struct {
        const char *name;
        std::vector<FxU16> texels;
        FxU32 width, height;
        std::vector<FxU32> words;
    } cases[] = {
        {"run then single", {5, 5, 5, 7}, 4, 1, {0x00030005, 0x00010007}},
        {"single texel", {0xBEEF}, 1, 1, {0x0001BEEF}},
        {"runs across rows", {1, 1, 1, 2, 2, 1}, 3, 2, {0x00030001, 0x00020002, 0x00010001}},
        {"only width x height texels", {9, 9, 9, 9, 9, 9}, 2, 2, {0x00040009}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int size = 0;
        EXPECT_EQ(encode(c.texels, c.width, c.height, &size), c.words);
        EXPECT_EQ(size, static_cast<int>(4 * c.words.size()));
        std::vector<FxU16> texels = c.texels;
        EXPECT_EQ(guEncodeRLE16(nullptr, texels.data(), c.width, c.height), size);
    }
}

TEST_F(TextureUtilitiesTest, Rle16SplitsRunsLongerThanSixteenBits) {
    const struct {
        FxU32 width, height;
        std::vector<FxU32> words;
    } cases[] = {
        {256, 256, {0xFFFF1234, 0x00011234}},
        {65535, 1, {0xFFFF1234}},
        {256, 512, {0xFFFF1234, 0xFFFF1234, 0x00021234}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        int size = 0;
        EXPECT_EQ(encode(std::vector<FxU16>(c.width * c.height, 0x1234), c.width, c.height, &size), c.words);
        EXPECT_EQ(size, static_cast<int>(4 * c.words.size()));
    }
}

TEST_F(TextureUtilitiesTest, Rle16OfNothingIsEmpty) {
    FxU32 word = 0xDEADBEEF;
    FxU16 texel = 3;
    EXPECT_EQ(guEncodeRLE16(&word, &texel, 0, 5), 0);
    EXPECT_EQ(guEncodeRLE16(&word, &texel, 5, 0), 0);
    EXPECT_EQ(guEncodeRLE16(&word, nullptr, 4, 4), 0);
    EXPECT_EQ(word, 0xDEADBEEFu);
}

TEST_F(TextureUtilitiesTest, EndianSwapsExchangeBytesAndHalves) {
    const struct {
        FxU16 in, out;
    } bytes[] = {{0x1234, 0x3412}, {0x00FF, 0xFF00}, {0x0000, 0x0000}, {0xFFFF, 0xFFFF}};
    for (const auto &c : bytes) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(guEndianSwapBytes(c.in), c.out);
    }
    const struct {
        FxU32 in, out;
    } words[] = {{0x12345678, 0x56781234}, {0x0000FFFF, 0xFFFF0000}, {0x80000001, 0x00018000}};
    for (const auto &c : words) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(guEndianSwapWords(c.in), c.out);
    }
}

} // namespace
