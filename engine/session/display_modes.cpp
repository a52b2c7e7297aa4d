#include "display_modes.h"

#include <windows.h>
#include <ddraw.h>

#include "display_device.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "screen_surfaces.h"
#include "state_groups.h"

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

// The open session's DirectDraw object, else one of the query's own. False when the adapter could not be
// asked.
bool listFullScreenModes(DWORD bitsPerPixel, bool *openable) {
    IDirectDraw7 *ddraw = renderContext.ddraw;
    bool own = ddraw == NULL;
    if (own && DirectDrawCreateEx(NULL, reinterpret_cast<void **>(&ddraw), IID_IDirectDraw7, NULL) != DD_OK)
        return false;
    ModeSearch search = {bitsPerPixel, openable};
    bool listed = ddraw->EnumDisplayModes(0, NULL, &search, noteMode) == DD_OK;
    if (own) ddraw->Release();
    return listed;
}

// Games ask for the size of the list and then for the list: both answers must agree, so once the adapter
// has answered its list is kept, and until then every resolution is offered.
void findFullScreenModes(bool *openable) {
    DWORD bits = fullScreenBitsPerPixel();
    if (loadState.displayModes.bitsPerPixel != bits) {
        ModeList found = {bits, {}};
        if (!listFullScreenModes(bits, found.openable)) {
            for (int code = 0; code < glideResolutionCount; ++code)
                openable[code] = true;
            return;
        }
        loadState.displayModes = found;
    }
    for (int code = 0; code < glideResolutionCount; ++code)
        openable[code] = loadState.displayModes.openable[code];
}

} // namespace

int findOpenableResolutions(bool openable[glideResolutionCount]) {
    bool windowed = settings.Windowed == 1;
    for (int code = 0; code < glideResolutionCount; ++code)
        openable[code] = windowed;
    if (!windowed) findFullScreenModes(openable);
    int count = 0;
    for (int code = 0; code < glideResolutionCount; ++code)
        if (openable[code]) ++count;
    return count;
}
