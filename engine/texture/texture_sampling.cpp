// Per-TMU sampling state (address modes, filters) on the Direct3D texture stage of the same number.
#include <string.h>

#include "texture_memory.h"
#include "../core/library_state.h"
#include "../core/render_context.h"
#include "../render/device_state.h"
#include "../render/saved_state.h"
#include "texture_state.h"

namespace {

// The board's bias register holds -8 to 7.75 levels.
const float lowestLodBias = -8.0f;
const float highestLodBias = 7.75f;

bool isTextureUnit(FxI32 tmu) {
    return tmu == tmu0 || tmu == tmu1;
}

TextureUnitCalls &recordUnitCall(FxI32 tmu, FxU32 group) {
    markKnown(group << tmu);
    return stateCalls.units[tmu];
}

} // namespace

void setTextureClampMode(FxI32 tmu, FxI32 sClamp, FxI32 tClamp) {
    if (!isTextureUnit(tmu) || renderContext.device == NULL || library.rules == NULL) return;
    TextureUnitCalls &unit = recordUnitCall(tmu, groupClamp);
    unit.sClamp = sClamp;
    unit.tClamp = tClamp;
    DWORD (*addressMode)(FxI32) = library.rules->addressMode;
    ClampModes &modes = deviceTextures.clampModes[tmu];
    DWORD stage = static_cast<DWORD>(tmu);
    if (!modes.known || sClamp != modes.s) {
        sendStageState(stage, D3DTSS_ADDRESSU, addressMode(sClamp));
        modes.s = sClamp;
    }
    if (!modes.known || tClamp != modes.t) {
        sendStageState(stage, D3DTSS_ADDRESSV, addressMode(tClamp));
        modes.t = tClamp;
    }
    modes.known = true;
}

void setTextureFilters(FxI32 tmu, DWORD minFilter, DWORD magFilter) {
    if (!isTextureUnit(tmu) || renderContext.device == NULL) return;
    TextureUnitCalls &unit = recordUnitCall(tmu, groupFilter);
    unit.minFilter = static_cast<FxU8>(minFilter);
    unit.magFilter = static_cast<FxU8>(magFilter);
    sendStageState(static_cast<DWORD>(tmu), D3DTSS_MINFILTER, minFilter);
    sendStageState(static_cast<DWORD>(tmu), D3DTSS_MAGFILTER, magFilter);
}

void setTextureFilterMode(FxI32 tmu, bool minPoint, bool magPoint) {
    bool filteringOn = settings.Filtering != 0;
    if (library.rules != NULL && library.rules->filtering == FilteringSetting::onSamplesPoint)
        minPoint = magPoint = filteringOn;
    else if (!filteringOn)
        minPoint = magPoint = false;
    setTextureFilters(tmu, minPoint ? D3DTFN_POINT : D3DTFN_LINEAR, magPoint ? D3DTFG_POINT : D3DTFG_LINEAR);
}

void setTextureMipFilter(FxI32 tmu, DWORD mipFilter) {
    if (!isTextureUnit(tmu) || renderContext.device == NULL) return;
    recordUnitCall(tmu, groupMipmap).mipFilter = static_cast<FxU8>(mipFilter);
    sendStageState(static_cast<DWORD>(tmu), D3DTSS_MIPFILTER, mipFilter);
}

void setTextureMipmapMode(FxI32 tmu, FxI32 mode, bool blendLevels) {
    if (mode == mipmapDisable)
        setTextureMipFilter(tmu, D3DTFP_NONE);
    else if (mode == mipmapNearest || mode == mipmapNearestDither)
        setTextureMipFilter(tmu, blendLevels ? D3DTFP_LINEAR : D3DTFP_POINT);
}

void setTextureLodBias(FxI32 tmu, float bias) {
    if (!isTextureUnit(tmu) || renderContext.device == NULL || bias != bias) return;
    if (bias < lowestLodBias) bias = lowestLodBias;
    if (bias > highestLodBias) bias = highestLodBias;
    DWORD bits;
    memcpy(&bits, &bias, sizeof(bits));
    recordUnitCall(tmu, groupLodBias).lodBias = bits;
    sendStageState(static_cast<DWORD>(tmu), D3DTSS_MIPMAPLODBIAS, bits);
}
