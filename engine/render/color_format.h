// Colours in the format grColorCombine's colour format names, as Direct3D's ARGB.
#ifndef KESTRIX_COLOR_FORMAT_H
#define KESTRIX_COLOR_FORMAT_H

#include "../glide_values.h"

FxU32 toArgb(FxU32 color);

#endif
