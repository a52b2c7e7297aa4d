#include "ncc_tables.h"
#include "texture_state.h"

#include <string.h>

static_assert(sizeof(NccTable) == 112, "an NCC table download is 112 bytes");

namespace {

const int nccYCount = 16;
const int nccIqCount = 4;
const FxU32 nccYStep = 17; // 15 × 17 = 255
const FxI32 channelMax = 255;

// The board reads I and Q as 9-bit signed numbers; tables from 3DF files keep them as their 9 bits only.
FxI32 nccComponent(FxI16 value) {
    FxI32 bits = static_cast<FxI32>(value) & 0x1FF;
    return bits >= 0x100 ? bits - 0x200 : bits;
}

FxU32 channel(FxI32 value) {
    if (value < 0) return 0;
    return static_cast<FxU32>(value > channelMax ? channelMax : value);
}

NccTable &tableNumber(FxU32 table) {
    return table == texTableNcc1 ? textureState.nccTables[1] : textureState.nccTables[0];
}

} // namespace

NccTable neutralNccTable() {
    NccTable table;
    memset(&table, 0, sizeof(table));
    for (int i = 0; i < nccYCount; ++i)
        table.yRGB[i] = static_cast<FxU8>(i * nccYStep);
    for (int k = 0; k < nccIqCount; ++k) {
        const FxU8 *y = table.yRGB + 4 * k;
        table.packedData[k] = static_cast<FxU32>(y[0]) | static_cast<FxU32>(y[1]) << 8 |
                              static_cast<FxU32>(y[2]) << 16 | static_cast<FxU32>(y[3]) << 24;
    }
    return table;
}

FxU32 nccTableChecksum(const NccTable &table) {
    const FxU8 *bytes = reinterpret_cast<const FxU8 *>(&table);
    FxU32 sum = 0;
    for (size_t i = 0; i < sizeof(table); ++i)
        sum = sum * 31u + bytes[i];
    return sum;
}

void storeNccTable(FxU32 table, const void *source) {
    if (source == NULL || (table != texTableNcc0 && table != texTableNcc1)) return;
    memcpy(&tableNumber(table), source, sizeof(NccTable));
    textureState.nccChecksums[table] = nccTableChecksum(tableNumber(table));
}

void selectNccTable(FxI32 tmu, FxU32 table) {
    if (tmu == tmu0 || tmu == tmu1) textureState.nccSelect[tmu] = table;
}

FxU32 nccChecksumFor(FxI32 tmu) {
    FxU32 table = textureState.nccSelect[tmu == tmu1 ? tmu1 : tmu0];
    return textureState.nccChecksums[table == texTableNcc1 ? 1 : 0];
}

FxU32 decodeNccTexel(const NccTable &table, FxU32 yiq) {
    FxI32 y = table.yRGB[(yiq >> 4) & 0x0F];
    const FxI16 *i = table.iRGB[(yiq >> 2) & 0x03];
    const FxI16 *q = table.qRGB[yiq & 0x03];
    FxU32 red = channel(y + nccComponent(i[0]) + nccComponent(q[0]));
    FxU32 green = channel(y + nccComponent(i[1]) + nccComponent(q[1]));
    FxU32 blue = channel(y + nccComponent(i[2]) + nccComponent(q[2]));
    return red << 16 | green << 8 | blue;
}

void prepareNccDecoding(FxI32 tmu) {
    FxU32 table = textureState.nccSelect[tmu == tmu1 ? tmu1 : tmu0];
    const NccTable &selected = tableNumber(table);
    for (FxU32 s = 0; s < nccTexelCount; ++s)
        textureState.nccTexelXrgb[s] = decodeNccTexel(selected, s);
}
