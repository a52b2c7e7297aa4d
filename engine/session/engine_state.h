// The engine's process-wide records, besides the settings (library_settings.h), the session
// (render_context.h), the render state (render_state.h), the frame-buffer locks (lfb.h) and the log.
#ifndef KESTRIX_ENGINE_STATE_H
#define KESTRIX_ENGINE_STATE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "library_rules.h"
#include "../render/combine_table.h"
#include "../render/device_tables.h"
#include "../texture/ncc_tables.h"
#include "../texture/texture_formats.h"
#include "../texture/texture_memory.h"
#include "../texture/texture_palette.h"

// The loaded library: from process attach to detach.
struct LibraryState {
    const LibraryRules *rules;
    HINSTANCE moduleInstance;
    char windowTitle[256];
};

// Translation tables of the current device, rebuilt at every window open.
struct DeviceTables {
    CombineEntry combineTable[combineEntryCount];
    // Per combination, 1 once grAlphaCombine has logged it.
    FxU32 alphaTraced[combineEntryCount];
    bool combineTableBuilt;
    // Glide blend factor and alpha-test function to the Direct3D value the device offers; 0 where the
    // factor has no translation or the device offers none of the candidates.
    D3DBLEND srcBlendTable[blendTableSize];
    D3DBLEND dstBlendTable[blendTableSize];
    D3DCMPFUNC alphaCmpTable[compareTableSize];
    DDPIXELFORMAT desiredFormats[textureFormatRowCount];
    TextureFormatRow textureFormats[textureFormatRowCount];
};

// Emulated texture memory, the texture units, the palette and the NCC tables.
struct TextureState {
    // From grGlideInit on.
    bool textureMemoryAllocated;
    TextureUnitMemory textureMemory[textureUnitCount];
    // The record grTexSource last bound on each TMU (not owning), or null; always still filed.
    TextureRecord *currentTexture[textureUnitCount];
    FxU32 textureEnabled[textureUnitCount];
    ClampModes clampModes[textureUnitCount];
    PALETTEENTRY texturePalette[texturePaletteSize];
    // The same entries as 0x00RRGGBB, as the converters of paletted texels read them.
    FxU32 texturePaletteXrgb[texturePaletteSize];
    // Each entry's alpha, 0xFF unless the palette came as a 6666 table; paletteHasAlpha while one does.
    FxU32 texturePaletteAlpha[texturePaletteSize];
    bool paletteHasAlpha;
    // Checksum of the last palette download whose checksum was not 0; textures stamped with another value
    // are brought up to date when they are next bound.
    FxU32 paletteChecksum;
    NccTable nccTables[nccTableCount];
    FxU32 nccChecksums[nccTableCount];
    FxU32 nccSelect[textureUnitCount];
    // Each low byte of a YIQ texel decoded through the table being converted with, as 0x00RRGGBB.
    FxU32 nccTexelXrgb[nccTexelCount];
    // The chroma range extensions: the frame's range and each TMU's texture range.
    ChromaRange frameChromaRange;
    ChromaRange texChromaRange[textureUnitCount];
};

extern LibraryState library;
extern DeviceTables deviceTables;
extern TextureState textureState;

// Every record as a freshly loaded library has it. Holds no device objects or memory: release them first.
void resetLoadState();
// What a new device starts without: bound textures, stage states last sent, the palette stamp.
void resetDeviceState();

#endif
