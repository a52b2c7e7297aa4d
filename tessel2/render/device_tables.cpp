#include "device_tables.h"

// Blend, compare and scale tables are not built yet.
void buildDeviceTables() {}
