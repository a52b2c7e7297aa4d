// The last arguments of each Glide state call, as the engine received them, and the copy of them that
// grGlideGetState hands the application and grGlideSetState brings back.
#ifndef KESTRIX_SAVED_STATE_H
#define KESTRIX_SAVED_STATE_H

#include <stddef.h>

#include "../glide_values.h"
#include "../texture/texture_memory.h"

// One bit per state call in StateCalls.known; the per-TMU groups take one bit more for TMU 1.
enum StateGroup : FxU32 {
    groupColorCombine = 1u << 0,
    groupAlphaCombine = 1u << 1,
    groupBlend = 1u << 2,
    groupAlphaTest = 1u << 3,
    groupAlphaReference = 1u << 4,
    groupDepthMode = 1u << 5,
    groupDepthFunction = 1u << 6,
    groupDepthBias = 1u << 7,
    groupDepthMask = 1u << 8,
    groupFogMode = 1u << 9,
    groupFogTable = 1u << 10,
    groupFogColor = 1u << 11,
    groupChromakeyMode = 1u << 12,
    groupChromakeyValue = 1u << 13,
    groupCull = 1u << 14,
    groupOrigin = 1u << 15,
    groupClipWindow = 1u << 16,
    groupDither = 1u << 17,
    groupConstantColor = 1u << 18,
    groupColorMask = 1u << 19,
    groupTextureSource = 1u << 20,
    groupClamp = 1u << 22,
    groupFilter = 1u << 24,
    groupMipmap = 1u << 26,
    groupTextureCombine = 1u << 28,
    groupLodBias = 1u << 30,
};

struct CombineCall {
    FxU8 function;
    FxU8 factor;
    FxU8 local;
    FxU8 other;
    FxU8 invert; // 1 only for an invert argument of exactly 1
};

// Filters are Direct3D's own small numbers; the state buffer has room for nothing wider.
struct TextureUnitCalls {
    FxU32 sourceAddress;
    FxI32 sClamp;
    FxI32 tClamp;
    FxU32 lodBias;  // D3DTSS_MIPMAPLODBIAS, the float's bits
    FxU8 minFilter; // D3DTEXTUREMINFILTER
    FxU8 magFilter; // D3DTEXTUREMAGFILTER
    FxU8 mipFilter; // D3DTEXTUREMIPFILTER
    FxU8 textureFunction;
    FxU8 textureFactor;
};

// A field is meaningful only while its group's bit is set in known: from the call that set it until the
// next window open, whose device starts without it. The enabled modes and the fog table are always known.
struct StateCalls {
    FxU32 known;
    CombineCall colorCombine;
    CombineCall alphaCombine;
    FxU8 colorMaskRgb;
    FxU8 colorMaskAlpha;
    FxU8 depthMask;
    FxU8 alphaReference;
    FxU8 fogSource;    // FogSource
    FxU8 fogTableMode; // D3DFOGMODE
    FxU8 enabledModes; // bit n set while grEnable(n) is in force
    FxI16 depthBias;
    FxI32 blendSource;
    FxI32 blendDestination;
    FxI32 alphaTestFunction;
    FxI32 depthMode;
    FxI32 depthFunction;
    FxI32 fogMode;
    FxU32 fogColor;   // ARGB as the application gave it
    float fogDensity; // exponential density, or the density linear fog sends
    FxI32 chromakeyMode;
    FxU32 chromakeyValue;
    FxI32 cullMode;
    FxI32 origin;
    // Held to 0xFFFF: no screen is that large, so a larger edge clips alike.
    FxU16 clipMinX;
    FxU16 clipMinY;
    FxU16 clipMaxX;
    FxU16 clipMaxY;
    FxI32 ditherMode;
    FxU32 constantColor;
    TextureUnitCalls units[textureUnitCount];
};

// What Glide 3's grGet(GR_GLIDE_STATE_SIZE) announces; Glide 2's GrState is larger.
const size_t savedStateBytes = 216;

// Part of the library's records (session/state_groups.h), as is shamelessPlug.
extern StateCalls &stateCalls;

inline bool isKnown(FxU32 group) {
    return (stateCalls.known & group) != 0;
}

inline void markKnown(FxU32 group) {
    stateCalls.known |= group;
}

inline FxU16 clipEdge(FxU32 edge) {
    return edge < 0xFFFFu ? static_cast<FxU16>(edge) : static_cast<FxU16>(0xFFFFu);
}

// The record as a new device has it: what the window open itself sets, nothing else.
void resetStateCalls(FxU32 screenWidth, FxU32 screenHeight);

// grEnable and grDisable: the mode's bit in enabledModes; modes beyond the record's bits are not kept.
// Whether presented frames carry the small splash in their bottom-right corner (the "shameless plug").
extern bool &shamelessPlug;
void setShamelessPlug(bool on);

void setModeEnabled(FxI32 mode, bool enabled);
bool isModeEnabled(FxI32 mode);

// Writes savedStateBytes at most.
void saveState(void *buffer);
// Applies each call of a buffer saveState wrote that differs from the one in force; any other buffer
// changes nothing.
void restoreState(const void *buffer);

#endif
