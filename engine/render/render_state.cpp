#include "render_state.h"
#include "../core/library_state.h"
#include "saved_state.h"

#include <string.h>

#include "combine_stages.h"
#include "combine_table.h"
#include "device_tables.h"
#include "../core/card_profiles.h"
#include "../core/library_settings.h"
#include "../core/log.h"
#include "../core/not_emulated.h"
#include "../core/render_context.h"

namespace {

const float linearFogDensity = 0.3f;
const float linearFogStart = 0.98f;
const float linearFogEnd = 1.0f;

DWORD floatBits(float value) {
    DWORD bits;
    memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// One colour channel from 0.0 to 1.0; values outside, and NaN, are held to the byte's range.
FxU32 channelByte(float value) {
    float scaled = value * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<FxU32>(scaled);
}

CombineCall combineCall(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert) {
    return CombineCall{static_cast<FxU8>(function), static_cast<FxU8>(factor), static_cast<FxU8>(local),
                       static_cast<FxU8>(other), static_cast<FxU8>(invert == 1 ? 1 : 0)};
}

bool resendsStageOps() {
    return library.rules != NULL && library.rules->combineTable.resendsStageOps;
}

bool colorWritesOff() {
    return isKnown(groupColorMask) && stateCalls.colorMaskRgb == FXFALSE;
}

void recordTextureCombine(FxI32 tmu, FxI32 rgbFunction, FxI32 rgbFactor) {
    stateCalls.units[tmu].textureFunction = static_cast<FxU8>(rgbFunction);
    stateCalls.units[tmu].textureFactor = static_cast<FxU8>(rgbFactor);
    markKnown(static_cast<FxU32>(groupTextureCombine) << tmu);
}

void sendBlendFactors(FxI32 source, FxI32 destination) {
    FxU32 sourceFactor = static_cast<FxU32>(source);
    FxU32 destinationFactor = static_cast<FxU32>(destination);
    if (sourceFactor < blendTableSize && deviceTables.srcBlendTable[sourceFactor] != 0)
        sendRenderState(D3DRENDERSTATE_SRCBLEND, deviceTables.srcBlendTable[sourceFactor]);
    if (destinationFactor < blendTableSize && deviceTables.dstBlendTable[destinationFactor] != 0)
        sendRenderState(D3DRENDERSTATE_DESTBLEND, deviceTables.dstBlendTable[destinationFactor]);
}

} // namespace

const CombineEntry *selectColorCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other) {
    int index = combineIndex(function, factor, local, other);
    if (index < 0) return NULL;
    CombineEntry &entry = deviceTables.combineTable[index];
    if (!entry.colorTraced) {
        entry.colorTraced = 1;
        logLine("grColorCombine(%d, %d, %d, %d);\n", function, factor, local, other);
    }
    renderState.diffuseRgbCode = entry.diffuseCode;
    renderState.specularRgbCode = entry.specularCode;
    deviceCombine.colorIgnoresTexture = entry.stageOp == D3DTOP_SELECTARG2;
    return &entry;
}

const CombineEntry *selectAlphaCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other) {
    int index = combineIndex(function, factor, local, other);
    if (index < 0) return NULL;
    if (!deviceTables.alphaTraced[index]) {
        deviceTables.alphaTraced[index] = 1;
        logLine("grAlphaCombine(%d, %d, %d, %d);\n", function, factor, local, other);
    }
    const CombineEntry &entry = deviceTables.combineTable[index];
    renderState.diffuseAlphaCode = entry.diffuseCode;
    renderState.specularAlphaCode = entry.specularCode;
    return &entry;
}

void setColorCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert) {
    const CombineEntry *selected = selectColorCombine(function, factor, local, other);
    if (selected == NULL) return;
    stateCalls.colorCombine = combineCall(function, factor, local, other, invert);
    markKnown(groupColorCombine);
    const CombineEntry &entry = *selected;
    // The Voodoo inverts the result of the zero function into one; only white comes of it here.
    if (function == combineFunctionZero && invert == 1) {
        renderState.diffuseRgbCode = 255;
        renderState.specularRgbCode = 255;
    }
    deviceCombine.lastColorOp = entry.stageOp;
    sendCombineStages(stageColorPart, resendsStageOps());
}

void setAlphaCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other) {
    const CombineEntry *selected = selectAlphaCombine(function, factor, local, other);
    if (selected == NULL) return;
    stateCalls.alphaCombine = combineCall(function, factor, local, other, 0);
    markKnown(groupAlphaCombine);
    const CombineEntry &entry = *selected;
    // Blending by texture alpha is a colour operation; for alpha the texture alpha multiplies instead.
    FxU32 op =
        entry.stageOp == D3DTOP_BLENDTEXTUREALPHA ? static_cast<FxU32>(D3DTOP_MODULATE) : entry.stageOp;
    deviceCombine.alphaIgnoresTexture = op == D3DTOP_SELECTARG2;
    deviceCombine.lastAlphaOp = op;
    sendCombineStages(stageAlphaPart, resendsStageOps());
}

namespace {

void prepareCombineTable() {
    if (!deviceTables.combineTableBuilt && library.rules != NULL)
        buildCombineTable(library.rules->combineTable);
}

} // namespace

void colorCombineCall(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert) {
    prepareCombineTable();
    bool invertsZero = library.rules == NULL || library.rules->combineTable.invertsZeroFunction;
    if (invert != FXFALSE && !(invertsZero && function == combineFunctionZero))
        noteNotEmulated("grColorCombine invert");
    if (!invertsZero) invert = FXFALSE;
    setColorCombine(function, factor, local, other, invert);
}

void alphaCombineCall(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert) {
    prepareCombineTable();
    if (invert != FXFALSE) noteNotEmulated("grAlphaCombine invert");
    setAlphaCombine(function, factor, local, other);
}

// With the TMU setting on, each unit's function decides whether it contributes (zero does not) and whether
// TMU 0 takes TMU 1's texture in; the colour and alpha combine keep deciding what stage 0 does.
void setTextureCombine(FxI32 tmu, FxI32 rgbFunction, FxI32 rgbFactor) {
    if (!cardHasSecondTmu() || (tmu != tmu0 && tmu != tmu1) || renderContext.device == NULL) return;
    recordTextureCombine(tmu, rgbFunction, rgbFactor);
    deviceCombine.textureCombineFunction[tmu] = rgbFunction;
    sendCombineStages(stageColorPart, resendsStageOps());
    sendCombineStages(stageAlphaPart, resendsStageOps());
}

void setAlphaBlendFunction(FxI32 source, FxI32 destination) {
    stateCalls.blendSource = source;
    stateCalls.blendDestination = destination;
    markKnown(groupBlend);
    if (!colorWritesOff()) sendBlendFactors(source, destination);
}

// Direct3D 7 has no colour write mask: a blend that keeps the destination stands in for it.
void setColorMask(FxBool rgb, FxBool alpha) {
    bool wasOff = colorWritesOff();
    stateCalls.colorMaskRgb = static_cast<FxU8>(rgb != FXFALSE);
    stateCalls.colorMaskAlpha = static_cast<FxU8>(alpha != FXFALSE);
    markKnown(groupColorMask);
    if (colorWritesOff())
        sendBlendFactors(blendZero, blendOne);
    else if (wasOff && isKnown(groupBlend))
        sendBlendFactors(stateCalls.blendSource, stateCalls.blendDestination);
}

bool colorWritesEnabled() {
    return !colorWritesOff();
}

void setAlphaTestFunction(FxI32 function) {
    stateCalls.alphaTestFunction = function;
    markKnown(groupAlphaTest);
    if (renderContext.device == NULL || function == deviceCombine.lastAlphaTestFunction) return;
    FxU32 index = static_cast<FxU32>(function);
    if (index >= compareTableSize || deviceTables.alphaCmpTable[index] == 0) return;
    sendRenderState(D3DRENDERSTATE_ALPHAFUNC, deviceTables.alphaCmpTable[index]);
    deviceCombine.lastAlphaTestFunction = function;
}

// Direct3D 7 compares the pixel's alpha byte with the reference as it is, from 0 to 255.
void setAlphaTestReference(FxU8 value) {
    stateCalls.alphaReference = value;
    markKnown(groupAlphaReference);
    sendRenderState(D3DRENDERSTATE_ALPHAREF, static_cast<DWORD>(value));
}

void setConstantColor(FxU32 argb) {
    stateCalls.constantColor = argb;
    markKnown(groupConstantColor);
    renderState.constantColor = argb;
    sendRenderState(D3DRENDERSTATE_TEXTUREFACTOR, argb);
}

FxU32 colorFromFloats(float a, float r, float g, float b) {
    return channelByte(a) << 24 | channelByte(r) << 16 | channelByte(g) << 8 | channelByte(b);
}

// W buffering uses the ordinary depth buffer too: its depth values are derived from the vertex's 1/w.
void setDepthBufferMode(FxI32 mode) {
    if (library.rules->session.flushesLog) flushLog();
    renderState.depthBufferMode = mode;
    stateCalls.depthMode = mode;
    markKnown(groupDepthMode);
    if (mode == depthBufferDisable)
        sendRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
    else if (mode >= depthBufferZBuffer && mode <= depthBufferWBufferCompareToBias)
        sendRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
}

// GR_CMP_* are the D3DCMP_* values less one.
void setDepthBufferFunction(FxI32 function) {
    if (static_cast<FxU32>(function) > cmpAlways) return;
    stateCalls.depthFunction = function;
    markKnown(groupDepthFunction);
    sendRenderState(D3DRENDERSTATE_ZFUNC, static_cast<DWORD>(function) + 1);
}

// The 16-bit Glide bias becomes Direct3D's 0 to 15.
void setDepthBiasLevel(FxI16 level) {
    stateCalls.depthBias = level;
    markKnown(groupDepthBias);
    sendRenderState(D3DRENDERSTATE_ZBIAS, (static_cast<DWORD>(level) & 0xFFFFu) >> 12);
}

void setDepthMask(FxBool mask) {
    stateCalls.depthMask = static_cast<FxU8>(mask);
    markKnown(groupDepthMask);
    sendRenderState(D3DRENDERSTATE_ZWRITEENABLE, static_cast<DWORD>(mask));
}

namespace {

// The fog colour's RGB goes to Direct3D as given; ADD2 blends towards black instead.
void sendFogColor() {
    const FxU32 black = 0, rgb = 0x00FFFFFFu;
    sendRenderState(D3DRENDERSTATE_FOGCOLOR,
                    renderState.fogEquation == fogAddsNothing ? black : renderState.fogColor & rgb);
}

FogEquation fogEquationOf(FxI32 mode) {
    if (mode & fogMult2) return fogColorOnly;
    if (mode & fogAdd2) return fogAddsNothing;
    return fogBlendsToColor;
}

} // namespace

void setFogMode(FxI32 mode, FogSource source) {
    stateCalls.fogMode = mode;
    stateCalls.fogSource = static_cast<FxU8>(source);
    markKnown(groupFogMode);
    bool enabled = mode != fogDisable && settings.Fog != 0;
    sendRenderState(D3DRENDERSTATE_FOGENABLE, enabled ? TRUE : FALSE);
    const bool fromTable = source == fogFromTable || source == fogFromCoordinate;
    renderState.tableFog = enabled && fromTable;
    renderState.fogFromCoordinate = renderState.tableFog && source == fogFromCoordinate;
    FogEquation equation = fogEquationOf(mode);
    if (equation != renderState.fogEquation) {
        renderState.fogEquation = equation;
        sendFogColor();
    }
    if (fromTable) {
        // Pre-transformed vertices bring their own fog in the specular alpha when no fog mode is set.
        sendRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE);
        sendRenderState(D3DRENDERSTATE_FOGVERTEXMODE, D3DFOG_NONE);
        return;
    }
    if (source != fogLinear) return;
    // Glide's fog table cannot reach Direct3D; fog runs over the last two percent of the depth range instead.
    sendRenderState(D3DRENDERSTATE_FOGDENSITY, floatBits(linearFogDensity));
    sendRenderState(D3DRENDERSTATE_FOGSTART, floatBits(linearFogStart));
    sendRenderState(D3DRENDERSTATE_FOGEND, floatBits(linearFogEnd));
    sendRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
}

void setFogColor(FxU32 argb) {
    stateCalls.fogColor = argb;
    markKnown(groupFogColor);
    renderState.fogColor = argb;
    sendFogColor();
}

float linearFogAmount(float z) {
    float amount = (z - linearFogStart) / (linearFogEnd - linearFogStart);
    return amount > 0.0f ? (amount < 1.0f ? amount : 1.0f) : 0.0f;
}

void setExponentialFog(float density, D3DFOGMODE tableMode) {
    stateCalls.fogDensity = density;
    stateCalls.fogTableMode = static_cast<FxU8>(tableMode);
    markKnown(groupFogTable);
    sendRenderState(D3DRENDERSTATE_FOGDENSITY, floatBits(density));
    sendRenderState(D3DRENDERSTATE_FOGTABLEMODE, tableMode);
}

void setChromakeyMode(FxI32 mode) {
    stateCalls.chromakeyMode = mode;
    markKnown(groupChromakeyMode);
    if (library.rules->session.cachesChromakeyMode) {
        if (mode == deviceCombine.lastChromakeyMode) return;
        deviceCombine.lastChromakeyMode = mode;
    }
    refreshColorKeyEnable();
}

// A chroma range keys texels as the chroma key does, so either turns Direct3D's colour keying on.
void refreshColorKeyEnable() {
    const bool keyed = stateCalls.chromakeyMode != chromakeyDisable || anyChromaRangeEnabled();
    sendRenderState(D3DRENDERSTATE_COLORKEYENABLE, keyed ? TRUE : FALSE);
}

// The lower-left origin flips every vertex vertically, and with it the winding of every triangle.
void setCullMode(FxI32 mode) {
    stateCalls.cullMode = mode;
    markKnown(groupCull);
    DWORD cull = D3DCULL_NONE;
    if (renderContext.origin == originUpperLeft) {
        if (mode == cullNegative) cull = D3DCULL_CCW;
        if (mode == cullPositive) cull = D3DCULL_CW;
    } else if (renderContext.origin == originLowerLeft) {
        if (mode == cullNegative) cull = D3DCULL_CW;
        if (mode == cullPositive) cull = D3DCULL_CCW;
    }
    sendRenderState(D3DRENDERSTATE_CULLMODE, cull);
}

// Dithering only matters on a 16-bit display, and the user may have switched it off for good.
void setDitherMode(FxI32 mode) {
    stateCalls.ditherMode = mode;
    markKnown(groupDither);
    if (settings.ColorDepth != 16 || settings.NoDitherSub != 0) return;
    if (library.rules->session.ditherAlwaysOn) {
        sendRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
        return;
    }
    sendRenderState(D3DRENDERSTATE_DITHERENABLE, mode != ditherDisable ? TRUE : FALSE);
}

void disableAllEffects() {
    setAlphaBlendFunction(blendOne, blendZero);
    setAlphaTestFunction(cmpAlways);
    setChromakeyMode(chromakeyDisable);
    setDepthBiasLevel(0);
    setDepthBufferMode(depthBufferDisable);
    setFogMode(fogDisable, fogKeepsTableMode);
}
