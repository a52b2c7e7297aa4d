// Glide's fog table: 64 amounts of fog, from 0 (none) to 255 (only the fog colour), at the w values of
// guFogTableIndexToW; table fog reaches Direct3D as vertex fog in the specular alpha.
#ifndef KESTRIX_FOG_TABLE_H
#define KESTRIX_FOG_TABLE_H

#include "../glide_values.h"

const int fogTableSize = 64;

void setFogTable(const FxU8 *table);
// The table's fog at w, interpolated between the two entries around it as the board does.
FxU32 fogAmountAtW(float w);

// The utilities' tables: 1 - e^(-density × w), 1 - e^(-(density × w)²), and a ramp from nearW to farW.
void fillExponentialFogTable(FxU8 *table, float density);
void fillSquaredExponentialFogTable(FxU8 *table, float density);
void fillLinearFogTable(FxU8 *table, float nearW, float farW);

#endif
