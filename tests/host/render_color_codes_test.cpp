// Colour codes against a channel-by-channel reference, and the vertex colours the combine calls lead to.
#include "glide2_draw_driver.h"

#include <random>

namespace {

// One channel of the code table, written out plainly. alpha: the alpha form of the code.
FxU32 referenceChannel(FxU32 code, FxU32 v, FxU32 k, bool alpha) {
    const double q = 1.0f / 255.0f;
    switch (code) {
    case codeVertex:
        return v;
    case codeConstant:
        return k;
    case codeHalfVertex:
        return v / 2;
    case codeHalfConstant:
        return k / 2;
    case codeInverseVertex:
        return 255 - v;
    case codeInverseConstant:
        return 255 - k;
    case codeVertexMinusConstant:
        return v > k ? v - k : 0;
    case codeConstantMinusVertex:
        return k > v ? k - v : 0;
    case codeQuarterVertex:
        return v / 4;
    case codeVertexTimesConstant:
        return alpha ? static_cast<FxU32>(std::trunc(k * q * v * q * 255))
                     : static_cast<FxU32>(std::trunc(v * q * k * q * 255));
    case codeOneMinusVertexTimesConstant:
        if (alpha) {
            double result = std::trunc((1 - k * q * v * q) * 255);
            return result <= 0 ? 0 : static_cast<FxU32>(result);
        }
        return 255 - static_cast<FxU32>(std::trunc(v * q * k * q * 255));
    case codeBlack:
        return 0;
    case codeWhite:
        return 255;
    default:
        return 0;
    }
}

FxU32 reference(FxU32 code, FxU32 v, FxU32 k) {
    FxU32 result = 0;
    for (int shift : {0, 8, 16, 24}) {
        FxU32 channel = referenceChannel(code, (v >> shift) & 0xFF, (k >> shift) & 0xFF, shift == 24);
        result |= channel << shift;
    }
    return result;
}

TEST(ColorCodes, MatchTheReferenceOnRandomColors) {
    std::mt19937 random(20240611);
    for (FxU32 code : everyColorCode) {
        SCOPED_TRACE(code);
        int mismatches = 0;
        for (int i = 0; i < 50000 && mismatches < 5; ++i) {
            FxU32 v = random();
            FxU32 k = random();
            FxU32 expected = reference(code, v, k);
            FxU32 actual = evaluateColorCode(code, v, k);
            if (actual != expected) {
                ++mismatches;
                ADD_FAILURE() << std::hex << "v " << v << " k " << k << " gives " << actual << ", expected "
                              << expected;
            }
            ASSERT_EQ(colorCodeRgb(code, v, k) | colorCodeAlpha(code, v, k), actual);
        }
    }
}

TEST(ColorCodes, DifferencesStopAtZeroInEachChannel) {
    struct Case {
        FxU32 code;
        FxU32 v, k, result;
    } cases[] = {
        {codeVertexMinusConstant, 0x0A0A0A0A, 0x14141414, 0x00000000},
        {codeVertexMinusConstant, 0x800A7F14, 0x40147F0A, 0x4000000A},
        {codeConstantMinusVertex, 0x800A7F14, 0x40147F0A, 0x000A0000},
        {codeVertexMinusConstant, 0x00FF00FF, 0xFF00FF00, 0x00FF00FF},
        {codeOneMinusVertexTimesConstant, 0xFFFFFFFF, 0xFFFFFFFF, 0x00000000},
        {codeOneMinusVertexTimesConstant, 0x00000000, 0xFFFFFFFF, 0xFFFFFFFF},
        {codeVertexTimesConstant, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {codeVertexTimesConstant, 0x80808080, 0xFF000000, 0x80000000},
        {100, 0x12345678, 0x9ABCDEF0, 0x00000000}, // no such code
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << std::hex << " " << c.v << " " << c.k);
        EXPECT_EQ(evaluateColorCode(c.code, c.v, c.k), c.result);
    }
}

// What the tests that recognise codes in drawn colours rely on.
TEST(ColorCodes, TheRevealingColorsTellEveryCodeApart) {
    for (bool alphaForm : {false, true}) {
        SCOPED_TRACE(alphaForm ? "alpha form" : "RGB form");
        for (FxU32 code : everyColorCode) {
            FxU32 results[3];
            for (int i = 0; i < 3; ++i)
                results[i] = alphaForm ? colorCodeAlpha(code, revealingVertexColors[i], revealingConstant)
                                       : colorCodeRgb(code, revealingVertexColors[i], revealingConstant);
            EXPECT_EQ(codeGiving(results, alphaForm), code);
        }
    }
}

using VertexColorCodes = Glide2DrawTest;

TEST_F(VertexColorCodes, CombineCallsChooseTheFourCodes) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grConstantColorValue(0x40608090);
    // Iterated plus texture scaled by zero: half the vertex colour, plus the constant as specular.
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ZERO,
                   GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    // Alpha: one minus constant alpha times vertex alpha.
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOCAL,
                   GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    FxU32 v = 0xC0204060;
    TlVertex drawn = drawnPoint(coloredVertex(10, 10, v));
    EXPECT_EQ(drawn.diffuse,
              (reference(codeOneMinusVertexTimesConstant, v, 0x40608090) & 0xFF000000u) | 0x00102030u);
    EXPECT_EQ(drawn.specular, 0x00608090u);

    guColorCombineFunction(GR_COLORCOMBINE_ONE);
    guAlphaSource(GR_ALPHASOURCE_CC_ALPHA);
    drawn = drawnPoint(coloredVertex(10, 10, v));
    EXPECT_EQ(drawn.diffuse, 0x40FFFFFFu);
    EXPECT_EQ(drawn.specular, 0x00FFFFFFu);
    EXPECT_EQ(sim::textureStageState(liveDevice(), 0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
}

TEST_F(VertexColorCodes, UtilitiesWithoutATranslationChangeNothing) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    guAlphaSource(GR_ALPHASOURCE_CC_ALPHA);
    sim::clearCalls();
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB);
    guColorCombineFunction(17);
    guColorCombineFunction(-1);
    guAlphaSource(4);
    guAlphaSource(-1);
    EXPECT_EQ(sim::calls().size(), 0u);
    ColorCodes codes = drawnCodes();
    EXPECT_EQ(codes.diffuseRgb, codeConstant);
    EXPECT_EQ(codes.diffuseAlpha, codeConstant);
}

} // namespace
