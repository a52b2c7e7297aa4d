#include "antialiasing.h"

#include <math.h>

#include "device_state.h"
#include "draw_batch.h"
#include "draw_vertex.h"
#include "primitives.h"
#include "../core/draw_counters.h"
#include "../core/render_context.h"
#include "../core/render_scaling.h"

namespace {

const float fringeGamePixels = 1.0f;
// The fringe of a polygon goes after its vertices; larger polygons are drawn without one.
const int fringeVerticesPerEdge = 6;
const int largestSoftPolygon = vertexBufferSize / (1 + fringeVerticesPerEdge);

// A game pixel wide, however large the picture is drawn.
float fringeWidthNow() {
    return fringeGamePixels * renderScaling.xScale;
}

DrawVertex outer(const DrawVertex &v, float dx, float dy) {
    DrawVertex o = v;
    o.x += dx;
    o.y += dy;
    o.diffuse &= 0x00FFFFFFu;
    return o;
}

float signedArea(const DrawVertex &a, const DrawVertex &b, const DrawVertex &c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

// Appends a triangle wound as `winding` says (its sign), so that culling treats it as the primitive.
void emit(DrawVertex *&out, const DrawVertex &a, const DrawVertex &b, const DrawVertex &c, float winding) {
    bool same = (signedArea(a, b, c) > 0.0f) == (winding > 0.0f);
    *out++ = a;
    *out++ = same ? b : c;
    *out++ = same ? c : b;
}

void drawList(const DrawVertex *from, const DrawVertex *end) {
    if (end > from) drawConvertedTriangles(from, static_cast<int>(end - from));
}

// The fringe outside the marked edges (edge i from vertex i to i + 1; every edge when allEdges) of the
// convex polygon in vertexBuffer[0 … count), drawn after it.
void drawFringe(int count, FxU32 edges, bool allEdges) {
    float area = 0.0f;
    for (int i = 0; i < count; ++i) {
        const DrawVertex &p = vertexBuffer[i], &q = vertexBuffer[(i + 1) % count];
        area += p.x * q.y - q.x * p.y;
    }
    if (!(area != 0.0f)) return;
    DrawVertex *out = vertexBuffer + count;
    for (int i = 0; i < count; ++i) {
        if (!allEdges && !(i < 3 && (edges >> i) & 1u)) continue;
        const DrawVertex &p = vertexBuffer[i], &q = vertexBuffer[(i + 1) % count];
        float ex = q.x - p.x, ey = q.y - p.y, length = sqrtf(ex * ex + ey * ey);
        if (!(length > 0.0f)) continue;
        float scale = (area > 0.0f ? fringeWidthNow() : -fringeWidthNow()) / length;
        DrawVertex po = outer(p, ey * scale, -ex * scale), qo = outer(q, ey * scale, -ex * scale);
        emit(out, p, q, qo, area);
        emit(out, p, qo, po, area);
    }
    drawList(vertexBuffer + count, out);
}

bool ready() {
    return renderContext.device != NULL && !renderContext.clipEmpty;
}

// Lines and points have no winding: nothing of them is culled.
class CullingOff {
  public:
    CullingOff() : saved(sentRenderState(D3DRENDERSTATE_CULLMODE)) {
        sendRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    }
    ~CullingOff() { sendRenderState(D3DRENDERSTATE_CULLMODE, saved); }

  private:
    DWORD saved;
};

// A line as a ridge two pixels wide: full alpha along the line, 0 a pixel to either side.
void softLine(const DrawVertex &a, const DrawVertex &b) {
    float ex = b.x - a.x, ey = b.y - a.y, length = sqrtf(ex * ex + ey * ey);
    float nx = 0.0f, ny = fringeWidthNow();
    if (length > 0.0f) {
        nx = -ey / length * fringeWidthNow();
        ny = ex / length * fringeWidthNow();
    }
    DrawVertex *start = vertexBuffer + 2, *out = start;
    DrawVertex a1 = outer(a, nx, ny), b1 = outer(b, nx, ny), a2 = outer(a, -nx, -ny), b2 = outer(b, -nx, -ny);
    emit(out, a, b, b1, 1.0f);
    emit(out, a, b1, a1, 1.0f);
    emit(out, a, b, b2, 1.0f);
    emit(out, a, b2, a2, 1.0f);
    drawList(start, out);
}

// A point as a pyramid two pixels across: full alpha at its centre, 0 at the square's border.
void softPoint(const DrawVertex &p) {
    const float corners[5][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
    DrawVertex *start = vertexBuffer + 1, *out = start;
    for (int i = 0; i < 4; ++i)
        emit(out, p, outer(p, corners[i][0] * fringeWidthNow(), corners[i][1] * fringeWidthNow()),
             outer(p, corners[i + 1][0] * fringeWidthNow(), corners[i + 1][1] * fringeWidthNow()), 1.0f);
    drawList(start, out);
}

} // namespace

void setOrderedAntialiasing(bool on) {
    orderedAntialiasing = on;
}

void drawSoftConverted(int count) {
    if (!ready()) return;
    CullingOff off;
    if (count == 1) softPoint(vertexBuffer[0]);
    if (count == 2) softLine(vertexBuffer[0], vertexBuffer[1]);
}

void drawAntialiasedTriangle(const void *a, const void *b, const void *c, FxU32 edges) {
    const void *vertices[3] = {a, b, c};
    if (a == NULL || b == NULL || c == NULL || !ready()) return;
    if (!convertVertexPointers(vertices, 3)) return;
    drawConvertedTriangles(vertexBuffer, 3);
    drawCounters.triangles += 1;
    drawFringe(3, edges, false);
}

void drawAntialiasedPolygon(int nverts, const int *ilist, const void *vlist) {
    drawPolygon(nverts, ilist, vlist);
    if (ilist == NULL || vlist == NULL || nverts < 3 || nverts > largestSoftPolygon || !ready()) return;
    if (convertIndexedVertices(ilist, vlist, nverts, 0)) drawFringe(nverts, 0, true);
}

void drawAntialiasedPolygonVertexList(int nverts, const void *vlist) {
    drawPolygonVertexList(nverts, vlist);
    if (vlist == NULL || nverts < 3 || nverts > largestSoftPolygon || !ready()) return;
    if (convertVertexList(vlist, nverts, 0)) drawFringe(nverts, 0, true);
}

void drawAntialiasedLine(const void *a, const void *b) {
    const void *vertices[2] = {a, b};
    if (a == NULL || b == NULL || !ready()) return;
    if (convertVertexPointers(vertices, 2)) drawSoftConverted(2);
}

void drawAntialiasedPoint(const void *p) {
    if (p == NULL || !ready()) return;
    if (convertVertexPointers(&p, 1)) drawSoftConverted(1);
}
