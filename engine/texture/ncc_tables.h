// The NCC tables applications download, through which YIQ texels are decoded into colours.
#ifndef KESTRIX_NCC_TABLES_H
#define KESTRIX_NCC_TABLES_H

#include "../glide_values.h"

// One NCC table as Glide lays it out: 16 Y values, 4 I and 4 Q triples, and the same packed into the
// twelve words the hardware takes.
struct NccTable {
    FxU8 yRGB[16];
    FxI16 iRGB[4][3];
    FxI16 qRGB[4][3];
    FxU32 packedData[12];
};

const int nccTableCount = 2;
const FxU32 nccTexelCount = 256; // one decoded colour per low byte of a YIQ texel

// Y ramp from 0 to 255, I and Q zero: what YIQ texels decode through before any table download.
NccTable neutralNccTable();
// Every byte of the table takes part, each at its own weight.
FxU32 nccTableChecksum(const NccTable &table);
// table: texTableNcc0 or texTableNcc1; other values and a null source are ignored.
void storeNccTable(FxU32 table, const void *source);
void selectNccTable(FxI32 tmu, FxU32 table);
// The checksum of the table selected on tmu, which YIQ textures there are stamped with.
FxU32 nccChecksumFor(FxI32 tmu);
// Fills textureState.nccTexelXrgb from the table selected on tmu, for the YIQ converters.
void prepareNccDecoding(FxI32 tmu);
// 0x00RRGGBB of the YIQ byte through the table: Y + I + Q per channel, held to 0 to 255.
FxU32 decodeNccTexel(const NccTable &table, FxU32 yiq);

#endif
