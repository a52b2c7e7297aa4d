#include "state_groups.h"

#include "../core/game_quirks.h"

LoadState loadState;

LibraryState &library = loadState.library;
LibrarySettings &settings = loadState.settings;
BoardChoice &boardChoice = loadState.boardChoice;
RenderContext &renderContext = loadState.renderContext;
RenderState &renderState = loadState.renderState;
StateCalls &stateCalls = loadState.stateCalls;
DeviceTables &deviceTables = loadState.deviceTables;
TextureState &textureState = loadState.textureState;
ClipSpace &clipSpace = loadState.clipSpace;
VertexLayout &vertexLayout = loadState.vertexLayout;
VertexConverters &vertexConverters = loadState.vertexConverters;
bool &orderedAntialiasing = loadState.orderedAntialiasing;
bool &shamelessPlug = loadState.shamelessPlug;
LfbBufferState (&lfbBuffers)[lfbBufferCount] = loadState.lfbBuffers;
FxU32 &lfbLocksHeld = loadState.lfbLocksHeld;
DeviceTextures &deviceTextures = loadState.window.deviceTextures;
DeviceCombine &deviceCombine = loadState.window.deviceCombine;
DrawCounters &drawCounters = loadState.window.drawCounters;
VertexJoins &vertexJoins = loadState.window.frame.vertexJoins;

namespace {

// A library whose vertex never changes converts it through routines compiled for it.
VertexConverters convertersOf(const LibraryRules &rules) {
    return rules.vertexConverters.pointers ? rules.vertexConverters : currentLayoutConverters;
}

} // namespace

void resetLoadState(HINSTANCE instance, const LibraryRules &rules) {
    loadState = LoadState{
        .library = LibraryState{&rules, instance, {}},
        .vertexLayout = rules.vertexLayout,
        .vertexConverters = convertersOf(rules),
    };
    decideQuirks();
    if (rules.frontEndResets.atLoad) rules.frontEndResets.atLoad();
}

void forgetLoadState() {
    loadState = LoadState{};
    decideQuirks();
}

void resetSessionState() {
    loadState.session = SessionState{};
    const FrontEndResets &frontEnd = library.rules->frontEndResets;
    if (frontEnd.atGlideInit) frontEnd.atGlideInit();
}

void resetWindowState() {
    loadState.window = WindowState{};
    resetStateCalls(renderContext.screenWidth, renderContext.screenHeight);
}

void resetFrameState() {
    loadState.window.frame = FrameState{};
}
