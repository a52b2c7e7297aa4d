#include "board_status.h"

#include <string.h>

#include "../core/draw_counters.h"
#include "../core/render_context.h"

bool inVerticalRetrace() {
    BOOL inBlank = FALSE;
    if (renderContext.ddraw == NULL || renderContext.ddraw->GetVerticalBlankStatus(&inBlank) != DD_OK)
        return false;
    return inBlank != FALSE;
}

FxU32 scanLine() {
    DWORD line = 0;
    if (renderContext.ddraw == NULL || renderContext.ddraw->GetScanLine(&line) != DD_OK) return 0;
    return line;
}

AdapterIdentity adapterIdentity() {
    static DDDEVICEIDENTIFIER2 identity;
    memset(&identity, 0, sizeof(identity));
    if (!renderContext.sessionOpen || renderContext.ddraw == NULL) return AdapterIdentity{false, "", 0};
    renderContext.ddraw->GetDeviceIdentifier(&identity, 0);
    identity.szDescription[sizeof(identity.szDescription) - 1] = '\0';
    return AdapterIdentity{true, identity.szDescription, identity.dwVendorId};
}

ScreenViewport screenViewport() {
    const D3DVIEWPORT7 &viewport = renderContext.viewport;
    return ScreenViewport{viewport.dwX, viewport.dwY, viewport.dwWidth, viewport.dwHeight};
}

BoardCounters boardCounters() {
    return BoardCounters{
        .pixelsIn = drawCounters.pixels.pixelsIn,
        .chromaFail = drawCounters.pixels.chromaFail,
        .zFuncFail = drawCounters.pixels.zFuncFail,
        .aFuncFail = drawCounters.pixels.aFuncFail,
        .pixelsOut = drawCounters.pixels.pixelsOut,
        .triangles = drawCounters.triangles,
        .points = drawCounters.points,
        .lines = drawCounters.lines,
    };
}

void resetCounters(CounterGroup group) {
    switch (group) {
    case CounterGroup::pixels:
        drawCounters.pixels = PixelCounters();
        break;
    case CounterGroup::triangles:
        drawCounters.triangles = 0;
        break;
    case CounterGroup::points:
        drawCounters.points = 0;
        break;
    case CounterGroup::lines:
        drawCounters.lines = 0;
        break;
    }
}

bool sessionIsOpen() {
    return renderContext.sessionOpen != 0;
}

FxU32 screenWidth() {
    return renderContext.screenWidth;
}

FxU32 screenHeight() {
    return renderContext.screenHeight;
}
