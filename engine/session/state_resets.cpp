#include "state_resets.h"

#include "../core/library_state.h"
#include "../render/device_tables.h"
#include "../render/draw_vertex.h"
#include "../texture/ncc_tables.h"
#include "../texture/texture_state.h"

#include "bitmaps.h"
#include "display_modes.h"
#include "../core/game_quirks.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "../render/antialiasing.h"
#include "../render/clip_space.h"
#include "../render/render_state.h"
#include "../render/saved_state.h"
#include "lfb.h"

void resetLoadState() {
    const LibraryRules *rules = library.rules;
    HINSTANCE instance = library.moduleInstance;
    library = LibraryState();
    library.rules = rules;
    library.moduleInstance = instance;
    settings = LibrarySettings();
    decideQuirks();
    renderContext = RenderContext();
    renderState = RenderState();
    stateCalls = StateCalls();
    deviceTables = DeviceTables();
    textureState = TextureState();
    resetNccTables();
    resetClipSpace();
    forgetDisplayModes();
    orderedAntialiasing = false;
    shamelessPlug = false;
    for (LfbBufferState &buffer : lfbBuffers)
        buffer = LfbBufferState();
    vertexLayout = rules ? rules->vertexLayout : VertexLayout();
    vertexConverters =
        rules && rules->vertexConverters.pointers ? rules->vertexConverters : currentLayoutConverters;
}

void resetDeviceState() {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        textureState.currentTexture[tmu] = NULL;
        textureState.textureEnabled[tmu] = 0;
        textureState.clampModes[tmu] = ClampModes{false, textureClampWrap, textureClampWrap};
    }
    textureState.paletteChecksum = 0xFFFFFFFF;
    renderState.lastColorOp = 0;
    renderState.lastAlphaOp = 0;
    // A new device's stage 0 modulates by the texture until the next combine call.
    renderState.colorIgnoresTexture = false;
    renderState.alphaIgnoresTexture = false;
    renderState.lastAlphaTestFunction = noAlphaTestFunction;
    // Each unit shows its own texture; a new device has stage 1 disabled. The chroma key starts off.
    for (int tmu = 0; tmu < textureUnitCount; ++tmu)
        renderState.textureCombineFunction[tmu] = combineFunctionLocal;
    renderState.sentStageOps[0][0] = renderState.sentStageOps[0][1] = 0;
    renderState.sentStageOps[1][0] = renderState.sentStageOps[1][1] = D3DTOP_DISABLE;
    renderState.lastChromakeyMode = chromakeyDisable;
    resetStateCalls(renderContext.screenWidth, renderContext.screenHeight);
}
