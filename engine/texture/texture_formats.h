// How each Glide texel format is stored on the current device: natively, or widened to 32 bits.
#ifndef KESTRIX_TEXTURE_FORMATS_H
#define KESTRIX_TEXTURE_FORMATS_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"
#include "texel_converters.h"

// Rows 0 to 15 are the Glide format numbers; 28 and 30 hold the 32-bit targets of the fallbacks.
const int textureFormatRowCount = 32;
// Applications name rows 0 to 15 only; the rows above are the library's own.
const int glideTextureFormatCount = 16;
const int argbRow = 28;
const int xrgbRow = 30;

struct TextureFormatRow {
    DDPIXELFORMAT pixelFormat;
    TexelConverter converter; // none: texels are copied unchanged
    FxU32 available;
    FxU32 destinationBytes;
    FxU32 sourceBytes;
    FxU32 native;
    FxU32 paletted;
    FxU32 softwarePalette; // the converter applies textureState.texturePalette; the record keeps a soft copy
};

// A Glide format without a native match, widened into a 32-bit row when the device has that one.
struct TextureFallback {
    int glideRow;
    int targetRow;
    TexelConverter converter;
    FxU32 softwarePalette;
};

HRESULT CALLBACK onTextureFormat(LPDDPIXELFORMAT format, LPVOID context);
void buildTextureFormatTable();

#endif
