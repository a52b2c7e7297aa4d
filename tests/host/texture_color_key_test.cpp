// The chroma-key value reaches textures downloaded before it: the bound ones at once, the others when they
// are next bound, each in its own texel layout.
#include "glide2_texture_driver.h"

namespace {

class TextureColorKey : public Glide2TextureTest {
  protected:
    std::vector<FxU16> texels = std::vector<FxU16>(64 * 64, 0);
    const DWORD magenta565 = 0xF81F;
    const DWORD green565 = 0x07E0;
    const DWORD magenta4444 = 0xFF0F; // opaque: the key's alpha bits are those of a texel that shows
};

TEST_F(TextureColorKey, ANewValueReachesTheBoundTexturesAtOnce) {
    openSession();
    grChromakeyValue(0x0000FF00);
    IDirectDrawSurface7 *zero =
        download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data());
    IDirectDrawSurface7 *one =
        download(GR_TMU1, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_ARGB_4444, texels.data());
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    grTexSource(GR_TMU1, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    sim::clearCalls();

    grChromakeyValue(0x00FF00FF);
    std::vector<sim::Call> keys = named("SetColorKey");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].object, zero);
    EXPECT_EQ(keys[0].args, (std::vector<unsigned long long>{DDCKEY_SRCBLT, magenta565, magenta565}));
    EXPECT_EQ(keys[1].object, one);
    EXPECT_EQ(keys[1].args, (std::vector<unsigned long long>{DDCKEY_SRCBLT, magenta4444, magenta4444}));
    EXPECT_EQ(sim::surfaceInfo(zero).srcBltKey.dwColorSpaceLowValue, magenta565);
}

TEST_F(TextureColorKey, AnUnboundTextureTakesTheValueWhenNextBoundAndOnlyThen) {
    openSession();
    grChromakeyValue(0x0000FF00);
    IDirectDrawSurface7 *idle =
        download(GR_TMU0, 0, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, texels.data());
    grChromakeyValue(0x00FF00FF);
    EXPECT_EQ(sim::surfaceInfo(idle).srcBltKey.dwColorSpaceLowValue, green565);
    sim::clearCalls();

    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    EXPECT_TRUE(inOrder({"SetColorKey", "SetTexture"}));
    EXPECT_EQ(sim::surfaceInfo(idle).srcBltKey.dwColorSpaceLowValue, magenta565);

    sim::clearCalls();
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    grChromakeyValue(0x00FF00FF);
    EXPECT_EQ(countNamed("SetColorKey"), 0u);
}

} // namespace
