// The engine's records grouped by when they start again. Each group is reset by one assignment, and a
// group reset also resets the groups nested in it:
//
//   load (process attach and detach)   LoadState: everything a freshly loaded library holds
//     grGlideInit                       SessionState
//     window open (a new device)        WindowState
//       buffer swap                     FrameState
//
// Records holding objects that must be released (texture memory, shadow buffers, surfaces, the device) are
// released before their group is reset; the assignment only forgets. The records of the lower layers keep
// their own names (renderContext, textureState, ...) as references into these groups.
#ifndef KESTRIX_STATE_GROUPS_H
#define KESTRIX_STATE_GROUPS_H

#include "../core/draw_counters.h"
#include "../core/library_settings.h"
#include "../core/library_state.h"
#include "../core/render_context.h"
#include "../render/clip_space.h"
#include "../render/device_tables.h"
#include "../render/draw_vertex.h"
#include "../render/render_state.h"
#include "../render/saved_state.h"
#include "../render/vertex_arrays.h"
#include "../texture/texture_state.h"
#include "display_modes.h"
#include "gamma.h"
#include "lfb.h"

// Reset at every grBufferSwap: continued strips and fans start afresh each frame.
struct FrameState {
    VertexJoins vertexJoins{};
};

// Reset once a window open has made its device, before the open sends its initial state.
struct WindowState {
    DeviceTextures deviceTextures{};
    DeviceCombine deviceCombine{};
    DrawCounters drawCounters{};
    FrameState frame{};
};

// Reset at grGlideInit.
struct SessionState {
    GameGammaTable gameGamma = linearGammaTable();
};

// Under Wine, DirectDraw's creation loads the system's opengl32; when a game's own OpenGL driver written on
// Glide takes that name, its load calls grSstWinOpen again from inside our open, without end.
struct OpenGuard {
    bool displayBeingOpened;
    bool reentryLogged;
};

// Reset at process attach, with the library's rules, and at detach. The load reset also resets the
// front end's records its rules name.
struct LoadState {
    LibraryState library{};
    LibrarySettings settings{};
    BoardChoice boardChoice{};
    RenderContext renderContext{};
    RenderState renderState{};
    StateCalls stateCalls{};
    DeviceTables deviceTables{};
    TextureState textureState{};
    ClipSpace clipSpace{};
    VertexLayout vertexLayout{};
    VertexConverters vertexConverters = currentLayoutConverters;
    bool orderedAntialiasing = false;
    bool shamelessPlug = false;
    LfbBufferState lfbBuffers[lfbBufferCount] = {};
    FxU32 lfbLocksHeld = 0;
    ModeList displayModes{};
    OpenGuard openGuard{};
    SessionState session{};
    WindowState window{};
};

extern LoadState loadState;

// Process attach: a fresh library with these rules and its module.
void resetLoadState(HINSTANCE instance, const LibraryRules &rules);
// Process detach: a library never loaded. Release what the records hold first.
void forgetLoadState();
// grGlideInit, once the settings are read.
void resetSessionState();
// A window open, once its device exists: also records the calls the open makes itself (culling, the clip
// window, the colour mask, no texture), which the saved state reports.
void resetWindowState();
// A buffer swap.
void resetFrameState();

#endif
