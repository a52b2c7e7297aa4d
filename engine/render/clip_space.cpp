#include "clip_space.h"

#include "../core/render_context.h"

void setCoordinateSpace(bool clipCoordinates) {
    clipSpace.active = clipCoordinates;
}

void setViewport(FxI32 x, FxI32 y, FxI32 width, FxI32 height) {
    clipSpace.viewportSet = true;
    clipSpace.viewportX = x;
    clipSpace.viewportY = y;
    clipSpace.viewportWidth = width;
    clipSpace.viewportHeight = height;
}

void setDepthRange(float nearValue, float farValue) {
    clipSpace.depthNear = nearValue;
    clipSpace.depthFar = farValue;
}

ClipTransform clipTransform() {
    float x = 0.0f, y = 0.0f;
    float width = static_cast<float>(renderContext.screenWidth),
          height = static_cast<float>(renderContext.screenHeight);
    if (clipSpace.viewportSet) {
        x = static_cast<float>(clipSpace.viewportX);
        y = static_cast<float>(clipSpace.viewportY);
        width = static_cast<float>(clipSpace.viewportWidth);
        height = static_cast<float>(clipSpace.viewportHeight);
    }
    ClipTransform t;
    t.xScale = width * 0.5f;
    t.xOffset = x + t.xScale;
    t.yScale = height * 0.5f;
    t.yOffset = y + t.yScale;
    t.zScale = (clipSpace.depthFar - clipSpace.depthNear) * 0.5f;
    t.zOffset = (clipSpace.depthFar + clipSpace.depthNear) * 0.5f;
    return t;
}
