#include "render_scale.h"

#include <string.h>

#include "buffer_exchange.h"
#include "display_device.h"
#include "screen_surfaces.h"
#include "../core/library_settings.h"
#include "../core/log.h"

namespace {

const int32_t largestFactor = 4;

bool validFactor(int32_t factor) {
    return (factor >= 2 && factor <= largestFactor) || factor == renderScaleLargest;
}

void placePicture(FxU32 bufferWidth, FxU32 bufferHeight, FxU32 pictureWidth, FxU32 pictureHeight) {
    renderScaling.bufferWidth = bufferWidth;
    renderScaling.bufferHeight = bufferHeight;
    renderScaling.pictureWidth = pictureWidth;
    renderScaling.pictureHeight = pictureHeight;
    renderScaling.pictureLeft = (bufferWidth - pictureWidth) / 2;
    renderScaling.pictureTop = (bufferHeight - pictureHeight) / 2;
    renderScaling.xScale = static_cast<float>(pictureWidth) / static_cast<float>(renderContext.screenWidth);
    renderScaling.yScale = static_cast<float>(pictureHeight) / static_cast<float>(renderContext.screenHeight);
    renderScaling.active = pictureWidth != renderContext.screenWidth ||
                           pictureHeight != renderContext.screenHeight || renderScaling.pictureLeft != 0 ||
                           renderScaling.pictureTop != 0;
}

struct ModeSought {
    DWORD width, height, bits;
    bool found;
};

HRESULT WINAPI noteSoughtMode(LPDDSURFACEDESC2 mode, LPVOID user) {
    ModeSought &sought = *static_cast<ModeSought *>(user);
    if (mode != NULL && mode->dwWidth == sought.width && mode->dwHeight == sought.height &&
        mode->ddpfPixelFormat.dwRGBBitCount == sought.bits) {
        sought.found = true;
        return DDENUMRET_CANCEL;
    }
    return DDENUMRET_OK;
}

bool modeOffered(FxU32 width, FxU32 height) {
    ModeSought sought = {width, height, fullScreenBitsPerPixel(), false};
    return renderContext.ddraw->EnumDisplayModes(0, NULL, &sought, noteSoughtMode) == DD_OK && sought.found;
}

bool desktopSize(FxU32 &width, FxU32 &height) {
    DDSURFACEDESC2 mode;
    memset(&mode, 0, sizeof(mode));
    mode.dwSize = sizeof(mode);
    if (renderContext.ddraw->GetDisplayMode(&mode) != DD_OK || mode.dwWidth == 0 || mode.dwHeight == 0)
        return false;
    width = mode.dwWidth;
    height = mode.dwHeight;
    return true;
}

// The largest picture of the Glide aspect inside width x height, no larger than `factor` times the Glide
// size (255: no bound).
void fitPicture(FxU32 width, FxU32 height, int32_t factor, FxU32 &pictureWidth, FxU32 &pictureHeight) {
    const unsigned long long glideWidth = renderContext.screenWidth, glideHeight = renderContext.screenHeight;
    pictureWidth = width;
    pictureHeight = height;
    if (width * glideHeight > height * glideWidth)
        pictureWidth = static_cast<FxU32>(height * glideWidth / glideHeight);
    else
        pictureHeight = static_cast<FxU32>(width * glideHeight / glideWidth);
    if (factor == renderScaleLargest) return;
    const FxU32 factorWidth = renderContext.screenWidth * static_cast<FxU32>(factor);
    if (pictureWidth > factorWidth) {
        pictureWidth = factorWidth;
        pictureHeight = renderContext.screenHeight * static_cast<FxU32>(factor);
    }
}

} // namespace

void resetRenderScale() {
    placePicture(renderContext.screenWidth, renderContext.screenHeight, renderContext.screenWidth,
                 renderContext.screenHeight);
}

void chooseFullScreenRenderSize() {
    resetRenderScale();
    const int32_t factor = settings.RenderScale;
    if (!validFactor(factor)) return;
    if (factor != renderScaleLargest) {
        const FxU32 width = renderContext.screenWidth * static_cast<FxU32>(factor),
                    height = renderContext.screenHeight * static_cast<FxU32>(factor);
        if (modeOffered(width, height)) {
            placePicture(width, height, width, height);
            return;
        }
    }
    FxU32 desktopWidth = 0, desktopHeight = 0, pictureWidth = 0, pictureHeight = 0;
    if (!desktopSize(desktopWidth, desktopHeight)) return;
    fitPicture(desktopWidth, desktopHeight, factor, pictureWidth, pictureHeight);
    // A desktop smaller than the game's own mode leaves the game at its mode, unscaled.
    if (pictureWidth < renderContext.screenWidth || pictureHeight < renderContext.screenHeight) return;
    placePicture(desktopWidth, desktopHeight, pictureWidth, pictureHeight);
}

int32_t windowClientScale() {
    const int32_t window = settings.WindowScale,
                  render = validFactor(settings.RenderScale) ? settings.RenderScale : 0;
    if (window == windowScaleLargest || render == renderScaleLargest) return windowScaleLargest;
    return window > render ? window : render;
}

void chooseWindowedRenderSize(FxU32 clientWidth, FxU32 clientHeight) {
    resetRenderScale();
    const int32_t factor = settings.RenderScale;
    if (!validFactor(factor)) return;
    if (factor == renderScaleLargest) {
        FxU32 width = 0, height = 0;
        fitPicture(clientWidth, clientHeight, factor, width, height);
        if (width >= renderContext.screenWidth && height >= renderContext.screenHeight)
            placePicture(width, height, width, height);
        return;
    }
    const FxU32 width = renderContext.screenWidth * static_cast<FxU32>(factor),
                height = renderContext.screenHeight * static_cast<FxU32>(factor);
    placePicture(width, height, width, height);
}

void blackenBars() {
    if (renderScaling.pictureWidth == renderScaling.bufferWidth &&
        renderScaling.pictureHeight == renderScaling.bufferHeight)
        return;
    DDBLTFX fx;
    memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    if (renderContext.frontSurface == NULL) return;
    renderContext.frontSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    // Every buffer of the flip chain, the third of TripleBuffer too: each comes to the front in turn.
    DDSCAPS2 flipCaps;
    memset(&flipCaps, 0, sizeof(flipCaps));
    flipCaps.dwCaps = DDSCAPS_FLIP;
    IDirectDrawSurface7 *buffer = renderContext.backSurface;
    if (buffer == NULL) return;
    buffer->AddRef();
    for (DWORD left = backBufferCount(); left > 0 && buffer != renderContext.frontSurface; --left) {
        buffer->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        IDirectDrawSurface7 *next = NULL;
        if (left > 1 && buffer->GetAttachedSurface(&flipCaps, &next) != DD_OK) next = NULL;
        buffer->Release();
        buffer = next;
        if (buffer == NULL) return;
    }
    buffer->Release();
}

void logRenderScale() {
    // Off is off: a store the settings program wrote with the scale at Off logs as it did before.
    if (!settings.renderScalePresent || settings.RenderScale == 0) return;
    logLine(
        "Render scale %d: drawn at %ux%u in %ux%u buffers\n", static_cast<int>(settings.RenderScale),
        static_cast<unsigned>(renderScaling.pictureWidth), static_cast<unsigned>(renderScaling.pictureHeight),
        static_cast<unsigned>(renderScaling.bufferWidth), static_cast<unsigned>(renderScaling.bufferHeight));
}
