// Glide render state applied to the Direct3D device: every state call goes to the device at once.
#ifndef KESTRIX_RENDER_STATE_H
#define KESTRIX_RENDER_STATE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "glide2x.h"

struct RenderState {
    FxU32 constantColor; // ARGB
    FxU32 diffuseRgbCode;
    FxU32 specularRgbCode;
    FxU32 diffuseAlphaCode;
    FxU32 specularAlphaCode;
    FxU32 lastColorOp; // stage-0 D3DTSS_COLOROP last sent by the colour combine, 0 for none
    FxU32 lastAlphaOp; // stage-0 D3DTSS_ALPHAOP last sent by the alpha combine, 0 for none
    GrCmpFnc_t lastAlphaTestFunction;
    GrDepthBufferMode_t depthBufferMode;
    FxU32 chromakeyValue; // ARGB
};

extern RenderState renderState;

// The alpha-test function that no call matches, so the next one is sent.
const GrCmpFnc_t noAlphaTestFunction = -1;

// One SetRenderState or stage SetTextureStageState on the open device; nothing without a device.
void sendRenderState(D3DRENDERSTATETYPE state, DWORD value);
void sendStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);

void setColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                     GrCombineOther_t other, FxBool invert);
void setAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                     GrCombineOther_t other);
void setTextureCombine(GrChipID_t tmu, GrCombineFunction_t rgbFunction, GrCombineFactor_t rgbFactor);
void setAlphaBlendFunction(GrAlphaBlendFnc_t source, GrAlphaBlendFnc_t destination);
void setAlphaTestFunction(GrCmpFnc_t function);
void setAlphaTestReference(GrAlpha_t value);
void setConstantColor(FxU32 argb);
// a, r, g and b from 0.0 to 1.0 as one ARGB colour.
FxU32 colorFromFloats(float a, float r, float g, float b);
void setDepthBufferMode(GrDepthBufferMode_t mode);
void setDepthBufferFunction(GrCmpFnc_t function);
void setDepthBiasLevel(FxI16 level);
void setDepthMask(FxBool mask);
// linearFog: the mode draws Direct3D's linear fog; other modes keep the table mode last set.
void setFogMode(GrFogMode_t mode, bool linearFog);
void setFogColor(FxU32 argb);
void setExponentialFog(float density, D3DFOGMODE tableMode);
void setChromakeyMode(GrChromakeyMode_t mode);
void setCullMode(GrCullMode_t mode);
void setDitherMode(GrDitherMode_t mode);
void disableAllEffects();

#endif
