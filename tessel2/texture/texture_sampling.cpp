// Per-TMU sampling state (address modes, filters) on the Direct3D texture stage of the same number.
#include "texture_memory.h"
#include "../session/render_context.h"

namespace {

struct ClampModes {
    bool known; // false until the first call on the current device, which is always sent
    GrTextureClampMode_t s;
    GrTextureClampMode_t t;
};

ClampModes clampModes[textureUnitCount];

bool isTextureUnit(GrChipID_t tmu) {
    return tmu == GR_TMU0 || tmu == GR_TMU1;
}

} // namespace

void setTextureClampMode(GrChipID_t tmu, GrTextureClampMode_t sClamp, GrTextureClampMode_t tClamp,
                         DWORD (*addressMode)(GrTextureClampMode_t)) {
    if (!isTextureUnit(tmu) || context.device == NULL || addressMode == NULL) return;
    ClampModes &modes = clampModes[tmu];
    DWORD stage = static_cast<DWORD>(tmu);
    if (!modes.known || sClamp != modes.s) {
        context.device->SetTextureStageState(stage, D3DTSS_ADDRESSU, addressMode(sClamp));
        modes.s = sClamp;
    }
    if (!modes.known || tClamp != modes.t) {
        context.device->SetTextureStageState(stage, D3DTSS_ADDRESSV, addressMode(tClamp));
        modes.t = tClamp;
    }
    modes.known = true;
}

void forgetTextureClampModes() {
    for (ClampModes &modes : clampModes)
        modes = ClampModes{false, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP};
}

void setTextureFilters(GrChipID_t tmu, DWORD minFilter, DWORD magFilter) {
    if (!isTextureUnit(tmu) || context.device == NULL) return;
    context.device->SetTextureStageState(static_cast<DWORD>(tmu), D3DTSS_MINFILTER, minFilter);
    context.device->SetTextureStageState(static_cast<DWORD>(tmu), D3DTSS_MAGFILTER, magFilter);
}

void setTextureMipFilter(GrChipID_t tmu, DWORD mipFilter) {
    if (!isTextureUnit(tmu) || context.device == NULL) return;
    context.device->SetTextureStageState(static_cast<DWORD>(tmu), D3DTSS_MIPFILTER, mipFilter);
}
