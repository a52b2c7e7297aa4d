#include "lfb_shadow.h"

#include <string.h>
#include <windows.h>

#include "../trace/trace_recorder.h"

namespace {

// Pages asked about per GetWriteWatch call: the answer never has to be cut short.
const ULONG_PTR pagesPerQuery = 256;
// Written memory is compared with its last synchronised copy in blocks, and a differing block by pixel
// (two bytes: the smallest pixel a lock hands out).
const size_t compareBlock = 256;
const size_t compareUnit = 2;

FxU8 *allocate(size_t size, bool watched) {
    DWORD type = MEM_RESERVE | MEM_COMMIT | (watched ? MEM_WRITE_WATCH : 0);
    return static_cast<FxU8 *>(VirtualAlloc(NULL, size, type, PAGE_READWRITE));
}

void release(FxU8 *bytes) {
    if (bytes != NULL) VirtualFree(bytes, 0, MEM_RELEASE);
}

struct RangeMerger {
    WrittenRange each;
    void *user;
    size_t from;
    size_t to;
    bool open;

    void add(size_t start, size_t end) {
        if (open && start == to) {
            to = end;
            return;
        }
        flush();
        from = start;
        to = end;
        open = true;
    }

    void flush() {
        if (open) each(from, to, user);
        open = false;
    }
};

// Within memory the application wrote, only the bytes it changed go out: a page also holds pixels that
// 3D drawing changed in the buffer since, and the shadow's older copy of them must not cover them.
void collectChanged(ShadowMemory &memory, size_t start, size_t end, RangeMerger &merger) {
    for (size_t block = start; block < end; block += compareBlock) {
        size_t blockEnd = end - block < compareBlock ? end : block + compareBlock;
        if (memcmp(memory.bytes + block, memory.reference + block, blockEnd - block) == 0) continue;
        for (size_t at = block; at < blockEnd; at += compareUnit) {
            size_t unitEnd = blockEnd - at < compareUnit ? blockEnd : at + compareUnit;
            if (memcmp(memory.bytes + at, memory.reference + at, unitEnd - at) != 0) merger.add(at, unitEnd);
        }
        memcpy(memory.reference + block, memory.bytes + block, blockEnd - block);
    }
}

void collectWatched(ShadowMemory &memory, size_t used, RangeMerger &merger) {
    PVOID pages[pagesPerQuery];
    for (size_t offset = 0; offset < used;) {
        ULONG_PTR count = pagesPerQuery;
        DWORD granularity = 0;
        size_t span = used - offset;
        if (GetWriteWatch(WRITE_WATCH_FLAG_RESET, memory.bytes + offset, span, pages, &count, &granularity) !=
                0 ||
            granularity == 0) {
            collectChanged(memory, offset, used, merger); // unanswered: every page may have been written
            return;
        }
        for (ULONG_PTR i = 0; i < count; ++i) {
            size_t start = static_cast<size_t>(static_cast<FxU8 *>(pages[i]) - memory.bytes);
            size_t end = start + granularity < used ? start + granularity : used;
            collectChanged(memory, start, end, merger);
        }
        if (count < pagesPerQuery) return;
        offset = static_cast<size_t>(static_cast<FxU8 *>(pages[count - 1]) - memory.bytes) + granularity;
    }
}

// The changed pixels go into a trace as they are found: a replay writes them through its own lock.
struct TracedRanges {
    WrittenRange each;
    void *user;
    const FxU8 *bytes;
};

void traceThenForward(size_t from, size_t to, void *user) {
    TracedRanges *traced = static_cast<TracedRanges *>(user);
    traceHeldLockWrite(from, traced->bytes + from, to - from);
    traced->each(from, to, traced->user);
}

} // namespace

bool ensureShadowMemory(ShadowMemory &memory, size_t size) {
    if (memory.bytes != NULL && memory.size >= size) return true;
    if (size == 0) size = 1;
    ShadowMemory fresh = {allocate(size, true), size, 1, allocate(size, false)};
    if (fresh.bytes == NULL) {
        fresh.watched = 0;
        fresh.bytes = allocate(size, false);
    }
    if (fresh.bytes == NULL || fresh.reference == NULL) {
        freeShadowMemory(fresh);
        return false;
    }
    freeShadowMemory(memory);
    memory = fresh;
    return true;
}

void freeShadowMemory(ShadowMemory &memory) {
    release(memory.bytes);
    release(memory.reference);
    memory.bytes = NULL;
    memory.reference = NULL;
    memory.size = 0;
    memory.watched = 0;
}

void forgetShadowWrites(ShadowMemory &memory, size_t used) {
    if (memory.bytes == NULL) return;
    if (memory.watched) ResetWriteWatch(memory.bytes, used);
    memcpy(memory.reference, memory.bytes, used);
}

void collectShadowWrites(ShadowMemory &memory, size_t used, WrittenRange each, void *user) {
    if (memory.bytes == NULL) return;
    TracedRanges traced = {each, user, memory.bytes};
    RangeMerger merger = {traceThenForward, &traced, 0, 0, false};
    if (memory.watched)
        collectWatched(memory, used, merger);
    else
        collectChanged(memory, 0, used, merger);
    merger.flush();
}
