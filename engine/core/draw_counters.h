// What the board counted as it drew: grSstPerfStats, grTriStats and Glide 3's statistics.
#ifndef KESTRIX_DRAW_COUNTERS_H
#define KESTRIX_DRAW_COUNTERS_H

#include "../glide_values.h"

// Counted per presented screen, not per pixel: games use them for frame timing, not for exact numbers.
struct PixelCounters {
    FxU32 pixelsIn;
    FxU32 chromaFail;
    FxU32 zFuncFail;
    FxU32 aFuncFail;
    FxU32 pixelsOut;
};

// Each group is cleared by the game's own reset call and all of them by a window open. Nothing draws into
// the point and line counts: only a reset clears them.
struct DrawCounters {
    PixelCounters pixels;
    FxU32 triangles;
    FxU32 points;
    FxU32 lines;
};

// Part of the window's records (session/state_groups.h).
extern DrawCounters &drawCounters;

#endif
