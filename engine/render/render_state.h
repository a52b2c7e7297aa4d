// Glide render state applied to the Direct3D device: every state call goes to the device at once.
#ifndef KESTRIX_RENDER_STATE_H
#define KESTRIX_RENDER_STATE_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"
#include "combine_table.h"
#include "device_state.h"
#include "fog_table.h"
#include "../texture/texture_memory.h"

struct RenderState {
    FxU32 constantColor; // ARGB
    FxU32 diffuseRgbCode;
    FxU32 specularRgbCode;
    FxU32 diffuseAlphaCode;
    FxU32 specularAlphaCode;
    FxI32 depthBufferMode;
    FxU32 chromakeyValue; // ARGB
    // Fog from Glide's table is in force: each vertex carries its fog in the specular alpha.
    bool tableFog;
    // The table is read at the vertex's fog coordinate rather than at its w.
    bool fogFromCoordinate;
    FxU8 fogTable[fogTableSize];
    FxU32 fogColor;    // ARGB as the application gave it
    FxU32 fogEquation; // FogEquation
};

extern RenderState &renderState;

// The alpha-test function that no call matches, so the next one is sent.
const FxI32 noAlphaTestFunction = -1;

// What the combine, alpha-test and chroma-key calls last gave the device, as a new device starts: stage 0
// modulates by the texture until the next combine call, each unit shows its own texture, stage 1 is
// disabled and the chroma key is off.
struct DeviceCombine {
    FxU32 lastColorOp = 0; // stage operation of the last colour combine, 0 for none
    FxU32 lastAlphaOp = 0; // stage operation of the last alpha combine, 0 for none
    FxI32 lastAlphaTestFunction = noAlphaTestFunction;
    // The last colour and alpha combine leave the texture unread (stage 0 selects the diffuse colour):
    // the vertices' 1/w and texture fields are not read then.
    bool colorIgnoresTexture = false;
    bool alphaIgnoresTexture = false;
    // Per texture unit, the colour function of its texture combine.
    FxI32 textureCombineFunction[textureUnitCount] = {combineFunctionLocal, combineFunctionLocal};
    // Per stage, the colour and the alpha operation last sent; 0 where none was.
    DWORD sentStageOps[2][2] = {{0, 0}, {D3DTOP_DISABLE, D3DTOP_DISABLE}};
    FxI32 lastChromakeyMode = chromakeyDisable;
};

// Part of the window's records (session/state_groups.h); renderState is part of the library's.
extern DeviceCombine &deviceCombine;

// The table entry of a combination with its colour codes taken and its first use logged; null outside the
// table. The set functions send the entry's stage operation too.
const CombineEntry *selectColorCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other);
const CombineEntry *selectAlphaCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other);
void setColorCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert);
// grColorCombine and grAlphaCombine: made before the first window open, they still choose their colour
// codes. The colour invert flag turns the zero function into white where the library's rules say so;
// every other inversion is noted as not emulated.
void colorCombineCall(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert);
void alphaCombineCall(FxI32 function, FxI32 factor, FxI32 local, FxI32 other, FxBool invert);
void setAlphaCombine(FxI32 function, FxI32 factor, FxI32 local, FxI32 other);
void setTextureCombine(FxI32 tmu, FxI32 rgbFunction, FxI32 rgbFactor);
// While colour writes are off the blend is only kept, and sent again when they come back on.
void setAlphaBlendFunction(FxI32 source, FxI32 destination);
void setColorMask(FxBool rgb, FxBool alpha);
bool colorWritesEnabled();
void setAlphaTestFunction(FxI32 function);
void setAlphaTestReference(FxU8 value);
void setConstantColor(FxU32 argb);
// a, r, g and b from 0.0 to 1.0 as one ARGB colour.
FxU32 colorFromFloats(float a, float r, float g, float b);
void setDepthBufferMode(FxI32 mode);
void setDepthBufferFunction(FxI32 function);
void setDepthBiasLevel(FxI16 level);
void setDepthMask(FxBool mask);
// What fog makes of the combined colour C at fog amount f towards the fog colour F.
enum FogEquation : FxU32 {
    fogBlendsToColor, // (1 - f) C + f F
    fogAddsNothing,   // (1 - f) C: GR_FOG_ADD2
    fogColorOnly,     // f F: GR_FOG_MULT2
};

enum FogSource {
    fogKeepsTableMode, // the Direct3D fog table mode last set stays
    fogLinear,         // Direct3D's linear fog over the last part of the depth range
    fogFromTable,      // Glide's fog table, per vertex
    fogFromCoordinate, // Glide's fog table at each vertex's own fog coordinate
};
// The mode's GR_FOG_MULT2 and GR_FOG_ADD2 bits choose the equation.
void setFogMode(FxI32 mode, FogSource source);
void setFogColor(FxU32 argb);
// The fog from 0 to 1 the device's linear fog gives at depth z.
float linearFogAmount(float z);
void setExponentialFog(float density, D3DFOGMODE tableMode);
void setChromakeyMode(FxI32 mode);
// Sends Direct3D's colour keying on while the chroma key or a chroma range is enabled.
void refreshColorKeyEnable();
void setCullMode(FxI32 mode);
void setDitherMode(FxI32 mode);
void disableAllEffects();

#endif
