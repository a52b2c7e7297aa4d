#include "library_rules.h"

#include "glide3x.h"
#include "vertex_layout.h"

namespace {

// The mirror mode is the one the TEXMIRROR extension announces.
DWORD glide3AddressMode(FxI32 mode) {
    if (mode == GR_TEXTURECLAMP_WRAP) return D3DTADDRESS_WRAP;
    return mode == GR_TEXTURECLAMP_MIRROR_EXT ? D3DTADDRESS_MIRROR : D3DTADDRESS_CLAMP;
}

const char *const glide3Banner[] = {
    "---------------------------------------\n",
    "              Kestrix 3.0              \n",
    "---------------------------------------\n",
};

const int glide3CursorPosition = 10000;

} // namespace

const LibraryRules glide3Rules = {
    .settings =
        {
            // When the product key is missing. Filtering 0 here filters bilinearly as Glide 2's default does
            // for the games that ask.
            .missingKeyDefaults =
                {
                    .Antialiasing = 0,
                    .Fog = 1, // as in Glide 2
                    .Oversample = 0,
                    .ColorDepth = 16,
                    .ZFast = 0,
                    .TripleBuffer = 0,
                    .WaveRace = 0,
                    .FightingForceFix = 0,
                    .Filtering = 0,
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
            .colorDepth32ForcesZFast = false,
            .readGlideKey = false,
        },
    .display =
        {
            .cooperativeLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES |
                                DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX | DDSCL_MULTITHREADED,
            .primarySurfaceMessage = "Kestrix cannot create primary surface",
            .auxBufferMessage = "Kestrix cannot allocate auxiliar buffer",
            .tripleBufferMessage = "Kestrix cannot allocate triple buffer",
            .readsWindowTitle = false,
            .unlocksScreenSurfaces = false,
            .normalLevelBeforeRestore = true,
        },
    .combineTable =
        {
            .blendTextureAlphaEntries = false,
            .resendsStageOps = true, // operations sent at every combine call
            .invertsZeroFunction = false,
        },
    // 3DF files: levels and aspect ratios as Glide 3 numbers them, by their base-2 logarithms.
    .tdf =
        {
            .lodOfLog2Size = {GR_LOD_LOG2_1, GR_LOD_LOG2_2, GR_LOD_LOG2_4, GR_LOD_LOG2_8, GR_LOD_LOG2_16,
                              GR_LOD_LOG2_32, GR_LOD_LOG2_64, GR_LOD_LOG2_128, GR_LOD_LOG2_256},
            .aspectValues = {GR_ASPECT_LOG2_8x1, GR_ASPECT_LOG2_4x1, GR_ASPECT_LOG2_2x1, GR_ASPECT_LOG2_1x1,
                             GR_ASPECT_LOG2_1x2, GR_ASPECT_LOG2_1x4, GR_ASPECT_LOG2_1x8},
        },
    // Glide 3 vertices have the layout grVertexLayout gives them, none until the application sets one.
    .vertexLayout =
        {
            .x = 0,
            .y = 0,
            .oow = 0,
            .ooz = 0,
            .red = 0,
            .green = 0,
            .blue = 0,
            .alpha = 0,
            .sow = {0, 0},
            .tow = {0, 0},
            .stride = 0,
            .packedColor = 0,
            .q = {0, 0},
            .fogOow = 0,
            .fogCoord = 0,
            .fields = 0,
            .rules =
                {
                    .depthRange = 65536.0f, // the z-buffer depth is z / 65536
                    .honoursZFast = false,  // ZFast, the TMU setting and FightingForceFix play no part
                    .rhwAlways = true,      // rhw is always 1/w
                    .tmuSettingGatesTmu1 = false,
                    .honoursFightingForceFix = false,
                    .clampsColor = true, // float channels are held to 0 to 255
                },
        },
    .addressMode = glide3AddressMode,
    .filtering = FilteringSetting::onSamplesPoint,
    .banner =
        {
            .lines = glide3Banner,
            .lineCount = sizeof(glide3Banner) / sizeof(glide3Banner[0]),
            .placement = BannerPlacement::withAdapterIdentity,
        },
    .session =
        {
            .logsOrigin = false,
            .flushesLog = false,
            .presentRestartsScene = false, // the scene begun once at open
            .swapCountsPixelsOut = false,
            .bitmapsColorKeyed = true,
            .cachesChromakeyMode = true, // the mode sent on changes only
            .legacyInitialStates = false,
            .stageOneArguments = true, // the reduced initial state on both stages
            .parkedCursorPosition = glide3CursorPosition,
            .ditherAlwaysOn = true, // whenever the display has 16 bits
        },
    // Converted through the layout in force.
    .vertexConverters = {.pointers = nullptr, .list = nullptr, .indexed = nullptr},
    .traceLibraryName = "tessel3.dll",
    // The application's vertex layout is described from load on.
    .frontEndResets = {.atLoad = resetVertexLayout, .atGlideInit = nullptr},
};
