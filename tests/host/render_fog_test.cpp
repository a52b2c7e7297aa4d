// Fog: the modes of grFogMode, the exponential fog of the utilities and how they follow each other.
#include "glide2_driver.h"

#include <cstring>
#include <utility>

namespace {

typedef std::vector<std::pair<DWORD, DWORD>> StateList;

DWORD bits(float value) {
    DWORD result;
    std::memcpy(&result, &value, sizeof(result));
    return result;
}

class Fog : public Glide2Test {
  protected:
    static StateList sent() {
        StateList states;
        for (const sim::Call &call : named("SetRenderState"))
            states.push_back({static_cast<DWORD>(call.args[0]), static_cast<DWORD>(call.args[1])});
        return states;
    }

    static DWORD deviceState(D3DRENDERSTATETYPE state) { return sim::renderState(liveDevice(), state); }

    static StateList linearFog(DWORD enable) {
        return {{D3DRENDERSTATE_FOGENABLE, enable},
                {D3DRENDERSTATE_FOGDENSITY, bits(0.3f)},
                {D3DRENDERSTATE_FOGSTART, bits(0.98f)},
                {D3DRENDERSTATE_FOGEND, bits(1.0f)},
                {D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR}};
    }
};

TEST_F(Fog, ModesEnableFogOnlyWithTheSettingAndChooseLinearFog) {
    struct Case {
        GrFogMode_t mode;
        bool linear;
    } cases[] = {{GR_FOG_DISABLE, false},
                 {GR_FOG_WITH_ITERATED_ALPHA, true},
                 {GR_FOG_WITH_TABLE, false},
                 {GR_FOG_WITH_ITERATED_Z, true},
                 {GR_FOG_MULT2, true},
                 {GR_FOG_ADD2, true},
                 {GR_FOG_WITH_ITERATED_ALPHA | GR_FOG_ADD2, false},
                 {4, false},
                 {-1, false}};
    for (DWORD fogSetting : {1u, 0u}) {
        setProductDword("Fog", fogSetting);
        ASSERT_EQ(initAndOpen(), FXTRUE);
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << "Fog " << fogSetting << " mode " << c.mode);
            sim::clearCalls();
            grFogMode(c.mode);
            DWORD enable = c.mode != GR_FOG_DISABLE && fogSetting != 0 ? TRUE : FALSE;
            EXPECT_EQ(sent(), c.linear ? linearFog(enable) : (StateList{{D3DRENDERSTATE_FOGENABLE, enable}}));
        }
        grSstWinClose();
    }
}

TEST_F(Fog, TableModeKeepsTheExponentialFogOfTheUtilities) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    std::memset(table, 0xA5, sizeof(table));
    struct Case {
        const char *utility;
        void (*generate)(GrFog_t *, float);
        float density;
        DWORD tableMode;
    } cases[] = {{"exp", guFogGenerateExp, 0.01f, D3DFOG_EXP},
                 {"exp2", guFogGenerateExp2, 0.5f, D3DFOG_EXP2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utility);
        sim::clearCalls();
        c.generate(table, c.density);
        grFogMode(GR_FOG_WITH_TABLE);
        EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_FOGDENSITY, bits(c.density)},
                                     {D3DRENDERSTATE_FOGTABLEMODE, c.tableMode},
                                     {D3DRENDERSTATE_FOGENABLE, TRUE}}));
        grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
        EXPECT_EQ(deviceState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_LINEAR));
        EXPECT_EQ(deviceState(D3DRENDERSTATE_FOGSTART), bits(0.98f));
    }
    sim::clearCalls();
    guFogGenerateLinear(table, 10.0f, 100.0f);
    EXPECT_EQ(sent(), StateList{});
    for (GrFog_t entry : table)
        EXPECT_EQ(entry, 0xA5);
}

TEST_F(Fog, TableIndexToW) {
    struct Case {
        int index;
        float w;
    } cases[] = {{0, 1.0f}, {4, 2.0f}, {7, 3.2f}, {63, 52428.8f}, {1, static_cast<float>(8.0 / 7.0)}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(guFogTableIndexToW(c.index), c.w);
    }
}

} // namespace
