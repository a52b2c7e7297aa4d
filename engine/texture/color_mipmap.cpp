#include "color_mipmap.h"

#include <stdlib.h>

#include "../glide_values.h"

void *createColorMipMap() {
    // Red, green, blue, white, black, then around again from red.
    static const FxU16 levelColors[] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000,
                                        0xF800, 0x07E0, 0x001F, 0xFFFF};
    const size_t bytes = 174762; // 2 × (256² + 128² + … + 1²)
    FxU8 *block = static_cast<FxU8 *>(malloc(bytes));
    if (block == NULL) return NULL;
    FxU8 *texel = block;
    for (int level = 0; level < 9; ++level) {
        size_t side = static_cast<size_t>(256) >> level;
        for (size_t i = 0; i < side * side; ++i) {
            *texel++ = static_cast<FxU8>(levelColors[level]);
            *texel++ = static_cast<FxU8>(levelColors[level] >> 8);
        }
    }
    return block;
}
