// Glide 2.x linear frame buffer entry points.
#include "glide2x.h"

FX_ENTRY FxBool FX_CALL grLfbLock(GrLock_t, GrBuffer_t, GrLfbWriteMode_t, GrOriginLocation_t, FxBool,
                                  GrLfbInfo_t *) {
    return 0;
}

FX_ENTRY FxBool FX_CALL grLfbUnlock(GrLock_t, GrBuffer_t) {
    return 0;
}

FX_ENTRY FxBool FX_CALL grLfbReadRegion(GrBuffer_t, FxU32, FxU32, FxU32, FxU32, FxU32, void *) {
    return 0;
}

FX_ENTRY FxBool FX_CALL grLfbWriteRegion(GrBuffer_t, FxU32, FxU32, GrLfbSrcFmt_t, FxU32, FxU32, FxI32,
                                         void *) {
    return 0;
}

FX_ENTRY void FX_CALL grLfbConstantAlpha(GrAlpha_t) {}

FX_ENTRY void FX_CALL grLfbConstantDepth(FxU16) {}

FX_ENTRY void FX_CALL grLfbWriteColorFormat(GrColorFormat_t) {}

FX_ENTRY void FX_CALL grLfbWriteColorSwizzle(FxBool, FxBool) {}
