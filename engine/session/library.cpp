#include "library.h"

#include "bitmaps.h"
#include "display_device.h"
#include "../core/library_state.h"
#include "gamma.h"
#include "entry_lock.h"
#include "../core/game_quirks.h"
#include "../core/library_settings.h"
#include "../core/log.h"
#include "../core/not_emulated.h"
#include "presentation.h"
#include "../render/combine_table.h"
#include "../render/device_tables.h"
#include "../render/render_state.h"
#include "lfb.h"
#include "../texture/texture_formats.h"
#include "../texture/texture_memory.h"
#include "../trace/trace_recorder.h"
#include "../render/initial_state.h"
#include "../render/clip_window.h"
#include "state_groups.h"

namespace {

bool refuseReentrantOpen() {
    OpenGuard &guard = loadState.openGuard;
    if (!guard.displayBeingOpened) return false;
    if (!guard.reentryLogged)
        logLine("grSstWinOpen called again while the display is being opened (a game's own opengl32.dll "
                "on Glide loaded by the system's DirectDraw?); this inner open fails. Under Wine keep "
                "Wine's opengl32 built-in: WINEDLLOVERRIDES=\"opengl32=b\"\n");
    guard.reentryLogged = true;
    return true;
}

} // namespace

void attachLibrary(HINSTANCE instance, const LibraryRules &rules) {
    resetLoadState(instance, rules);
    forgetNotEmulatedNotes();
    openLog();
    createEntryLock();
}

void detachLibrary(bool processEnding) {
    // At process exit Windows has already ended the other threads, Direct3D's own among them: releasing the
    // device or a texture would wait for them for ever. The process takes its objects with it.
    if (processEnding) {
        abandonDisplay();
        abandonTextureMemory();
    } else {
        closeSession();
        releaseAbandonedSession();
        freeTextureMemory();
    }
    freeShadowBuffers();
    stopTrace();
    closeLog();
    forgetLoadState();
    deleteEntryLock();
}

void initLibrary() {
    readSettings(library.rules->settings);
    decideQuirks();
    startTraceIfAsked(library.rules->traceLibraryName);
    resetSessionState();
    composeShownGamma();
    allocateTextureMemory();
}

void abandonOpenSession() {
    renderContext.sessionOpen = 0;
}

// grSstQueryHardware forgets an open session without releasing it; a later open or unload releases it.
void releaseAbandonedSession() {
    if (renderContext.sessionOpen || renderContext.ddraw == NULL) return;
    releaseAllTextures();
    releaseShamelessPlug();
    releaseDisplayObjects();
}

void logBanner(BannerPlacement placement) {
    const BannerRules &banner = library.rules->banner;
    if (banner.placement != placement) return;
    for (int i = 0; i < banner.lineCount; ++i)
        logLine("%s", banner.lines[i]);
}

namespace {

// What every open does once the device exists, in this order.
void prepareDevice(const LibraryRules &rules, FxI32 origin) {
    // The pointer goes to the far corner, off the game's full-screen picture; a window leaves it be.
    if (!renderContext.windowed)
        SetCursorPos(rules.session.parkedCursorPosition, rules.session.parkedCursorPosition);
    primeBuffers();
    if (!settings.NoSplash) drawLogo();
    logSystemInfo();

    resetWindowState();
    buildCombineTable(rules.combineTable);
    buildTextureFormatTable();
    buildDeviceTables();
    setInitialDeviceState();
    disableAllEffects();

    setOpeningOrigin(origin);
    clearBuffers(0, 0, 0xFFFF);
    if (!rules.session.presentRestartsScene && renderContext.device) renderContext.device->BeginScene();
}

} // namespace

bool openSession(FxU32 hWnd, FxI32 resolution, FxI32 colorFormat, FxI32 origin) {
    if (refuseReentrantOpen()) return false;
    const LibraryRules &rules = *library.rules;
    forgetNotEmulatedNotes();
    closeSession();
    releaseAbandonedSession();

    Resolution size = lookupResolution(resolution);
    renderContext.screenWidth = size.width;
    renderContext.screenHeight = size.height;
    renderContext.colorFormat = colorFormat;
    logBanner(BannerPlacement::beforeDisplayOpen);
    loadState.openGuard.displayBeingOpened = true;
    BOOL opened = openDisplayDevice(hWnd, rules.display);
    loadState.openGuard.displayBeingOpened = false;
    if (!opened) return false;

    prepareDevice(rules, origin);
    renderContext.sessionOpen = 1;
    applyGamma();
    return true;
}
