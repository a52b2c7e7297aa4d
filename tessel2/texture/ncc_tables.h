// Stored copies of the NCC tables applications download. YIQ texels are widened without them, so
// nothing reads these; they exist so that the downloads are accepted.
#ifndef KESTRIX_NCC_TABLES_H
#define KESTRIX_NCC_TABLES_H

#include "glide2x.h"

extern GuNccTable nccTable0;
extern GuNccTable nccTable1;
extern GrNCCTable_t nccSelect[2];

// table: GR_TEXTABLE_NCC0 or GR_TEXTABLE_NCC1; other values and a null source are ignored.
void storeNccTable(GrTexTable_t table, const void *source);
void selectNccTable(GrChipID_t tmu, GrNCCTable_t table);

#endif
