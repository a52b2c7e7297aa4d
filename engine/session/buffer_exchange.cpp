#include "buffer_exchange.h"

#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "../render/device_state.h"

namespace {

// Full-screen the chain's memory rotates under the same surface objects, so the device keeps drawing into
// backSurface. Without a retrace wait; when the last flip is still pending the frame is dropped.
void flipScreenBuffers() {
    if (renderContext.frontSurface) renderContext.frontSurface->Flip(NULL, DDFLIP_NOVSYNC | DDFLIP_DONOTWAIT);
}

// In a window the buffers are plain off-screen surfaces: the device is pointed at the next back buffer.
void retargetWindowedBuffers() {
    if (renderContext.device == NULL || renderContext.frontSurface == NULL ||
        renderContext.backSurface == NULL)
        return;
    IDirectDrawSurface7 *nextBack =
        backBufferCount() > 1 ? renderContext.tripleSurface : renderContext.frontSurface;
    if (nextBack == NULL || !moveRenderTarget(renderContext.backSurface, nextBack)) return;
    if (nextBack == renderContext.tripleSurface) renderContext.tripleSurface = renderContext.frontSurface;
    renderContext.frontSurface = renderContext.backSurface;
    renderContext.backSurface = nextBack;
    // Nothing promises that the clip window's viewport outlives a change of target.
    sendViewport(renderContext.viewport);
}

} // namespace

// A depth buffer attaches to one surface at a time: it moves from the old target to the new one.
bool moveRenderTarget(IDirectDrawSurface7 *from, IDirectDrawSurface7 *to) {
    IDirectDrawSurface7 *depth = renderContext.depthSurface;
    if (depth && from->DeleteAttachedSurface(0, depth) != DD_OK) return false;
    if (!depth || to->AddAttachedSurface(depth) == DD_OK) {
        if (sendRenderTarget(to) == D3D_OK) return true;
        if (depth) to->DeleteAttachedSurface(0, depth);
    }
    if (depth) from->AddAttachedSurface(depth);
    return false;
}

unsigned backBufferCount() {
    return settings.TripleBuffer != 0 ? 2u : 1u;
}

void exchangeBuffers() {
    if (renderContext.windowed)
        retargetWindowedBuffers();
    else
        flipScreenBuffers();
}
