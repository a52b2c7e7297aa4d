// Simulated kernel32 critical sections: recursive locks that really exclude other threads, so host tests can
// call a library from several threads. Sections never deleted show in the leak report.
#include "sim/sim_internal.h"

#include <mutex>

namespace {

std::recursive_mutex *mutexOf(LPCRITICAL_SECTION section) {
    return static_cast<std::recursive_mutex *>(section->LockSemaphore);
}

} // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    *section = RTL_CRITICAL_SECTION();
    section->LockCount = -1;
    section->LockSemaphore = new std::recursive_mutex();
    ++sim::detail::world().criticalSections;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    mutexOf(section)->lock();
    ++section->RecursionCount;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    --section->RecursionCount;
    mutexOf(section)->unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete mutexOf(section);
    section->LockSemaphore = NULL;
    --sim::detail::world().criticalSections;
}
}
