// Glide 3.x 3DF texture file entry points.
#include <string.h>

#include "glide3x.h"
#include "library_rules.h"
#include "texture/tdf_file.h"

namespace {

static_assert(sizeof(GuTexTable) == sizeof(TdfInfo::table), "the engine's table is Glide's GuTexTable");
static_assert(sizeof(GuNccTable) == sizeof(NccTable), "the engine's NCC table is Glide's GuNccTable");

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
    if (!readTdfInfo(filename, &tdf, glide3Rules.tdf)) return FXFALSE;
    copyTdfInfo(tdf, info);
    return FXTRUE;
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *filename, Gu3dfInfo *info) {
    if (info == NULL) return FXFALSE;
    TdfInfo tdf = tdfInfoFrom(*info);
    FxBool loaded = loadTdfFile(filename, &tdf, glide3Rules.tdf);
    copyTdfInfo(tdf, info);
    return loaded;
}
