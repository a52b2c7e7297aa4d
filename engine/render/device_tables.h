// Blend-factor and compare-function tables of the current device, rebuilt at
// every window open.
#ifndef KESTRIX_DEVICE_TABLES_H
#define KESTRIX_DEVICE_TABLES_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"

const FxU32 blendTableSize = 16;
const FxU32 compareTableSize = 8;

// Glide blend factor and alpha-test function to the Direct3D value the device offers; 0 where the
// factor has no translation or the device offers none of the candidates.
extern D3DBLEND srcBlendTable[blendTableSize];
extern D3DBLEND dstBlendTable[blendTableSize];
extern D3DCMPFUNC alphaCmpTable[compareTableSize];

// Fills the tables from context.deviceCaps and forgets the alpha-test function last sent, which the new
// device does not have.
void buildDeviceTables();

#endif
