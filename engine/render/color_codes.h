// Colour codes: how the diffuse and specular colours of a vertex are computed on the processor from the
// vertex colour V and the constant colour K, for what one Direct3D texture stage cannot express of the
// Voodoo combine units.
#ifndef KESTRIX_COLOR_CODES_H
#define KESTRIX_COLOR_CODES_H

#include "draw_vertex.h"
#include "../glide_values.h"

enum ColorCode : FxU32 {
    codeVertex = 0,
    codeConstant = 1,
    codeHalfVertex = 4,
    codeHalfConstant = 5,
    codeInverseVertex = 6,
    codeInverseConstant = 7,
    // The local alpha in every channel, for the combine factor and function that read it.
    codeVertexAlpha = 8,
    codeConstantAlpha = 9,
    codeVertexMinusConstant = 32,
    codeConstantMinusVertex = 33,
    codeQuarterVertex = 128,
    codeVertexTimesConstant = 192,
    codeOneMinusVertexTimesConstant = 193,
    // A colour scaled by a local alpha: vertex or constant colour, by the vertex or the constant alpha.
    codeVertexTimesVertexAlpha = 194,
    codeVertexTimesConstantAlpha = 195,
    codeConstantTimesVertexAlpha = 196,
    codeConstantTimesConstantAlpha = 197,
    codeBlack = 254,
    codeWhite = 255,
};

// The result of one code for the ARGB colours v and k: red, green and blue by the RGB form of the code,
// alpha by its alpha form (the two forms of code 193 round differently). Unknown codes give 0.
FxU32 evaluateColorCode(FxU32 code, FxU32 v, FxU32 k);

// The RGB form alone (alpha byte 0), and the alpha form alone (in the alpha byte, RGB 0).
FxU32 colorCodeRgb(FxU32 code, FxU32 v, FxU32 k);
FxU32 colorCodeAlpha(FxU32 code, FxU32 v, FxU32 k);

struct VertexColors {
    FxU32 diffuse;
    FxU32 specular;
};

// Diffuse and specular as (V & fromVertex) | fixed each: true when every one of the four codes only picks
// bits of V or of K or gives a fixed value (a constant colour under the vertex alpha, an overlay's usual
// combine), which a vertex then costs a mask and an or.
struct ColorSelection {
    FxU32 diffuseFromVertex, diffuseFixed;
    FxU32 specularFromVertex, specularFixed;
};
bool selectsColors(ColorSelection &selection);

// The diffuse and specular colours of a vertex of colour v, by the four codes the last combine calls
// chose and the current constant colour.
VertexColors computeVertexColors(FxU32 v);
// The same over converted slots whose diffuse colour holds V: both colours of each are replaced.
void applyColorCodes(DrawVertex *slots, int count);

#endif
