// Glide 2.x texture memory, sampling and table entry points.
#include <stddef.h>

#include "glide2x.h"

FX_ENTRY FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t, GrLOD_t, GrAspectRatio_t, GrTextureFormat_t) {
    return 0;
}

FX_ENTRY void FX_CALL grTexClampMode(GrChipID_t, GrTextureClampMode_t, GrTextureClampMode_t) {}

FX_ENTRY void FX_CALL grTexDetailControl(GrChipID_t, int, FxU8, float) {}

FX_ENTRY void FX_CALL grTexDownloadMipMap(GrChipID_t, FxU32, FxU32, GrTexInfo *) {}

FX_ENTRY void FX_CALL grTexDownloadMipMapLevel(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                               GrTextureFormat_t, FxU32, void *) {}

FX_ENTRY void FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                                      GrTextureFormat_t, FxU32, void *, int, int) {}

FX_ENTRY void FX_CALL grTexDownloadTable(GrChipID_t, GrTexTable_t, void *) {}

FX_ENTRY void FX_CALL grTexDownloadTablePartial(GrChipID_t, GrTexTable_t, void *, int, int) {}

FX_ENTRY void FX_CALL grTexFilterMode(GrChipID_t, GrTextureFilterMode_t, GrTextureFilterMode_t) {}

FX_ENTRY void FX_CALL grTexLodBiasValue(GrChipID_t, float) {}

FX_ENTRY FxU32 FX_CALL grTexMaxAddress(GrChipID_t) {
    return 0;
}

FX_ENTRY FxU32 FX_CALL grTexMinAddress(GrChipID_t) {
    return 0;
}

FX_ENTRY void FX_CALL grTexMipMapMode(GrChipID_t, GrMipMapMode_t, FxBool) {}

FX_ENTRY void FX_CALL grTexMultibase(GrChipID_t, FxBool) {}

FX_ENTRY void FX_CALL grTexMultibaseAddress(GrChipID_t, GrTexBaseRange_t, FxU32, FxU32, GrTexInfo *) {}

FX_ENTRY void FX_CALL grTexNCCTable(GrChipID_t, GrNCCTable_t) {}

FX_ENTRY void FX_CALL grTexSource(GrChipID_t, FxU32, FxU32, GrTexInfo *) {}

FX_ENTRY FxU32 FX_CALL grTexTextureMemRequired(FxU32, GrTexInfo *) {
    return 0;
}

FX_ENTRY GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t, FxU8, int, int, GrTextureFormat_t,
                                                  GrMipMapMode_t, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                                  GrTextureClampMode_t, GrTextureClampMode_t,
                                                  GrTextureFilterMode_t, GrTextureFilterMode_t, float,
                                                  FxBool) {
    return 0;
}

FX_ENTRY FxBool FX_CALL guTexChangeAttributes(GrMipMapId_t, int, int, GrTextureFormat_t, GrMipMapMode_t,
                                              GrLOD_t, GrLOD_t, GrAspectRatio_t, GrTextureClampMode_t,
                                              GrTextureClampMode_t, GrTextureFilterMode_t,
                                              GrTextureFilterMode_t) {
    return 0;
}

FX_ENTRY void *FX_CALL guTexCreateColorMipMap(void) {
    return NULL;
}

FX_ENTRY void FX_CALL guTexDownloadMipMap(GrMipMapId_t, const void *, const GuNccTable *) {}

FX_ENTRY void FX_CALL guTexDownloadMipMapLevel(GrMipMapId_t, GrLOD_t, const void **) {}

FX_ENTRY GrMipMapId_t FX_CALL guTexGetCurrentMipMap(GrChipID_t) {
    return 0;
}

FX_ENTRY void *FX_CALL guTexGetMipMapInfo(GrMipMapId_t) {
    return NULL;
}

FX_ENTRY FxU32 FX_CALL guTexMemQueryAvail(GrChipID_t) {
    return 0;
}

FX_ENTRY void FX_CALL guTexMemReset(void) {}

FX_ENTRY void FX_CALL guTexSource(GrMipMapId_t) {}
