#include "texture_palette.h"

FxU32 paletteChecksum;
