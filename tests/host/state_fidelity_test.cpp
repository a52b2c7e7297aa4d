// State as programs written for the Voodoo rely on it: saving and restoring the state around an overlay,
// culling across an origin change, the colour mask, the alpha-test reference and the origin log line.
#include "engine_probe.h"
#include "glide2_texture_driver.h"

#include <cstring>
#include <utility>

#include "render/render_state.h"
#include "render/saved_state.h"

namespace {

typedef std::vector<std::pair<DWORD, DWORD>> StateList;

class StateFidelity : public Glide2TextureTest {
  protected:
    static DWORD deviceState(D3DRENDERSTATETYPE state) { return sim::renderState(liveDevice(), state); }

    static StateList sent() {
        StateList states;
        for (const sim::Call &call : named("SetRenderState"))
            states.push_back({static_cast<DWORD>(call.args[0]), static_cast<DWORD>(call.args[1])});
        return states;
    }

    static bool wasSent(D3DRENDERSTATETYPE state) {
        for (const auto &entry : sent())
            if (entry.first == state) return true;
        return false;
    }

    static IDirectDrawSurface7 *downloadAndSelect(FxU32 address) {
        static FxU16 texels[8 * 8];
        IDirectDrawSurface7 *surface =
            download(GR_TMU0, address, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
        GrTexInfo info = texInfo(GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels);
        grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        return surface;
    }

    static DWORD lastClearFlags() {
        std::vector<sim::Call> clears = named("Clear");
        return clears.empty() ? 0 : static_cast<DWORD>(clears.back().args[1]);
    }
};

TEST_F(StateFidelity, RestoringTheSavedStateUndoesAnOverlay) {
    openSession();
    IDirectDrawSurface7 *scene = downloadAndSelect(0);
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grCullMode(GR_CULL_NEGATIVE);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grFogColorValue(0x00808080);
    GrFog_t sceneFog[GR_FOG_TABLE_SIZE];
    guFogGenerateExp(sceneFog, 0.01f);
    grFogTable(sceneFog);
    GrState saved;
    grGlideGetState(&saved);
    FxU32 sceneDiffuseCode = renderState.diffuseRgbCode;

    // A text overlay: its own font texture, combine, blend and orientation.
    downloadAndSelect(0x10000);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grCullMode(GR_CULL_DISABLE);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    GrFog_t noFog[GR_FOG_TABLE_SIZE] = {};
    grFogTable(noFog);
    ASSERT_NE(renderState.diffuseRgbCode, sceneDiffuseCode);

    GrState copy;
    std::memcpy(&copy, &saved, sizeof(copy));
    sim::clearCalls();
    grGlideSetState(&copy);

    EXPECT_EQ(probe::origin(), GR_ORIGIN_UPPER_LEFT);
    EXPECT_EQ(deviceState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(sim::textureStageState(liveDevice(), 0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(sim::textureStageState(liveDevice(), 0, D3DTSS_ADDRESSU),
              static_cast<DWORD>(D3DTADDRESS_CLAMP));
    EXPECT_EQ(renderState.diffuseRgbCode, sceneDiffuseCode);
    std::vector<sim::Call> binds = named("SetTexture");
    ASSERT_FALSE(binds.empty());
    EXPECT_EQ(binds.back().source, scene);
    EXPECT_EQ(std::vector<FxU8>(renderState.fogTable, renderState.fogTable + GR_FOG_TABLE_SIZE),
              std::vector<FxU8>(sceneFog, sceneFog + GR_FOG_TABLE_SIZE));
    // What the overlay left alone is not sent again.
    EXPECT_FALSE(wasSent(D3DRENDERSTATE_FOGCOLOR));
}

TEST_F(StateFidelity, RestoringABufferTheLibraryNeverWroteChangesNothing) {
    openSession();
    grCullMode(GR_CULL_NEGATIVE);
    downloadAndSelect(0);
    GrState foreign;
    for (int fill : {0x00, 0x5A, 0xFF}) {
        SCOPED_TRACE(fill);
        std::memset(&foreign, fill, sizeof(foreign));
        sim::clearCalls();
        grGlideSetState(&foreign);
        EXPECT_EQ(countNamed("SetRenderState") + countNamed("SetTextureStageState") +
                      countNamed("SetTexture") + countNamed("SetViewport"),
                  0u);
        EXPECT_EQ(probe::origin(), GR_ORIGIN_UPPER_LEFT);
    }
    grGlideSetState(nullptr);
    grGlideGetState(nullptr);
}

// The record is the application's memory: a fog source or table mode no call can make must not reach the
// device (nor be loaded as an enumeration that has no such value).
TEST_F(StateFidelity, RestoredFogValuesNoCallCanMakeBecomeNeutralOnes) {
    openSession();
    GrState saved;
    grGlideGetState(&saved);
    const size_t callsOffset = sizeof(FxU32); // after the record's tag
    StateCalls calls;
    std::memcpy(&calls, reinterpret_cast<unsigned char *>(&saved) + callsOffset, sizeof(calls));
    const FxU8 garbage = 0xF9;
    calls.known |= groupFogMode | groupFogTable;
    calls.fogMode = GR_FOG_WITH_TABLE;
    calls.fogSource = garbage;
    calls.fogTableMode = garbage;
    std::memcpy(reinterpret_cast<unsigned char *>(&saved) + callsOffset, &calls, sizeof(calls));

    sim::clearCalls();
    grGlideSetState(&saved);
    EXPECT_TRUE(wasSent(D3DRENDERSTATE_FOGENABLE));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_NONE));
}

TEST_F(StateFidelity, ChangingTheOriginSendsTheCullModeForTheNewOrientation) {
    openSession();
    grCullMode(GR_CULL_NEGATIVE);
    sim::clearCalls();
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_CULLMODE, D3DCULL_CW}}));
    sim::clearCalls();
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(sent(), StateList{});
    grSstOrigin(GR_ORIGIN_ANY);
    EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_CULLMODE, D3DCULL_CCW}}));
}

TEST_F(StateFidelity, MaskedColorKeepsTheDestinationWhileDepthStillWrites) {
    openSession();
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    sim::clearCalls();
    grColorMask(FXFALSE, FXFALSE);
    EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO},
                                 {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE}}));
    sim::clearCalls();
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthMask(FXTRUE);
    EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_ZWRITEENABLE, TRUE}}));
    sim::clearCalls();
    grColorMask(FXTRUE, FXFALSE);
    EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
                                 {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO}}));
}

TEST_F(StateFidelity, ClearLeavesTheColorBufferWhileColorWritesAreOff) {
    openSession();
    grColorMask(FXFALSE, FXFALSE);
    grBufferClear(0x00FF0000, 0, 0xFFFF);
    EXPECT_EQ(lastClearFlags(), static_cast<DWORD>(D3DCLEAR_ZBUFFER));
    grColorMask(FXTRUE, FXTRUE);
    grBufferClear(0x00FF0000, 0, 0xFFFF);
    EXPECT_EQ(lastClearFlags(), static_cast<DWORD>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
}

TEST_F(StateFidelity, AlphaTestReferenceReachesTheDeviceAsTheByte) {
    openSession();
    grAlphaTestReferenceValue(0xC0);
    EXPECT_EQ(sent(), (StateList{{D3DRENDERSTATE_ALPHAREF, 0xC0}}));
}

TEST_F(StateFidelity, TheOriginIsLoggedAtOpenAndWhenItChanges) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const int frames = 1000;
    for (int frame = 0; frame < frames; ++frame)
        grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grSstWinClose();
    ASSERT_EQ(open(), FXTRUE);
    grSstWinClose();
    std::string log = logText();
    size_t lines = 0;
    for (size_t at = log.find("grSSTOrigin("); at != std::string::npos; at = log.find("grSSTOrigin(", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3u);
    EXPECT_NE(log.find("grSSTOrigin(origin=0);\r\ngrSSTOrigin(origin=1);\r\n"), std::string::npos);
}

} // namespace
