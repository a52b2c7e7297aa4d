#include "chroma_range.h"

#include "texture_memory.h"
#include "texture_state.h"
#include "../core/render_context.h"
#include "../render/device_state.h"
#include "../render/render_state.h"

namespace {

const FxU32 rgbMask = 0x00FFFFFFu;
const FxU32 channelMax = 0xFFu;
const int channelBits = 8;
const int redShift = 16;
const int greenShift = 8;

struct ChannelField {
    int shift;
    int bits;
};

ChannelField fieldOf(DWORD mask) {
    ChannelField field = {0, 0};
    if (mask == 0) return field;
    while (((mask >> field.shift) & 1u) == 0)
        ++field.shift;
    while (field.shift + field.bits < 32 && ((mask >> (field.shift + field.bits)) & 1u) != 0)
        ++field.bits;
    return field;
}

// A field widened to 8 bits as the board widened texels: the top bits repeat into the low ones.
FxU32 widen(FxU32 value, int bits) {
    if (bits >= channelBits) return value >> (bits - channelBits);
    FxU32 wide = 0;
    for (int shift = channelBits - bits; shift > -bits; shift -= bits)
        wide |= shift >= 0 ? value << shift : value >> -shift;
    return wide & channelMax;
}

FxU32 channelOf(FxU32 rgb, int shift) {
    return (rgb >> shift) & channelMax;
}

bool inRange(const ChromaRange &range, FxU32 red, FxU32 green, FxU32 blue) {
    return red >= channelOf(range.low, redShift) && red <= channelOf(range.high, redShift) &&
           green >= channelOf(range.low, greenShift) && green <= channelOf(range.high, greenShift) &&
           blue >= channelOf(range.low, 0) && blue <= channelOf(range.high, 0);
}

// The smallest field value whose widened colour lies in [low, high]; false when none does.
bool lowestInside(ChannelField field, FxU32 low, FxU32 high, DWORD *placed) {
    const FxU32 top = field.bits >= 32 ? 0xFFFFFFFFu : (1u << field.bits) - 1;
    for (FxU32 value = 0; value <= top; ++value) {
        FxU32 wide = widen(value, field.bits);
        if (wide > high) return false;
        if (wide >= low) {
            *placed = value << field.shift;
            return true;
        }
    }
    return false;
}

DWORD readTexel(const FxU8 *at, FxU32 bytes) {
    DWORD texel = 0;
    for (FxU32 i = 0; i < bytes; ++i)
        texel |= static_cast<DWORD>(at[i]) << (channelBits * i);
    return texel;
}

void writeTexel(FxU8 *at, FxU32 bytes, DWORD texel) {
    for (FxU32 i = 0; i < bytes; ++i)
        at[i] = static_cast<FxU8>(texel >> (channelBits * i));
}

bool sameRange(const ChromaRange &a, const ChromaRange &b) {
    if (!a.enabled || !b.enabled) return a.enabled == b.enabled;
    return a.low == b.low && a.high == b.high;
}

// Bound textures are keyed at once, the others when they are next bound.
void rangesChanged() {
    if (renderContext.device == NULL) return;
    for (int tmu = 0; tmu < textureUnitCount; ++tmu)
        if (deviceTextures.currentTexture[tmu] != NULL) applyColorKey(deviceTextures.currentTexture[tmu]);
    refreshColorKeyEnable();
}

bool validUnit(FxI32 tmu) {
    return tmu >= 0 && tmu < textureUnitCount;
}

} // namespace

// The board compared the colour combine's other input (the texel in a textured draw) with the range; here
// the texels of the bound textures are compared, so untextured draws are never keyed by the frame's range.
void setChromaRangeMode(bool enabled) {
    textureState.frameChromaRange.enabled = enabled;
    rangesChanged();
}

void setChromaRange(FxU32 lowArgb, FxU32 highArgb) {
    textureState.frameChromaRange.low = lowArgb & rgbMask;
    textureState.frameChromaRange.high = highArgb & rgbMask;
    rangesChanged();
}

void setTexChromaMode(FxI32 tmu, bool enabled) {
    if (!validUnit(tmu)) return;
    textureState.texChromaRange[tmu].enabled = enabled;
    rangesChanged();
}

void setTexChromaRange(FxI32 tmu, FxU32 lowArgb, FxU32 highArgb) {
    if (!validUnit(tmu)) return;
    textureState.texChromaRange[tmu].low = lowArgb & rgbMask;
    textureState.texChromaRange[tmu].high = highArgb & rgbMask;
    rangesChanged();
}

ChromaRange chromaRangeFor(FxI32 tmu) {
    if (validUnit(tmu) && textureState.texChromaRange[tmu].enabled) return textureState.texChromaRange[tmu];
    if (textureState.frameChromaRange.enabled) return textureState.frameChromaRange;
    return ChromaRange{false, 0, 0};
}

bool anyChromaRangeEnabled() {
    if (textureState.frameChromaRange.enabled) return true;
    for (const ChromaRange &range : textureState.texChromaRange)
        if (range.enabled) return true;
    return false;
}

// Keyed texels are opaque, so the key carries the alpha bits of an opaque texel as the chroma key does.
bool rangeKeyTexel(const ChromaRange &range, const DDPIXELFORMAT &format, DWORD *key) {
    if (!range.enabled || (format.dwFlags & DDPF_RGB) == 0) return false;
    DWORD red = 0, green = 0, blue = 0;
    if (!lowestInside(fieldOf(format.dwRBitMask), channelOf(range.low, redShift),
                      channelOf(range.high, redShift), &red) ||
        !lowestInside(fieldOf(format.dwGBitMask), channelOf(range.low, greenShift),
                      channelOf(range.high, greenShift), &green) ||
        !lowestInside(fieldOf(format.dwBBitMask), channelOf(range.low, 0), channelOf(range.high, 0), &blue))
        return false;
    *key = red | green | blue;
    if (format.dwFlags & DDPF_ALPHAPIXELS) *key |= format.dwRGBAlphaBitMask;
    return true;
}

void keyRowsInRange(const TextureRecord *record, FxU8 *rows, LONG pitch, FxU32 width, FxU32 rowCount) {
    const DDPIXELFORMAT &format = record->formatRow.pixelFormat;
    DWORD key = 0;
    if (!rangeKeyTexel(record->keyedRange, format, &key)) return;
    const ChannelField red = fieldOf(format.dwRBitMask), green = fieldOf(format.dwGBitMask),
                       blue = fieldOf(format.dwBBitMask);
    const FxU32 bytes = record->formatRow.destinationBytes;
    for (FxU32 y = 0; y < rowCount; ++y) {
        FxU8 *texel = rows + static_cast<size_t>(y) * pitch;
        for (FxU32 x = 0; x < width; ++x, texel += bytes) {
            const DWORD value = readTexel(texel, bytes);
            if (inRange(record->keyedRange, widen((value & format.dwRBitMask) >> red.shift, red.bits),
                        widen((value & format.dwGBitMask) >> green.shift, green.bits),
                        widen((value & format.dwBBitMask) >> blue.shift, blue.bits)))
                writeTexel(texel, bytes, key);
        }
    }
}

// Texels keyed out by an earlier range come back from the soft copy, converted again.
bool applyChromaRange(TextureRecord *record) {
    const ChromaRange range = chromaRangeFor(static_cast<FxI32>(record->tmu));
    if (sameRange(range, record->keyedRange)) return false;
    record->keyedRange = range;
    if (record->softCopy != NULL) writeLevels(record, record->softCopy);
    return true;
}
