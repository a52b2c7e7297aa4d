// Glide 2.x entry points of the library lifecycle, the display and the queries.
#include <math.h>
#include <stddef.h>
#include <string.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"

#include "library_rules.h"
#include "session/bitmaps.h"
#include "session/board_status.h"
#include "session/library.h"
#include "session/display_device.h"
#include "core/library_settings.h"
#include "core/not_emulated.h"
#include "core/log.h"
#include "session/presentation.h"
#include "session/processor.h"
#include "render/combine_table.h"
#include "render/draw_vertex.h"
#include "render/device_tables.h"
#include "render/render_state.h"
#include "render/saved_state.h"
#include "session/lfb.h"
#include "texture/texture_formats.h"
#include "texture/texture_memory.h"
#include "render/clip_window.h"

// A detach with a reserved pointer is the process ending, not FreeLibrary.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        attachLibrary(instance, glide2Rules);
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
    if (sessionIsOpen()) grSstWinClose();
}

FX_ENTRY FxBool FX_CALL grSstWinOpen(FxU32 hWnd, GrScreenResolution_t screen_resolution,
                                     GrScreenRefresh_t refresh, GrColorFormat_t color_format,
                                     GrOriginLocation_t origin_location, int colorBuffers, int auxBuffers) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, hWnd, screen_resolution, refresh, color_format, origin_location, colorBuffers,
                  auxBuffers);
    return openSession(hWnd, screen_resolution, color_format, origin_location) ? FXTRUE : FXFALSE;
}

FX_ENTRY void FX_CALL grSstWinClose(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    closeSession();
}

FX_ENTRY void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, minx, miny, maxx, maxy);
    setClipWindow(minx, miny, maxx, maxy);
}

FX_ENTRY void FX_CALL grBufferSwap(int swap_interval) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, swap_interval);
    swapBuffers(static_cast<FxU32>(swap_interval));
}

FX_ENTRY void FX_CALL grRenderBuffer(GrBuffer_t buffer) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, buffer);
    renderBuffer(buffer);
}

FX_ENTRY void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU16 depth) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, color, alpha, depth);
    clearBuffers(color, alpha, depth);
}

FX_ENTRY int FX_CALL grBufferNumPending(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    return 0;
}

FX_ENTRY void FX_CALL grSplash(float x, float y, float width, float height, FxU32 frame) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, x, y, width, height, frame);
    drawSplash(x, y, width, height);
}

FX_ENTRY void FX_CALL grSstOrigin(GrOriginLocation_t origin) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, origin);
    setOrigin(origin);
}

FX_ENTRY FxU32 FX_CALL grSstScreenWidth(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    return screenWidth();
}

FX_ENTRY FxU32 FX_CALL grSstScreenHeight(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    return screenHeight();
}

// All FIFO-free bits set and no busy bit; 0x40 is the retrace bit.
FX_ENTRY FxU32 FX_CALL grSstStatus(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    return inVerticalRetrace() ? 0x0FFFF07Fu : 0x0FFFF03Fu;
}

FX_ENTRY FxBool FX_CALL grSstVRetraceOn(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    return inVerticalRetrace() ? FXTRUE : FXFALSE;
}

FX_ENTRY FxU32 FX_CALL grSstVideoLine(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    return scanLine();
}

FX_ENTRY FxBool FX_CALL grSstIsBusy(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    showFrontDrawing();
    return FXFALSE;
}

FX_ENTRY void FX_CALL grSstIdle(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    finishDrawing();
    showFrontDrawing();
}

FX_ENTRY void FX_CALL grSstSelect(int which) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, which);
}

FX_ENTRY FxBool FX_CALL grSstControl(FxU32 code) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, code);
    return FXTRUE;
}

FX_ENTRY void FX_CALL grSstPerfStats(GrSstPerfStats_t *pStats) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{static_cast<FxU32>(sizeof(GrSstPerfStats_t))});
    if (pStats == NULL) return;
    BoardCounters counters = boardCounters();
    pStats->pixelsIn = counters.pixelsIn;
    pStats->chromaFail = counters.chromaFail;
    pStats->zFuncFail = counters.zFuncFail;
    pStats->aFuncFail = counters.aFuncFail;
    pStats->pixelsOut = counters.pixelsOut;
}

FX_ENTRY void FX_CALL grSstResetPerfStats(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    resetCounters(CounterGroup::pixels);
}

FX_ENTRY void FX_CALL grTriStats(FxU32 *trisProcessed, FxU32 *trisDrawn) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceOutput{static_cast<FxU32>(sizeof(FxU32))},
                  TraceOutput{static_cast<FxU32>(sizeof(FxU32))});
    FxU32 triangles = boardCounters().triangles;
    if (trisProcessed) *trisProcessed = triangles;
    if (trisDrawn) *trisDrawn = triangles;
}

FX_ENTRY void FX_CALL grResetTriStats(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    resetCounters(CounterGroup::triangles);
}

FX_ENTRY FxBool FX_CALL grCheckForRoom(FxI32 n) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, n);
    return FXTRUE;
}

// Errors the board would report are handled or ignored where they arise; none reaches the callback.
FX_ENTRY void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t callback) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, callback != NULL);
    if (callback != NULL) noteNotEmulated("grErrorSetCallback");
}

FX_ENTRY void FX_CALL grGlideShamelessPlug(const FxBool on) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, on);
    setShamelessPlug(on != FXFALSE);
}

static_assert(sizeof(GrState) >= savedStateBytes, "GrState holds the saved state");

FX_ENTRY void FX_CALL grGlideGetState(GrState *state) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{static_cast<FxU32>(sizeof(GrState))});
    saveState(state);
}

FX_ENTRY void FX_CALL grGlideSetState(const GrState *state) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceBytes{state, static_cast<FxU32>(sizeof(GrState))});
    restoreState(state);
}

FX_ENTRY void FX_CALL grHints(GrHint_t hintType, FxU32 hintMask) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, hintType, hintMask);
    if (hintType == GR_HINT_FPUPRECISION) applyFpuPrecisionHint(hintMask);
}

FX_ENTRY void FX_CALL guMovieStart(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    noteNotEmulated("guMovieStart");
}

FX_ENTRY void FX_CALL guMovieStop(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
}

FX_ENTRY void FX_CALL guMovieSetName(const char *name) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceText{name});
}
