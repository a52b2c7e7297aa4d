#include "color_codes.h"

#include "render_state.h"

namespace {

// The single-precision number nearest to 1/255; the products themselves are taken in double precision,
// in the order written, and truncated towards zero, so that the vertex colours match byte for byte.
const double q = static_cast<double>(1.0f / 255.0f);

inline FxU32 computedProduct(FxU32 x, FxU32 y) {
    return static_cast<FxU32>(static_cast<int>(x * q * y * q * 255.0));
}

const FxU32 byteValues = 256;

// Every product of two bytes, worked out once by the rule above: a vertex of the product codes then costs
// a load per channel instead of six floating-point steps.
struct ProductTable {
    FxU8 entries[byteValues * byteValues];
    ProductTable() {
        for (FxU32 x = 0; x < byteValues; ++x)
            for (FxU32 y = 0; y < byteValues; ++y)
                entries[x * byteValues + y] = static_cast<FxU8>(computedProduct(x, y));
    }
};

const ProductTable productTable;

inline FxU32 scaledProduct(FxU32 x, FxU32 y) {
    return productTable.entries[x * byteValues + y];
}

// max(a - b, 0) in each of the red, green and blue bytes. Red and blue share one subtraction and green has
// its own; each lane borrows from a spare bit 8, which stays set exactly where a >= b.
inline FxU32 saturatingSubtractRgb(FxU32 a, FxU32 b) {
    FxU32 redBlue = ((a & 0x00FF00FFu) | 0x01000100u) - (b & 0x00FF00FFu);
    FxU32 green = (((a >> 8) & 0xFFu) | 0x100u) - ((b >> 8) & 0xFFu);
    FxU32 redBlueKeep = ((redBlue >> 8) & 0x00010001u) * 0xFFu;
    FxU32 greenKeep = ((green >> 8) & 1u) * 0xFFu;
    return (redBlue & redBlueKeep) | ((green & greenKeep) << 8);
}

__attribute__((always_inline)) inline FxU32 productRgb(FxU32 v, FxU32 k) {
    return scaledProduct((v >> 16) & 0xFFu, (k >> 16) & 0xFFu) << 16 |
           scaledProduct((v >> 8) & 0xFFu, (k >> 8) & 0xFFu) << 8 | scaledProduct(v & 0xFFu, k & 0xFFu);
}

inline FxU32 alphaInEveryChannel(FxU32 c) {
    return (c >> 24) * 0x010101u;
}

// Each channel of c scaled by the alpha byte of a.
inline FxU32 scaledByAlpha(FxU32 c, FxU32 a) {
    return productRgb(c, alphaInEveryChannel(a));
}

__attribute__((always_inline)) inline FxU32 rgbOf(FxU32 code, FxU32 v, FxU32 k) {
    switch (code) {
    case codeVertex:
        return v & 0xFFFFFFu;
    case codeConstant:
        return k & 0xFFFFFFu;
    case codeHalfVertex:
        return (v >> 1) & 0x7F7F7Fu;
    case codeHalfConstant:
        return (k >> 1) & 0x7F7F7Fu;
    case codeInverseVertex:
        return ~v & 0xFFFFFFu;
    case codeInverseConstant:
        return ~k & 0xFFFFFFu;
    case codeVertexAlpha:
        return alphaInEveryChannel(v);
    case codeConstantAlpha:
        return alphaInEveryChannel(k);
    case codeVertexTimesVertexAlpha:
        return scaledByAlpha(v, v);
    case codeVertexTimesConstantAlpha:
        return scaledByAlpha(v, k);
    case codeConstantTimesVertexAlpha:
        return scaledByAlpha(k, v);
    case codeConstantTimesConstantAlpha:
        return scaledByAlpha(k, k);
    case codeVertexMinusConstant:
        return saturatingSubtractRgb(v, k);
    case codeConstantMinusVertex:
        return saturatingSubtractRgb(k, v);
    case codeQuarterVertex:
        return (v >> 2) & 0x3F3F3Fu;
    case codeVertexTimesConstant:
        return productRgb(v, k);
    case codeOneMinusVertexTimesConstant:
        // 255 - x per byte, with no borrow since every byte is at most 255.
        return 0xFFFFFFu - productRgb(v, k);
    case codeWhite:
        return 0xFFFFFFu;
    default:
        return 0;
    }
}

__attribute__((always_inline)) inline FxU32 alphaOf(FxU32 code, FxU32 v, FxU32 k) {
    FxU32 va = v >> 24;
    FxU32 ka = k >> 24;
    switch (code) {
    case codeVertex:
        return v & 0xFF000000u;
    case codeConstant:
        return k & 0xFF000000u;
    case codeHalfVertex:
        return (v >> 1) & 0x7F000000u;
    case codeHalfConstant:
        return (k >> 1) & 0x7F000000u;
    case codeInverseVertex:
        return ~v & 0xFF000000u;
    case codeInverseConstant:
        return ~k & 0xFF000000u;
    case codeVertexAlpha:
        return v & 0xFF000000u;
    case codeConstantAlpha:
        return k & 0xFF000000u;
    case codeVertexTimesVertexAlpha:
        return scaledProduct(va, va) << 24;
    case codeVertexTimesConstantAlpha:
        return scaledProduct(va, ka) << 24;
    case codeConstantTimesVertexAlpha:
        return scaledProduct(ka, va) << 24;
    case codeConstantTimesConstantAlpha:
        return scaledProduct(ka, ka) << 24;
    case codeVertexMinusConstant:
        return va > ka ? (va - ka) << 24 : 0;
    case codeConstantMinusVertex:
        return ka > va ? (ka - va) << 24 : 0;
    case codeQuarterVertex:
        return (v >> 2) & 0x3F000000u;
    case codeVertexTimesConstant:
        // The alpha form multiplies the constant first; the rounding differs from the RGB form.
        return scaledProduct(ka, va) << 24;
    case codeOneMinusVertexTimesConstant:
        // (1 - Ka Va) can fall a hair below zero for 255 and 255; the int conversion takes it to 0.
        return static_cast<FxU32>(static_cast<int>((1.0 - ka * q * va * q) * 255.0)) << 24;
    case codeWhite:
        return 0xFF000000u;
    default:
        return 0;
    }
}

} // namespace

FxU32 colorCodeRgb(FxU32 code, FxU32 v, FxU32 k) {
    return rgbOf(code, v, k);
}

FxU32 colorCodeAlpha(FxU32 code, FxU32 v, FxU32 k) {
    return alphaOf(code, v, k);
}

FxU32 evaluateColorCode(FxU32 code, FxU32 v, FxU32 k) {
    return alphaOf(code, v, k) | rgbOf(code, v, k);
}

// The codes and the constant read once for the primitive: each switch then takes the same way at every
// vertex, and no call is made per vertex.
void applyColorCodes(DrawVertex *slots, int count) {
    const FxU32 k = renderState.constantColor;
    const FxU32 diffuseAlpha = renderState.diffuseAlphaCode, diffuseRgb = renderState.diffuseRgbCode;
    const FxU32 specularAlpha = renderState.specularAlphaCode, specularRgb = renderState.specularRgbCode;
    for (int i = 0; i < count; ++i) {
        const FxU32 v = slots[i].diffuse;
        slots[i].diffuse = alphaOf(diffuseAlpha, v, k) | rgbOf(diffuseRgb, v, k);
        slots[i].specular = alphaOf(specularAlpha, v, k) | rgbOf(specularRgb, v, k);
    }
}

namespace {

const FxU32 alphaByte = 0xFF000000u, rgbBytes = 0x00FFFFFFu;

// A code as (v & fromVertex) | fixed, where it is one.
struct Pick {
    bool picks;
    FxU32 fromVertex, fixed;
};

// In the alpha byte the vertex and constant alpha codes pick what the plain codes pick; in RGB they spread
// the alpha over the channels, which no mask does.
Pick pick(FxU32 code, FxU32 k, FxU32 channels) {
    const bool alpha = channels == alphaByte;
    switch (code) {
    case codeVertexAlpha:
        if (!alpha) break;
        [[fallthrough]];
    case codeVertex:
        return {true, channels, 0};
    case codeConstantAlpha:
        if (!alpha) break;
        [[fallthrough]];
    case codeConstant:
        return {true, 0, k & channels};
    case codeWhite:
        return {true, 0, channels};
    case codeBlack:
        return {true, 0, 0};
    default:
        break;
    }
    return {false, 0, 0};
}

} // namespace

bool selectsColors(ColorSelection &selection) {
    const FxU32 k = renderState.constantColor;
    const Pick diffuseAlpha = pick(renderState.diffuseAlphaCode, k, alphaByte);
    const Pick diffuseRgb = pick(renderState.diffuseRgbCode, k, rgbBytes);
    const Pick specularAlpha = pick(renderState.specularAlphaCode, k, alphaByte);
    const Pick specularRgb = pick(renderState.specularRgbCode, k, rgbBytes);
    if (!(diffuseAlpha.picks && diffuseRgb.picks && specularAlpha.picks && specularRgb.picks)) return false;
    selection.diffuseFromVertex = diffuseAlpha.fromVertex | diffuseRgb.fromVertex;
    selection.diffuseFixed = diffuseAlpha.fixed | diffuseRgb.fixed;
    selection.specularFromVertex = specularAlpha.fromVertex | specularRgb.fromVertex;
    selection.specularFixed = specularAlpha.fixed | specularRgb.fixed;
    return true;
}

VertexColors computeVertexColors(FxU32 v) {
    FxU32 k = renderState.constantColor;
    VertexColors colors;
    colors.diffuse = alphaOf(renderState.diffuseAlphaCode, v, k) | rgbOf(renderState.diffuseRgbCode, v, k);
    colors.specular = alphaOf(renderState.specularAlphaCode, v, k) | rgbOf(renderState.specularRgbCode, v, k);
    return colors;
}
