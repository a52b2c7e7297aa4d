#include "primitives.h"

#include <stddef.h>

#include "antialiasing.h"
#include "draw_vertex.h"
#include "draw_batch.h"
#include "../core/draw_counters.h"
#include "../core/render_context.h"

namespace {

// Converts and draws a list of pointed-to vertices; the result of DrawPrimitive is not examined, a
// degenerate primitive goes to Direct3D as it came, one with a non-finite position is dropped. False when
// nothing was drawn.
bool drawVertices(D3DPRIMITIVETYPE type, const void *const *vertices, int count) {
    for (int i = 0; i < count; ++i)
        if (vertices[i] == NULL) return false;
    if (renderContext.device == NULL || renderContext.clipEmpty) return false;
    DrawVertex *slots = listSlots(count);
    if (!convertVertexPointers(vertices, count, slots)) return false;
    drawListVertices(type, slots, count);
    return true;
}

// A polygon as a triangle fan. One that does not fit the vertex buffer is drawn as several fans around its
// first vertex, each starting at the last vertex of the one before, so every triangle of the one big fan is
// drawn exactly once. ilist null: the vertices are consecutive. A fan with a non-finite position is not
// drawn, nor are the fans after it.
void drawFan(int nverts, const int *ilist, const void *vlist) {
    if (renderContext.device == NULL || renderContext.clipEmpty || vlist == NULL || nverts < 3) return;
    bool finite = ilist ? convertIndexedVertices(ilist, vlist, 1, 0) : convertVertexList(vlist, 1, 0);
    int next = 1;
    for (;;) {
        int take = nverts - next;
        if (take > vertexBufferSize - 1) take = vertexBufferSize - 1;
        if (ilist)
            finite &= convertIndexedVertices(ilist + next, vlist, take, 1);
        else
            finite &= convertVertexList(static_cast<const FxU8 *>(vlist) +
                                            static_cast<ptrdiff_t>(next) * vertexLayout.stride,
                                        take, 1);
        if (!finite) return;
        drawConvertedVertices(D3DPT_TRIANGLEFAN, take + 1);
        drawCounters.triangles += static_cast<FxU32>(take - 1);
        if (next + take >= nverts) return;
        next += take - 1;
    }
}

} // namespace

void drawTriangle(const void *a, const void *b, const void *c) {
    const void *vertices[3] = {a, b, c};
    if (drawVertices(D3DPT_TRIANGLELIST, vertices, 3)) drawCounters.triangles += 1;
}

void drawLine(const void *a, const void *b) {
    const void *vertices[2] = {a, b};
    if (orderedAntialiasing)
        drawAntialiasedLine(a, b);
    else
        drawVertices(D3DPT_LINELIST, vertices, 2);
}

void drawPoint(const void *p) {
    if (orderedAntialiasing)
        drawAntialiasedPoint(p);
    else
        drawVertices(D3DPT_POINTLIST, &p, 1);
}

void drawPolygon(int nverts, const int *ilist, const void *vlist) {
    if (ilist == NULL) return;
    drawFan(nverts, ilist, vlist);
}

void drawPolygonVertexList(int nverts, const void *vlist) {
    drawFan(nverts, NULL, vlist);
}
