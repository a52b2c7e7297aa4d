// Glide 2.x drawing entry points. The planar and clipping variants draw exactly what their plain
// counterparts draw: clipping is Direct3D's, and a planar polygon is a fan like any other.
#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"

#include "render/antialiasing.h"
#include "render/primitives.h"

FX_ENTRY void FX_CALL grDrawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, traceVertex(a), traceVertex(b), traceVertex(c));
    drawTriangle(a, b, c);
}

FX_ENTRY void FX_CALL grDrawLine(const GrVertex *v1, const GrVertex *v2) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, traceVertex(v1), traceVertex(v2));
    drawLine(v1, v2);
}

FX_ENTRY void FX_CALL grDrawPoint(const GrVertex *p) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, traceVertex(p));
    drawPoint(p);
}

FX_ENTRY void FX_CALL grDrawPolygon(int nverts, const int *ilist, const GrVertex *vlist) {
    EntryLock entryLock(drawOnly);
    if (tracing())
        traceCall(__func__, nverts, traceIndices(ilist, nverts), traceIndexedVertices(vlist, ilist, nverts));
    drawPolygon(nverts, ilist, vlist);
}

FX_ENTRY void FX_CALL grDrawPolygonVertexList(int nverts, const GrVertex *vlist) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, nverts, traceVertices(vlist, nverts));
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL grDrawPlanarPolygon(int nverts, const int *ilist, const GrVertex *vlist) {
    EntryLock entryLock(drawOnly);
    if (tracing())
        traceCall(__func__, nverts, traceIndices(ilist, nverts), traceIndexedVertices(vlist, ilist, nverts));
    drawPolygon(nverts, ilist, vlist);
}

FX_ENTRY void FX_CALL grDrawPlanarPolygonVertexList(int nverts, const GrVertex *vlist) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, nverts, traceVertices(vlist, nverts));
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL grAADrawLine(const GrVertex *v1, const GrVertex *v2) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, traceVertex(v1), traceVertex(v2));
    drawAntialiasedLine(v1, v2);
}

FX_ENTRY void FX_CALL grAADrawPoint(const GrVertex *p) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, traceVertex(p));
    drawAntialiasedPoint(p);
}

FX_ENTRY void FX_CALL grAADrawPolygon(int nverts, const int *ilist, const GrVertex *vlist) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, nverts, traceIndices(ilist, nverts), traceIndexedVertices(vlist, ilist, nverts));
    drawAntialiasedPolygon(nverts, ilist, vlist);
}

FX_ENTRY void FX_CALL grAADrawPolygonVertexList(int nverts, const GrVertex *vlist) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, nverts, traceVertices(vlist, nverts));
    drawAntialiasedPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL grAADrawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c, FxBool ab,
                                       FxBool bc, FxBool ca) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, traceVertex(a), traceVertex(b), traceVertex(c), ab, bc, ca);
    drawAntialiasedTriangle(a, b, c, (ab ? edgeAb : 0u) | (bc ? edgeBc : 0u) | (ca ? edgeCa : 0u));
}

FX_ENTRY void FX_CALL guAADrawTriangleWithClip(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, traceVertex(a), traceVertex(b), traceVertex(c));
    drawAntialiasedTriangle(a, b, c, everyEdge);
}

FX_ENTRY void FX_CALL guDrawPolygonVertexListWithClip(int nverts, const GrVertex *vlist) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, nverts, traceVertices(vlist, nverts));
    drawPolygonVertexList(nverts, vlist);
}

FX_ENTRY void FX_CALL guDrawTriangleWithClip(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, traceVertex(a), traceVertex(b), traceVertex(c));
    drawTriangle(a, b, c);
}
