#include "initial_state.h"

#include "device_state.h"
#include "../core/library_settings.h"
#include "../core/library_state.h"
#include "../core/render_context.h"

void setInitialDeviceState() {
    IDirect3DDevice7 *device = renderContext.device;
    if (device == NULL) return;
    const SessionRules &rules = library.rules->session;
    sendRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    sendRenderState(D3DRENDERSTATE_COLORKEYBLENDENABLE, TRUE);
    if (rules.legacyInitialStates) sendRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    sendRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    sendRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    sendRenderState(D3DRENDERSTATE_LOCALVIEWER, TRUE);
    if (rules.legacyInitialStates) {
        sendRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        sendRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
    }
    sendRenderState(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
    if (rules.legacyInitialStates) sendRenderState(D3DRENDERSTATE_RANGEFOGENABLE, TRUE);
    sendRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    if (rules.legacyInitialStates) sendRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    sendRenderState(D3DRENDERSTATE_DITHERENABLE,
                    settings.ColorDepth == 16 && settings.NoDitherSub == 0 ? TRUE : FALSE);
    if (settings.Antialiasing != 0) sendRenderState(D3DRENDERSTATE_EDGEANTIALIAS, TRUE);

    DWORD argumentStages = rules.stageOneArguments ? 2 : 1;
    for (DWORD stage = 0; stage < argumentStages; ++stage) {
        sendStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        sendStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
        sendStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        sendStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    }

    sendStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
    if (settings.Filtering != 0) {
        sendStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
        sendStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    } else {
        sendStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        sendStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    }
}
