// Drawing: every Glide primitive, from application vertices read through vertexLayout, is converted and
// handed to the draw batch (draw_batch.h) inside the open scene.
#ifndef KESTRIX_PRIMITIVES_H
#define KESTRIX_PRIMITIVES_H

#include "../glide_values.h"

// Nothing is drawn without a device or through a null pointer.
void drawTriangle(const void *a, const void *b, const void *c);
void drawLine(const void *a, const void *b);
void drawPoint(const void *p);
// A fan of vlist[ilist[0]] … vlist[ilist[nverts - 1]]; fewer than 3 vertices draw nothing.
void drawPolygon(int nverts, const int *ilist, const void *vlist);
// A fan of vlist[0] … vlist[nverts - 1].
void drawPolygonVertexList(int nverts, const void *vlist);

#endif
