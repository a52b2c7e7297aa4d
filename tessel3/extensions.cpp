// Extension procedures handed out by grGetProcAddress: only those of extensions the reported board
// announces in GR_EXTENSION, so a program that checks the string first and one that asks blindly agree.
#include <string.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"

#include "core/card_profiles.h"
#include "render/color_format.h"
#include "session/display_device.h"
#include "session/gamma.h"
#include "core/not_emulated.h"
#include "texture/chroma_range.h"

namespace {

// The values of the chroma range extensions, which the library's header does not carry.
const FxU32 chromaRangeEnable = 0x1;    // GR_CHROMARANGE_ENABLE_EXT
const FxU32 chromaRangeRgbAll = 0x0;    // GR_CHROMARANGE_RGB_ALL_EXT
const FxU32 texChromaEnable = 0x1;      // GR_TEXCHROMA_ENABLE_EXT
const FxU32 texChromaRangeRgbAll = 0x0; // GR_TEXCHROMARANGE_RGB_ALL_EXT

// CHROMARANGE: the frame's range stands in for the chroma-key value while it is enabled.
void FX_CALL grChromaRangeModeExt(GrChromakeyMode_t mode) {
    EntryLock entryLock;
    setChromaRangeMode(static_cast<FxU32>(mode) == chromaRangeEnable);
}

// Every channel between its bounds is the only match mode the runtimes defined.
void FX_CALL grChromaRangeExt(GrColor_t color, GrColor_t range, FxU32 matchMode) {
    EntryLock entryLock;
    if (matchMode != chromaRangeRgbAll) noteNotEmulated("grChromaRangeExt match mode");
    setChromaRange(toArgb(color), toArgb(range));
}

// TEXCHROMA: each TMU keys its own texels.
void FX_CALL grTexChromaModeExt(GrChipID_t tmu, FxU32 mode) {
    EntryLock entryLock;
    setTexChromaMode(tmu, mode == texChromaEnable);
}

void FX_CALL grTexChromaRangeExt(GrChipID_t tmu, GrColor_t min, GrColor_t max, FxU32 mode) {
    EntryLock entryLock;
    if (mode != texChromaRangeRgbAll) noteNotEmulated("grTexChromaRangeExt mode");
    setTexChromaRange(tmu, toArgb(min), toArgb(max));
}

// GETGAMMA: the table the program loaded, without the user's brightness on top.
void FX_CALL grGetGammaTableExt(FxU32 nentries, FxU32 *red, FxU32 *green, FxU32 *blue) {
    readGammaTable(nentries, red, green, blue);
}

// Procedures travel as GrProc and are called through their own type again.
template <typename Procedure> GrProc asProc(Procedure procedure) {
    return reinterpret_cast<GrProc>(reinterpret_cast<void (*)(void)>(procedure));
}

struct ExtensionProc {
    const char *name;
    FxU32 extension;
    GrProc proc;
};

const ExtensionProc extensionProcs[] = {
    {"grGetGammaTableExt", extensionGetGamma, asProc(grGetGammaTableExt)},
    {"grChromaRangeModeExt", extensionChromaRange, asProc(grChromaRangeModeExt)},
    {"grChromaRangeExt", extensionChromaRange, asProc(grChromaRangeExt)},
    {"grTexChromaModeExt", extensionTexChroma, asProc(grTexChromaModeExt)},
    {"grTexChromaRangeExt", extensionTexChroma, asProc(grTexChromaRangeExt)},
};

} // namespace

FX_ENTRY GrProc FX_CALL grGetProcAddress(char *procName) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceText{procName});
    if (procName == NULL) return NULL;
    for (const ExtensionProc &entry : extensionProcs)
        if ((cardProfile().extensions & entry.extension) != 0 && strcmp(procName, entry.name) == 0)
            return entry.proc;
    return NULL;
}
