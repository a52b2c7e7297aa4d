#include "bitmaps.h"
#include "../core/library_state.h"

#include <math.h>
#include <string.h>

#include "display_device.h"
#include "render_scale.h"
#include "windowed_display.h"
#include "../render/saved_state.h"

HRESULT copyBitmapToSurface(IDirectDrawSurface7 *surface, HBITMAP bitmap, int x, int y, int dx, int dy) {
    if (surface == NULL || bitmap == NULL) return E_FAIL;
    surface->Restore();
    HDC imageDc = CreateCompatibleDC(NULL);
    if (imageDc == NULL) OutputDebugStringA("createcompatible dc failed\n");
    HGDIOBJ previous = imageDc ? SelectObject(imageDc, bitmap) : NULL;

    BITMAP info;
    memset(&info, 0, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);
    if (dx == 0) dx = info.bmWidth;
    if (dy == 0) dy = info.bmHeight;

    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);

    HDC surfaceDc = NULL;
    HRESULT result = surface->GetDC(&surfaceDc);
    if (result == DD_OK) {
        StretchBlt(surfaceDc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), imageDc,
                   x, y, dx, dy, SRCCOPY);
        surface->ReleaseDC(surfaceDc);
    }
    if (imageDc) {
        SelectObject(imageDc, previous);
        DeleteDC(imageDc);
    }
    return result;
}

IDirectDrawSurface7 *loadBitmapSurface(const char *name) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(library.moduleInstance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == NULL)
        bitmap = static_cast<HBITMAP>(
            LoadImageA(NULL, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    if (bitmap == NULL) return NULL;

    BITMAP info;
    memset(&info, 0, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);

    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(info.bmWidth);
    desc.dwHeight = static_cast<DWORD>(info.bmHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.ddsCaps.dwCaps2 = DDSCAPS2_D3DTEXTUREMANAGE;
    IDirectDrawSurface7 *surface = NULL;
    if (renderContext.ddraw == NULL || renderContext.ddraw->CreateSurface(&desc, &surface, NULL) != DD_OK) {
        DeleteObject(bitmap);
        return NULL;
    }
    copyBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return surface;
}

namespace {

const int logoWidth = 320, logoHeight = 240;

// The plug's bitmap, loaded at its first present and kept until the display closes.
IDirectDrawSurface7 *plugSurface;
bool plugMissing;

// Drawn scaled, the bitmap covers the place and size it has at the game's resolution: BltFast cannot
// stretch, Blt can.
void blitScaled(IDirectDrawSurface7 *surface, DWORD x, DWORD y, bool keyed) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (surface->GetSurfaceDesc(&desc) != DD_OK) return;
    RECT place = scaledRect(x, y, desc.dwWidth, desc.dwHeight);
    renderContext.frontSurface->Blt(&place, surface, NULL, DDBLT_WAIT | (keyed ? DDBLT_KEYSRC : 0), NULL);
}

void blitToFront(IDirectDrawSurface7 *surface, DWORD x, DWORD y) {
    DWORD blitFlags = DDBLTFAST_NOCOLORKEY;
    const bool keyed = library.rules->session.bitmapsColorKeyed;
    if (keyed) {
        DDCOLORKEY black = {0, 0};
        surface->SetColorKey(DDCKEY_SRCBLT, &black);
        blitFlags = DDBLTFAST_SRCCOLORKEY;
    }
    if (renderScaling.active)
        blitScaled(surface, x, y, keyed);
    else
        renderContext.frontSurface->BltFast(x, y, surface, NULL, blitFlags);
}

} // namespace

int drawBitmapResource(const char *name, DWORD x, DWORD y) {
    if (renderContext.frontSurface == NULL) return 0;
    IDirectDrawSurface7 *surface = loadBitmapSurface(name);
    if (surface == NULL) return 0;
    blitToFront(surface, x, y);
    surface->Release();
    showFrontBuffer();
    return 1;
}

void drawLogo() {
    const DWORD width = logoWidth, height = logoHeight;
    if (renderContext.screenWidth < width || renderContext.screenHeight < height) return;
    drawBitmapResource("LOGO", (renderContext.screenWidth - width) / 2,
                       (renderContext.screenHeight - height) / 2);
}

void drawSplash(float x, float y, float width, float height) {
    const float limit = 2147483648.0f;
    if (!(fabsf(x) < limit) || !(fabsf(y) < limit)) return;
    const int left = static_cast<int>(x), top = static_cast<int>(y);
    if (width >= static_cast<float>(logoWidth) && height >= static_cast<float>(logoHeight) && width < limit &&
        height < limit)
        drawBitmapResource("LOGO", static_cast<DWORD>(left + (static_cast<int>(width) - logoWidth) / 2),
                           static_cast<DWORD>(top + (static_cast<int>(height) - logoHeight) / 2));
    else
        drawBitmapResource("SPLASH", static_cast<DWORD>(left), static_cast<DWORD>(top));
}

void drawShamelessPlug() {
    if (!shamelessPlug || renderContext.frontSurface == NULL || plugMissing) return;
    if (plugSurface == NULL) plugSurface = loadBitmapSurface("SPLASH");
    if (plugSurface == NULL) {
        plugMissing = true;
        return;
    }
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (plugSurface->GetSurfaceDesc(&desc) != DD_OK || desc.dwWidth > renderContext.screenWidth ||
        desc.dwHeight > renderContext.screenHeight)
        return;
    blitToFront(plugSurface, renderContext.screenWidth - desc.dwWidth,
                renderContext.screenHeight - desc.dwHeight);
}

void releaseShamelessPlug() {
    if (plugSurface) plugSurface->Release();
    plugSurface = NULL;
    plugMissing = false;
}
