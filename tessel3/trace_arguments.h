// How many bytes each Glide 3 pointer argument reads, for the trace of the calls.
#ifndef KESTRIX_TESSEL3_TRACE_ARGUMENTS_H
#define KESTRIX_TESSEL3_TRACE_ARGUMENTS_H

#include "glide3x.h"
#include "render/fog_table.h"
#include "render/saved_state.h"
#include "trace/trace_recorder.h"
#include "vertex_layout.h"

const FxU32 traceFogTableBytes = fogTableSize * sizeof(GrFog_t);
const FxU32 traceGlideStateBytes = savedStateBytes;
const int tracePaletteLastEntry = 255;

// A vertex reads what the layout enables.
inline TraceBytes traceVertex(const void *vertex) {
    return TraceBytes{vertex, glideVertexLayout.vertexSize};
}

inline TraceVertexList traceVertexPointers(const void *pointers, FxU32 count) {
    return TraceVertexList{static_cast<const void *const *>(pointers), count, glideVertexLayout.vertexSize};
}

inline TraceBytes traceContiguousVertices(const void *vertices, FxU32 count, FxU32 stride) {
    return TraceBytes{vertices, count == 0 ? 0 : stride * (count - 1) + glideVertexLayout.vertexSize};
}

inline TraceTexture traceTexture(const GrTexInfo *info, FxU32 texelBytes) {
    if (info == NULL) return TraceTexture{0, 0, 0, 0, NULL, 0};
    return TraceTexture{info->smallLodLog2, info->largeLodLog2, info->aspectRatioLog2,
                        info->format,       info->data,         texelBytes};
}

// The whole chain the info describes, every level whichever TMU takes it.
inline TraceTexture traceTexels(const GrTexInfo *info) {
    if (info == NULL) return traceTexture(info, 0);
    return traceTexture(info, grTexCalcMemRequired(info->smallLodLog2, info->largeLodLog2,
                                                   info->aspectRatioLog2, info->format));
}

// Rows first to last of one level; all of it when last is past the level.
inline TraceBytes traceLevel(const void *data, GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format,
                             int first, int last) {
    FxU32 bytes = grTexCalcMemRequired(lod, lod, aspect, format);
    const int shiftLimit = 31; // shifts of a 32-bit side stay defined
    FxU32 side = lod >= 0 && lod < shiftLimit ? 1u << lod : 1u;
    FxU32 height = aspect > 0 && aspect < shiftLimit ? side >> aspect : side;
    if (height == 0 || first < 0 || last < first) return TraceBytes{data, bytes};
    FxU32 rowBytes = bytes / height;
    FxU32 rows = static_cast<FxU32>(last) - static_cast<FxU32>(first) + 1u;
    return TraceBytes{data, rows < height ? rows * rowBytes : bytes};
}

// Entries 0 to last of a palette; a whole NCC table.
inline TraceBytes traceTable(GrTexTable_t type, const void *data, int last = tracePaletteLastEntry) {
    if (type == GR_TEXTABLE_NCC0 || type == GR_TEXTABLE_NCC1)
        return TraceBytes{data, static_cast<FxU32>(sizeof(GuNccTable))};
    return tracePaletteEntries(data, last);
}

inline TraceBytes traceGammaTable(const FxU32 *table, FxU32 entries) {
    return TraceBytes{table, entries * static_cast<FxU32>(sizeof(FxU32))};
}

#endif
