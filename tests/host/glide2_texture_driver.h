// A Glide 2 session on a simulated device with a chosen list of texture formats, and helpers to download
// textures and palettes.
#ifndef KESTRIX_GLIDE2_TEXTURE_DRIVER_H
#define KESTRIX_GLIDE2_TEXTURE_DRIVER_H

#include "glide2_driver.h"

#include <cstring>

#include "sim_pixel_formats.h"
#include "texture/texture_formats.h"
#include "texture/texture_memory.h"
#include "texture/texture_palette.h"

class Glide2TextureTest : public Glide2Test {
  protected:
    void SetUp() override {
        Glide2Test::SetUp();
        // Rows longer than the texture catch code that takes the pitch for width × bytes per texel.
        sim::setPitchPadding(12);
    }

    void openSession() {
        ASSERT_EQ(initAndOpen(), FXTRUE);
        sim::clearCalls();
    }

    static GrTexInfo texInfo(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format,
                             const void *data) {
        GrTexInfo info;
        info.smallLod = lod;
        info.largeLod = lod;
        info.aspectRatio = aspect;
        info.format = format;
        info.data = const_cast<void *>(data);
        return info;
    }

    // Downloads and returns the surface now filed for (tmu, address), or null.
    static IDirectDrawSurface7 *download(GrChipID_t tmu, FxU32 address, GrLOD_t lod, GrAspectRatio_t aspect,
                                         GrTextureFormat_t format, const void *data) {
        GrTexInfo info = texInfo(lod, aspect, format, data);
        grTexDownloadMipMap(tmu, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        TextureRecord *record = lookupTexture(tmu, address);
        return record ? record->surface : nullptr;
    }

    static void loadPalette(const std::vector<FxU32> &entries, GrChipID_t tmu = GR_TMU0) {
        GuTexPalette palette{};
        std::memcpy(palette.data, entries.data(), std::min<size_t>(entries.size(), 256) * 4);
        grTexDownloadTable(tmu, GR_TEXTABLE_PALETTE, &palette);
    }
};

#endif
