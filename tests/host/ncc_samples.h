// NCC tables with known values, for either library's GuNccTable, and the colour a YIQ byte takes through one.
#ifndef KESTRIX_NCC_SAMPLES_H
#define KESTRIX_NCC_SAMPLES_H

#include <cstdint>
#include <cstring>

// Y values spread over 0 to 255; I and Q within their 9 signed bits, so that sums fall below 0 and above 255.
template <typename Table> Table nccTableSample(int seed) {
    Table table;
    std::memset(&table, 0, sizeof(table));
    for (int i = 0; i < 16; ++i)
        table.yRGB[i] = static_cast<uint8_t>(i * 17 + seed);
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 3; ++c) {
            table.iRGB[k][c] = static_cast<int16_t>(k * 70 - 120 + c * 15 + seed % 40);
            table.qRGB[k][c] = static_cast<int16_t>(-180 + k * 120 - c * 25 + seed % 40);
        }
    return table;
}

template <typename Table> uint32_t nccDecoded(const Table &table, uint32_t yiq) {
    uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
        int value = table.yRGB[yiq >> 4] + table.iRGB[(yiq >> 2) & 3][c] + table.qRGB[yiq & 3][c];
        value = value < 0 ? 0 : value > 255 ? 255 : value;
        pixel |= static_cast<uint32_t>(value) << (16 - 8 * c);
    }
    return pixel;
}

#endif
