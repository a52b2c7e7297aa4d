// Texture downloads on Wine's DirectDraw: every format the device stores natively and at least three
// widened ones (one paletted) are created, filled and bound, and their texels read back from the surface.
// The program carries the engine itself (not only the DLL's exports) so that it can look into the slots
// and ask the device which surface it holds; the screen is not checked until drawing can show textures.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "glide2x.h"
#include "core/render_context.h"
#include "texture/texture_formats.h"
#include "texture/texture_memory.h"
#include "texture/texture_palette.h"
#include "render/device_tables.h"
#include "texture/texture_state.h"

namespace {

int failures = 0;

void check(bool ok, const char *what, int format) {
    std::printf("%s: %s (format %d)\n", ok ? "ok" : "FAIL", what, format);
    if (!ok) ++failures;
}

const FxU32 side = 16;

// The texel the surface must hold at (x, y) for source texel bytes `in`, by the row's own description.
FxU32 expectedTexel(const TextureFormatRow &row, const FxU8 *in) {
    FxU32 value = 0;
    if (row.converter == nullptr)
        std::memcpy(&value, in, row.sourceBytes);
    else
        row.converter(&value, in, 1);
    return value;
}

// Downloads a 16 × 16 texture of `format` to its own slot on TMU 0, binds it, and checks slot, texels
// and binding. Returns whether it all held.
bool downloadAndBind(GrTextureFormat_t format) {
    const TextureFormatRow &row = deviceTables.textureFormats[format];
    std::vector<FxU8> texels(side * side * row.sourceBytes);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<FxU8>(i * 37 + format);
    FxU32 address = static_cast<FxU32>(format) * 1024;
    GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, format, texels.data()};
    grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    TextureRecord *record = lookupTexture(GR_TMU0, address);
    check(record != nullptr && record->surface != nullptr, "the download made a texture surface", format);
    if (record == nullptr || record->surface == nullptr) return false;

    grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
    IDirectDrawSurface7 *bound = nullptr;
    renderContext.device->GetTexture(0, &bound);
    check(bound == record->surface && deviceTextures.textureEnabled[0] == 1,
          "grTexSource bound it on stage 0", format);
    if (bound) bound->Release();

    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    HRESULT locked = record->surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
    check(locked == DD_OK, "the texture surface locks for reading", format);
    if (locked != DD_OK) return false;
    int wrong = 0;
    for (FxU32 y = 0; y < side; ++y) {
        for (FxU32 x = 0; x < side; ++x) {
            FxU32 actual = 0;
            std::memcpy(&actual,
                        static_cast<FxU8 *>(desc.lpSurface) + y * desc.lPitch + x * row.destinationBytes,
                        row.destinationBytes);
            if (actual != expectedTexel(row, &texels[(y * side + x) * row.sourceBytes])) ++wrong;
        }
    }
    record->surface->Unlock(nullptr);
    check(wrong == 0, "every texel reached the surface", format);
    return wrong == 0 && bound == record->surface;
}

// Whether DirectDraw takes a texture description whose pixel format does not state its size.
void reportUnsizedPixelFormat() {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = 16;
    desc.ddpfPixelFormat = deviceTables.textureFormats[GR_TEXFMT_RGB_565].pixelFormat;
    desc.ddpfPixelFormat.dwSize = 0;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface7 *surface = nullptr;
    HRESULT result = renderContext.ddraw->CreateSurface(&desc, &surface, nullptr);
    std::printf("note: a pixel format of size 0 is %s (0x%08lX)\n", result == DD_OK ? "accepted" : "refused",
                static_cast<unsigned long>(result));
    if (surface) surface->Release();
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

int main() {
    HWND hwnd = kx::create_window("Kestrix texture test");
    if (!hwnd) return kx::finish(1);
    // The library is linked into this program: it is attached here as the loader attaches the DLL.
    DllMain(GetModuleHandleA(NULL), DLL_PROCESS_ATTACH, NULL);
    grGlideInit();
    FxBool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                                 GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::printf("%s: grSstWinOpen 640x480\n", opened ? "ok" : "FAIL");
    if (!opened) {
        grGlideShutdown();
        return kx::finish(1);
    }

    std::vector<FxU32> palette(256);
    for (FxU32 i = 0; i < 256; ++i)
        palette[i] = i * 0x00030507u;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette.data());

    int natives = 0, widened = 0, palettedWidened = 0;
    for (GrTextureFormat_t format = 0; format < 16; ++format) {
        const TextureFormatRow &row = deviceTables.textureFormats[format];
        std::printf("format %d: %s\n", format,
                    !row.available ? "unavailable"
                    : row.native   ? "native"
                                   : (row.softwarePalette ? "widened, software palette" : "widened"));
        if (!row.available) continue;
        bool ok = downloadAndBind(format);
        if (row.native) {
            natives += ok;
        } else {
            widened += ok;
            palettedWidened += ok && row.paletted;
        }
    }
    check(natives >= 1, "at least one native 16-bit format", -1);
    check(widened >= 3 && palettedWidened >= 1, "at least three widened formats, one of them paletted", -1);

    // A palette download brings the bound software-palette texture up to date at once.
    if (deviceTables.textureFormats[GR_TEXFMT_P_8].softwarePalette) {
        grTexSource(GR_TMU0, GR_TEXFMT_P_8 * 1024, 0, nullptr);
        palette[37] = 0x00ABCDEF;
        grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette.data());
        TextureRecord *record = lookupTexture(GR_TMU0, GR_TEXFMT_P_8 * 1024);
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof(desc));
        desc.dwSize = sizeof(desc);
        bool refreshed = false;
        if (record &&
            record->surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) == DD_OK) {
            // Exactly one texel of the 16 × 16 pattern holds index 37.
            for (FxU32 i = 0; i < side * side && !refreshed; ++i) {
                if (static_cast<FxU8>(i * 37 + GR_TEXFMT_P_8) != 37) continue;
                FxU32 value = 0;
                std::memcpy(&value,
                            static_cast<FxU8 *>(desc.lpSurface) + (i / side) * desc.lPitch + (i % side) * 4,
                            4);
                refreshed = value == 0x00ABCDEF;
            }
            record->surface->Unlock(nullptr);
        }
        check(refreshed, "a palette download reconverted the bound P_8 texture", GR_TEXFMT_P_8);
    }

    reportUnsizedPixelFormat();
    guTexMemReset();
    grSstWinClose();
    grGlideShutdown();
    DllMain(GetModuleHandleA(NULL), DLL_PROCESS_DETACH, NULL);
    return kx::finish(failures ? 1 : 0);
}
