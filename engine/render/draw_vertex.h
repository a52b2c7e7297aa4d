// The pre-transformed Direct3D vertex every primitive is drawn with, and the conversion of Glide vertices
// into it.
#ifndef KESTRIX_DRAW_VERTEX_H
#define KESTRIX_DRAW_VERTEX_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"

struct DrawVertex {
    float x;        // screen pixels
    float y;        // screen pixels, 0 at the top
    float z;        // 0 near to 1 far
    float rhw;      // 1/w when a texture is bound, else 1
    FxU32 diffuse;  // ARGB
    FxU32 specular; // ARGB, added by Direct3D
    float tu0, tv0; // TMU 0, stage 0
    float tu1, tv1; // TMU 1, stage 1
};

static_assert(sizeof(DrawVertex) == 40, "DrawVertex is the 40-byte layout of its vertex format");

const DWORD drawVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2; // 0x2C4

// Where an application vertex keeps what the conversion reads: byte offsets from the start of the record.
// Glide 2's GrVertex is one fixed layout; a Glide 3 application describes its own.
struct VertexLayout {
    FxU32 x, y;
    FxU32 oow;                     // 1/w
    FxU32 ooz;                     // depth for the z-buffer modes, 0 to 65535
    FxU32 red, green, blue, alpha; // float channels
    FxU32 sow[2], tow[2];          // s/w and t/w per TMU
    FxU32 stride;                  // from one record of a consecutive list to the next
};

// The layout the next conversions read; the front end sets it.
extern VertexLayout vertexLayout;

// The conversion routines of one layout (vertex_conversion.h). Each converts count vertices into
// vertexBuffer and is false when a vertex has a non-finite x or y.
struct VertexConverters {
    bool (*pointers)(const void *const *vertices, int count);
    bool (*list)(const void *vlist, int count, int first);
    bool (*indexed)(const int *ilist, const void *vlist, int count, int first);
};

// Those that read through vertexLayout, and those in force: the front end's own, or these.
extern const VertexConverters currentLayoutConverters;
extern VertexConverters vertexConverters;

// The array handed to DrawPrimitive, reused by every draw call; a primitive never leaves anything in it that
// a later call relies on. It bounds one DrawPrimitive call (9830 × 40 bytes is just under 384 KiB); a
// polygon with more vertices is drawn as several fans.
const int vertexBufferSize = 9830;
extern DrawVertex vertexBuffer[vertexBufferSize];

// Converts count application vertices into vertexBuffer by the render state, settings, bound textures and
// screen in force now: from pointers into elements 0 on, or from consecutive records or an index list into
// vlist into elements `first` on. The caller keeps first + count within the buffer. False when a vertex has
// a non-finite x or y: the primitive is not to be drawn.
bool convertVertexPointers(const void *const *vertices, int count);
bool convertVertexList(const void *vlist, int count, int first);
bool convertIndexedVertices(const int *ilist, const void *vlist, int count, int first);

#endif
