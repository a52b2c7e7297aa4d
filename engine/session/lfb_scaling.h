// The frame buffer at the game's resolution over a buffer drawn scaled: while the library holds a surface
// lock, the lock's description is swapped for a game-sized copy of the picture, and what changed in the
// copy goes back to the surface as blocks of the scaled size.
#ifndef KESTRIX_LFB_SCALING_H
#define KESTRIX_LFB_SCALING_H

#include <stddef.h>

#include "../core/render_context.h"

struct ScaledView {
    FxU8 *pixels;    // the game-sized copy, in the surface's pixel layout
    FxU8 *reference; // the copy as it was taken
    size_t size;
    DDSURFACEDESC2 surface; // the real lock
    FxI32 taken;
};

// With the picture scaled: fills the view from the locked surface and makes desc describe it. False when
// no memory can be had (the surface stays locked; the caller unlocks it). Nothing happens unscaled.
bool takeScaledView(DDSURFACEDESC2 &desc, ScaledView &view, FxU32 bytesPerPixel);
// The game pixels changed since the view was taken, each onto its block of the surface; the real lock's
// description comes back into desc.
void giveScaledViewBack(DDSURFACEDESC2 &desc, ScaledView &view, FxU32 bytesPerPixel);
// The surface is unlocked without a write-back.
void dropScaledView(ScaledView &view);
void freeScaledView(ScaledView &view);

#endif
