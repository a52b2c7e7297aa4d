// Glide 3 vertex arrays: every drawing mode, in batches that keep strips, fans and polygons connected.
#ifndef KESTRIX_TESSEL3_VERTEX_ARRAYS_H
#define KESTRIX_TESSEL3_VERTEX_ARRAYS_H

#include "glide3x.h"

// Vertices of one drawing call at most: longer arrays go to Direct3D in several calls.
const int vertexArrayBatch = 8192;

// Where the vertices of an array lie: an array of pointers, or records `stride` bytes apart.
struct VertexSource {
    const void *const *pointers;
    const FxU8 *records;
    FxU32 stride;
};

void drawVertexArray(FxU32 mode, FxU32 count, const VertexSource &source);

// A new frame: continued strips and fans have nothing to join.
void forgetJoiningVertices();

#endif
