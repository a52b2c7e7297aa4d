#include "draw_batch.h"

#include <string.h>

#include "fog_passes.h"
#include "wide_primitives.h"
#include "../session/presentation.h"
#include "../core/render_context.h"

namespace {

// Whole triangles and whole lines; the same bound as one primitive of the vertex buffer.
const int batchCapacity = vertexBufferSize - vertexBufferSize % 6;

struct DrawBatch {
    D3DPRIMITIVETYPE type;
    int count;
    DrawVertex vertices[batchCapacity];
};

DrawBatch batch;

// Room for at least `unit` more vertices of `type`; returns how many whole units fit.
int roomFor(D3DPRIMITIVETYPE type, int unit) {
    if (batch.count > 0 && (batch.type != type || batch.count + unit > batchCapacity)) flushDrawBatch();
    batch.type = type;
    return (batchCapacity - batch.count) / unit;
}

void appendList(D3DPRIMITIVETYPE type, const DrawVertex *from, int count, int unit) {
    while (count >= unit) {
        int units = roomFor(type, unit);
        int take = count / unit < units ? count / unit : units;
        memcpy(batch.vertices + batch.count, from, static_cast<size_t>(take * unit) * sizeof(DrawVertex));
        batch.count += take * unit;
        from += take * unit;
        count -= take * unit;
    }
}

void drawAtOnce(D3DPRIMITIVETYPE type, int count) {
    flushDrawBatch();
    if (fogNeedsPasses())
        drawWithFogPasses(type, count);
    else
        renderContext.device->DrawPrimitive(type, drawVertexFormat, vertexBuffer, static_cast<DWORD>(count),
                                            0);
}

} // namespace

void drawConvertedVertices(D3DPRIMITIVETYPE type, int count) {
    if (renderContext.device == NULL || count <= 0) return;
    prepareToDraw();
    const int corners = 3, lineEnds = 2, point = 1;
    if ((type == D3DPT_POINTLIST || type == D3DPT_LINELIST) && drawsWidePrimitives())
        return count == point ? drawWidePoint() : drawWideLine();
    if (fogNeedsPasses()) return drawAtOnce(type, count);
    switch (type) {
    case D3DPT_TRIANGLELIST:
        return appendList(type, vertexBuffer, count, corners);
    case D3DPT_LINELIST:
        return appendList(type, vertexBuffer, count, lineEnds);
    case D3DPT_POINTLIST:
        return appendList(type, vertexBuffer, count, point);
    default:
        return drawAtOnce(type, count);
    }
}

DrawVertex *listSlots(int count) {
    return batch.count + count <= batchCapacity ? batch.vertices + batch.count : vertexBuffer;
}

void drawListVertices(D3DPRIMITIVETYPE type, DrawVertex *slots, int count) {
    if (slots == vertexBuffer) return drawConvertedVertices(type, count);
    if (renderContext.device == NULL || count <= 0) return;
    const size_t bytes = static_cast<size_t>(count) * sizeof(DrawVertex);
    if ((type == D3DPT_POINTLIST || type == D3DPT_LINELIST) && drawsWidePrimitives()) {
        memmove(vertexBuffer, slots, bytes);
        return drawConvertedVertices(type, count);
    }
    // Either may draw what the batch holds, and the slots then lie past its end.
    prepareToDraw();
    if (fogNeedsPasses()) {
        memcpy(vertexBuffer, slots, bytes);
        return drawAtOnce(type, count);
    }
    if (batch.count > 0 && batch.type != type) flushDrawBatch();
    DrawVertex *end = batch.vertices + batch.count;
    if (slots != end) memmove(end, slots, bytes);
    batch.type = type;
    batch.count += count;
}

void drawConvertedTriangles(const DrawVertex *first, int count) {
    const int corners = 3;
    if (renderContext.device == NULL) return;
    prepareToDraw();
    appendList(D3DPT_TRIANGLELIST, first, count, corners);
}

void flushDrawBatch() {
    int count = batch.count;
    batch.count = 0;
    if (count == 0 || renderContext.device == NULL) return;
    renderContext.device->DrawPrimitive(batch.type, drawVertexFormat, batch.vertices,
                                        static_cast<DWORD>(count), 0);
}

void dropDrawBatch() {
    batch.count = 0;
}
