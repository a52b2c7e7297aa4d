#include "combine_table.h"

// Combine modes are not translated yet; the table stays empty.
void buildCombineTable() {}
