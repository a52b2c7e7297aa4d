// Glide 3.x entry points of the library lifecycle, the context and presentation.
#include <math.h>
#include <stddef.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"

#include "library_rules.h"
#include "render/clip_space.h"
#include "render/saved_state.h"
#include "session/bitmaps.h"
#include "session/board_status.h"
#include "session/display_device.h"
#include "session/gamma.h"
#include "session/library.h"
#include "core/not_emulated.h"
#include "session/presentation.h"
#include "render/clip_window.h"

namespace {

// The one context a Glide 3 program can hold.
const GrContext_t theContext = 1;

} // namespace

// A detach with a reserved pointer is the process ending, not FreeLibrary.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        attachLibrary(instance, glide3Rules);
    else if (reason == DLL_PROCESS_DETACH)
        detachLibrary(reserved != NULL);
    return TRUE;
}

FX_ENTRY void FX_CALL grGlideInit(void) {
    EntryLock entryLock;
    initLibrary();
    if (tracing()) traceCall(__func__); // the trace starts here
}

FX_ENTRY void FX_CALL grGlideShutdown(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    closeSession();
}

FX_ENTRY GrContext_t FX_CALL grSstWinOpen(FxU32 hWnd, GrScreenResolution_t screen_resolution,
                                          GrScreenRefresh_t refresh, GrColorFormat_t color_format,
                                          GrOriginLocation_t origin_location, int colorBuffers,
                                          int auxBuffers) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, hWnd, screen_resolution, refresh, color_format, origin_location, colorBuffers,
                  auxBuffers);
    return openSession(hWnd, screen_resolution, color_format, origin_location) ? theContext : 0;
}

FX_ENTRY FxBool FX_CALL grSstWinClose(GrContext_t context) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, context);
    if (!sessionIsOpen()) return FXFALSE;
    closeSession();
    return FXTRUE;
}

FX_ENTRY FxBool FX_CALL grSelectContext(GrContext_t context) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, context);
    return FXTRUE;
}

FX_ENTRY void FX_CALL grSstOrigin(GrOriginLocation_t origin) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, origin);
    setOrigin(origin);
}

FX_ENTRY void FX_CALL grSstSelect(int which) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, which);
}

// Glide 3 clips to the rectangle: the viewport is the clip window, measured from the chosen origin.
FX_ENTRY void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, minx, miny, maxx, maxy);
    setClipWindow(minx, miny, maxx, maxy);
}

FX_ENTRY void FX_CALL grBufferSwap(FxU32 swap_interval) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, swap_interval);
    swapBuffers(swap_interval);
}

FX_ENTRY void FX_CALL grRenderBuffer(GrBuffer_t buffer) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, buffer);
    renderBuffer(buffer);
}

FX_ENTRY void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU32 depth) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, color, alpha, depth);
    clearBuffers(color, alpha, static_cast<FxU16>(depth));
}

FX_ENTRY void FX_CALL grFlush(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    restartScene();
}

FX_ENTRY void FX_CALL grFinish(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    restartScene();
}

FX_ENTRY void FX_CALL grSplash(float x, float y, float width, float height, FxU32 frame) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, x, y, width, height, frame);
    drawSplash(x, y, width, height);
}

// Errors the board would report are handled or ignored where they arise; none reaches the callback.
FX_ENTRY void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t callback) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, callback != NULL);
    if (callback != NULL) noteNotEmulated("grErrorSetCallback");
}

// The buffer holds what grGet(GR_GLIDE_STATE_SIZE) announces.
FX_ENTRY void FX_CALL grGlideGetState(void *state) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{traceGlideStateBytes});
    saveState(state);
}

FX_ENTRY void FX_CALL grGlideSetState(const void *state) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceBytes{state, traceGlideStateBytes});
    restoreState(state);
}

FX_ENTRY void FX_CALL grEnable(GrEnableMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setModeEnabled(mode, true);
}

FX_ENTRY void FX_CALL grDisable(GrEnableMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setModeEnabled(mode, false);
}

FX_ENTRY void FX_CALL grCoordinateSpace(GrCoordinateSpaceMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setCoordinateSpace(mode == GR_CLIP_COORDS);
}

FX_ENTRY void FX_CALL grViewport(FxI32 x, FxI32 y, FxI32 width, FxI32 height) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, x, y, width, height);
    setViewport(x, y, width, height);
}

FX_ENTRY void FX_CALL grDepthRange(FxFloat n, FxFloat f) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, n, f);
    setDepthRange(n, f);
}

FX_ENTRY void FX_CALL grLoadGammaTable(FxU32 nentries, FxU32 *red, FxU32 *green, FxU32 *blue) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, nentries, traceGammaTable(red, nentries), traceGammaTable(green, nentries),
                  traceGammaTable(blue, nentries));
    loadGammaTable(nentries, red, green, blue);
}

FX_ENTRY void FX_CALL guGammaCorrectionRGB(FxFloat red, FxFloat green, FxFloat blue) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, red, green, blue);
    setGammaCorrection(red, green, blue);
}
