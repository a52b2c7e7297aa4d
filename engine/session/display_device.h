// Opening and closing the DirectDraw 7 display and its Direct3D 7 device.
#ifndef KESTRIX_DISPLAY_DEVICE_H
#define KESTRIX_DISPLAY_DEVICE_H

#include "render_context.h"

// What differs between the libraries when they open the display.
struct DisplayOpenRules {
    DWORD cooperativeLevel;
    const char *primarySurfaceMessage;
    const char *auxBufferMessage;
    const char *tripleBufferMessage;
    bool readsWindowTitle; // "AppName:" line and the quirk table's window-title entries
    // The close: whether the screen surfaces are unlocked before release, and whether the cooperative level
    // returns to normal before the display mode is restored rather than after.
    bool unlocksScreenSurfaces;
    bool normalLevelBeforeRestore;
};

struct Resolution {
    FxU32 width;
    FxU32 height;
};

Resolution lookupResolution(FxI32 code);
BOOL openDisplayDevice(FxU32 hWnd, const DisplayOpenRules &rules);
// The full-screen frame buffer is 565 for every ColorDepth but 32, a value missing from the store included.
DWORD fullScreenBitsPerPixel();
// Releases every display object that is still held, in the close order, and restores the display mode.
void releaseDisplayObjects();
void closeSession();
// At process exit the driver's own threads are gone and a release waiting for them never returns: the
// objects are forgotten, not released, and the display mode the open changed is put back.
void abandonDisplay();
// With a window of the library's own, nobody else processes its messages: each present does.
void pumpOwnWindowMessages();
void setInitialDeviceState();
void clipWindowToScreen();
// The drawable rectangle in Glide's coordinates of the current origin, bounded to the screen.
void setClipWindow(FxU32 minX, FxU32 minY, FxU32 maxX, FxU32 maxY);
FxU32 toArgb(FxU32 color);
void logSystemInfo();
// Logs the origin when it changes and sends the cull mode again for the new orientation.
void setOrigin(FxI32 origin);
// The origin a window opens with, always logged.
void setOpeningOrigin(FxI32 origin);

extern const GUID *const deviceTypes[5];

// Steps the full-screen and the windowed open share.
void errorBox(const char *text);
void logAdapterIdentity();
// A surface of the Glide size; without a format, in the display's.
IDirectDrawSurface7 *createScreenSurface(DWORD caps, const DDPIXELFORMAT *format = NULL);
// The depth buffer, attached to the back buffer, and the device on the back buffer.
bool createDepthBuffer();
bool createDevice();

#endif
