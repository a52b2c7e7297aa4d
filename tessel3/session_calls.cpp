// Glide 3.x entry points of the library lifecycle, the context and presentation.
#include <math.h>
#include <stddef.h>

#include "glide3x.h"

#include "library_rules.h"
#include "render/clip_space.h"
#include "render/saved_state.h"
#include "session/bitmaps.h"
#include "session/board_status.h"
#include "session/display_device.h"
#include "session/gamma.h"
#include "session/library.h"
#include "session/not_emulated.h"
#include "session/presentation.h"
#include "render/vertex_arrays.h"
#include "vertex_layout.h"

namespace {

// The one context a Glide 3 program can hold.
const GrContext_t theContext = 1;

} // namespace

// A detach with a reserved pointer is the process ending, not FreeLibrary.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        attachLibrary(instance, glide3Rules);
        resetVertexLayout();
        forgetJoiningVertices();
    } else if (reason == DLL_PROCESS_DETACH)
        detachLibrary(reserved != NULL);
    return TRUE;
}

FX_ENTRY void FX_CALL grGlideInit(void) {
    initLibrary();
}

FX_ENTRY void FX_CALL grGlideShutdown(void) {
    closeSession();
}

FX_ENTRY GrContext_t FX_CALL grSstWinOpen(FxU32 hWnd, GrScreenResolution_t screen_resolution,
                                          GrScreenRefresh_t, GrColorFormat_t color_format,
                                          GrOriginLocation_t origin_location, int, int) {
    forgetJoiningVertices();
    return openSession(hWnd, screen_resolution, color_format, origin_location) ? theContext : 0;
}

FX_ENTRY FxBool FX_CALL grSstWinClose(GrContext_t) {
    if (!sessionIsOpen()) return FXFALSE;
    closeSession();
    return FXTRUE;
}

FX_ENTRY FxBool FX_CALL grSelectContext(GrContext_t) {
    return FXTRUE;
}

FX_ENTRY void FX_CALL grSstOrigin(GrOriginLocation_t origin) {
    setOrigin(origin);
}

FX_ENTRY void FX_CALL grSstSelect(int) {}

// Glide 3 clips to the rectangle: the viewport is the clip window, measured from the chosen origin.
FX_ENTRY void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy) {
    setClipWindow(minx, miny, maxx, maxy);
}

FX_ENTRY void FX_CALL grBufferSwap(FxU32 swap_interval) {
    swapBuffers(swap_interval);
    forgetJoiningVertices();
}

FX_ENTRY void FX_CALL grRenderBuffer(GrBuffer_t buffer) {
    renderBuffer(buffer);
}

FX_ENTRY void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU32 depth) {
    clearBuffers(color, alpha, static_cast<FxU16>(depth));
}

FX_ENTRY void FX_CALL grFlush(void) {
    showFrontDrawing();
    restartScene();
}

FX_ENTRY void FX_CALL grFinish(void) {
    showFrontDrawing();
    restartScene();
}

FX_ENTRY void FX_CALL grSplash(float x, float y, float width, float height, FxU32) {
    drawSplash(x, y, width, height);
}

// Errors the board would report are handled or ignored where they arise; none reaches the callback.
FX_ENTRY void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t callback) {
    if (callback != NULL) noteNotEmulated("grErrorSetCallback");
}

// The buffer holds what grGet(GR_GLIDE_STATE_SIZE) announces.
FX_ENTRY void FX_CALL grGlideGetState(void *state) {
    saveState(state);
}

FX_ENTRY void FX_CALL grGlideSetState(const void *state) {
    restoreState(state);
}

FX_ENTRY void FX_CALL grEnable(GrEnableMode_t mode) {
    setModeEnabled(mode, true);
}

FX_ENTRY void FX_CALL grDisable(GrEnableMode_t mode) {
    setModeEnabled(mode, false);
}

FX_ENTRY void FX_CALL grCoordinateSpace(GrCoordinateSpaceMode_t mode) {
    setCoordinateSpace(mode == GR_CLIP_COORDS);
}

FX_ENTRY void FX_CALL grViewport(FxI32 x, FxI32 y, FxI32 width, FxI32 height) {
    setViewport(x, y, width, height);
}

FX_ENTRY void FX_CALL grDepthRange(FxFloat n, FxFloat f) {
    setDepthRange(n, f);
}

FX_ENTRY void FX_CALL grLoadGammaTable(FxU32 nentries, FxU32 *red, FxU32 *green, FxU32 *blue) {
    loadGammaTable(nentries, red, green, blue);
}

FX_ENTRY void FX_CALL guGammaCorrectionRGB(FxFloat red, FxFloat green, FxFloat blue) {
    setGammaCorrection(red, green, blue);
}
