// The Glide 2 utility library's texture manager: it hands out texture memory from the bottom of each TMU
// upwards and downloads and selects each mipmap through the same calls an application makes itself.
#include <stddef.h>
#include <string.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"
#include "mipmap_manager.h"
#include "texture/texture_memory.h"

namespace {

// The utility library's record of one mipmap, as guTexGetMipMapInfo hands it to the application.
struct GrMipMapInfo {
    int sst;
    FxBool valid;
    int width, height;
    GrAspectRatio_t aspect_ratio;
    void *data;
    GrTextureFormat_t format;
    GrMipMapMode_t mipmap_mode;
    GrTextureFilterMode_t magfilter_mode;
    GrTextureFilterMode_t minfilter_mode;
    GrTextureClampMode_t s_clamp_mode;
    GrTextureClampMode_t t_clamp_mode;
    FxU32 tLOD;
    FxU32 tTextureMode;
    FxU32 lod_bias_bits;
    GuNccTable ncc_table;
    // The manager's own bookkeeping follows what applications read.
    GrChipID_t tmu;
    FxU32 startAddress;
    FxU32 allocatedBytes;
    FxU32 oddEvenMask;
    GrLOD_t smallLod;
    GrLOD_t largeLod;
    FxBool trilinear;
    float lodBias;
    bool nccTableGiven;
};

const int mipMapCapacity = 1024;
// guTexChangeAttributes leaves an attribute as it is when given this.
const int keepAttribute = -1;

struct MipMapManager {
    GrMipMapInfo mipMaps[mipMapCapacity];
    int count;
    FxU32 freeAddress[GLIDE_NUM_TMU];
    GrMipMapId_t current[GLIDE_NUM_TMU];
};

MipMapManager manager;

GrMipMapInfo *mipMap(GrMipMapId_t mmid) {
    return mmid < static_cast<GrMipMapId_t>(manager.count) ? &manager.mipMaps[mmid] : NULL;
}

GrTexInfo texInfoOf(const GrMipMapInfo &info, const void *data) {
    GrTexInfo texInfo;
    texInfo.smallLod = info.smallLod;
    texInfo.largeLod = info.largeLod;
    texInfo.aspectRatio = info.aspect_ratio;
    texInfo.format = info.format;
    texInfo.data = const_cast<void *>(data);
    return texInfo;
}

// Bytes of one level as the application lays it out: the short side stops at one texel.
size_t levelBytes(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format) {
    if (lod < GR_LOD_256 || lod > GR_LOD_1 || aspect < GR_ASPECT_8x1 || aspect > GR_ASPECT_1x8) return 0;
    size_t width = 256u >> lod, height = 256u >> lod;
    if (aspect < GR_ASPECT_1x1) height >>= GR_ASPECT_1x1 - aspect;
    if (aspect > GR_ASPECT_1x1) width >>= aspect - GR_ASPECT_1x1;
    size_t texelBytes = format >= GR_TEXFMT_16BIT ? 2 : 1;
    return (width ? width : 1) * (height ? height : 1) * texelBytes;
}

bool isYiq(GrTextureFormat_t format) {
    return format == GR_TEXFMT_YIQ_422 || format == GR_TEXFMT_AYIQ_8422;
}

} // namespace

TraceTexture traceMipMapTexels(GrMipMapId_t mmid, const void *src) {
    GrMipMapInfo *info = mipMap(mmid);
    if (info == NULL || src == NULL) return TraceTexture{0, 0, 0, 0, NULL, 0};
    GrTexInfo texInfo = texInfoOf(*info, src);
    return traceTexels(&texInfo);
}

TraceBytes traceMipMapLevel(GrMipMapId_t mmid, GrLOD_t lod, const void *const *src) {
    GrMipMapInfo *info = mipMap(mmid);
    if (info == NULL || src == NULL) return TraceBytes{NULL, 0};
    return TraceBytes{*src, static_cast<FxU32>(levelBytes(lod, info->aspect_ratio, info->format))};
}

void resetMipMapManager() {
    manager.count = 0;
    for (int tmu = 0; tmu < GLIDE_NUM_TMU; ++tmu) {
        manager.freeAddress[tmu] = 0;
        manager.current[tmu] = GR_NULL_MIPMAP_HANDLE;
    }
}

FX_ENTRY GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t tmu, FxU8 oddEvenMask, int width, int height,
                                                  GrTextureFormat_t format, GrMipMapMode_t mipmapMode,
                                                  GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                                                  GrTextureClampMode_t sClamp, GrTextureClampMode_t tClamp,
                                                  GrTextureFilterMode_t minFilter,
                                                  GrTextureFilterMode_t magFilter, float lodBias,
                                                  FxBool trilinear) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, tmu, oddEvenMask, width, height, format, mipmapMode, smallLod, largeLod, aspect,
                  sClamp, tClamp, minFilter, magFilter, lodBias, trilinear);
    if ((tmu != GR_TMU0 && tmu != GR_TMU1) || manager.count >= mipMapCapacity) return GR_NULL_MIPMAP_HANDLE;
    GrTexInfo sizing = {smallLod, largeLod, aspect, format, NULL};
    FxU32 bytes = grTexTextureMemRequired(oddEvenMask, &sizing);
    if (bytes == 0 || bytes > textureAddressLimit() - manager.freeAddress[tmu]) return GR_NULL_MIPMAP_HANDLE;

    GrMipMapInfo &info = manager.mipMaps[manager.count];
    memset(&info, 0, sizeof(info));
    info.width = width;
    info.height = height;
    info.aspect_ratio = aspect;
    info.format = format;
    info.mipmap_mode = mipmapMode;
    info.magfilter_mode = magFilter;
    info.minfilter_mode = minFilter;
    info.s_clamp_mode = sClamp;
    info.t_clamp_mode = tClamp;
    info.tmu = tmu;
    info.startAddress = manager.freeAddress[tmu];
    info.allocatedBytes = bytes;
    info.oddEvenMask = oddEvenMask;
    info.smallLod = smallLod;
    info.largeLod = largeLod;
    info.trilinear = trilinear;
    info.lodBias = lodBias;
    manager.freeAddress[tmu] += bytes;
    return static_cast<GrMipMapId_t>(manager.count++);
}

// A change that needs more memory than was allocated is refused and changes nothing.
FX_ENTRY FxBool FX_CALL guTexChangeAttributes(GrMipMapId_t mmid, int width, int height,
                                              GrTextureFormat_t format, GrMipMapMode_t mipmapMode,
                                              GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                                              GrTextureClampMode_t sClamp, GrTextureClampMode_t tClamp,
                                              GrTextureFilterMode_t minFilter,
                                              GrTextureFilterMode_t magFilter) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, mmid, width, height, format, mipmapMode, smallLod, largeLod, aspect, sClamp,
                  tClamp, minFilter, magFilter);
    GrMipMapInfo *info = mipMap(mmid);
    if (info == NULL) return FXFALSE;
    GrMipMapInfo changed = *info;
    if (width != keepAttribute) changed.width = width;
    if (height != keepAttribute) changed.height = height;
    if (format != keepAttribute) changed.format = format;
    if (mipmapMode != keepAttribute) changed.mipmap_mode = mipmapMode;
    if (smallLod != keepAttribute) changed.smallLod = smallLod;
    if (largeLod != keepAttribute) changed.largeLod = largeLod;
    if (aspect != keepAttribute) changed.aspect_ratio = aspect;
    if (sClamp != keepAttribute) changed.s_clamp_mode = sClamp;
    if (tClamp != keepAttribute) changed.t_clamp_mode = tClamp;
    if (minFilter != keepAttribute) changed.minfilter_mode = minFilter;
    if (magFilter != keepAttribute) changed.magfilter_mode = magFilter;
    GrTexInfo sizing = texInfoOf(changed, NULL);
    FxU32 bytes = grTexTextureMemRequired(changed.oddEvenMask, &sizing);
    if (bytes == 0 || bytes > info->allocatedBytes) return FXFALSE;
    *info = changed;
    return FXTRUE;
}

FX_ENTRY void FX_CALL guTexDownloadMipMap(GrMipMapId_t mmid, const void *src, const GuNccTable *nccTable) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, mmid, traceMipMapTexels(mmid, src),
                  TraceBytes{nccTable, static_cast<FxU32>(sizeof(GuNccTable))});
    GrMipMapInfo *info = mipMap(mmid);
    if (info == NULL || src == NULL) return;
    info->data = const_cast<void *>(src);
    info->nccTableGiven = nccTable != NULL && isYiq(info->format);
    if (info->nccTableGiven) info->ncc_table = *nccTable;
    GrTexInfo texInfo = texInfoOf(*info, src);
    grTexDownloadMipMap(info->tmu, info->startAddress, info->oddEvenMask, &texInfo);
    info->valid = FXTRUE;
}

// *src moves past the level, so that a loop over the levels walks the application's chain.
FX_ENTRY void FX_CALL guTexDownloadMipMapLevel(GrMipMapId_t mmid, GrLOD_t lod, const void **src) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mmid, lod, traceMipMapLevel(mmid, lod, src));
    GrMipMapInfo *info = mipMap(mmid);
    if (info == NULL || src == NULL || *src == NULL) return;
    grTexDownloadMipMapLevel(info->tmu, info->startAddress, lod, info->largeLod, info->aspect_ratio,
                             info->format, info->oddEvenMask, const_cast<void *>(*src));
    if (lod == info->largeLod) info->valid = FXTRUE;
    *src = static_cast<const FxU8 *>(*src) + levelBytes(lod, info->aspect_ratio, info->format);
}

FX_ENTRY void FX_CALL guTexSource(GrMipMapId_t mmid) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mmid);
    GrMipMapInfo *info = mipMap(mmid);
    if (info == NULL) return;
    if (info->nccTableGiven) {
        grTexDownloadTable(info->tmu, GR_TEXTABLE_NCC0, &info->ncc_table);
        grTexNCCTable(info->tmu, GR_NCCTABLE_NCC0);
    }
    GrTexInfo texInfo = texInfoOf(*info, info->data);
    grTexSource(info->tmu, info->startAddress, info->oddEvenMask, &texInfo);
    grTexClampMode(info->tmu, info->s_clamp_mode, info->t_clamp_mode);
    grTexFilterMode(info->tmu, info->minfilter_mode, info->magfilter_mode);
    grTexMipMapMode(info->tmu, info->mipmap_mode, info->trilinear);
    grTexLodBiasValue(info->tmu, info->lodBias);
    manager.current[info->tmu] = mmid;
}

FX_ENTRY GrMipMapId_t FX_CALL guTexGetCurrentMipMap(GrChipID_t tmu) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu);
    if (tmu != GR_TMU0 && tmu != GR_TMU1) return GR_NULL_MIPMAP_HANDLE;
    return manager.current[tmu];
}

FX_ENTRY void *FX_CALL guTexGetMipMapInfo(GrMipMapId_t mmid) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mmid);
    return mipMap(mmid);
}

FX_ENTRY void FX_CALL guTexMemReset(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    releaseAllTextures();
    resetMipMapManager();
}

// What the manager has not handed out yet.
FX_ENTRY FxU32 FX_CALL guTexMemQueryAvail(GrChipID_t tmu) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu);
    if (tmu != GR_TMU0 && tmu != GR_TMU1) return 0;
    return textureAddressLimit() - manager.freeAddress[tmu];
}
