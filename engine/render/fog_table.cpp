#include "fog_table.h"

#include <math.h>
#include <string.h>

#include "render_state.h"

namespace {

const float fullFog = 255.0f;

// Entry i lies at w = 2^(3 + i/4) / (8 - i mod 4): four entries per power of two from w = 1.
double indexToW(int index) {
    return ldexp(1.0, 3 + (index >> 2)) / (8.0 - (index & 3));
}

FxU8 fogByte(double amount) {
    if (!(amount > 0.0)) return 0;
    if (amount >= 1.0) return 255;
    return static_cast<FxU8>(amount * fullFog);
}

} // namespace

void setFogTable(const FxU8 *table) {
    memcpy(renderState.fogTable, table, fogTableSize);
}

// With w = m × 2^e (m from 0.5 to 1), entry positions 4e + 4 - 4/m run continuously through the table.
FxU32 fogAmountAtW(float w) {
    const FxU8 *table = renderState.fogTable;
    if (!(w > 1.0f)) return table[0];
    int exponent;
    float mantissa = frexpf(w, &exponent);
    float position = 4.0f * static_cast<float>(exponent) + 4.0f - 4.0f / mantissa;
    if (!(position < static_cast<float>(fogTableSize - 1))) return table[fogTableSize - 1];
    int index = static_cast<int>(position);
    float fraction = position - static_cast<float>(index);
    float amount = table[index] + (static_cast<float>(table[index + 1]) - table[index]) * fraction;
    return static_cast<FxU32>(amount + 0.5f);
}

void fillExponentialFogTable(FxU8 *table, float density) {
    for (int i = 0; i < fogTableSize; ++i)
        table[i] = fogByte(1.0 - exp(-density * indexToW(i)));
}

void fillSquaredExponentialFogTable(FxU8 *table, float density) {
    for (int i = 0; i < fogTableSize; ++i) {
        double exponent = density * indexToW(i);
        table[i] = fogByte(1.0 - exp(-exponent * exponent));
    }
}

void fillLinearFogTable(FxU8 *table, float nearW, float farW) {
    for (int i = 0; i < fogTableSize; ++i) {
        double w = indexToW(i);
        table[i] = farW > nearW ? fogByte((w - nearW) / (farW - nearW)) : fogByte(w >= farW ? 1.0 : 0.0);
    }
}
