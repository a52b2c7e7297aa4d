#include "frame_pacing.h"

#include <string.h>
#include <windows.h>
#include <mmsystem.h>

#include "../core/library_settings.h"
#include "../core/render_context.h"

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
    if (renderContext.refreshRate == 0 && renderContext.ddraw) {
        DDSURFACEDESC2 mode;
        memset(&mode, 0, sizeof(mode));
        mode.dwSize = sizeof(mode);
        if (renderContext.ddraw->GetDisplayMode(&mode) == DD_OK)
            renderContext.refreshRate = mode.dwRefreshRate;
        if (renderContext.refreshRate == 0) renderContext.refreshRate = defaultRefreshRate;
    }
    return renderContext.refreshRate ? renderContext.refreshRate : defaultRefreshRate;
}

bool waitForRetraces(FxU32 count) {
    if (renderContext.ddraw == NULL) return false;
    for (FxU32 i = 0; i < count; ++i)
        if (renderContext.ddraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, NULL) != DD_OK) return false;
    return true;
}

// Wine's WaitForVerticalBlank returns at once: the timer makes up what the retraces did not wait.
void paceBySwapInterval(FxU32 interval) {
    if (interval > largestSwapInterval) interval = largestSwapInterval;
    if (interval > 0) {
        LONGLONG frequency = counterFrequency();
        LONGLONG period = frequency / refreshRate();
        bool retraced = waitForRetraces(interval);
        LONGLONG target = renderContext.lastPresent + static_cast<LONGLONG>(interval) * period;
        if (renderContext.lastPresent != 0 && (!retraced || target - counterNow() > period / 2))
            waitUntil(target, frequency);
    }
    renderContext.lastPresent = counterNow();
}

void paceAtMost60() {
    LONGLONG frequency = counterFrequency();
    LONGLONG now = counterNow();
    LONGLONG next = renderContext.lastPresent + frequency / cappedPresentRate;
    if (renderContext.lastPresent == 0 || next < now) next = now;
    waitUntil(next, frequency);
    renderContext.lastPresent = next;
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
