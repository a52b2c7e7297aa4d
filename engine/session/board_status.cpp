#include "board_status.h"

#include "presentation.h"
#include "render_context.h"

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
