// Glide 2.x drawing entry points. The anti-aliased, planar and clipping variants draw exactly what their
// plain counterparts draw: edge anti-aliasing is a device state chosen at window open, clipping is
// Direct3D's, and a planar polygon is a fan like any other.
#include "glide2x.h"

#include "render/primitives.h"

FX_ENTRY void FX_CALL grDrawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
    drawTriangle(a, b, c);
}

FX_ENTRY void FX_CALL grDrawLine(const GrVertex *v1, const GrVertex *v2) {
    drawLine(v1, v2);
}

FX_ENTRY void FX_CALL grDrawPoint(const GrVertex *p) {
    drawPoint(p);
}

FX_ENTRY void FX_CALL grDrawPolygon(int nverts, const int *ilist, const GrVertex *vlist) {
    drawPolygon(nverts, ilist, vlist);
}

FX_ENTRY void FX_CALL grDrawPolygonVertexList(int nverts, const GrVertex *vlist) {
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL grDrawPlanarPolygon(int nverts, const int *ilist, const GrVertex *vlist) {
    drawPolygon(nverts, ilist, vlist);
}

FX_ENTRY void FX_CALL grDrawPlanarPolygonVertexList(int nverts, const GrVertex *vlist) {
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL grAADrawLine(const GrVertex *v1, const GrVertex *v2) {
    drawLine(v1, v2);
}

FX_ENTRY void FX_CALL grAADrawPoint(const GrVertex *p) {
    drawPoint(p);
}

FX_ENTRY void FX_CALL grAADrawPolygon(int nverts, const int *ilist, const GrVertex *vlist) {
    drawPolygon(nverts, ilist, vlist);
}

FX_ENTRY void FX_CALL grAADrawPolygonVertexList(int nverts, const GrVertex *vlist) {
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL grAADrawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c, FxBool,
                                       FxBool, FxBool) {
    drawTriangle(a, b, c);
}

FX_ENTRY void FX_CALL guAADrawTriangleWithClip(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
    drawTriangle(a, b, c);
}

FX_ENTRY void FX_CALL guDrawPolygonVertexListWithClip(int nverts, const GrVertex *vlist) {
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL guDrawTriangleWithClip(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
    drawTriangle(a, b, c);
}
