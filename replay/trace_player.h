// Plays a trace's calls into a Glide library: the same loop on the host (the functions linked in, the
// simulation below) and in kestrixreplay.exe (the functions found in the loaded DLL).
#ifndef KESTRIX_TRACE_PLAYER_H
#define KESTRIX_TRACE_PLAYER_H

#include <stddef.h>
#include <stdint.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "trace/trace_reader.h"

class ReplayArguments;

// One entry point: where it is and how to call it with recorded arguments.
struct ReplayEntry {
    const char *name;
    void *proc;
    void (*invoke)(void *proc, ReplayArguments &arguments);
};

// A presented frame as grLfbReadRegion gave it from the back buffer just before the swap: 16-bit pixels.
struct ReplayFrame {
    int index;
    uint32_t width, height;
    std::vector<uint16_t> pixels;
    double milliseconds; // from the previous frame's end to this swap
};

struct ReplayOptions {
    uintptr_t window;          // handed to grSstWinOpen in place of the game's
    int firstFrame;            // frames outside first..last are played but not captured
    int lastFrame;             // -1: to the end
    std::string fileDirectory; // where the trace's 3DF files are written for the library to read
    std::function<void(const ReplayFrame &)> frameReady;
    // Reads the back buffer: the library's grLfbReadRegion with its own buffer and format numbers.
    std::function<bool(uint32_t width, uint32_t height, uint16_t *pixels)> readBackBuffer;
};

// What lives from call to call: the buffers handed to the library and the memory of the held lock.
struct ReplayState {
    const ReplayOptions &options;
    std::deque<std::vector<uint8_t>> buffers;
    void *const *lockPointer = nullptr; // the lfbPtr field of the running grLfbLock's info record
    void *lockAddress = nullptr;        // what the last grLfbLock answered
    uint32_t screenWidth = 0, screenHeight = 0;
};

// The recorded arguments of one call turned into what the entry point takes.
class ReplayArguments {
  public:
    ReplayArguments(const TraceEvent &event, const std::string &name, ReplayState &state)
        : state(state), event(event), name(name) {}

    // Null past the recorded arguments.
    const TraceArgument *next();
    // A copy of the recorded bytes with room after them: a library that reads more than was recorded reads
    // zeros, not past the end.
    uint8_t *copy(const uint8_t *data, size_t size);
    uint8_t *scratch(size_t size);
    void *vertexPointers(const TraceArgument &argument);
    const char *file(const TraceArgument &argument);
    const char *text(const TraceArgument &argument);
    void *pointer(const TraceArgument &argument);

    ReplayState &state;

  private:
    const TraceEvent &event;
    const std::string &name;
    size_t at = 0;
    TraceArgument window{};
};

struct ReplayResult {
    bool ok;
    std::string error;
    size_t calls;
    int frames;
};

ReplayResult replayTrace(const Trace &trace, const std::vector<ReplayEntry> &entries,
                         const ReplayOptions &options);

#endif
