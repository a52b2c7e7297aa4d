// The combine translation: table rules, the colour codes and stage-0 operations that the combine calls
// choose, their trace lines and the suppression of redundant operations.
#include "glide2_draw_driver.h"

#include "engine_probe.h"

namespace {

struct EntryCase {
    const char *rule;
    GrCombineFunction_t function;
    GrCombineFactor_t factor;
    GrCombineLocal_t local;
    GrCombineOther_t other;
    FxU32 diffuseCode;
    FxU32 specularCode;
    DWORD stageOp;
};

class CombineTable : public Glide2DrawTest {
  protected:
    static DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        return sim::textureStageState(liveDevice(), stage, type);
    }

    static size_t stageCalls(D3DTEXTURESTAGESTATETYPE type) {
        size_t count = 0;
        for (const sim::Call &call : named("SetTextureStageState"))
            if (call.args[0] == 0 && call.args[1] == static_cast<unsigned long long>(type)) ++count;
        return count;
    }

    // Each combination through grColorCombine: the RGB codes it chooses and the stage-0 operation it sends.
    static void expectEntries(const EntryCase *cases, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const EntryCase &c = cases[i];
            SCOPED_TRACE(c.rule);
            grColorCombine(c.function, c.factor, c.local, c.other, FXFALSE);
            ColorCodes codes = drawnCodes();
            EXPECT_EQ(codes.diffuseRgb, c.diffuseCode);
            EXPECT_EQ(codes.specularRgb, c.specularCode);
            EXPECT_EQ(stageState(0, D3DTSS_COLOROP), c.stageOp);
        }
    }

    static size_t occurrences(const std::string &text, const std::string &line) {
        size_t count = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++count;
        return count;
    }
};

TEST_F(CombineTable, LaterRulesOverrideEarlierOnes) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const EntryCase cases[] = {
        {"LOCAL_ALPHA gives the constant alpha", GR_COMBINE_FUNCTION_LOCAL_ALPHA,
         GR_COMBINE_FACTOR_TEXTURE_RGB, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED,
         codeConstantAlpha, codeBlack, D3DTOP_SELECTARG2},
        {"LOCAL_ALPHA gives the vertex alpha", GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL_ALPHA,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, codeVertexAlpha, codeBlack, D3DTOP_SELECTARG2},
        {"SCALE_OTHER_ADD_LOCAL_ALPHA adds the constant alpha",
         GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
         GR_COMBINE_OTHER_CONSTANT, codeConstant, codeConstantAlpha, D3DTOP_SELECTARG2},
        {"ZERO overrides the defaults", GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_TEXTURE_ALPHA,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, codeBlack, codeBlack, D3DTOP_SELECTARG2},
        {"LOCAL with a constant local", GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO,
         GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE, codeConstant, codeBlack, D3DTOP_SELECTARG2},
        {"LOCAL with a depth local keeps the default", GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO,
         GR_COMBINE_LOCAL_DEPTH, GR_COMBINE_OTHER_TEXTURE, codeVertex, codeBlack, D3DTOP_SELECTARG1},
        {"texture times iterated", GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, codeVertex, codeBlack, D3DTOP_MODULATE},
        {"iterated times one minus constant", GR_COMBINE_FUNCTION_SCALE_OTHER,
         GR_COMBINE_FACTOR_ONE_MINUS_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED,
         codeOneMinusVertexTimesConstant, codeBlack, D3DTOP_SELECTARG2},
        {"SCALE_OTHER with a depth local keeps the factor rule", GR_COMBINE_FUNCTION_SCALE_OTHER,
         GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_DEPTH, GR_COMBINE_OTHER_ITERATED, codeVertex,
         codeBlack, D3DTOP_MODULATE},
        {"scaled texture plus constant", GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ZERO,
         GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE, codeBlack, codeConstant, D3DTOP_MODULATE},
        {"half iterated plus iterated", GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ZERO,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_ITERATED, codeHalfVertex, codeVertex, D3DTOP_MODULATE},
        {"texture minus iterated", GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, codeVertex, codeBlack, D3DTOP_SUBTRACT},
        {"constant minus iterated", GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE,
         GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, codeConstantMinusVertex, codeBlack,
         D3DTOP_SELECTARG2},
        {"BLEND by texture RGB over a constant replaces the earlier rule", GR_COMBINE_FUNCTION_BLEND,
         GR_COMBINE_FACTOR_TEXTURE_RGB, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, codeVertex,
         codeHalfConstant, D3DTOP_MODULATE},
        {"BLEND by other alpha", GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_OTHER_ALPHA,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT, codeVertexTimesConstant, codeBlack,
         D3DTOP_SELECTARG2},
        {"function 8 keeps the defaults", GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA,
         GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_ITERATED, codeVertex, codeBlack,
         D3DTOP_SELECTARG2},
        {"function 9 with an iterated local", GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL,
         GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT, codeInverseVertex,
         codeVertex, D3DTOP_SELECTARG2},
        {"function 9 by texture alpha with a constant local", GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL,
         GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE,
         codeInverseConstant, codeConstant, D3DTOP_MODULATE},
        {"function 9 with a depth local keeps the default", GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL,
         GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_DEPTH, GR_COMBINE_OTHER_TEXTURE, codeVertex, codeBlack,
         D3DTOP_SELECTARG1},
    };
    expectEntries(cases, sizeof(cases) / sizeof(cases[0]));
}

// The factor LOCAL_ALPHA and the function that adds the local alpha read the vertex alpha (local ITERATED)
// or the constant alpha (local CONSTANT): a white texture times vertex alpha 128 is 128, not white.
TEST_F(CombineTable, LocalAlphaScalesAndAddsTheVertexOrConstantAlpha) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const FxU32 rgb = 0x00FFFFFF;
    struct Case {
        const char *what;
        GrCombineFunction_t function;
        GrCombineLocal_t local;
        GrCombineOther_t other;
        FxU32 vertex;
        FxU32 diffuseRgb;
        FxU32 specularRgb;
        DWORD stageOp;
    } cases[] = {
        {"texture times vertex alpha", GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_LOCAL_ITERATED,
         GR_COMBINE_OTHER_TEXTURE, 0x80FF2010, 0x808080, 0, D3DTOP_MODULATE},
        {"texture times vertex alpha plus vertex alpha", GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, 0x40123456, 0x404040, 0x404040,
         D3DTOP_MODULATE},
        {"vertex colour times constant alpha", GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_LOCAL_CONSTANT,
         GR_COMBINE_OTHER_ITERATED, 0xFFC86432, 0x643219, 0, D3DTOP_SELECTARG2},
    };
    grConstantColorValue(0x80FFFFFF);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        grColorCombine(c.function, GR_COMBINE_FACTOR_LOCAL_ALPHA, c.local, c.other, FXFALSE);
        TlVertex drawn = drawnPoint(coloredVertex(10.0f, 10.0f, c.vertex));
        EXPECT_EQ(drawn.diffuse & rgb, c.diffuseRgb);
        EXPECT_EQ(drawn.specular & rgb, c.specularRgb);
        EXPECT_EQ(stageState(0, D3DTSS_COLOROP), c.stageOp);
    }
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    EXPECT_EQ(drawnPoint(coloredVertex(10.0f, 10.0f, 0x80FFFFFF)).diffuse >> 24, 0x80u);
    EXPECT_EQ(stageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));
}

TEST_F(CombineTable, WaveRaceAddsAQuarterOfTheVertexColorToTheTexture) {
    setProductDword("WaveRace", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const EntryCase cases[] = {
        {"texture times iterated", GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, codeBlack, codeQuarterVertex,
         D3DTOP_SELECTARG1},
        {"texture times constant is untouched", GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
         GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE, codeConstant, codeBlack, D3DTOP_MODULATE},
    };
    expectEntries(cases, 2);

    // Every open rebuilds the table from the setting then in force.
    grSstWinClose();
    setProductDword("WaveRace", 0);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    EXPECT_EQ(drawnCodes().diffuseRgb, codeVertex);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
}

TEST_F(CombineTable, BlendByTextureAlphaDependsOnTheDevice) {
    grGlideInit();
    ASSERT_EQ(open(), FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    ColorCodes codes = drawnCodes();
    EXPECT_EQ(codes.diffuseRgb, codeConstant);
    EXPECT_EQ(codes.specularRgb, codeBlack);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_BLENDTEXTUREALPHA));
    grSstWinClose();

    for (int type = 0; type < 5; ++type)
        sim::deviceConfig(static_cast<sim::DeviceType>(type)).caps.dwTextureOpCaps &=
            ~static_cast<DWORD>(D3DTEXOPCAPS_BLENDTEXTUREALPHA);
    ASSERT_EQ(open(), FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    codes = drawnCodes();
    EXPECT_EQ(codes.diffuseRgb, codeVertex);
    EXPECT_EQ(codes.specularRgb, codeBlack);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
}

TEST_F(CombineTable, AlphaCombineMultipliesWhereTheColorBlendsByTextureAlpha) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    grColorCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    std::vector<sim::Call> stage = named("SetTextureStageState");
    ASSERT_EQ(stage.size(), 2u);
    EXPECT_EQ(firstArgs(stage[0], 3),
              (std::vector<unsigned long long>{0, D3DTSS_COLOROP, D3DTOP_BLENDTEXTUREALPHA}));
    EXPECT_EQ(firstArgs(stage[1], 3), (std::vector<unsigned long long>{0, D3DTSS_ALPHAOP, D3DTOP_MODULATE}));
    ColorCodes codes = drawnCodes();
    EXPECT_EQ(codes.diffuseAlpha, codeVertex);
    EXPECT_EQ(codes.specularAlpha, codeBlack);
}

TEST_F(CombineTable, InvertedZeroFunctionIsWhite) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    struct Case {
        FxBool invert;
        FxU32 code;
    } cases[] = {{1, codeWhite}, {0, codeBlack}, {2, codeBlack}, {-1, codeBlack}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.invert);
        grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_CONSTANT, c.invert);
        ColorCodes codes = drawnCodes();
        EXPECT_EQ(codes.diffuseRgb, c.code);
        EXPECT_EQ(codes.specularRgb, c.code);
        EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    }
    // Invert only turns the zero function white.
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXTRUE);
    EXPECT_EQ(drawnCodes().diffuseRgb, codeConstant);
}

TEST_F(CombineTable, RepeatedCombinationsAreTracedOnceAndSentOnce) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    grColorCombine(3, 1, 0, 1, FXFALSE);
    grColorCombine(3, 1, 0, 1, FXFALSE);
    EXPECT_EQ(stageCalls(D3DTSS_COLOROP), 1u);
    // Another combination with the same operation is traced but not sent again.
    grColorCombine(3, 1, 1, 1, FXFALSE);
    EXPECT_EQ(stageCalls(D3DTSS_COLOROP), 1u);
    grAlphaCombine(3, 1, 0, 1, FXFALSE);
    grAlphaCombine(3, 1, 0, 1, FXFALSE);
    EXPECT_EQ(stageCalls(D3DTSS_ALPHAOP), 1u);

    std::string log = logText();
    EXPECT_EQ(occurrences(log, "grColorCombine(3, 1, 0, 1);\r\n"), 1u);
    EXPECT_EQ(occurrences(log, "grColorCombine(3, 1, 1, 1);\r\n"), 1u);
    EXPECT_EQ(occurrences(log, "grAlphaCombine(3, 1, 0, 1);\r\n"), 1u);
}

TEST_F(CombineTable, ArgumentsOutsideTheTableChangeNothing) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    sim::clearCalls();
    struct Case {
        GrCombineFunction_t function;
        GrCombineFactor_t factor;
        GrCombineLocal_t local;
        GrCombineOther_t other;
    } cases[] = {{10, 0, 0, 0}, {16, 0, 0, 0}, {-1, 0, 0, 0}, {3, 14, 0, 1},
                 {3, -1, 0, 1}, {3, 1, 3, 1},  {3, 1, 0, 3},  {3, 1, 0, -2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.function * 1000 + c.factor * 100 + c.local * 10 + c.other);
        grColorCombine(c.function, c.factor, c.local, c.other, FXTRUE);
        grAlphaCombine(c.function, c.factor, c.local, c.other, FXTRUE);
        ColorCodes codes = drawnCodes();
        EXPECT_EQ(codes.diffuseRgb, codeConstant);
        EXPECT_EQ(codes.diffuseAlpha, codeVertex);
    }
    EXPECT_EQ(countNamed("SetTextureStageState"), 0u);
    std::string log = logText();
    EXPECT_EQ(log.find("grColorCombine(10"), std::string::npos);
    EXPECT_EQ(log.find("grAlphaCombine(16"), std::string::npos);
    EXPECT_EQ(log.find("grAlphaCombine(3, 14"), std::string::npos);
}

TEST_F(CombineTable, NewWindowGetsEveryOperationAndTraceAgain) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grColorCombine(3, 1, 0, 1, FXFALSE);
    grAlphaCombine(3, 1, 0, 1, FXFALSE);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    grSstWinClose();

    sim::clearCalls();
    ASSERT_EQ(open(), FXTRUE);
    // The open itself sets the alpha test to ALWAYS although the old device had it already.
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_ALPHAFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    grColorCombine(3, 1, 0, 1, FXFALSE);
    grAlphaCombine(3, 1, 0, 1, FXFALSE);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(stageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(stageCalls(D3DTSS_COLOROP), 1u);

    std::string log = logText();
    EXPECT_EQ(occurrences(log, "grColorCombine(3, 1, 0, 1);\r\n"), 2u);
    EXPECT_EQ(occurrences(log, "grAlphaCombine(3, 1, 0, 1);\r\n"), 2u);
}

TEST_F(CombineTable, CombineWithoutADeviceChoosesCodesAndSendsNothing) {
    probe::forgetCombineTable(); // as in a freshly loaded library
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    EXPECT_EQ(countNamed("SetTextureStageState"), 0u);

    // The codes chosen without a device are in force once one is open; the operation reaches the new device
    // on the next call.
    ASSERT_EQ(initAndOpen(), FXTRUE);
    ColorCodes codes = drawnCodes();
    EXPECT_EQ(codes.diffuseRgb, codeVertexTimesConstant);
    EXPECT_EQ(codes.diffuseAlpha, codeConstant);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    grSstWinClose();
    grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXTRUE);
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(drawnCodes().diffuseRgb, codeWhite);
}

} // namespace
