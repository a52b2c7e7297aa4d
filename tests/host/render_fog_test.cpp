// Fog: the modes of grFogMode, the tables of the utilities and how they follow each other.
#include "glide2_driver.h"

#include <algorithm>
#include <cmath>
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

    // Switching to and from table fog also re-sends the fog colour (see the table fog tests).
    static StateList sentBesidesColor() {
        StateList states;
        for (const auto &state : sent())
            if (state.first != D3DRENDERSTATE_FOGCOLOR) states.push_back(state);
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

TEST_F(Fog, ModesEnableFogOnlyWithTheSettingAndChooseLinearOrTableFog) {
    struct Case {
        GrFogMode_t mode;
        bool linear;
        bool table = false;
    } cases[] = {{GR_FOG_DISABLE, false},
                 {GR_FOG_WITH_ITERATED_ALPHA, true},
                 {GR_FOG_WITH_TABLE, false, true},
                 {GR_FOG_WITH_ITERATED_Z, true},
                 {GR_FOG_MULT2, true},
                 {GR_FOG_ADD2, true},
                 {GR_FOG_WITH_ITERATED_ALPHA | GR_FOG_ADD2, true},
                 {GR_FOG_WITH_TABLE | GR_FOG_MULT2, false, true},
                 {4, false},
                 {-1, false}};
    for (DWORD fogSetting : {1u, 0u}) {
        setProductDword("Fog", fogSetting);
        ASSERT_EQ(initAndOpen(), FXTRUE);
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << "Fog " << fogSetting << " mode " << c.mode);
            sim::clearCalls();
            grFogMode(c.mode);
            DWORD enable = c.mode != GR_FOG_DISABLE && fogSetting != 0 ? 1 : 0;
            StateList expected = c.linear ? linearFog(enable) : StateList{{D3DRENDERSTATE_FOGENABLE, enable}};
            if (c.table) {
                expected.push_back({D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE});
                expected.push_back({D3DRENDERSTATE_FOGVERTEXMODE, D3DFOG_NONE});
            }
            // A state the device already holds is not sent again: the device ends up with every expected
            // value, and nothing else is sent.
            for (const auto &state : expected)
                EXPECT_EQ(deviceState(static_cast<D3DRENDERSTATETYPE>(state.first)), state.second)
                    << "state " << state.first;
            for (const auto &state : sentBesidesColor())
                EXPECT_NE(std::find(expected.begin(), expected.end(), state), expected.end())
                    << "state " << state.first << " sent as " << state.second;
        }
        grSstWinClose();
    }
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
