// A session on a simulated device with a chosen list of texture formats, and helpers to download textures
// and to read what reached the device.
#ifndef KESTRIX_TEXTURE_FIXTURE_H
#define KESTRIX_TEXTURE_FIXTURE_H

#include "session_fixture.h"

#include <cstring>

#include "texture/texture_formats.h"
#include "texture/texture_memory.h"
#include "texture/texture_palette.h"

namespace texfmt {

inline DDPIXELFORMAT rgb(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    return sim::rgbFormat(bits, r, g, b, a);
}
inline DDPIXELFORMAT luminance(DWORD bits, DWORD l, DWORD a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_LUMINANCE | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwLuminanceBitCount = bits;
    pf.dwLuminanceBitMask = l;
    pf.dwLuminanceAlphaBitMask = a;
    return pf;
}
inline DDPIXELFORMAT alpha8() {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_ALPHA;
    pf.dwAlphaBitDepth = 8;
    return pf;
}
inline DDPIXELFORMAT paletted(DWORD bits, DWORD a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

inline DDPIXELFORMAT rgb565() {
    return rgb(16, 0xF800, 0x07E0, 0x001F, 0);
}
inline DDPIXELFORMAT argb1555() {
    return rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
}
inline DDPIXELFORMAT argb4444() {
    return rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
}
inline DDPIXELFORMAT xrgb8888() {
    return rgb(32, 0xFF0000, 0xFF00, 0xFF, 0);
}
inline DDPIXELFORMAT argb8888() {
    return rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
}

} // namespace texfmt

class TextureTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        // Rows longer than the texture catch code that takes the pitch for width × bytes per texel.
        sim::setPitchPadding(12);
    }

    static void useTextureFormats(const std::vector<DDPIXELFORMAT> &formats) {
        for (int type = 0; type < 5; ++type)
            sim::deviceConfig(static_cast<sim::DeviceType>(type)).textureFormats = formats;
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

    static std::vector<const void *> texturesCreated() {
        std::vector<const void *> made;
        for (const sim::Call &call : named("CreateSurface"))
            if (call.result && (call.desc.ddsCaps.dwCaps & DDSCAPS_TEXTURE)) made.push_back(call.result);
        return made;
    }

    static size_t callsOn(const char *name, const void *object) {
        size_t count = 0;
        for (const sim::Call &call : named(name))
            count += call.object == object;
        return count;
    }

    static bool alive(const void *surface) {
        return sim::surfaceInfo(static_cast<IDirectDrawSurface7 *>(const_cast<void *>(surface))).alive;
    }
};

#endif
