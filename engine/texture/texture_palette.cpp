#include "texture_palette.h"

#include "texture_memory.h"
#include "texture_state.h"

namespace {
const FxU32 opaqueAlpha = 0xFF;
} // namespace

FxU32 loadPaletteEntries(const FxU32 *entries, int start, int end) {
    if (entries == NULL) return 0;
    if (start < 0) start = 0;
    if (end > texturePaletteSize - 1) end = texturePaletteSize - 1;
    FxU32 sum = 0;
    for (int i = start; i <= end; ++i) {
        FxU32 value = entries[i];
        PALETTEENTRY &entry = textureState.texturePalette[i];
        entry.peRed = static_cast<BYTE>(value >> 16);
        entry.peGreen = static_cast<BYTE>(value >> 8);
        entry.peBlue = static_cast<BYTE>(value);
        entry.peFlags = 0;
        textureState.texturePaletteXrgb[i] = value & 0x00FFFFFF;
        textureState.texturePaletteAlpha[i] = textureState.paletteHasAlpha ? value >> 24 : opaqueAlpha;
        sum += value << (i & 7);
    }
    return sum;
}

void downloadPalette(FxI32 tmu, const FxU32 *entries, int start, int end) {
    if (start > end) return;
    FxU32 sum = loadPaletteEntries(entries, start, end);
    if (sum == 0) return;
    deviceTextures.paletteChecksum = sum;
    if (tmu == tmu0 || tmu == tmu1) {
        TextureRecord *current = deviceTextures.currentTexture[tmu];
        if (current) applyPalette(current);
    }
}

void downloadPalettePart(FxI32 tmu, const FxU32 *entries, int start, int end) {
    if (entries == NULL || start > end) return;
    loadPaletteEntries(entries, start, end);
    FxU32 sum = 0;
    for (int i = 0; i < texturePaletteSize; ++i)
        sum += textureState.texturePaletteXrgb[i] << (i & 7);
    deviceTextures.paletteChecksum = sum;
    if (tmu == tmu0 || tmu == tmu1) {
        TextureRecord *current = deviceTextures.currentTexture[tmu];
        if (current) applyPalette(current);
    }
}

void replacePalette(const FxU32 *entries) {
    if (entries == NULL) return;
    deviceTextures.paletteChecksum = loadPaletteEntries(entries, 0, texturePaletteSize - 1);
}
