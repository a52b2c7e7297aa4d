#include "palette_alpha.h"

#include "texture_palette.h"
#include "texture_memory.h"
#include "../render/device_tables.h"
#include "texture_state.h"

namespace {

const int channelBits6 = 6;
const FxU32 channelMask6 = 0x3F;
const int alphaShift6666 = 18;
const int redShift6666 = 12;
const int greenShift6666 = 6;

// The top bits repeat into the low ones: 0x3F widens to 0xFF.
FxU32 widen6(FxU32 value) {
    value &= channelMask6;
    return value << 2 | value >> (channelBits6 - 2);
}

FxU32 argbOf6666(FxU32 entry) {
    return widen6(entry >> alphaShift6666) << 24 | widen6(entry >> redShift6666) << 16 |
           widen6(entry >> greenShift6666) << 8 | widen6(entry);
}

TextureFormatRow paletteAlphaRow;

} // namespace

void downloadPalette6666(FxI32 tmu, const FxU32 *entries, int start, int end) {
    if (entries == NULL || start > end) return;
    FxU32 widened[texturePaletteSize] = {};
    if (start < 0) start = 0;
    if (end > texturePaletteSize - 1) end = texturePaletteSize - 1;
    for (int i = start; i <= end; ++i)
        widened[i] = argbOf6666(entries[i]);
    textureState.paletteHasAlpha = true;
    loadPaletteEntries(widened, start, end);
    // The checksum covers the alpha too: a table that changes only alpha still refreshes the textures.
    FxU32 sum = 0;
    for (int i = 0; i < texturePaletteSize; ++i)
        sum += (textureState.texturePaletteAlpha[i] << 24 | textureState.texturePaletteXrgb[i]) << (i & 7);
    deviceTextures.paletteChecksum = sum;
    if (tmu != tmu0 && tmu != tmu1) return;
    TextureRecord *current = deviceTextures.currentTexture[tmu];
    if (current) applyPalette(current);
}

void dropPaletteAlpha() {
    textureState.paletteHasAlpha = false;
}

const TextureFormatRow &textureRowFor(FxI32 format) {
    const TextureFormatRow &deviceRow = deviceTables.textureFormats[format];
    const TextureFormatRow &argb = deviceTables.textureFormats[argbRow];
    if (format != texFmtP8 || !textureState.paletteHasAlpha || !argb.native) return deviceRow;
    paletteAlphaRow = argb;
    paletteAlphaRow.converter = convertP8ToArgb;
    paletteAlphaRow.sourceBytes = 1;
    paletteAlphaRow.native = 0;
    paletteAlphaRow.paletted = 1;
    paletteAlphaRow.softwarePalette = 1;
    return paletteAlphaRow;
}
