// Internal upscaling: the device, its buffers and every position drawn are at a multiple of the Glide
// resolution, while the game's coordinates, queries and frame buffer stay at its own.
#ifndef KESTRIX_RENDER_SCALE_H
#define KESTRIX_RENDER_SCALE_H

#include <stdint.h>

#include "render_context.h"

// Where the game's picture lies in the device's buffers. With the setting off the buffers and the picture
// are the Glide size and nothing moves.
struct RenderScaling {
    FxI32 active;                    // the picture is not exactly the Glide screen at (0, 0)
    FxU32 bufferWidth, bufferHeight; // the device's buffers (full-screen: the display mode)
    FxU32 pictureLeft, pictureTop;   // the picture's place in them; bars around it stay black
    FxU32 pictureWidth, pictureHeight;
    float xScale, yScale; // buffer pixels per game pixel
};

extern RenderScaling renderScaling;

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
// The full-screen bars: front and back buffers black outside the picture, once at open.
void blackenBars();
// The one log line, only when the setting is in the store.
void logRenderScale();

// Glide's rectangle in the device's buffer.
D3DVIEWPORT7 scaledViewport(const D3DVIEWPORT7 &viewport);
RECT scaledRect(FxU32 x, FxU32 y, FxU32 width, FxU32 height);
// The span of buffer pixels game pixel `at` covers along an axis of `game` pixels mapped to `picture`.
inline FxU32 scaledEdge(FxU32 at, FxU32 game, FxU32 picture) {
    return static_cast<FxU32>(static_cast<unsigned long long>(at) * picture / game);
}

#endif
