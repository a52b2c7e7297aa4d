#include "wide_primitives.h"

#include <math.h>
#include <string.h>

#include "device_state.h"
#include "draw_batch.h"
#include "draw_vertex.h"
#include "../core/render_scaling.h"

namespace {

const int quadVertices = 6;

DrawVertex moved(const DrawVertex &v, float dx, float dy) {
    DrawVertex o = v;
    o.x += dx;
    o.y += dy;
    return o;
}

// Lines and points have no winding: nothing of them is culled. The quad is drawn as the point or line
// would have been, through the fog passes where the fog keeps only its colour.
void drawQuad(const DrawVertex &a, const DrawVertex &b, const DrawVertex &c, const DrawVertex &d) {
    const DrawVertex corners[quadVertices] = {a, b, c, a, c, d};
    memcpy(vertexBuffer, corners, sizeof(corners));
    const DWORD cull = sentRenderState(D3DRENDERSTATE_CULLMODE);
    sendRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    drawConvertedVertices(D3DPT_TRIANGLELIST, quadVertices);
    sendRenderState(D3DRENDERSTATE_CULLMODE, cull);
}

} // namespace

bool drawsWidePrimitives() {
    return renderScaling.xScale > 1.0f || renderScaling.yScale > 1.0f;
}

void drawWidePoint() {
    const DrawVertex &p = vertexBuffer[0];
    const float w = renderScaling.xScale, h = renderScaling.yScale;
    drawQuad(p, moved(p, w, 0.0f), moved(p, w, h), moved(p, 0.0f, h));
}

// As Glide's lines, thick along the minor axis: an x-major line covers the scaled rows of its game row.
void drawWideLine() {
    const DrawVertex &a = vertexBuffer[0], &b = vertexBuffer[1];
    const bool xMajor = fabsf(b.x - a.x) >= fabsf(b.y - a.y);
    const float dx = xMajor ? 0.0f : renderScaling.xScale, dy = xMajor ? renderScaling.yScale : 0.0f;
    drawQuad(a, b, moved(b, dx, dy), moved(a, dx, dy));
}
