// Internal upscaling: the device, its buffers and every position drawn are at a multiple of the Glide
// resolution, while the game's coordinates, queries and frame buffer stay at its own.
#ifndef KESTRIX_RENDER_SCALE_H
#define KESTRIX_RENDER_SCALE_H

#include <stdint.h>

#include "../core/render_scaling.h"

// The buffers at the Glide size, as with the setting off; every open starts here.
void resetRenderScale();
// Full-screen: the scaled size when the adapter offers it as a mode, else the desktop's size with the
// picture centred in it.
void chooseFullScreenRenderSize();
// Windowed: the factor the client area is sized by (0 or 1: none; 255: as large as fits), the larger of
// WindowScale and RenderScale.
int32_t windowClientScale();
// Windowed: the picture fills the buffers; 255 takes the client area's size.
void chooseWindowedRenderSize(FxU32 clientWidth, FxU32 clientHeight);
// The full-screen bars: every buffer of the flip chain black outside the picture, at open and restore.
void blackenBars();
// The one log line, only when the setting is in the store and not Off.
void logRenderScale();

#endif
