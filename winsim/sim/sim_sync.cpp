// Simulated kernel32 critical sections: recursive locks that really exclude other threads, so host tests can
// call a library from several threads. Sections never deleted show in the leak report.
// As kernel32's, an enter by the owner only counts, and an uncontended enter is one interlocked exchange:
// a recursive pthread mutex cost the host benchmarks several times what the entry lock costs on Windows.
// A waiting thread yields until the section is free; kernel32 spins and then sleeps on an event.
#include "sim/sim_internal.h"

#include <atomic>
#include <thread>

namespace {

struct SectionLock {
    std::atomic<bool> taken{false};
    std::atomic<const void *> owner{nullptr};
};

// Its address tells the threads apart.
thread_local char threadMark;

SectionLock *lockOf(LPCRITICAL_SECTION section) {
    return static_cast<SectionLock *>(section->LockSemaphore);
}

} // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    *section = RTL_CRITICAL_SECTION();
    section->LockCount = -1;
    section->LockSemaphore = new SectionLock();
    ++sim::detail::world().criticalSections;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    SectionLock *lock = lockOf(section);
    const void *self = &threadMark;
    if (lock->owner.load(std::memory_order_relaxed) == self) {
        ++section->RecursionCount;
        return;
    }
    while (lock->taken.exchange(true, std::memory_order_acquire))
        while (lock->taken.load(std::memory_order_relaxed))
            std::this_thread::yield();
    lock->owner.store(self, std::memory_order_relaxed);
    section->RecursionCount = 1;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (--section->RecursionCount > 0) return;
    SectionLock *lock = lockOf(section);
    lock->owner.store(nullptr, std::memory_order_relaxed);
    lock->taken.store(false, std::memory_order_release);
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete lockOf(section);
    section->LockSemaphore = NULL;
    --sim::detail::world().criticalSections;
}
}
