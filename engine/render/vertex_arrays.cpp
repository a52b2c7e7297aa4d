#include "vertex_arrays.h"

#include <stddef.h>

#include "antialiasing.h"
#include "draw_batch.h"
#include "draw_vertex.h"
#include "../core/draw_counters.h"
#include "../core/render_context.h"

static_assert(vertexArrayBatch <= vertexBufferSize, "a batch fits the vertex buffer");

namespace {

bool convertRun(const VertexSource &source, FxU32 from, int count, int first) {
    if (source.pointers != NULL)
        return convertVertexPointers(source.pointers + from, count, vertexBuffer + first);
    vertexLayout.stride = source.stride;
    return convertVertexList(source.records + static_cast<size_t>(from) * source.stride, count, first);
}

int smaller(FxU32 remaining, int room) {
    return remaining < static_cast<FxU32>(room) ? static_cast<int>(remaining) : room;
}

// One primitive of `size` vertices per call, the next starting `step` vertices on: points and lines.
void drawEach(D3DPRIMITIVETYPE type, FxU32 count, const VertexSource &source, FxU32 size, FxU32 step) {
    for (FxU32 first = 0; count >= size && first <= count - size; first += step) {
        if (!convertRun(source, first, static_cast<int>(size), 0)) continue;
        if (orderedAntialiasing)
            drawSoftConverted(static_cast<int>(size));
        else
            drawConvertedVertices(type, static_cast<int>(size));
    }
}

void drawTriangleList(FxU32 count, const VertexSource &source) {
    const int room = vertexArrayBatch - vertexArrayBatch % 3;
    FxU32 whole = count - count % 3;
    for (FxU32 next = 0; next < whole;) {
        int take = smaller(whole - next, room);
        if (convertRun(source, next, take, 0)) {
            drawConvertedVertices(D3DPT_TRIANGLELIST, take);
            drawCounters.triangles += static_cast<FxU32>(take / 3);
        }
        next += static_cast<FxU32>(take);
    }
}

// Puts the joining vertices at the start of the buffer. Before an odd triangle the first is doubled: the
// degenerate triangle that makes keeps every later one on the winding of the strip it continues.
int placeStripJoin() {
    const JoiningVertices &join = vertexJoins.strip;
    int at = 0;
    if (join.count == 2 && join.oddNext) vertexBuffer[at++] = join.vertex[0];
    for (int i = 0; i < join.count; ++i)
        vertexBuffer[at++] = join.vertex[i];
    return at;
}

void drawStrip(FxU32 count, const VertexSource &source, bool continued) {
    JoiningVertices &join = vertexJoins.strip;
    if (!continued) join = JoiningVertices();
    for (FxU32 next = 0; next < count;) {
        int prefix = placeStripJoin();
        int degenerate = prefix == 3 ? 1 : 0;
        int take = smaller(count - next, vertexArrayBatch - prefix);
        bool finite = convertRun(source, next, take, prefix);
        int total = prefix + take;
        int triangles = total - 2 - degenerate;
        if (triangles > 0 && finite) {
            drawConvertedVertices(D3DPT_TRIANGLESTRIP, total);
            drawCounters.triangles += static_cast<FxU32>(triangles);
        }
        if (triangles > 0 && triangles % 2 != 0) join.oddNext = !join.oddNext;
        join.count = total < 2 ? total : 2;
        for (int i = 0; i < join.count; ++i)
            join.vertex[i] = vertexBuffer[total - join.count + i];
        next += static_cast<FxU32>(take);
    }
}

// A fan around its first vertex; join holds the centre and the last vertex drawn.
void drawFan(FxU32 count, const VertexSource &source, JoiningVertices &join) {
    for (FxU32 next = 0; next < count;) {
        for (int i = 0; i < join.count; ++i)
            vertexBuffer[i] = join.vertex[i];
        int prefix = join.count;
        int take = smaller(count - next, vertexArrayBatch - prefix);
        bool finite = convertRun(source, next, take, prefix);
        int total = prefix + take;
        if (total >= 3 && finite) {
            drawConvertedVertices(D3DPT_TRIANGLEFAN, total);
            drawCounters.triangles += static_cast<FxU32>(total - 2);
        }
        join.vertex[0] = vertexBuffer[0];
        if (total >= 2) join.vertex[1] = vertexBuffer[total - 1];
        join.count = total < 2 ? total : 2;
        next += static_cast<FxU32>(take);
    }
}

bool readable(FxU32 count, const VertexSource &source) {
    if (source.pointers == NULL) return source.records != NULL;
    for (FxU32 i = 0; i < count; ++i)
        if (source.pointers[i] == NULL) return false;
    return true;
}

} // namespace

void drawVertexArray(FxU32 mode, FxU32 count, const VertexSource &source) {
    if (renderContext.device == NULL || renderContext.clipEmpty || !readable(count, source)) return;
    switch (mode) {
    case arrayPoints:
        drawEach(D3DPT_POINTLIST, count, source, 1, 1);
        break;
    case arrayLineStrip:
        drawEach(D3DPT_LINELIST, count, source, 2, 1);
        break;
    case arrayLines:
        drawEach(D3DPT_LINELIST, count, source, 2, 2);
        break;
    case arrayPolygon: {
        JoiningVertices polygon = JoiningVertices();
        drawFan(count, source, polygon);
        break;
    }
    case arrayTriangleStrip:
    case arrayTriangleStripContinue:
        drawStrip(count, source, mode == arrayTriangleStripContinue);
        break;
    case arrayTriangleFan:
        vertexJoins.fan = JoiningVertices();
        drawFan(count, source, vertexJoins.fan);
        break;
    case arrayTriangleFanContinue:
        drawFan(count, source, vertexJoins.fan);
        break;
    case arrayTriangles:
        drawTriangleList(count, source);
        break;
    default:
        break;
    }
}
