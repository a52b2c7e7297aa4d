// Table fog: each vertex carries the fog of Glide's table at its w in the specular alpha, and Direct3D fogs
// by it towards the application's own fog colour.
#include "glide2_draw_driver.h"

namespace {

class TableFog : public Glide2DrawTest {
  protected:
    GrFog_t table[GR_FOG_TABLE_SIZE];

    void SetUp() override {
        Glide2DrawTest::SetUp();
        for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
            table[i] = static_cast<GrFog_t>(i * 4);
    }

    static FxU32 specularAlpha(float w) {
        GrVertex v = glideVertex(10, 10, 1.0f / w);
        return drawnPoint(v).specular >> 24;
    }
};

TEST_F(TableFog, EachVertexCarriesTheTablesFogAtItsW) {
    openWith({{"Fog", 1}});
    grFogTable(table);
    sim::clearCalls();
    grFogMode(GR_FOG_WITH_TABLE);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGENABLE), DWORD(TRUE));
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGTABLEMODE), DWORD(D3DFOG_NONE));
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGVERTEXMODE), DWORD(D3DFOG_NONE));

    struct Case {
        float w;
        FxU32 fog;
    } cases[] = {
        {1.0f, 0},        // entry 0
        {0.25f, 0},       // nearer than the table's first entry
        {2.0f, 16},       // entry 4
        {3.2f, 28},       // entry 7
        {2.2857144f, 20}, // 16 / 7: entry 5
        {2.1333334f, 18}, // 32 / 15: halfway from entry 4 to entry 5
        {52428.8f, 252},  // entry 63
        {1.0e30f, 252},   // beyond the table
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.w);
        EXPECT_EQ(specularAlpha(c.w), 255u - c.fog);
    }
    // A 1/w Direct3D cannot take counts as w = 1.
    EXPECT_EQ(drawnPoint(glideVertex(10, 10, -1.0f)).specular >> 24, 255u);
}

TEST_F(TableFog, TheUtilitiesTablesShowThroughGrFogTable) {
    openWith({{"Fog", 1}});
    guFogGenerateExp(table, 0.5f);
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE);
    EXPECT_EQ(specularAlpha(2.0f), 255u - table[4]);
    EXPECT_LT(specularAlpha(2.0f), 255u);
}

// The fog at each vertex's own w takes the specular alpha the colour codes gave it, and nothing else.
TEST_F(TableFog, EachVertexOfAnIndexedFanKeepsItsCodedColorsUnderItsOwnFog) {
    openWith({{"Fog", 1}});
    grFogTable(table);
    grConstantColorValue(revealingConstant);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL,
                   GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    const float w[3] = {1.0f, 2.0f, 3.2f};
    const FxU32 fog[3] = {0, 16, 28}; // entries 0, 4 and 7
    GrVertex v[3];
    for (int i = 0; i < 3; ++i) {
        v[i] = coloredVertex(10.0f * static_cast<float>(i), 20.0f, revealingVertexColors[i]);
        v[i].oow = 1.0f / w[i];
    }
    const int order[3] = {2, 0, 1};
    auto drawFan = [&] {
        sim::clearCalls();
        grDrawPolygon(3, order, v);
        return drawnVertices();
    };
    std::vector<TlVertex> unfogged = drawFan();
    grFogMode(GR_FOG_WITH_TABLE);
    std::vector<TlVertex> fogged = drawFan();
    ASSERT_EQ(unfogged.size(), 3u);
    ASSERT_EQ(fogged.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(unfogged[i].diffuse, revealingVertexColors[order[i]]);
        EXPECT_NE(unfogged[i].specular & 0x00FFFFFFu, 0u);
        EXPECT_EQ(fogged[i].diffuse, unfogged[i].diffuse);
        EXPECT_EQ(fogged[i].specular & 0x00FFFFFFu, unfogged[i].specular & 0x00FFFFFFu);
        EXPECT_EQ(fogged[i].specular >> 24, 255u - fog[order[i]]);
    }
}

// Every fog mode fogs towards the colour as given; ADD2 fogs towards black while it is in force.
TEST_F(TableFog, FogColorIsSentAsGivenAndBlackUnderAdd2) {
    const FxU32 lightGrey = 0x00C0C0C0, black = 0;
    openWith({{"Fog", 1}});
    grFogColorValue(lightGrey);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGCOLOR), lightGrey);
    grFogTable(table);
    for (GrFogMode_t mode : {GR_FOG_WITH_TABLE, GR_FOG_WITH_ITERATED_Z, GR_FOG_WITH_TABLE | GR_FOG_MULT2}) {
        SCOPED_TRACE(mode);
        grFogMode(mode);
        EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGCOLOR), lightGrey);
    }
    grFogMode(GR_FOG_WITH_TABLE | GR_FOG_ADD2);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGCOLOR), black);
    grFogMode(GR_FOG_WITH_TABLE);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGCOLOR), lightGrey);
}

TEST_F(TableFog, WithoutTheFogSettingOrTableModeTheSpecularAlphaIsTheCombines) {
    openWith({{"Fog", 0}});
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE);
    EXPECT_EQ(sim::renderState(liveDevice(), D3DRENDERSTATE_FOGENABLE), DWORD(FALSE));
    FxU32 unfogged = specularAlpha(2.0f);
    openWith({{"Fog", 1}});
    grFogTable(table);
    grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
    EXPECT_EQ(specularAlpha(2.0f), unfogged);
    grFogMode(GR_FOG_WITH_TABLE);
    grFogMode(GR_FOG_DISABLE);
    EXPECT_EQ(specularAlpha(2.0f), unfogged);
}

} // namespace
