#include "display_window.h"

#include <string.h>

#include "../core/game_quirks.h"
#include "../core/library_settings.h"
#include "../core/library_state.h"
#include "../core/log.h"
#include "../core/render_context.h"

namespace {

const char *const ownWindowClass = "KestrixDisplay";

LRESULT CALLBACK ownWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

// Console programs open with no window at all; DirectDraw needs one for the exclusive display, and a
// windowed display needs one to show in.
HWND createOwnWindow() {
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = ownWindowProc;
    windowClass.hInstance = library.moduleInstance;
    windowClass.lpszClassName = ownWindowClass;
    RegisterClassA(&windowClass);
    DWORD exStyle = renderContext.windowed ? 0 : WS_EX_TOPMOST;
    DWORD style = (renderContext.windowed ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_VISIBLE;
    HWND window = CreateWindowExA(
        exStyle, ownWindowClass, "Kestrix", style, 0, 0, static_cast<int>(renderContext.screenWidth),
        static_cast<int>(renderContext.screenHeight), NULL, NULL, library.moduleInstance, NULL);
    if (window == NULL) UnregisterClassA(ownWindowClass, library.moduleInstance);
    return window;
}

void destroyOwnWindow() {
    if (!renderContext.ownWindow) return;
    DestroyWindow(renderContext.window);
    UnregisterClassA(ownWindowClass, library.moduleInstance);
    renderContext.ownWindow = 0;
    renderContext.window = NULL;
}

void pumpOwnWindowMessages() {
    if (!renderContext.ownWindow) return;
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void moveEmulatorWindow() {
    if (!quirkApplies(QuirkEffect::windowMovedDown)) return;
    RECT rect;
    if (GetWindowRect(renderContext.window, &rect))
        MoveWindow(renderContext.window, rect.left, rect.top + emulatorWindowDrop, rect.right - rect.left,
                   rect.bottom - rect.top, FALSE);
}

void readWindowTitle() {
    memset(library.windowTitle, 0, sizeof(library.windowTitle));
    GetWindowTextA(renderContext.window, library.windowTitle, 255);
    logLine("AppName: %s\n", library.windowTitle);
    decideQuirks();
    if (quirkApplies(QuirkEffect::voodooScreenKept)) {
        settings.ColorDepth = 16;
        settings.Filtering = 1;
    }
}
