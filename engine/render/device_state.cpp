#include "device_state.h"

#include <string.h>

#include "draw_batch.h"
#include "../core/render_context.h"
#include "../core/render_scaling.h"

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
    bool textureUnsure[stageCount];
    IDirectDrawSurface7 *texture[stageCount];
    bool viewportKnown;
    D3DVIEWPORT7 viewport;
};

SentState sent;

bool holds(const KnownValue &entry, DWORD value) {
    return entry.known && entry.value == value;
}

// A refused value leaves the device holding the old one or a half-set one: neither is known.
void remember(KnownValue &entry, DWORD value, HRESULT result) {
    entry.known = result == D3D_OK;
    entry.value = value;
}

bool sameViewport(const D3DVIEWPORT7 &a, const D3DVIEWPORT7 &b) {
    return a.dwX == b.dwX && a.dwY == b.dwY && a.dwWidth == b.dwWidth && a.dwHeight == b.dwHeight &&
           a.dvMinZ == b.dvMinZ && a.dvMaxZ == b.dvMaxZ;
}

} // namespace

// Games set the same states before every triangle: a value the device already holds is not sent again and
// leaves the batch whole. A new one first sends the batch drawn under the old one.
void sendRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (renderContext.device == NULL) return;
    DWORD index = static_cast<DWORD>(state);
    bool tracked = index < renderStateCount;
    if (tracked && holds(sent.render[index], value)) return;
    flushDrawBatch();
    HRESULT result = renderContext.device->SetRenderState(state, value);
    if (tracked) remember(sent.render[index], value, result);
}

void sendStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (renderContext.device == NULL) return;
    DWORD index = static_cast<DWORD>(type);
    bool tracked = stage < stageCount && index < stageStateCount;
    if (tracked && holds(sent.stage[stage][index], value)) return;
    flushDrawBatch();
    HRESULT result = renderContext.device->SetTextureStageState(stage, type, value);
    if (tracked) remember(sent.stage[stage][index], value, result);
}

// A stage holds its own reference to the surface, so a surface still bound cannot be freed and its address
// cannot come back as another texture's.
void sendTexture(DWORD stage, IDirectDrawSurface7 *surface) {
    if (renderContext.device == NULL) return;
    bool tracked = stage < stageCount;
    if (tracked && sent.textureKnown[stage] && sent.texture[stage] == surface) return;
    flushDrawBatch();
    HRESULT result = renderContext.device->SetTexture(stage, surface);
    if (!tracked) return;
    sent.textureKnown[stage] = result == D3D_OK;
    // After a refusal the stage may still hold the old surface: both stay candidates for a batch's texture.
    sent.textureUnsure[stage] = result != D3D_OK;
    sent.texture[stage] = surface;
}

HRESULT sendViewport(const D3DVIEWPORT7 &viewport) {
    if (renderContext.device == NULL) return D3D_OK;
    if (sent.viewportKnown && sameViewport(sent.viewport, viewport)) return D3D_OK;
    flushDrawBatch();
    D3DVIEWPORT7 copy = scaledViewport(viewport);
    HRESULT result = renderContext.device->SetViewport(&copy);
    sent.viewportKnown = result == D3D_OK;
    sent.viewport = viewport;
    return result;
}

// A new device has no texture on any stage: one never sent to holds none.
bool textureMayBeOnStage(IDirectDrawSurface7 *surface) {
    if (surface == NULL) return false;
    for (DWORD stage = 0; stage < stageCount; ++stage)
        if (sent.texture[stage] == surface || sent.textureUnsure[stage]) return true;
    return false;
}

void flushIfTextureBound(IDirectDrawSurface7 *surface) {
    if (textureMayBeOnStage(surface)) flushDrawBatch();
}

// Direct3D 7 sets the viewport to the whole of a new render target: the clip window must be sent again.
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

// The surfaces last bound are kept only to know which texture changes must first send the batch.
void forgetSentValues() {
    memset(sent.render, 0, sizeof(sent.render));
    memset(sent.stage, 0, sizeof(sent.stage));
    memset(sent.textureKnown, 0, sizeof(sent.textureKnown));
    sent.viewportKnown = false;
}
