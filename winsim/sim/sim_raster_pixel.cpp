// The pixel pipeline of the software rasteriser, in Direct3D 7's order: texture stages, specular colour,
// fog, alpha test, depth test and write, blend, and the write into the target's pixel format. Dithering
// and colour-write masks are left out.
#include "sim/sim_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {
namespace detail {

namespace {

const int rgbChannels = 3;
const int alphaChannel = 3;
const float byteScale = 255.0f;
const DWORD byteMask = 0xFF;

float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float floatOf(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

Colour argbColour(DWORD argb) {
    Colour out;
    out.c[0] = static_cast<float>((argb >> 16) & byteMask) / byteScale;
    out.c[1] = static_cast<float>((argb >> 8) & byteMask) / byteScale;
    out.c[2] = static_cast<float>(argb & byteMask) / byteScale;
    out.c[3] = static_cast<float>(argb >> 24) / byteScale;
    return out;
}

// The inputs a stage argument can name.
struct StageInputs {
    const Colour *diffuse, *current, *texture, *factor, *specular;
};

Colour argument(DWORD arg, const StageInputs &in) {
    Colour value;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        value = *in.diffuse;
        break;
    case D3DTA_TEXTURE:
        value = *in.texture;
        break;
    case D3DTA_TFACTOR:
        value = *in.factor;
        break;
    case D3DTA_SPECULAR:
        value = *in.specular;
        break;
    default:
        value = *in.current;
        break;
    }
    if (arg & D3DTA_COMPLEMENT)
        for (float &c : value.c)
            c = 1.0f - c;
    if (arg & D3DTA_ALPHAREPLICATE)
        for (int k = 0; k < rgbChannels; ++k)
            value.c[k] = value.c[alphaChannel];
    return value;
}

// One channel of a texture operation; the blends read the alpha that selects between the arguments.
float operate(DWORD op, float a1, float a2, const StageInputs &in) {
    switch (op) {
    case D3DTOP_SELECTARG1:
        return a1;
    case D3DTOP_SELECTARG2:
        return a2;
    case D3DTOP_MODULATE:
        return a1 * a2;
    case D3DTOP_MODULATE2X:
        return 2.0f * a1 * a2;
    case D3DTOP_MODULATE4X:
        return 4.0f * a1 * a2;
    case D3DTOP_ADD:
        return a1 + a2;
    case D3DTOP_ADDSIGNED:
        return a1 + a2 - 0.5f;
    case D3DTOP_ADDSIGNED2X:
        return 2.0f * (a1 + a2 - 0.5f);
    case D3DTOP_SUBTRACT:
        return a1 - a2;
    case D3DTOP_ADDSMOOTH:
        return a1 + a2 - a1 * a2;
    case D3DTOP_BLENDDIFFUSEALPHA:
        return a1 * in.diffuse->c[alphaChannel] + a2 * (1.0f - in.diffuse->c[alphaChannel]);
    case D3DTOP_BLENDTEXTUREALPHA:
        return a1 * in.texture->c[alphaChannel] + a2 * (1.0f - in.texture->c[alphaChannel]);
    case D3DTOP_BLENDFACTORALPHA:
        return a1 * in.factor->c[alphaChannel] + a2 * (1.0f - in.factor->c[alphaChannel]);
    case D3DTOP_BLENDCURRENTALPHA:
        return a1 * in.current->c[alphaChannel] + a2 * (1.0f - in.current->c[alphaChannel]);
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return a1 + a2 * (1.0f - in.texture->c[alphaChannel]);
    default:
        return a1;
    }
}

// The stages from 0 to the first disabled one; false when a colour key discards the pixel.
bool runStages(const RasterDevice &device, const Fragment &f, Colour &current) {
    const Colour factor = argbColour(device.renderStates[D3DRENDERSTATE_TEXTUREFACTOR]);
    const Colour white = {{1.0f, 1.0f, 1.0f, 1.0f}};
    current = f.diffuse;
    for (int s = 0; s < rasterStages; ++s) {
        const DWORD *tss = device.stageStates[s];
        DWORD colourOp = tss[D3DTSS_COLOROP], alphaOp = tss[D3DTSS_ALPHAOP];
        if (colourOp == D3DTOP_DISABLE) break;
        Colour texel = white;
        if (device.textures[s] && !sampleStage(device, s, f, texel)) return false;
        StageInputs in{&f.diffuse, &current, &texel, &factor, &f.specular};
        Colour c1 = argument(tss[D3DTSS_COLORARG1], in), c2 = argument(tss[D3DTSS_COLORARG2], in);
        Colour a1 = argument(tss[D3DTSS_ALPHAARG1], in), a2 = argument(tss[D3DTSS_ALPHAARG2], in);
        Colour next = current;
        for (int k = 0; k < rgbChannels; ++k)
            next.c[k] = clamp01(operate(colourOp, c1.c[k], c2.c[k], in));
        if (alphaOp != D3DTOP_DISABLE)
            next.c[alphaChannel] = clamp01(operate(alphaOp, a1.c[alphaChannel], a2.c[alphaChannel], in));
        current = next;
    }
    return true;
}

// How much of the pixel's own colour fog leaves: the table's formula on the depth, else the vertex's
// amount, which pre-transformed vertices carry in the specular alpha.
float fogKept(const RasterDevice &device, const Fragment &f) {
    const DWORD *rs = device.renderStates;
    float z = f.z, density = floatOf(rs[D3DRENDERSTATE_FOGDENSITY]);
    switch (rs[D3DRENDERSTATE_FOGTABLEMODE]) {
    case D3DFOG_LINEAR: {
        float start = floatOf(rs[D3DRENDERSTATE_FOGSTART]), end = floatOf(rs[D3DRENDERSTATE_FOGEND]);
        return end != start ? clamp01((end - z) / (end - start)) : (z < end ? 1.0f : 0.0f);
    }
    case D3DFOG_EXP:
        return clamp01(std::exp(-density * z));
    case D3DFOG_EXP2:
        return clamp01(std::exp(-(density * z) * (density * z)));
    default:
        return clamp01(f.specular.c[alphaChannel]);
    }
}

bool compare(DWORD function, float value, float reference) {
    switch (function) {
    case D3DCMP_NEVER:
        return false;
    case D3DCMP_LESS:
        return value < reference;
    case D3DCMP_EQUAL:
        return value == reference;
    case D3DCMP_LESSEQUAL:
        return value <= reference;
    case D3DCMP_GREATER:
        return value > reference;
    case D3DCMP_NOTEQUAL:
        return value != reference;
    case D3DCMP_GREATEREQUAL:
        return value >= reference;
    default:
        return true;
    }
}

// The depth test at the pixel, quantised to the buffer's bits, and the write when it passes.
bool depthPasses(const RasterDevice &device, const Fragment &f) {
    const DWORD *rs = device.renderStates;
    SurfaceImpl *z = device.depth;
    if (rs[D3DRENDERSTATE_ZENABLE] == D3DZB_FALSE || !z || z->destroyed) return true;
    if (f.x >= static_cast<int>(z->width) || f.y >= static_cast<int>(z->height)) return true;
    DWORD mask = z->pf.dwZBitMask;
    uint32_t incoming = packChannel(clamp01(f.z), mask);
    uint32_t stored = readPixel(z->row(f.y), z->bpp, f.x) & mask;
    if (!compare(rs[D3DRENDERSTATE_ZFUNC], static_cast<float>(incoming), static_cast<float>(stored)))
        return false;
    if (rs[D3DRENDERSTATE_ZWRITEENABLE]) {
        uint32_t kept = readPixel(z->row(f.y), z->bpp, f.x) & ~mask;
        writePixel(z->row(f.y), z->bpp, f.x, kept | incoming);
    }
    return true;
}

Colour readTarget(const SurfaceImpl *t, uint32_t value) {
    Colour out;
    out.c[0] = unpackChannel(value, t->pf.dwRBitMask);
    out.c[1] = unpackChannel(value, t->pf.dwGBitMask);
    out.c[2] = unpackChannel(value, t->pf.dwBBitMask);
    bool alpha = (t->pf.dwFlags & DDPF_ALPHAPIXELS) && t->pf.dwRGBAlphaBitMask;
    out.c[alphaChannel] = alpha ? unpackChannel(value, t->pf.dwRGBAlphaBitMask) : 1.0f;
    return out;
}

// A blend factor for channel k of the source or destination term.
float blendFactor(DWORD factor, const Colour &src, const Colour &dst, int k) {
    const float sa = src.c[alphaChannel], da = dst.c[alphaChannel];
    switch (factor) {
    case D3DBLEND_ZERO:
        return 0.0f;
    case D3DBLEND_ONE:
        return 1.0f;
    case D3DBLEND_SRCCOLOR:
        return src.c[k];
    case D3DBLEND_INVSRCCOLOR:
        return 1.0f - src.c[k];
    case D3DBLEND_SRCALPHA:
    case D3DBLEND_BOTHSRCALPHA:
        return sa;
    case D3DBLEND_INVSRCALPHA:
    case D3DBLEND_BOTHINVSRCALPHA:
        return 1.0f - sa;
    case D3DBLEND_DESTALPHA:
        return da;
    case D3DBLEND_INVDESTALPHA:
        return 1.0f - da;
    case D3DBLEND_DESTCOLOR:
        return dst.c[k];
    case D3DBLEND_INVDESTCOLOR:
        return 1.0f - dst.c[k];
    case D3DBLEND_SRCALPHASAT:
        return k == alphaChannel ? 1.0f : std::min(sa, 1.0f - da);
    default:
        return 1.0f;
    }
}

// A channel of a 16-bit target keeps the top bits of the rounded 8-bit value, as Wine's Direct3D on
// llvmpipe stores it; rounding to the nearest 5-bit value instead makes a third of the pixels of the Glide 3
// demo one step brighter than Wine's.
uint32_t targetChannel(float value, DWORD mask) {
    const int byteBits = 8;
    if (mask == 0) return 0;
    int shift = 0, bits = 0;
    while (!(mask & (1u << shift)))
        ++shift;
    while (mask & (1u << (shift + bits)))
        ++bits;
    if (bits >= byteBits) return packChannel(value, mask);
    uint32_t byte = static_cast<uint32_t>(std::floor(clamp01(value) * byteScale + 0.5f));
    return ((byte >> (byteBits - bits)) << shift) & mask;
}

void writeTarget(const RasterDevice &device, const Fragment &f, const Colour &src) {
    SurfaceImpl *t = device.target;
    const DWORD *rs = device.renderStates;
    unsigned char *row = t->row(f.y);
    uint32_t old = readPixel(row, t->bpp, f.x);
    Colour out = src;
    if (rs[D3DRENDERSTATE_ALPHABLENDENABLE]) {
        DWORD srcFactor = rs[D3DRENDERSTATE_SRCBLEND], dstFactor = rs[D3DRENDERSTATE_DESTBLEND];
        // The "both" factors set the destination's factor too.
        if (srcFactor == D3DBLEND_BOTHSRCALPHA) dstFactor = D3DBLEND_INVSRCALPHA;
        if (srcFactor == D3DBLEND_BOTHINVSRCALPHA) dstFactor = D3DBLEND_SRCALPHA;
        Colour dst = readTarget(t, old);
        for (int k = 0; k < colourChannels; ++k)
            out.c[k] = clamp01(src.c[k] * blendFactor(srcFactor, src, dst, k) +
                               dst.c[k] * blendFactor(dstFactor, src, dst, k));
    }
    const DDPIXELFORMAT &pf = t->pf;
    uint32_t value = targetChannel(out.c[0], pf.dwRBitMask) | targetChannel(out.c[1], pf.dwGBitMask) |
                     targetChannel(out.c[2], pf.dwBBitMask);
    if ((pf.dwFlags & DDPF_ALPHAPIXELS) && pf.dwRGBAlphaBitMask)
        value |= targetChannel(out.c[alphaChannel], pf.dwRGBAlphaBitMask);
    writePixel(row, t->bpp, f.x, value);
}

} // namespace

float unpackChannel(uint32_t value, DWORD mask) {
    if (mask == 0) return 0.0f;
    int shift = 0;
    while (!(mask & (1u << shift)))
        ++shift;
    uint32_t top = mask >> shift;
    return static_cast<float>((value & mask) >> shift) / static_cast<float>(top);
}

uint32_t packChannel(float value, DWORD mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask & (1u << shift)))
        ++shift;
    uint32_t top = mask >> shift;
    double scaled = std::floor(static_cast<double>(clamp01(value)) * top + 0.5);
    return (static_cast<uint32_t>(scaled) << shift) & mask;
}

void shadeFragment(const RasterDevice &device, const Fragment &f) {
    const DWORD *rs = device.renderStates;
    Colour colour;
    if (!runStages(device, f, colour)) return;
    if (rs[D3DRENDERSTATE_SPECULARENABLE])
        for (int k = 0; k < rgbChannels; ++k)
            colour.c[k] = clamp01(colour.c[k] + f.specular.c[k]);
    if (rs[D3DRENDERSTATE_FOGENABLE]) {
        float kept = fogKept(device, f);
        Colour fog = argbColour(rs[D3DRENDERSTATE_FOGCOLOR]);
        for (int k = 0; k < rgbChannels; ++k)
            colour.c[k] = colour.c[k] * kept + fog.c[k] * (1.0f - kept);
    }
    if (rs[D3DRENDERSTATE_ALPHATESTENABLE]) {
        float reference = static_cast<float>(rs[D3DRENDERSTATE_ALPHAREF] & byteMask) / byteScale;
        // Compared as the 8-bit value the hardware held, not as the float.
        float alpha = std::floor(colour.c[alphaChannel] * byteScale + 0.5f) / byteScale;
        if (!compare(rs[D3DRENDERSTATE_ALPHAFUNC], alpha, reference)) return;
    }
    if (!depthPasses(device, f)) return;
    writeTarget(device, f, colour);
}

} // namespace detail
} // namespace sim
