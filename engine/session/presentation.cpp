#include "presentation.h"

#include "bitmaps.h"
#include "buffer_exchange.h"
#include "display_device.h"
#include "engine_state.h"
#include "frame_pacing.h"
#include "gamma.h"
#include "library_settings.h"
#include "surface_restore.h"
#include "windowed_display.h"
#include "../render/device_state.h"
#include "../render/draw_batch.h"
#include "../render/render_state.h"
#include "../texture/lfb.h"

namespace {

FxU32 screenPixels() {
    return context.screenWidth * context.screenHeight;
}

// Where the device cannot draw into the front surface, what was drawn "into the front buffer" went into the
// back buffer and is shown by copying: the back buffer keeps it. A busy blitter drops the copy.
void copyBackToFront() {
    if (context.frontSurface && context.backSurface)
        context.frontSurface->BltFast(0, 0, context.backSurface, NULL, DDBLTFAST_DONOTWAIT);
    drawShamelessPlug();
    showFrontBuffer();
}

// The frame drawn into the back buffer goes on screen and the buffers change places. Drawing into the
// front buffer goes on into the new front buffer, as the board's did.
void presentBackBuffer() {
    FxI32 front = context.frontDrawing;
    stopFrontDrawing();
    if (!context.windowed) correctPresentedFrame(context.backSurface);
    exchangeBuffers();
    drawShamelessPlug();
    showFrontBuffer();
    if (front) startFrontDrawing();
}

bool screenPairReady() {
    return context.device != NULL && context.frontSurface != NULL && context.backSurface != NULL;
}

// Wine keeps the primary surface apart from the screen and copies it there when DirectDraw writes to it
// (a blit), not when Direct3D draws into it; a round trip through the aux surface, which nothing else
// uses, is such a write. On Windows the primary is the screen and the copy changes nothing.
void pushPrimaryToScreen() {
    IDirectDrawSurface7 *front = context.frontSurface, *spare = context.auxSurface;
    if (context.windowed || front == NULL || spare == NULL) return;
    if (spare->BltFast(0, 0, front, NULL, DDBLTFAST_WAIT) == DD_OK)
        front->BltFast(0, 0, spare, NULL, DDBLTFAST_WAIT);
}

IDirectDrawSurface7 *drawnSurface() {
    return context.frontDrawing == frontDrawingTarget ? context.frontSurface : context.backSurface;
}

} // namespace

// The board drew into the front buffer when asked, and the picture changed as it was drawn: games draw
// loading bars and menus that way and never swap. The device is pointed at the front surface; a device
// that refuses draws into the back buffer, which is copied to the front when the drawing is shown.
void startFrontDrawing() {
    if (context.frontDrawing || !screenPairReady()) return;
    context.frontDrawing = frontDrawingCopied;
    if (!moveRenderTarget(context.backSurface, context.frontSurface)) return;
    context.frontDrawing = frontDrawingTarget;
    sendViewport(context.viewport);
}

void stopFrontDrawing() {
    FxI32 front = context.frontDrawing;
    context.frontDrawing = 0;
    context.frontUnseen = 0;
    if (front != frontDrawingTarget || !screenPairReady()) return;
    if (moveRenderTarget(context.frontSurface, context.backSurface)) sendViewport(context.viewport);
}

void prepareToDraw() {
    settleFrameBufferLocks();
    if (context.frontDrawing) context.frontUnseen = 1;
}

void showFrontDrawing() {
    settleFrameBufferLocks();
    if (!context.frontUnseen) return;
    context.frontUnseen = 0;
    flushDrawBatch();
    // The driver may hold what was sent until the scene ends.
    if (library.rules->session.presentRestartsScene) restartScene();
    if (context.frontDrawing == frontDrawingCopied) {
        copyBackToFront();
        return;
    }
    pushPrimaryToScreen();
    showFrontBuffer();
}

void swapBuffers(FxU32 swapInterval) {
    flushDrawBatch();
    pumpOwnWindowMessages();
    if (!fullScreenDisplayReady()) return;
    const SessionRules &rules = library.rules->session;
    settleFrameBufferLocks();
    if (context.swapCount % 5 == 0) {
        paceFrame(swapInterval);
        if (rules.presentRestartsScene && context.device) context.device->EndScene();
        presentBackBuffer();
        if (rules.swapCountsPixelsOut) context.pixelsOut += screenPixels();
        if (rules.presentRestartsScene && context.device) context.device->BeginScene();
    }
    // Oversample 1 renders every frame but shows one call in five.
    if (settings.Oversample == 1)
        context.swapCount += 1;
    else
        context.swapCount = 0;
    context.pixelsIn += screenPixels();
}

void renderBuffer(FxI32 buffer) {
    flushDrawBatch();
    const SessionRules &rules = library.rules->session;
    if (buffer != bufferFront && context.frontDrawing) {
        showFrontDrawing();
        stopFrontDrawing();
    }
    settleFrameBufferLocks();
    if (rules.presentRestartsScene && context.device) context.device->EndScene();
    if (buffer == bufferFront) startFrontDrawing();
    context.pixelsIn += screenPixels();
    context.pixelsOut += screenPixels();
    if (rules.presentRestartsScene && context.device) context.device->BeginScene();
}

void finishDrawing() {
    flushDrawBatch();
}

void restartScene() {
    flushDrawBatch();
    if (context.device == NULL) return;
    context.device->EndScene();
    context.device->BeginScene();
}

void clearBuffers(FxU32 color, FxU8 alpha, FxU16 depth) {
    flushDrawBatch();
    if (context.device == NULL || context.clipEmpty) return;
    D3DCOLOR clearColor = toArgb(color) | (static_cast<FxU32>(alpha & 0xFF) << 24);
    // Glide depth runs 0 to 0xFFFF and Direct3D's clear depth 0.0 to 1.0: 1.5259022e-5 is 1/65535.
    float clearDepth = static_cast<float>(static_cast<double>(depth & 0xFFFF) * 1.5259022e-5);
    DWORD targets = D3DCLEAR_ZBUFFER;
    if (colorWritesEnabled()) targets |= D3DCLEAR_TARGET;
    prepareToDraw();
    context.device->Clear(0, NULL, targets, clearColor, clearDepth, 0);
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

void resetPerformanceCounters() {
    context.pixelsIn = 0;
    context.chromaFail = 0;
    context.zFuncFail = 0;
    context.aFuncFail = 0;
    context.pixelsOut = 0;
}
