#include "texel_converters.h"

#include <string.h>

#include <emmintrin.h>

#include "texture_palette.h"
#include "texture_state.h"

// Fields move into the top bits of their channel by plain shifts, with no replication into the low
// bits: a 2-bit field tops out at 0x60 and a 3-bit field at 0xE0, as the textures looked on the board
// this library was first tuned against.

namespace {

// s, lo and hi are bytes, so every field below stays inside its own channel: no masking per channel.
inline FxU32 grey(FxU32 s) {
    return s << 16 | s << 8 | s;
}

inline FxU32 ai44(FxU32 s) {
    return (s & 0xF0u) << 24 | grey((s & 0x0Fu) << 4);
}
// The board samples an alpha texture as white under the texel's alpha: overlay text and alpha clouds are
// white.
inline FxU32 a8(FxU32 s) {
    return s << 24 | 0xFFFFFFu;
}
inline FxU32 rgb332(FxU32 s) {
    return (s & 0xE0u) << 16 | (s & 0x1Cu) << 11 | (s & 0x03u) << 5;
}
inline FxU32 i8(FxU32 s) {
    return grey(s);
}
inline FxU32 p8(FxU32 s, FxU32) {
    return textureState.texturePaletteXrgb[s];
}
inline FxU32 p8Alpha(FxU32 s, FxU32) {
    return textureState.texturePaletteAlpha[s] << 24 | textureState.texturePaletteXrgb[s];
}
// Decoded through the NCC table prepared for the texture being converted.
inline FxU32 yiq422(FxU32 s, FxU32) {
    return textureState.nccTexelXrgb[s];
}

inline FxU32 ai88(FxU32 lo, FxU32 hi) {
    return hi << 24 | grey(lo);
}
inline FxU32 argb8332(FxU32 lo, FxU32 hi) {
    return hi << 24 | rgb332(lo);
}
inline FxU32 ap88(FxU32 lo, FxU32 hi) {
    return hi << 24 | textureState.texturePaletteXrgb[lo];
}
inline FxU32 ayiq8422(FxU32 lo, FxU32 hi) {
    return hi << 24 | textureState.nccTexelXrgb[lo];
}

// Texels go in blocks of a fixed sixteen through local arrays, so that the compiler converts a block with
// vector instructions without having to prove that source and destination do not overlap. Sources are
// copied in byte by byte: applications' texels need not be aligned.
const FxU32 blockTexels = 16;

template <FxU32 (*texel)(FxU32), FxU32 n> inline void convertBlock8(const FxU8 *source, FxU8 *destination) {
    FxU8 in[n];
    FxU32 out[n];
    memcpy(in, source, sizeof(in));
    for (FxU32 i = 0; i < n; ++i)
        out[i] = texel(in[i]);
    memcpy(destination, out, sizeof(out));
}

template <FxU32 (*texel)(FxU32, FxU32), FxU32 n>
inline void convertBlock16(const FxU8 *source, FxU8 *destination) {
    FxU8 in[2 * n];
    FxU32 out[n];
    memcpy(in, source, sizeof(in));
    for (FxU32 i = 0; i < n; ++i)
        out[i] = texel(in[2 * i], in[2 * i + 1]);
    memcpy(destination, out, sizeof(out));
}

template <FxU32 (*texel)(FxU32)> void convert8(void *destination, const void *source, FxU32 count) {
    const FxU8 *in = static_cast<const FxU8 *>(source);
    FxU8 *out = static_cast<FxU8 *>(destination);
    FxU32 done = 0;
    for (; count - done >= blockTexels; done += blockTexels)
        convertBlock8<texel, blockTexels>(in + done, out + done * 4);
    for (; done < count; ++done)
        convertBlock8<texel, 1>(in + done, out + done * 4);
}

template <FxU32 (*texel)(FxU32, FxU32)> void convert16(void *destination, const void *source, FxU32 count) {
    const FxU8 *in = static_cast<const FxU8 *>(source);
    FxU8 *out = static_cast<FxU8 *>(destination);
    FxU32 done = 0;
    for (; count - done >= blockTexels; done += blockTexels)
        convertBlock16<texel, blockTexels>(in + done * 2, out + done * 4);
    for (; done < count; ++done)
        convertBlock16<texel, 1>(in + done * 2, out + done * 4);
}

// Palette lookups are left to scalar loads: a vector gather costs more than the loads it replaces. The
// indices come four to a 32-bit read and are taken apart with shifts, and four looked-up texels leave in one
// 16-byte store: byte loads and a store per texel kept the loop at a texel a cycle at best.
const FxU32 lookUpTexels = 8, storeTexels = 4;
const FxU32 byteBits = 8, byteMask = 0xFFu;

template <FxU32 (*texel)(FxU32, FxU32), FxU32 sourceBytes>
inline FxU32 lookUpAt(const FxU32 *words, FxU32 i) {
    const FxU32 shift = (i * sourceBytes % 4) * byteBits;
    const FxU32 word = words[i * sourceBytes / 4] >> shift;
    return texel(word & byteMask, sourceBytes == 2 ? (word >> byteBits) & byteMask : 0);
}

template <FxU32 (*texel)(FxU32, FxU32), FxU32 sourceBytes>
inline void lookUpFour(const FxU32 *words, FxU32 first, FxU8 *out) {
    const __m128i texels = _mm_setr_epi32(static_cast<int>(lookUpAt<texel, sourceBytes>(words, first)),
                                          static_cast<int>(lookUpAt<texel, sourceBytes>(words, first + 1)),
                                          static_cast<int>(lookUpAt<texel, sourceBytes>(words, first + 2)),
                                          static_cast<int>(lookUpAt<texel, sourceBytes>(words, first + 3)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), texels);
}

template <FxU32 (*texel)(FxU32, FxU32), FxU32 sourceBytes>
void lookUp(void *destination, const void *source, FxU32 count) {
    const FxU8 *in = static_cast<const FxU8 *>(source);
    FxU8 *out = static_cast<FxU8 *>(destination);
    FxU32 done = 0;
    for (; count - done >= lookUpTexels; done += lookUpTexels) {
        FxU32 words[lookUpTexels * sourceBytes / 4];
        memcpy(words, in + done * sourceBytes, sizeof(words));
        lookUpFour<texel, sourceBytes>(words, 0, out + done * 4);
        lookUpFour<texel, sourceBytes>(words, storeTexels, out + (done + storeTexels) * 4);
    }
    for (; done < count; ++done) {
        const FxU8 *at = in + done * sourceBytes;
        const FxU32 value = texel(at[0], sourceBytes == 2 ? at[1] : 0);
        memcpy(out + done * 4, &value, sizeof(value));
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
    lookUp<p8, 1>(destination, source, count);
}
void convertP8ToArgb(void *destination, const void *source, FxU32 count) {
    lookUp<p8Alpha, 1>(destination, source, count);
}
void convertAp88ToArgb(void *destination, const void *source, FxU32 count) {
    lookUp<ap88, 2>(destination, source, count);
}
void convertYiq422ToXrgb(void *destination, const void *source, FxU32 count) {
    lookUp<yiq422, 1>(destination, source, count);
}
void convertAyiq8422ToArgb(void *destination, const void *source, FxU32 count) {
    lookUp<ayiq8422, 2>(destination, source, count);
}
