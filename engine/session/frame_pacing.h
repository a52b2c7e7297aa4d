// Waiting before a present, as FramePacing asks: for the swap interval's retraces, or for a 60 Hz cadence.
#ifndef KESTRIX_FRAME_PACING_H
#define KESTRIX_FRAME_PACING_H

#include "../glide_values.h"

// Called by each present of a buffer swap, before the copy.
void paceFrame(FxU32 swapInterval);
const char *framePacingName();

#endif
