// GR_FOG_MULT2 keeps only the fog colour f × F: Direct3D gets it in a pass of its own, after a pass that
// scales the frame buffer by the colour before fog where the destination factor asks for it.
#include "glide2_draw_driver.h"

namespace {

const FxU32 lightGrey = 0x00C0C0C0;
const FxU32 opaqueRed = 0xFFFF0000;
const float tableEntry4W = 2.0f; // the table below holds fog 16 there
const FxU32 fogAtEntry4 = 16;

class FogPasses : public Glide2DrawTest {
  protected:
    void SetUp() override {
        Glide2DrawTest::SetUp();
        openWith({{"Fog", 1}});
        GrFog_t table[GR_FOG_TABLE_SIZE];
        for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
            table[i] = static_cast<GrFog_t>(i * 4);
        grFogTable(table);
        grFogColorValue(lightGrey);
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_NONE, FXFALSE);
    }

    // The value a render state had when the draw at `at` was made.
    static DWORD stateAtCall(size_t at, D3DRENDERSTATETYPE state, DWORD before) {
        const std::vector<sim::Call> &calls = sim::calls();
        for (size_t i = at; i-- > 0;)
            if (calls[i].name == "SetRenderState" && calls[i].args[0] == static_cast<DWORD>(state))
                return static_cast<DWORD>(calls[i].args[1]);
        return before;
    }

    static std::vector<size_t> drawsFrom(size_t from) {
        std::vector<size_t> found;
        for (size_t at = findCall("DrawPrimitive", from); at != std::string::npos;
             at = findCall("DrawPrimitive", at + 1))
            found.push_back(at);
        return found;
    }

    static FxU32 scaled(FxU32 channel, FxU32 fog) { return (channel * fog + 127) / 255; }

    static GrVertex foggedPoint() {
        GrVertex v = coloredVertex(10, 10, opaqueRed);
        v.oow = 1.0f / tableEntry4W;
        return v;
    }
};

// The two-pass light map: frame buffer × colour before fog, then f × F added.
TEST_F(FogPasses, PrefogDestinationScalesByTheUnfoggedColourThenAddsTheFog) {
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_PREFOG_COLOR, GR_BLEND_ONE, GR_BLEND_ZERO);
    grFogMode(GR_FOG_WITH_TABLE | GR_FOG_MULT2);
    IDirect3DDevice7 *device = liveDevice();
    const DWORD colorOp = sim::textureStageState(device, 0, D3DTSS_COLOROP);
    // The first pass's destination factor is the application's: not sent again.
    const DWORD destBlendBefore = sim::renderState(device, D3DRENDERSTATE_DESTBLEND);
    sim::clearCalls();
    GrVertex v = foggedPoint();
    grDrawPoint(&v);
    std::vector<size_t> drawn = drawsFrom(0);
    ASSERT_EQ(drawn.size(), 2u);

    EXPECT_EQ(stateAtCall(drawn[0], D3DRENDERSTATE_SRCBLEND, 0), DWORD(D3DBLEND_ZERO));
    EXPECT_EQ(stateAtCall(drawn[0], D3DRENDERSTATE_DESTBLEND, destBlendBefore), DWORD(D3DBLEND_SRCCOLOR));
    EXPECT_EQ(stateAtCall(drawn[0], D3DRENDERSTATE_FOGENABLE, TRUE), DWORD(FALSE));
    EXPECT_EQ(verticesOf(sim::calls()[drawn[0]])[0].diffuse, opaqueRed);

    EXPECT_EQ(stateAtCall(drawn[1], D3DRENDERSTATE_SRCBLEND, 0), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(stateAtCall(drawn[1], D3DRENDERSTATE_DESTBLEND, 0), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(stateAtCall(drawn[1], D3DRENDERSTATE_FOGENABLE, TRUE), DWORD(FALSE));
    TlVertex fog = verticesOf(sim::calls()[drawn[1]])[0];
    const FxU32 grey = scaled(0xC0, fogAtEntry4);
    EXPECT_EQ(fog.diffuse, 0xFF000000u | grey << 16 | grey << 8 | grey);
    EXPECT_EQ(fog.specular & 0x00FFFFFFu, 0u);

    // Everything is as the application left it afterwards.
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_SRCBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_DESTBLEND), DWORD(D3DBLEND_SRCCOLOR));
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_FOGENABLE), DWORD(TRUE));
    EXPECT_EQ(sim::textureStageState(device, 0, D3DTSS_COLOROP), colorOp);
}

// Without a destination term one pass draws f × F; ADD2 and plain fog draw once as they are.
TEST_F(FogPasses, OnlyMult2DrawsTheFogColourAlone) {
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grFogMode(GR_FOG_WITH_TABLE | GR_FOG_MULT2);
    GrVertex v = foggedPoint();
    TlVertex drawn = drawnPoint(v);
    EXPECT_EQ(drawsFrom(0).size(), 1u);
    const FxU32 grey = scaled(0xC0, fogAtEntry4);
    EXPECT_EQ(drawn.diffuse, 0xFF000000u | grey << 16 | grey << 8 | grey);
    for (GrFogMode_t mode : {GR_FOG_WITH_TABLE | GR_FOG_ADD2, GR_FOG_WITH_TABLE}) {
        SCOPED_TRACE(mode);
        grFogMode(mode);
        drawn = drawnPoint(v);
        EXPECT_EQ(drawsFrom(0).size(), 1u);
        EXPECT_EQ(drawn.diffuse, opaqueRed);
    }
}

} // namespace
