// The current texture palette and its checksum.
#ifndef KESTRIX_TEXTURE_PALETTE_H
#define KESTRIX_TEXTURE_PALETTE_H

#include "glide2x.h"

extern FxU32 paletteChecksum;

#endif
