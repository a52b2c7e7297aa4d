// Glide 3.x entry points of textures, the linear frame buffer and 3DF files. Until they are translated they
// accept their arguments, download and lock nothing, and report what they could not do.
#include "glide3x.h"

FX_ENTRY FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t, GrLOD_t, GrAspectRatio_t, GrTextureFormat_t) {
    return 0;
}

FX_ENTRY FxU32 FX_CALL grTexTextureMemRequired(FxU32, GrTexInfo *) {
    return 0;
}

// Texture memory starts at address 0.
FX_ENTRY FxU32 FX_CALL grTexMinAddress(GrChipID_t) {
    return 0;
}

FX_ENTRY FxU32 FX_CALL grTexMaxAddress(GrChipID_t) {
    return 0;
}

FX_ENTRY void FX_CALL grTexClampMode(GrChipID_t, GrTextureClampMode_t, GrTextureClampMode_t) {}

FX_ENTRY void FX_CALL grTexFilterMode(GrChipID_t, GrTextureFilterMode_t, GrTextureFilterMode_t) {}

FX_ENTRY void FX_CALL grTexMipMapMode(GrChipID_t, GrMipMapMode_t, FxBool) {}

FX_ENTRY void FX_CALL grTexLodBiasValue(GrChipID_t, float) {}

FX_ENTRY void FX_CALL grTexDetailControl(GrChipID_t, int, FxU8, float) {}

FX_ENTRY void FX_CALL grTexMultibase(GrChipID_t, FxBool) {}

FX_ENTRY void FX_CALL grTexMultibaseAddress(GrChipID_t, GrTexBaseRange_t, FxU32, FxU32, GrTexInfo *) {}

FX_ENTRY void FX_CALL grTexSource(GrChipID_t, FxU32, FxU32, GrTexInfo *) {}

FX_ENTRY void FX_CALL grTexDownloadMipMap(GrChipID_t, FxU32, FxU32, GrTexInfo *) {}

FX_ENTRY void FX_CALL grTexDownloadMipMapLevel(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                               GrTextureFormat_t, FxU32, void *) {}

FX_ENTRY FxBool FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                                        GrTextureFormat_t, FxU32, void *, int, int) {
    return FXFALSE;
}

FX_ENTRY void FX_CALL grTexDownloadTable(GrTexTable_t, void *) {}

FX_ENTRY void FX_CALL grTexDownloadTablePartial(GrTexTable_t, void *, int, int) {}

FX_ENTRY void FX_CALL grTexNCCTable(GrNCCTable_t) {}

FX_ENTRY FxBool FX_CALL grLfbLock(GrLock_t, GrBuffer_t, GrLfbWriteMode_t, GrOriginLocation_t, FxBool,
                                  GrLfbInfo_t *) {
    return FXFALSE;
}

FX_ENTRY FxBool FX_CALL grLfbUnlock(GrLock_t, GrBuffer_t) {
    return FXFALSE;
}

FX_ENTRY FxBool FX_CALL grLfbReadRegion(GrBuffer_t, FxU32, FxU32, FxU32, FxU32, FxU32, void *) {
    return FXFALSE;
}

FX_ENTRY FxBool FX_CALL grLfbWriteRegion(GrBuffer_t, FxU32, FxU32, GrLfbSrcFmt_t, FxU32, FxU32, FxBool, FxI32,
                                         void *) {
    return FXFALSE;
}

FX_ENTRY void FX_CALL grLfbConstantAlpha(GrAlpha_t) {}

FX_ENTRY void FX_CALL grLfbConstantDepth(FxU32) {}

FX_ENTRY void FX_CALL grLfbWriteColorFormat(GrColorFormat_t) {}

FX_ENTRY void FX_CALL grLfbWriteColorSwizzle(FxBool, FxBool) {}

FX_ENTRY FxBool FX_CALL gu3dfGetInfo(const char *, Gu3dfInfo *) {
    return FXFALSE;
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *, Gu3dfInfo *) {
    return FXFALSE;
}
