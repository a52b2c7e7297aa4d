#include "presentation.h"

#include "bitmaps.h"
#include "buffer_exchange.h"
#include "display_device.h"
#include "../core/draw_counters.h"
#include "../core/library_state.h"
#include "frame_pacing.h"
#include "gamma.h"
#include "../core/library_settings.h"
#include "state_groups.h"
#include "surface_restore.h"
#include "windowed_display.h"
#include "../render/device_state.h"
#include "../render/draw_batch.h"
#include "../render/render_state.h"
#include "lfb.h"
#include "display_window.h"
#include "../render/color_format.h"

namespace {

FxU32 screenPixels() {
    return renderContext.screenWidth * renderContext.screenHeight;
}

// Where the device cannot draw into the front surface, what was drawn "into the front buffer" went into the
// back buffer and is shown by copying: the back buffer keeps it. A busy blitter drops the copy. In
// full-screen the copy goes through the gamma lookup; a window corrects whatever it shows.
void copyBackToFront() {
    IDirectDrawSurface7 *front = renderContext.frontSurface, *back = renderContext.backSurface;
    if (front && back && front->BltFast(0, 0, back, NULL, DDBLTFAST_DONOTWAIT) == DD_OK &&
        !renderContext.windowed)
        correctPresentedFrame(front);
    drawShamelessPlug();
    showFrontBuffer();
}

// The frame drawn into the back buffer goes on screen and the buffers change places. Drawing into the
// front buffer goes on into the new front buffer, as the board's did.
void presentBackBuffer() {
    FxI32 front = renderContext.frontDrawing;
    stopFrontDrawing();
    if (!renderContext.windowed) correctPresentedFrame(renderContext.backSurface);
    exchangeBuffers();
    drawShamelessPlug();
    showFrontBuffer();
    if (front) startFrontDrawing();
}

bool screenPairReady() {
    return renderContext.device != NULL && renderContext.frontSurface != NULL &&
           renderContext.backSurface != NULL;
}

// Wine keeps the primary surface apart from the screen and copies it there when DirectDraw writes to it
// (a blit), not when Direct3D draws into it; a round trip through the aux surface, which nothing else
// uses, is such a write. On Windows the primary is the screen and the copy changes nothing.
void pushPrimaryToScreen() {
    IDirectDrawSurface7 *front = renderContext.frontSurface, *spare = renderContext.auxSurface;
    if (renderContext.windowed || front == NULL || spare == NULL) return;
    if (spare->BltFast(0, 0, front, NULL, DDBLTFAST_WAIT) == DD_OK)
        front->BltFast(0, 0, spare, NULL, DDBLTFAST_WAIT);
}

IDirectDrawSurface7 *drawnSurface() {
    return renderContext.frontDrawing == frontDrawingTarget ? renderContext.frontSurface
                                                            : renderContext.backSurface;
}

} // namespace

// The board drew into the front buffer when asked, and the picture changed as it was drawn: games draw
// loading bars and menus that way and never swap. The device is pointed at the front surface; a device
// that refuses draws into the back buffer, which is copied to the front when the drawing is shown.
void startFrontDrawing() {
    if (renderContext.frontDrawing || !screenPairReady()) return;
    renderContext.frontDrawing = frontDrawingCopied;
    // Full-screen without the display's ramp, the lookup has to reach front-buffer drawing as well, and a
    // front surface drawn into would go through it again at every showing: the drawing stays in the back
    // buffer, and each showing corrects the copy.
    if (!renderContext.windowed && gammaLookupApplies()) return;
    if (!moveRenderTarget(renderContext.backSurface, renderContext.frontSurface)) return;
    renderContext.frontDrawing = frontDrawingTarget;
    sendViewport(renderContext.viewport);
}

void stopFrontDrawing() {
    FxI32 front = renderContext.frontDrawing;
    renderContext.frontDrawing = 0;
    renderContext.frontUnseen = 0;
    if (front != frontDrawingTarget || !screenPairReady()) return;
    if (moveRenderTarget(renderContext.frontSurface, renderContext.backSurface))
        sendViewport(renderContext.viewport);
}

void prepareToDraw() {
    settleFrameBufferLocks();
    if (renderContext.frontDrawing) renderContext.frontUnseen = 1;
}

void showFrontDrawing() {
    settleFrameBufferLocks();
    if (!renderContext.frontUnseen) return;
    renderContext.frontUnseen = 0;
    flushDrawBatch();
    // The driver may hold what was sent until the scene ends.
    if (library.rules->session.presentRestartsScene) restartScene();
    if (renderContext.frontDrawing == frontDrawingCopied) {
        copyBackToFront();
        return;
    }
    pushPrimaryToScreen();
    showFrontBuffer();
}

void swapBuffers(FxU32 swapInterval) {
    flushDrawBatch();
    resetFrameState();
    pumpOwnWindowMessages();
    if (!fullScreenDisplayReady()) return;
    const SessionRules &rules = library.rules->session;
    settleFrameBufferLocks();
    if (renderContext.swapCount % 5 == 0) {
        paceFrame(swapInterval);
        if (rules.presentRestartsScene && renderContext.device) renderContext.device->EndScene();
        presentBackBuffer();
        if (rules.swapCountsPixelsOut) drawCounters.pixels.pixelsOut += screenPixels();
        if (rules.presentRestartsScene && renderContext.device) renderContext.device->BeginScene();
    }
    // Oversample 1 renders every frame but shows one call in five.
    if (settings.Oversample == 1)
        renderContext.swapCount += 1;
    else
        renderContext.swapCount = 0;
    drawCounters.pixels.pixelsIn += screenPixels();
}

void renderBuffer(FxI32 buffer) {
    flushDrawBatch();
    const SessionRules &rules = library.rules->session;
    if (buffer != bufferFront && renderContext.frontDrawing) {
        showFrontDrawing();
        stopFrontDrawing();
    }
    settleFrameBufferLocks();
    if (rules.presentRestartsScene && renderContext.device) renderContext.device->EndScene();
    if (buffer == bufferFront) startFrontDrawing();
    drawCounters.pixels.pixelsIn += screenPixels();
    drawCounters.pixels.pixelsOut += screenPixels();
    if (rules.presentRestartsScene && renderContext.device) renderContext.device->BeginScene();
}

void finishDrawing() {
    flushDrawBatch();
}

void restartScene() {
    flushDrawBatch();
    if (renderContext.device == NULL) return;
    renderContext.device->EndScene();
    renderContext.device->BeginScene();
}

void clearBuffers(FxU32 color, FxU8 alpha, FxU16 depth) {
    flushDrawBatch();
    if (renderContext.device == NULL || renderContext.clipEmpty) return;
    D3DCOLOR clearColor = toArgb(color) | (static_cast<FxU32>(alpha & 0xFF) << 24);
    // Glide depth runs 0 to 0xFFFF and Direct3D's clear depth 0.0 to 1.0: 1.5259022e-5 is 1/65535.
    float clearDepth = static_cast<float>(static_cast<double>(depth & 0xFFFF) * 1.5259022e-5);
    DWORD targets = D3DCLEAR_ZBUFFER;
    if (colorWritesEnabled()) targets |= D3DCLEAR_TARGET;
    prepareToDraw();
    renderContext.device->Clear(0, NULL, targets, clearColor, clearDepth, 0);
    if (targets & D3DCLEAR_TARGET) reloadLockedShadows(drawnSurface());
}

// Every buffer the swaps pass through starts black.
void primeBuffers() {
    for (int i = 0; i < 3; ++i) {
        clearBuffers(0, 0, 0xFFFF);
        swapBuffers(0);
    }
    clearBuffers(0, 0, 0xFFFF);
}
