// Encodes an RGB image into YIQ 4-2-2 texels with an NCC table fitted to that image, as the texture tools of
// the Voodoo years did: sixteen Y values spread over the image's luminance range, four I and four Q steps
// spread over the range its chrominance takes. An ordered dither hides the coarse I and Q steps.
#ifndef KESTRIX_NCC_ENCODER_H
#define KESTRIX_NCC_ENCODER_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "glide3x.h"

namespace kx {

struct Rgb {
    float r, g, b;
};

struct Yiq {
    float y, i, q;
};

inline Yiq toYiq(Rgb c) {
    return {0.299f * c.r + 0.587f * c.g + 0.114f * c.b, 0.596f * c.r - 0.274f * c.g - 0.322f * c.b,
            0.211f * c.r - 0.523f * c.g + 0.312f * c.b};
}

// The colour one unit of I and of Q adds, from the inverse of the YIQ matrix.
const float iToRgb[3] = {0.956f, -0.272f, -1.106f};
const float qToRgb[3] = {0.621f, -0.647f, 1.703f};

const int yLevels = 16, iqLevels = 4;
const int nccEntryMin = -256, nccEntryMax = 255; // I and Q entries are signed 9-bit numbers

struct Span {
    float low, high;
    float at(int level, int levels) const {
        return low + (high - low) * static_cast<float>(level) / (levels - 1);
    }
};

inline int clampInt(int v, int low, int high) {
    return v < low ? low : v > high ? high : v;
}

// The level of v among `levels` steps spread over span, pushed up or down by the dither threshold (0 to 1).
inline int quantize(float v, Span span, int levels, float threshold) {
    float width = span.high - span.low;
    float x = width > 0.0f ? (v - span.low) / width * static_cast<float>(levels - 1) : 0.0f;
    return clampInt(static_cast<int>(std::floor(x + threshold)), 0, levels - 1);
}

inline float bayerThreshold(int x, int y) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (static_cast<float>(bayer[y & 3][x & 3]) + 0.5f) / 16.0f;
}

inline FxU32 packNccEntry(const FxI16 rgb[3]) {
    const FxU32 mask = 0x1FF;
    return (static_cast<FxU32>(rgb[0]) & mask) << 18 | (static_cast<FxU32>(rgb[1]) & mask) << 9 |
           (static_cast<FxU32>(rgb[2]) & mask);
}

inline void fillNccTable(Span y, Span i, Span q, GuNccTable *table) {
    for (int k = 0; k < yLevels; ++k)
        table->yRGB[k] = static_cast<FxU8>(clampInt(static_cast<int>(std::lround(y.at(k, yLevels))), 0, 255));
    for (int k = 0; k < iqLevels; ++k)
        for (int c = 0; c < 3; ++c) {
            int iv = static_cast<int>(std::lround(i.at(k, iqLevels) * iToRgb[c]));
            int qv = static_cast<int>(std::lround(q.at(k, iqLevels) * qToRgb[c]));
            table->iRGB[k][c] = static_cast<FxI16>(clampInt(iv, nccEntryMin, nccEntryMax));
            table->qRGB[k][c] = static_cast<FxI16>(clampInt(qv, nccEntryMin, nccEntryMax));
        }
    // The same table in the twelve words the hardware takes: four Y per word, then one word per I and Q.
    for (int k = 0; k < 4; ++k)
        table->packed_data[k] = static_cast<FxU32>(table->yRGB[4 * k]) |
                                static_cast<FxU32>(table->yRGB[4 * k + 1]) << 8 |
                                static_cast<FxU32>(table->yRGB[4 * k + 2]) << 16 |
                                static_cast<FxU32>(table->yRGB[4 * k + 3]) << 24;
    for (int k = 0; k < iqLevels; ++k) {
        table->packed_data[4 + k] = packNccEntry(table->iRGB[k]);
        table->packed_data[8 + k] = packNccEntry(table->qRGB[k]);
    }
}

// image: width x height pixels, channels 0 to 255, row by row from the top. texels gets one byte per pixel:
// Y in bits 4 to 7, I in bits 2 and 3, Q in bits 0 and 1.
inline void encodeYiq422(const std::vector<Rgb> &image, int width, GuNccTable *table,
                         std::vector<uint8_t> *texels) {
    std::vector<Yiq> yiq(image.size());
    Span y = {1e9f, -1e9f}, i = y, q = y;
    for (size_t k = 0; k < image.size(); ++k) {
        yiq[k] = toYiq(image[k]);
        y = {std::min(y.low, yiq[k].y), std::max(y.high, yiq[k].y)};
        i = {std::min(i.low, yiq[k].i), std::max(i.high, yiq[k].i)};
        q = {std::min(q.low, yiq[k].q), std::max(q.high, yiq[k].q)};
    }
    fillNccTable(y, i, q, table);
    texels->resize(image.size());
    for (size_t k = 0; k < image.size(); ++k) {
        int px = static_cast<int>(k % static_cast<size_t>(width)),
            py = static_cast<int>(k / static_cast<size_t>(width));
        float threshold = bayerThreshold(px, py);
        int yl = quantize(yiq[k].y, y, yLevels, threshold);
        int il = quantize(yiq[k].i, i, iqLevels, threshold);
        int ql = quantize(yiq[k].q, q, iqLevels, 1.0f - threshold);
        (*texels)[k] = static_cast<uint8_t>(yl << 4 | il << 2 | ql);
    }
}

// What the board makes of one texel through the table: Y value plus the I and Q entries, each channel
// clamped.
inline Rgb decodeYiq422(uint8_t texel, const GuNccTable &table) {
    int y = table.yRGB[texel >> 4], i = (texel >> 2) & 3, q = texel & 3;
    int c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = clampInt(y + table.iRGB[i][k] + table.qRGB[q][k], 0, 255);
    return {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
}

} // namespace kx

#endif
