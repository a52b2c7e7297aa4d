#include "device_state.h"

#include <string.h>

#include "draw_batch.h"
#include "../session/render_context.h"

namespace {

// Direct3D 7's render states run below 256 and its stage states below 32 on 8 stages; anything outside
// is sent every time.
const DWORD renderStateCount = 256;
const DWORD stageCount = 8;
const DWORD stageStateCount = 32;

struct KnownValue {
    bool known;
    DWORD value;
};

struct SentState {
    KnownValue render[renderStateCount];
    KnownValue stage[stageCount][stageStateCount];
    bool textureKnown[stageCount];
    IDirectDrawSurface7 *texture[stageCount];
    bool viewportKnown;
    D3DVIEWPORT7 viewport;
};

SentState sent;

// A new value first sends the batch drawn under the old one; the same value again leaves the batch whole.
void record(KnownValue &entry, DWORD value) {
    if (entry.known && entry.value == value) return;
    flushDrawBatch();
    entry.known = true;
    entry.value = value;
}

bool sameViewport(const D3DVIEWPORT7 &a, const D3DVIEWPORT7 &b) {
    return a.dwX == b.dwX && a.dwY == b.dwY && a.dwWidth == b.dwWidth && a.dwHeight == b.dwHeight &&
           a.dvMinZ == b.dvMinZ && a.dvMaxZ == b.dvMaxZ;
}

} // namespace

void sendRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (renderContext.device == NULL) return;
    DWORD index = static_cast<DWORD>(state);
    if (index >= renderStateCount)
        flushDrawBatch();
    else
        record(sent.render[index], value);
    renderContext.device->SetRenderState(state, value);
}

void sendStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (renderContext.device == NULL) return;
    DWORD index = static_cast<DWORD>(type);
    if (stage >= stageCount || index >= stageStateCount)
        flushDrawBatch();
    else
        record(sent.stage[stage][index], value);
    renderContext.device->SetTextureStageState(stage, type, value);
}

// A stage holds its own reference to the surface, so a surface still bound cannot be freed and its address
// cannot come back as another texture's.
void sendTexture(DWORD stage, IDirectDrawSurface7 *surface) {
    if (renderContext.device == NULL) return;
    bool same = stage < stageCount && sent.textureKnown[stage] && sent.texture[stage] == surface;
    if (!same) flushDrawBatch();
    if (stage < stageCount) {
        sent.textureKnown[stage] = true;
        sent.texture[stage] = surface;
    }
    renderContext.device->SetTexture(stage, surface);
}

HRESULT sendViewport(const D3DVIEWPORT7 &viewport) {
    if (renderContext.device == NULL) return D3D_OK;
    if (!sent.viewportKnown || !sameViewport(sent.viewport, viewport)) flushDrawBatch();
    D3DVIEWPORT7 copy = viewport;
    HRESULT result = renderContext.device->SetViewport(&copy);
    sent.viewportKnown = result == D3D_OK;
    sent.viewport = viewport;
    return result;
}

// A new device has no texture on any stage: one never sent to holds none.
void flushIfTextureBound(IDirectDrawSurface7 *surface) {
    for (DWORD stage = 0; stage < stageCount; ++stage)
        if (surface != NULL && sent.texture[stage] == surface) return flushDrawBatch();
}

HRESULT sendRenderTarget(IDirectDrawSurface7 *target) {
    flushDrawBatch();
    sent.viewportKnown = false;
    return renderContext.device->SetRenderTarget(target, 0);
}

DWORD sentRenderState(D3DRENDERSTATETYPE state) {
    DWORD index = static_cast<DWORD>(state);
    if (index < renderStateCount && sent.render[index].known) return sent.render[index].value;
    DWORD value = 0;
    if (renderContext.device) renderContext.device->GetRenderState(state, &value);
    return value;
}

DWORD sentStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    DWORD index = static_cast<DWORD>(type);
    if (stage < stageCount && index < stageStateCount && sent.stage[stage][index].known)
        return sent.stage[stage][index].value;
    DWORD value = 0;
    if (renderContext.device) renderContext.device->GetTextureStageState(stage, type, &value);
    return value;
}

void forgetDeviceState() {
    memset(&sent, 0, sizeof(sent));
}
