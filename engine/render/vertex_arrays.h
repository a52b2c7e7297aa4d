// Vertex arrays: every drawing mode, in runs that keep strips, fans and polygons connected across calls
// and across the vertex buffer's bound.
#ifndef KESTRIX_VERTEX_ARRAYS_H
#define KESTRIX_VERTEX_ARRAYS_H

#include "../glide_values.h"
#include "draw_vertex.h"

// The modes, numbered as Glide 3's grDrawVertexArray numbers them.
enum VertexArrayMode : FxU32 {
    arrayPoints = 0,
    arrayLineStrip = 1,
    arrayLines = 2,
    arrayPolygon = 3,
    arrayTriangleStrip = 4,
    arrayTriangleFan = 5,
    arrayTriangles = 6,
    arrayTriangleStripContinue = 7,
    arrayTriangleFanContinue = 8,
};

// Vertices converted at a time: longer arrays are converted, and strips drawn, in several runs.
const int vertexArrayBatch = 8192;

// Where the vertices of an array lie: an array of pointers, or records `stride` bytes apart.
struct VertexSource {
    const void *const *pointers;
    const FxU8 *records;
    FxU32 stride;
};

// The converted vertices a continued strip or fan starts from: the strip's last two, or the fan's centre
// and last; and whether the strip's next triangle is an odd one, which Direct3D would wind the other way.
struct JoiningVertices {
    int count;
    DrawVertex vertex[2];
    bool oddNext;
};

// What the next continued strip and fan join. A new frame or window has nothing to join.
struct VertexJoins {
    JoiningVertices strip;
    JoiningVertices fan;
};

// Part of the frame's records (session/state_groups.h).
extern VertexJoins &vertexJoins;

// Any other mode draws nothing.
void drawVertexArray(FxU32 mode, FxU32 count, const VertexSource &source);

#endif
