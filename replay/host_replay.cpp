#include "host_replay.h"

#include <stdio.h>

#include <filesystem>
#include <string>

#include "png_writer.h"
#include "replay_command_line.h"
#include "sim/sim.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

const uint64_t fnvOffsetBasis = 14695981039346656037ull;
const uint64_t fnvPrime = 1099511628211ull;
const uintptr_t moduleAddress = 0x10000000;

uint64_t fnv(uint64_t hash, const void *data, size_t size) {
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ static_cast<const uint8_t *>(data)[i]) * fnvPrime;
    return hash;
}

} // namespace

int hostReplayMain(int argc, char **argv, const std::vector<ReplayEntry> &entries, ReadBack readBack) {
    ReplayCommandLine arguments;
    if (!parseReplayCommandLine(argc, argv, false, arguments)) {
        fprintf(stderr, "usage: %s TRACE [--frames A-B] [--out DIR]\n", argv[0]);
        return 2;
    }
    const bool pictures = !arguments.out.empty();
    Trace trace;
    std::string error;
    if (!loadTrace(arguments.trace, trace, error)) {
        fprintf(stderr, "%s: %s\n", arguments.trace, error.c_str());
        return 1;
    }
    sim::reset();
    // The simulation draws only when asked: the frames' pictures need it, the digest lines do not.
    sim::setRasterising(pictures);
    const std::string &out = arguments.out;
    if (pictures) std::filesystem::create_directories(out);
    bool written = true;
    HWND window = sim::createWindow("Replay", RECT{0, 0, 640, 480});
    sim::setActiveWindow(window);
    HINSTANCE module = reinterpret_cast<HINSTANCE>(moduleAddress);
    DllMain(module, DLL_PROCESS_ATTACH, nullptr);
    ReplayOptions options;
    options.window = reinterpret_cast<uintptr_t>(window);
    options.firstFrame = arguments.firstFrame;
    options.lastFrame = arguments.lastFrame;
    options.readBackBuffer = readBack;
    options.frameReady = [&](const ReplayFrame &frame) {
        if (pictures)
            written = writePng565(out + "/frame-" + std::to_string(frame.index) + ".png", frame.width,
                                  frame.height, frame.pixels) &&
                      written;
        size_t calls = sim::calls().size();
        sim::clearCalls();
        printf("frame %d: %ux%u pixels %016llx, %zu device calls\n", frame.index, frame.width, frame.height,
               static_cast<unsigned long long>(
                   fnv(fnvOffsetBasis, frame.pixels.data(), frame.pixels.size() * sizeof(uint16_t))),
               calls);
    };
    ReplayResult result = replayTrace(trace, entries, options);
    DllMain(module, DLL_PROCESS_DETACH, nullptr);
    printf("%zu calls, %d frames\n", result.calls, result.frames);
    std::string leaks = sim::leakReport();
    if (!leaks.empty()) fprintf(stderr, "left behind: %s", leaks.c_str());
    if (!result.ok) fprintf(stderr, "%s\n", result.error.c_str());
    if (!written) fprintf(stderr, "cannot write the pictures into %s\n", out.c_str());
    return result.ok && leaks.empty() && written ? 0 : 1;
}
