#include "display_device.h"
#include "../core/library_state.h"

#include <stdint.h>
#include <string.h>

#include "bitmaps.h"
#include "buffer_exchange.h"
#include "frame_pacing.h"
#include "gamma.h"
#include "../core/game_quirks.h"
#include "library.h"
#include "../core/library_settings.h"
#include "../core/log.h"
#include "opening_mode.h"
#include "processor.h"
#include "render_scale.h"
#include "windowed_display.h"
#include "../render/draw_batch.h"
#include "../render/render_state.h"
#include "../render/saved_state.h"
#include "lfb.h"
#include "../texture/texture_memory.h"
#include "../texture/texture_palette.h"
#include "display_window.h"
#include "screen_surfaces.h"
#include "device_creation.h"
#include "../render/clip_window.h"

namespace {

const Resolution resolutionTable[] = {
    {320, 200},   {320, 240},   {400, 256},   {512, 384},   {640, 200},   {640, 350},
    {640, 400},   {640, 480},   {800, 600},   {960, 720},   {856, 480},   {512, 256},
    {1024, 768},  {1280, 1024}, {1600, 1200}, {400, 300},   {1152, 864},  {1280, 960},
    {1600, 1024}, {1792, 1344}, {1856, 1392}, {1920, 1440}, {2048, 1536}, {2048, 2048},
};

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
    // Drawing into the front buffer ends with the device: the next window draws into its back buffer.
    renderContext.frontDrawing = 0;
    renderContext.frontUnseen = 0;
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

namespace {} // namespace
