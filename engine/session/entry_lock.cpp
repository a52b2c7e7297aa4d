#include "entry_lock.h"

#include <windows.h>

#include "../render/prepared_conversion.h"

namespace {

// A critical section rather than a slim reader/writer lock: it is recursive, and an uncontended enter is one
// interlocked operation.
CRITICAL_SECTION entrySection;
bool entrySectionMade = false;
// Changed under the lock only, so by one thread at a time.
int depth = 0;

} // namespace

// The load resets every record the conversion reads, outside any entry point.
void createEntryLock() {
    conversionInputsMayChange();
    if (entrySectionMade) return;
    InitializeCriticalSection(&entrySection);
    entrySectionMade = true;
}

// At process exit the other threads are gone, possibly one of them inside an entry point: the section is
// deleted without being entered, as the detach never takes it.
void deleteEntryLock() {
    conversionInputsMayChange();
    if (!entrySectionMade) return;
    entrySectionMade = false;
    DeleteCriticalSection(&entrySection);
}

EntryLock::EntryLock() : held(entrySectionMade), mayChangeState(true) {
    if (held) EnterCriticalSection(&entrySection);
    ++depth;
    conversionInputsMayChange();
}

EntryLock::EntryLock(DrawOnly) : held(entrySectionMade), mayChangeState(false) {
    if (held) EnterCriticalSection(&entrySection);
    ++depth;
}

// A record prepared inside a state call (an antialiased edge, a saved state drawn) may be older than the
// state the call leaves behind: it is not kept past the call.
EntryLock::~EntryLock() {
    if (mayChangeState) conversionInputsMayChange();
    --depth;
    if (held) LeaveCriticalSection(&entrySection);
}

int entryDepth() {
    return depth;
}
