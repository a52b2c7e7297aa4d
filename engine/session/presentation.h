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
void primeBuffers();
void resetPerformanceCounters();

#endif
