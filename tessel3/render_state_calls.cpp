// Glide 3.x entry points of the render state, combine and fog utilities.
#include <float.h>
#include <math.h>

#include "glide3x.h"

#include "library_rules.h"
#include "render/combine_stages.h"
#include "render/combine_table.h"
#include "render/render_state.h"
#include "session/display_device.h"
#include "session/engine_state.h"
#include "session/library_settings.h"

namespace {

// Combine calls made before the first window open still choose their colour codes.
void prepareCombineTable() {
    if (!deviceTables.combineTableBuilt) buildCombineTable(glide3Rules.combineTable);
}

bool drawsLinearFog(GrFogMode_t mode) {
    return mode == GR_FOG_WITH_ITERATED_Z || mode == GR_FOG_WITH_ITERATED_ALPHA_EXT || mode == GR_FOG_MULT2 ||
           mode == GR_FOG_ADD2;
}

} // namespace

FX_ENTRY void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgb_sf, GrAlphaBlendFnc_t rgb_df,
                                           GrAlphaBlendFnc_t, GrAlphaBlendFnc_t) {
    setAlphaBlendFunction(rgb_sf, rgb_df);
}

// The colour inversion of the combine unit is not emulated in Glide 3.
FX_ENTRY void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other, FxBool) {
    prepareCombineTable();
    const CombineEntry *entry = selectColorCombine(function, factor, local, other);
    if (entry == NULL) return;
    renderState.lastColorOp = entry->stageOp;
    sendCombineStages(stageColorPart, true);
}

FX_ENTRY void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other, FxBool) {
    prepareCombineTable();
    const CombineEntry *entry = selectAlphaCombine(function, factor, local, other);
    if (entry == NULL) return;
    renderState.lastAlphaOp = entry->stageOp;
    sendCombineStages(stageAlphaPart, true);
}

// With the TMU setting on, a unit whose colour function is zero contributes nothing, and TMU 0 takes TMU 1's
// texture in by the functions that read the other unit.
FX_ENTRY void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgb_function,
                                   GrCombineFactor_t rgb_factor, GrCombineFunction_t, GrCombineFactor_t,
                                   FxBool, FxBool) {
    setTextureCombine(tmu, rgb_function, rgb_factor);
}

FX_ENTRY void FX_CALL grAlphaControlsITRGBLighting(FxBool) {}

FX_ENTRY void FX_CALL grAlphaTestFunction(GrCmpFnc_t function) {
    setAlphaTestFunction(function);
}

FX_ENTRY void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value) {
    setAlphaTestReference(value);
}

FX_ENTRY void FX_CALL grChromakeyMode(GrChromakeyMode_t mode) {
    setChromakeyMode(mode);
}

// Kept in the application's colour format; it becomes the texture's own pixel layout where a surface is
// keyed.
FX_ENTRY void FX_CALL grChromakeyValue(GrColor_t color) {
    renderState.chromakeyValue = color;
}

FX_ENTRY void FX_CALL grColorMask(FxBool, FxBool) {}

FX_ENTRY void FX_CALL grConstantColorValue(GrColor_t color) {
    setConstantColor(toArgb(color));
}

FX_ENTRY void FX_CALL grCullMode(GrCullMode_t mode) {
    setCullMode(mode);
}

FX_ENTRY void FX_CALL grDepthBiasLevel(FxI32 level) {
    setDepthBiasLevel(static_cast<FxI16>(level));
}

FX_ENTRY void FX_CALL grDepthBufferFunction(GrCmpFnc_t function) {
    setDepthBufferFunction(function);
}

FX_ENTRY void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode) {
    setDepthBufferMode(mode);
}

FX_ENTRY void FX_CALL grDepthMask(FxBool mask) {
    setDepthMask(mask);
}

FX_ENTRY void FX_CALL grDisableAllEffects(void) {
    disableAllEffects();
}

// Dithering is on whenever the display has 16 bits; the mode asked for does not matter.
FX_ENTRY void FX_CALL grDitherMode(GrDitherMode_t) {
    if (settings.ColorDepth == 16) sendRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
}

// Direct3D adds the fog colour at full strength where the Voodoo dims it; Glide 3 games get it at half.
FX_ENTRY void FX_CALL grFogColorValue(GrColor_t color) {
    FxU32 argb = toArgb(color);
    setFogColor(argb, (argb >> 1) & 0x7F7F7Fu);
}

FX_ENTRY void FX_CALL grFogMode(GrFogMode_t mode) {
    setFogMode(mode, drawsLinearFog(mode) ? fogLinear : fogKeepsTableMode);
}

// The 64 entries of Glide's fog table have no Direct3D counterpart.
FX_ENTRY void FX_CALL grFogTable(const GrFog_t *) {}

// The fog utilities leave the application's table alone and program Direct3D's own exponential fog.
FX_ENTRY void FX_CALL guFogGenerateExp(GrFog_t *, float density) {
    setExponentialFog(density, D3DFOG_EXP);
}

FX_ENTRY void FX_CALL guFogGenerateExp2(GrFog_t *, float density) {
    setExponentialFog(density, D3DFOG_EXP2);
}

FX_ENTRY void FX_CALL guFogGenerateLinear(GrFog_t *, float, float) {}

// The w at which Glide's fog table places entry i: four entries per power of two from w = 1.
FX_ENTRY float FX_CALL guFogTableIndexToW(int i) {
    FxU32 index = static_cast<FxU32>(i);
    double w = ldexp(1.0, static_cast<int>(3 + (index >> 2))) / (8.0 - (index & 3));
    return w > FLT_MAX ? HUGE_VALF : static_cast<float>(w);
}
