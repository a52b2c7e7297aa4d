#include "board_status.h"

#include "presentation.h"
#include "render_context.h"

bool inVerticalRetrace() {
    BOOL inBlank = FALSE;
    if (context.ddraw == NULL || context.ddraw->GetVerticalBlankStatus(&inBlank) != DD_OK) return false;
    return inBlank != FALSE;
}

FxU32 scanLine() {
    DWORD line = 0;
    if (context.ddraw == NULL || context.ddraw->GetScanLine(&line) != DD_OK) return 0;
    return line;
}

BoardCounters boardCounters() {
    return BoardCounters{
        .pixelsIn = context.pixelsIn,
        .chromaFail = context.chromaFail,
        .zFuncFail = context.zFuncFail,
        .aFuncFail = context.aFuncFail,
        .pixelsOut = context.pixelsOut,
        .triangles = context.triangleCount,
        .points = context.pointCount,
        .lines = context.lineCount,
    };
}

void resetCounters(CounterGroup group) {
    switch (group) {
    case CounterGroup::pixels:
        resetPerformanceCounters();
        break;
    case CounterGroup::triangles:
        context.triangleCount = 0;
        break;
    case CounterGroup::points:
        context.pointCount = 0;
        break;
    case CounterGroup::lines:
        context.lineCount = 0;
        break;
    }
}

bool sessionIsOpen() {
    return context.sessionOpen != 0;
}

FxU32 screenWidth() {
    return context.screenWidth;
}

FxU32 screenHeight() {
    return context.screenHeight;
}
