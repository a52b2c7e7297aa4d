// Texture utilities: 16-bit run-length encoding and byte-order exchange.
#ifndef KESTRIX_TEXTURE_UTILITIES_H
#define KESTRIX_TEXTURE_UTILITIES_H

#include "../glide_values.h"

// Encodes width x height 16-bit texels as 32-bit words (count << 16 | texel); dst may be null to
// measure. Returns the encoded size in bytes.
int encodeRle16(void *dst, const void *src, FxU32 width, FxU32 height);

inline FxU16 swapBytes16(FxU16 value) {
    return static_cast<FxU16>(value << 8 | value >> 8);
}

inline FxU32 swapHalves32(FxU32 value) {
    return value << 16 | value >> 16;
}

#endif
