#include "buffer_exchange.h"

#include "library_settings.h"
#include "render_context.h"
#include "../render/device_state.h"

namespace {

// Full-screen the chain's memory rotates under the same surface objects, so the device keeps drawing into
// backSurface. Without a retrace wait; when the last flip is still pending the frame is dropped.
void flipScreenBuffers() {
    if (context.frontSurface) context.frontSurface->Flip(NULL, DDFLIP_NOVSYNC | DDFLIP_DONOTWAIT);
}

// In a window the buffers are plain off-screen surfaces: the device is pointed at the next back buffer.
void retargetWindowedBuffers() {
    if (context.device == NULL || context.frontSurface == NULL || context.backSurface == NULL) return;
    IDirectDrawSurface7 *nextBack = backBufferCount() > 1 ? context.tripleSurface : context.frontSurface;
    if (nextBack == NULL || !moveRenderTarget(context.backSurface, nextBack)) return;
    if (nextBack == context.tripleSurface) context.tripleSurface = context.frontSurface;
    context.frontSurface = context.backSurface;
    context.backSurface = nextBack;
    // Nothing promises that the clip window's viewport outlives a change of target.
    sendViewport(context.viewport);
}

} // namespace

// A depth buffer attaches to one surface at a time: it moves from the old target to the new one.
bool moveRenderTarget(IDirectDrawSurface7 *from, IDirectDrawSurface7 *to) {
    IDirectDrawSurface7 *depth = context.depthSurface;
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
    if (context.windowed)
        retargetWindowedBuffers();
    else
        flipScreenBuffers();
}
