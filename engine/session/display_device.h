// Opening and closing the DirectDraw 7 display and its Direct3D 7 device.
#ifndef KESTRIX_DISPLAY_DEVICE_H
#define KESTRIX_DISPLAY_DEVICE_H

#include "../core/library_rules.h"
#include "../core/render_context.h"

struct Resolution {
    FxU32 width;
    FxU32 height;
};

Resolution lookupResolution(FxI32 code);
BOOL openDisplayDevice(FxU32 hWnd, const DisplayOpenRules &rules);
// Releases every display object that is still held, in the close order, and restores the display mode.
void releaseDisplayObjects();
void closeSession();
// At process exit the driver's own threads are gone and a release waiting for them never returns: the
// objects are forgotten, not released, and the display mode the open changed is put back.
void abandonDisplay();
void logSystemInfo();

// Steps the full-screen and the windowed open share.
void errorBox(const char *text);

#endif
