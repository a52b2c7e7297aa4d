#include "display_device.h"
#include "engine_state.h"

#include <stdint.h>
#include <string.h>

#include "bitmaps.h"
#include "buffer_exchange.h"
#include "frame_pacing.h"
#include "gamma.h"
#include "game_quirks.h"
#include "library.h"
#include "library_settings.h"
#include "log.h"
#include "opening_mode.h"
#include "processor.h"
#include "render_scale.h"
#include "windowed_display.h"
#include "../render/draw_batch.h"
#include "../render/render_state.h"
#include "../render/saved_state.h"
#include "../texture/lfb.h"
#include "../texture/texture_memory.h"
#include "../texture/texture_palette.h"

RenderContext renderContext;

const GUID *const deviceTypes[5] = {&IID_IDirect3DTnLHalDevice, &IID_IDirect3DHALDevice,
                                    &IID_IDirect3DMMXDevice, &IID_IDirect3DRGBDevice,
                                    &IID_IDirect3DRefDevice};

namespace {

const Resolution resolutionTable[] = {
    {320, 200},   {320, 240},   {400, 256},   {512, 384},   {640, 200},   {640, 350},
    {640, 400},   {640, 480},   {800, 600},   {960, 720},   {856, 480},   {512, 256},
    {1024, 768},  {1280, 1024}, {1600, 1200}, {400, 300},   {1152, 864},  {1280, 960},
    {1600, 1024}, {1792, 1344}, {1856, 1392}, {1920, 1440}, {2048, 1536}, {2048, 2048},
};

const char *const ownWindowClass = "KestrixDisplay";

LRESULT CALLBACK ownWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Console programs open with no window at all; DirectDraw needs one for the exclusive display, and a
// windowed display needs one to show in.
HWND createOwnWindow() {
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = ownWindowProc;
    windowClass.hInstance = library.moduleInstance;
    windowClass.lpszClassName = ownWindowClass;
    RegisterClassA(&windowClass);
    DWORD exStyle = renderContext.windowed ? 0 : WS_EX_TOPMOST;
    DWORD style = (renderContext.windowed ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_VISIBLE;
    HWND window = CreateWindowExA(
        exStyle, ownWindowClass, "Kestrix", style, 0, 0, static_cast<int>(renderContext.screenWidth),
        static_cast<int>(renderContext.screenHeight), NULL, NULL, library.moduleInstance, NULL);
    if (window == NULL) UnregisterClassA(ownWindowClass, library.moduleInstance);
    return window;
}

void destroyOwnWindow() {
    if (!renderContext.ownWindow) return;
    DestroyWindow(renderContext.window);
    UnregisterClassA(ownWindowClass, library.moduleInstance);
    renderContext.ownWindow = 0;
    renderContext.window = NULL;
}

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

void moveEmulatorWindow() {
    if (!quirkApplies(QuirkEffect::windowMovedDown)) return;
    RECT rect;
    if (GetWindowRect(renderContext.window, &rect))
        MoveWindow(renderContext.window, rect.left, rect.top + emulatorWindowDrop, rect.right - rect.left,
                   rect.bottom - rect.top, FALSE);
}

void readWindowTitle() {
    memset(library.windowTitle, 0, sizeof(library.windowTitle));
    GetWindowTextA(renderContext.window, library.windowTitle, 255);
    logLine("AppName: %s\n", library.windowTitle);
    if (quirkApplies(QuirkEffect::voodooScreenKept)) {
        settings.ColorDepth = 16;
        settings.Filtering = 1;
    }
}

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

void logDisplay() {
    if (!settings.displayValuesPresent) return;
    if (!renderContext.windowed) {
        logLine("Display: full-screen, %ux%u, pacing %s\n", static_cast<unsigned>(renderContext.screenWidth),
                static_cast<unsigned>(renderContext.screenHeight), framePacingName());
        return;
    }
    const char *format =
        renderContext.ownSurfaceDepth
            ? "Display: windowed, client %ux%u, %u-bit surfaces (ColorDepth), pacing %s\n"
            : "Display: windowed, client %ux%u, %u-bit surfaces (desktop depth), pacing %s\n";
    logLine(format, static_cast<unsigned>(renderContext.clientWidth),
            static_cast<unsigned>(renderContext.clientHeight),
            static_cast<unsigned>(renderContext.surfaceBits), framePacingName());
}

bool openFullScreenSurfaces(const DisplayOpenRules &rules) {
    // The mode asked for must agree with the frame buffer, or a driver's default depth leaves the buffer
    // locks converting to the wrong layout.
    DWORD bits = fullScreenBitsPerPixel();
    rememberOpeningMode();
    chooseFullScreenRenderSize();
    if (renderContext.ddraw->SetDisplayMode(renderScaling.bufferWidth, renderScaling.bufferHeight, bits, 0,
                                            0) != DD_OK)
        return false;
    renderContext.displayModeSet = 1;
    // Wine stretches the window over the display at the exclusive level, but the new size reaches the screen
    // only when the window is painted: a front-buffer write before that (the logo) pins the first frames to
    // the window's old rectangle.
    UpdateWindow(renderContext.window);

    logBanner(BannerPlacement::withAdapterIdentity);
    logAdapterIdentity();

    if (!createSurfaces(rules)) return false;
    blackenBars();
    if (!createDepthBuffer()) return false;
    return createDevice();
}

// On a Voodoo the game's DirectDraw kept the 2D card, exclusive level and menu mode included, while Glide
// drove the 3D board. Here one DirectDraw object at a time holds the exclusive level: when the game's holds
// it, the session is shown in the game's window at the game's mode instead of failing.
bool setCooperativeLevel(const DisplayOpenRules &rules) {
    DWORD level = renderContext.windowed ? DDSCL_NORMAL : rules.cooperativeLevel;
    HRESULT result = renderContext.ddraw->SetCooperativeLevel(renderContext.window, level);
    if (result == DDERR_EXCLUSIVEMODEALREADYSET && !renderContext.windowed) {
        logLine("The game's own DirectDraw holds the exclusive level: the display is shown in its window, at "
                "its display mode\n");
        renderContext.windowed = 1;
        renderContext.overGameDisplay = 1;
        result = renderContext.ddraw->SetCooperativeLevel(renderContext.window, DDSCL_NORMAL);
    }
    return result == DD_OK;
}

bool openSteps(FxU32 hWnd, const DisplayOpenRules &rules) {
    renderContext.windowed = settings.Windowed == 1;
    renderContext.refreshRate = 0;
    renderContext.lastPresent = 0;
    resetRenderScale();
    renderContext.window =
        hWnd != 0 ? reinterpret_cast<HWND>(static_cast<uintptr_t>(hWnd)) : GetActiveWindow();
    if (renderContext.window == NULL) {
        renderContext.window = createOwnWindow();
        renderContext.ownWindow = renderContext.window != NULL;
    }
    if (rules.readsWindowTitle) readWindowTitle();

    if (DirectDrawCreateEx(NULL, reinterpret_cast<void **>(&renderContext.ddraw), IID_IDirectDraw7, NULL) !=
        DD_OK) {
        renderContext.ddraw = NULL;
        return false;
    }
    if (!setCooperativeLevel(rules)) return false;
    if (renderContext.ddraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void **>(&renderContext.d3d)) !=
        DD_OK) {
        renderContext.d3d = NULL;
        return false;
    }
    if (!(renderContext.windowed ? openWindowedSurfaces(rules) : openFullScreenSurfaces(rules))) return false;

    memset(&renderContext.deviceCaps, 0, sizeof(renderContext.deviceCaps));
    renderContext.device->GetCaps(&renderContext.deviceCaps);
    logLine("Texture OP Caps: 0x%X\n", static_cast<unsigned>(renderContext.deviceCaps.dwTextureOpCaps));
    logLine("Triangle Raster Caps: 0x%X\n",
            static_cast<unsigned>(renderContext.deviceCaps.dpcTriCaps.dwRasterCaps));
    logDisplay();
    logRenderScale();

    renderContext.viewport.dwX = 0;
    renderContext.viewport.dwY = 0;
    renderContext.viewport.dwWidth = renderContext.screenWidth;
    renderContext.viewport.dwHeight = renderContext.screenHeight;
    renderContext.viewport.dvMinZ = 0.0f;
    renderContext.viewport.dvMaxZ = 1.0f;
    if (sendViewport(renderContext.viewport) != D3D_OK) return false;
    clipWindowToScreen();

    if (rules.readsWindowTitle) moveEmulatorWindow();
    return true;
}

} // namespace

void errorBox(const char *text) {
    MessageBoxA(NULL, text, "ERROR", MB_OK);
}

void logAdapterIdentity() {
    DDDEVICEIDENTIFIER2 identity;
    memset(&identity, 0, sizeof(identity));
    renderContext.ddraw->GetDeviceIdentifier(&identity, 0);
    identity.szDriver[sizeof(identity.szDriver) - 1] = '\0';
    identity.szDescription[sizeof(identity.szDescription) - 1] = '\0';
    logLine("Driver:%s\n", identity.szDriver);
    logLine("Descripci\xF3n: %s\n", identity.szDescription);
    logLine("ID Fabricante: %04Xh\n", static_cast<unsigned>(identity.dwVendorId));
    logLine("ID Dispositivo: %04Xh\n", static_cast<unsigned>(identity.dwDeviceId));
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

bool createDevice() {
    // A device made again over the same buffers keeps nothing of the last one's states.
    forgetDeviceState();
    for (const GUID *type : deviceTypes) {
        IDirect3DDevice7 *device = NULL;
        if (renderContext.d3d->CreateDevice(*type, renderContext.backSurface, &device) == D3D_OK &&
            device != NULL) {
            renderContext.device = device;
            return true;
        }
    }
    return false;
}

void pumpOwnWindowMessages() {
    if (!renderContext.ownWindow) return;
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

Resolution lookupResolution(FxI32 code) {
    if (code >= 0 && code < static_cast<FxI32>(sizeof(resolutionTable) / sizeof(resolutionTable[0])))
        return resolutionTable[code];
    return Resolution{640, 480};
}

BOOL openDisplayDevice(FxU32 hWnd, const DisplayOpenRules &rules) {
    if (openSteps(hWnd, rules)) return TRUE;
    // Leaving a failed open's objects behind would keep the changed display mode and the exclusive window.
    releaseDisplayObjects();
    return FALSE;
}

namespace {

// A windowed display never changed the mode: there is nothing to restore.
void releaseDirectDraw(const DisplayOpenRules &rules) {
    if (renderContext.windowed) {
        renderContext.ddraw->SetCooperativeLevel(renderContext.window, DDSCL_NORMAL);
    } else {
        if (rules.normalLevelBeforeRestore)
            renderContext.ddraw->SetCooperativeLevel(renderContext.window, DDSCL_NORMAL);
        renderContext.ddraw->RestoreDisplayMode();
        if (!rules.normalLevelBeforeRestore)
            renderContext.ddraw->SetCooperativeLevel(renderContext.window, DDSCL_NORMAL);
    }
    renderContext.ddraw->Release();
}

} // namespace

DWORD fullScreenBitsPerPixel() {
    return settings.ColorDepth == 32 ? 32 : 16;
}

void releaseDisplayObjects() {
    const DisplayOpenRules &rules = library.rules->display;
    // A surface released while still locked stays locked in the driver, its memory lost to the process.
    // Swaps move the buffers between roles, so a held lock may be on the third buffer by now.
    unlockHeldBuffers(rules.unlocksScreenSurfaces);
    forgetBufferLocks();
    if (renderContext.device) {
        flushDrawBatch();
        renderContext.device->EndScene();
        renderContext.device->Release();
    }
    dropDrawBatch();
    forgetDeviceState();
    if (renderContext.d3d) {
        renderContext.d3d->EvictManagedTextures();
        renderContext.d3d->Release();
    }
    if (renderContext.auxSurface) renderContext.auxSurface->Release();
    if (renderContext.tripleSurface) renderContext.tripleSurface->Release();
    if (renderContext.backSurface) {
        if (rules.unlocksScreenSurfaces) renderContext.backSurface->Unlock(NULL);
        renderContext.backSurface->Release();
    }
    if (renderContext.frontSurface) {
        if (rules.unlocksScreenSurfaces) renderContext.frontSurface->Unlock(NULL);
        renderContext.frontSurface->Release();
    }
    releaseWindowedSurfaces();
    // The depth buffer goes with the back buffer it is attached to and with the DirectDraw object.
    if (renderContext.ddraw) releaseDirectDraw(rules);
    putBackOpeningMode();
    renderContext.device = NULL;
    renderContext.d3d = NULL;
    renderContext.auxSurface = NULL;
    renderContext.tripleSurface = NULL;
    renderContext.backSurface = NULL;
    renderContext.frontSurface = NULL;
    renderContext.depthSurface = NULL;
    renderContext.ddraw = NULL;
    renderContext.displayModeSet = 0;
    renderContext.displayLost = 0;
    renderContext.overGameDisplay = 0;
    renderContext.sessionOpen = 0;
    restoreWindowPlacement();
    renderContext.windowed = 0;
    destroyOwnWindow();
}

void closeSession() {
    if (!renderContext.sessionOpen) return;
    restoreScreenGamma();
    releaseAllTextures();
    releaseShamelessPlug();
    releaseDisplayObjects();
}

void abandonDisplay() {
    if (renderContext.ddraw == NULL) return;
    logLine("Process ends with the display open: its objects are left to the system\n");
    flushLog();
    if (renderContext.displayModeSet) ChangeDisplaySettingsA(NULL, 0);
    forgetBufferLocks();
    dropDrawBatch();
    forgetDeviceState();
    renderContext = RenderContext();
}

void setInitialDeviceState() {
    IDirect3DDevice7 *device = renderContext.device;
    if (device == NULL) return;
    const SessionRules &rules = library.rules->session;
    sendRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    sendRenderState(D3DRENDERSTATE_COLORKEYBLENDENABLE, TRUE);
    if (rules.legacyInitialStates) sendRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    sendRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    sendRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    sendRenderState(D3DRENDERSTATE_LOCALVIEWER, TRUE);
    if (rules.legacyInitialStates) {
        sendRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        sendRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
    }
    sendRenderState(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
    if (rules.legacyInitialStates) sendRenderState(D3DRENDERSTATE_RANGEFOGENABLE, TRUE);
    sendRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    if (rules.legacyInitialStates) sendRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    sendRenderState(D3DRENDERSTATE_DITHERENABLE,
                    settings.ColorDepth == 16 && settings.NoDitherSub == 0 ? TRUE : FALSE);
    if (settings.Antialiasing != 0) sendRenderState(D3DRENDERSTATE_EDGEANTIALIAS, TRUE);

    DWORD argumentStages = rules.stageOneArguments ? 2 : 1;
    for (DWORD stage = 0; stage < argumentStages; ++stage) {
        sendStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        sendStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
        sendStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        sendStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    }

    sendStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
    if (settings.Filtering != 0) {
        sendStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
        sendStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    } else {
        sendStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        sendStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    }
}

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

FxU32 toArgb(FxU32 color) {
    switch (renderContext.colorFormat) {
    case colorFormatArgb:
        return color;
    case colorFormatAbgr:
        return (color & 0xFF00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu);
    case colorFormatRgba:
        return (color >> 8) | (color << 24);
    case colorFormatBgra:
        return ((color & 0xFFu) << 24) | ((color & 0xFF00u) << 8) | ((color >> 8) & 0xFF00u) | (color >> 24);
    default:
        return 0xFFFFFFFFu;
    }
}

void logSystemInfo() {
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    bool ntFamily = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    // One second of the time-stamp counter, for this line only: Windows 9x logs carry the processor speed.
    if (!ntFamily) logLine("Processor Speed: %d MHz\n", measureProcessorMhz());
    logLine("OS: Microsoft Windows%s%d.%d Build %d\n", ntFamily ? " NT " : " ",
            static_cast<int>(version.dwMajorVersion), static_cast<int>(version.dwMinorVersion),
            static_cast<int>(version.dwBuildNumber & 0xFFFF));
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
