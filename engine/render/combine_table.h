// The translation of Glide colour and alpha combine modes into two colour codes and one Direct3D stage-0
// operation, rebuilt at every window open from the capabilities of the new device.
#ifndef KESTRIX_COMBINE_TABLE_H
#define KESTRIX_COMBINE_TABLE_H

#include "../glide_values.h"

struct CombineEntry {
    FxU32 colorTraced; // 1 once grColorCombine has logged this combination
    FxU32 diffuseCode;
    FxU32 specularCode;
    FxU32 stageOp; // D3DTEXTUREOP
};

// Functions 0 to 9: the eight of the Voodoo combine unit's table plus
// combineFunctionScaleOtherMinusLocalAddLocalAlpha (8, no rule of its own) and
// combineFunctionScaleMinusLocalAddLocal (9), which games use for blending towards the local colour.
const FxU32 combineFunctionCount = 10;
const FxU32 combineFactorCount = 14;
const FxU32 combineLocalCount = 3;
const FxU32 combineOtherCount = 3;
const FxU32 combineEntryCount =
    combineFunctionCount * combineFactorCount * combineLocalCount * combineOtherCount;

struct CombineTableRules;

// Rebuilds every entry from the rules, the WaveRace setting and the device capabilities in
// renderContext.deviceCaps, clears the trace flags (each opened window logs the combinations it uses) and
// forgets the stage-0 operations last sent, which the new device does not have.
void buildCombineTable(const CombineTableRules &rules);

// The table index of a combination, or -1 when an argument lies outside the table.
int combineIndex(FxI32 function, FxI32 factor, FxI32 local, FxI32 other);

#endif
