// Presenting, clearing and the performance counters.
#ifndef KESTRIX_PRESENTATION_H
#define KESTRIX_PRESENTATION_H

#include "../glide_values.h"

// Presents unless Oversample skips the call; FramePacing may wait for swapInterval retraces first.
void swapBuffers(FxU32 swapInterval);
void renderBuffer(FxI32 buffer);
// Ends the scene and begins the next, so that the driver draws what was sent.
void restartScene();
// What was drawn so far reaches the device (grSstIdle).
void finishDrawing();
void clearBuffers(FxU32 color, FxU8 alpha, FxU16 depth);
// Before the device draws or clears: held frame-buffer locks write back, front-buffer drawing is noted.
void prepareToDraw();
// At a call that waits or asks the board's state: what was drawn or written into the front buffer since it
// was last shown reaches the screen.
void showFrontDrawing();
void startFrontDrawing();
void stopFrontDrawing();
void primeBuffers();

#endif
