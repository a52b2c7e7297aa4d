// The current texture palette, shared by every paletted texture, and its checksum.
#ifndef KESTRIX_TEXTURE_PALETTE_H
#define KESTRIX_TEXTURE_PALETTE_H

#include <windows.h>

#include "../glide_values.h"

const int texturePaletteSize = 256;
// The stamp of a texture not yet matched with any palette, and the checksum a new device starts with.
const FxU32 noPaletteChecksum = 0xFFFFFFFFu;

// Writes entries start to end (0xXXRRGGBB; indices bounded to the palette) and returns their checksum.
// The top byte of each entry is not stored but takes part in the checksum.
FxU32 loadPaletteEntries(const FxU32 *entries, int start, int end);
// A palette download: a checksum of 0 leaves deviceTextures.paletteChecksum alone and refreshes nothing;
// otherwise it becomes deviceTextures.paletteChecksum and the texture current on `tmu` is refreshed at once.
void downloadPalette(FxI32 tmu, const FxU32 *entries, int start, int end);
// Entries start to end of the palette, the rest kept: the checksum becomes that of the whole palette, so
// a texture converted with another mix of parts is converted again when bound. The texture current on
// `tmu` is refreshed at once.
void downloadPalettePart(FxI32 tmu, const FxU32 *entries, int start, int end);
// All 256 entries at once; their checksum becomes deviceTextures.paletteChecksum whatever it is, 0 included.
// No texture is refreshed here.
void replacePalette(const FxU32 *entries);

#endif
