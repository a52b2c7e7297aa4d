// Glide 3.x queries: grGet, grGetString, grQueryResolutions and grReset.
#include <string.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"

#include "render/fog_table.h"
#include "session/board_status.h"
#include "core/card_profiles.h"
#include "session/display_modes.h"
#include "session/gamma.h"
#include "session/presentation.h"
#include "texture/texture_memory.h"
#include "vertex_layout.h"

namespace {

// What every board answers; memory, units and revisions are the Card setting's.
const FxI32 depthBits = 16;
const FxI32 glideStateSize = 216;
const FxI32 vertexLayoutSize = static_cast<FxI32>(glideVertexLayoutSize);
const FxI32 maxTextureSize = 256;
const FxI32 maxTextureAspectLog2 = 3;
const FxI32 swapHistoryBuffers = 8;
const FxI32 depthRangeFar = 0xFFFF;
const FxI32 depthRangeNear = 0;
// All FIFO-free bits set and no busy bit; 0x40 is the retrace bit.
const FxI32 fifoInVerticalBlank = 0xFFFF07F;
const FxI32 fifoOutsideVerticalBlank = 0xFFFF03F;

const FxU32 oneValue = sizeof(FxI32);

// The answer to one grGet: the values and how many of them the table fixes; count 0 when not answered.
struct Answer {
    FxI32 values[swapHistoryBuffers];
    FxU32 count;
};

Answer single(FxI32 value) {
    return Answer{{value}, 1};
}

Answer pair(FxI32 first, FxI32 second) {
    return Answer{{first, second}, 2};
}

Answer statistic(FxU32 counter) {
    return single(static_cast<FxI32>(counter));
}

Answer answerOf(FxU32 pname) {
    switch (pname) {
    case GR_BITS_DEPTH:
        return single(depthBits);
    case GR_BITS_RGBA:
        return Answer{{5, 6, 5, 0}, 4};
    case GR_FOG_TABLE_ENTRIES:
        return single(fogTableSize);
    case GR_FIFO_FULLNESS: {
        FxI32 fullness = inVerticalRetrace() ? fifoInVerticalBlank : fifoOutsideVerticalBlank;
        return pair(fullness, fullness);
    }
    case GR_GAMMA_TABLE_ENTRIES:
        return single(static_cast<FxI32>(gammaTableEntries));
    case GR_GLIDE_STATE_SIZE:
        return single(glideStateSize);
    case GR_GLIDE_VERTEXLAYOUT_SIZE:
        return single(vertexLayoutSize);
    case GR_IS_BUSY:
        return single(0);
    case GR_LFB_PIXEL_PIPE:
        return single(1);
    case GR_MAX_TEXTURE_SIZE:
        return single(maxTextureSize);
    case GR_MAX_TEXTURE_ASPECT_RATIO:
        return single(maxTextureAspectLog2);
    case GR_MEMORY_FB:
        return single(static_cast<FxI32>(cardFrameBufferBytes()));
    case GR_MEMORY_TMU:
        return single(static_cast<FxI32>(textureAddressLimit()));
    case GR_MEMORY_UMA:
        return single(static_cast<FxI32>(cardUnifiedBytes()));
    case GR_NUM_BOARDS:
        return single(1);
    case GR_NON_POWER_OF_TWO_TEXTURES:
        return single(0);
    case GR_NUM_FB:
        return single(1);
    case GR_NUM_SWAP_HISTORY_BUFFER:
        return single(swapHistoryBuffers);
    case GR_NUM_TMU:
        return single(cardTextureUnits());
    // Every swap completes at once.
    case GR_PENDING_BUFFERSWAPS:
        return single(0);
    case GR_REVISION_FB:
        return single(cardProfile().glide3FbRevision);
    case GR_REVISION_TMU:
        return single(cardProfile().glide3TmuRevision);
    case GR_STATS_LINES:
        return statistic(boardCounters().lines);
    case GR_STATS_PIXELS_AFUNC_FAIL:
        return statistic(boardCounters().aFuncFail);
    case GR_STATS_PIXELS_CHROMA_FAIL:
        return statistic(boardCounters().chromaFail);
    case GR_STATS_PIXELS_DEPTHFUNC_FAIL:
        return statistic(boardCounters().zFuncFail);
    case GR_STATS_PIXELS_IN:
        return statistic(boardCounters().pixelsIn);
    case GR_STATS_PIXELS_OUT:
        return statistic(boardCounters().pixelsOut);
    case GR_STATS_POINTS:
        return statistic(boardCounters().points);
    case GR_STATS_TRIANGLES_IN:
    case GR_STATS_TRIANGLES_OUT:
        return statistic(boardCounters().triangles);
    case GR_SUPPORTS_PASSTHRU:
        return single(0);
    // Every swap completes at once: no retraces are waited for between them.
    case GR_SWAP_HISTORY:
        return Answer{{0}, static_cast<FxU32>(swapHistoryBuffers)};
    case GR_TEXTURE_ALIGN:
        return single(static_cast<FxI32>(textureMemoryAlignment));
    case GR_VIDEO_POSITION:
        return pair(static_cast<FxI32>(scanLine()), 0);
    case GR_VIEWPORT: {
        ScreenViewport viewport = screenViewport();
        return Answer{{static_cast<FxI32>(viewport.x), static_cast<FxI32>(viewport.y),
                       static_cast<FxI32>(viewport.width), static_cast<FxI32>(viewport.height)},
                      4};
    }
    case GR_WDEPTH_MIN_MAX:
        return pair(depthRangeNear, depthRangeFar);
    case GR_ZDEPTH_MIN_MAX:
        return pair(depthRangeFar, depthRangeNear);
    case GR_BITS_GAMMA:
        return single(gammaTableBits);
    default:
        return Answer{{0, 0, 0, 0}, 0};
    }
}

const char *vendorName(FxU32 vendorId) {
    switch (vendorId) {
    case 0x1002:
        return "ATI";
    case 0x102B:
        return "Matrox";
    case 0x1039:
        return "SiS";
    case 0x10DE:
        return "nVidia";
    case 0x1163:
        return "Rendition";
    case 0x5333:
        return "S3";
    case 0x8086:
        return "Intel";
    default:
        return "3dfx Interactive";
    }
}

struct ExtensionName {
    FxU32 bit;
    const char *name;
};

// In the order the boards' runtimes listed them.
const ExtensionName extensionNames[] = {
    {extensionChromaRange, "CHROMARANGE"}, {extensionTexChroma, "TEXCHROMA"},
    {extensionTexMirror, "TEXMIRROR"},     {extensionPalette6666, "PALETTE6666"},
    {extensionFogCoord, "FOGCOORD"},       {extensionGetGamma, "GETGAMMA"},
};

// The names between single spaces, kept until the next grGetString: " " when there are none.
char extensionText[128];

const char *extensionString() {
    FxU32 offered = offeredExtensions();
    strcpy(extensionText, " ");
    for (const ExtensionName &extension : extensionNames) {
        if ((offered & extension.bit) == 0) continue;
        strcat(extensionText, extension.name);
        strcat(extensionText, " ");
    }
    return extensionText;
}

static_assert(glideResolutionCount == GR_RESOLUTION_MAX + 1, "one entry per Glide resolution");
const FxI32 buffersPerResolution = 4;

} // namespace

// The length must be the one the table fixes for pname: a shorter buffer is never written past.
FX_ENTRY FxU32 FX_CALL grGet(FxU32 pname, FxU32 plength, FxI32 *params) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, pname, plength, TraceOptionalOutput{params, plength});
    showFrontDrawing();
    if (params == NULL) return 0;
    Answer answer = answerOf(pname);
    if (answer.count == 0 || plength != answer.count * oneValue) return 0;
    memcpy(params, answer.values, plength);
    return plength;
}

FX_ENTRY const char *FX_CALL grGetString(FxU32 pname) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, pname);
    switch (pname) {
    case GR_EXTENSION:
        return extensionString();
    case GR_HARDWARE: {
        if (cardProfile().hardwareName != NULL) return cardProfile().hardwareName;
        AdapterIdentity adapter = adapterIdentity();
        return adapter.known ? adapter.description : "Kestrix 3 (tm)";
    }
    case GR_RENDERER:
        return "Glide";
    case GR_VENDOR: {
        AdapterIdentity adapter = adapterIdentity();
        return adapter.known ? vendorName(adapter.vendorId) : "3dfx Interactive";
    }
    case GR_VERSION:
        return cardProfile().glide3Version;
    default:
        return "ERROR";
    }
}

// Every resolution the display can open, with two or one colour buffers, each with and without a depth
// buffer.
FX_ENTRY FxI32 FX_CALL grQueryResolutions(const GrResolution *wanted, GrResolution *output) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceBytes{wanted, static_cast<FxU32>(sizeof(GrResolution))},
                  TraceOptionalOutput{output, 0});
    bool openable[glideResolutionCount];
    const FxI32 recordCount = findOpenableResolutions(openable) * buffersPerResolution;
    if (output != NULL) {
        static const int colorBuffers[buffersPerResolution] = {2, 2, 1, 1};
        static const int auxBuffers[buffersPerResolution] = {1, 0, 1, 0};
        for (FxI32 resolution = 0; resolution < glideResolutionCount; ++resolution) {
            if (!openable[resolution]) continue;
            for (int i = 0; i < buffersPerResolution; ++i)
                *output++ = GrResolution{resolution, GR_REFRESH_60Hz, colorBuffers[i], auxBuffers[i]};
        }
    }
    return recordCount * static_cast<FxI32>(sizeof(GrResolution));
}

FX_ENTRY FxBool FX_CALL grReset(FxU32 what) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, what);
    switch (what) {
    case GR_STATS_LINES:
        resetCounters(CounterGroup::lines);
        return FXTRUE;
    case GR_STATS_PIXELS:
        resetCounters(CounterGroup::pixels);
        return FXTRUE;
    case GR_STATS_POINTS:
        resetCounters(CounterGroup::points);
        return FXTRUE;
    case GR_STATS_TRIANGLES:
        resetCounters(CounterGroup::triangles);
        return FXTRUE;
    case GR_VERTEX_PARAMETER:
        resetVertexLayout();
        return FXTRUE;
    default:
        return FXFALSE;
    }
}
