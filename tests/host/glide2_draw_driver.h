// A Glide 2 session ready to draw, Glide vertices to draw with, and the Direct3D vertices that reached the
// device.
#ifndef KESTRIX_GLIDE2_DRAW_DRIVER_H
#define KESTRIX_GLIDE2_DRAW_DRIVER_H

#include "glide2_texture_driver.h"

#include <cstring>

inline GrVertex glideVertex(float x, float y, float oow = 1.0f) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    v.x = x;
    v.y = y;
    v.oow = oow;
    v.a = 255.0f;
    return v;
}

class Glide2DrawTest : public Glide2TextureTest {
  protected:
    // Settings are read by grGlideInit: (re)opens a 640x480 session after storing these values.
    void openWith(const std::vector<std::pair<const char *, DWORD>> &values,
                  GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT) {
        grSstWinClose(); // nothing when no session is open
        for (const auto &value : values)
            setProductDword(value.first, value.second);
        grGlideInit();
        ASSERT_EQ(open(GR_RESOLUTION_640x480, origin), FXTRUE);
        sim::clearCalls();
    }

    // One point through the whole conversion.
    static TlVertex drawnPoint(const GrVertex &vertex) {
        sim::clearCalls();
        grDrawPoint(&vertex);
        std::vector<TlVertex> drawn = drawnVertices();
        return drawn.empty() ? TlVertex{} : drawn[0];
    }

    static FxU32 triangles() {
        FxU32 processed = 0, drawn = 0;
        grTriStats(&processed, &drawn);
        return drawn;
    }

    // A 565 texture of this size downloaded at address 0 of tmu and bound there.
    static void bindTexture565(GrChipID_t tmu, GrLOD_t lod, GrAspectRatio_t aspect) {
        static FxU16 texels[256 * 256];
        GrTexInfo info = texInfo(lod, aspect, GR_TEXFMT_RGB_565, texels);
        grTexDownloadMipMap(tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexSource(tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    }
};

#endif
