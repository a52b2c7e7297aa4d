// The vertex layout a Glide 3 application describes, kept as Glide's 108-byte record, and the engine layout
// the conversion reads, translated from it whenever it changes.
#ifndef KESTRIX_TESSEL3_VERTEX_LAYOUT_H
#define KESTRIX_TESSEL3_VERTEX_LAYOUT_H

#include "glide3x.h"

struct LayoutParameter {
    FxU32 offset;
    FxU32 mode; // any non-zero mode enables
};

struct GlideVertexLayout {
    FxU32 packedColor; // 1 once PARGB is enabled, 0 once A or RGB is
    FxU32 strideWords; // of the last grDrawVertexArrayContiguous
    FxU32 vertexSize;  // the largest end offset of an enabled parameter
    LayoutParameter xy, z, w, fogExt, a, rgb, pargb, st0, st1, q, q0, q1;
};

const FxU32 glideVertexLayoutSize = 108;
static_assert(sizeof(GlideVertexLayout) == glideVertexLayoutSize, "Glide's vertex layout record is 27 words");

extern GlideVertexLayout glideVertexLayout;

// Every parameter disabled, as at load and after grReset(GR_VERTEX_PARAMETER).
void resetVertexLayout();
void setVertexLayoutParameter(FxU32 param, FxI32 offset, FxU32 mode);
// Replaces the record wholesale, unchecked; only what it enables is ever read from a vertex.
void replaceVertexLayout(const GlideVertexLayout &layout);

#endif
