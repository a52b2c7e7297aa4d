// The pre-transformed Direct3D vertex every primitive is drawn with, and the conversion of Glide vertices
// into it.
#ifndef KESTRIX_DRAW_VERTEX_H
#define KESTRIX_DRAW_VERTEX_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"
#include "../core/library_rules.h"

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

// The parameters an application vertex carries. Glide 2's GrVertex has them all; a Glide 3 application
// enables those its records hold, and nothing is read at the offset of one it has not.
enum VertexField : FxU32 {
    fieldPosition = 1u << 0,
    fieldDepth = 1u << 1, // ooz, 0 to 65535
    fieldOow = 1u << 2,
    fieldAlpha = 1u << 3,
    fieldRgb = 1u << 4,
    fieldPackedColor = 1u << 5, // one ARGB word, in place of the float channels
    fieldSt0 = 1u << 6,
    fieldSt1 = 1u << 7,
    fieldQ0 = 1u << 8, // TMU 0's own 1/w
    fieldQ1 = 1u << 9,
    fieldFogCoord = 1u << 10, // a float read in place of w by the fog table
    everyGlide2Field = fieldPosition | fieldDepth | fieldOow | fieldAlpha | fieldRgb | fieldSt0 | fieldSt1,
};

// The layout the next conversions read; the front end sets it. Part of the library's records
// (session/state_groups.h), as are the converters in force.
extern VertexLayout &vertexLayout;
// A front end that lets the application describe its vertex sets the layout through these; the stride is
// the one the last vertex-array draw gave.
void setVertexLayout(const VertexLayout &layout);
FxU32 vertexLayoutStride();

// Those that read through vertexLayout, and those in force: the front end's own, or these.
extern const VertexConverters currentLayoutConverters;
extern VertexConverters &vertexConverters;

// The array handed to DrawPrimitive, reused by every draw call; a primitive never leaves anything in it that
// a later call relies on. It bounds one DrawPrimitive call (9830 × 40 bytes is just under 384 KiB); a
// polygon with more vertices is drawn as several fans.
const int vertexBufferSize = 9830;
extern DrawVertex vertexBuffer[vertexBufferSize];

// Converts count application vertices into vertexBuffer by the render state, settings, bound textures and
// screen in force now: from pointers into `slots` (the draw batch converts a list primitive in place), or
// from consecutive records or an index list into vlist, into elements `first` on. The caller keeps first +
// count within the buffer. False when a vertex has a non-finite x or y: the primitive is not to be drawn.
bool convertVertexPointers(const void *const *vertices, int count, DrawVertex *slots = vertexBuffer);
bool convertVertexList(const void *vlist, int count, int first);
bool convertIndexedVertices(const int *ilist, const void *vlist, int count, int first);

#endif
