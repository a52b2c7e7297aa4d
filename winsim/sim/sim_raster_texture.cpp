// Texture sampling of the software rasteriser: the mipmap level from the coordinates' change per pixel,
// point or bilinear filtering with texel centres at half coordinates, wrap, mirror and clamp addressing,
// and the source colour key that Direct3D 7 applies to textures when colour keying is on.
#include "sim/sim_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {
namespace detail {

namespace {

const float halfTexel = 0.5f;

float floatOf(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

int addressed(int i, int size, DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_CLAMP:
    case D3DTADDRESS_BORDER:
        return std::min(std::max(i, 0), size - 1);
    case D3DTADDRESS_MIRROR: {
        int period = 2 * size, m = ((i % period) + period) % period;
        return m < size ? m : period - 1 - m;
    }
    default:
        return ((i % size) + size) % size;
    }
}

uint32_t rawTexel(SurfaceImpl *level, int x, int y) {
    return readPixel(level->row(y), level->bpp, x);
}

Colour decode(const SurfaceImpl *level, uint32_t value) {
    const DDPIXELFORMAT &pf = level->pf;
    Colour out;
    if ((pf.dwFlags & DDPF_PALETTEINDEXED8) && level->palette) {
        const std::vector<PALETTEENTRY> &entries = level->palette->entries;
        PALETTEENTRY e = value < entries.size() ? entries[value] : PALETTEENTRY{0, 0, 0, 0};
        const float byteScale = 255.0f;
        out.c[0] = e.peRed / byteScale;
        out.c[1] = e.peGreen / byteScale;
        out.c[2] = e.peBlue / byteScale;
        out.c[3] = 1.0f;
        return out;
    }
    out.c[0] = unpackChannel(value, pf.dwRBitMask);
    out.c[1] = unpackChannel(value, pf.dwGBitMask);
    out.c[2] = unpackChannel(value, pf.dwBBitMask);
    bool alpha = (pf.dwFlags & DDPF_ALPHAPIXELS) && pf.dwRGBAlphaBitMask;
    out.c[3] = alpha ? unpackChannel(value, pf.dwRGBAlphaBitMask) : 1.0f;
    return out;
}

// The texel's raw value within the root surface's source colour key.
bool keyedOut(const SurfaceImpl *root, uint32_t value) {
    const int sourceKey = keyIndex(DDCKEY_SRCBLT);
    if (!root->hasKey[sourceKey]) return false;
    const DDCOLORKEY &key = root->keys[sourceKey];
    uint32_t mask = root->bpp >= 4 ? 0xFFFFFFFFu : (1u << (8 * root->bpp)) - 1;
    if (root->pf.dwFlags & DDPF_ALPHAPIXELS) mask &= ~root->pf.dwRGBAlphaBitMask;
    uint32_t v = value & mask;
    return v >= (key.dwColorSpaceLowValue & mask) && v <= (key.dwColorSpaceHighValue & mask);
}

struct Sampler {
    SurfaceImpl *root;
    DWORD addressU, addressV;
    bool keyed;
};

// One level at (u, v); keyed is set when the texel nearest to the sample is the colour key.
Colour sampleLevel(const Sampler &s, SurfaceImpl *level, float u, float v, bool bilinear, bool &keyed) {
    const int w = static_cast<int>(level->width), h = static_cast<int>(level->height);
    float x = u * static_cast<float>(w), y = v * static_cast<float>(h);
    int nx = addressed(static_cast<int>(std::floor(x)), w, s.addressU);
    int ny = addressed(static_cast<int>(std::floor(y)), h, s.addressV);
    keyed = s.keyed && keyedOut(s.root, rawTexel(level, nx, ny));
    if (!bilinear) return decode(level, rawTexel(level, nx, ny));
    x -= halfTexel;
    y -= halfTexel;
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    int xs[2] = {addressed(x0, w, s.addressU), addressed(x0 + 1, w, s.addressU)};
    int ys[2] = {addressed(y0, h, s.addressV), addressed(y0 + 1, h, s.addressV)};
    const float wx[2] = {1.0f - fx, fx}, wy[2] = {1.0f - fy, fy};
    Colour out = {{0.0f, 0.0f, 0.0f, 0.0f}};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            Colour t = decode(level, rawTexel(level, xs[i], ys[j]));
            for (int k = 0; k < colourChannels; ++k)
                out.c[k] += t.c[k] * wx[i] * wy[j];
        }
    return out;
}

// log2 of the texels a pixel step covers on the largest level.
float levelOfDetail(const SurfaceImpl *root, const float dx[2], const float dy[2]) {
    float w = static_cast<float>(root->width), h = static_cast<float>(root->height);
    float across = std::hypot(dx[0] * w, dx[1] * h), down = std::hypot(dy[0] * w, dy[1] * h);
    float rho = std::max(across, down);
    return rho > 0.0f ? std::log2(rho) : -1000.0f;
}

} // namespace

bool sampleStage(const RasterDevice &device, int stage, const Fragment &f, Colour &out) {
    SurfaceImpl *root = device.textures[stage];
    const DWORD *tss = device.stageStates[stage];
    int set = static_cast<int>(tss[D3DTSS_TEXCOORDINDEX] & 0xFFFF);
    if (set >= rasterStages) set = stage;
    if (root->mem.empty() || root->width == 0 || root->height == 0) return true;
    std::vector<SurfaceImpl *> levels{root};
    if (root->mipmapChain)
        for (SurfaceImpl *l : root->chain)
            if (!l->destroyed && !l->mem.empty()) levels.push_back(l);
    float lod = levelOfDetail(root, f.texDx[set], f.texDy[set]) + floatOf(tss[D3DTSS_MIPMAPLODBIAS]);
    bool magnified = lod <= 0.0f;
    bool bilinear =
        magnified ? tss[D3DTSS_MAGFILTER] == D3DTFG_LINEAR : tss[D3DTSS_MINFILTER] == D3DTFN_LINEAR;
    Sampler s{root, tss[D3DTSS_ADDRESSU], tss[D3DTSS_ADDRESSV],
              device.renderStates[D3DRENDERSTATE_COLORKEYENABLE] != FALSE};
    const float u = f.tex[set][0], v = f.tex[set][1];
    const int last = static_cast<int>(levels.size()) - 1;
    DWORD mip = tss[D3DTSS_MIPFILTER];
    bool keyed = false;
    if (mip == D3DTFP_NONE || magnified || last == 0) {
        out = sampleLevel(s, levels[0], u, v, bilinear, keyed);
    } else if (mip == D3DTFP_POINT) {
        int level = std::min(last, static_cast<int>(std::floor(lod + halfTexel)));
        out = sampleLevel(s, levels[static_cast<size_t>(level)], u, v, bilinear, keyed);
    } else {
        int lower = std::min(last, static_cast<int>(std::floor(lod)));
        int upper = std::min(last, lower + 1);
        float t = std::min(1.0f, lod - static_cast<float>(lower));
        bool keyedUpper = false;
        Colour a = sampleLevel(s, levels[static_cast<size_t>(lower)], u, v, bilinear, keyed);
        Colour b = sampleLevel(s, levels[static_cast<size_t>(upper)], u, v, bilinear, keyedUpper);
        for (int k = 0; k < colourChannels; ++k)
            out.c[k] = a.c[k] * (1.0f - t) + b.c[k] * t;
    }
    return !keyed;
}

} // namespace detail
} // namespace sim
