#include "device_tables.h"

#include "render_state.h"
#include "../core/render_context.h"

namespace {

// Candidates in order of preference, ending in 0.
typedef DWORD Preferences[4];

// Glide names a different factor by the same number as source and as destination: 2 is DST_COLOR as a
// source and SRC_COLOR as a destination, 6 their inverses, 15 ALPHA_SATURATE and PREFOG_COLOR.
const Preferences sourceBlendPreferences[blendTableSize] = {
    {D3DBLEND_ZERO},
    {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
    {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, D3DBLEND_ONE},
    {D3DBLEND_DESTALPHA, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
    {D3DBLEND_ONE},
    {D3DBLEND_INVSRCALPHA, D3DBLEND_INVDESTALPHA, D3DBLEND_ONE},
    {D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE},
    {D3DBLEND_INVDESTALPHA, D3DBLEND_INVSRCALPHA, D3DBLEND_ONE},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {D3DBLEND_SRCALPHASAT, D3DBLEND_ZERO},
    {},
};

// The colour before fog is the source colour wherever fog leaves it as it is; the draw path sees to it.
const Preferences destinationBlendPreferences[blendTableSize] = {
    {D3DBLEND_ZERO},
    {D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA, D3DBLEND_ONE},
    {D3DBLEND_SRCCOLOR, D3DBLEND_ONE},
    {D3DBLEND_DESTALPHA, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
    {D3DBLEND_ONE},
    {D3DBLEND_INVSRCALPHA, D3DBLEND_INVDESTALPHA, D3DBLEND_ONE},
    {D3DBLEND_INVSRCCOLOR, D3DBLEND_ONE},
    {D3DBLEND_INVDESTALPHA, D3DBLEND_INVSRCALPHA, D3DBLEND_ONE},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {D3DBLEND_SRCCOLOR, D3DBLEND_ONE},
    {D3DBLEND_SRCCOLOR, D3DBLEND_ONE},
};

const Preferences alphaComparePreferences[compareTableSize] = {
    {D3DCMP_NEVER, D3DCMP_ALWAYS},
    {D3DCMP_LESS, D3DCMP_ALWAYS},
    {D3DCMP_EQUAL, D3DCMP_ALWAYS},
    {D3DCMP_LESSEQUAL, D3DCMP_LESS, D3DCMP_ALWAYS},
    {D3DCMP_GREATER, D3DCMP_ALWAYS},
    {D3DCMP_NOTEQUAL, D3DCMP_ALWAYS},
    {D3DCMP_GREATEREQUAL, D3DCMP_GREATER, D3DCMP_ALWAYS},
    {D3DCMP_ALWAYS},
};

// D3DPBLENDCAPS_* and D3DPCMPCAPS_* hold the bit 1 << (n - 1) for the D3DBLEND_* or D3DCMP_* value n.
DWORD firstSupported(const Preferences &preferences, DWORD caps) {
    for (DWORD value : preferences) {
        if (value == 0) break;
        if (caps & (1u << (value - 1))) return value;
    }
    return 0;
}

} // namespace

void buildDeviceTables() {
    const D3DPRIMCAPS &caps = renderContext.deviceCaps.dpcTriCaps;
    for (FxU32 i = 0; i < blendTableSize; ++i) {
        deviceTables.srcBlendTable[i] =
            static_cast<D3DBLEND>(firstSupported(sourceBlendPreferences[i], caps.dwSrcBlendCaps));
        deviceTables.dstBlendTable[i] =
            static_cast<D3DBLEND>(firstSupported(destinationBlendPreferences[i], caps.dwDestBlendCaps));
    }
    for (FxU32 i = 0; i < compareTableSize; ++i)
        deviceTables.alphaCmpTable[i] =
            static_cast<D3DCMPFUNC>(firstSupported(alphaComparePreferences[i], caps.dwAlphaCmpCaps));
}
