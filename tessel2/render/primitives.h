// Drawing: every Glide primitive becomes one DrawPrimitive of converted vertices inside the open scene.
#ifndef KESTRIX_PRIMITIVES_H
#define KESTRIX_PRIMITIVES_H

#include "glide2x.h"

// Nothing is drawn without a device or through a null pointer.
void drawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c);
void drawLine(const GrVertex *a, const GrVertex *b);
void drawPoint(const GrVertex *p);
// A fan of vlist[ilist[0]] … vlist[ilist[nverts - 1]]; fewer than 3 vertices draw nothing.
void drawPolygon(int nverts, const int *ilist, const GrVertex *vlist);
// A fan of vlist[0] … vlist[nverts - 1].
void drawPolygonVertexList(int nverts, const GrVertex *vlist);

#endif
