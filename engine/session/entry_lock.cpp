#include "entry_lock.h"

#include <windows.h>

namespace {

// A critical section rather than a slim reader/writer lock: it is recursive, and an uncontended enter is one
// interlocked operation.
CRITICAL_SECTION entrySection;
bool entrySectionMade = false;
// Changed under the lock only, so by one thread at a time.
int depth = 0;

} // namespace

void createEntryLock() {
    if (entrySectionMade) return;
    InitializeCriticalSection(&entrySection);
    entrySectionMade = true;
}

// At process exit the other threads are gone, possibly one of them inside an entry point: the section is
// deleted without being entered, as the detach never takes it.
void deleteEntryLock() {
    if (!entrySectionMade) return;
    entrySectionMade = false;
    DeleteCriticalSection(&entrySection);
}

EntryLock::EntryLock() : held(entrySectionMade) {
    if (held) EnterCriticalSection(&entrySection);
    ++depth;
}

EntryLock::~EntryLock() {
    --depth;
    if (held) LeaveCriticalSection(&entrySection);
}

int entryDepth() {
    return depth;
}
