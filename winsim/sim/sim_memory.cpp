// Simulated virtual memory: VirtualAlloc and VirtualFree over page-aligned heap blocks, and write watches.
// Windows learns of writes from the page tables; the simulation compares each page with its bytes at the
// last reset instead, so a write that leaves a page as it was is not reported (Windows would report it).
#include "sim/sim_internal.h"

#include <cstdlib>
#include <cstring>

namespace sim {
namespace detail {
namespace {

const size_t pageSize = 4096;

size_t roundToPages(size_t bytes) {
    return (bytes + pageSize - 1) / pageSize * pageSize;
}

// The region holding [address, address + size), or null.
MemoryRegion *regionOf(const void *address, size_t size, uintptr_t *base) {
    World &w = world();
    uintptr_t at = reinterpret_cast<uintptr_t>(address);
    auto it = w.regions.upper_bound(at);
    if (it == w.regions.begin()) return nullptr;
    --it;
    if (at + size > it->first + it->second.size || at + size < at) return nullptr;
    *base = it->first;
    return &it->second;
}

} // namespace

std::string leakReportMemory() {
    std::string out;
    for (auto &r : world().regions)
        out += "VirtualAlloc region of " + std::to_string(r.second.size) + " bytes not freed\n";
    return out;
}

} // namespace detail

using namespace detail;

void setWriteWatchAvailable(bool available) {
    world().writeWatchAvailable = available;
}

} // namespace sim

using namespace sim::detail;

extern "C" {

LPVOID WINAPI VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect) {
    World &w = world();
    const DWORD reserveAndCommit = MEM_RESERVE | MEM_COMMIT;
    bool watched = (allocationType & MEM_WRITE_WATCH) != 0;
    if (address != NULL || size == 0 || (allocationType & ~(reserveAndCommit | MEM_WRITE_WATCH)) != 0 ||
        (allocationType & reserveAndCommit) != reserveAndCommit || protect != PAGE_READWRITE ||
        (watched && !w.writeWatchAvailable)) {
        w.lastError = ERROR_INVALID_PARAMETER;
        return NULL;
    }
    if (checkFault("VirtualAlloc") != S_OK) {
        w.lastError = ERROR_NOT_ENOUGH_MEMORY;
        return NULL;
    }
    MemoryRegion region;
    region.size = roundToPages(size);
    unsigned char *bytes = static_cast<unsigned char *>(std::aligned_alloc(pageSize, region.size));
    if (bytes == nullptr) return NULL;
    std::memset(bytes, 0, region.size);
    region.bytes = std::shared_ptr<unsigned char>(bytes, std::free);
    region.watched = watched;
    if (watched) region.atReset.assign(region.size, 0);
    w.regions[reinterpret_cast<uintptr_t>(bytes)] = region;
    return bytes;
}

BOOL WINAPI VirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
    World &w = world();
    auto it = w.regions.find(reinterpret_cast<uintptr_t>(address));
    if (it == w.regions.end() || freeType != MEM_RELEASE || size != 0) {
        w.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    w.regions.erase(it);
    return TRUE;
}

UINT WINAPI GetWriteWatch(DWORD flags, PVOID base, SIZE_T size, PVOID *addresses, ULONG_PTR *count,
                          LPDWORD granularity) {
    uintptr_t regionBase = 0;
    MemoryRegion *region = regionOf(base, size, &regionBase);
    if (region == nullptr || !region->watched || addresses == NULL || count == NULL || granularity == NULL ||
        (flags & ~static_cast<DWORD>(WRITE_WATCH_FLAG_RESET)) != 0)
        return 1;
    uintptr_t from = reinterpret_cast<uintptr_t>(base) / pageSize * pageSize;
    uintptr_t to = reinterpret_cast<uintptr_t>(base) + size;
    ULONG_PTR found = 0;
    for (uintptr_t page = from; page < to && found < *count; page += pageSize) {
        size_t offset = page - regionBase;
        unsigned char *now = region->bytes.get() + offset;
        if (std::memcmp(now, region->atReset.data() + offset, pageSize) == 0) continue;
        addresses[found++] = reinterpret_cast<PVOID>(page);
        if (flags & WRITE_WATCH_FLAG_RESET) std::memcpy(region->atReset.data() + offset, now, pageSize);
    }
    *count = found;
    *granularity = static_cast<DWORD>(pageSize);
    return 0;
}

UINT WINAPI ResetWriteWatch(LPVOID base, SIZE_T size) {
    uintptr_t regionBase = 0;
    MemoryRegion *region = regionOf(base, size, &regionBase);
    if (region == nullptr || !region->watched) return 1;
    size_t from = (reinterpret_cast<uintptr_t>(base) - regionBase) / pageSize * pageSize;
    size_t to = roundToPages(reinterpret_cast<uintptr_t>(base) - regionBase + size);
    std::memcpy(region->atReset.data() + from, region->bytes.get() + from, to - from);
    return 0;
}

} // extern "C"
