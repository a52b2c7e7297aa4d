// Emulated texture memory: every texture occupies one 1 KiB slot of its texture unit (TMU) and lives in a
// Direct3D texture surface of its own. TMU n is Direct3D texture stage n.
#ifndef KESTRIX_TEXTURE_MEMORY_H
#define KESTRIX_TEXTURE_MEMORY_H

#include <windows.h>
#include <ddraw.h>

#include "../glide_values.h"
#include "texture_formats.h"

const int textureUnitCount = 2;
const int slotsPerTextureUnit = 4096;
const FxU32 textureAddressLimit = 0x400000; // 4 MiB per TMU
const FxU32 highestTextureAddress = 0x3FFC00;
const FxU32 textureSlotBytes = 1024;
// The texture source of a unit that has no texture bound.
const FxU32 noTextureSource = 0xFFFFFFFFu;

// One downloaded texture, owned by its slot. Only the largest mipmap level is kept.
struct TextureRecord {
    FxU32 width;
    FxU32 height;
    FxU32 tmu;
    FxU32 paletteStamp; // textureState.paletteChecksum the texels were last brought up to date with
    FxI32 format;
    // Glide's s and t run to 256 along the longer side and proportionally less along the other: these take
    // them to Direct3D's 0 to 1.
    float sScale;
    float tScale;
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

const int slotCount = textureUnitCount * slotsPerTextureUnit;

// The clamp modes last sent to each stage of the current device.
struct ClampModes {
    bool known; // false until the first call on the current device, which is always sent
    FxI32 s;
    FxI32 t;
};

void allocateTextureMemory();
void freeTextureMemory();
void releaseAllTextures();

// Whether tmu and startAddress name a slot.
bool isTextureSlot(FxI32 tmu, FxU32 startAddress);
TextureRecord *lookupTexture(FxI32 tmu, FxU32 startAddress);
void downloadTexture(FxI32 tmu, FxU32 startAddress, const TextureDownload &download);
void bindTexture(FxI32 tmu, TextureRecord *record);
// grTexSource: binds the texture at startAddress, or none for noTextureSource. Needs an open device.
void selectTextureSource(FxI32 tmu, FxU32 startAddress);

// Texture records (texture_records.cpp).
TextureRecord *createTextureRecord(FxI32 tmu, const TextureDownload &download);
void destroyTextureRecord(TextureRecord *record);
void uploadTexels(TextureRecord *record, const void *data);
void applyPalette(TextureRecord *record);

// Per-TMU sampling state (texture_sampling.cpp). Every call reaches stage = tmu of the open device.
// The clamp modes are sent only when they differ from the last ones sent to this device.
void setTextureClampMode(FxI32 tmu, FxI32 sClamp, FxI32 tClamp);
void setTextureFilters(FxI32 tmu, DWORD minFilter, DWORD magFilter);
void setTextureMipFilter(FxI32 tmu, DWORD mipFilter);

#endif
