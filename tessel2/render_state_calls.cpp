// Glide 2.x entry points of the render state, combine and fog utilities.
#include <float.h>
#include <math.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"
#include "library_rules.h"
#include "render/combine_table.h"
#include "render/fog_table.h"
#include "render/render_state.h"
#include "core/not_emulated.h"
#include "texture/texture_memory.h"
#include "session/display_device.h"
#include "session/gamma.h"
#include "render/color_format.h"

namespace {

struct CombineArguments {
    GrCombineFunction_t function;
    GrCombineFactor_t factor;
    GrCombineLocal_t local;
    GrCombineOther_t other;
    FxBool invert;
};

const FxI32 noCall = -1;

// Indexed by GR_COLORCOMBINE_*.
const CombineArguments colorCombineModes[] = {
    {GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_CONSTANT,
     0},
    {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_CONSTANT,
     0},
    {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT,
     0},
    {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT,
     0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_CONSTANT,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
     GR_COMBINE_OTHER_TEXTURE, 0},
    // GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB has no translation and changes nothing.
    {noCall, 0, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
     GR_COMBINE_OTHER_ITERATED, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
    // GR_COLORCOMBINE_ONE: the inverted zero function is white.
    {GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_CONSTANT,
     1},
};

// Indexed by GR_ALPHASOURCE_*.
const CombineArguments alphaSources[] = {
    {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_CONSTANT,
     0},
    {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT,
     0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
     GR_COMBINE_OTHER_TEXTURE, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
     GR_COMBINE_OTHER_TEXTURE, 0},
};

// Indexed by GR_TEXTURECOMBINE_*; local and other are unused.
const CombineArguments textureCombineModes[] = {
    {GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, 0, 0, 0},
    {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ONE, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOD_FRACTION, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION, 0, 0, 0},
    {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOD_FRACTION, 0, 0, 0},
    {GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, 0, 0, 1},
};

template <size_t count>
const CombineArguments *lookupMode(const CombineArguments (&modes)[count], FxI32 mode) {
    if (static_cast<FxU32>(mode) >= count || modes[mode].function == noCall) return NULL;
    return &modes[mode];
}

const GrFogMode_t fogEquationBits = GR_FOG_MULT2 | GR_FOG_ADD2;

// The fog amount comes from the low bits; MULT2 and ADD2 alone fog by the iterated amount.
FogSource fogSourceOf(GrFogMode_t mode) {
    GrFogMode_t amount = mode & ~fogEquationBits;
    if (amount == GR_FOG_WITH_TABLE) return fogFromTable;
    if (amount == GR_FOG_WITH_ITERATED_ALPHA || amount == GR_FOG_WITH_ITERATED_Z) return fogLinear;
    if (amount == GR_FOG_DISABLE && mode != GR_FOG_DISABLE) return fogLinear;
    return fogKeepsTableMode;
}

} // namespace

FX_ENTRY void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgb_sf, GrAlphaBlendFnc_t rgb_df,
                                           GrAlphaBlendFnc_t alpha_sf, GrAlphaBlendFnc_t alpha_df) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, rgb_sf, rgb_df, alpha_sf, alpha_df);
    setAlphaBlendFunction(rgb_sf, rgb_df);
}

FX_ENTRY void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other, FxBool invert) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, function, factor, local, other, invert);
    alphaCombineCall(function, factor, local, other, invert);
}

FX_ENTRY void FX_CALL grAlphaControlsITRGBLighting(FxBool enable) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, enable);
    if (enable) noteNotEmulated("grAlphaControlsITRGBLighting");
}

FX_ENTRY void FX_CALL grAlphaTestFunction(GrCmpFnc_t function) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, function);
    setAlphaTestFunction(function);
}

FX_ENTRY void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, value);
    setAlphaTestReference(value);
}

FX_ENTRY void FX_CALL grChromakeyMode(GrChromakeyMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setChromakeyMode(mode);
}

FX_ENTRY void FX_CALL grChromakeyValue(GrColor_t color) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, color);
    setChromakeyValue(toArgb(color));
}

FX_ENTRY void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other, FxBool invert) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, function, factor, local, other, invert);
    colorCombineCall(function, factor, local, other, invert);
}

FX_ENTRY void FX_CALL grColorMask(FxBool rgb, FxBool alpha) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, rgb, alpha);
    setColorMask(rgb, alpha);
}

FX_ENTRY void FX_CALL grConstantColorValue(GrColor_t color) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, color);
    setConstantColor(toArgb(color));
}

FX_ENTRY void FX_CALL grConstantColorValue4(float a, float r, float g, float b) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, a, r, g, b);
    setConstantColor(colorFromFloats(a, r, g, b));
}

FX_ENTRY void FX_CALL grCullMode(GrCullMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setCullMode(mode);
}

FX_ENTRY void FX_CALL grDepthBiasLevel(FxI16 level) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, level);
    setDepthBiasLevel(level);
}

FX_ENTRY void FX_CALL grDepthBufferFunction(GrCmpFnc_t function) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, function);
    setDepthBufferFunction(function);
}

FX_ENTRY void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setDepthBufferMode(mode);
}

FX_ENTRY void FX_CALL grDepthMask(FxBool mask) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mask);
    setDepthMask(mask);
}

FX_ENTRY void FX_CALL grDisableAllEffects(void) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__);
    disableAllEffects();
}

FX_ENTRY void FX_CALL grDitherMode(GrDitherMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setDitherMode(mode);
}

FX_ENTRY void FX_CALL grFogColorValue(GrColor_t color) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, color);
    setFogColor(toArgb(color));
}

FX_ENTRY void FX_CALL grFogMode(GrFogMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setFogMode(mode, fogSourceOf(mode));
}

FX_ENTRY void FX_CALL grFogTable(const GrFog_t *table) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceBytes{table, traceFogTableBytes});
    if (table) setFogTable(table);
}

FX_ENTRY void FX_CALL grGammaCorrectionValue(float value) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, value);
    setGammaCorrection(value, value, value);
}

FX_ENTRY void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgb_function,
                                   GrCombineFactor_t rgb_factor, GrCombineFunction_t alpha_function,
                                   GrCombineFactor_t alpha_factor, FxBool rgb_invert, FxBool alpha_invert) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, tmu, rgb_function, rgb_factor, alpha_function, alpha_factor, rgb_invert,
                  alpha_invert);
    if (rgb_invert || alpha_invert) noteNotEmulated("grTexCombine invert");
    setTextureCombine(tmu, rgb_function, rgb_factor);
}

FX_ENTRY void FX_CALL guColorCombineFunction(GrColorCombineFnc_t fnc) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, fnc);
    const CombineArguments *mode = lookupMode(colorCombineModes, fnc);
    if (mode) grColorCombine(mode->function, mode->factor, mode->local, mode->other, mode->invert);
}

FX_ENTRY void FX_CALL guAlphaSource(GrAlphaSource_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    const CombineArguments *source = lookupMode(alphaSources, mode);
    if (source)
        grAlphaCombine(source->function, source->factor, source->local, source->other, source->invert);
}

FX_ENTRY void FX_CALL guTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t fnc) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, fnc);
    const CombineArguments *mode = lookupMode(textureCombineModes, fnc);
    if (mode)
        grTexCombine(tmu, mode->function, mode->factor, mode->function, mode->factor, mode->invert,
                     mode->invert);
}

FX_ENTRY void FX_CALL grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t fnc) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, tmu, fnc);
    guTexCombineFunction(tmu, fnc);
}

// The fog utilities fill the application's table; grFogTable brings it to the device.
FX_ENTRY void FX_CALL guFogGenerateExp(GrFog_t *table, float density) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{traceFogTableBytes}, density);
    if (table) fillExponentialFogTable(table, density);
}

FX_ENTRY void FX_CALL guFogGenerateExp2(GrFog_t *table, float density) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{traceFogTableBytes}, density);
    if (table) fillSquaredExponentialFogTable(table, density);
}

FX_ENTRY void FX_CALL guFogGenerateLinear(GrFog_t *table, float nearW, float farW) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{traceFogTableBytes}, nearW, farW);
    if (table) fillLinearFogTable(table, nearW, farW);
}

// The w at which Glide's fog table places entry i: four entries per power of two from w = 1.
FX_ENTRY float FX_CALL guFogTableIndexToW(int i) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, i);
    FxU32 index = static_cast<FxU32>(i);
    double w = ldexp(1.0, static_cast<int>(3 + (index >> 2))) / (8.0 - (index & 3));
    return w > FLT_MAX ? HUGE_VALF : static_cast<float>(w);
}
