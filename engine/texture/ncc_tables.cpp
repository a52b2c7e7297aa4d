#include "ncc_tables.h"
#include "../session/engine_state.h"

#include <string.h>

static_assert(sizeof(NccTable) == 112, "an NCC table download is 112 bytes");

void storeNccTable(FxU32 table, const void *source) {
    if (source == NULL) return;
    if (table == texTableNcc0) memcpy(&textureState.nccTable0, source, sizeof(textureState.nccTable0));
    if (table == texTableNcc1) memcpy(&textureState.nccTable1, source, sizeof(textureState.nccTable1));
}

void selectNccTable(FxI32 tmu, FxU32 table) {
    if (tmu == tmu0 || tmu == tmu1) textureState.nccSelect[tmu] = table;
}
