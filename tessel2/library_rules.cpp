#include "library_rules.h"

#include <stddef.h>

#include "glide2x.h"
#include "mipmap_manager.h"
#include "render/vertex_conversion.h"

namespace {

DWORD glide2AddressMode(FxI32 mode) {
    return mode != GR_TEXTURECLAMP_WRAP ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
}

const char *const glide2Banner[] = {
    "---------------------------------------\n",
    "              Kestrix 2.2              \n",
    "---------------------------------------\n",
};

const int glide2CursorPosition = 32767;

} // namespace

// GrVertex, read at offsets fixed when the library is compiled.
constexpr VertexLayout grVertexLayout = {
    .x = offsetof(GrVertex, x),
    .y = offsetof(GrVertex, y),
    .oow = offsetof(GrVertex, oow),
    .ooz = offsetof(GrVertex, ooz),
    .red = offsetof(GrVertex, r),
    .green = offsetof(GrVertex, g),
    .blue = offsetof(GrVertex, b),
    .alpha = offsetof(GrVertex, a),
    .sow = {offsetof(GrVertex, tmuvtx[0].sow), offsetof(GrVertex, tmuvtx[1].sow)},
    .tow = {offsetof(GrVertex, tmuvtx[0].tow), offsetof(GrVertex, tmuvtx[1].tow)},
    .stride = sizeof(GrVertex),
    .packedColor = 0,
    .q = {0, 0},
    .fogOow = offsetof(GrVertex, oow),
    .fogCoord = 0, // Glide 2 vertices have no fog coordinate
    .fields = everyGlide2Field,
    .rules =
        {
            .depthRange = 65535.0f, // the z-buffer depth is ooz over its full range
            .honoursZFast = true,   // ZFast, the TMU setting and FightingForceFix count
            .rhwAlways = false,     // rhw is 1/w only under a texture
            .tmuSettingGatesTmu1 = true,
            .honoursFightingForceFix = true,
            .clampsColor = false, // a channel keeps the low byte of its integer part
        },
};

const LibraryRules glide2Rules = {
    .settings =
        {
            // When the product key is missing.
            .missingKeyDefaults =
                {
                    .Antialiasing = 1,
                    .Fog = 1,
                    .Oversample = 0,
                    .ColorDepth = 16,
                    .ZFast = 1,
                    .TripleBuffer = 0,
                    .WaveRace = 0,
                    .FightingForceFix = 0,
                    .Filtering = 1,
                    .TMU = 0,
                    // Only the ten above have defaults here.
                    .NoSplash = 0,
                    .NoDitherSub = 0,
                    .Windowed = 0,
                    .WindowScale = 0,
                    .FramePacing = 0,
                    .displayValuesPresent = 0,
                    .LfbStride2048 = 0,
                    .RenderScale = 0,
                    .renderScalePresent = 0,
                    .Trace = 0,
                    .TraceMaxMegabytes = 0,
                },
            .colorDepth32ForcesZFast = true,
            .readGlideKey = true, // the board vendor's key too
        },
    .display =
        {
            .cooperativeLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX,
            // In Spanish, as the library's first users have always read them.
            .primarySurfaceMessage = "No se puede crear la superficie primaria",
            .auxBufferMessage = "No se puede alojar el buffer auxiliar",
            .tripleBufferMessage = "No se puede alojar el triple buffer",
            .readsWindowTitle = true,
            .unlocksScreenSurfaces = true,
            .normalLevelBeforeRestore = false,
        },
    .combineTable =
        {
            .blendTextureAlphaEntries = true, // where the device can
            .resendsStageOps = false,         // operations are sent where they change
            .invertsZeroFunction = true,
        },
    // 3DF files: levels from the largest (GR_LOD_256 = 0), aspect ratios from 8x1 (0) to 1x8 (6).
    .tdf =
        {
            .lodOfLog2Size = {GR_LOD_1, GR_LOD_2, GR_LOD_4, GR_LOD_8, GR_LOD_16, GR_LOD_32, GR_LOD_64,
                              GR_LOD_128, GR_LOD_256},
            .aspectValues = {GR_ASPECT_8x1, GR_ASPECT_4x1, GR_ASPECT_2x1, GR_ASPECT_1x1, GR_ASPECT_1x2,
                             GR_ASPECT_1x4, GR_ASPECT_1x8},
        },
    .vertexLayout = grVertexLayout,
    .addressMode = glide2AddressMode,
    .filtering = FilteringSetting::onKeepsApplicationFilters,
    .banner =
        {
            .lines = glide2Banner,
            .lineCount = sizeof(glide2Banner) / sizeof(glide2Banner[0]),
            .placement = BannerPlacement::beforeDisplayOpen,
        },
    .session =
        {
            .logsOrigin = true,
            .flushesLog = true,
            .presentRestartsScene = true,
            .swapCountsPixelsOut = true,
            .bitmapsColorKeyed = false, // the logo and splash are opaque
            .cachesChromakeyMode = false,
            .legacyInitialStates = true,
            .stageOneArguments = false,                   // the full initial state on stage 0 only
            .parkedCursorPosition = glide2CursorPosition, // the far corner
            .ditherAlwaysOn = false,                      // dithering as grDitherMode asks
        },
    .vertexConverters = fixedLayoutConverters<grVertexLayout>,
    .traceLibraryName = "tessel2.dll",
    // The utility library's texture manager hands out the texture memory grGlideInit empties.
    .frontEndResets = {.atLoad = nullptr, .atGlideInit = resetMipMapManager},
};
