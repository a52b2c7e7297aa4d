// Blend-factor and compare-function tables of the current device, rebuilt at
// every window open.
#ifndef KESTRIX_DEVICE_TABLES_H
#define KESTRIX_DEVICE_TABLES_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"
#include "combine_table.h"
#include "../texture/texture_formats.h"

// Glide 3 numbers the pre-fog colour 16, Glide 2 15.
const FxU32 blendTableSize = 17;
const FxU32 compareTableSize = 8;

// Translation tables of the current device, rebuilt at every window open.
struct DeviceTables {
    CombineEntry combineTable[combineEntryCount];
    // Per combination, 1 once grAlphaCombine has logged it.
    FxU32 alphaTraced[combineEntryCount];
    bool combineTableBuilt;
    // Glide blend factor and alpha-test function to the Direct3D value the device offers; 0 where the
    // factor has no translation or the device offers none of the candidates.
    D3DBLEND srcBlendTable[blendTableSize];
    D3DBLEND dstBlendTable[blendTableSize];
    D3DCMPFUNC alphaCmpTable[compareTableSize];
    DDPIXELFORMAT desiredFormats[textureFormatRowCount];
    TextureFormatRow textureFormats[textureFormatRowCount];
};

// Part of the library's records (session/state_groups.h).
extern DeviceTables &deviceTables;

// Fills the tables from renderContext.deviceCaps and forgets the alpha-test function last sent, which the new
// device does not have.
void buildDeviceTables();

#endif
