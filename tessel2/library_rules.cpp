#include "library_rules.h"

#include <stddef.h>

#include "glide2x.h"
#include "render/vertex_conversion.h"
#include "texture/texel_converters.h"

namespace {

// Tried in this order when a format has no native match on the device.
const TextureFallback glide2Fallbacks[] = {
    {GR_TEXFMT_ALPHA_INTENSITY_44, argbRow, convertAi44ToArgb, 0},
    {GR_TEXFMT_ALPHA_8, argbRow, convertA8ToArgb, 0},
    {GR_TEXFMT_ALPHA_INTENSITY_88, argbRow, convertAi88ToArgb, 0},
    {GR_TEXFMT_ARGB_8332, argbRow, convertArgb8332ToArgb, 0},
    {GR_TEXFMT_RGB_332, xrgbRow, convertRgb332ToXrgb, 0},
    {GR_TEXFMT_INTENSITY_8, xrgbRow, convertI8ToXrgb, 0},
    {GR_TEXFMT_P_8, xrgbRow, convertP8ToXrgb, 1},
    {GR_TEXFMT_AP_88, argbRow, convertAp88ToArgb, 1},
    {GR_TEXFMT_YIQ_422, xrgbRow, convertYiq422ToXrgb, 0},
    {GR_TEXFMT_AYIQ_8422, argbRow, convertAyiq8422ToArgb, 0},
};

DWORD glide2AddressMode(FxI32 mode) {
    return mode != GR_TEXTURECLAMP_WRAP ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
}

const char *const glide2Banner[] = {
    "---------------------------------------\n",
    "              Kestrix 2.2              \n",
    "---------------------------------------\n",
};

} // namespace

// GrVertex, read at offsets fixed when the library is compiled.
constexpr VertexLayout grVertexLayout = {
    offsetof(GrVertex, x),
    offsetof(GrVertex, y),
    offsetof(GrVertex, oow),
    offsetof(GrVertex, ooz),
    offsetof(GrVertex, r),
    offsetof(GrVertex, g),
    offsetof(GrVertex, b),
    offsetof(GrVertex, a),
    {offsetof(GrVertex, tmuvtx[0].sow), offsetof(GrVertex, tmuvtx[1].sow)},
    {offsetof(GrVertex, tmuvtx[0].tow), offsetof(GrVertex, tmuvtx[1].tow)},
    sizeof(GrVertex),
    0,
    {0, 0},
    offsetof(GrVertex, oow),
    everyGlide2Field,
    // The z-buffer depth is ooz over its full range; ZFast, the TMU setting and FightingForceFix count; rhw
    // is 1/w only under a texture; a channel keeps the low byte of its integer part.
    {65535.0f, true, false, true, true, false},
};

const LibraryRules glide2Rules = {
    // Settings: defaults when the product key is missing (Antialiasing, Fog, Oversample, ColorDepth, ZFast,
    // TripleBuffer, WaveRace, FightingForceFix, Filtering, TMU), 32-bit colour forces fast depth, and the
    // board vendor's key is read too.
    {{1, 1, 0, 16, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, true, true},
    // The original library's message texts, kept in Spanish as its users know them.
    {
        DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX,
        "No se puede crear la superficie primaria",
        "No se puede alojar el buffer auxiliar",
        "No se puede alojar el triple buffer",
        true,
        nullptr,
        true,
        false,
    },
    // The combine table blends the texture over the diffuse colour by texture alpha where the device can;
    // operations are sent where they change.
    {true, false},
    {glide2Fallbacks, sizeof(glide2Fallbacks) / sizeof(glide2Fallbacks[0])},
    // 3DF files: levels from the largest (GR_LOD_256 = 0), aspect ratios from 8x1 (0) to 1x8 (6).
    {
        {GR_LOD_1, GR_LOD_2, GR_LOD_4, GR_LOD_8, GR_LOD_16, GR_LOD_32, GR_LOD_64, GR_LOD_128, GR_LOD_256},
        {GR_ASPECT_8x1, GR_ASPECT_4x1, GR_ASPECT_2x1, GR_ASPECT_1x1, GR_ASPECT_1x2, GR_ASPECT_1x4,
         GR_ASPECT_1x8},
    },
    grVertexLayout,
    glide2AddressMode,
    glide2Banner,
    sizeof(glide2Banner) / sizeof(glide2Banner[0]),
    // Session: origin lines and log flushes, scenes restarted by every present, opaque bitmaps, chroma-key
    // mode sent on every call, the full initial state on stage 0 only, the pointer parked at the far corner,
    // dithering as grDitherMode asks.
    {true, true, true, true, false, false, true, false, 32767, false},
    fixedLayoutConverters<grVertexLayout>,
};
