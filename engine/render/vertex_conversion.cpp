#include "vertex_conversion.h"

#include "prepared_conversion.h"

DrawVertex vertexBuffer[vertexBufferSize];

// Above every stamp a record starts with.
unsigned long long conversionInputsGeneration = 1;

void setVertexLayout(const VertexLayout &layout) {
    vertexLayout = layout;
    conversionInputsMayChange();
}

FxU32 vertexLayoutStride() {
    return vertexLayout.stride;
}

namespace {

// Copied once per primitive: the stores into vertexBuffer could otherwise change it as far as the compiler
// knows, and every vertex would read it again.
struct CurrentLayout {
    typedef const VertexLayout Held;
    static const VertexLayout &get() { return vertexLayout; }
};

} // namespace

const VertexConverters currentLayoutConverters =
    vertex_conversion::LayoutConversion<CurrentLayout>::converters;

bool convertVertexPointers(const void *const *vertices, int count, DrawVertex *slots) {
    return vertexConverters.pointers(vertices, count, slots);
}

bool convertVertexList(const void *vlist, int count, int first) {
    return vertexConverters.list(vlist, count, first);
}

bool convertIndexedVertices(const int *ilist, const void *vlist, int count, int first) {
    return vertexConverters.indexed(ilist, vlist, count, first);
}
