#include "fog_passes.h"

#include "device_state.h"
#include "device_tables.h"
#include "draw_vertex.h"
#include "render_state.h"
#include "saved_state.h"
#include "../session/presentation.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"

namespace {

const FxU32 channelMax = 255;
const int overriddenStatesMax = 8;

// Device states changed for one pass and put back as they were after it.
class StateOverride {
  public:
    ~StateOverride() {
        for (int i = count - 1; i >= 0; --i) {
            if (saved[i].stage < 0)
                sendRenderState(saved[i].renderState, saved[i].value);
            else
                sendStageState(static_cast<DWORD>(saved[i].stage), saved[i].stageState, saved[i].value);
        }
    }

    void render(D3DRENDERSTATETYPE state, DWORD value) {
        Saved &entry = saved[count++];
        entry.stage = -1;
        entry.renderState = state;
        entry.value = sentRenderState(state);
        sendRenderState(state, value);
    }

    void stage(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
        Saved &entry = saved[count++];
        entry.stage = static_cast<int>(stage);
        entry.stageState = state;
        entry.value = sentStageState(stage, state);
        sendStageState(stage, state, value);
    }

  private:
    struct Saved {
        int stage; // -1: a render state
        D3DRENDERSTATETYPE renderState;
        D3DTEXTURESTAGESTATETYPE stageState;
        DWORD value;
    };
    Saved saved[overriddenStatesMax] = {};
    int count = 0;
};

void drawPrimitive(D3DPRIMITIVETYPE type, int count) {
    prepareToDraw();
    renderContext.device->DrawPrimitive(type, drawVertexFormat, vertexBuffer, static_cast<DWORD>(count), 0);
}

D3DBLEND blendOf(const D3DBLEND *table, FxI32 factor) {
    FxU32 index = static_cast<FxU32>(factor);
    return index < blendTableSize ? table[index] : static_cast<D3DBLEND>(0);
}

// The fog amount at a vertex, 0 to 255: the table's, which the conversion left in the specular alpha, or
// that of the device's linear fog at the vertex's depth.
FxU32 fogAmount(const DrawVertex &vertex) {
    if (settings.Fog == 0) return 0;
    if (renderState.tableFog) return channelMax - (vertex.specular >> 24);
    return static_cast<FxU32>(linearFogAmount(vertex.z) * static_cast<float>(channelMax) + 0.5f);
}

FxU32 scaledColor(FxU32 rgb, FxU32 amount) {
    FxU32 result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        FxU32 channel = (rgb >> shift) & channelMax;
        result |= ((channel * amount + channelMax / 2) / channelMax) << shift;
    }
    return result;
}

// Each vertex's colour becomes f × F, its alpha stays; false when every f is 0.
bool fogColorVertices(int count) {
    bool anyFog = false;
    for (int i = 0; i < count; ++i) {
        DrawVertex &vertex = vertexBuffer[i];
        FxU32 amount = fogAmount(vertex);
        anyFog |= amount != 0;
        vertex.diffuse = (vertex.diffuse & 0xFF000000u) | scaledColor(renderState.fogColor, amount);
        vertex.specular = 0;
    }
    return anyFog;
}

// The frame buffer scaled by the destination factor, with the source colour before fog.
void drawDestinationTerm(D3DPRIMITIVETYPE type, int count, D3DBLEND destination) {
    StateOverride pass;
    pass.render(D3DRENDERSTATE_FOGENABLE, FALSE);
    pass.render(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO);
    pass.render(D3DRENDERSTATE_DESTBLEND, destination);
    drawPrimitive(type, count);
}

// f × F blended by the source factor and added to what the first pass left; where that pass wrote depth,
// this one draws on exactly its pixels.
void drawFogTerm(D3DPRIMITIVETYPE type, int count, D3DBLEND source, D3DBLEND destination, bool afterFirst) {
    StateOverride pass;
    pass.render(D3DRENDERSTATE_FOGENABLE, FALSE);
    pass.render(D3DRENDERSTATE_SRCBLEND, source);
    pass.render(D3DRENDERSTATE_DESTBLEND, destination);
    DWORD depthWrites = sentRenderState(D3DRENDERSTATE_ZWRITEENABLE);
    if (afterFirst && depthWrites) {
        pass.render(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
        pass.render(D3DRENDERSTATE_ZFUNC, D3DCMP_EQUAL);
    }
    pass.stage(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    DWORD secondOp = sentStageState(1, D3DTSS_COLOROP);
    if (secondOp != D3DTOP_DISABLE) pass.stage(1, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    drawPrimitive(type, count);
}

void drawFogOnly(D3DPRIMITIVETYPE type, int count) {
    D3DBLEND source = blendOf(deviceTables.srcBlendTable, stateCalls.blendSource);
    D3DBLEND destination = blendOf(deviceTables.dstBlendTable, stateCalls.blendDestination);
    if (source == 0 || destination == 0) return drawPrimitive(type, count);
    bool firstPass = destination != D3DBLEND_ZERO && destination != D3DBLEND_ONE;
    if (firstPass) drawDestinationTerm(type, count, destination);
    bool adds = fogColorVertices(count) && source != D3DBLEND_ZERO;
    // Over a destination factor of zero the second pass draws even when it adds nothing: it clears.
    if (!adds && destination != D3DBLEND_ZERO) return;
    drawFogTerm(type, count, source, destination == D3DBLEND_ZERO ? D3DBLEND_ZERO : D3DBLEND_ONE, firstPass);
}

} // namespace

bool fogNeedsPasses() {
    return renderState.fogEquation == fogColorOnly && colorWritesEnabled() && isKnown(groupBlend);
}

void drawWithFogPasses(D3DPRIMITIVETYPE type, int count) {
    drawFogOnly(type, count);
}
