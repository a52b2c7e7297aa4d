#include "not_emulated.h"

#include <string.h>

#include "log.h"

namespace {

// More than there are unemulated calls and values in both libraries together.
const int noteCapacity = 64;

const char *notedThisSession[noteCapacity];
int notedCount;

bool alreadyNoted(const char *what) {
    for (int i = 0; i < notedCount; ++i)
        if (strcmp(notedThisSession[i], what) == 0) return true;
    return false;
}

} // namespace

void noteNotEmulated(const char *what) {
    if (what == nullptr || alreadyNoted(what)) return;
    if (notedCount < noteCapacity) notedThisSession[notedCount++] = what;
    logLine("%s: not emulated\n", what);
}

void forgetNotEmulatedNotes() {
    notedCount = 0;
}
