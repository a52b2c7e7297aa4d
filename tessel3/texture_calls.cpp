// Glide 3.x texture memory, sampling and table entry points.
#include <stddef.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"
#include "texture/ncc_tables.h"
#include "texture/texture_memory.h"
#include "texture/palette_alpha.h"
#include "texture/texture_palette.h"
#include "core/card_profiles.h"
#include "core/library_settings.h"
#include "core/not_emulated.h"

namespace {

// Glide 3 gives levels and aspects as base-2 logarithms: a side of 1 << lod texels, the aspect as log2 of
// width over height.
bool isGlide3Lod(GrLOD_t lod) {
    return lod >= GR_LOD_LOG2_1 && lod <= GR_LOD_LOG2_256;
}

bool isGlide3Aspect(GrAspectRatio_t aspect) {
    return aspect >= GR_ASPECT_LOG2_1x8 && aspect <= GR_ASPECT_LOG2_8x1;
}

bool glide3Download(GrLOD_t largeLod, GrAspectRatio_t aspect, GrTextureFormat_t format, FxU32 levelCount,
                    const void *data, TextureDownload &download) {
    if (!isGlide3Lod(largeLod) || !isGlide3Aspect(aspect)) return false;
    FxU32 size = 1u << largeLod;
    download.width = aspect < GR_ASPECT_LOG2_1x1 ? size >> -aspect : size;
    download.height = aspect > GR_ASPECT_LOG2_1x1 ? size >> aspect : size;
    download.levelCount = levelCount;
    download.format = format;
    download.data = data;
    // A 1 × 1 level of a long texture has no texels along its short side.
    return download.width != 0 && download.height != 0;
}

// Codes outside Glide's range give a chain of no size.
MipChain glide3Chain(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect, GrTextureFormat_t format,
                     FxU32 evenOdd) {
    MipChain chain;
    bool known = isGlide3Lod(smallLod) && isGlide3Lod(largeLod) && isGlide3Aspect(aspect);
    chain.largeLog2 = known ? largeLod : -1;
    chain.smallLog2 = known ? smallLod : -1;
    chain.aspectLog2 = known ? aspect : 0;
    chain.format = format;
    chain.levelMask = evenOdd;
    return chain;
}

// A level smaller than the chain's largest goes below it; rows past the level's last are not written.
void downloadLevel(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod, GrLOD_t largeLod,
                   GrAspectRatio_t aspectRatio, GrTextureFormat_t format, const void *data, FxU32 firstRow,
                   FxU32 lastRow) {
    if (!isGlide3Lod(thisLod) || thisLod > largeLod) return;
    TextureDownload chain;
    if (!glide3Download(largeLod, aspectRatio, format, 1, NULL, chain)) return;
    TextureLevelRows rows = {static_cast<FxU32>(largeLod - thisLod), firstRow, lastRow, data};
    downloadTextureLevel(tmu, startAddress,
                         mipChainBytes(glide3Chain(largeLod, largeLod, aspectRatio, format, levelMaskBoth)),
                         chain, rows);
}

} // namespace

// Applications allocate buffers of this size and fill them with the whole chain's texels.
FX_ENTRY FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                                            GrTextureFormat_t format) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, smallLod, largeLod, aspect, format);
    return mipChainBytes(glide3Chain(smallLod, largeLod, aspect, format, levelMaskBoth));
}

FX_ENTRY FxU32 FX_CALL grTexTextureMemRequired(FxU32 evenOdd, GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, evenOdd, traceTexture(info, 0));
    if (info == NULL) return 0;
    return mipChainBytes(
        glide3Chain(info->smallLodLog2, info->largeLodLog2, info->aspectRatioLog2, info->format, evenOdd));
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
    // A level range Glide has not takes no memory, so the application gives no texels for it.
    if (info == NULL || grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, info) == 0) return;
    // The data holds every level from largeLod to smallLod, whichever of them evenOdd places on this TMU.
    FxU32 levels = static_cast<FxU32>(info->largeLodLog2 - info->smallLodLog2 + 1);
    TextureDownload download;
    if (glide3Download(info->largeLodLog2, info->aspectRatioLog2, info->format, levels, info->data, download))
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
FX_ENTRY FxBool FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                                        GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                                        GrTextureFormat_t format, FxU32 evenOdd, void *data,
                                                        int start, int end) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, tmu, startAddress, thisLod, largeLod, aspectRatio, format, evenOdd,
                  traceLevel(data, thisLod, aspectRatio, format, start, end), start, end);
    if (start < 0 || end < start) return FXTRUE;
    downloadLevel(tmu, startAddress, thisLod, largeLod, aspectRatio, format, data, static_cast<FxU32>(start),
                  static_cast<FxU32>(end));
    return FXTRUE;
}

// The info of a selection is not compared with the download's: the start address alone names the texture.
FX_ENTRY void FX_CALL grTexSource(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, startAddress, evenOdd, traceTexture(info, 0));
    if (startAddress == noTextureSource) return;
    selectTextureSource(tmu, startAddress);
}

FX_ENTRY void FX_CALL grTexMultibase(GrChipID_t tmu, FxBool enable) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, enable);
    if (enable) noteNotEmulated("grTexMultibase");
}

FX_ENTRY void FX_CALL grTexMultibaseAddress(GrChipID_t tmu, GrTexBaseRange_t range, FxU32 startAddress,
                                            FxU32 evenOdd, GrTexInfo *info) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, range, startAddress, evenOdd, traceTexture(info, 0));
    noteNotEmulated("grTexMultibaseAddress");
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

// Palette downloads bring TMU 0's texture up to date at once; TMU 1's follows at its next selection.
namespace {
// The 6666 table exists on the boards that announce PALETTE6666; others ignore it, as they never had it.
bool offersPalette6666() {
    return (cardProfile().extensions & extensionPalette6666) != 0;
}
} // namespace

FX_ENTRY void FX_CALL grTexDownloadTable(GrTexTable_t type, void *data) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, type, traceTable(type, data));
    if (data == NULL) return;
    if (type == GR_TEXTABLE_NCC0 || type == GR_TEXTABLE_NCC1) {
        storeNccTable(type, data);
    } else if (type == GR_TEXTABLE_PALETTE) {
        dropPaletteAlpha();
        replacePalette(static_cast<const GuTexPalette *>(data)->data);
    } else if (type == GR_TEXTABLE_PALETTE_6666_EXT && offersPalette6666()) {
        downloadPalette6666(GR_TMU0, static_cast<const GuTexPalette *>(data)->data, 0,
                            texturePaletteSize - 1);
    } else {
        return;
    }
    rebindCurrentTexture(GR_TMU0);
}

// Entries start to end of the whole table data points to; NCC tables have no parts.
FX_ENTRY void FX_CALL grTexDownloadTablePartial(GrTexTable_t type, void *data, int start, int end) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, type, traceTable(type, data, end), start, end);
    if (data == NULL) return;
    const FxU32 *entries = static_cast<const GuTexPalette *>(data)->data;
    if (type == GR_TEXTABLE_PALETTE) {
        dropPaletteAlpha();
        downloadPalettePart(GR_TMU0, entries, start, end);
    } else if (type == GR_TEXTABLE_PALETTE_6666_EXT && offersPalette6666()) {
        downloadPalette6666(GR_TMU0, entries, start, end);
    }
}

// Glide 3 selects one table for every TMU.
FX_ENTRY void FX_CALL grTexNCCTable(GrNCCTable_t table) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, table);
    selectNccTable(GR_TMU0, table);
    selectNccTable(GR_TMU1, table);
}
