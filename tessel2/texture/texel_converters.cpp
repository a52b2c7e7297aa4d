#include "texel_converters.h"

#include <string.h>

#include "texture_palette.h"

// Fields move into the top bits of their channel by plain shifts, with no replication into the low
// bits: a 2-bit field tops out at 0x60 and a 3-bit field at 0xE0, as the textures looked on the board
// this library was first tuned against.

namespace {

inline FxU32 argb(FxU32 a, FxU32 r, FxU32 g, FxU32 b) {
    return (a & 0xFFu) << 24 | (r & 0xFFu) << 16 | (g & 0xFFu) << 8 | (b & 0xFFu);
}

inline FxU32 paletteRgb(FxU32 index) {
    const PALETTEENTRY &entry = texturePalette[index];
    return argb(0, entry.peRed, entry.peGreen, entry.peBlue);
}

inline FxU32 ai44(FxU32 s) {
    FxU32 i = (s & 0x0Fu) << 4;
    return argb(s & 0xF0u, i, i, i);
}
inline FxU32 a8(FxU32 s) {
    return argb(s, s, s, s);
}
inline FxU32 rgb332(FxU32 s) {
    return argb(0, s & 0xE0u, (s & 0x1Cu) << 3, (s & 0x03u) << 5);
}
inline FxU32 i8(FxU32 s) {
    return argb(0, s, s, s);
}
inline FxU32 p8(FxU32 s) {
    return paletteRgb(s);
}
// YIQ texels are not decoded through the NCC tables: Y, I and Q are widened as if they were R, G and B.
inline FxU32 yiq422(FxU32 s) {
    return argb(0, s & 0xF0u, (s & 0x0Cu) << 3, (s & 0x03u) << 5);
}

inline FxU32 ai88(FxU32 lo, FxU32 hi) {
    return argb(hi, lo, lo, lo);
}
inline FxU32 argb8332(FxU32 lo, FxU32 hi) {
    return rgb332(lo) | hi << 24;
}
inline FxU32 ap88(FxU32 lo, FxU32 hi) {
    return paletteRgb(lo) | hi << 24;
}
inline FxU32 ayiq8422(FxU32 lo, FxU32 hi) {
    return yiq422(lo) | hi << 24;
}

// Destination rows are 32-bit aligned in every surface, but the application's texels need not be
// 16-bit aligned, so sources are read byte by byte and destinations written through memcpy.
template <FxU32 (*texel)(FxU32)> void convert8(void *destination, const void *source, FxU32 count) {
    const FxU8 *in = static_cast<const FxU8 *>(source);
    FxU8 *out = static_cast<FxU8 *>(destination);
    for (FxU32 x = 0; x < count; ++x) {
        FxU32 value = texel(in[x]);
        memcpy(out + x * 4, &value, 4);
    }
}

template <FxU32 (*texel)(FxU32, FxU32)> void convert16(void *destination, const void *source, FxU32 count) {
    const FxU8 *in = static_cast<const FxU8 *>(source);
    FxU8 *out = static_cast<FxU8 *>(destination);
    for (FxU32 x = 0; x < count; ++x) {
        FxU32 value = texel(in[x * 2], in[x * 2 + 1]);
        memcpy(out + x * 4, &value, 4);
    }
}

} // namespace

void convertAi44ToArgb(void *destination, const void *source, FxU32 count) {
    convert8<ai44>(destination, source, count);
}
void convertA8ToArgb(void *destination, const void *source, FxU32 count) {
    convert8<a8>(destination, source, count);
}
void convertAi88ToArgb(void *destination, const void *source, FxU32 count) {
    convert16<ai88>(destination, source, count);
}
void convertArgb8332ToArgb(void *destination, const void *source, FxU32 count) {
    convert16<argb8332>(destination, source, count);
}
void convertRgb332ToXrgb(void *destination, const void *source, FxU32 count) {
    convert8<rgb332>(destination, source, count);
}
void convertI8ToXrgb(void *destination, const void *source, FxU32 count) {
    convert8<i8>(destination, source, count);
}
void convertP8ToXrgb(void *destination, const void *source, FxU32 count) {
    convert8<p8>(destination, source, count);
}
void convertAp88ToArgb(void *destination, const void *source, FxU32 count) {
    convert16<ap88>(destination, source, count);
}
void convertYiq422ToXrgb(void *destination, const void *source, FxU32 count) {
    convert8<yiq422>(destination, source, count);
}
void convertAyiq8422ToArgb(void *destination, const void *source, FxU32 count) {
    convert16<ayiq8422>(destination, source, count);
}
