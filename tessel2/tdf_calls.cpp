// Glide 2.x 3DF texture file and texture utility entry points.
#include <string.h>

#include "glide2x.h"
#include "library_rules.h"
#include "texture/tdf_file.h"
#include "texture/texture_utilities.h"

namespace {

static_assert(sizeof(GuTexTable) == sizeof(TdfInfo::table), "the engine's table is Glide's GuTexTable");

TdfInfo tdfInfoFrom(const Gu3dfInfo &info) {
    TdfInfo tdf;
    tdf.width = info.header.width;
    tdf.height = info.header.height;
    tdf.smallLod = info.header.small_lod;
    tdf.largeLod = info.header.large_lod;
    tdf.aspectRatio = info.header.aspect_ratio;
    tdf.format = info.header.format;
    memcpy(&tdf.table, &info.table, sizeof(tdf.table));
    tdf.data = info.data;
    tdf.memRequired = info.mem_required;
    return tdf;
}

void copyTdfInfo(const TdfInfo &tdf, Gu3dfInfo *info) {
    info->header.width = tdf.width;
    info->header.height = tdf.height;
    info->header.small_lod = tdf.smallLod;
    info->header.large_lod = tdf.largeLod;
    info->header.aspect_ratio = tdf.aspectRatio;
    info->header.format = tdf.format;
    memcpy(&info->table, &tdf.table, sizeof(tdf.table));
    info->data = tdf.data;
    info->mem_required = tdf.memRequired;
}

} // namespace

FX_ENTRY FxBool FX_CALL gu3dfGetInfo(const char *filename, Gu3dfInfo *info) {
    if (info == NULL) return FXFALSE;
    TdfInfo tdf = tdfInfoFrom(*info);
    if (!readTdfInfo(filename, &tdf, glide2Rules.tdf)) return FXFALSE;
    copyTdfInfo(tdf, info);
    return FXTRUE;
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *filename, Gu3dfInfo *info) {
    if (info == NULL) return FXFALSE;
    TdfInfo tdf = tdfInfoFrom(*info);
    FxBool loaded = loadTdfFile(filename, &tdf, glide2Rules.tdf);
    copyTdfInfo(tdf, info);
    return loaded;
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
