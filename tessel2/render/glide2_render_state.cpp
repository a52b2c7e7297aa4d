// Glide 2.x entry points of the render state, combine and fog utilities.
#include "glide2x.h"
#include "render_state.h"
#include "../session/log.h"

FX_ENTRY void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t, GrAlphaBlendFnc_t, GrAlphaBlendFnc_t,
                                           GrAlphaBlendFnc_t) {}

FX_ENTRY void FX_CALL grAlphaCombine(GrCombineFunction_t, GrCombineFactor_t, GrCombineLocal_t,
                                     GrCombineOther_t, FxBool) {}

FX_ENTRY void FX_CALL grAlphaControlsITRGBLighting(FxBool) {}

FX_ENTRY void FX_CALL grAlphaTestFunction(GrCmpFnc_t) {}

FX_ENTRY void FX_CALL grAlphaTestReferenceValue(GrAlpha_t) {}

FX_ENTRY void FX_CALL grChromakeyMode(GrChromakeyMode_t) {}

FX_ENTRY void FX_CALL grChromakeyValue(GrColor_t) {}

FX_ENTRY void FX_CALL grColorCombine(GrCombineFunction_t, GrCombineFactor_t, GrCombineLocal_t,
                                     GrCombineOther_t, FxBool) {}

FX_ENTRY void FX_CALL grColorMask(FxBool, FxBool) {}

FX_ENTRY void FX_CALL grConstantColorValue(GrColor_t) {}

FX_ENTRY void FX_CALL grConstantColorValue4(float, float, float, float) {}

FX_ENTRY void FX_CALL grCullMode(GrCullMode_t) {}

FX_ENTRY void FX_CALL grDepthBiasLevel(FxI16) {}

FX_ENTRY void FX_CALL grDepthBufferFunction(GrCmpFnc_t) {}

FX_ENTRY void FX_CALL grDepthBufferMode(GrDepthBufferMode_t) {
    flushLog();
}

FX_ENTRY void FX_CALL grDepthMask(FxBool) {}

FX_ENTRY void FX_CALL grDisableAllEffects(void) {
    disableAllEffects();
}

FX_ENTRY void FX_CALL grDitherMode(GrDitherMode_t) {}

FX_ENTRY void FX_CALL grFogColorValue(GrColor_t) {}

FX_ENTRY void FX_CALL grFogMode(GrFogMode_t) {}

FX_ENTRY void FX_CALL grFogTable(const GrFog_t *) {}

FX_ENTRY void FX_CALL grGammaCorrectionValue(float) {}

FX_ENTRY void FX_CALL grTexCombine(GrChipID_t, GrCombineFunction_t, GrCombineFactor_t, GrCombineFunction_t,
                                   GrCombineFactor_t, FxBool, FxBool) {}

FX_ENTRY void FX_CALL guColorCombineFunction(GrColorCombineFnc_t) {}

FX_ENTRY void FX_CALL guAlphaSource(GrAlphaSource_t) {}

FX_ENTRY void FX_CALL guTexCombineFunction(GrChipID_t, GrTextureCombineFnc_t) {}

FX_ENTRY void FX_CALL grTexCombineFunction(GrChipID_t, GrTextureCombineFnc_t) {}

FX_ENTRY void FX_CALL guFogGenerateExp(GrFog_t *, float) {}

FX_ENTRY void FX_CALL guFogGenerateExp2(GrFog_t *, float) {}

FX_ENTRY void FX_CALL guFogGenerateLinear(GrFog_t *, float, float) {}

FX_ENTRY float FX_CALL guFogTableIndexToW(int) {
    return 0.0f;
}
