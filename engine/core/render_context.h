// The session record: every DirectDraw and Direct3D reference of the one display, full-screen or windowed.
#ifndef KESTRIX_RENDER_CONTEXT_H
#define KESTRIX_RENDER_CONTEXT_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"

struct RenderContext {
    IDirectDraw7 *ddraw;
    IDirect3D7 *d3d;
    IDirect3DDevice7 *device;
    D3DDEVICEDESC7 deviceCaps;
    IDirectDrawSurface7 *frontSurface;
    IDirectDrawSurface7 *backSurface;
    IDirectDrawSurface7 *auxSurface;
    IDirectDrawSurface7 *tripleSurface;
    IDirectDrawSurface7 *depthSurface;
    D3DVIEWPORT7 viewport;
    FxI32 clipEmpty; // the clip window holds no pixel: nothing is drawn or cleared
    HWND window;
    FxI32 ownWindow; // the library created window for a program that had none
    FxU32 screenWidth;
    FxU32 screenHeight;
    FxI32 colorFormat;
    FxI32 origin;
    FxI32 hardwareDevice;
    FxI32 sessionOpen;
    // Whether the display mode was switched, so a failed open can restore it.
    FxI32 displayModeSet;
    // The full-screen surfaces were lost to another program and are not yet restored.
    FxI32 displayLost;
    // A game that set its own mode for its menus finds it again after the close, not the desktop's.
    FxI32 restoresOpeningMode;
    DEVMODEA openingMode;
    // The game's own DirectDraw object kept the exclusive level: the session is shown in the game's window at
    // the game's mode, which the open leaves as it found it.
    FxI32 overGameDisplay;

    // Windowed: frontSurface is an off-screen buffer of the Glide size, stretched onto the window's client
    // area through the desktop's primary surface and its clipper.
    FxI32 windowed;
    IDirectDrawSurface7 *primarySurface;
    IDirectDrawClipper *clipper;
    FxU32 clientWidth;
    FxU32 clientHeight;
    FxU32 surfaceBits;     // depth of the library's own surfaces
    FxI32 ownSurfaceDepth; // they have the depth ColorDepth asked for
    // The application's window as it was before the open sized it, put back at close.
    FxI32 windowPlaced;
    LONG savedStyle;
    LONG savedExStyle;
    RECT savedRect;

    // Frame pacing: the performance counter at the last paced present (0: none yet) and the display's
    // refresh rate (0: not yet asked).
    LONGLONG lastPresent;
    FxU32 refreshRate;

    FxU32 swapCount;

    // grRenderBuffer(GR_BUFFER_FRONTBUFFER): 0 none, else how the front buffer is drawn into (one of the
    // FrontDrawing values), and whether something drawn there has not been shown yet.
    FxI32 frontDrawing;
    FxI32 frontUnseen;
};

enum FrontDrawing {
    frontDrawingTarget = 1, // the device draws into the front surface
    frontDrawingCopied = 2, // the device refused it: drawn into the back surface, copied to the front
};

// Part of the library's records (session/state_groups.h).
extern RenderContext &renderContext;

#endif
