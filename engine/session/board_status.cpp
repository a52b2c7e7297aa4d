#include "board_status.h"

#include <string.h>

#include "presentation.h"
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
        .pixelsIn = renderContext.pixelsIn,
        .chromaFail = renderContext.chromaFail,
        .zFuncFail = renderContext.zFuncFail,
        .aFuncFail = renderContext.aFuncFail,
        .pixelsOut = renderContext.pixelsOut,
        .triangles = renderContext.triangleCount,
        .points = renderContext.pointCount,
        .lines = renderContext.lineCount,
    };
}

void resetCounters(CounterGroup group) {
    switch (group) {
    case CounterGroup::pixels:
        resetPerformanceCounters();
        break;
    case CounterGroup::triangles:
        renderContext.triangleCount = 0;
        break;
    case CounterGroup::points:
        renderContext.pointCount = 0;
        break;
    case CounterGroup::lines:
        renderContext.lineCount = 0;
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
