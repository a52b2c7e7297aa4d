// gu3dfGetInfo and gu3dfLoad over a library's own Gu3dfInfo record. Both libraries lay the record out
// alike (header, table, data, mem_required); the template reads it by those field names.
#ifndef KESTRIX_TDF_INFO_RECORD_H
#define KESTRIX_TDF_INFO_RECORD_H

#include <string.h>

#include "tdf_file.h"

namespace tdf_record {

template <typename Info> TdfInfo fromRecord(const Info &info) {
    static_assert(sizeof(info.table) == sizeof(TdfInfo::table), "the library's table is the engine's table");
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

template <typename Info> void toRecord(const TdfInfo &tdf, Info *info) {
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

} // namespace tdf_record

template <typename Info> FxBool readTdfInfoInto(const char *filename, Info *info, const TdfRules &rules) {
    if (info == NULL) return FXFALSE;
    TdfInfo tdf = tdf_record::fromRecord(*info);
    if (!readTdfInfo(filename, &tdf, rules)) return FXFALSE;
    tdf_record::toRecord(tdf, info);
    return FXTRUE;
}

template <typename Info> FxBool loadTdfFileInto(const char *filename, Info *info, const TdfRules &rules) {
    if (info == NULL) return FXFALSE;
    TdfInfo tdf = tdf_record::fromRecord(*info);
    FxBool loaded = loadTdfFile(filename, &tdf, rules);
    tdf_record::toRecord(tdf, info);
    return loaded;
}

#endif
