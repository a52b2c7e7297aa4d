// Programs that end with a frame-buffer lock held, a session open and no grGlideShutdown: by returning from
// main and by exit(). Each runs as a child process; the parent checks that it ends in time and that the
// display mode it changed is the desktop's again.
#include "wine_harness.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef KESTRIX_EXIT_GLIDE3
#include "glide3x.h"
#else
#include "glide2x.h"
#endif

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) ++failures;
}

const DWORD childTimeoutMs = 30000;
const int childCode = 7;

// Opens, draws, takes a write lock on the back buffer and writes through it; returns the program's code.
int childKeepsEverything(bool callsExit) {
    HWND hwnd = kx::create_window("Kestrix exit test");
    grGlideInit();
    bool opened = grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(hwnd)), GR_RESOLUTION_640x480,
                               GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1) != 0;
    if (!opened) return 1;
    grBufferClear(0x000000FF, 0, 0xFFFF);
    grBufferSwap(1);
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    if (!grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                   FXFALSE, &info))
        return 2;
    static_cast<FxU16 *>(info.lfbPtr)[0] = 0xF800;
    std::printf("child: session open, back buffer locked, leaving by %s\n", callsExit ? "exit" : "return");
    std::fflush(stdout);
    if (callsExit) std::exit(childCode);
    return childCode;
}

DWORD currentBits() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode.dmBitsPerPel;
}

void runChild(const char *how) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command = std::string("\"") + path + "\" " + how;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    DWORD desktopBits = currentBits();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        check(false, "the child process starts");
        return;
    }
    DWORD waited = WaitForSingleObject(process.hProcess, childTimeoutMs);
    std::printf("%s: child %s\n", how, waited == WAIT_OBJECT_0 ? "ended" : "still running");
    check(waited == WAIT_OBJECT_0, "the program ends without hanging");
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("%s: exit code %lu\n", how, static_cast<unsigned long>(code));
    check(code == static_cast<DWORD>(childCode), "the program's own exit code");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    kx::pump(500);
    DWORD after = currentBits();
    std::printf("%s: desktop %lu bits before, %lu after\n", how, static_cast<unsigned long>(desktopBits),
                static_cast<unsigned long>(after));
    check(after == desktopBits, "the display mode is the desktop's again");
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 1 && std::strcmp(argv[1], "return") == 0) return childKeepsEverything(false);
    if (argc > 1 && std::strcmp(argv[1], "exit") == 0) return childKeepsEverything(true);
    runChild("return");
    runChild("exit");
    return kx::finish(failures ? 1 : 0);
}
