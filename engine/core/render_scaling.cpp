#include "render_scaling.h"

RenderScaling renderScaling;

RECT scaledRect(FxU32 x, FxU32 y, FxU32 width, FxU32 height) {
    const FxU32 left = scaledEdge(x, renderContext.screenWidth, renderScaling.pictureWidth),
                right = scaledEdge(x + width, renderContext.screenWidth, renderScaling.pictureWidth),
                top = scaledEdge(y, renderContext.screenHeight, renderScaling.pictureHeight),
                bottom = scaledEdge(y + height, renderContext.screenHeight, renderScaling.pictureHeight);
    return RECT{static_cast<LONG>(renderScaling.pictureLeft + left),
                static_cast<LONG>(renderScaling.pictureTop + top),
                static_cast<LONG>(renderScaling.pictureLeft + right),
                static_cast<LONG>(renderScaling.pictureTop + bottom)};
}

D3DVIEWPORT7 scaledViewport(const D3DVIEWPORT7 &viewport) {
    if (!renderScaling.active) return viewport;
    const RECT rect = scaledRect(viewport.dwX, viewport.dwY, viewport.dwWidth, viewport.dwHeight);
    D3DVIEWPORT7 scaled = viewport;
    scaled.dwX = static_cast<DWORD>(rect.left);
    scaled.dwY = static_cast<DWORD>(rect.top);
    scaled.dwWidth = static_cast<DWORD>(rect.right - rect.left);
    scaled.dwHeight = static_cast<DWORD>(rect.bottom - rect.top);
    return scaled;
}
