// Where the game's picture lies in the device's buffers when it is drawn at a multiple of the Glide
// resolution, and the mapping of Glide rectangles into them; read by drawing and by the frame buffer.
#ifndef KESTRIX_RENDER_SCALING_H
#define KESTRIX_RENDER_SCALING_H

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

// Glide's rectangle in the device's buffer.
D3DVIEWPORT7 scaledViewport(const D3DVIEWPORT7 &viewport);
RECT scaledRect(FxU32 x, FxU32 y, FxU32 width, FxU32 height);
// Where game position 0 lands along an axis of the buffer. The board lights a pixel whose centre, half a
// pixel in from its corner, lies inside the primitive; Direct3D 7 samples a pixel at its corner. At the
// game's own size both light the same pixels for edges along whole pixels (Direct3D's ties go to the top
// and left), so positions go through as they are. Drawn larger, game pixel i's centre i + 1/2 must land on
// the centre of its block, scale × i + (scale - 1) / 2 in Direct3D's terms: position × scale - 1/2.
// Without the half pixel the picture sits half a buffer pixel right of and below its place (a quarter of a
// game pixel at 2x) and the edges of whole game pixels fall on sample points.
inline float scaledOrigin(FxU32 pictureStart, float scale) {
    const float buffersHalfPixel = 0.5f;
    return static_cast<float>(pictureStart) - (scale != 1.0f ? buffersHalfPixel : 0.0f);
}
// The span of buffer pixels game pixel `at` covers along an axis of `game` pixels mapped to `picture`.
inline FxU32 scaledEdge(FxU32 at, FxU32 game, FxU32 picture) {
    return static_cast<FxU32>(static_cast<unsigned long long>(at) * picture / game);
}

#endif
