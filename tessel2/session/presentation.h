// Presenting, clearing and the performance counters.
#ifndef KESTRIX_PRESENTATION_H
#define KESTRIX_PRESENTATION_H

#include "glide2x.h"

void swapBuffers();
void renderBuffer(GrBuffer_t buffer);
void clearBuffers(GrColor_t color, GrAlpha_t alpha, FxU16 depth);
void primeBuffers();
void resetPerformanceCounters();

#endif
