// Glide 3.x entry points of the render state, combine and fog utilities.
#include <float.h>
#include <math.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"

#include "library_rules.h"
#include "render/combine_table.h"
#include "render/fog_table.h"
#include "render/render_state.h"
#include "core/not_emulated.h"
#include "session/display_device.h"
#include "core/library_settings.h"
#include "texture/texture_memory.h"
#include "render/color_format.h"

namespace {

const GrFogMode_t fogEquationBits = GR_FOG_MULT2 | GR_FOG_ADD2;

// The fog amount comes from the low bits; MULT2 and ADD2 alone fog by the iterated amount.
FogSource fogSourceOf(GrFogMode_t mode) {
    GrFogMode_t amount = mode & ~fogEquationBits;
    if (amount == GR_FOG_WITH_TABLE_ON_Q) return fogFromTable;
    if (amount == GR_FOG_WITH_TABLE_ON_FOGCOORD_EXT) return fogFromCoordinate;
    if (amount == GR_FOG_WITH_ITERATED_Z || amount == GR_FOG_WITH_ITERATED_ALPHA_EXT) return fogLinear;
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

FX_ENTRY void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other, FxBool invert) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, function, factor, local, other, invert);
    colorCombineCall(function, factor, local, other, invert);
}

FX_ENTRY void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other, FxBool invert) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, function, factor, local, other, invert);
    alphaCombineCall(function, factor, local, other, invert);
}

// With the TMU setting on, a unit whose colour function is zero contributes nothing, and TMU 0 takes TMU 1's
// texture in by the functions that read the other unit.
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

FX_ENTRY void FX_CALL grCullMode(GrCullMode_t mode) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, mode);
    setCullMode(mode);
}

FX_ENTRY void FX_CALL grDepthBiasLevel(FxI32 level) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, level);
    setDepthBiasLevel(static_cast<FxI16>(level));
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
