#include "screen_surfaces.h"

#include <string.h>

#include "buffer_exchange.h"
#include "device_creation.h"
#include "display_device.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "render_scale.h"

namespace {

struct DepthSearch {
    DDPIXELFORMAT *wanted;
    bool found;
};

HRESULT CALLBACK selectDepthFormat(LPDDPIXELFORMAT format, LPVOID userData) {
    DepthSearch *search = static_cast<DepthSearch *>(userData);
    if (format == NULL || search == NULL || search->wanted == NULL) return D3DENUMRET_CANCEL;
    // Formats with stencil bits are skipped; the depth bit count is not looked at.
    if (format->dwFlags != DDPF_ZBUFFER) return D3DENUMRET_OK;
    memcpy(search->wanted, format, sizeof(DDPIXELFORMAT));
    search->found = true;
    return D3DENUMRET_CANCEL;
}

bool findDepthFormat(DDPIXELFORMAT &format) {
    DepthSearch search = {&format, false};
    renderContext.hardwareDevice = 1;
    for (int type = 0; type < 5; ++type) {
        if (type == 2) renderContext.hardwareDevice = 0;
        renderContext.d3d->EnumZBufferFormats(*deviceTypes[type], selectDepthFormat, &search);
        if (search.found) return true;
    }
    return false;
}

} // namespace

bool createSurfaces(const DisplayOpenRules &rules) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = backBufferCount();
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE |
                          DDSCAPS_VIDEOMEMORY | DDSCAPS_MODEX;
    desc.ddsCaps.dwCaps2 = settings.Antialiasing != 0 ? DDSCAPS2_HINTANTIALIASING : 0;
    if (renderContext.ddraw->CreateSurface(&desc, &renderContext.frontSurface, NULL) != DD_OK) {
        renderContext.frontSurface = NULL;
        errorBox(rules.primarySurfaceMessage);
        return false;
    }

    DDSCAPS2 backCaps;
    memset(&backCaps, 0, sizeof(backCaps));
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    if (renderContext.frontSurface->GetAttachedSurface(&backCaps, &renderContext.backSurface) != DD_OK) {
        renderContext.backSurface = NULL;
        return false;
    }

    // Neither extra surface is used full-screen, but drivers that cannot hold them cannot run the game
    // either.
    renderContext.auxSurface =
        createScreenSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY);
    if (renderContext.auxSurface == NULL) {
        errorBox(rules.auxBufferMessage);
        return false;
    }
    renderContext.tripleSurface =
        createScreenSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY);
    if (renderContext.tripleSurface == NULL) {
        errorBox(rules.tripleBufferMessage);
        return false;
    }
    return true;
}

IDirectDrawSurface7 *createScreenSurface(DWORD caps, const DDPIXELFORMAT *format) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = renderScaling.bufferWidth;
    desc.dwHeight = renderScaling.bufferHeight;
    desc.ddsCaps.dwCaps = caps;
    if (format) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = *format;
    }
    IDirectDrawSurface7 *surface = NULL;
    if (renderContext.ddraw->CreateSurface(&desc, &surface, NULL) != DD_OK) return NULL;
    return surface;
}

bool createDepthBuffer() {
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof(format));
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_ZBUFFER;
    findDepthFormat(format);

    renderContext.depthSurface = createScreenSurface(
        DDSCAPS_ZBUFFER | (renderContext.hardwareDevice ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY),
        &format);
    if (renderContext.depthSurface == NULL) return false;
    return renderContext.backSurface->AddAttachedSurface(renderContext.depthSurface) == DD_OK;
}

DWORD fullScreenBitsPerPixel() {
    return settings.ColorDepth == 32 ? 32 : 16;
}
