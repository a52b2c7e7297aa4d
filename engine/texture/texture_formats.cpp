#include "texture_formats.h"

#include <string.h>

#include "../core/render_context.h"
#include "../render/device_tables.h"

namespace {

const DWORD anyPaletteIndexed = DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 | DDPF_PALETTEINDEXED4 |
                                DDPF_PALETTEINDEXEDTO8 | DDPF_PALETTEINDEXED8;

struct DesiredFormat {
    int row;
    DWORD flags;
    DWORD bits;
    DWORD red; // or luminance
    DWORD green;
    DWORD blue;
    DWORD alpha;
};

const DWORD rgb = DDPF_RGB, ap = DDPF_ALPHAPIXELS, lum = DDPF_LUMINANCE, pal8 = DDPF_PALETTEINDEXED8;

// The exact layouts a device must offer for a Glide format to be stored as it is. The YIQ rows describe
// their fields as if they were colour channels (no device offers them), and the AYIQ row carries an
// alpha mask without the alpha-pixels flag. GR_TEXFMT_ALPHA_8 has no native layout: Direct3D samples an
// alpha-only surface as black, where the board gives white.
const DesiredFormat desiredFormatTable[] = {
    {texFmtRgb332, rgb, 8, 0xE0, 0x1C, 0x03, 0},
    {texFmtYiq422, rgb, 8, 0xF0, 0x0C, 0x03, 0},
    {texFmtIntensity8, lum, 8, 0xFF, 0, 0, 0},
    {texFmtAlphaIntensity44, lum | ap, 8, 0x0F, 0, 0, 0xF0},
    {texFmtP8, pal8 | rgb, 8, 0, 0, 0, 0},
    {texFmtArgb8332, rgb | ap, 16, 0xE0, 0x1C, 0x03, 0xFF00},
    {texFmtAyiq8422, rgb, 16, 0xF0, 0x0C, 0x03, 0xFF00},
    {texFmtRgb565, rgb, 16, 0xF800, 0x07E0, 0x001F, 0},
    {texFmtArgb1555, rgb | ap, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
    {texFmtArgb4444, rgb | ap, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {texFmtAlphaIntensity88, lum | ap, 16, 0xFF, 0, 0, 0xFF00},
    {texFmtAp88, pal8 | rgb | ap, 16, 0, 0, 0, 0xFF00},
    {argbRow, rgb | ap, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {xrgbRow, rgb, 32, 0xFF0000, 0xFF00, 0xFF, 0},
};

void fillDesiredFormats() {
    memset(deviceTables.desiredFormats, 0, sizeof(deviceTables.desiredFormats));
    for (const DesiredFormat &wanted : desiredFormatTable) {
        DDPIXELFORMAT &format = deviceTables.desiredFormats[wanted.row];
        // DirectDraw rejects surface descriptions whose pixel format does not state its own size.
        format.dwSize = sizeof(DDPIXELFORMAT);
        format.dwFlags = wanted.flags;
        format.dwRGBBitCount = wanted.bits;
        format.dwRBitMask = wanted.red;
        format.dwGBitMask = wanted.green;
        format.dwBBitMask = wanted.blue;
        format.dwRGBAlphaBitMask = wanted.alpha;
    }
}

bool sameLayout(const DDPIXELFORMAT &a, const DDPIXELFORMAT &b) {
    return a.dwFlags == b.dwFlags && a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

// Tried in this order when a format has no native match on the device; both libraries number the formats
// alike.
const TextureFallback textureFallbacks[] = {
    {texFmtAlphaIntensity44, argbRow, convertAi44ToArgb, 0},
    {texFmtAlpha8, argbRow, convertA8ToArgb, 0},
    {texFmtAlphaIntensity88, argbRow, convertAi88ToArgb, 0},
    {texFmtArgb8332, argbRow, convertArgb8332ToArgb, 0},
    {texFmtRgb332, xrgbRow, convertRgb332ToXrgb, 0},
    {texFmtIntensity8, xrgbRow, convertI8ToXrgb, 0},
    {texFmtP8, xrgbRow, convertP8ToXrgb, 1},
    {texFmtAp88, argbRow, convertAp88ToArgb, 1},
    {texFmtYiq422, xrgbRow, convertYiq422ToXrgb, 0},
    {texFmtAyiq8422, argbRow, convertAyiq8422ToArgb, 0},
};

void applyFallback(const TextureFallback &fallback) {
    if (fallback.glideRow < 0 || fallback.glideRow >= textureFormatRowCount || fallback.targetRow < 0 ||
        fallback.targetRow >= textureFormatRowCount)
        return;
    TextureFormatRow &row = deviceTables.textureFormats[fallback.glideRow];
    const TextureFormatRow &target = deviceTables.textureFormats[fallback.targetRow];
    if (row.available || !target.native) return;
    const DDPIXELFORMAT &wanted = deviceTables.desiredFormats[fallback.glideRow];
    row.pixelFormat = target.pixelFormat;
    row.destinationBytes = target.destinationBytes;
    row.sourceBytes = fallback.glideRow < texFmt16Bit ? 1 : 2;
    row.converter = fallback.converter;
    row.available = 1;
    row.native = 0;
    row.paletted = (wanted.dwFlags & anyPaletteIndexed) != 0;
    row.softwarePalette = fallback.softwarePalette;
}

} // namespace

HRESULT CALLBACK onTextureFormat(LPDDPIXELFORMAT format, LPVOID) {
    if (format == NULL) return D3DENUMRET_OK;
    for (int i = 0; i < textureFormatRowCount; ++i) {
        // Unused rows are all zero and match nothing a device enumerates.
        if (deviceTables.desiredFormats[i].dwFlags == 0 ||
            !sameLayout(deviceTables.desiredFormats[i], *format))
            continue;
        TextureFormatRow &row = deviceTables.textureFormats[i];
        row.pixelFormat = deviceTables.desiredFormats[i];
        row.sourceBytes = row.destinationBytes = deviceTables.desiredFormats[i].dwRGBBitCount / 8;
        row.native = 1;
        row.available = 1;
        row.converter = NULL;
        row.paletted = (deviceTables.desiredFormats[i].dwFlags & anyPaletteIndexed) != 0;
        row.softwarePalette = 0;
        break;
    }
    return D3DENUMRET_OK;
}

void buildTextureFormatTable() {
    fillDesiredFormats();
    memset(deviceTables.textureFormats, 0, sizeof(deviceTables.textureFormats));
    if (renderContext.device == NULL) return;
    renderContext.device->EnumTextureFormats(onTextureFormat, NULL);
    for (const TextureFallback &fallback : textureFallbacks)
        applyFallback(fallback);
}
