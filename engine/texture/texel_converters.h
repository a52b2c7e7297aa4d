// Texel converters: Glide texels widened to 32-bit ARGB or XRGB (stored little-endian as 0xAARRGGBB).
#ifndef KESTRIX_TEXEL_CONVERTERS_H
#define KESTRIX_TEXEL_CONVERTERS_H

#include "../glide_values.h"

// Converts `count` consecutive texels from source to destination; count 1 converts a single texel.
// A whole row goes through one call so that the texel routine is chosen once, not per texel.
typedef void (*TexelConverter)(void *destination, const void *source, FxU32 count);

void convertAi44ToArgb(void *destination, const void *source, FxU32 count);
void convertA8ToArgb(void *destination, const void *source, FxU32 count);
void convertAi88ToArgb(void *destination, const void *source, FxU32 count);
void convertArgb8332ToArgb(void *destination, const void *source, FxU32 count);
void convertRgb332ToXrgb(void *destination, const void *source, FxU32 count);
void convertI8ToXrgb(void *destination, const void *source, FxU32 count);
// The two palettised converters read textureState.texturePalette.
void convertP8ToXrgb(void *destination, const void *source, FxU32 count);
void convertAp88ToArgb(void *destination, const void *source, FxU32 count);
// Palette indices with the palette's own alpha (textureState.texturePaletteAlpha).
void convertP8ToArgb(void *destination, const void *source, FxU32 count);
// The two YIQ converters read textureState.nccTexelXrgb (prepareNccDecoding).
void convertYiq422ToXrgb(void *destination, const void *source, FxU32 count);
void convertAyiq8422ToArgb(void *destination, const void *source, FxU32 count);

#endif
