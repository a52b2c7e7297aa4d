#include "surface_restore.h"

#include <string.h>

#include "log.h"
#include "render_context.h"
#include "../render/draw_batch.h"

namespace {

bool surfaceLost(IDirectDrawSurface7 *surface) {
    return surface != NULL && surface->IsLost() == DDERR_SURFACELOST;
}

// Restored video memory holds whatever was there: the screen shows black until the next frame.
void blankRestoredBuffers() {
    if (context.device) {
        flushDrawBatch();
        context.device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        context.device->EndScene();
        context.device->BeginScene();
    }
    DDBLTFX fill;
    memset(&fill, 0, sizeof(fill));
    fill.dwSize = sizeof(fill);
    context.frontSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

} // namespace

bool fullScreenDisplayReady() {
    if (context.windowed || context.ddraw == NULL || context.frontSurface == NULL) return true;
    if (!context.displayLost) {
        if (!surfaceLost(context.frontSurface) && !surfaceLost(context.backSurface)) return true;
        context.displayLost = 1;
    }
    // Another program holds the screen: DirectDraw refuses the restore until it is given back.
    if (context.ddraw->TestCooperativeLevel() != DD_OK) return false;
    if (context.ddraw->RestoreAllSurfaces() != DD_OK) return false;
    context.displayLost = 0;
    blankRestoredBuffers();
    logLine("Display surfaces were lost to another program and are restored; the frame in flight is "
            "dropped\n");
    return false;
}
