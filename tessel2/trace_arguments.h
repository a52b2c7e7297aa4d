// How many bytes each Glide 2 pointer argument reads, for the trace of the calls.
#ifndef KESTRIX_TESSEL2_TRACE_ARGUMENTS_H
#define KESTRIX_TESSEL2_TRACE_ARGUMENTS_H

#include <limits.h>

#include "glide2x.h"
#include "trace/trace_recorder.h"

const FxU32 traceVertexBytes = sizeof(GrVertex);
const FxU32 traceFogTableBytes = GR_FOG_TABLE_SIZE * sizeof(GrFog_t);
const int tracePaletteLastEntry = 255;
const FxU32 traceLargestLevelSide = 256;
// A run-length code per pixel at worst: a count word beside each 16-bit pixel.
const FxU32 traceRle16WorstBytesPerPixel = 4;

// What the mipmap manager downloads from a source: its whole chain, or one level of it.
TraceTexture traceMipMapTexels(GrMipMapId_t mmid, const void *src);
TraceBytes traceMipMapLevel(GrMipMapId_t mmid, GrLOD_t lod, const void *const *src);

inline TraceBytes traceVertex(const GrVertex *vertex) {
    return TraceBytes{vertex, traceVertexBytes};
}

inline TraceBytes traceVertices(const GrVertex *vertices, int count) {
    return TraceBytes{vertices, count > 0 ? static_cast<FxU32>(count) * traceVertexBytes : 0};
}

inline TraceBytes traceIndices(const int *indices, int count) {
    return TraceBytes{indices, count > 0 ? static_cast<FxU32>(count) * static_cast<FxU32>(sizeof(int)) : 0};
}

// The vertices an index list reaches: up to its largest index.
inline TraceBytes traceIndexedVertices(const GrVertex *vertices, const int *indices, int count) {
    int largest = -1;
    for (int i = 0; indices != NULL && i < count; ++i)
        if (indices[i] > largest) largest = indices[i];
    return traceVertices(vertices, largest < INT_MAX ? largest + 1 : largest);
}

inline TraceTexture traceTexture(const GrTexInfo *info, FxU32 texelBytes) {
    if (info == NULL) return TraceTexture{0, 0, 0, 0, NULL, 0};
    return TraceTexture{info->smallLod, info->largeLod, info->aspectRatio,
                        info->format,   info->data,     texelBytes};
}

inline TraceTexture traceTexels(const GrTexInfo *info) {
    if (info == NULL) return traceTexture(info, 0);
    return traceTexture(
        info, grTexCalcMemRequired(info->smallLod, info->largeLod, info->aspectRatio, info->format));
}

// Rows first to last of one level; all of it when last is past the level.
inline TraceBytes traceLevel(const void *data, GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format,
                             int first, int last) {
    FxU32 bytes = grTexCalcMemRequired(lod, lod, aspect, format);
    FxU32 side = lod >= GR_LOD_256 && lod <= GR_LOD_1 ? traceLargestLevelSide >> lod : 1u;
    FxU32 height =
        aspect >= GR_ASPECT_8x1 && aspect < GR_ASPECT_1x1 ? side >> (GR_ASPECT_1x1 - aspect) : side;
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

#endif
