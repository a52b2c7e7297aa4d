// The conversion of application vertices into DrawVertex, written once over a vertex layout: the engine
// instantiates it for the layout in vertexLayout, a front end whose vertex never changes (Glide 2's GrVertex)
// for its own, known when it is compiled, so that every field is read at a constant offset.
#ifndef KESTRIX_VERTEX_CONVERSION_H
#define KESTRIX_VERTEX_CONVERSION_H

#include <float.h>
#include <math.h>
#include <stddef.h>
#include <string.h>

#include <emmintrin.h>

#include "clip_space.h"
#include "color_codes.h"
#include "draw_vertex.h"
#include "fog_table.h"
#include "prepared_conversion.h"
#include "render_state.h"
#include "../core/card_profiles.h"
#include "../core/game_quirks.h"
#include "../core/library_settings.h"
#include "../core/render_context.h"
#include "../core/render_scaling.h"
#include "../texture/texture_memory.h"
#include "../texture/texture_state.h"

namespace vertex_conversion {

// Glide applications add 786432.0 (3 × 2^18) to screen coordinates so that the float's mantissa drops the
// bits below 1/16 pixel; anything from 2^19 up is such a snapped coordinate.
constexpr float snapThreshold = 524288.0f;
constexpr float snapOffset = 786432.0f;

// The field a depth mode reads: the board's z-buffer stores ooz, its w-buffer a value derived from w.
enum DepthSource : FxU32 { depthUnused, depthFromOoz, depthFromOow };

// Everything a conversion needs that stays the same for every vertex of one primitive.
struct VertexConversion {
    FxU32 depthSource;
    bool fastDepth; // ZFast: w-buffer depth is 1 - 1/w, else 1 - sqrt(1/w)
    bool textured;  // a texture on either TMU that the combine reads
    bool rhwFromOow;
    bool readsOow;
    bool tableFog;          // the specular alpha carries the fog of Glide's table at the vertex's w
    bool fogFromCoordinate; // ... at its fog coordinate instead
    bool tmu0, tmu1;
    float sScale0, tScale0, sScale1, tScale1;
    bool flipY;
    bool mirrorX;
    float screenWidth, screenHeight;
    // Game positions to the device's buffer, where the picture is not exactly the Glide screen at (0, 0).
    bool scaled;
    float xScale, yScale, xOffset, yOffset;
    FxU32 colorMode;
    FxU32 fixedDiffuse, fixedSpecular;
    // Under colorSelected each colour is (V & fromVertex) | fixed.
    FxU32 diffuseFromVertex, specularFromVertex;
    bool clip; // clip coordinates, mapped through clipMap
    ClipTransform clipMap;
    bool plain; // positions as sent and TMU 1 unread: converted four at a time (fours)
};

enum ColorMode : FxU32 {
    // The four codes as the combine calls chose them, evaluated per vertex.
    colorByCodes,
    // Diffuse is the vertex colour and nothing is added: Gouraud shading and texture times vertex colour,
    // the combine most games draw nearly everything with.
    colorIterated,
    // No code reads the vertex colour: both colours are the same for every vertex of the primitive.
    colorFixed,
    // Every code picks bits of the vertex colour or of the constant: (V & mask) | fixed, both colours.
    colorSelected,
};

inline bool codeReadsVertex(FxU32 code) {
    switch (code) {
    case codeVertex:
    case codeHalfVertex:
    case codeInverseVertex:
    case codeVertexMinusConstant:
    case codeConstantMinusVertex:
    case codeQuarterVertex:
    case codeVertexTimesConstant:
    case codeOneMinusVertexTimesConstant:
    case codeVertexAlpha:
    case codeVertexTimesVertexAlpha:
    case codeVertexTimesConstantAlpha:
    case codeConstantTimesVertexAlpha:
        return true;
    default:
        return false;
    }
}

// The low byte of a colour channel truncated towards zero. Floats beyond ±2^31 are whole multiples of 256,
// so their low byte is 0, as it is taken for NaN; the range test keeps the conversion defined.
inline FxU32 colorByte(float value) {
    return fabsf(value) < 2147483648.0f ? static_cast<FxU32>(static_cast<FxI32>(value)) & 0xFFu : 0u;
}

inline float readFloat(const FxU8 *vertex, FxU32 offset) {
    float value;
    memcpy(&value, vertex + offset, sizeof(value));
    return value;
}

inline FxU32 readWord(const FxU8 *vertex, FxU32 offset) {
    FxU32 value;
    memcpy(&value, vertex + offset, sizeof(value));
    return value;
}

// A float channel of 0 to 255 truncated towards zero and held to that range; NaN gives 0.
inline FxU32 clampedChannel(float value) {
    return value > 0.0f ? (value < 255.0f ? static_cast<FxU32>(static_cast<FxI32>(value)) : 255u) : 0u;
}

// V, the ARGB vertex colour, with one test for the usual case of four channels in range.
inline FxU32 vertexColor(const FxU8 *vertex, const VertexLayout &layout, float scale) {
    const float r = readFloat(vertex, layout.red) * scale, g = readFloat(vertex, layout.green) * scale;
    const float b = readFloat(vertex, layout.blue) * scale, a = readFloat(vertex, layout.alpha) * scale;
    const float limit = 2147483648.0f;
    if ((fabsf(r) < limit) & (fabsf(g) < limit) & (fabsf(b) < limit) & (fabsf(a) < limit))
        return (static_cast<FxU32>(static_cast<FxI32>(a)) & 0xFFu) << 24 |
               (static_cast<FxU32>(static_cast<FxI32>(r)) & 0xFFu) << 16 |
               (static_cast<FxU32>(static_cast<FxI32>(g)) & 0xFFu) << 8 |
               (static_cast<FxU32>(static_cast<FxI32>(b)) & 0xFFu);
    return colorByte(a) << 24 | colorByte(r) << 16 | colorByte(g) << 8 | colorByte(b);
}

// V from the packed word, or from the float channels, times scale, by the library's rule; a channel the
// vertex lacks is 255. Forced inline, so that a fixed layout's choices fold away.
__attribute__((always_inline)) inline FxU32 sourceColor(const FxU8 *vertex, const VertexLayout &layout,
                                                        float scale) {
    if (layout.fields & fieldPackedColor) return readWord(vertex, layout.packedColor);
    if (!layout.rules.clampsColor) return vertexColor(vertex, layout, scale);
    FxU32 alpha = 0xFF000000u, rgb = 0x00FFFFFFu;
    if (layout.fields & fieldAlpha) alpha = clampedChannel(readFloat(vertex, layout.alpha) * scale) << 24;
    if (layout.fields & fieldRgb)
        rgb = clampedChannel(readFloat(vertex, layout.red) * scale) << 16 |
              clampedChannel(readFloat(vertex, layout.green) * scale) << 8 |
              clampedChannel(readFloat(vertex, layout.blue) * scale);
    return alpha | rgb;
}

// Programs leave 1/w as it happens to be when their modes do not use it; Direct3D must not see such a value.
inline float validOneOverW(float oow) {
    return ((oow > 0.0f) & (oow <= FLT_MAX)) ? oow : 1.0f;
}

// NaN becomes 0.
inline float clampedDepth(float z) {
    return z > 0.0f ? (z < 1.0f ? z : 1.0f) : 0.0f;
}

// 0 when both coordinates are finite, else NaN: x - x is 0 for every finite x. Summed over a primitive, it
// checks every position with two subtractions and two additions a vertex.
inline float positionCheck(float x, float y) {
    return (x - x) + (y - y);
}

inline float unsnapped(float coordinate) {
    return coordinate < snapThreshold ? coordinate : coordinate - snapOffset;
}

inline void textureScales(FxI32 tmu, float &sScale, float &tScale) {
    sScale = deviceTextures.currentTexture[tmu]->sScale;
    tScale = deviceTextures.currentTexture[tmu]->tScale;
}

// Reads the render state, the settings, the bound textures and the screen for the next primitive. Forced
// inline, as convertVertex is: left to the compiler, the calls cost a tenth of the conversion.
__attribute__((always_inline)) inline void prepareVertexConversion(VertexConversion &conversion,
                                                                   const VertexLayout &layout) {
    const VertexRules &rules = layout.rules;
    FxI32 depthMode = renderState.depthBufferMode;
    conversion.depthSource = depthUnused;
    if (depthMode == depthBufferZBuffer || depthMode == depthBufferZBufferCompareToBias)
        conversion.depthSource = depthFromOoz;
    else if (depthMode == depthBufferWBuffer || depthMode == depthBufferWBufferCompareToBias)
        conversion.depthSource = depthFromOow;
    conversion.fastDepth = rules.honoursZFast && settings.ZFast != 0;

    // Glide 2's rhw follows a texture on either unit, but its TMU 1 coordinates are sent only with the TMU
    // setting. A combine that leaves the texture unread leaves the texture fields unread too.
    bool textureRead = !(deviceCombine.colorIgnoresTexture && deviceCombine.alphaIgnoresTexture);
    bool bound0 = deviceTextures.textureEnabled[tmu0] != 0, bound1 = deviceTextures.textureEnabled[tmu1] != 0;
    conversion.textured = textureRead && (bound0 || bound1);
    conversion.tmu0 = textureRead && bound0 && deviceTextures.currentTexture[tmu0] != NULL &&
                      (layout.fields & fieldSt0) != 0;
    conversion.tmu1 = textureRead && bound1 && deviceTextures.currentTexture[tmu1] != NULL &&
                      (layout.fields & fieldSt1) != 0 && (!rules.tmuSettingGatesTmu1 || cardHasSecondTmu());
    conversion.tableFog = renderState.tableFog;
    conversion.fogFromCoordinate = renderState.fogFromCoordinate && (layout.fields & fieldFogCoord) != 0;
    conversion.clip = clipSpace.active;
    if (conversion.clip) conversion.clipMap = clipTransform();
    conversion.rhwFromOow = rules.rhwAlways || conversion.textured || conversion.clip;
    conversion.readsOow =
        (layout.fields & fieldOow) != 0 && (conversion.rhwFromOow || conversion.depthSource == depthFromOow ||
                                            conversion.tableFog || conversion.clip);
    conversion.sScale0 = conversion.tScale0 = conversion.sScale1 = conversion.tScale1 = 0.0f;
    if (conversion.tmu0) textureScales(tmu0, conversion.sScale0, conversion.tScale0);
    if (conversion.tmu1) textureScales(tmu1, conversion.sScale1, conversion.tScale1);

    // FightingForceFix turns the picture through 180 degrees after the lower-left origin has flipped it, so
    // with both the two vertical flips cancel and only x is mirrored. Taking the flips together keeps y
    // exactly as the application sent it.
    bool lowerLeft = renderContext.origin == originLowerLeft;
    bool turned = rules.honoursFightingForceFix && quirkApplies(QuirkEffect::pictureTurned);
    conversion.flipY = lowerLeft != turned;
    conversion.mirrorX = turned;
    conversion.screenWidth = static_cast<float>(renderContext.screenWidth);
    conversion.screenHeight = static_cast<float>(renderContext.screenHeight);
    conversion.scaled = renderScaling.active != 0;
    conversion.xScale = renderScaling.xScale;
    conversion.yScale = renderScaling.yScale;
    conversion.xOffset = scaledOrigin(renderScaling.pictureLeft, renderScaling.xScale);
    conversion.yOffset = scaledOrigin(renderScaling.pictureTop, renderScaling.yScale);

    const RenderState &state = renderState;
    conversion.fixedDiffuse = conversion.fixedSpecular = 0;
    conversion.diffuseFromVertex = conversion.specularFromVertex = 0;
    ColorSelection selection;
    if (state.diffuseRgbCode == codeVertex && state.diffuseAlphaCode == codeVertex &&
        state.specularRgbCode == codeBlack && state.specularAlphaCode == codeBlack) {
        conversion.colorMode = colorIterated;
    } else if (!codeReadsVertex(state.diffuseRgbCode) && !codeReadsVertex(state.diffuseAlphaCode) &&
               !codeReadsVertex(state.specularRgbCode) && !codeReadsVertex(state.specularAlphaCode)) {
        VertexColors colors = computeVertexColors(0);
        conversion.colorMode = colorFixed;
        conversion.fixedDiffuse = colors.diffuse;
        conversion.fixedSpecular = colors.specular;
    } else if (selectsColors(selection)) {
        conversion.colorMode = colorSelected;
        conversion.diffuseFromVertex = selection.diffuseFromVertex;
        conversion.fixedDiffuse = selection.diffuseFixed;
        conversion.specularFromVertex = selection.specularFromVertex;
        conversion.fixedSpecular = selection.specularFixed;
    } else {
        conversion.colorMode = colorByCodes;
    }
    conversion.plain = !conversion.tmu1 && !conversion.flipY && !conversion.mirrorX && !conversion.clip;
}

// The textures a record's scales were read from, compared at every primitive besides the generation: a
// record never outlives the textures it read, whoever binds them (the vertex tests bind a bare record
// without a texture call). Four words cost less than reading the textures again.
struct BoundTextures {
    const TextureRecord *texture[textureUnitCount];
    FxU32 enabled[textureUnitCount];

    static BoundTextures now() {
        return {{deviceTextures.currentTexture[tmu0], deviceTextures.currentTexture[tmu1]},
                {deviceTextures.textureEnabled[tmu0], deviceTextures.textureEnabled[tmu1]}};
    }
    bool same() const {
        return texture[tmu0] == deviceTextures.currentTexture[tmu0] &&
               texture[tmu1] == deviceTextures.currentTexture[tmu1] &&
               enabled[tmu0] == deviceTextures.textureEnabled[tmu0] &&
               enabled[tmu1] == deviceTextures.textureEnabled[tmu1];
    }
};

// What the vertex loop takes from the conversion record. The plain shape, no flip, no clip coordinates and
// TMU 1 unread, has a loop of its own (fours, below); the colour codes and the table fog follow it as they
// follow this one.
struct AnyShape {
    static bool iterated(const VertexConversion &c) { return c.colorMode == colorIterated; }
    static bool tableFog(const VertexConversion &c) { return c.tableFog; }
    static bool tmu1(const VertexConversion &c) { return c.tmu1; }
    static bool flipY(const VertexConversion &c) { return c.flipY; }
    static bool mirrorX(const VertexConversion &c) { return c.mirrorX; }
    static bool clip(const VertexConversion &c) { return c.clip; }
};

// The 1/w the conversion works with: a clip-coordinate vertex carries w itself.
template <typename Shape>
__attribute__((always_inline)) inline float vertexOow(const FxU8 *vertex, const VertexConversion &conversion,
                                                      const VertexLayout &layout) {
    if (!conversion.readsOow) return 1.0f;
    const float value = readFloat(vertex, layout.oow);
    return validOneOverW(Shape::clip(conversion) ? 1.0f / value : value);
}

// Clip-coordinate s and t run 0 to 1 over the texture's longer side and are not divided by w.
constexpr float clipTextureScale = 256.0f;
// Clip-coordinate colour channels run 0 to 1.
constexpr float clipColorScale = 255.0f;

template <typename Shape>
inline float fogOow(const FxU8 *vertex, const VertexConversion &conversion, const VertexLayout &layout) {
    if (!conversion.readsOow) return 1.0f;
    const float value = readFloat(vertex, layout.fogOow);
    return validOneOverW(Shape::clip(conversion) ? 1.0f / value : value);
}

// The w the fog table is read at. A fog coordinate stands for w itself, the quantity the table's entries are
// spaced along, so a program fogs by eye distance or any depth it computes. Without a fog coordinate in the
// layout the table falls back to the vertex's w.
template <typename Shape>
inline float fogW(const FxU8 *vertex, const VertexConversion &conversion, const VertexLayout &layout) {
    if (conversion.fogFromCoordinate) return readFloat(vertex, layout.fogCoord);
    return 1.0f / fogOow<Shape>(vertex, conversion, layout);
}

// One application vertex into its Direct3D slot: 1/w, depth, colour, position and texture coordinates. The
// colour codes and the table fog are left to convertColors: under them the slot holds V as its diffuse
// colour.
// Only the fields the current modes read are read. Returns the vertex's positionCheck.
template <typename Shape>
__attribute__((always_inline)) inline float convertVertex(const void *source, DrawVertex &d,
                                                          const VertexConversion &conversion,
                                                          const VertexLayout &layout) {
    const FxU8 *vertex = static_cast<const FxU8 *>(source);
    const float oow = vertexOow<Shape>(vertex, conversion, layout);
    const bool clip = Shape::clip(conversion);
    // Single precision, as the Glide application computed its s/w and t/w.
    float w = conversion.textured ? (clip ? clipTextureScale : 1.0f / oow) : 1.0f;

    float z = 0.0f;
    if (conversion.depthSource == depthFromOoz && (layout.fields & fieldDepth))
        z = clampedDepth(clip ? readFloat(vertex, layout.ooz) * oow * conversion.clipMap.zScale +
                                    conversion.clipMap.zOffset
                              : readFloat(vertex, layout.ooz) / layout.rules.depthRange);
    else if (conversion.depthSource == depthFromOow)
        z = clampedDepth(conversion.fastDepth ? 1.0f - oow : 1.0f - sqrtf(oow));
    d.z = z;

    if (Shape::iterated(conversion) || conversion.colorMode != colorFixed) {
        d.diffuse = sourceColor(vertex, layout, clip ? clipColorScale : 1.0f);
        d.specular = 0;
        if (conversion.colorMode == colorSelected) {
            d.specular = (d.diffuse & conversion.specularFromVertex) | conversion.fixedSpecular;
            d.diffuse = (d.diffuse & conversion.diffuseFromVertex) | conversion.fixedDiffuse;
        }
    } else {
        d.diffuse = conversion.fixedDiffuse;
        d.specular = conversion.fixedSpecular;
    }

    float x = 0.0f, y = 0.0f;
    if ((layout.fields & fieldPosition) && clip) {
        x = readFloat(vertex, layout.x) * oow * conversion.clipMap.xScale + conversion.clipMap.xOffset;
        y = readFloat(vertex, layout.y) * oow * conversion.clipMap.yScale + conversion.clipMap.yOffset;
    } else if (layout.fields & fieldPosition) {
        x = unsnapped(readFloat(vertex, layout.x));
        y = unsnapped(readFloat(vertex, layout.y));
    }
    const float check = positionCheck(x, y);
    if (Shape::flipY(conversion)) y = conversion.screenHeight - y;
    if (Shape::mirrorX(conversion)) x = conversion.screenWidth - x;
    if (conversion.scaled) {
        x = x * conversion.xScale + conversion.xOffset;
        y = y * conversion.yScale + conversion.yOffset;
    }
    d.x = x;
    d.y = y;

    // Glide's s/w and t/w run to 256/w along the longer side; multiplying by w undoes the division, which
    // Direct3D redoes from rhw. A TMU's own 1/w, where the layout has one, divides in place of the vertex's;
    // TMU 0's stands for TMU 1 too when TMU 1 has none.
    const bool tmu1 = Shape::tmu1(conversion);
    float w0 = w;
    if ((layout.fields & fieldQ0) && (conversion.tmu0 || tmu1) && !clip)
        w0 = 1.0f / validOneOverW(readFloat(vertex, layout.q[0]));
    float w1 = w0;
    if ((layout.fields & fieldQ1) && tmu1 && !clip) w1 = 1.0f / validOneOverW(readFloat(vertex, layout.q[1]));
    float tu0 = 0.0f, tv0 = 0.0f, tu1 = 0.0f, tv1 = 0.0f;
    if (conversion.tmu0) {
        tu0 = conversion.sScale0 * readFloat(vertex, layout.sow[0]) * w0;
        tv0 = conversion.tScale0 * readFloat(vertex, layout.tow[0]) * w0;
    }
    if (tmu1) {
        tu1 = conversion.sScale1 * readFloat(vertex, layout.sow[1]) * w1;
        tv1 = conversion.tScale1 * readFloat(vertex, layout.tow[1]) * w1;
    }
    d.tu0 = tu0;
    d.tv0 = tv0;
    d.tu1 = tu1;
    d.tv1 = tv1;

    d.rhw = conversion.rhwFromOow ? oow : 1.0f;
    return check;
}

// The colour codes and the table fog over the slots convertVertex filled. Apart from its loop, whose
// registers the calls would otherwise save and restore at every vertex.
template <typename Shape, typename At>
inline void convertColors(At at, int count, DrawVertex *slots, const VertexConversion &conversion,
                          const VertexLayout &layout) {
    if (!Shape::iterated(conversion) && conversion.colorMode == colorByCodes) applyColorCodes(slots, count);
    if (Shape::tableFog(conversion))
        for (int i = 0; i < count; ++i) {
            const float w = fogW<Shape>(static_cast<const FxU8 *>(at(i)), conversion, layout);
            slots[i].specular = (slots[i].specular & 0x00FFFFFFu) | (255u - fogAmountAtW(w)) << 24;
        }
}

// The plain shape four vertices at a time. Every step is the packed form of the one convertVertex takes, so
// each vertex comes out bit for bit the same: division, square root, truncation, minimum and maximum round
// as their single forms do, and a truncation out of range or of NaN gives 0x80000000, whose low byte is the
// 0 colorByte gives. Without it the conversion of one vertex is mostly tests and single-lane arithmetic.
namespace fours {

inline __m128 select(__m128 mask, __m128 a, __m128 b) {
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

inline __m128 gather(const FxU8 *const vertex[4], FxU32 offset) {
    return _mm_setr_ps(readFloat(vertex[0], offset), readFloat(vertex[1], offset),
                       readFloat(vertex[2], offset), readFloat(vertex[3], offset));
}

inline __m128i gatherWords(const FxU8 *const vertex[4], FxU32 offset) {
    return _mm_setr_epi32(
        static_cast<int>(readWord(vertex[0], offset)), static_cast<int>(readWord(vertex[1], offset)),
        static_cast<int>(readWord(vertex[2], offset)), static_cast<int>(readWord(vertex[3], offset)));
}

inline __m128 validOneOverW(__m128 oow) {
    const __m128 valid =
        _mm_and_ps(_mm_cmpgt_ps(oow, _mm_setzero_ps()), _mm_cmple_ps(oow, _mm_set1_ps(FLT_MAX)));
    return select(valid, oow, _mm_set1_ps(1.0f));
}

// maxps gives its second operand for NaN and for two zeros, so NaN and -0 become +0 as in clampedDepth.
inline __m128 clampedDepth(__m128 z) {
    return _mm_min_ps(_mm_max_ps(z, _mm_setzero_ps()), _mm_set1_ps(1.0f));
}

inline __m128i channelBytes(__m128 value) {
    return _mm_and_si128(_mm_cvttps_epi32(value), _mm_set1_epi32(0xFF));
}

inline __m128i clampedChannels(__m128 value) {
    return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(255.0f)));
}

inline __m128 unsnapped(__m128 coordinate) {
    const __m128 snapped = _mm_cmpge_ps(coordinate, _mm_set1_ps(snapThreshold));
    return _mm_sub_ps(coordinate, _mm_and_ps(snapped, _mm_set1_ps(snapOffset)));
}

__attribute__((always_inline)) inline __m128i sourceColors(const FxU8 *const vertex[4],
                                                           const VertexLayout &layout) {
    if (layout.fields & fieldPackedColor) return gatherWords(vertex, layout.packedColor);
    const int alphaShift = 24, redShift = 16, greenShift = 8;
    if (!layout.rules.clampsColor)
        return _mm_or_si128(
            _mm_or_si128(_mm_slli_epi32(channelBytes(gather(vertex, layout.alpha)), alphaShift),
                         _mm_slli_epi32(channelBytes(gather(vertex, layout.red)), redShift)),
            _mm_or_si128(_mm_slli_epi32(channelBytes(gather(vertex, layout.green)), greenShift),
                         channelBytes(gather(vertex, layout.blue))));
    __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u)), rgb = _mm_set1_epi32(0x00FFFFFF);
    if (layout.fields & fieldAlpha)
        alpha = _mm_slli_epi32(clampedChannels(gather(vertex, layout.alpha)), alphaShift);
    if (layout.fields & fieldRgb)
        rgb = _mm_or_si128(
            _mm_or_si128(_mm_slli_epi32(clampedChannels(gather(vertex, layout.red)), redShift),
                         _mm_slli_epi32(clampedChannels(gather(vertex, layout.green)), greenShift)),
            clampedChannels(gather(vertex, layout.blue)));
    return _mm_or_si128(alpha, rgb);
}

inline void storeSlot(DrawVertex &slot, __m128 position, __m128 colorAndTexture) {
    _mm_storeu_ps(&slot.x, position);
    _mm_storeu_ps(reinterpret_cast<float *>(&slot.diffuse), colorAndTexture);
    slot.tu1 = 0.0f;
    slot.tv1 = 0.0f;
}

// Up to four vertices into slots[0 … count): lanes past count repeat the last vertex and are not stored.
// Returns the lanes' (x - x) + (y - y), 0 in every lane when all positions are finite.
__attribute__((always_inline)) inline __m128 convertFour(const FxU8 *const vertex[4], int count,
                                                         DrawVertex *slots,
                                                         const VertexConversion &conversion,
                                                         const VertexLayout &layout) {
    const __m128 one = _mm_set1_ps(1.0f), zero = _mm_setzero_ps();
    const __m128 oow = conversion.readsOow ? validOneOverW(gather(vertex, layout.oow)) : one;
    const __m128 w = conversion.textured ? _mm_div_ps(one, oow) : one;

    __m128 z = zero;
    if (conversion.depthSource == depthFromOoz && (layout.fields & fieldDepth))
        z = clampedDepth(_mm_div_ps(gather(vertex, layout.ooz), _mm_set1_ps(layout.rules.depthRange)));
    else if (conversion.depthSource == depthFromOow)
        z = clampedDepth(_mm_sub_ps(one, conversion.fastDepth ? oow : _mm_sqrt_ps(oow)));

    __m128 x = zero, y = zero;
    if (layout.fields & fieldPosition) {
        x = unsnapped(gather(vertex, layout.x));
        y = unsnapped(gather(vertex, layout.y));
    }
    const __m128 check = _mm_add_ps(_mm_sub_ps(x, x), _mm_sub_ps(y, y));
    if (conversion.scaled) {
        x = _mm_add_ps(_mm_mul_ps(x, _mm_set1_ps(conversion.xScale)), _mm_set1_ps(conversion.xOffset));
        y = _mm_add_ps(_mm_mul_ps(y, _mm_set1_ps(conversion.yScale)), _mm_set1_ps(conversion.yOffset));
    }

    __m128 tu0 = zero, tv0 = zero;
    if (conversion.tmu0) {
        __m128 w0 = w;
        if (layout.fields & fieldQ0) w0 = _mm_div_ps(one, validOneOverW(gather(vertex, layout.q[0])));
        tu0 = _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(conversion.sScale0), gather(vertex, layout.sow[0])), w0);
        tv0 = _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(conversion.tScale0), gather(vertex, layout.tow[0])), w0);
    }
    __m128 rhw = conversion.rhwFromOow ? oow : one;
    __m128 diffuse, specular = zero;
    if (conversion.colorMode == colorFixed) {
        diffuse = _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(conversion.fixedDiffuse)));
        specular = _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(conversion.fixedSpecular)));
    } else if (conversion.colorMode == colorSelected) {
        const __m128i v = sourceColors(vertex, layout);
        const auto picked = [&v](FxU32 fromVertex, FxU32 fixed) {
            return _mm_castsi128_ps(
                _mm_or_si128(_mm_and_si128(v, _mm_set1_epi32(static_cast<int>(fromVertex))),
                             _mm_set1_epi32(static_cast<int>(fixed))));
        };
        diffuse = picked(conversion.diffuseFromVertex, conversion.fixedDiffuse);
        specular = picked(conversion.specularFromVertex, conversion.fixedSpecular);
    } else {
        diffuse = _mm_castsi128_ps(sourceColors(vertex, layout));
    }

    _MM_TRANSPOSE4_PS(x, y, z, rhw);
    _MM_TRANSPOSE4_PS(diffuse, specular, tu0, tv0);
    storeSlot(slots[0], x, diffuse);
    if (count > 1) storeSlot(slots[1], y, specular);
    if (count > 2) storeSlot(slots[2], z, tu0);
    if (count > 3) storeSlot(slots[3], rhw, tv0);
    return check;
}

const int lanes = 4;

template <typename At>
__attribute__((always_inline)) inline bool convertAll(At at, int count, DrawVertex *slots,
                                                      const VertexConversion &conversion,
                                                      const VertexLayout &layout) {
    __m128 check = _mm_setzero_ps();
    for (int first = 0; first < count; first += lanes) {
        const int take = count - first < lanes ? count - first : lanes;
        // Lanes past `take` repeat the last vertex. Spelt out: as a loop the compiler computed the four
        // indices with vector instructions, a tenth of a triangle's conversion.
        const FxU8 *vertex[lanes];
        vertex[0] = static_cast<const FxU8 *>(at(first));
        vertex[1] = take > 1 ? static_cast<const FxU8 *>(at(first + 1)) : vertex[0];
        vertex[2] = take > 2 ? static_cast<const FxU8 *>(at(first + 2)) : vertex[1];
        vertex[3] = take > 3 ? static_cast<const FxU8 *>(at(first + 3)) : vertex[2];
        check = _mm_add_ps(check, convertFour(vertex, take, slots + first, conversion, layout));
    }
    const int everyLane = 0xF;
    return _mm_movemask_ps(_mm_cmpeq_ps(check, _mm_setzero_ps())) == everyLane;
}

} // namespace fours

// Every primitive's vertices, read through one layout.
template <typename LayoutOf> struct LayoutConversion {
    // The vertices `at` hands out for 0 to count - 1, in the loop compiled for the primitive's shape.
    template <typename At>
    __attribute__((always_inline)) static bool convert(At at, int count, DrawVertex *slots) {
        typename LayoutOf::Held layout = LayoutOf::get();
        if (preparedAt != conversionInputsGeneration || !boundAtPreparation.same()) {
            prepareVertexConversion(prepared, layout);
            preparedAt = conversionInputsGeneration;
            boundAtPreparation = BoundTextures::now();
        }
        // Read in place: a local copy was kept in registers the loop then had to spill.
        const VertexConversion &conversion = prepared;
        if (!conversion.plain) return convertAll<AnyShape>(at, count, slots, conversion, layout);
        const bool finite = fours::convertAll(at, count, slots, conversion, layout);
        convertColors<AnyShape>(at, count, slots, conversion, layout);
        return finite;
    }

    template <typename Shape, typename At>
    __attribute__((always_inline)) static bool convertAll(At at, int count, DrawVertex *slots,
                                                          const VertexConversion &conversion,
                                                          const VertexLayout &layout) {
        float check = 0.0f;
        for (int i = 0; i < count; ++i)
            check += convertVertex<Shape>(at(i), slots[i], conversion, layout);
        convertColors<Shape>(at, count, slots, conversion, layout);
        return check == 0.0f;
    }

    static bool list(const void *vlist, int count, int first) {
        const FxU8 *records = static_cast<const FxU8 *>(vlist);
        const FxU32 stride = LayoutOf::get().stride;
        return convert([=](int i) { return records + static_cast<ptrdiff_t>(i) * stride; }, count,
                       vertexBuffer + first);
    }

    static bool indexed(const int *ilist, const void *vlist, int count, int first) {
        const FxU8 *records = static_cast<const FxU8 *>(vlist);
        const FxU32 stride = LayoutOf::get().stride;
        return convert([=](int i) { return records + static_cast<ptrdiff_t>(ilist[i]) * stride; }, count,
                       vertexBuffer + first);
    }

    static bool pointers(const void *const *vertices, int count, DrawVertex *slots) {
        return convert([=](int i) { return vertices[i]; }, count, slots);
    }

    static constexpr VertexConverters converters = {pointers, list, indexed};

    // The record of the last primitive through this layout, and the generation and textures it was
    // prepared with.
    static inline VertexConversion prepared;
    static inline unsigned long long preparedAt = 0;
    static inline BoundTextures boundAtPreparation = {};
};

// A layout known at compile time: constexpr VertexLayout with static storage.
template <const VertexLayout &layout> struct FixedLayout {
    typedef const VertexLayout &Held;
    static constexpr const VertexLayout &get() { return layout; }
};

} // namespace vertex_conversion

// The converters of a layout fixed when the front end is compiled.
template <const VertexLayout &layout>
constexpr VertexConverters fixedLayoutConverters =
    vertex_conversion::LayoutConversion<vertex_conversion::FixedLayout<layout>>::converters;

#endif
