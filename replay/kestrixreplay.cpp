// kestrixreplay.exe TRACE [--frames A-B] [--out DIR] [--library DLL]: plays a trace a user recorded into the
// Glide library it names (or the one given), writes each presented frame as DIR/frame-N.png, read through
// grLfbReadRegion just before the swap, and prints one timing line per frame.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "png_writer.h"
#include "replay_command_line.h"
#include "replay_tables.h"

namespace {

const int windowWidth = 640, windowHeight = 480;
const int exitUsage = 2, exitFailed = 1;

// The exported names carry the stdcall decoration: _name@bytes.
void *findExport(const char *name, size_t argumentBytes, void *module) {
    char decorated[128];
    snprintf(decorated, sizeof(decorated), "_%s@%u", name, static_cast<unsigned>(argumentBytes));
    FARPROC found = GetProcAddress(static_cast<HMODULE>(module), decorated);
    if (found == nullptr) found = GetProcAddress(static_cast<HMODULE>(module), name);
    return reinterpret_cast<void *>(found);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND makeWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KestrixReplay";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("KestrixReplay", "Kestrix replay", WS_POPUP | WS_VISIBLE, 0, 0, windowWidth,
                                windowHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
    pumpMessages();
    return window;
}

} // namespace

int main(int argc, char **argv) {
    ReplayCommandLine arguments;
    arguments.out = ".";
    if (!parseReplayCommandLine(argc, argv, true, arguments)) {
        fprintf(stderr, "usage: kestrixreplay TRACE [--frames A-B] [--out DIR] [--library DLL]\n");
        return exitUsage;
    }
    Trace trace;
    std::string error;
    if (!loadTrace(arguments.trace, trace, error)) {
        fprintf(stderr, "kestrixreplay: %s: %s\n", arguments.trace, error.c_str());
        return exitFailed;
    }
    std::string libraryName = arguments.library != nullptr ? arguments.library : trace.library;
    HMODULE module = LoadLibraryA(libraryName.c_str());
    if (module == nullptr) {
        fprintf(stderr, "kestrixreplay: cannot load %s\n", libraryName.c_str());
        return exitFailed;
    }
    bool glide2 = trace.library.find('2') != std::string::npos;
    std::vector<ReplayEntry> entries =
        glide2 ? glide2LoadedEntries(findExport, module) : glide3LoadedEntries(findExport, module);
    CreateDirectoryA(arguments.out.c_str(), nullptr);
    ReplayOptions options;
    options.window = reinterpret_cast<uintptr_t>(makeWindow());
    options.firstFrame = arguments.firstFrame;
    options.lastFrame = arguments.lastFrame;
    options.fileDirectory = arguments.out;
    options.readBackBuffer =
        glide2 ? glide2LoadedReadBack(findExport, module) : glide3LoadedReadBack(findExport, module);
    bool written = true;
    options.frameReady = [&](const ReplayFrame &frame) {
        pumpMessages();
        std::string path = arguments.out + "/frame-" + std::to_string(frame.index) + ".png";
        written = writePng565(path, frame.width, frame.height, frame.pixels) && written;
        printf("frame %d: %.3f ms\n", frame.index, frame.milliseconds);
        fflush(stdout);
    };
    ReplayResult result = replayTrace(trace, entries, options);
    printf("%zu calls, %d frames\n", result.calls, result.frames);
    if (!result.ok) fprintf(stderr, "kestrixreplay: %s\n", result.error.c_str());
    return result.ok && written ? 0 : exitFailed;
}
