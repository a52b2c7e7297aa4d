// Glide 3.x entry points of vertex layouts and drawing.
#include <string.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"

#include "render/antialiasing.h"
#include "render/primitives.h"
#include "render/vertex_arrays.h"
#include "vertex_layout.h"

static_assert(arrayPoints == GR_POINTS && arrayLineStrip == GR_LINE_STRIP && arrayLines == GR_LINES &&
                  arrayPolygon == GR_POLYGON && arrayTriangleStrip == GR_TRIANGLE_STRIP &&
                  arrayTriangleFan == GR_TRIANGLE_FAN && arrayTriangles == GR_TRIANGLES &&
                  arrayTriangleStripContinue == GR_TRIANGLE_STRIP_CONTINUE &&
                  arrayTriangleFanContinue == GR_TRIANGLE_FAN_CONTINUE,
              "the engine numbers the vertex array modes as Glide 3 does");

FX_ENTRY void FX_CALL grVertexLayout(FxU32 param, FxI32 offset, FxU32 mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, param, offset, mode);
    setVertexLayoutParameter(param, offset, mode);
}

FX_ENTRY void FX_CALL grGlideGetVertexLayout(void *layout) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{glideVertexLayoutSize});
    if (layout != NULL) memcpy(layout, &glideVertexLayout, sizeof(glideVertexLayout));
}

FX_ENTRY void FX_CALL grGlideSetVertexLayout(const void *layout) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceBytes{layout, glideVertexLayoutSize});
    if (layout == NULL) return;
    GlideVertexLayout copy;
    memcpy(&copy, layout, sizeof(copy));
    replaceVertexLayout(copy);
}

FX_ENTRY void FX_CALL grDrawPoint(const void *pt) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, traceVertex(pt));
    drawPoint(pt);
}

FX_ENTRY void FX_CALL grDrawLine(const void *v1, const void *v2) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, traceVertex(v1), traceVertex(v2));
    drawLine(v1, v2);
}

FX_ENTRY void FX_CALL grDrawTriangle(const void *a, const void *b, const void *c) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, traceVertex(a), traceVertex(b), traceVertex(c));
    drawTriangle(a, b, c);
}

FX_ENTRY void FX_CALL grAADrawTriangle(const void *a, const void *b, const void *c, FxBool ab, FxBool bc,
                                       FxBool ca) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, traceVertex(a), traceVertex(b), traceVertex(c), ab, bc, ca);
    drawAntialiasedTriangle(a, b, c, (ab ? edgeAb : 0u) | (bc ? edgeBc : 0u) | (ca ? edgeCa : 0u));
}

FX_ENTRY void FX_CALL grDrawVertexArray(FxU32 mode, FxU32 count, void *pointers) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, mode, count, traceVertexPointers(pointers, count));
    if (pointers == NULL) return;
    VertexSource source = {static_cast<const void *const *>(pointers), NULL, 0};
    drawVertexArray(mode, count, source);
}

FX_ENTRY void FX_CALL grDrawVertexArrayContiguous(FxU32 mode, FxU32 count, void *vertices, FxU32 stride) {
    EntryLock entryLock(drawOnly);
    if (tracing()) traceCall(__func__, mode, count, traceContiguousVertices(vertices, count, stride), stride);
    glideVertexLayout.strideWords = stride >> 2;
    VertexSource source = {NULL, static_cast<const FxU8 *>(vertices), stride};
    drawVertexArray(mode, count, source);
}
