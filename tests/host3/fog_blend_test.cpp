// The pre-fog blend factor of Glide 3, and table fog read at each vertex's 1/q or fog coordinate.
#include "glide3_vertex_driver.h"

#include <cmath>

namespace {

const int fogTableEntries = 64; // what grGet(GR_FOG_TABLE_ENTRIES) announces

using Blend3 = Glide3Test;

// Glide 3 numbers the pre-fog colour apart from alpha saturate (tests/shared has the factors both share):
// it is a destination factor only, and as a source nothing is sent.
TEST_F(Blend3, PrefogColorIsADestinationFactorOnly) {
    ASSERT_EQ(initAndOpen(), 1u);
    IDirect3DDevice7 *device = liveDevice();
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaBlendFunction(GR_BLEND_PREFOG_COLOR, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_SRCBLEND), DWORD(D3DBLEND_ONE));
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_PREFOG_COLOR, GR_BLEND_ONE, GR_BLEND_ZERO);
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_DESTBLEND), DWORD(D3DBLEND_SRCCOLOR));
    grSstWinClose(1);
}

class TableFog3 : public Glide3Test {
  protected:
    GrFog_t table[fogTableEntries];

    void SetUp() override {
        Glide3Test::SetUp();
        setProductDword("ColorDepth", 16);
        setProductDword("Fog", 1);
        ASSERT_EQ(initAndOpen(), 1u);
        grVertexLayout(GR_PARAM_XY, offsetXy, GR_PARAM_ENABLE);
        grVertexLayout(GR_PARAM_Q, offsetQ, GR_PARAM_ENABLE);
        for (int i = 0; i < fogTableEntries; ++i)
            table[i] = static_cast<GrFog_t>(i * 4);
    }

    void TearDown() override {
        grSstWinClose(1);
        Glide3Test::TearDown();
    }

    static FxU32 fogAt(const AppVertex &v) {
        sim::clearCalls();
        grDrawPoint(&v);
        std::vector<Draw> drawn = draws();
        EXPECT_EQ(drawn.size(), 1u);
        return drawn.size() == 1 ? 255u - (drawn[0].vertices[0].specular >> 24) : 0u;
    }

    static AppVertex pointAt(float w) {
        AppVertex v = appVertex(10, 10);
        v.q = 1.0f / w;
        return v;
    }
};

// Near clear, far fogged as the table says; with W given too, the table is still read at 1/q.
TEST_F(TableFog3, TableFogOnQReadsTheTableAtEachVerticesW) {
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE_ON_Q);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGENABLE), DWORD(TRUE));
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGTABLEMODE), DWORD(D3DFOG_NONE));
    EXPECT_EQ(fogAt(pointAt(1.0f)), 0u);       // entry 0
    EXPECT_EQ(fogAt(pointAt(2.0f)), 16u);      // entry 4
    EXPECT_EQ(fogAt(pointAt(52428.8f)), 252u); // entry 63
    grVertexLayout(GR_PARAM_W, offsetW, GR_PARAM_ENABLE);
    AppVertex v = pointAt(2.0f);
    v.w = 1.0f;
    EXPECT_EQ(fogAt(v), 16u);
}

// The fog coordinate takes w's place whatever q says; without one in the layout the table is read at q.
TEST_F(TableFog3, FogCoordinateModeReadsTheTableAtEachVerticesFogCoordinate) {
    const FxI32 offsetFog = offsetQ1; // a slot no other parameter of this layout uses
    grFogTable(table);
    grVertexLayout(GR_PARAM_FOG_EXT, offsetFog, GR_PARAM_ENABLE);
    grFogMode(GR_FOG_WITH_TABLE_ON_FOGCOORD_EXT);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGENABLE), DWORD(TRUE));
    AppVertex v = pointAt(52428.8f);
    v.q1 = 2.0f;
    EXPECT_EQ(fogAt(v), 16u); // entry 4
    v.q1 = 1.0f;
    EXPECT_EQ(fogAt(v), 0u);
    grVertexLayout(GR_PARAM_FOG_EXT, offsetFog, GR_PARAM_DISABLE);
    EXPECT_EQ(fogAt(v), 252u); // entry 63, at q
}

} // namespace
