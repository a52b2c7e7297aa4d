// Glide 2.x 3DF texture file and texture utility entry points.
#include "glide2x.h"
#include "tdf_file.h"
#include "texture_utilities.h"

namespace {

// Glide 2 numbers levels from the largest (GR_LOD_256 = 0) and aspect ratios from 8x1 (0) to 1x8 (6).
const TdfRules glide2TdfRules = {
    {GR_LOD_1, GR_LOD_2, GR_LOD_4, GR_LOD_8, GR_LOD_16, GR_LOD_32, GR_LOD_64, GR_LOD_128, GR_LOD_256},
    {GR_ASPECT_8x1, GR_ASPECT_4x1, GR_ASPECT_2x1, GR_ASPECT_1x1, GR_ASPECT_1x2, GR_ASPECT_1x4, GR_ASPECT_1x8},
};

} // namespace

FX_ENTRY FxBool FX_CALL gu3dfGetInfo(const char *filename, Gu3dfInfo *info) {
    return readTdfInfo(filename, info, glide2TdfRules);
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *filename, Gu3dfInfo *info) {
    return loadTdfFile(filename, info, glide2TdfRules);
}

FX_ENTRY int FX_CALL guEncodeRLE16(void *dst, void *src, FxU32 width, FxU32 height) {
    return encodeRle16(dst, src, width, height);
}

FX_ENTRY FxU16 FX_CALL guEndianSwapBytes(FxU16 value) {
    return swapBytes16(value);
}

FX_ENTRY FxU32 FX_CALL guEndianSwapWords(FxU32 value) {
    return swapHalves32(value);
}

// Exported for applications that link it; the board's RLE download path has no Direct3D counterpart.
FX_ENTRY void FX_CALL ConvertAndDownloadRle(GrChipID_t, FxU32, GrLOD_t, GrLOD_t, GrAspectRatio_t,
                                            GrTextureFormat_t, FxU32, FxU8 *, long, FxU32, FxU32, FxU32,
                                            FxU32, FxU32, FxU32, FxU16 *) {}
