#include "frame_pacing.h"

#include <string.h>
#include <windows.h>
#include <mmsystem.h>

#include "library_settings.h"
#include "render_context.h"

namespace {

const DWORD defaultRefreshRate = 60;
const DWORD cappedPresentRate = 60;
// The Voodoo's swap command holds the interval in eight bits.
const FxU32 largestSwapInterval = 255;
// Sleep can overshoot by a little: the last milliseconds are spun through.
const LONGLONG spunMilliseconds = 2;
// Windows sleeps in steps of the timer period, 15.6 ms unless a program asks for less: a 60 Hz frame
// would overshoot by most of a frame.
const UINT sleepTimerPeriod = 1;

LONGLONG counterNow() {
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

LONGLONG counterFrequency() {
    LARGE_INTEGER frequency;
    frequency.QuadPart = 0;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return 1000;
    return frequency.QuadPart;
}

void waitUntil(LONGLONG target, LONGLONG frequency) {
    bool periodRaised = false;
    for (;;) {
        LONGLONG now = counterNow();
        if (now >= target) break;
        LONGLONG remaining = (target - now) * 1000 / frequency;
        if (remaining > spunMilliseconds && !periodRaised)
            periodRaised = timeBeginPeriod(sleepTimerPeriod) == TIMERR_NOERROR;
        Sleep(remaining > spunMilliseconds ? static_cast<DWORD>(remaining - spunMilliseconds) : 0);
    }
    if (periodRaised) timeEndPeriod(sleepTimerPeriod);
}

DWORD refreshRate() {
    if (context.refreshRate == 0 && context.ddraw) {
        DDSURFACEDESC2 mode;
        memset(&mode, 0, sizeof(mode));
        mode.dwSize = sizeof(mode);
        if (context.ddraw->GetDisplayMode(&mode) == DD_OK) context.refreshRate = mode.dwRefreshRate;
        if (context.refreshRate == 0) context.refreshRate = defaultRefreshRate;
    }
    return context.refreshRate ? context.refreshRate : defaultRefreshRate;
}

bool waitForRetraces(FxU32 count) {
    if (context.ddraw == NULL) return false;
    for (FxU32 i = 0; i < count; ++i)
        if (context.ddraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, NULL) != DD_OK) return false;
    return true;
}

// Wine's WaitForVerticalBlank returns at once: the timer makes up what the retraces did not wait.
void paceBySwapInterval(FxU32 interval) {
    if (interval > largestSwapInterval) interval = largestSwapInterval;
    if (interval > 0) {
        LONGLONG frequency = counterFrequency();
        LONGLONG period = frequency / refreshRate();
        bool retraced = waitForRetraces(interval);
        LONGLONG target = context.lastPresent + static_cast<LONGLONG>(interval) * period;
        if (context.lastPresent != 0 && (!retraced || target - counterNow() > period / 2))
            waitUntil(target, frequency);
    }
    context.lastPresent = counterNow();
}

void paceAtMost60() {
    LONGLONG frequency = counterFrequency();
    LONGLONG now = counterNow();
    LONGLONG next = context.lastPresent + frequency / cappedPresentRate;
    if (context.lastPresent == 0 || next < now) next = now;
    waitUntil(next, frequency);
    context.lastPresent = next;
}

} // namespace

void paceFrame(FxU32 swapInterval) {
    if (settings.FramePacing == framePacingBySwapInterval)
        paceBySwapInterval(swapInterval);
    else if (settings.FramePacing == framePacingAt60)
        paceAtMost60();
}

const char *framePacingName() {
    if (settings.FramePacing == framePacingBySwapInterval) return "by swap interval";
    if (settings.FramePacing == framePacingAt60) return "at most 60 per second";
    return "off";
}
