// The Glide 3 state calls that differ from Glide 2: combine stages, chroma-key mode, fog and dither.
#include "glide3_fixture.h"

#include "render/render_state.h"

namespace {

using RenderState3 = Glide3Test;

using Triple = std::vector<unsigned long long>;

Triple stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return Triple{stage, static_cast<unsigned long long>(type), value};
}

Triple render(D3DRENDERSTATETYPE state, DWORD value) {
    return Triple{static_cast<unsigned long long>(state), value};
}

class RenderState3WithTmu : public Glide3Test {
  protected:
    void SetUp() override {
        Glide3Test::SetUp();
        setProductDword("ColorDepth", 16);
        setProductDword("TMU", 1);
        ASSERT_EQ(initAndOpen(), 1u);
    }
    void TearDown() override {
        grSstWinClose(1);
        Glide3Test::TearDown();
    }
};

TEST_F(RenderState3, ColorCombineGoesToStageZeroOnEveryCall) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    const size_t afterFirst = sim::calls().size();
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    const Triple selectTexture = stage(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    const Triple stageOnePasses = stage(1, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    // Stage 1, no longer disabled, gets an alpha operation that passes too.
    const Triple stageOnePassesAlpha = stage(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    EXPECT_EQ(stageStates(), (std::vector<Triple>{selectTexture, stageOnePasses, stageOnePassesAlpha}));
    // The same combine again: the device holds every stage state already, nothing is sent.
    EXPECT_TRUE(stageStates(afterFirst).empty());
    EXPECT_EQ(sim::textureStageState(renderContext.device, 0, D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));
    grSstWinClose(1);
}

TEST_F(RenderState3, TextureAlphaBlendIsNotInTheCombineTable) {
    sim::deviceConfig(sim::DeviceType::TnLHal).caps.dwTextureOpCaps |= D3DTEXOPCAPS_BLENDTEXTUREALPHA;
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    grColorCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    ASSERT_FALSE(stageStates().empty());
    EXPECT_NE(stageStates()[0][2], static_cast<unsigned long long>(D3DTOP_BLENDTEXTUREALPHA));
    grSstWinClose(1);
}

TEST_F(RenderState3WithTmu, TexCombineZeroMakesTheUnitPassTheDiffuseColor) {
    sim::clearCalls();
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_ZERO,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    EXPECT_TRUE(stageStates().empty()) << "no combine to apply yet";
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    EXPECT_EQ(stageStates(), (std::vector<Triple>{stage(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2),
                                                  stage(1, D3DTSS_COLOROP, D3DTOP_SELECTARG2),
                                                  stage(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2)}));
}

// Stage 1 multiplies TMU 1's texture in while TMU 0's function reads it and a texture is bound there;
// otherwise, untextured or with TMU 0 on its own, it passes stage 0's result on.
TEST_F(RenderState3WithTmu, TheSecondStageAppliesTmuOneOnlyWhereTmuZeroReadsIt) {
    auto op = [](DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        return sim::textureStageState(liveDevice(), stage, type);
    };
    std::vector<FxU16> texels(4, 0xFFFF);
    GrTexInfo info = {GR_LOD_LOG2_2, GR_LOD_LOG2_2, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, texels.data()};
    for (GrChipID_t tmu : {GR_TMU0, GR_TMU1}) {
        grTexDownloadMipMap(tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexSource(tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    }
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU1, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    EXPECT_EQ(op(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(op(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2)) << "TMU 0 shows its own texture";

    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                 GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, FXFALSE, FXFALSE);
    EXPECT_EQ(op(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(op(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(op(1, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));

    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    for (DWORD stage : {0u, 1u}) {
        SCOPED_TRACE(stage);
        EXPECT_EQ(op(stage, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2)) << "untextured";
        EXPECT_EQ(op(stage, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG2)) << "untextured";
    }
}

TEST_F(RenderState3WithTmu, TexCombineSendsNoOperationBeforeAnyCombineOrForAnUnknownUnit) {
    sim::clearCalls();
    grTexCombine(GR_TMU1, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grTexCombine(GR_TMU2, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_ZERO,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    EXPECT_TRUE(stageStates().empty());
}

TEST_F(RenderState3, TexCombineDoesNothingWithoutTheTmuSetting) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_ZERO,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    EXPECT_TRUE(stageStates().empty());
    grSstWinClose(1);
}

// The key leaves the application's mipmap mode alone.
TEST_F(RenderState3, ChromakeyModeIsSentOnChanges) {
    ASSERT_EQ(initAndOpen(), 1u);
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
    sim::clearCalls();
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    EXPECT_TRUE(sim::calls().empty());
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    EXPECT_EQ(renderStates(), (std::vector<Triple>{render(D3DRENDERSTATE_COLORKEYENABLE, TRUE)}));
    EXPECT_TRUE(stageStates().empty());
    EXPECT_EQ(sim::textureStageState(sim::liveDevices().back(), 0, D3DTSS_MIPFILTER),
              static_cast<DWORD>(D3DTFP_POINT));
    grSstWinClose(1);

    // A new open forgets the mode: disabling is again no change.
    ASSERT_EQ(open(), 1u);
    sim::clearCalls();
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    EXPECT_TRUE(sim::calls().empty());
    grSstWinClose(1);
}

TEST_F(RenderState3, ChromakeyValueIsKeptAsGiven) {
    grChromakeyValue(0x00112233);
    EXPECT_EQ(renderState.chromakeyValue, 0x00112233u);
}

TEST_F(RenderState3, LinearFogForIteratedAndDoublingModesAndTableFogOnQ) {
    ASSERT_EQ(initAndOpen(), 1u);
    for (GrFogMode_t mode :
         {GR_FOG_WITH_ITERATED_Z, GR_FOG_WITH_ITERATED_ALPHA_EXT, GR_FOG_MULT2, GR_FOG_ADD2}) {
        grFogMode(mode);
        EXPECT_EQ(sim::renderState(renderContext.device, D3DRENDERSTATE_FOGTABLEMODE), DWORD(D3DFOG_LINEAR))
            << mode;
    }
    sim::clearCalls();
    grFogMode(GR_FOG_WITH_TABLE_ON_Q);
    // Leaving ADD2 puts the application's fog colour back in place of the black that ADD2 fogs towards;
    // here both are black, and fog was on already: only the changes reach the device.
    EXPECT_EQ(renderStates(), (std::vector<Triple>{render(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE),
                                                   render(D3DRENDERSTATE_FOGVERTEXMODE, D3DFOG_NONE)}));
    EXPECT_EQ(sim::renderState(renderContext.device, D3DRENDERSTATE_FOGENABLE), DWORD(TRUE));
    EXPECT_EQ(sim::renderState(renderContext.device, D3DRENDERSTATE_FOGCOLOR), 0u);
    grSstWinClose(1);
}

TEST_F(RenderState3, DitherModeTurnsDitheringOnAtSixteenBits) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    grDitherMode(GR_DITHER_DISABLE);
    // The device dithers since the open already: nothing else is sent, and dithering stays on.
    EXPECT_TRUE(renderStates().empty());
    EXPECT_EQ(sim::renderState(renderContext.device, D3DRENDERSTATE_DITHERENABLE), DWORD(TRUE));
    grSstWinClose(1);
}

TEST_F(RenderState3, SplashIsColorKeyedAtTheIntegerPosition) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    grSplash(100.7f, 50.2f, 0, 0, 0);
    ASSERT_EQ(sim::callsNamed("SetColorKey").size(), 1u);
    std::vector<sim::Call> blits = sim::callsNamed("BltFast");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].args[0], 100u);
    EXPECT_EQ(blits[0].args[1], 50u);
    EXPECT_EQ(blits[0].args[2], static_cast<unsigned long long>(DDBLTFAST_SRCCOLORKEY));
    grSstWinClose(1);
}

} // namespace
