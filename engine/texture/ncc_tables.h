// Stored copies of the NCC tables applications download. YIQ texels are widened without them, so
// nothing reads these; they exist so that the downloads are accepted.
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

// table: texTableNcc0 or texTableNcc1; other values and a null source are ignored.
void storeNccTable(FxU32 table, const void *source);
void selectNccTable(FxI32 tmu, FxU32 table);

#endif
