#include "library_rules.h"

#include "glide3x.h"
#include "session/log.h"
#include "texture/texel_converters.h"

namespace {

// Tried in this order when a format has no native match on the device.
const TextureFallback glide3Fallbacks[] = {
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

// The mirror mode is the one the TEXMIRROR extension announces.
DWORD glide3AddressMode(FxI32 mode) {
    if (mode == GR_TEXTURECLAMP_WRAP) return D3DTADDRESS_WRAP;
    return mode == GR_TEXTURECLAMP_MIRROR_EXT ? D3DTADDRESS_MIRROR : D3DTADDRESS_CLAMP;
}

// Glide 3 writes its banner with the adapter lines, once the display mode is set.
void logGlide3Banner() {
    logLine("---------------------------------------\n");
    logLine("              Kestrix 3.0              \n");
    logLine("---------------------------------------\n");
}

const int glide3CursorPosition = 10000;

} // namespace

const LibraryRules glide3Rules = {
    // Settings: defaults when the product key is missing (Antialiasing, Fog, Oversample, ColorDepth, ZFast,
    // TripleBuffer, WaveRace, FightingForceFix, Filtering, TMU); no colour-depth rule, no vendor key. Fog
    // as in Glide 2; Filtering 0 here filters bilinearly as Glide 2's default does for the games that ask.
    {{0, 1, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, false},
    {
        DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX |
            DDSCL_MULTITHREADED,
        "Kestrix cannot create primary surface",
        "Kestrix cannot allocate auxiliar buffer",
        "Kestrix cannot allocate triple buffer",
        false,
        logGlide3Banner,
        false,
        true,
    },
    // No entries that blend the texture over the diffuse colour by texture alpha; operations sent at every
    // combine call.
    {false, true},
    {glide3Fallbacks, sizeof(glide3Fallbacks) / sizeof(glide3Fallbacks[0])},
    // 3DF files: levels and aspect ratios as Glide 3 numbers them, by their base-2 logarithms.
    {
        {GR_LOD_LOG2_1, GR_LOD_LOG2_2, GR_LOD_LOG2_4, GR_LOD_LOG2_8, GR_LOD_LOG2_16, GR_LOD_LOG2_32,
         GR_LOD_LOG2_64, GR_LOD_LOG2_128, GR_LOD_LOG2_256},
        {GR_ASPECT_LOG2_8x1, GR_ASPECT_LOG2_4x1, GR_ASPECT_LOG2_2x1, GR_ASPECT_LOG2_1x1, GR_ASPECT_LOG2_1x2,
         GR_ASPECT_LOG2_1x4, GR_ASPECT_LOG2_1x8},
    },
    // Glide 3 vertices have the layout grVertexLayout gives them, none until the application sets one. The
    // z-buffer depth is z / 65536; ZFast, the TMU setting and FightingForceFix play no part; rhw is always
    // 1/w; float channels are held to 0 to 255.
    {0, 0, 0, 0, 0, 0, 0, 0, {0, 0}, {0, 0}, 0, 0, {0, 0}, 0, 0, {65536.0f, false, true, false, false, true}},
    glide3AddressMode,
    nullptr,
    0,
    // Session: no origin lines or log flushes, the scene begun once at open, colour-keyed bitmaps, the
    // chroma-key mode sent on changes only, the reduced initial state on both stages, dithering whenever the
    // display has 16 bits.
    {false, false, false, false, true, true, false, true, glide3CursorPosition, true},
    // Converted through the layout in force.
    {nullptr, nullptr, nullptr},
};
