// The current texture palette, shared by every paletted texture, and its checksum.
#ifndef KESTRIX_TEXTURE_PALETTE_H
#define KESTRIX_TEXTURE_PALETTE_H

#include <windows.h>

#include "../glide_values.h"

const int texturePaletteSize = 256;

extern PALETTEENTRY texturePalette[texturePaletteSize];
// The same entries as 0x00RRGGBB, as the converters of paletted texels read them.
extern FxU32 texturePaletteXrgb[texturePaletteSize];
// Checksum of the last palette download whose checksum was not 0; textures stamped with another value
// are brought up to date when they are next bound.
extern FxU32 paletteChecksum;

// Writes entries start to end (0xXXRRGGBB; indices bounded to the palette) and returns their checksum.
// The top byte of each entry is not stored but takes part in the checksum.
FxU32 loadPaletteEntries(const FxU32 *entries, int start, int end);
// A palette download: a checksum of 0 leaves paletteChecksum alone and refreshes nothing; otherwise
// it becomes paletteChecksum and the texture current on `tmu` is refreshed at once.
void downloadPalette(FxI32 tmu, const FxU32 *entries, int start, int end);

#endif
