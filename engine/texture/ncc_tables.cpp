#include "ncc_tables.h"

#include <string.h>

NccTable nccTable0;
NccTable nccTable1;
FxU32 nccSelect[2];

static_assert(sizeof(NccTable) == 112, "an NCC table download is 112 bytes");

void storeNccTable(FxU32 table, const void *source) {
    if (source == NULL) return;
    if (table == texTableNcc0) memcpy(&nccTable0, source, sizeof(nccTable0));
    if (table == texTableNcc1) memcpy(&nccTable1, source, sizeof(nccTable1));
}

void selectNccTable(FxI32 tmu, FxU32 table) {
    if (tmu == tmu0 || tmu == tmu1) nccSelect[tmu] = table;
}
