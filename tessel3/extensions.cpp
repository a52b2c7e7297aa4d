// Extension procedures handed out by grGetProcAddress: only those of extensions the reported board
// announces in GR_EXTENSION, so a program that checks the string first and one that asks blindly agree.
#include <string.h>

#include "session/entry_lock.h"
#include "glide3x.h"

#include "core/card_profiles.h"
#include "session/gamma.h"

namespace {

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
};

} // namespace

FX_ENTRY GrProc FX_CALL grGetProcAddress(char *procName) {
    EntryLock entryLock;
    if (procName == NULL) return NULL;
    for (const ExtensionProc &entry : extensionProcs)
        if ((cardProfile().extensions & entry.extension) != 0 && strcmp(procName, entry.name) == 0)
            return entry.proc;
    return NULL;
}
