#include "saved_state.h"

#include <string.h>

#include "antialiasing.h"
#include "render_state.h"
#include "../core/render_context.h"
#include "clip_window.h"

namespace {

float lodBiasOf(FxU32 bits) {
    float bias;
    memcpy(&bias, &bits, sizeof(bias));
    return bias;
}

// "KSTS": the buffer holds a record this library wrote.
const FxU32 savedStateTag = 0x5354534Bu;

struct SavedState {
    FxU32 tag;
    StateCalls calls;
    FxU8 fogTable[fogTableSize];
};

static_assert(sizeof(SavedState) <= savedStateBytes, "the saved state must fit Glide's state buffer");

// The combine codes live on the processor and survive a new device; the chroma-key colour is only read
// when textures are created.
const FxU32 groupsKeptByNewDevice = groupColorCombine | groupAlphaCombine | groupChromakeyValue;

const int enabledModeBits = 8;

FxU32 unitGroup(FxU32 group, int tmu) {
    return group << tmu;
}

// Whether the saved call must be made again: it was made, and the one in force is another or unknown.
bool differs(const StateCalls &saved, FxU32 group, bool equal) {
    return (saved.known & group) != 0 && (!isKnown(group) || !equal);
}

bool sameFloat(float a, float b) {
    return memcmp(&a, &b, sizeof(a)) == 0;
}

void restoreFrame(const StateCalls &saved) {
    if (differs(saved, groupOrigin, saved.origin == stateCalls.origin)) setOrigin(saved.origin);
    if (differs(saved, groupClipWindow,
                saved.clipMinX == stateCalls.clipMinX && saved.clipMinY == stateCalls.clipMinY &&
                    saved.clipMaxX == stateCalls.clipMaxX && saved.clipMaxY == stateCalls.clipMaxY))
        setClipWindow(saved.clipMinX, saved.clipMinY, saved.clipMaxX, saved.clipMaxY);
    if (differs(saved, groupCull, saved.cullMode == stateCalls.cullMode)) setCullMode(saved.cullMode);
    if (differs(saved, groupDither, saved.ditherMode == stateCalls.ditherMode))
        setDitherMode(saved.ditherMode);
}

// The texture combine takes over stage 0, so both combines are made again after it; they skip the device
// when stage 0 already holds their operation.
void restoreCombine(const StateCalls &saved) {
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        const TextureUnitCalls &unit = saved.units[tmu];
        const TextureUnitCalls &current = stateCalls.units[tmu];
        if (differs(saved, unitGroup(groupTextureCombine, tmu),
                    unit.textureFunction == current.textureFunction &&
                        unit.textureFactor == current.textureFactor))
            setTextureCombine(tmu, unit.textureFunction, unit.textureFactor);
    }
    const CombineCall &color = saved.colorCombine;
    if (saved.known & groupColorCombine)
        setColorCombine(color.function, color.factor, color.local, color.other, color.invert);
    const CombineCall &alpha = saved.alphaCombine;
    if (saved.known & groupAlphaCombine)
        setAlphaCombine(alpha.function, alpha.factor, alpha.local, alpha.other);
    if (differs(saved, groupConstantColor, saved.constantColor == stateCalls.constantColor))
        setConstantColor(saved.constantColor);
}

// The blend goes first: a colour mask that opens again sends the blend then in force.
void restorePixelTests(const StateCalls &saved) {
    if (differs(saved, groupBlend,
                saved.blendSource == stateCalls.blendSource &&
                    saved.blendDestination == stateCalls.blendDestination))
        setAlphaBlendFunction(saved.blendSource, saved.blendDestination);
    if (differs(saved, groupColorMask,
                saved.colorMaskRgb == stateCalls.colorMaskRgb &&
                    saved.colorMaskAlpha == stateCalls.colorMaskAlpha))
        setColorMask(saved.colorMaskRgb, saved.colorMaskAlpha);
    if (differs(saved, groupAlphaTest, saved.alphaTestFunction == stateCalls.alphaTestFunction))
        setAlphaTestFunction(saved.alphaTestFunction);
    if (differs(saved, groupAlphaReference, saved.alphaReference == stateCalls.alphaReference))
        setAlphaTestReference(saved.alphaReference);
    if (differs(saved, groupDepthMode, saved.depthMode == stateCalls.depthMode))
        setDepthBufferMode(saved.depthMode);
    if (differs(saved, groupDepthFunction, saved.depthFunction == stateCalls.depthFunction))
        setDepthBufferFunction(saved.depthFunction);
    if (differs(saved, groupDepthBias, saved.depthBias == stateCalls.depthBias))
        setDepthBiasLevel(saved.depthBias);
    if (differs(saved, groupDepthMask, saved.depthMask == stateCalls.depthMask))
        setDepthMask(saved.depthMask);
    if (differs(saved, groupChromakeyMode, saved.chromakeyMode == stateCalls.chromakeyMode))
        setChromakeyMode(saved.chromakeyMode);
    if (differs(saved, groupChromakeyValue, saved.chromakeyValue == stateCalls.chromakeyValue))
        setChromakeyValue(saved.chromakeyValue);
}

// The buffer is the application's: a value no enumerator names becomes the neutral one.
FogSource fogSourceOf(FxU32 value) {
    return value <= fogFromCoordinate ? static_cast<FogSource>(value) : fogKeepsTableMode;
}

D3DFOGMODE fogTableModeOf(FxU32 value) {
    return value <= D3DFOG_LINEAR ? static_cast<D3DFOGMODE>(value) : D3DFOG_NONE;
}

// Linear fog sends its own density and table mode, so the exponential ones follow the mode.
void restoreFog(const StateCalls &saved) {
    if (differs(saved, groupFogMode,
                saved.fogMode == stateCalls.fogMode && saved.fogSource == stateCalls.fogSource))
        setFogMode(saved.fogMode, fogSourceOf(saved.fogSource));
    if (differs(saved, groupFogTable,
                sameFloat(saved.fogDensity, stateCalls.fogDensity) &&
                    saved.fogTableMode == stateCalls.fogTableMode))
        setExponentialFog(saved.fogDensity, fogTableModeOf(saved.fogTableMode));
    if (differs(saved, groupFogColor, saved.fogColor == stateCalls.fogColor)) setFogColor(saved.fogColor);
}

void restoreTextureUnit(const StateCalls &saved, int tmu) {
    const TextureUnitCalls &unit = saved.units[tmu];
    const TextureUnitCalls &current = stateCalls.units[tmu];
    if (differs(saved, unitGroup(groupTextureSource, tmu), unit.sourceAddress == current.sourceAddress))
        selectTextureSource(tmu, unit.sourceAddress);
    if (differs(saved, unitGroup(groupClamp, tmu),
                unit.sClamp == current.sClamp && unit.tClamp == current.tClamp))
        setTextureClampMode(tmu, unit.sClamp, unit.tClamp);
    if (differs(saved, unitGroup(groupFilter, tmu),
                unit.minFilter == current.minFilter && unit.magFilter == current.magFilter))
        setTextureFilters(tmu, unit.minFilter, unit.magFilter);
    if (differs(saved, unitGroup(groupMipmap, tmu), unit.mipFilter == current.mipFilter))
        setTextureMipFilter(tmu, unit.mipFilter);
    if (differs(saved, unitGroup(groupLodBias, tmu), unit.lodBias == current.lodBias))
        setTextureLodBias(tmu, lodBiasOf(unit.lodBias));
}

void restoreEnabledModes(FxU8 saved) {
    for (int mode = 0; mode < enabledModeBits; ++mode) {
        bool enabled = (saved >> mode & 1u) != 0;
        if (enabled != isModeEnabled(mode)) setModeEnabled(mode, enabled);
    }
}

} // namespace

void resetStateCalls(FxU32 screenWidth, FxU32 screenHeight) {
    stateCalls.known &= groupsKeptByNewDevice;
    // The device starts without culling and with the whole screen as its viewport, and no texture.
    stateCalls.cullMode = cullDisable;
    stateCalls.clipMinX = 0;
    stateCalls.clipMinY = 0;
    stateCalls.clipMaxX = clipEdge(screenWidth);
    stateCalls.clipMaxY = clipEdge(screenHeight);
    stateCalls.enabledModes = 0;
    stateCalls.colorMaskRgb = FXTRUE;
    stateCalls.colorMaskAlpha = FXTRUE;
    markKnown(groupCull | groupClipWindow | groupColorMask);
    for (int tmu = 0; tmu < textureUnitCount; ++tmu) {
        stateCalls.units[tmu].sourceAddress = noTextureSource;
        markKnown(unitGroup(groupTextureSource, tmu));
    }
}

void setShamelessPlug(bool on) {
    shamelessPlug = on;
}

void setModeEnabled(FxI32 mode, bool enabled) {
    if (mode == enableModeOrderedAntialiasing) setOrderedAntialiasing(enabled);
    if (mode == enableModeShamelessPlug) setShamelessPlug(enabled);
    if (mode < 0 || mode >= enabledModeBits) return;
    FxU8 bit = static_cast<FxU8>(1u << mode);
    stateCalls.enabledModes =
        static_cast<FxU8>(enabled ? stateCalls.enabledModes | bit : stateCalls.enabledModes & ~bit);
}

bool isModeEnabled(FxI32 mode) {
    return mode >= 0 && mode < enabledModeBits && (stateCalls.enabledModes >> mode & 1u) != 0;
}

void saveState(void *buffer) {
    if (buffer == NULL) return;
    SavedState saved;
    memset(&saved, 0, sizeof(saved));
    saved.tag = savedStateTag;
    saved.calls = stateCalls;
    memcpy(saved.fogTable, renderState.fogTable, sizeof(saved.fogTable));
    memcpy(buffer, &saved, sizeof(saved));
}

void restoreState(const void *buffer) {
    if (buffer == NULL) return;
    SavedState saved;
    memcpy(&saved, buffer, sizeof(saved));
    if (saved.tag != savedStateTag) return;
    restoreFrame(saved.calls);
    restoreCombine(saved.calls);
    restorePixelTests(saved.calls);
    restoreFog(saved.calls);
    if (memcmp(saved.fogTable, renderState.fogTable, sizeof(saved.fogTable)) != 0)
        setFogTable(saved.fogTable);
    for (int tmu = 0; tmu < textureUnitCount; ++tmu)
        restoreTextureUnit(saved.calls, tmu);
    restoreEnabledModes(saved.calls.enabledModes);
}
