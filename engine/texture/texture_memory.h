// Emulated texture memory: every texture occupies the byte range its mipmap chain takes on the board, from
// the start address the application chose, and lives in a Direct3D texture surface of its own. TMU n is
// Direct3D texture stage n.
#ifndef KESTRIX_TEXTURE_MEMORY_H
#define KESTRIX_TEXTURE_MEMORY_H

#include <windows.h>
#include <ddraw.h>

#include "../glide_values.h"
#include "texture_formats.h"

const int textureUnitCount = 2;
// Textures filed at once on one TMU; a download beyond that is dropped.
const int texturesPerUnit = 8192;
const FxU32 textureAddressLimit = 0x400000; // 4 MiB per TMU
const FxU32 highestTextureAddress = 0x3FFC00;
// The texture source of a unit that has no texture bound.
const FxU32 noTextureSource = 0xFFFFFFFFu;
// The board places every mipmap chain on an 8-byte boundary: sizes are whole multiples of it.
const FxU32 textureMemoryAlignment = 8;

// One downloaded texture, owned by its range. Only the largest mipmap level is kept.
struct TextureRecord {
    FxU32 width;
    FxU32 height;
    FxU32 tmu;
    FxU32 paletteStamp; // textureState.paletteChecksum the texels were last brought up to date with
    FxU32 nccStamp;     // nccChecksumFor(tmu) the YIQ texels were last decoded with
    FxI32 format;
    // Glide's s and t run to 256 along the longer side and proportionally less along the other: these take
    // them to Direct3D's 0 to 1.
    float sScale;
    float tScale;
    FxU32 colorKey; // the chroma-key ARGB value the surface's colour key was last set from
    FxU8 *softCopy; // the application's texels, kept when the palette is applied in software
    IDirectDrawSurface7 *surface;
    TextureFormatRow formatRow; // the row as it was when the texture was created
};

// The largest level of a download, its size already taken from the library's own LOD and aspect codes.
struct TextureDownload {
    FxU32 width;
    FxU32 height;
    FxI32 format;
    const void *data; // width × height texels, rows tightly packed
};

// The bytes [start, end) of one TMU's memory that a texture occupies.
struct TextureRange {
    FxU32 start;
    FxU32 end;
    TextureRecord *record;
};

// The textures of one TMU, by start address, their ranges disjoint.
struct TextureUnitMemory {
    TextureRange ranges[texturesPerUnit];
    int count;
};

// A mipmap chain as the board stores it: sides as log2 of the texel count, the aspect as log2 of width over
// height, and which levels by the parity of their log2 size.
struct MipChain {
    int largeLog2;
    int smallLog2;
    int aspectLog2;
    FxI32 format;
    FxU32 levelMask;
};

const FxU32 levelMaskEven = 1; // levels of 256, 64, 16, 4 and 1 texels a side
const FxU32 levelMaskOdd = 2;
const FxU32 levelMaskBoth = levelMaskEven | levelMaskOdd;

// The clamp modes last sent to each stage of the current device.
struct ClampModes {
    bool known; // false until the first call on the current device, which is always sent
    FxI32 s;
    FxI32 t;
};

void allocateTextureMemory();
void freeTextureMemory();
void releaseAllTextures();

// Bytes of texture memory the chain takes, 0 for sides or formats the board has not.
FxU32 mipChainBytes(const MipChain &chain);

// Whether tmu and startAddress lie in texture memory.
bool isTextureAddress(FxI32 tmu, FxU32 startAddress);
// The texture that starts at startAddress, or null.
TextureRecord *lookupTexture(FxI32 tmu, FxU32 startAddress);
// Files the download over [startAddress, startAddress + bytes), replacing every texture it overlaps.
void downloadTexture(FxI32 tmu, FxU32 startAddress, FxU32 bytes, const TextureDownload &download);
void bindTexture(FxI32 tmu, TextureRecord *record);
// Binds the TMU's current texture again, bringing its texels up to date with the tables; needs a device.
void rebindCurrentTexture(FxI32 tmu);
// grTexSource: binds the texture at startAddress, or none for noTextureSource. Needs an open device.
void selectTextureSource(FxI32 tmu, FxU32 startAddress);
// A new chroma-key value: the bound textures take it now, the others when they are next bound.
void setChromakeyValue(FxU32 argb);

// Texture records (texture_records.cpp).
TextureRecord *createTextureRecord(FxI32 tmu, const TextureDownload &download);
void destroyTextureRecord(TextureRecord *record);
void uploadTexels(TextureRecord *record, const void *data);
void applyPalette(TextureRecord *record);
// Whether the record's texels are decoded through the NCC table in force on its TMU.
bool decodesNcc(const TextureRecord *record);
// Converts a YIQ texture again from its soft copy when the table in force on its TMU changed.
void applyNccTable(TextureRecord *record);
// Sets the surface's colour key from renderState.chromakeyValue when the record has another.
void applyColorKey(TextureRecord *record);

// Per-TMU sampling state (texture_sampling.cpp). Every call reaches stage = tmu of the open device.
// The clamp modes are sent only when they differ from the last ones sent to this device.
void setTextureClampMode(FxI32 tmu, FxI32 sClamp, FxI32 tClamp);
void setTextureFilters(FxI32 tmu, DWORD minFilter, DWORD magFilter);
void setTextureMipFilter(FxI32 tmu, DWORD mipFilter);
void setTextureLodBias(FxI32 tmu, DWORD bias);

#endif
