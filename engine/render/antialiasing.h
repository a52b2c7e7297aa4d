// Antialiased primitives. Direct3D 7's edge antialiasing is a hint most drivers (Wine's among them) ignore,
// so the soft edges are drawn as geometry: a fringe a pixel wide whose outer vertices have alpha 0, blended
// by the application's own alpha blend as the board's coverage alpha was.
#ifndef KESTRIX_ANTIALIASING_H
#define KESTRIX_ANTIALIASING_H

#include "../glide_values.h"

// Glide 3's GR_AA_ORDERED: points and lines are drawn soft.
extern bool &orderedAntialiasing;
void setOrderedAntialiasing(bool on);

// The edges of a triangle that grAADrawTriangle's flags name: a to b, b to c, c to a.
enum AntialiasEdge : FxU32 {
    edgeAb = 1u << 0,
    edgeBc = 1u << 1,
    edgeCa = 1u << 2,
    everyEdge = edgeAb | edgeBc | edgeCa,
};

void drawAntialiasedTriangle(const void *a, const void *b, const void *c, FxU32 edges);
// Every outer edge of the fan is soft.
void drawAntialiasedPolygon(int nverts, const int *ilist, const void *vlist);
void drawAntialiasedPolygonVertexList(int nverts, const void *vlist);
void drawAntialiasedLine(const void *a, const void *b);
void drawAntialiasedPoint(const void *p);
// A point (count 1) or a line (count 2) already converted into the start of the vertex buffer.
void drawSoftConverted(int count);

#endif
