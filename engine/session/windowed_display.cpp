#include "windowed_display.h"

#include <string.h>

#include "gamma.h"
#include "library.h"
#include "../core/library_settings.h"
#include "render_scale.h"
#include "../render/device_state.h"
#include "screen_surfaces.h"
#include "device_creation.h"

namespace {

const DWORD addedFrameStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
const int32_t largestScale = 4;

LONG width(const RECT &rect) {
    return rect.right - rect.left;
}

LONG height(const RECT &rect) {
    return rect.bottom - rect.top;
}

RECT shifted(const RECT &rect, POINT by) {
    return RECT{rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y};
}

// The largest rectangle of the Glide aspect inside the area, centred.
RECT fitPicture(LONG areaWidth, LONG areaHeight) {
    LONGLONG glideWidth = renderContext.screenWidth, glideHeight = renderContext.screenHeight;
    LONG pictureWidth = areaWidth, pictureHeight = areaHeight;
    if (static_cast<LONGLONG>(areaWidth) * glideHeight > static_cast<LONGLONG>(areaHeight) * glideWidth)
        pictureWidth = static_cast<LONG>(areaHeight * glideWidth / glideHeight);
    else
        pictureHeight = static_cast<LONG>(areaWidth * glideHeight / glideWidth);
    LONG left = (areaWidth - pictureWidth) / 2, top = (areaHeight - pictureHeight) / 2;
    return RECT{left, top, left + pictureWidth, top + pictureHeight};
}

SIZE clientSize(const RECT &workArea, const RECT &frame) {
    LONG glideWidth = static_cast<LONG>(renderContext.screenWidth),
         glideHeight = static_cast<LONG>(renderContext.screenHeight);
    const int32_t factor = windowClientScale();
    if (factor == windowScaleLargest) {
        RECT fit = fitPicture(width(workArea) - width(frame), height(workArea) - height(frame));
        if (width(fit) > 0 && height(fit) > 0) return SIZE{width(fit), height(fit)};
        return SIZE{glideWidth, glideHeight};
    }
    LONG scale = factor >= 2 && factor <= largestScale ? factor : 1;
    return SIZE{glideWidth * scale, glideHeight * scale};
}

RECT workAreaOf(HWND window) {
    MONITORINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return RECT{0, 0, static_cast<LONG>(renderContext.screenWidth),
                static_cast<LONG>(renderContext.screenHeight)};
}

void saveWindowPlacement() {
    renderContext.savedStyle = GetWindowLongA(renderContext.window, GWL_STYLE);
    renderContext.savedExStyle = GetWindowLongA(renderContext.window, GWL_EXSTYLE);
    GetWindowRect(renderContext.window, &renderContext.savedRect);
    renderContext.windowPlaced = 1;
}

// Full-screen games make borderless windows: a window on the desktop needs a caption to be moved and closed.
DWORD framedStyle() {
    DWORD style = static_cast<DWORD>(renderContext.savedStyle);
    if ((style & WS_CAPTION) == WS_CAPTION) return style;
    style |= addedFrameStyle;
    SetWindowLongA(renderContext.window, GWL_STYLE, static_cast<LONG>(style));
    return style;
}

// The window is centred on its monitor's work area; one larger than the work area keeps its caption on it.
void placeWindow() {
    saveWindowPlacement();
    DWORD style = framedStyle();
    DWORD exStyle = static_cast<DWORD>(renderContext.savedExStyle);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    RECT work = workAreaOf(renderContext.window);
    SIZE client = clientSize(work, frame);
    renderContext.clientWidth = static_cast<FxU32>(client.cx);
    renderContext.clientHeight = static_cast<FxU32>(client.cy);
    RECT outer = {0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    LONG x = work.left + (width(work) - width(outer)) / 2;
    LONG y = work.top + (height(work) - height(outer)) / 2;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(renderContext.window, NULL, x, y, width(outer), height(outer),
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // Wine gives the X window its new size, and erases what the resize uncovered, only when the window
    // paints: both must happen before the first frame, or it is clipped to the old size or painted over.
    UpdateWindow(renderContext.window);
}

bool readDesktopMode(DWORD &bits) {
    DDSURFACEDESC2 mode;
    memset(&mode, 0, sizeof(mode));
    mode.dwSize = sizeof(mode);
    if (renderContext.ddraw->GetDisplayMode(&mode) != DD_OK) return false;
    bits = mode.ddpfPixelFormat.dwRGBBitCount;
    renderContext.refreshRate = mode.dwRefreshRate;
    return true;
}

bool createPrimaryWithClipper(const DisplayOpenRules &rules) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (renderContext.ddraw->CreateSurface(&desc, &renderContext.primarySurface, NULL) != DD_OK) {
        renderContext.primarySurface = NULL;
        errorBox(rules.primarySurfaceMessage);
        return false;
    }
    if (renderContext.ddraw->CreateClipper(0, &renderContext.clipper, NULL) != DD_OK) {
        renderContext.clipper = NULL;
        return false;
    }
    return renderContext.clipper->SetHWnd(0, renderContext.window) == DD_OK &&
           renderContext.primarySurface->SetClipper(renderContext.clipper) == DD_OK;
}

// An explicit format for ColorDepth when the desktop has another depth; false when the desktop's will do.
bool colorDepthFormat(DWORD desktopBits, DDPIXELFORMAT &format) {
    if ((settings.ColorDepth != 16 && settings.ColorDepth != 32) ||
        static_cast<DWORD>(settings.ColorDepth) == desktopBits)
        return false;
    memset(&format, 0, sizeof(format));
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = static_cast<DWORD>(settings.ColorDepth);
    bool wide = settings.ColorDepth == 32;
    format.dwRBitMask = wide ? 0x00FF0000u : 0xF800u;
    format.dwGBitMask = wide ? 0x0000FF00u : 0x07E0u;
    format.dwBBitMask = wide ? 0x000000FFu : 0x001Fu;
    return true;
}

IDirectDrawSurface7 *createBuffer(const DDPIXELFORMAT *format) {
    return createScreenSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, format);
}

// The extra buffers' error boxes belong to the last attempt only.
bool createBuffersAndDevice(const DDPIXELFORMAT *format, const DisplayOpenRules *reporting) {
    renderContext.frontSurface = createBuffer(format);
    if (renderContext.frontSurface == NULL) return false;
    renderContext.backSurface = createBuffer(format);
    if (renderContext.backSurface == NULL) return false;
    renderContext.auxSurface = createBuffer(format);
    if (renderContext.auxSurface == NULL) {
        if (reporting) errorBox(reporting->auxBufferMessage);
        return false;
    }
    renderContext.tripleSurface = createBuffer(format);
    if (renderContext.tripleSurface == NULL) {
        if (reporting) errorBox(reporting->tripleBufferMessage);
        return false;
    }
    return createDepthBuffer() && createDevice();
}

void releaseSurface(IDirectDrawSurface7 *&surface) {
    if (surface) surface->Release();
    surface = NULL;
}

void releaseBuffersAndDevice() {
    if (renderContext.device) renderContext.device->Release();
    renderContext.device = NULL;
    forgetDeviceState();
    releaseSurface(renderContext.auxSurface);
    releaseSurface(renderContext.tripleSurface);
    releaseSurface(renderContext.backSurface);
    releaseSurface(renderContext.frontSurface);
    releaseSurface(renderContext.depthSurface);
}

// The picture's place on the screen: the client area's fit, and the client area itself.
bool windowTargets(RECT &picture, RECT &client) {
    HWND window = renderContext.window;
    if (IsIconic(window) || !IsWindowVisible(window)) return false;
    if (!GetClientRect(window, &client) || width(client) <= 0 || height(client) <= 0) return false;
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    picture = shifted(fitPicture(width(client), height(client)), origin);
    client = shifted(client, origin);
    return true;
}

void fillBlack(RECT area) {
    if (width(area) <= 0 || height(area) <= 0) return;
    DDBLTFX fx;
    memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0;
    renderContext.primarySurface->Blt(&area, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void fillBars(const RECT &picture, const RECT &client) {
    if (width(picture) < width(client)) {
        fillBlack(RECT{client.left, client.top, picture.left, client.bottom});
        fillBlack(RECT{picture.right, client.top, client.right, client.bottom});
    } else if (height(picture) < height(client)) {
        fillBlack(RECT{client.left, client.top, client.right, picture.top});
        fillBlack(RECT{client.left, picture.bottom, client.right, client.bottom});
    }
}

// DD_OK when the window shows nothing to draw on.
HRESULT stretchFrontToWindow() {
    RECT picture, client;
    if (!windowTargets(picture, client)) return DD_OK;
    IDirectDrawSurface7 *frame = gammaCorrectedFrame(renderContext.frontSurface);
    HRESULT result = renderContext.primarySurface->Blt(&picture, frame, NULL, DDBLT_WAIT, NULL);
    if (result == DDERR_SURFACELOST) renderContext.primarySurface->Restore();
    if (result == DD_OK) fillBars(picture, client);
    return result;
}

// A depth other than the desktop's is allowed only where the device renders to it and the blit converts it.
bool createOwnDepthBuffers(DWORD desktopBits) {
    DDPIXELFORMAT format;
    if (!colorDepthFormat(desktopBits, format)) return false;
    if (createBuffersAndDevice(&format, NULL) && stretchFrontToWindow() == DD_OK) return true;
    releaseBuffersAndDevice();
    return false;
}

// Over the game's own exclusive display its window already covers the screen, at the game's mode.
void measureGameWindow() {
    RECT client;
    if (!GetClientRect(renderContext.window, &client)) client = RECT{0, 0, 0, 0};
    renderContext.clientWidth = static_cast<FxU32>(width(client));
    renderContext.clientHeight = static_cast<FxU32>(height(client));
}

} // namespace

bool openWindowedSurfaces(const DisplayOpenRules &rules) {
    if (renderContext.overGameDisplay)
        measureGameWindow();
    else
        placeWindow();
    chooseWindowedRenderSize(renderContext.clientWidth, renderContext.clientHeight);
    DWORD desktopBits = 0;
    if (!readDesktopMode(desktopBits)) return false;
    logBanner(BannerPlacement::withAdapterIdentity);
    logAdapterIdentity();
    if (!createPrimaryWithClipper(rules)) return false;

    renderContext.ownSurfaceDepth = static_cast<DWORD>(settings.ColorDepth) == desktopBits;
    renderContext.surfaceBits = desktopBits;
    if (createOwnDepthBuffers(desktopBits)) {
        renderContext.ownSurfaceDepth = 1;
        renderContext.surfaceBits = static_cast<FxU32>(settings.ColorDepth);
    } else if (!createBuffersAndDevice(NULL, &rules)) {
        return false;
    }
    // The frame buffer and dithering follow the depth the surfaces really have.
    settings.ColorDepth = static_cast<int32_t>(renderContext.surfaceBits);
    return true;
}

void releaseWindowedSurfaces() {
    releaseGammaSurfaces();
    releaseSurface(renderContext.primarySurface);
    if (renderContext.clipper) renderContext.clipper->Release();
    renderContext.clipper = NULL;
}

void restoreWindowPlacement() {
    if (!renderContext.windowPlaced) return;
    renderContext.windowPlaced = 0;
    if (renderContext.ownWindow) return;
    SetWindowLongA(renderContext.window, GWL_STYLE, renderContext.savedStyle);
    const RECT &rect = renderContext.savedRect;
    SetWindowPos(renderContext.window, NULL, rect.left, rect.top, width(rect), height(rect),
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void showFrontBuffer() {
    if (!renderContext.windowed || renderContext.primarySurface == NULL || renderContext.frontSurface == NULL)
        return;
    stretchFrontToWindow();
}
