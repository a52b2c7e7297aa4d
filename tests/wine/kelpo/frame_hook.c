/* Linked into Kelpo's renderer DLL with -Wl,--wrap=grBufferSwap: counts the frames the example shows,
 * holds the frames its launcher (kelpo_launcher.cpp) captures, and closes the window after the last one.
 *   KESTRIX_KELPO_HOLD    frames to hold, separated by commas: after swap F the hook writes kelpo-frame-F
 *                         and waits for kelpo-go-F;
 *   KESTRIX_KELPO_FRAMES  the last frame: after it the window gets WM_CLOSE and the timing goes to
 *                         kelpo-timing.txt ("frames N seconds S", from the second swap on, holds left out).
 * grSstWinClose is wrapped too: kelpo-display.txt gets the display mode seen at the first frame and the one
 * right after the close ("during W H BITS after W H BITS"), while the example still runs. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <glide/glide.h>

void __real_grBufferSwap(FxU32 swap_interval);
FxBool __real_grSstWinClose(GrContext_t context);
FxU32 kelpo_window__get_window_handle(void);

enum { HOLD_TIMEOUT_MS = 120000, PUMP_SLEEP_MS = 10 };

static unsigned frame;
static LARGE_INTEGER timing_start;
static LONGLONG held_ticks;
static DEVMODEA mode_during;

static unsigned long env_number(const char *name) {
    const char *text = getenv(name);
    return text ? strtoul(text, NULL, 10) : 0;
}

static int is_held(unsigned f) {
    const char *list = getenv("KESTRIX_KELPO_HOLD");
    while (list && *list) {
        char *end;
        unsigned long held = strtoul(list, &end, 10);
        if (end == list) break;
        if (held == f) return 1;
        list = (*end == ',') ? end + 1 : end;
    }
    return 0;
}

static DEVMODEA display_mode(void) {
    DEVMODEA mode;
    memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

static void touch(const char *path) {
    FILE *file = fopen(path, "wb");
    if (file) fclose(file);
}

static void hold(unsigned f) {
    char shown[64], go[64];
    LARGE_INTEGER begin, end;
    DWORD start = GetTickCount();
    QueryPerformanceCounter(&begin);
    snprintf(shown, sizeof shown, "kelpo-frame-%u", f);
    snprintf(go, sizeof go, "kelpo-go-%u", f);
    touch(shown);
    while (GetFileAttributesA(go) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < HOLD_TIMEOUT_MS) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(PUMP_SLEEP_MS);
    }
    QueryPerformanceCounter(&end);
    held_ticks += end.QuadPart - begin.QuadPart;
}

static void write_timing(unsigned frames) {
    LARGE_INTEGER now, frequency;
    FILE *file = fopen("kelpo-timing.txt", "wb");
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    if (!file) return;
    fprintf(file, "frames %u seconds %.3f\n", frames,
            (double)(now.QuadPart - timing_start.QuadPart - held_ticks) / (double)frequency.QuadPart);
    fclose(file);
}

void __wrap_grBufferSwap(FxU32 swap_interval) {
    unsigned long last = env_number("KESTRIX_KELPO_FRAMES");
    __real_grBufferSwap(swap_interval);
    ++frame;
    if (frame == 1) {
        QueryPerformanceCounter(&timing_start);
        mode_during = display_mode();
    }
    if (is_held(frame)) hold(frame);
    if (last && frame == last) {
        write_timing(frame - 1);
        PostMessageA((HWND)(UINT_PTR)kelpo_window__get_window_handle(), WM_CLOSE, 0, 0);
    }
}

FxBool __wrap_grSstWinClose(GrContext_t context) {
    FxBool closed = __real_grSstWinClose(context);
    DEVMODEA after = display_mode();
    FILE *file = fopen("kelpo-display.txt", "wb");
    if (file) {
        fprintf(file, "during %lu %lu %lu after %lu %lu %lu\n", mode_during.dmPelsWidth,
                mode_during.dmPelsHeight, mode_during.dmBitsPerPel, after.dmPelsWidth, after.dmPelsHeight,
                after.dmBitsPerPel);
        fclose(file);
    }
    return closed;
}
