#include "vertex_conversion.h"

DrawVertex vertexBuffer[vertexBufferSize];
VertexLayout vertexLayout;

namespace {

struct CurrentLayout {
    static const VertexLayout &get() { return vertexLayout; }
};

} // namespace

const VertexConverters currentLayoutConverters =
    vertex_conversion::LayoutConversion<CurrentLayout>::converters;
VertexConverters vertexConverters = currentLayoutConverters;

bool convertVertexPointers(const void *const *vertices, int count) {
    return vertexConverters.pointers(vertices, count);
}

bool convertVertexList(const void *vlist, int count, int first) {
    return vertexConverters.list(vlist, count, first);
}

bool convertIndexedVertices(const int *ilist, const void *vlist, int count, int first) {
    return vertexConverters.indexed(ilist, vlist, count, first);
}
