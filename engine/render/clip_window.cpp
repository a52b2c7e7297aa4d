#include "clip_window.h"

#include "device_state.h"
#include "render_state.h"
#include "saved_state.h"
#include "../core/library_state.h"
#include "../core/log.h"
#include "../core/render_context.h"

void clipWindowToScreen() {
    setClipWindow(0, 0, renderContext.screenWidth, renderContext.screenHeight);
}

// Glide's clip window is Direct3D's viewport, which also bounds Clear. Direct3D refuses an empty viewport,
// so an empty window is remembered instead and draws and clears nothing.
void setClipWindow(FxU32 minX, FxU32 minY, FxU32 maxX, FxU32 maxY) {
    stateCalls.clipMinX = clipEdge(minX);
    stateCalls.clipMinY = clipEdge(minY);
    stateCalls.clipMaxX = clipEdge(maxX);
    stateCalls.clipMaxY = clipEdge(maxY);
    markKnown(groupClipWindow);
    if (maxX > renderContext.screenWidth) maxX = renderContext.screenWidth;
    if (maxY > renderContext.screenHeight) maxY = renderContext.screenHeight;
    renderContext.clipEmpty = minX >= maxX || minY >= maxY;
    if (renderContext.clipEmpty) return;
    renderContext.viewport.dwX = minX;
    renderContext.viewport.dwY =
        renderContext.origin == originLowerLeft ? renderContext.screenHeight - maxY : minY;
    renderContext.viewport.dwWidth = maxX - minX;
    renderContext.viewport.dwHeight = maxY - minY;
    sendViewport(renderContext.viewport);
}

namespace {

FxI32 originLocation(FxI32 origin) {
    return origin == originAny ? originUpperLeft : origin;
}

void storeOrigin(FxI32 origin) {
    renderContext.origin = originLocation(origin);
    stateCalls.origin = renderContext.origin;
    markKnown(groupOrigin);
}

} // namespace

// Games set the origin every frame: only a change is logged, or the log grows by thousands of lines.
void setOrigin(FxI32 origin) {
    if (originLocation(origin) == renderContext.origin) return;
    if (library.rules->session.logsOrigin) logLine("grSSTOrigin(origin=%d);\n", origin);
    storeOrigin(origin);
    if (isKnown(groupCull)) setCullMode(stateCalls.cullMode);
}

void setOpeningOrigin(FxI32 origin) {
    if (library.rules->session.logsOrigin) logLine("grSSTOrigin(origin=%d);\n", origin);
    storeOrigin(origin);
}
