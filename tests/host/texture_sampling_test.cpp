// Per-TMU sampling state on the texture stage of the same number: clamp modes (sent when they change),
// filters and mip filter (sent whenever the device does not hold them) under both Filtering settings.
#include "glide2_texture_driver.h"

namespace {

typedef std::vector<std::vector<unsigned long long>> StageStates;

class TextureSampling : public Glide2TextureTest {
  protected:
    static StageStates stageStates() {
        StageStates states;
        for (const sim::Call &call : named("SetTextureStageState"))
            states.push_back(call.args);
        return states;
    }

    // The stage states of `states` the device does not hold yet: a value it already holds is not sent.
    static StageStates notYetHeld(const StageStates &states) {
        StageStates changes;
        for (const auto &state : states)
            if (sim::textureStageState(liveDevice(), static_cast<DWORD>(state[0]),
                                       static_cast<D3DTEXTURESTAGESTATETYPE>(state[1])) != state[2])
                changes.push_back(state);
        return changes;
    }

    static unsigned long long floatBits(float value) {
        DWORD bits;
        std::memcpy(&bits, &value, sizeof(bits));
        return bits;
    }
};

TEST_F(TextureSampling, ClampModesAreSentWhenTheyChange) {
    openSession();
    const unsigned long long U = D3DTSS_ADDRESSU, V = D3DTSS_ADDRESSV, wrap = D3DTADDRESS_WRAP,
                             clamp = D3DTADDRESS_CLAMP;
    // The first call on a new device is sent whole, even when it asks for the device's default.
    grTexClampMode(GR_TMU1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grTexClampMode(GR_TMU1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grTexClampMode(GR_TMU1, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_WRAP);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, 7);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_WRAP);
    grTexClampMode(GR_TMU2, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    EXPECT_EQ(
        stageStates(),
        (StageStates{{1, U, wrap}, {1, V, wrap}, {1, U, clamp}, {0, U, clamp}, {0, V, clamp}, {0, V, wrap}}));
    EXPECT_EQ(sim::textureStageState(liveDevice(), 1, D3DTSS_ADDRESSU), clamp);

    // A new window is a new device: the modes are sent again.
    openSession();
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_WRAP);
    EXPECT_EQ(stageStates(), (StageStates{{0, U, clamp}, {0, V, wrap}}));
}

TEST_F(TextureSampling, FiltersFollowTheFilteringSetting) {
    struct Case {
        int filtering;
        GrTextureFilterMode_t minFilter;
        GrTextureFilterMode_t magFilter;
        DWORD min;
        DWORD mag;
    } cases[] = {
        {1, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_POINT_SAMPLED, D3DTFN_LINEAR, D3DTFG_POINT},
        {1, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_BILINEAR, D3DTFN_POINT, D3DTFG_LINEAR},
        {0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED, D3DTFN_LINEAR, D3DTFG_LINEAR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filtering * 100 + c.minFilter * 10 + c.magFilter);
        setProductDword("Filtering", static_cast<DWORD>(c.filtering));
        openSession();
        // Nothing is known of a new device's filters: the first call is sent whole, the same call again
        // sends nothing.
        StageStates filters = {{1, D3DTSS_MINFILTER, c.min}, {1, D3DTSS_MAGFILTER, c.mag}};
        grTexFilterMode(GR_TMU1, c.minFilter, c.magFilter);
        grTexFilterMode(GR_TMU1, c.minFilter, c.magFilter);
        EXPECT_EQ(stageStates(), filters);
        EXPECT_TRUE(notYetHeld(filters).empty());
    }
}

// The nearest level, or a blend of the two nearest with lodBlend, whatever the Filtering setting says.
TEST_F(TextureSampling, MipFilterFollowsTheModeAndLodBlend) {
    struct Case {
        GrMipMapMode_t mode;
        FxBool lodBlend;
        StageStates sent;
    } cases[] = {
        {GR_MIPMAP_DISABLE, FXTRUE, {{0, D3DTSS_MIPFILTER, D3DTFP_NONE}}},
        {GR_MIPMAP_NEAREST, FXFALSE, {{0, D3DTSS_MIPFILTER, D3DTFP_POINT}}},
        {GR_MIPMAP_NEAREST_DITHER, FXFALSE, {{0, D3DTSS_MIPFILTER, D3DTFP_POINT}}},
        {GR_MIPMAP_NEAREST, FXTRUE, {{0, D3DTSS_MIPFILTER, D3DTFP_LINEAR}}},
        {GR_MIPMAP_NEAREST_DITHER, FXTRUE, {{0, D3DTSS_MIPFILTER, D3DTFP_LINEAR}}},
        {3, FXTRUE, {}},
        {-1, FXFALSE, {}},
    };
    for (int filtering : {0, 1})
        for (const Case &c : cases) {
            SCOPED_TRACE(filtering * 100 + c.mode * 10 + c.lodBlend);
            setProductDword("Filtering", static_cast<DWORD>(filtering));
            openSession();
            StageStates changes = notYetHeld(c.sent);
            grTexMipMapMode(GR_TMU0, c.mode, c.lodBlend);
            grTexMipMapMode(GR_TMU2, c.mode, c.lodBlend);
            EXPECT_EQ(stageStates(), changes);
            EXPECT_TRUE(notYetHeld(c.sent).empty());
        }
}

// Glide's bias in levels is Direct3D's float, held to the board's -8 to 7.75.
TEST_F(TextureSampling, LodBiasIsSentAsAFloatWithinTheBoardsRange) {
    openSession();
    grTexLodBiasValue(GR_TMU1, 1.5f);
    grTexLodBiasValue(GR_TMU0, -9.5f);
    grTexLodBiasValue(GR_TMU0, 100.0f);
    grTexLodBiasValue(GR_TMU2, 1.0f);
    EXPECT_EQ(stageStates(), (StageStates{{1, D3DTSS_MIPMAPLODBIAS, floatBits(1.5f)},
                                          {0, D3DTSS_MIPMAPLODBIAS, floatBits(-8.0f)},
                                          {0, D3DTSS_MIPMAPLODBIAS, floatBits(7.75f)}}));
}

} // namespace
