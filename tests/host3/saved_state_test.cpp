// grGlideGetState and grGlideSetState around an overlay that draws with its own state, as the board
// vendor's test programs and many games' menus do.
#include "glide3_fixture.h"

#include <cstring>
#include <vector>

#include "engine_probe.h"
#include "sim_assertions.h"
#include "render/render_state.h"
#include "render/saved_state.h"

namespace {

const FxU32 sceneTexture = 0;
const FxU32 fontTexture = 0x10000;
const FxU8 guardByte = 0xA5;
const float sceneLodBias = -2.0f;

// Direct3D takes the LOD bias as the bits of a float.
DWORD floatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

class SavedState3 : public Glide3Test {
  protected:
    std::vector<FxU16> texels = std::vector<FxU16>(64 * 64, 0);

    void SetUp() override {
        Glide3Test::SetUp();
        setProductDword("ColorDepth", 16);
        setProductDword("Fog", 1);
        setProductDword("TMU", 1);
        ASSERT_EQ(initAndOpen(), 1u);
    }
    void TearDown() override {
        grSstWinClose(1);
        Glide3Test::TearDown();
    }

    void downloadAndSelect(FxU32 address) {
        GrTexInfo info = {GR_LOD_LOG2_64, GR_LOD_LOG2_64, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565,
                          texels.data()};
        grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    }

    static DWORD device(D3DRENDERSTATETYPE state) { return sim::renderState(renderContext.device, state); }
    static DWORD stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        return sim::textureStageState(renderContext.device, stage, type);
    }
};

TEST_F(SavedState3, SetStateUndoesEverythingAnOverlayChanged) {
    downloadAndSelect(sceneTexture);
    IDirectDrawSurface7 *sceneSurface = sim::boundTexture(renderContext.device, 0);
    grTexCombine(GR_TMU1, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_ZERO,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(0x40);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grDepthBiasLevel(0x2000);
    grFogMode(GR_FOG_WITH_ITERATED_Z);
    grFogColorValue(0x00204060);
    grChromakeyValue(0x00FF00FF);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grCullMode(GR_CULL_NEGATIVE);
    grClipWindow(10, 20, 300, 200);
    grConstantColorValue(0x80112233);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_MIRROR_EXT);
    grTexLodBiasValue(GR_TMU0, sceneLodBias);
    grEnable(GR_AA_ORDERED);
    const FxU32 sceneColorCode = renderState.diffuseRgbCode;
    FxI32 stateSize = 0;
    ASSERT_EQ(grGet(GR_GLIDE_STATE_SIZE, sizeof(stateSize), &stateSize), sizeof(stateSize));
    std::vector<FxU8> saved(static_cast<size_t>(stateSize));
    grGlideGetState(saved.data());

    // The overlay: its font texture, combine, blend, tests, culling, origin and the rest its own.
    downloadAndSelect(fontTexture);
    grTexCombine(GR_TMU1, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    grAlphaTestReferenceValue(0);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grDepthBufferFunction(GR_CMP_ALWAYS);
    grDepthMask(FXFALSE);
    grDepthBiasLevel(0);
    grFogMode(GR_FOG_DISABLE);
    grFogColorValue(0);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    grChromakeyValue(0);
    grCullMode(GR_CULL_DISABLE);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grClipWindow(0, 0, 640, 480);
    grConstantColorValue(0xFFFFFFFF);
    grColorMask(FXFALSE, FXFALSE);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grTexLodBiasValue(GR_TMU0, 0.0f);
    grDisable(GR_AA_ORDERED);
    ASSERT_NE(renderState.diffuseRgbCode, sceneColorCode);

    grGlideSetState(saved.data());

    EXPECT_EQ(sim::boundTexture(renderContext.device, 0), sceneSurface);
    EXPECT_EQ(renderState.diffuseRgbCode, sceneColorCode);
    EXPECT_EQ(stage(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(stage(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(deviceCombine.textureCombineFunction[1], GR_COMBINE_FUNCTION_ZERO);
    EXPECT_EQ(device(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(device(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(device(D3DRENDERSTATE_ALPHAFUNC), static_cast<DWORD>(D3DCMP_GREATER));
    EXPECT_EQ(device(D3DRENDERSTATE_ALPHAREF), 0x40u);
    EXPECT_EQ(device(D3DRENDERSTATE_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(renderState.depthBufferMode, GR_DEPTHBUFFER_WBUFFER);
    EXPECT_EQ(device(D3DRENDERSTATE_ZFUNC), static_cast<DWORD>(D3DCMP_LESS));
    EXPECT_EQ(device(D3DRENDERSTATE_ZWRITEENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device(D3DRENDERSTATE_ZBIAS), 2u);
    EXPECT_EQ(device(D3DRENDERSTATE_FOGENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(renderState.fogColor, 0x00204060u);
    EXPECT_EQ(device(D3DRENDERSTATE_COLORKEYENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(renderState.chromakeyValue, 0x00FF00FFu);
    EXPECT_EQ(device(D3DRENDERSTATE_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(probe::origin(), GR_ORIGIN_UPPER_LEFT);
    FxI32 viewport[4] = {};
    ASSERT_EQ(grGet(GR_VIEWPORT, sizeof(viewport), viewport), sizeof(viewport));
    EXPECT_EQ(std::vector<FxI32>(viewport, viewport + 4), (std::vector<FxI32>{10, 20, 290, 180}));
    EXPECT_EQ(device(D3DRENDERSTATE_TEXTUREFACTOR), 0x80112233u);
    EXPECT_TRUE(colorWritesEnabled());
    EXPECT_EQ(stage(0, D3DTSS_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_CLAMP));
    EXPECT_EQ(stage(0, D3DTSS_ADDRESSV), static_cast<DWORD>(D3DTADDRESS_MIRROR));
    EXPECT_EQ(stage(0, D3DTSS_MIPMAPLODBIAS), floatBits(sceneLodBias));
    EXPECT_TRUE(isModeEnabled(GR_AA_ORDERED));
}

TEST_F(SavedState3, TheStateFitsTheAnnouncedSizeAndAForeignBufferChangesNothing) {
    FxI32 stateSize = 0;
    ASSERT_EQ(grGet(GR_GLIDE_STATE_SIZE, sizeof(stateSize), &stateSize), sizeof(stateSize));
    const size_t guard = 64;
    std::vector<FxU8> buffer(static_cast<size_t>(stateSize) + guard, guardByte);
    grGlideGetState(buffer.data());
    EXPECT_EQ(std::vector<FxU8>(buffer.begin() + stateSize, buffer.end()),
              std::vector<FxU8>(guard, guardByte));
    EXPECT_NE(std::vector<FxU8>(buffer.begin(), buffer.begin() + stateSize),
              std::vector<FxU8>(static_cast<size_t>(stateSize), guardByte));

    std::vector<FxU8> foreign(static_cast<size_t>(stateSize), 0);
    sim::clearCalls();
    grGlideSetState(foreign.data());
    grGlideSetState(nullptr);
    EXPECT_TRUE(renderStates().empty());
}

} // namespace
