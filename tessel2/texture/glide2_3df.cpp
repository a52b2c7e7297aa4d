// Glide 2.x 3DF texture file and texture utility entry points.
#include "glide2x.h"

FX_ENTRY FxBool FX_CALL gu3dfGetInfo(const char *, Gu3dfInfo *) {
    return 0;
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *, Gu3dfInfo *) {
    return 0;
}

FX_ENTRY int FX_CALL guEncodeRLE16(void *, void *, FxU32, FxU32) {
    return 0;
}

FX_ENTRY FxU16 FX_CALL guEndianSwapBytes(FxU16) {
    return 0;
}

FX_ENTRY FxU32 FX_CALL guEndianSwapWords(FxU32) {
    return 0;
}

FX_ENTRY void FX_CALL ConvertAndDownloadRle(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                            GrTextureFormat_t, FxU32, FxU8 *, long, FxU32, FxU32, FxU32,
                                            FxU32, FxU32, FxU32, FxU16 *) {}
