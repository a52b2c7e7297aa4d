#include "ncc_tables.h"

#include <string.h>

GuNccTable nccTable0;
GuNccTable nccTable1;
GrNCCTable_t nccSelect[2];

static_assert(sizeof(GuNccTable) == 112, "an NCC table download is 112 bytes");

void storeNccTable(GrTexTable_t table, const void *source) {
    if (source == NULL) return;
    if (table == GR_TEXTABLE_NCC0) memcpy(&nccTable0, source, sizeof(nccTable0));
    if (table == GR_TEXTABLE_NCC1) memcpy(&nccTable1, source, sizeof(nccTable1));
}

void selectNccTable(GrChipID_t tmu, GrNCCTable_t table) {
    if (tmu == GR_TMU0 || tmu == GR_TMU1) nccSelect[tmu] = table;
}
