// The traces kept in tests/traces, replayed on the simulation and compared with the digest beside each:
// a line per frame with its pixels and the device calls since the frame before.
// KESTRIX_UPDATE_TRACE_DIGESTS=1 notes the digests anew after a change meant to alter them;
// KESTRIX_KEEP_TRACE=path keeps a recorded scene (tools/record_kept_traces.sh sets both).
#ifndef KESTRIX_KEPT_TRACES_H
#define KESTRIX_KEPT_TRACES_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "replay_tables.h"
#include "sim/sim.h"
#include "trace/trace_reader.h"

namespace kept_traces {

inline uint64_t fnv(const void *data, size_t size) {
    const uint64_t offsetBasis = 14695981039346656037ull, prime = 1099511628211ull;
    uint64_t hash = offsetBasis;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ static_cast<const uint8_t *>(data)[i]) * prime;
    return hash;
}

// What the device saw, without the objects' addresses.
inline std::vector<std::string> deviceCalls() {
    std::vector<std::string> calls;
    for (const sim::Call &call : sim::calls()) {
        std::string line = call.name;
        for (unsigned long long value : call.args)
            line += " " + std::to_string(value);
        for (double value : call.fargs)
            line += " " + std::to_string(value);
        line.append(call.data.begin(), call.data.end());
        calls.push_back(line);
    }
    return calls;
}

// The device calls since the last frame, folded into one number.
inline uint64_t callsDigest() {
    std::string all;
    for (const std::string &call : deviceCalls())
        all += call + "\n";
    sim::clearCalls();
    return fnv(all.data(), all.size());
}

inline std::string sourcePath(const std::string &name) {
    return std::string(KESTRIX_SOURCE_DIR) + "/tests/traces/" + name;
}

inline void keepIfAsked(const Trace &trace) {
    if (const char *keep = std::getenv("KESTRIX_KEEP_TRACE"))
        std::ofstream(keep, std::ios::binary)
            .write(reinterpret_cast<const char *>(trace.bytes.data()),
                   static_cast<std::streamsize>(trace.bytes.size()));
}

// Replays one kept trace into the linked library and compares its frames with the noted digest.
inline void expectReplaysAsNoted(const std::string &name, const std::vector<ReplayEntry> &entries,
                                 uintptr_t window, const ReadBack &readBack) {
    std::string base = sourcePath(name);
    Trace trace;
    std::string error;
    ASSERT_TRUE(loadTrace((base + ".gltrace").c_str(), trace, error)) << error;
    sim::clearCalls();
    ReplayOptions options;
    options.window = window;
    options.firstFrame = 0;
    options.lastFrame = -1;
    options.fileDirectory = sim::currentDirectory();
    options.readBackBuffer = readBack;
    std::vector<std::string> digest;
    options.frameReady = [&digest](const ReplayFrame &frame) {
        digest.push_back("frame " + std::to_string(frame.index) + " pixels " +
                         std::to_string(fnv(frame.pixels.data(), frame.pixels.size() * sizeof(uint16_t))) +
                         " calls " + std::to_string(callsDigest()));
    };
    ReplayResult result = replayTrace(trace, entries, options);
    ASSERT_TRUE(result.ok) << name << ": " << result.error;
    if (std::getenv("KESTRIX_UPDATE_TRACE_DIGESTS") != nullptr) {
        std::ofstream out(base + ".digest");
        for (const std::string &line : digest)
            out << line << "\n";
    }
    std::ifstream in(base + ".digest");
    std::vector<std::string> noted;
    for (std::string line; std::getline(in, line);)
        noted.push_back(line);
    EXPECT_FALSE(noted.empty()) << name;
    EXPECT_EQ(digest, noted) << name;
}

} // namespace kept_traces

#endif
