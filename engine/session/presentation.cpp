#include "presentation.h"

#include "bitmaps.h"
#include "buffer_exchange.h"
#include "display_device.h"
#include "engine_state.h"
#include "frame_pacing.h"
#include "library_settings.h"
#include "surface_restore.h"
#include "windowed_display.h"
#include "../render/draw_batch.h"
#include "../render/render_state.h"

namespace {

FxU32 screenPixels() {
    return context.screenWidth * context.screenHeight;
}

// grRenderBuffer shows what was drawn "into the front buffer" by copying: the back buffer keeps it. A busy
// blitter drops the frame.
void copyBackToFront() {
    if (context.frontSurface && context.backSurface)
        context.frontSurface->BltFast(0, 0, context.backSurface, NULL, DDBLTFAST_DONOTWAIT);
    drawShamelessPlug();
    showFrontBuffer();
}

// The frame drawn into the back buffer goes on screen and the buffers change places.
void presentBackBuffer() {
    exchangeBuffers();
    drawShamelessPlug();
    showFrontBuffer();
}

} // namespace

void swapBuffers(FxU32 swapInterval) {
    flushDrawBatch();
    pumpOwnWindowMessages();
    if (!fullScreenDisplayReady()) return;
    const SessionRules &rules = library.rules->session;
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
    if (rules.presentRestartsScene && context.device) context.device->EndScene();
    if (buffer == bufferBack) copyBackToFront();
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
    context.device->Clear(0, NULL, targets, clearColor, clearDepth, 0);
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
