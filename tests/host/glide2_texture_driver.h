// A Glide 2 session on a simulated device with a chosen list of texture formats, and helpers to download
// textures and palettes.
#ifndef KESTRIX_GLIDE2_TEXTURE_DRIVER_H
#define KESTRIX_GLIDE2_TEXTURE_DRIVER_H

#include "glide2_driver.h"

#include <cstring>

#include "sim_pixel_formats.h"
#include "texture/texture_memory.h"

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

    // Downloads and returns the texture surface the download created, or the surface it refilled for the
    // texture it replaced, if it is alive afterwards; null when the download failed, whatever the slot held
    // before.
    static IDirectDrawSurface7 *download(GrChipID_t tmu, FxU32 address, GrLOD_t lod, GrAspectRatio_t aspect,
                                         GrTextureFormat_t format, const void *data) {
        GrTexInfo info = texInfo(lod, aspect, format, data);
        const TextureRecord *replaced = lookupTexture(tmu, address);
        size_t from = sim::calls().size();
        grTexDownloadMipMap(tmu, address, GR_MIPMAPLEVELMASK_BOTH, &info);
        const std::vector<sim::Call> &calls = sim::calls();
        const void *made = nullptr;
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].name == "CreateSurface" && calls[i].result &&
                (calls[i].desc.ddsCaps.dwCaps & DDSCAPS_TEXTURE))
                made = calls[i].result;
        const TextureRecord *filed = lookupTexture(tmu, address);
        if (made == nullptr && filed != nullptr && filed != replaced) made = filed->surface;
        return made && alive(made) ? static_cast<IDirectDrawSurface7 *>(const_cast<void *>(made)) : nullptr;
    }

    // The surface the slot (tmu, address) holds, as grTexSource hands it to the stage of the TMU; null for an
    // empty slot. Leaves the slot bound. A surface the stage already holds is not sent again: then the
    // device's own binding answers.
    static IDirectDrawSurface7 *filedSurface(GrChipID_t tmu, FxU32 address) {
        size_t from = sim::calls().size();
        grTexSource(tmu, address, GR_MIPMAPLEVELMASK_BOTH, nullptr);
        for (size_t at = findCall("SetTexture", from); at != std::string::npos;
             at = findCall("SetTexture", at + 1)) {
            const sim::Call &bind = sim::calls()[at];
            if (bind.args[0] == static_cast<unsigned long long>(tmu))
                return static_cast<IDirectDrawSurface7 *>(const_cast<void *>(bind.source));
        }
        IDirect3DDevice7 *device = liveDevice();
        return device ? sim::boundTexture(device, static_cast<DWORD>(tmu)) : nullptr;
    }

    static void loadPalette(const std::vector<FxU32> &entries, GrChipID_t tmu = GR_TMU0) {
        GuTexPalette palette{};
        std::memcpy(palette.data, entries.data(), std::min<size_t>(entries.size(), 256) * 4);
        grTexDownloadTable(tmu, GR_TEXTABLE_PALETTE, &palette);
    }
};

#endif
