// Render state calls: what each Glide state reaches the device as, the device tables and their fallbacks,
// the setting gates, and safety without a session.
#include "glide2_draw_driver.h"

#include <cmath>
#include <utility>

namespace {

typedef std::vector<std::pair<DWORD, DWORD>> StateList;

class RenderStateCalls : public Glide2DrawTest {
  protected:
    static DWORD deviceState(D3DRENDERSTATETYPE state) { return sim::renderState(liveDevice(), state); }

    // The depth a point at 1/w = 0.25 is drawn with: 0 when the depth mode in force writes none.
    static float drawnDepth() { return drawnPoint(glideVertex(10, 10, 0.25f)).z; }

    // The SetRenderState calls since the last clearCalls, as (state, value).
    static StateList sent() {
        StateList states;
        for (const sim::Call &call : named("SetRenderState"))
            states.push_back({static_cast<DWORD>(call.args[0]), static_cast<DWORD>(call.args[1])});
        return states;
    }

    // The states of `states` the device does not hold yet: a value it already holds is not sent again.
    static StateList notYetHeld(const StateList &states) {
        StateList changes;
        for (const auto &state : states)
            if (deviceState(static_cast<D3DRENDERSTATETYPE>(state.first)) != state.second)
                changes.push_back(state);
        return changes;
    }

    static void setCapsOfEveryDevice(DWORD srcBlend, DWORD destBlend, DWORD alphaCmp) {
        for (int type = 0; type < 5; ++type) {
            D3DPRIMCAPS &caps = sim::deviceConfig(static_cast<sim::DeviceType>(type)).caps.dpcTriCaps;
            caps.dwSrcBlendCaps = srcBlend;
            caps.dwDestBlendCaps = destBlend;
            caps.dwAlphaCmpCaps = alphaCmp;
        }
    }
};

TEST_F(RenderStateCalls, BlendFactorsFallBackToWhatTheDeviceOffers) {
    setCapsOfEveryDevice(D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_ZERO,
                         D3DPBLENDCAPS_DESTALPHA | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_INVSRCCOLOR, 0);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    struct Case {
        GrAlphaBlendFnc_t factor;
        DWORD source;      // 0: nothing sent
        DWORD destination; // 0: nothing sent
    } cases[] = {
        {GR_BLEND_ZERO, D3DBLEND_ZERO, 0},
        {GR_BLEND_SRC_ALPHA, D3DBLEND_ONE, D3DBLEND_DESTALPHA},
        {GR_BLEND_DST_COLOR, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},
        {GR_BLEND_ONE, D3DBLEND_ONE, 0},
        {GR_BLEND_ONE_MINUS_SRC_ALPHA, D3DBLEND_INVDESTALPHA, 0},
        {GR_BLEND_ONE_MINUS_SRC_COLOR, D3DBLEND_ONE, D3DBLEND_INVSRCCOLOR},
        {GR_BLEND_ONE_MINUS_DST_ALPHA, D3DBLEND_INVDESTALPHA, 0},
        {GR_BLEND_ALPHA_SATURATE, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},
        {GR_BLEND_RESERVED_8, 0, 0},
        {GR_BLEND_RESERVED_E, 0, 0},
        {16, 0, D3DBLEND_SRCCOLOR},
        {-1, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.factor);
        StateList expected;
        if (c.source) expected.push_back({D3DRENDERSTATE_SRCBLEND, c.source});
        if (c.destination) expected.push_back({D3DRENDERSTATE_DESTBLEND, c.destination});
        StateList changes = notYetHeld(expected);
        sim::clearCalls();
        grAlphaBlendFunction(c.factor, c.factor, GR_BLEND_ONE, GR_BLEND_ZERO);
        EXPECT_EQ(sent(), changes);
        EXPECT_TRUE(notYetHeld(expected).empty());
    }
}

TEST_F(RenderStateCalls, AlphaTestFallsBackAndSkipsRepeats) {
    setCapsOfEveryDevice(0xFFFFFFFF, 0xFFFFFFFF, D3DPCMPCAPS_LESS | D3DPCMPCAPS_GREATER | D3DPCMPCAPS_ALWAYS);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    struct Case {
        GrCmpFnc_t function;
        DWORD held; // what the device holds afterwards
        bool sent;  // false: nothing sent, the device holds the value already
    } cases[] = {
        {GR_CMP_LEQUAL, D3DCMP_LESS, true},
        {GR_CMP_LEQUAL, D3DCMP_LESS, false},
        {GR_CMP_NEVER, D3DCMP_ALWAYS, true},
        {GR_CMP_GEQUAL, D3DCMP_GREATER, true},
        {GR_CMP_EQUAL, D3DCMP_ALWAYS, true},
        {8, D3DCMP_ALWAYS, false},
        {-1, D3DCMP_ALWAYS, false},
        {GR_CMP_GREATER, D3DCMP_GREATER, true},
        {GR_CMP_GREATER, D3DCMP_GREATER, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.function);
        sim::clearCalls();
        grAlphaTestFunction(c.function);
        EXPECT_EQ(sent(), (c.sent ? StateList{{D3DRENDERSTATE_ALPHAFUNC, c.held}} : StateList{}));
        EXPECT_EQ(deviceState(D3DRENDERSTATE_ALPHAFUNC), c.held);
    }
}

TEST_F(RenderStateCalls, ValuesAreTranslatedForTheDevice) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    struct Case {
        const char *call;
        void (*run)();
        StateList expected;
    } cases[] = {
        {"alpha reference 0xFF", [] { grAlphaTestReferenceValue(0xFF); }, {{D3DRENDERSTATE_ALPHAREF, 0xFF}}},
        {"alpha reference 0", [] { grAlphaTestReferenceValue(0); }, {{D3DRENDERSTATE_ALPHAREF, 0}}},
        {"depth bias 0xFFFF",
         [] { grDepthBiasLevel(static_cast<FxI16>(0xFFFF)); },
         {{D3DRENDERSTATE_ZBIAS, 15}}},
        {"depth bias 0x1000", [] { grDepthBiasLevel(0x1000); }, {{D3DRENDERSTATE_ZBIAS, 1}}},
        {"depth function NEVER",
         [] { grDepthBufferFunction(GR_CMP_NEVER); },
         {{D3DRENDERSTATE_ZFUNC, D3DCMP_NEVER}}},
        {"depth function ALWAYS",
         [] { grDepthBufferFunction(GR_CMP_ALWAYS); },
         {{D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS}}},
        {"depth function 8", [] { grDepthBufferFunction(8); }, {}},
        {"w buffer",
         [] { grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER); },
         {{D3DRENDERSTATE_ZENABLE, D3DZB_TRUE}}},
        {"depth mode 5", [] { grDepthBufferMode(5); }, {}},
        {"depth mask", [] { grDepthMask(FXFALSE); }, {{D3DRENDERSTATE_ZWRITEENABLE, FALSE}}},
        {"chroma-key mode",
         [] { grChromakeyMode(GR_CHROMAKEY_ENABLE); },
         {{D3DRENDERSTATE_COLORKEYENABLE, TRUE}}},
        {"chroma-key value", [] { grChromakeyValue(0x00FF00FF); }, {}},
        {"fog colour", [] { grFogColorValue(0xFFFFFFFF); }, {{D3DRENDERSTATE_FOGCOLOR, 0x00FFFFFF}}},
        {"constant colour",
         [] { grConstantColorValue(0x80102030); },
         {{D3DRENDERSTATE_TEXTUREFACTOR, 0x80102030}}},
        {"constant colour from floats",
         [] { grConstantColorValue4(1.0f, 0.5f, 0.0f, 0.25f); },
         {{D3DRENDERSTATE_TEXTUREFACTOR, 0xFF7F003F}}},
        {"constant colour from floats out of range",
         [] { grConstantColorValue4(2.0f, -1.0f, std::nanf(""), 1.5f); },
         {{D3DRENDERSTATE_TEXTUREFACTOR, 0xFF0000FF}}},
        {"ignored calls",
         [] {
             grAlphaControlsITRGBLighting(FXTRUE);
             grGammaCorrectionValue(1.7f);
             grFogTable(nullptr);
         },
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        sim::clearCalls();
        c.run();
        EXPECT_EQ(sent(), c.expected);
    }

    // What the calls left in force. Depth mode 5 writes no depth where the w buffer before it did.
    EXPECT_EQ(drawnDepth(), 0.0f);
    // The chroma-key colour keys the next texture, laid out like its texels.
    static FxU16 texels[8 * 8];
    GrTexInfo info = {GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels};
    sim::clearCalls();
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    std::vector<sim::Call> keys = named("SetColorKey");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].args, (std::vector<unsigned long long>{DDCKEY_SRCBLT, 0xF81F, 0xF81F}));
    // The constant colour is what a flat constant combine draws.
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    EXPECT_EQ(drawnPoint(glideVertex(10, 10)).diffuse, 0xFF0000FFu);
}

TEST_F(RenderStateCalls, CullingFollowsTheOrigin) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    struct Case {
        GrOriginLocation_t origin;
        GrCullMode_t mode;
        DWORD cull;
    } cases[] = {
        {GR_ORIGIN_UPPER_LEFT, GR_CULL_DISABLE, D3DCULL_NONE},
        {GR_ORIGIN_UPPER_LEFT, GR_CULL_NEGATIVE, D3DCULL_CCW},
        {GR_ORIGIN_UPPER_LEFT, GR_CULL_POSITIVE, D3DCULL_CW},
        {GR_ORIGIN_UPPER_LEFT, 3, D3DCULL_NONE},
        {GR_ORIGIN_LOWER_LEFT, GR_CULL_NEGATIVE, D3DCULL_CW},
        {GR_ORIGIN_LOWER_LEFT, GR_CULL_POSITIVE, D3DCULL_CCW},
        {GR_ORIGIN_LOWER_LEFT, -1, D3DCULL_NONE},
        {GR_ORIGIN_ANY, GR_CULL_POSITIVE, D3DCULL_CW},
        {7, GR_CULL_NEGATIVE, D3DCULL_NONE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "origin " << c.origin << " mode " << c.mode);
        grSstOrigin(c.origin);
        StateList changes = notYetHeld(StateList{{D3DRENDERSTATE_CULLMODE, c.cull}});
        sim::clearCalls();
        grCullMode(c.mode);
        EXPECT_EQ(sent(), changes);
        EXPECT_EQ(deviceState(D3DRENDERSTATE_CULLMODE), c.cull);
    }
}

TEST_F(RenderStateCalls, DitherOnlyOnASixteenBitDisplayWithoutNoDitherSub) {
    struct Case {
        DWORD colorDepth;
        const char *noDitherSub;
        bool sends;
    } cases[] = {{16, "0", true}, {32, "0", false}, {16, "1", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.colorDepth << " " << c.noDitherSub);
        setProductDword("ColorDepth", c.colorDepth);
        sim::setRegistryString(HKEY_LOCAL_MACHINE, "Software\\3Dfx Interactive\\Glide",
                               "FX_GLIDE_NO_DITHER_SUB", c.noDitherSub);
        ASSERT_EQ(initAndOpen(), FXTRUE);
        sim::clearCalls();
        grDitherMode(GR_DITHER_4x4);
        if (c.sends) {
            EXPECT_EQ(deviceState(D3DRENDERSTATE_DITHERENABLE), static_cast<DWORD>(TRUE));
        }
        grDitherMode(GR_DITHER_DISABLE);
        if (c.sends) {
            EXPECT_EQ(deviceState(D3DRENDERSTATE_DITHERENABLE), static_cast<DWORD>(FALSE));
            EXPECT_EQ(sent().back(), (std::pair<DWORD, DWORD>{D3DRENDERSTATE_DITHERENABLE, FALSE}));
        } else {
            EXPECT_EQ(sent(), StateList{});
        }
        grSstWinClose();
    }
}

TEST_F(RenderStateCalls, DisableAllEffectsRestoresTheNeutralStatesInOrder) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grAlphaTestFunction(GR_CMP_GREATER);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grCullMode(GR_CULL_NEGATIVE);
    const StateList neutral = {{D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
                               {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO},
                               {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_ALWAYS},
                               {D3DRENDERSTATE_COLORKEYENABLE, FALSE},
                               {D3DRENDERSTATE_ZBIAS, 0},
                               {D3DRENDERSTATE_ZENABLE, D3DZB_FALSE},
                               {D3DRENDERSTATE_FOGENABLE, FALSE}};
    StateList changes = notYetHeld(neutral);
    sim::clearCalls();
    grDisableAllEffects();
    EXPECT_EQ(sent(), changes);
    EXPECT_TRUE(notYetHeld(neutral).empty());
    EXPECT_EQ(drawnDepth(), 0.0f); // the w buffer is off
    EXPECT_EQ(deviceState(D3DRENDERSTATE_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
}

TEST_F(RenderStateCalls, OpenBuildsTablesBeforeTheNeutralStates) {
    grGlideInit();
    ASSERT_EQ(open(), FXTRUE);
    // The alpha function comes from the compare table, so it is only sent when the table exists before
    // the neutral states follow the initial ones.
    StateList states = sent();
    auto position = [&states](DWORD state, DWORD value) {
        return std::find(states.begin(), states.end(), std::make_pair(state, value)) - states.begin();
    };
    ptrdiff_t initial = position(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
    ptrdiff_t neutral = position(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_ALWAYS);
    ASSERT_LT(neutral, static_cast<ptrdiff_t>(states.size()));
    EXPECT_LT(initial, neutral);
    EXPECT_LT(neutral, position(D3DRENDERSTATE_FOGENABLE, FALSE));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_ALPHAFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_FOGENABLE), static_cast<DWORD>(FALSE));
}

// Stage 0 applies the colour combine to TMU 0's texture; stage 1 multiplies TMU 1's texture in only while
// TMU 0 reads it and the combine reads a texture, and passes the colour on otherwise (disabled or
// SELECTARG2); a unit whose function is zero contributes nothing.
TEST_F(RenderStateCalls, TextureCombineBringsTmuOneInOnlyWhereItIsRead) {
    setProductDword("TMU", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    auto op = [](DWORD stage) { return sim::textureStageState(liveDevice(), stage, D3DTSS_COLOROP); };
    auto passes = [&op]() { return op(1) == D3DTOP_DISABLE || op(1) == D3DTOP_SELECTARG2; };
    auto textureTimesIterated = [] {
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    };
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    textureTimesIterated();
    bindTexture565(GR_TMU0, GR_LOD_64, GR_ASPECT_1x1);
    guTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    EXPECT_EQ(op(0), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_TRUE(passes()) << "one texture";

    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE, 0, 0, 0, 0);
    EXPECT_TRUE(passes()) << "TMU 1 has no texture yet";
    bindTexture565(GR_TMU1, GR_LOD_64, GR_ASPECT_1x1);
    EXPECT_EQ(op(0), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(op(1), static_cast<DWORD>(D3DTOP_MODULATE)) << "two textures";
    EXPECT_EQ(sim::textureStageState(liveDevice(), 1, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG2))
        << "the alpha combine reads no texture";

    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    EXPECT_EQ(op(0), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_TRUE(passes()) << "untextured with both textures still selected";

    textureTimesIterated();
    grTexCombine(GR_TMU1, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, 0, 0, 0, 0);
    EXPECT_TRUE(passes()) << "TMU 1 turned off";
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, 0, 0, 0, 0);
    EXPECT_EQ(op(0), static_cast<DWORD>(D3DTOP_SELECTARG2)) << "TMU 0 turned off";

    // Without the setting one unit is reported and the texture combine sends nothing.
    grSstWinClose();
    setProductDword("TMU", 0);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    textureTimesIterated();
    bindTexture565(GR_TMU1, GR_LOD_64, GR_ASPECT_1x1);
    sim::clearCalls();
    guTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE, 0, 0, 0, 0);
    EXPECT_EQ(countNamed("SetTextureStageState"), 0u);
    EXPECT_TRUE(passes());
}

TEST_F(RenderStateCalls, EveryCallIsSafeWithoutASession) {
    GrFog_t table[GR_FOG_TABLE_SIZE] = {};
    auto everything = [&table] {
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, 0, 0);
        grAlphaBlendFunction(0x7FFFFFFF, -5, 0, 0);
        grAlphaCombine(3, 1, 0, 1, 0);
        grAlphaTestFunction(GR_CMP_GREATER);
        grAlphaTestFunction(0x7FFFFFFF);
        grAlphaTestReferenceValue(0x80);
        grChromakeyMode(1);
        grChromakeyValue(0x123456);
        grColorCombine(16, 0, 0, 0, 1);
        grConstantColorValue(0xFFFFFFFF);
        grConstantColorValue4(INFINITY, -INFINITY, NAN, 1e30f);
        grCullMode(GR_CULL_NEGATIVE);
        grDepthBiasLevel(-32768);
        grDepthBufferFunction(0x7FFFFFFF);
        grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
        grDepthMask(FXTRUE);
        grDisableAllEffects();
        grDitherMode(GR_DITHER_2x2);
        grFogColorValue(0xFFFFFFFF);
        grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
        grFogTable(nullptr);
        grFogTable(table);
        grTexCombine(0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, 0, 0, 0, 0);
        grTexCombine(-1, -1, -1, -1, -1, -1, -1);
        guColorCombineFunction(-1);
        guColorCombineFunction(0x7FFFFFFF);
        guAlphaSource(-1);
        guTexCombineFunction(0, -1);
        grTexCombineFunction(0, GR_TEXTURECOMBINE_ONE);
        guFogGenerateExp(nullptr, 0.5f);
        guFogGenerateExp2(table, -1.0f);
        guFogGenerateLinear(nullptr, 1.0f, 0.0f);
        EXPECT_TRUE(std::isinf(guFogTableIndexToW(-1)));
        EXPECT_EQ(guFogTableIndexToW(0x7FFFFFFF), guFogTableIndexToW(-1));
    };
    everything();
    EXPECT_EQ(countNamed("SetRenderState") + countNamed("SetTextureStageState"), 0u);
    grGlideInit();
    everything();
    ASSERT_EQ(open(), FXTRUE);
    grSstWinClose();
    sim::clearCalls();
    everything();
    grGlideShutdown();
    everything();
    EXPECT_EQ(countNamed("SetRenderState") + countNamed("SetTextureStageState"), 0u);
    // The utilities fill the application's table whatever the session: (-1 × 2)² at entry 4 (w = 2).
    EXPECT_EQ(table[4], GrFog_t((1.0 - std::exp(-4.0)) * 255.0));
}

} // namespace
