// Glide 3's clip coordinates: vertices given before the perspective divide, mapped to the screen through
// the application's viewport and depth range.
#ifndef KESTRIX_CLIP_SPACE_H
#define KESTRIX_CLIP_SPACE_H

#include "../glide_values.h"

// Window coordinates, the whole screen as viewport and the full depth range, as a loaded library has them.
struct ClipSpace {
    bool active = false; // vertices are in clip coordinates, else in window coordinates
    bool viewportSet = false;
    FxI32 viewportX = 0, viewportY = 0, viewportWidth = 0, viewportHeight = 0;
    float depthNear = 0.0f, depthFar = 1.0f;
};

// How a clip-coordinate vertex reaches the screen: window = clip / w × scale + offset.
struct ClipTransform {
    float xScale, xOffset;
    float yScale, yOffset;
    float zScale, zOffset; // to 0 near … 1 far
};

// Part of the library's records (session/state_groups.h).
extern ClipSpace &clipSpace;

void setCoordinateSpace(bool clipCoordinates);
void setViewport(FxI32 x, FxI32 y, FxI32 width, FxI32 height);
void setDepthRange(float nearValue, float farValue);
// The viewport is the screen until the application sets one.
ClipTransform clipTransform();

#endif
