#include "surface_restore.h"

#include <string.h>

#include "../core/log.h"
#include "../core/render_context.h"
#include "render_scale.h"
#include "../render/device_state.h"
#include "../render/draw_batch.h"

namespace {

bool surfaceLost(IDirectDrawSurface7 *surface) {
    return surface != NULL && surface->IsLost() == DDERR_SURFACELOST;
}

// Restored video memory holds whatever was there: the screen shows black until the next frame.
void blankRestoredBuffers() {
    if (renderContext.device) {
        flushDrawBatch();
        renderContext.device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        renderContext.device->EndScene();
        renderContext.device->BeginScene();
    }
    DDBLTFX fill;
    memset(&fill, 0, sizeof(fill));
    fill.dwSize = sizeof(fill);
    renderContext.frontSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

} // namespace

bool fullScreenDisplayReady() {
    if (renderContext.windowed || renderContext.ddraw == NULL || renderContext.frontSurface == NULL)
        return true;
    if (!renderContext.displayLost) {
        if (!surfaceLost(renderContext.frontSurface) && !surfaceLost(renderContext.backSurface)) return true;
        renderContext.displayLost = 1;
    }
    // Another program holds the screen: DirectDraw refuses the restore until it is given back.
    if (renderContext.ddraw->TestCooperativeLevel() != DD_OK) return false;
    if (renderContext.ddraw->RestoreAllSurfaces() != DD_OK) return false;
    renderContext.displayLost = 0;
    blankRestoredBuffers();
    blackenBars();
    // A driver may reset its device with the screen given back: every state is sent again when next set.
    forgetSentValues();
    logLine("Display surfaces were lost to another program and are restored; the frame in flight is "
            "dropped\n");
    return false;
}
