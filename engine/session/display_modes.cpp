#include "display_modes.h"

#include <windows.h>
#include <ddraw.h>

#include "display_device.h"
#include "library_settings.h"
#include "render_context.h"

namespace {

struct ModeSearch {
    DWORD bitsPerPixel;
    bool *openable;
};

HRESULT WINAPI noteMode(LPDDSURFACEDESC2 mode, LPVOID searchPointer) {
    ModeSearch &search = *static_cast<ModeSearch *>(searchPointer);
    if (mode == NULL || mode->ddpfPixelFormat.dwRGBBitCount != search.bitsPerPixel) return DDENUMRET_OK;
    for (int code = 0; code < glideResolutionCount; ++code) {
        Resolution size = lookupResolution(code);
        if (size.width == mode->dwWidth && size.height == mode->dwHeight) search.openable[code] = true;
    }
    return DDENUMRET_OK;
}

// The open session's DirectDraw object, else one of the query's own.
void listFullScreenModes(bool *openable) {
    IDirectDraw7 *ddraw = context.ddraw;
    bool own = ddraw == NULL;
    if (own && DirectDrawCreateEx(NULL, reinterpret_cast<void **>(&ddraw), IID_IDirectDraw7, NULL) != DD_OK)
        return;
    ModeSearch search = {static_cast<DWORD>(settings.ColorDepth), openable};
    ddraw->EnumDisplayModes(0, NULL, &search, noteMode);
    if (own) ddraw->Release();
}

} // namespace

int findOpenableResolutions(bool openable[glideResolutionCount]) {
    bool windowed = settings.Windowed == 1;
    for (int code = 0; code < glideResolutionCount; ++code)
        openable[code] = windowed;
    if (!windowed) listFullScreenModes(openable);
    int count = 0;
    for (int code = 0; code < glideResolutionCount; ++code)
        if (openable[code]) ++count;
    return count;
}
