// Palettes with alpha: the 6666 table of later boards gives each entry 6 bits of alpha next to 6 bits per
// colour, and a P_8 texture then takes its alpha from the palette (menus drawn with see-through panels).
#ifndef KESTRIX_PALETTE_ALPHA_H
#define KESTRIX_PALETTE_ALPHA_H

#include "../glide_values.h"
#include "texture_formats.h"

// Entries start to end of a 6666 table (alpha, red, green, blue, 6 bits each from bit 23 down) become the
// palette, every channel widened to 8 bits; the texture current on tmu is refreshed.
void downloadPalette6666(FxI32 tmu, const FxU32 *entries, int start, int end);
// A palette without alpha is loaded next: P_8 textures made from now on are opaque again.
void dropPaletteAlpha();
// The row a new texture of this Glide format is stored with: P_8 textures take ARGB surfaces converted in
// software while the palette has alpha, when the device has such surfaces.
const TextureFormatRow &textureRowFor(FxI32 format);

#endif
