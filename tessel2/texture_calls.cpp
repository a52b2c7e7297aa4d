// Glide 2.x texture memory, sampling and table entry points.
#include <stddef.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"
#include "texture/color_mipmap.h"
#include "texture/ncc_tables.h"
#include "texture/texture_memory.h"
#include "texture/texture_palette.h"
#include "core/library_settings.h"
#include "core/not_emulated.h"

namespace {

// Glide 2 counts levels down from GR_LOD_256 (0) to GR_LOD_1 (8); the aspect shortens one side.
bool glide2Download(GrLOD_t largeLod, GrAspectRatio_t aspect, GrTextureFormat_t format, FxU32 levelCount,
                    const void *data, TextureDownload &download) {
    if (largeLod < GR_LOD_256 || largeLod > GR_LOD_1 || aspect < GR_ASPECT_8x1 || aspect > GR_ASPECT_1x8)
        return false;
    FxU32 size = 256u >> largeLod;
    download.width = size;
    download.height = size;
    if (aspect < GR_ASPECT_1x1) download.height = size >> (GR_ASPECT_1x1 - aspect);
    if (aspect > GR_ASPECT_1x1) download.width = size >> (aspect - GR_ASPECT_1x1);
    download.levelCount = levelCount;
    download.format = format;
    download.data = data;
    // A 1 × 1 level of a long texture has no texels along its short side.
    return download.width != 0 && download.height != 0;
}

bool isGlide2Lod(GrLOD_t lod) {
    return lod >= GR_LOD_256 && lod <= GR_LOD_1;
}

// Glide 2 numbers levels from GR_LOD_256 (0) down and aspects from GR_ASPECT_8x1 (0) across. Values outside
// those give a chain of no size.
MipChain glide2Chain(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect, GrTextureFormat_t format,
                     FxU32 evenOdd) {
    MipChain chain;
    if (!isGlide2Lod(smallLod) || !isGlide2Lod(largeLod) || aspect < GR_ASPECT_8x1 ||
        aspect > GR_ASPECT_1x8) {
        chain.largeLog2 = chain.smallLog2 = -1;
        chain.aspectLog2 = 0;
        chain.format = format;
        chain.levelMask = evenOdd;
        return chain;
    }
    chain.largeLog2 = GR_LOD_1 - largeLod;
    chain.smallLog2 = GR_LOD_1 - smallLod;
    chain.aspectLog2 = GR_ASPECT_1x1 - aspect;
    chain.format = format;
    chain.levelMask = evenOdd;
    return chain;
}

// A level smaller than the chain's largest goes below it; rows past the level's last are not written.
void downloadLevel(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod, GrLOD_t largeLod,
                   GrAspectRatio_t aspectRatio, GrTextureFormat_t format, const void *data, FxU32 firstRow,
                   FxU32 lastRow) {
    if (!isGlide2Lod(thisLod) || thisLod < largeLod) return;
    TextureDownload chain;
    if (!glide2Download(largeLod, aspectRatio, format, 1, NULL, chain)) return;
    TextureLevelRows rows = {static_cast<FxU32>(thisLod - largeLod), firstRow, lastRow, data};
    downloadTextureLevel(tmu, startAddress,
                         mipChainBytes(glide2Chain(largeLod, largeLod, aspectRatio, format, levelMaskBoth)),
                         chain, rows);
}

} // namespace

// Applications allocate buffers of this size and fill them with the whole chain's texels.
FX_ENTRY FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                                            GrTextureFormat_t format) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, smallLod, largeLod, aspect, format);
    return mipChainBytes(glide2Chain(smallLod, largeLod, aspect, format, levelMaskBoth));
}

FX_ENTRY FxU32 FX_CALL grTexTextureMemRequired(FxU32 evenOdd, GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, evenOdd, traceTexture(info, 0));
    if (info == NULL) return 0;
    return mipChainBytes(
        glide2Chain(info->smallLod, info->largeLod, info->aspectRatio, info->format, evenOdd));
}

FX_ENTRY FxU32 FX_CALL grTexMinAddress(GrChipID_t tmu) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu);
    return 0;
}

FX_ENTRY FxU32 FX_CALL grTexMaxAddress(GrChipID_t tmu) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu);
    return highestTextureAddress();
}

FX_ENTRY void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd,
                                          GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, startAddress, evenOdd, traceTexels(info));
    if (info == NULL) return;
    // The data holds every level from largeLod to smallLod, whichever of them evenOdd places on this TMU.
    FxU32 levels =
        isGlide2Lod(info->smallLod) && isGlide2Lod(info->largeLod) && info->smallLod >= info->largeLod
            ? static_cast<FxU32>(info->smallLod - info->largeLod + 1)
            : 1;
    TextureDownload download;
    if (glide2Download(info->largeLod, info->aspectRatio, info->format, levels, info->data, download))
        downloadTexture(tmu, startAddress, grTexTextureMemRequired(evenOdd, info), download);
}

FX_ENTRY void FX_CALL grTexDownloadMipMapLevel(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                               GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                               GrTextureFormat_t format, FxU32 evenOdd, void *data) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, tmu, startAddress, thisLod, largeLod, aspectRatio, format, evenOdd,
                  traceLevel(data, thisLod, aspectRatio, format, 0, -1));
    downloadLevel(tmu, startAddress, thisLod, largeLod, aspectRatio, format, data, 0, lastRowOfLevel);
}

// data holds the rows start to end.
FX_ENTRY void FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                                      GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                                      GrTextureFormat_t format, FxU32 evenOdd, void *data,
                                                      int start, int end) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, tmu, startAddress, thisLod, largeLod, aspectRatio, format, evenOdd,
                  traceLevel(data, thisLod, aspectRatio, format, start, end), start, end);
    if (start < 0 || end < start) return;
    downloadLevel(tmu, startAddress, thisLod, largeLod, aspectRatio, format, data, static_cast<FxU32>(start),
                  static_cast<FxU32>(end));
}

// The info of a selection is not compared with the download's: the start address alone names the texture.
FX_ENTRY void FX_CALL grTexSource(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, startAddress, evenOdd, traceTexture(info, 0));
    if (startAddress == noTextureSource) return;
    selectTextureSource(tmu, startAddress);
}

FX_ENTRY void FX_CALL grTexMultibaseAddress(GrChipID_t tmu, GrTexBaseRange_t range, FxU32 startAddress,
                                            FxU32 evenOdd, GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, range, startAddress, evenOdd, traceTexture(info, 0));
    grTexSource(tmu, startAddress, evenOdd, info);
}

FX_ENTRY void FX_CALL grTexMultibase(GrChipID_t tmu, FxBool enable) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, enable);
    if (enable) noteNotEmulated("grTexMultibase");
}

FX_ENTRY void FX_CALL grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t sClamp,
                                     GrTextureClampMode_t tClamp) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, sClamp, tClamp);
    setTextureClampMode(tmu, sClamp, tClamp);
}

FX_ENTRY void FX_CALL grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minFilter,
                                      GrTextureFilterMode_t magFilter) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, minFilter, magFilter);
    setTextureFilterMode(tmu, minFilter == GR_TEXTUREFILTER_POINT_SAMPLED,
                         magFilter == GR_TEXTUREFILTER_POINT_SAMPLED);
}

FX_ENTRY void FX_CALL grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lodBlend) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, mode, lodBlend);
    setTextureMipmapMode(tmu, mode, lodBlend != FXFALSE);
}

FX_ENTRY void FX_CALL grTexLodBiasValue(GrChipID_t tmu, float bias) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, bias);
    setTextureLodBias(tmu, bias);
}

FX_ENTRY void FX_CALL grTexDetailControl(GrChipID_t tmu, int lodBias, FxU8 detailScale, float detailMax) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, lodBias, detailScale, detailMax);
    noteNotEmulated("grTexDetailControl");
}

FX_ENTRY void FX_CALL grTexDownloadTablePartial(GrChipID_t tmu, GrTexTable_t type, void *data, int start,
                                                int end) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, type, traceTable(type, data, end), start, end);
    if ((tmu != GR_TMU0 && tmu != GR_TMU1) || data == NULL) return;
    if (type == GR_TEXTABLE_NCC0 || type == GR_TEXTABLE_NCC1) {
        storeNccTable(type, data);
    } else if (type == GR_TEXTABLE_PALETTE) {
        downloadPalette(tmu, static_cast<const GuTexPalette *>(data)->data, start, end);
    }
}

FX_ENTRY void FX_CALL grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void *data) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, type, traceTable(type, data));
    grTexDownloadTablePartial(tmu, type, data, 0, texturePaletteSize - 1);
}

FX_ENTRY void FX_CALL grTexNCCTable(GrChipID_t tmu, GrNCCTable_t table) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, table);
    selectNccTable(tmu, table);
}

FX_ENTRY void *FX_CALL guTexCreateColorMipMap(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    return createColorMipMap();
}
