// The 6666 palette: P_8 textures take their alpha from the palette on the boards that announce it.
#include "glide3_fixture.h"

#include "sim_assertions.h"

namespace {

using Palette6666 = Glide3Test;

const FxU32 index = 3;
// Alpha 0x20, red 0x3F, green 0x10, blue 0x01 (6 bits each) widen to 0x82, 0xFF, 0x41 and 0x04: the top
// bits repeat into the low ones.
const FxU32 entry6666 = 0x20u << 18 | 0x3Fu << 12 | 0x10u << 6 | 0x01u;
const DWORD widenedArgb = 0x82FF4104;

IDirectDrawSurface7 *downloadIndexed(const std::vector<FxU8> &indices) {
    GrTexInfo info = {GR_LOD_LOG2_2, GR_LOD_LOG2_2, GR_ASPECT_LOG2_1x1, GR_TEXFMT_P_8,
                      const_cast<FxU8 *>(indices.data())};
    size_t before = texturesCreated().size();
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    std::vector<const void *> made = texturesCreated();
    if (made.size() == before || !alive(made.back())) return nullptr;
    return static_cast<IDirectDrawSurface7 *>(const_cast<void *>(made.back()));
}

TEST_F(Palette6666, IndexedTexelsTakeAlphaFromTheTableOnlyOnBoardsThatHadIt) {
    std::vector<FxU8> indices(4, index);
    for (DWORD card : {0u, 2u}) {
        SCOPED_TRACE(card);
        setProductDword("Card", card);
        setProductDword("ColorDepth", 16);
        ASSERT_NE(initAndOpen(), 0u);
        GuTexPalette palette{};
        palette.data[index] = entry6666;
        grTexDownloadTable(GR_TEXTABLE_PALETTE_6666_EXT, &palette);
        IDirectDrawSurface7 *texture = downloadIndexed(indices);
        ASSERT_NE(texture, nullptr);
        if (card == 2u) {
            EXPECT_NE(sim::surfaceInfo(texture).format.dwFlags & DDPF_ALPHAPIXELS, 0u);
            EXPECT_EQ(sim::pixel(texture, 1, 1), widenedArgb);
            // An entry changing only its alpha reaches the bound texture.
            grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
            palette.data[index] = entry6666 | 0x3Fu << 18;
            grTexDownloadTablePartial(GR_TEXTABLE_PALETTE_6666_EXT, &palette, index, index);
            EXPECT_EQ(sim::pixel(texture, 1, 1), widenedArgb | 0xFF000000u);
            // A plain palette makes the next indexed texture opaque again.
            grTexDownloadTable(GR_TEXTABLE_PALETTE, &palette);
            IDirectDrawSurface7 *opaque = downloadIndexed(indices);
            ASSERT_NE(opaque, nullptr);
            EXPECT_EQ(sim::surfaceInfo(opaque).format.dwFlags & DDPF_ALPHAPIXELS, 0u);
        } else {
            // Boards without the extension ignore the table: the palette stays black.
            EXPECT_EQ(sim::pixel(texture, 1, 1) & 0x00FFFFFFu, 0u);
        }
        grSstWinClose(1);
        grGlideShutdown();
    }
}

} // namespace
