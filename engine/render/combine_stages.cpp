#include "combine_stages.h"

#include "render_state.h"
#include "../core/card_profiles.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "../texture/texture_state.h"

namespace {

const D3DTEXTURESTAGESTATETYPE partState[] = {D3DTSS_COLOROP, D3DTSS_ALPHAOP};

// A texture unit's function with the TMU setting on; otherwise each unit shows its own texture.
FxI32 unitFunction(int tmu) {
    return cardHasSecondTmu() ? deviceCombine.textureCombineFunction[tmu] : combineFunctionLocal;
}

// TMU 0's output takes TMU 1's: the functions that read the other (upstream) unit.
bool readsUpstreamUnit(FxI32 function) {
    return function >= combineFunctionScaleOther &&
           function <= combineFunctionScaleOtherMinusLocalAddLocalAlpha;
}

bool addsUpstreamUnit(FxI32 function) {
    return function == combineFunctionScaleOtherAddLocal ||
           function == combineFunctionScaleOtherAddLocalAlpha;
}

DWORD partOp(int part) {
    return part == stageColorPart ? deviceCombine.lastColorOp : deviceCombine.lastAlphaOp;
}

void sendStage(DWORD stage, int part, bool resend) {
    DWORD op = combineStageOp(stage, part);
    if (op == 0) return;
    DWORD &sent = deviceCombine.sentStageOps[stage][part];
    // A disabled stage 1 already passes the colour and alpha of stage 0 on.
    bool passesAlready = stage == 1 && op == D3DTOP_SELECTARG2 &&
                         deviceCombine.sentStageOps[1][stageColorPart] == D3DTOP_DISABLE;
    if (!resend && (sent == op || passesAlready)) return;
    sendStageState(stage, partState[part], op);
    sent = op;
}

} // namespace

DWORD combineStageOp(DWORD stage, int part) {
    DWORD op = partOp(part);
    if (op == 0) return 0;
    // A unit whose function is zero contributes nothing: its stage passes the diffuse colour and alpha.
    if (unitFunction(0) == combineFunctionZero) return D3DTOP_SELECTARG2;
    if (stage == 0) return op;
    FxI32 upstream = unitFunction(1);
    bool feeds = op != D3DTOP_SELECTARG2 && deviceTextures.textureEnabled[1] &&
                 upstream != combineFunctionZero && readsUpstreamUnit(unitFunction(0));
    if (!feeds) return D3DTOP_SELECTARG2;
    return addsUpstreamUnit(unitFunction(0)) ? D3DTOP_ADD : D3DTOP_MODULATE;
}

void sendCombineStages(int part, bool resend) {
    if (renderContext.device == NULL) return;
    sendStage(0, part, resend);
    sendStage(1, part, resend);
    // Stage 1 no longer disabled needs an alpha operation of its own.
    DWORD(&stageOne)[2] = deviceCombine.sentStageOps[1];
    if (part == stageColorPart && stageOne[stageColorPart] != D3DTOP_DISABLE &&
        stageOne[stageAlphaPart] == D3DTOP_DISABLE) {
        DWORD alphaOp = combineStageOp(1, stageAlphaPart);
        stageOne[stageAlphaPart] = alphaOp != 0 ? alphaOp : static_cast<DWORD>(D3DTOP_SELECTARG2);
        sendStageState(1, D3DTSS_ALPHAOP, stageOne[stageAlphaPart]);
    }
}

void refreshCombineStages() {
    sendCombineStages(stageColorPart, false);
    sendCombineStages(stageAlphaPart, false);
}
