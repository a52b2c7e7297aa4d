// The emulated texture memory, the texture units, the palette and the NCC tables, from grGlideInit on.
#ifndef KESTRIX_TEXTURE_STATE_H
#define KESTRIX_TEXTURE_STATE_H

#include <windows.h>

#include "../glide_values.h"
#include "ncc_tables.h"
#include "texture_memory.h"
#include "texture_palette.h"

// Emulated texture memory, the texture units, the palette and the NCC tables.
struct TextureState {
    // From grGlideInit on.
    bool textureMemoryAllocated;
    TextureUnitMemory textureMemory[textureUnitCount];
    PALETTEENTRY texturePalette[texturePaletteSize];
    // The same entries as 0x00RRGGBB, as the converters of paletted texels read them.
    FxU32 texturePaletteXrgb[texturePaletteSize];
    // Each entry's alpha, 0xFF unless the palette came as a 6666 table; paletteHasAlpha while one does.
    FxU32 texturePaletteAlpha[texturePaletteSize];
    bool paletteHasAlpha;
    // Both tables neutral, table 0 selected on every TMU.
    NccTable nccTables[nccTableCount] = {neutralNccTable(), neutralNccTable()};
    FxU32 nccChecksums[nccTableCount] = {nccTableChecksum(neutralNccTable()),
                                         nccTableChecksum(neutralNccTable())};
    FxU32 nccSelect[textureUnitCount] = {texTableNcc0, texTableNcc0};
    // Each low byte of a YIQ texel decoded through the table being converted with, as 0x00RRGGBB.
    FxU32 nccTexelXrgb[nccTexelCount];
    // The chroma range extensions: the frame's range and each TMU's texture range.
    ChromaRange frameChromaRange;
    ChromaRange texChromaRange[textureUnitCount];
};

// What a new device starts without: a texture bound on any unit, and a palette its textures match.
struct DeviceTextures {
    // The record grTexSource last bound on each TMU (not owning), or null; always still filed.
    TextureRecord *currentTexture[textureUnitCount] = {};
    FxU32 textureEnabled[textureUnitCount] = {};
    ClampModes clampModes[textureUnitCount] = {{false, textureClampWrap, textureClampWrap},
                                               {false, textureClampWrap, textureClampWrap}};
    // Checksum of the last palette download whose checksum was not 0; textures stamped with another value
    // are brought up to date when they are next bound.
    FxU32 paletteChecksum = noPaletteChecksum;
};

// Part of the library's records (session/state_groups.h); deviceTextures is part of the window's.
extern TextureState &textureState;
extern DeviceTextures &deviceTextures;

#endif
