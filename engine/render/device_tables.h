// Blend-factor and compare-function tables of the current device, rebuilt at
// every window open.
#ifndef KESTRIX_DEVICE_TABLES_H
#define KESTRIX_DEVICE_TABLES_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"

// Glide 3 numbers the pre-fog colour 16, Glide 2 15.
const FxU32 blendTableSize = 17;
const FxU32 compareTableSize = 8;

// Fills the tables from renderContext.deviceCaps and forgets the alpha-test function last sent, which the new
// device does not have.
void buildDeviceTables();

#endif
