#include "vertex_layout.h"

#include "library_rules.h"
#include "render/draw_vertex.h"

GlideVertexLayout glideVertexLayout;

namespace {

const FxU32 pairBytes = 8;
const FxU32 tripleBytes = 12;
const FxU32 floatBytes = 4;

bool enabled(const LayoutParameter &parameter) {
    return parameter.mode != GR_PARAM_DISABLE;
}

FxU32 endOf(const LayoutParameter &parameter, FxU32 bytes) {
    return enabled(parameter) ? parameter.offset + bytes : 0;
}

FxU32 largestEnd(const GlideVertexLayout &g) {
    const FxU32 ends[] = {
        endOf(g.xy, pairBytes),     endOf(g.z, floatBytes),  endOf(g.w, floatBytes),
        endOf(g.fogExt, 0),         endOf(g.a, floatBytes),  endOf(g.rgb, tripleBytes),
        endOf(g.pargb, floatBytes), endOf(g.st0, pairBytes), endOf(g.st1, pairBytes),
        endOf(g.q, floatBytes),     endOf(g.q0, floatBytes), endOf(g.q1, floatBytes),
    };
    FxU32 largest = 0;
    for (FxU32 end : ends)
        if (end > largest) largest = end;
    return largest;
}

// The engine reads a field only where its bit is set, so offsets of disabled parameters never reach a read.
void translateLayout() {
    const GlideVertexLayout &g = glideVertexLayout;
    VertexLayout layout = glide3Rules.vertexLayout;
    layout.stride = vertexLayoutStride();
    layout.fields = 0;
    // Every vertex has a position: the board reads it at the XY offset, 0 until a program sets another, even
    // when the program never enables XY.
    layout.fields |= fieldPosition;
    layout.x = g.xy.offset;
    layout.y = g.xy.offset + floatBytes;
    if (enabled(g.z)) {
        layout.fields |= fieldDepth;
        layout.ooz = g.z.offset;
    }
    // W wins for depth and perspective when both are given; table fog reads the table at 1/q.
    if (enabled(g.w) || enabled(g.q)) {
        layout.fields |= fieldOow;
        layout.oow = enabled(g.w) ? g.w.offset : g.q.offset;
        layout.fogOow = enabled(g.q) ? g.q.offset : g.w.offset;
    }
    if (enabled(g.fogExt)) {
        layout.fields |= fieldFogCoord;
        layout.fogCoord = g.fogExt.offset;
    }
    if (enabled(g.a)) {
        layout.fields |= fieldAlpha;
        layout.alpha = g.a.offset;
    }
    if (enabled(g.rgb)) {
        layout.fields |= fieldRgb;
        layout.red = g.rgb.offset;
        layout.green = g.rgb.offset + floatBytes;
        layout.blue = g.rgb.offset + 2 * floatBytes;
    }
    if (enabled(g.pargb)) {
        layout.fields |= fieldPackedColor;
        layout.packedColor = g.pargb.offset;
    }
    const LayoutParameter *st[2] = {&g.st0, &g.st1};
    const LayoutParameter *q[2] = {&g.q0, &g.q1};
    const FxU32 stField[2] = {fieldSt0, fieldSt1};
    const FxU32 qField[2] = {fieldQ0, fieldQ1};
    for (int tmu = 0; tmu < 2; ++tmu) {
        if (enabled(*st[tmu])) {
            layout.fields |= stField[tmu];
            layout.sow[tmu] = st[tmu]->offset;
            layout.tow[tmu] = st[tmu]->offset + floatBytes;
        }
        if (enabled(*q[tmu])) {
            layout.fields |= qField[tmu];
            layout.q[tmu] = q[tmu]->offset;
        }
    }
    setVertexLayout(layout);
}

LayoutParameter *parameterSlot(FxU32 param) {
    GlideVertexLayout &g = glideVertexLayout;
    switch (param) {
    case GR_PARAM_XY:
        return &g.xy;
    case GR_PARAM_Z:
        return &g.z;
    case GR_PARAM_W:
        return &g.w;
    case GR_PARAM_Q:
        return &g.q;
    case GR_PARAM_FOG_EXT:
        return &g.fogExt;
    case GR_PARAM_A:
        return &g.a;
    case GR_PARAM_RGB:
        return &g.rgb;
    case GR_PARAM_PARGB:
        return &g.pargb;
    case GR_PARAM_ST0:
        return &g.st0;
    case GR_PARAM_ST1:
        return &g.st1;
    case GR_PARAM_Q0:
        return &g.q0;
    case GR_PARAM_Q1:
        return &g.q1;
    default:
        return nullptr;
    }
}

} // namespace

void resetVertexLayout() {
    glideVertexLayout = GlideVertexLayout();
    translateLayout();
}

void setVertexLayoutParameter(FxU32 param, FxI32 offset, FxU32 mode) {
    LayoutParameter *slot = parameterSlot(param);
    if (slot != nullptr) {
        slot->offset = static_cast<FxU32>(offset);
        slot->mode = mode;
        if (mode == GR_PARAM_ENABLE && (param == GR_PARAM_A || param == GR_PARAM_RGB))
            glideVertexLayout.packedColor = 0;
        if (mode == GR_PARAM_ENABLE && param == GR_PARAM_PARGB) glideVertexLayout.packedColor = 1;
    }
    glideVertexLayout.vertexSize = largestEnd(glideVertexLayout);
    translateLayout();
}

void replaceVertexLayout(const GlideVertexLayout &layout) {
    glideVertexLayout = layout;
    translateLayout();
}
