// Glide 2.x drawing entry points.
#include "glide2x.h"

FX_ENTRY void FX_CALL grDrawTriangle(const GrVertex *, const GrVertex *, const GrVertex *) {}

FX_ENTRY void FX_CALL grDrawLine(const GrVertex *, const GrVertex *) {}

FX_ENTRY void FX_CALL grDrawPoint(const GrVertex *) {}

FX_ENTRY void FX_CALL grDrawPolygon(int, const int *, const GrVertex *) {}

FX_ENTRY void FX_CALL grDrawPolygonVertexList(int, const GrVertex *) {}

FX_ENTRY void FX_CALL grDrawPlanarPolygon(int, const int *, const GrVertex *) {}

FX_ENTRY void FX_CALL grDrawPlanarPolygonVertexList(int, const GrVertex *) {}

FX_ENTRY void FX_CALL grAADrawLine(const GrVertex *, const GrVertex *) {}

FX_ENTRY void FX_CALL grAADrawPoint(const GrVertex *) {}

FX_ENTRY void FX_CALL grAADrawPolygon(int, const int *, const GrVertex *) {}

FX_ENTRY void FX_CALL grAADrawPolygonVertexList(int, const GrVertex *) {}

FX_ENTRY void FX_CALL grAADrawTriangle(const GrVertex *, const GrVertex *, const GrVertex *, FxBool, FxBool,
                                       FxBool) {}

FX_ENTRY void FX_CALL guAADrawTriangleWithClip(const GrVertex *, const GrVertex *, const GrVertex *) {}

FX_ENTRY void FX_CALL guDrawPolygonVertexListWithClip(int, const GrVertex *) {}

FX_ENTRY void FX_CALL guDrawTriangleWithClip(const GrVertex *, const GrVertex *, const GrVertex *) {}
