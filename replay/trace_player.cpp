#include "trace_player.h"

#include <stdio.h>
#include <string.h>

#include <chrono>
#include <unordered_map>

namespace {

// Zeros after every copy: a call that reads further than the recorder counted reads them.
const size_t copySlack = 64 * 1024;
// Outputs recorded without a size (resolution lists) get this much.
const size_t smallestOutput = 64 * 1024;

struct ScreenSize {
    uint32_t width, height;
};

// Glide's resolution numbers, the same in both versions.
const ScreenSize resolutions[] = {{320, 200},  {320, 240},   {400, 256},   {512, 384}, {640, 200}, {640, 350},
                                  {640, 400},  {640, 480},   {800, 600},   {960, 720}, {856, 480}, {512, 256},
                                  {1024, 768}, {1280, 1024}, {1600, 1200}, {400, 300}};

const char *const openName = "grSstWinOpen";
const char *const swapName = "grBufferSwap";
const char *const lockName = "grLfbLock";

bool applyHeldWrite(const TraceEvent &event, ReplayState &state, std::string &error) {
    if (state.lockAddress == nullptr) {
        error = "frame-buffer bytes recorded without a held lock";
        return false;
    }
    memcpy(static_cast<uint8_t *>(state.lockAddress) + event.heldOffset, event.data, event.size);
    return true;
}

} // namespace

const TraceArgument *ReplayArguments::next() {
    if (at >= event.arguments.size()) return nullptr;
    // The window is the player's: the game's handle means nothing here.
    if (at == 0 && name == openName && state.options.window != 0) {
        ++at;
        window = event.arguments[0];
        window.word = static_cast<uint32_t>(state.options.window);
        return &window;
    }
    return &event.arguments[at++];
}

uint8_t *ReplayArguments::copy(const uint8_t *data, size_t size) {
    uint8_t *bytes = scratch(size);
    if (size != 0) memcpy(bytes, data, size);
    return bytes;
}

uint8_t *ReplayArguments::scratch(size_t size) {
    state.buffers.emplace_back(size + copySlack, 0);
    return state.buffers.back().data();
}

void *ReplayArguments::vertexPointers(const TraceArgument &argument) {
    uint8_t *vertices = copy(argument.data, argument.size);
    const void **pointers = reinterpret_cast<const void **>(scratch(argument.word * sizeof(void *)));
    for (uint32_t i = 0; i < argument.word; ++i)
        pointers[i] = vertices + static_cast<size_t>(i) * argument.vertexSize;
    return pointers;
}

// The file goes into the player's directory under its own last name.
const char *ReplayArguments::file(const TraceArgument &argument) {
    std::string base = argument.name;
    size_t slash = base.find_last_of("/\\:");
    if (slash != std::string::npos) base = base.substr(slash + 1);
    std::string path = state.options.fileDirectory.empty() ? base : state.options.fileDirectory + "/" + base;
    FILE *out = fopen(path.c_str(), "wb");
    if (out != nullptr) {
        if (argument.size != 0) fwrite(argument.data, 1, argument.size, out);
        fclose(out);
    }
    return reinterpret_cast<const char *>(
        copy(reinterpret_cast<const uint8_t *>(path.c_str()), path.size() + 1));
}

const char *ReplayArguments::text(const TraceArgument &argument) {
    uint8_t *bytes = copy(argument.data, argument.size);
    bytes[argument.size] = 0;
    return reinterpret_cast<const char *>(bytes);
}

void *ReplayArguments::pointer(const TraceArgument &argument) {
    switch (argument.tag) {
    case trace_format::bytesTag:
    case trace_format::textureTag:
        return copy(argument.data, argument.size);
    case trace_format::blockTag:
        return copy(argument.data, argument.size) + argument.word;
    case trace_format::outputTag:
        return scratch(argument.word < smallestOutput ? smallestOutput : argument.word);
    case trace_format::vertexListTag:
        return vertexPointers(argument);
    case trace_format::fileTag:
        return const_cast<char *>(file(argument));
    case trace_format::textTag:
        return const_cast<char *>(text(argument));
    default:
        return nullptr;
    }
}

namespace {

void noteScreen(const TraceEvent &event, ReplayState &state) {
    const size_t resolutionArgument = 1;
    if (event.arguments.size() <= resolutionArgument) return;
    uint32_t code = event.arguments[resolutionArgument].word;
    if (code >= sizeof(resolutions) / sizeof(resolutions[0])) return;
    state.screenWidth = resolutions[code].width;
    state.screenHeight = resolutions[code].height;
}

struct FrameClock {
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    double lap() {
        auto now = std::chrono::steady_clock::now();
        double milliseconds = std::chrono::duration<double, std::milli>(now - last).count();
        last = now;
        return milliseconds;
    }
};

void presentFrame(int index, ReplayState &state, FrameClock &clock) {
    const ReplayOptions &options = state.options;
    bool wanted = index >= options.firstFrame && (options.lastFrame < 0 || index <= options.lastFrame);
    ReplayFrame frame = {index, state.screenWidth, state.screenHeight, {}, clock.lap()};
    if (!wanted || !options.frameReady) return;
    frame.pixels.resize(static_cast<size_t>(frame.width) * frame.height);
    if (options.readBackBuffer && frame.width != 0 &&
        !options.readBackBuffer(frame.width, frame.height, frame.pixels.data()))
        frame.pixels.clear();
    options.frameReady(frame);
}

} // namespace

ReplayResult replayTrace(const Trace &trace, const std::vector<ReplayEntry> &entries,
                         const ReplayOptions &options) {
    ReplayResult result = {true, std::string(), 0, 0};
    std::unordered_map<std::string, const ReplayEntry *> byName;
    for (const ReplayEntry &entry : entries)
        byName[entry.name] = &entry;
    ReplayState state{options, {}, nullptr, nullptr, 0, 0};
    FrameClock clock;
    const std::vector<TraceEvent> &events = trace.events;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != trace_format::callKind) continue;
        // The application wrote these pixels before the call that found them.
        for (size_t j = i + 1; j < events.size() && events[j].kind == trace_format::heldWriteKind; ++j)
            if (!applyHeldWrite(events[j], state, result.error))
                return ReplayResult{false, result.error, 0, 0};
        const std::string &name = trace.callNames[events[i].callId];
        auto found = byName.find(name);
        if (found == byName.end() || found->second->proc == nullptr) {
            result.error = "the library has no entry point " + name;
            result.ok = false;
            return result;
        }
        if (options.lastFrame >= 0 && result.frames > options.lastFrame) break;
        if (name == openName) noteScreen(events[i], state);
        if (name == swapName) presentFrame(result.frames++, state, clock);
        ReplayArguments arguments(events[i], name, state);
        found->second->invoke(found->second->proc, arguments);
        ++result.calls;
        if (name == lockName && state.lockPointer != nullptr) state.lockAddress = *state.lockPointer;
        state.lockPointer = nullptr;
        state.buffers.clear();
    }
    return result;
}
