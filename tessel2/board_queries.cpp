// Glide 2.x entry points that describe the board: grSstQueryHardware, grSstQueryBoards and
// grGlideGetVersion, answered for the board the Card setting names.
#include <stddef.h>
#include <string.h>

#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"

#include "core/card_profiles.h"
#include "session/library.h"

namespace {

// Only the first 40 bytes are the caller's: one board with its two texture units. Games built against
// the first SDK pass a structure no larger.
const size_t callerConfigBytes = 40;
const size_t versionBytes = 80;

static_assert(offsetof(GrHwConfiguration, SSTs[0].sstBoard.VoodooConfig.tmuConfig[1].tmuRam) + sizeof(int) <=
                  callerConfigBytes,
              "both texture units lie in the caller's bytes");

void describeSst96(GrSst96Config_t &board, const CardProfile &card) {
    board.fbRam = static_cast<int>(card.frameBufferMiB);
    board.nTexelfx = cardTextureUnits();
    board.tmuConfig.tmuRev = card.tmuRevision;
    board.tmuConfig.tmuRam = static_cast<int>(card.textureMiBPerUnit);
}

// The Voodoo, Voodoo2, Banshee and Voodoo3 runtimes fill the same record; the second unit's entry is
// written even on one-unit boards, as the default board always did.
void describeVoodoo(GrVoodooConfig_t &board, const CardProfile &card) {
    board.fbRam = static_cast<int>(card.frameBufferMiB);
    board.fbiRev = card.fbiRevision;
    board.nTexelfx = cardTextureUnits();
    board.sliDetect = FXFALSE;
    for (GrTMUConfig_t &unit : board.tmuConfig) {
        unit.tmuRev = card.tmuRevision;
        unit.tmuRam = static_cast<int>(card.textureMiBPerUnit);
    }
}

FxI32 boardType(const CardProfile &card) {
    if (card.boardType == boardTypeVoodoo && cardHasSecondTmu()) return boardTypeVoodooTwoTmus;
    return card.boardType;
}

} // namespace

FX_ENTRY FxBool FX_CALL grSstQueryHardware(GrHwConfiguration *hwConfig) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{static_cast<FxU32>(sizeof(GrHwConfiguration))});
    abandonOpenSession();
    if (hwConfig == NULL) return FXTRUE;
    memset(hwConfig, 0, callerConfigBytes);
    const CardProfile &card = cardProfile();
    hwConfig->num_sst = 1;
    hwConfig->SSTs[0].type = boardType(card);
    if (card.boardType == boardTypeSst96)
        describeSst96(hwConfig->SSTs[0].sstBoard.SST96Config, card);
    else
        describeVoodoo(hwConfig->SSTs[0].sstBoard.VoodooConfig, card);
    return FXTRUE;
}

// Boards are counted and typed without being set up: no memory sizes.
FX_ENTRY FxBool FX_CALL grSstQueryBoards(GrHwConfiguration *hwConfig) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{static_cast<FxU32>(sizeof(GrHwConfiguration))});
    if (hwConfig == NULL) return FXTRUE;
    memset(hwConfig, 0, callerConfigBytes);
    hwConfig->num_sst = 1;
    hwConfig->SSTs[0].type = cardProfile().boardType;
    return FXTRUE;
}

FX_ENTRY void FX_CALL grGlideGetVersion(char version[versionBytes]) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, TraceOutput{versionBytes});
    if (version) strcpy(version, cardProfile().glide2Version);
}
