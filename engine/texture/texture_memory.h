// Emulated texture memory: every texture occupies the byte range its mipmap chain takes on the board, from
// the start address the application chose, and lives in a Direct3D texture surface of its own. TMU n is
// Direct3D texture stage n.
#ifndef KESTRIX_TEXTURE_MEMORY_H
#define KESTRIX_TEXTURE_MEMORY_H

#include <stddef.h>
#include <windows.h>
#include <ddraw.h>

#include "../glide_values.h"
#include "../core/card_profiles.h"
#include "chroma_range.h"
#include "texture_formats.h"

const int textureUnitCount = 2;
// Textures filed at once on one TMU; a download beyond that is dropped.
const int texturesPerUnit = 8192;
// The texture source of a unit that has no texture bound.
const FxU32 noTextureSource = 0xFFFFFFFFu;
// The board places every mipmap chain on an 8-byte boundary: sizes are whole multiples of it.
const FxU32 textureMemoryAlignment = 8;

// Levels of a chain from 256 texels a side down to 1.
const FxU32 maxMipmapLevels = 9;

// One downloaded texture, owned by its range: a Direct3D mipmap chain holding the levels the application
// sent, largest first.
struct TextureRecord {
    FxU32 width; // of the largest level
    FxU32 height;
    FxU32 levelCount;
    FxU32 tmu;
    FxU32 paletteStamp; // deviceTextures.paletteChecksum the texels were last brought up to date with
    FxU32 nccStamp;     // nccChecksumFor(tmu) the YIQ texels were last decoded with
    FxI32 format;
    // Glide's s and t run to 256 along the longer side and proportionally less along the other: these take
    // them to Direct3D's 0 to 1.
    float sScale;
    float tScale;
    FxU32 colorKey;         // the chroma-key ARGB value the surface's colour key was last set from
    ChromaRange keyedRange; // the range the texels were last keyed with
    FxU8 *softCopy; // the application's texels of every level, kept when the palette is applied in software
    IDirectDrawSurface7 *surface; // the largest level; the smaller ones are attached to it
    TextureFormatRow formatRow;   // the row as it was when the texture was created
};

// A download, its size already taken from the library's own LOD and aspect codes: levelCount levels,
// largest first, each half the one before along both sides (a side stops at one texel).
struct TextureDownload {
    FxU32 width; // of the largest level
    FxU32 height;
    FxU32 levelCount;
    FxI32 format;
    const void *data; // the levels one after the other, rows tightly packed; null: levels come one by one
};

// A lastRow that takes a level download to the level's last row.
const FxU32 lastRowOfLevel = 0xFFFFFFFFu;

// Rows firstRow to lastRow of one level (0 = the largest), tightly packed in data.
struct TextureLevelRows {
    FxU32 level;
    FxU32 firstRow;
    FxU32 lastRow;
    const void *data;
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
// The process is ending: the records' memory goes, their surfaces are left to the system.
void abandonTextureMemory();
void releaseAllTextures();

// Bytes of texture memory the chain takes, 0 for sides or formats the board has not.
FxU32 mipChainBytes(const MipChain &chain);

// Whether tmu and startAddress lie in texture memory.
bool isTextureAddress(FxI32 tmu, FxU32 startAddress);
// The texture that starts at startAddress, or null.
TextureRecord *lookupTexture(FxI32 tmu, FxU32 startAddress);
// Files the download over [startAddress, startAddress + bytes), replacing every texture it overlaps.
void downloadTexture(FxI32 tmu, FxU32 startAddress, FxU32 bytes, const TextureDownload &download);
// Writes one level into the chain of chain's size and format at startAddress, or into a new one filed as
// downloadTexture files it.
void downloadTextureLevel(FxI32 tmu, FxU32 startAddress, FxU32 bytes, const TextureDownload &chain,
                          const TextureLevelRows &rows);
void bindTexture(FxI32 tmu, TextureRecord *record);
// Binds the TMU's current texture again, bringing its texels up to date with the tables; needs a device.
void rebindCurrentTexture(FxI32 tmu);
// grTexSource: binds the texture at startAddress, or none for noTextureSource. Needs an open device.
void selectTextureSource(FxI32 tmu, FxU32 startAddress);
// A new chroma-key value: the bound textures take it now, the others when they are next bound.
void setChromakeyValue(FxU32 argb);

// Texture records (texture_records.cpp).
// replaced: the texture at the download's address, whose surface the new record may take over; may be null.
TextureRecord *createTextureRecord(FxI32 tmu, const TextureDownload &download,
                                   const TextureRecord *replaced = NULL);
void destroyTextureRecord(TextureRecord *record);
// The process is ending: the record's own memory goes, its surfaces are left to the system.
void abandonTextureRecord(TextureRecord *record);
// Creates the record's surface for its size and level count; false (and no surface) on failure.
bool createRecordSurface(TextureRecord *record);
// Native palettised surfaces only: attaches a palette holding the current texture palette.
bool attachPalette(TextureRecord *record);
void uploadTexels(TextureRecord *record, const void *data);
// Whether the record keeps the application's texels to convert them again later.
bool keepsSoftCopy(const TextureRecord *record);
void applyPalette(TextureRecord *record);
// Whether the record's texels are decoded through the NCC table in force on its TMU.
bool decodesNcc(const TextureRecord *record);
// Converts a YIQ texture again from its soft copy when the table in force on its TMU changed.
void applyNccTable(TextureRecord *record);
// Sets the surface's colour key from renderState.chromakeyValue when the record has another.
void applyColorKey(TextureRecord *record);
void setSurfaceColorKey(TextureRecord *record);

// Mipmap levels (texture_levels.cpp).
FxU32 levelWidth(const TextureRecord *record, FxU32 level);
FxU32 levelHeight(const TextureRecord *record, FxU32 level);
// Texels of the levels above level, that is where it starts in the application's layout.
size_t levelTexelOffset(const TextureRecord *record, FxU32 level);
// Converts or copies every level of source (the application's layout) into the surfaces; false when a
// level cannot be reached or locked.
bool writeLevels(TextureRecord *record, const FxU8 *source);
void writeTextureLevel(TextureRecord *record, const TextureLevelRows &rows);
// Rebuilds the surface with levelCount levels, keeping the levels it had; false leaves it as it was.
bool growTextureChain(TextureRecord *record, FxU32 levelCount);

// Per-TMU sampling state (texture_sampling.cpp). Every call reaches stage = tmu of the open device.
// The clamp modes are sent only when they differ from the last ones sent to this device.
void setTextureClampMode(FxI32 tmu, FxI32 sClamp, FxI32 tClamp);
void setTextureFilters(FxI32 tmu, DWORD minFilter, DWORD magFilter);
void setTextureMipFilter(FxI32 tmu, DWORD mipFilter);
// grTexFilterMode: point sampling asked for minification and magnification, as the Filtering setting and
// the library's rules let it.
void setTextureFilterMode(FxI32 tmu, bool minPoint, bool magPoint);
// Glide's mipmap mode: the largest level only, the nearest level, or a blend of the two nearest.
void setTextureMipmapMode(FxI32 tmu, FxI32 mode, bool blendLevels);
// Glide's bias in levels, -8 to 7.75; positive picks smaller levels, as Direct3D's does.
void setTextureLodBias(FxI32 tmu, float bias);

#endif
