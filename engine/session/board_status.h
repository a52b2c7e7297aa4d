// What an application reads of the board's state: the retrace and the beam, the screen, and the counters
// the pixel pipeline and the triangle setup keep.
#ifndef KESTRIX_BOARD_STATUS_H
#define KESTRIX_BOARD_STATUS_H

#include "../glide_values.h"

struct BoardCounters {
    FxU32 pixelsIn;
    FxU32 chromaFail;
    FxU32 zFuncFail;
    FxU32 aFuncFail;
    FxU32 pixelsOut;
    FxU32 triangles;
    // Glide 3 reports these; nothing draws into them, only a reset clears them.
    FxU32 points;
    FxU32 lines;
};

enum class CounterGroup { pixels, triangles, points, lines };

// In the vertical retrace; false without a display or when DirectDraw cannot tell.
bool inVerticalRetrace();
// The beam's line, 0 in the vertical blank or without a display.
FxU32 scanLine();
BoardCounters boardCounters();
void resetCounters(CounterGroup group);

// The display adapter's own name and PCI vendor, known while a session is open.
struct AdapterIdentity {
    bool known;
    const char *description;
    FxU32 vendorId;
};
AdapterIdentity adapterIdentity();

// The viewport drawing is clipped to, in screen pixels.
struct ScreenViewport {
    FxU32 x, y, width, height;
};
ScreenViewport screenViewport();

bool sessionIsOpen();
FxU32 screenWidth();
FxU32 screenHeight();

#endif
