// Helpers for the Windows programs that run_wine_test.sh starts under Wine.
//
// Capture handshake with the runner, all files in the current directory:
//   1. the program writes expect-<name>.txt (lines "x y r g b tolerance"; may be empty),
//   2. then capture-request-<name>, and keeps pumping messages,
//   3. the runner grabs the screen into <name>.png, checks the expected pixels and
//      answers with capture-done-<name> holding "ok" or the failures.
// Before it returns, the program records its exit code in exit-code.txt, so the runner
// does not depend on the Wine desktop process to pass the code on. expect-log.txt lists
// lines that kestrix.log must hold after the program has ended. program-started, written
// when the program loads, tells the runner that Wine got as far as running it.
#ifndef KESTRIX_WINE_HARNESS_H
#define KESTRIX_WINE_HARNESS_H

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

// The key and value names the settings program writes and the libraries read.
#include "../../engine/settings_store.h"

namespace kx {

struct Expect {
    int x, y;
    int r, g, b;
    int tolerance;
};

inline bool write_file(const std::string &path, const std::string &text) {
    // Write to a temporary name, then rename, so the runner never sees half a file.
    std::string tmp = path + ".tmp";
    FILE *f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) return false;
    return MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

inline bool read_file(const std::string &path, std::string &out) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return true;
}

inline bool file_exists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Dispatches pending messages for about `ms` milliseconds.
inline void pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

// Asks the runner for a screen capture and waits for its answer. Returns false on a
// timeout or when the runner reports mismatching pixels; `verdict` gets its answer.
inline bool request_capture(const std::string &name, const std::vector<Expect> &expect, DWORD timeout_ms,
                            std::string *verdict = nullptr) {
    std::string text;
    for (const Expect &e : expect) {
        char line[96];
        std::snprintf(line, sizeof line, "%d %d %d %d %d %d\n", e.x, e.y, e.r, e.g, e.b, e.tolerance);
        text += line;
    }
    const std::string done = "capture-done-" + name;
    DeleteFileA(done.c_str());
    if (!write_file("expect-" + name + ".txt", text) || !write_file("capture-request-" + name, name + "\n")) {
        std::printf("capture %s: cannot write the request\n", name.c_str());
        return false;
    }
    DWORD start = GetTickCount();
    while (!file_exists(done)) {
        if (GetTickCount() - start > timeout_ms) {
            std::printf("capture %s: no answer from the runner after %lu ms\n", name.c_str(),
                        static_cast<unsigned long>(timeout_ms));
            return false;
        }
        pump(50);
    }
    std::string answer;
    read_file(done, answer);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r'))
        answer.pop_back();
    if (verdict) *verdict = answer;
    std::printf("capture %s: %s\n", name.c_str(), answer.c_str());
    return answer == "ok";
}

inline LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETCURSOR) {
        SetCursor(nullptr); // keep the pointer out of the captures
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A shown 640 x 480 popup window, as a game would create before grSstWinOpen.
inline HWND create_window(const char *title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "KestrixWineTest";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title, WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        SetForegroundWindow(hwnd);
        pump(100);
    }
    return hwnd;
}

// Lines kestrix.log must hold once the program has ended (checked by the runner with
// check_log.py): "= text" for a whole line, "~ text" for a line containing text.
inline bool expect_log(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return write_file("expect-log.txt", text);
}

// Wine on a fresh machine has now and then ended at start-up, before running any program code; the
// runner starts a program once more only when this marker is missing.
[[maybe_unused]] static const bool programStarted = write_file("program-started", "");

// Records the exit code for the runner and returns it, for `return kx::finish(code);`.
inline int finish(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%d\n", code);
    write_file("exit-code.txt", text);
    std::printf("exit code %d\n", code);
    std::fflush(stdout);
    return code;
}

} // namespace kx

#endif
