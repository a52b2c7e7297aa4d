// Primitive assembly and coverage of the software rasteriser: triangles with the top-left fill rule and
// Direct3D 7's pixel centres at integer coordinates, lines and points; every covered pixel is interpolated
// with perspective correction through the vertices' 1/w and handed to the pixel pipeline.
#include "sim/sim_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {
namespace detail {

namespace {

const float byteScale = 255.0f;
const int positionBytes = 16; // x, y, z, rhw
const int colourBytes = 4;
// Vertices snap to 1/256 of a pixel, so that coverage is decided in exact integer arithmetic.
const double subpixelScale = 256.0;
const int64_t subpixelOne = 256;

Colour unpackArgb(DWORD argb) {
    Colour out;
    out.c[0] = static_cast<float>((argb >> 16) & 0xFF) / byteScale;
    out.c[1] = static_cast<float>((argb >> 8) & 0xFF) / byteScale;
    out.c[2] = static_cast<float>(argb & 0xFF) / byteScale;
    out.c[3] = static_cast<float>(argb >> 24) / byteScale;
    return out;
}

DWORD textureCoordinateBytes(DWORD fvf, DWORD set) {
    const DWORD floatBytes = 4;
    switch ((fvf >> (16 + 2 * set)) & 3) {
    case D3DFVF_TEXTUREFORMAT1:
        return floatBytes;
    case D3DFVF_TEXTUREFORMAT3:
        return 3 * floatBytes;
    case D3DFVF_TEXTUREFORMAT4:
        return 4 * floatBytes;
    default:
        return 2 * floatBytes;
    }
}

// Where each part of a vertex lies; stride 0 for a format the rasteriser does not draw.
struct VertexLayout {
    DWORD stride = 0;
    int diffuse = -1, specular = -1;
    int tex[rasterStages] = {-1, -1};
};

VertexLayout layoutOf(DWORD fvf) {
    VertexLayout layout;
    if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW) return layout;
    DWORD at = positionBytes;
    if (fvf & D3DFVF_RESERVED1) at += colourBytes;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = static_cast<int>(at);
        at += colourBytes;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = static_cast<int>(at);
        at += colourBytes;
    }
    DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (DWORD set = 0; set < sets; ++set) {
        if (set < static_cast<DWORD>(rasterStages)) layout.tex[set] = static_cast<int>(at);
        at += textureCoordinateBytes(fvf, set);
    }
    layout.stride = at;
    return layout;
}

RasterVertex readVertex(const unsigned char *bytes, const VertexLayout &layout) {
    RasterVertex v;
    float position[4];
    std::memcpy(position, bytes, sizeof(position));
    v.x = position[0];
    v.y = position[1];
    v.z = position[2];
    v.rhw = position[3];
    DWORD colour = 0xFFFFFFFF; // Direct3D's diffuse without one: opaque white
    if (layout.diffuse >= 0) std::memcpy(&colour, bytes + layout.diffuse, sizeof(colour));
    v.diffuse = unpackArgb(colour);
    colour = 0xFF000000; // no specular colour, and no fog in its alpha
    if (layout.specular >= 0) std::memcpy(&colour, bytes + layout.specular, sizeof(colour));
    v.specular = unpackArgb(colour);
    for (int s = 0; s < rasterStages; ++s) {
        v.tex[s][0] = v.tex[s][1] = 0.0f;
        if (layout.tex[s] >= 0) std::memcpy(v.tex[s], bytes + layout.tex[s], sizeof(v.tex[s]));
    }
    return v;
}

// The pixels a draw may touch: the viewport, within the target.
struct Bounds {
    int left, top, right, bottom; // right and bottom exclusive
};

Bounds boundsOf(const RasterDevice &device) {
    const D3DVIEWPORT7 &vp = device.viewport;
    Bounds b;
    b.left = static_cast<int>(vp.dwX);
    b.top = static_cast<int>(vp.dwY);
    b.right = std::min(static_cast<int>(vp.dwX + vp.dwWidth), static_cast<int>(device.target->width));
    b.bottom = std::min(static_cast<int>(vp.dwY + vp.dwHeight), static_cast<int>(device.target->height));
    return b;
}

// The vertices' attributes mixed by weights that sum to one, divided through 1/w.
class Interpolator {
  public:
    explicit Interpolator(const RasterVertex *const *v, int count) : vertices(v), count(count) {}

    void texture(const float *weights, float out[rasterStages][2]) const {
        float q = 0.0f;
        for (int i = 0; i < count; ++i)
            q += weights[i] * vertices[i]->rhw;
        for (int s = 0; s < rasterStages; ++s)
            for (int k = 0; k < 2; ++k) {
                float sum = 0.0f;
                for (int i = 0; i < count; ++i)
                    sum += weights[i] * vertices[i]->rhw * vertices[i]->tex[s][k];
                out[s][k] = q != 0.0f ? sum / q : 0.0f;
            }
    }

    void fill(const float *weights, Fragment &f) const {
        float q = 0.0f;
        for (int i = 0; i < count; ++i)
            q += weights[i] * vertices[i]->rhw;
        f.z = 0.0f;
        for (int i = 0; i < count; ++i)
            f.z += weights[i] * vertices[i]->z; // depth is linear on the screen
        for (int k = 0; k < colourChannels; ++k) {
            float d = 0.0f, s = 0.0f;
            for (int i = 0; i < count; ++i) {
                float w = weights[i] * vertices[i]->rhw;
                d += w * vertices[i]->diffuse.c[k];
                s += w * vertices[i]->specular.c[k];
            }
            f.diffuse.c[k] = q != 0.0f ? d / q : vertices[0]->diffuse.c[k];
            f.specular.c[k] = q != 0.0f ? s / q : vertices[0]->specular.c[k];
        }
        texture(weights, f.tex);
    }

  private:
    const RasterVertex *const *vertices;
    int count;
};

int64_t snap(float value) {
    return static_cast<int64_t>(std::llround(static_cast<double>(value) * subpixelScale));
}

// A Direct3D top edge (horizontal, interior below) or left edge keeps the pixels whose centres lie on it.
bool ownsCentresOnIt(int64_t dx, int64_t dy) {
    return dy < 0 || (dy == 0 && dx > 0);
}

struct Edge {
    int64_t ax, ay, dx, dy;
    int64_t bias; // 0 for a top or left edge, 1 otherwise
    int64_t at(int64_t px, int64_t py) const { return dx * (py - ay) - dy * (px - ax); }
};

Edge edgeFrom(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    Edge e{ax, ay, bx - ax, by - ay, 0};
    e.bias = ownsCentresOnIt(e.dx, e.dy) ? 0 : 1;
    return e;
}

bool culled(DWORD cullMode, int64_t area) {
    // With y growing downwards a positive area is a clockwise triangle.
    if (cullMode == D3DCULL_CW) return area > 0;
    if (cullMode == D3DCULL_CCW) return area < 0;
    return false;
}

// Far beyond any guard band: such a vertex is not drawn rather than overflowing the fixed-point edges.
const float farthestCoordinate = 1e6f;

bool finiteVertex(const RasterVertex &v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::fabs(v.x) < farthestCoordinate &&
           std::fabs(v.y) < farthestCoordinate;
}

void drawTriangle(const RasterDevice &device, const RasterVertex &a, const RasterVertex &b,
                  const RasterVertex &c) {
    if (!finiteVertex(a) || !finiteVertex(b) || !finiteVertex(c)) return;
    const RasterVertex *v[3] = {&a, &b, &c};
    int64_t x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = snap(v[i]->x);
        y[i] = snap(v[i]->y);
    }
    int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0 || culled(device.renderStates[D3DRENDERSTATE_CULLMODE], area)) return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(x[1], x[2]);
        std::swap(y[1], y[2]);
        area = -area;
    }
    // Edge k lies opposite vertex k, so its value over the area is vertex k's weight.
    const Edge edges[3] = {edgeFrom(x[1], y[1], x[2], y[2]), edgeFrom(x[2], y[2], x[0], y[0]),
                           edgeFrom(x[0], y[0], x[1], y[1])};
    Bounds clip = boundsOf(device);
    int64_t minX = std::min({x[0], x[1], x[2]}), maxX = std::max({x[0], x[1], x[2]});
    int64_t minY = std::min({y[0], y[1], y[2]}), maxY = std::max({y[0], y[1], y[2]});
    int left = static_cast<int>(std::max<int64_t>(clip.left, minX / subpixelOne - 1));
    int right = static_cast<int>(std::min<int64_t>(clip.right - 1, maxX / subpixelOne + 1));
    int top = static_cast<int>(std::max<int64_t>(clip.top, minY / subpixelOne - 1));
    int bottom = static_cast<int>(std::min<int64_t>(clip.bottom - 1, maxY / subpixelOne + 1));
    Interpolator mix(v, 3);
    const float invArea = 1.0f / static_cast<float>(area);
    const float stepX[3] = {static_cast<float>(-edges[0].dy) * invArea,
                            static_cast<float>(-edges[1].dy) * invArea,
                            static_cast<float>(-edges[2].dy) * invArea};
    const float stepY[3] = {static_cast<float>(edges[0].dx) * invArea,
                            static_cast<float>(edges[1].dx) * invArea,
                            static_cast<float>(edges[2].dx) * invArea};
    for (int py = top; py <= bottom; ++py) {
        for (int px = left; px <= right; ++px) {
            int64_t cx = px * subpixelOne, cy = py * subpixelOne;
            int64_t e[3];
            bool inside = true;
            for (int k = 0; k < 3 && inside; ++k) {
                e[k] = edges[k].at(cx, cy);
                inside = e[k] - edges[k].bias >= 0;
            }
            if (!inside) continue;
            float w[3], wx[3], wy[3];
            for (int k = 0; k < 3; ++k) {
                w[k] = static_cast<float>(e[k]) * invArea;
                wx[k] = w[k] + stepX[k] * static_cast<float>(subpixelOne);
                wy[k] = w[k] + stepY[k] * static_cast<float>(subpixelOne);
            }
            Fragment f;
            f.x = px;
            f.y = py;
            mix.fill(w, f);
            mix.texture(wx, f.texDx);
            mix.texture(wy, f.texDy);
            for (int s = 0; s < rasterStages; ++s)
                for (int k = 0; k < 2; ++k) {
                    f.texDx[s][k] -= f.tex[s][k];
                    f.texDy[s][k] -= f.tex[s][k];
                }
            shadeFragment(device, f);
        }
    }
}

bool insideBounds(const Bounds &b, int x, int y) {
    return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

int pixelOf(float coordinate) {
    return static_cast<int>(std::floor(coordinate + 0.5f));
}

void shadeAt(const RasterDevice &device, const Interpolator &mix, const float *weights, int x, int y) {
    Fragment f;
    f.x = x;
    f.y = y;
    mix.fill(weights, f);
    std::memset(f.texDx, 0, sizeof(f.texDx));
    std::memset(f.texDy, 0, sizeof(f.texDy));
    shadeFragment(device, f);
}

void drawPoint(const RasterDevice &device, const RasterVertex &p) {
    if (!finiteVertex(p)) return;
    int x = pixelOf(p.x), y = pixelOf(p.y);
    if (!insideBounds(boundsOf(device), x, y)) return;
    const RasterVertex *v[1] = {&p};
    const float one[1] = {1.0f};
    shadeAt(device, Interpolator(v, 1), one, x, y);
}

// One pixel per column (or row) along the longer axis; the last pixel is left out, as Direct3D does.
void drawLine(const RasterDevice &device, const RasterVertex &a, const RasterVertex &b) {
    if (!finiteVertex(a) || !finiteVertex(b)) return;
    float dx = b.x - a.x, dy = b.y - a.y;
    bool acrossX = std::fabs(dx) >= std::fabs(dy);
    float length = acrossX ? dx : dy;
    if (length == 0.0f) return;
    int first = pixelOf(acrossX ? a.x : a.y), last = pixelOf(acrossX ? b.x : b.y);
    int step = last >= first ? 1 : -1;
    const RasterVertex *v[2] = {&a, &b};
    Interpolator mix(v, 2);
    Bounds bounds = boundsOf(device);
    for (int major = first; major != last; major += step) {
        float t = (static_cast<float>(major) - (acrossX ? a.x : a.y)) / length;
        t = std::min(1.0f, std::max(0.0f, t));
        int minor = pixelOf(acrossX ? a.y + dy * t : a.x + dx * t);
        int x = acrossX ? major : minor, y = acrossX ? minor : major;
        if (!insideBounds(bounds, x, y)) continue;
        const float weights[2] = {1.0f - t, t};
        shadeAt(device, mix, weights, x, y);
    }
}

} // namespace

void rasterisePrimitive(const RasterDevice &device, D3DPRIMITIVETYPE type, DWORD fvf, const void *vertices,
                        DWORD vertexCount, const WORD *indices, DWORD indexCount) {
    VertexLayout layout = layoutOf(fvf);
    if (layout.stride == 0 || !vertices || !device.target || device.target->destroyed) return;
    const unsigned char *bytes = static_cast<const unsigned char *>(vertices);
    std::vector<RasterVertex> v;
    DWORD count = indices ? indexCount : vertexCount;
    v.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        DWORD at = indices ? indices[i] : i;
        if (at >= vertexCount) return;
        v.push_back(readVertex(bytes + static_cast<size_t>(at) * layout.stride, layout));
    }
    switch (type) {
    case D3DPT_POINTLIST:
        for (const RasterVertex &p : v)
            drawPoint(device, p);
        break;
    case D3DPT_LINELIST:
        for (DWORD i = 0; i + 1 < count; i += 2)
            drawLine(device, v[i], v[i + 1]);
        break;
    case D3DPT_LINESTRIP:
        for (DWORD i = 0; i + 1 < count; ++i)
            drawLine(device, v[i], v[i + 1]);
        break;
    case D3DPT_TRIANGLELIST:
        for (DWORD i = 0; i + 2 < count; i += 3)
            drawTriangle(device, v[i], v[i + 1], v[i + 2]);
        break;
    case D3DPT_TRIANGLESTRIP:
        // Every other triangle of a strip is taken in the opposite order, so that all keep one winding.
        for (DWORD i = 0; i + 2 < count; ++i) {
            if (i % 2 == 0)
                drawTriangle(device, v[i], v[i + 1], v[i + 2]);
            else
                drawTriangle(device, v[i + 1], v[i], v[i + 2]);
        }
        break;
    case D3DPT_TRIANGLEFAN:
        for (DWORD i = 1; i + 1 < count; ++i)
            drawTriangle(device, v[0], v[i], v[i + 1]);
        break;
    default:
        break;
    }
}

} // namespace detail
} // namespace sim

namespace sim {

void setRasterising(bool on) {
    detail::world().rasterising = on;
}

} // namespace sim
