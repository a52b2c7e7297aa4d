// Seeds of a call-sequence fuzz target made from a recorded trace: each recorded call written as the target
// reads that call back, with the recorded numbers, vertices and the first bytes of the recorded data, so
// that fuzzing starts from what a game really did. A trace longer than one input is cut into several, each
// starting with the calls that opened the session. Shared by the Glide 2 and Glide 3 converters, which
// include it after their operation list and Glide header and provide a converter with
//   size_t writeCall(const SeedCall &, Writer &): the call in the target's input format, as so many of the
//     target's calls; 0 leaves it out;
//   bool opensSession(const SeedCall &): a call every later input repeats first;
//   size_t restate(Writer &): the calls that put the target where the game stands now (its vertex layout).
#ifndef KESTRIX_TRACE_SEEDS_H
#define KESTRIX_TRACE_SEEDS_H

#include <stdio.h>
#include <string.h>

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "call_fuzz_seed.h"
#include "trace/trace_reader.h"

namespace trace_seeds {

using fuzzinput::Writer;

// What the targets read at most: -max_len of the fuzz scripts, and their bound on calls per input.
const size_t maxSeedBytes = 4096;
const size_t maxSeedCalls = 400;
// Buffer contents are a pattern of up to this many bytes, repeated.
const size_t fillPatternBytes = 16;
const uint8_t validPointer = 0, nullPointer = 7;
const uint8_t rawFloatTag = 0xC0;
const uint8_t halfStepFloats = 0x80, sixtyFourthFloats = 0x40;

// One recorded call with its arguments; for a lock, the first bytes the game wrote through it.
struct SeedCall {
    const std::string &name;
    const TraceEvent &event;
    const TraceEvent *heldWrite;

    size_t count() const { return event.arguments.size(); }
    const TraceArgument *argument(size_t i) const {
        return i < event.arguments.size() ? &event.arguments[i] : nullptr;
    }
    uint32_t word(size_t i) const {
        const TraceArgument *a = argument(i);
        return a != nullptr ? a->word : 0;
    }
    float real(size_t i) const {
        uint32_t bits = word(i);
        float value;
        memcpy(&value, &bits, sizeof(value));
        return value;
    }
    bool null(size_t i) const {
        const TraceArgument *a = argument(i);
        return a == nullptr || a->tag == trace_format::nullTag;
    }
};

// The shortest of the target's float codes that reads back as exactly this value.
inline void writeFloat(Writer &w, float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof(bits));
    for (uint32_t code = 0; code < halfStepFloats; ++code) {
        float even = static_cast<float>(code) * 2.0f, fraction = static_cast<float>(code) / 64.0f;
        uint32_t evenBits, fractionBits;
        memcpy(&evenBits, &even, sizeof(evenBits));
        memcpy(&fractionBits, &fraction, sizeof(fractionBits));
        if (evenBits == bits) return w.byte(static_cast<uint8_t>(code));
        if (code < sixtyFourthFloats && fractionBits == bits)
            return w.byte(static_cast<uint8_t>(halfStepFloats + code));
    }
    w.byte(rawFloatTag);
    w.raw32(bits);
}

inline void writePointer(Writer &w, bool null) {
    w.byte(null ? nullPointer : validPointer);
}

// A buffer's contents: the recorded bytes' first ones as the pattern the target repeats.
inline void writeFill(Writer &w, const TraceArgument *argument) {
    size_t count = argument != nullptr && argument->data != nullptr ? argument->size : 0;
    if (count > fillPatternBytes) count = fillPatternBytes;
    if (count == 0) {
        w.byte(0);
        w.byte(0);
        return;
    }
    w.byte(static_cast<uint8_t>(count - 1));
    for (size_t i = 0; i < count; ++i)
        w.byte(argument->data[i]);
}

// The numbers of a call whose target reads every number parameter in order, floats as floats and bytes as
// bytes; pointer parameters are read as nothing.
template <typename Function> struct ScalarWriter;

template <typename Result, typename... Parameters> struct ScalarWriter<Result(FX_CALL *)(Parameters...)> {
    static void write(const SeedCall &call, Writer &w) {
        size_t i = 0;
        (writeOne<Parameters>(call, i++, w), ...);
        (void)i; // calls without parameters
    }
    template <typename P> static void writeOne(const SeedCall &call, size_t i, Writer &w) {
        if constexpr (std::is_pointer_v<P>) {
            return;
        } else if constexpr (std::is_floating_point_v<P>) {
            writeFloat(w, call.real(i));
        } else if constexpr (sizeof(P) == 1) {
            w.byte(static_cast<uint8_t>(call.word(i)));
        } else {
            w.num(static_cast<int32_t>(call.word(i)));
        }
    }
};

// Calls in the target's input format, and how many calls they are.
struct SeedCalls {
    std::vector<uint8_t> bytes;
    size_t calls = 0;
};

// Cuts the converted calls into inputs of the target's size, each with the machine header, the calls that
// opened the session and what puts the target where the game stood before its own calls.
class SeedSet {
  public:
    SeedSet() : headerBytes(fuzzinput::BasicSeed<Writer>().w.bytes) {}

    // A call that every later input needs before its own calls (the session's opening).
    void keepForLater(const SeedCalls &call) { opening.push_back(call); }

    // `restate` is what a new input would need first, were it to start with this call.
    void add(const SeedCalls &call, const SeedCalls &restate) {
        if (current.empty() || current.size() + call.bytes.size() > maxSeedBytes ||
            calls + call.calls > maxSeedCalls)
            start(restate);
        append(call);
    }

    const std::vector<std::vector<uint8_t>> &finish() {
        if (calls > 0) seeds.push_back(current);
        current.clear();
        return seeds;
    }

  private:
    void append(const SeedCalls &call) {
        current.insert(current.end(), call.bytes.begin(), call.bytes.end());
        calls += call.calls;
    }

    // The first input starts where the game did: nothing to repeat.
    void start(const SeedCalls &restate) {
        bool first = current.empty() && seeds.empty();
        if (calls > 0) seeds.push_back(current);
        current = headerBytes;
        calls = 0;
        if (first) return;
        for (const SeedCalls &call : opening)
            append(call);
        append(restate);
    }

    std::vector<uint8_t> headerBytes;
    std::vector<SeedCalls> opening;
    std::vector<uint8_t> current;
    size_t calls = 0;
    std::vector<std::vector<uint8_t>> seeds;
};

// Converts every call of a trace; the calls writeCall leaves out are counted by name.
template <typename Converter>
std::vector<std::vector<uint8_t>> convertTrace(const Trace &trace, Converter &converter,
                                               std::map<std::string, int> &leftOut) {
    SeedSet seeds;
    const std::vector<TraceEvent> &events = trace.events;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != trace_format::callKind) continue;
        const std::string &name = trace.callNames[events[i].callId];
        const TraceEvent *held = nullptr;
        for (size_t j = i + 1; name == "grLfbLock" && j < events.size() && held == nullptr; ++j)
            if (events[j].kind == trace_format::heldWriteKind) held = &events[j];
        SeedCall call{name, events[i], held};
        Writer restateWriter, w;
        SeedCalls restate;
        restate.calls = converter.restate(restateWriter);
        restate.bytes = restateWriter.bytes;
        SeedCalls written;
        written.calls = converter.writeCall(call, w);
        if (written.calls == 0) {
            ++leftOut[call.name];
            continue;
        }
        written.bytes = w.bytes;
        seeds.add(written, restate);
        if (converter.opensSession(call)) seeds.keepForLater(written);
    }
    return seeds.finish();
}

// converter OUTDIR TRACE...: writes OUTDIR/trace-NAME-N for every trace of the converter's library.
template <typename Converter> int convertMain(int argc, char **argv, const char *library) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s OUTDIR TRACE...\n", argv[0]);
        return 2;
    }
    for (int a = 2; a < argc; ++a) {
        Trace trace;
        std::string error;
        if (!loadTrace(argv[a], trace, error)) {
            fprintf(stderr, "%s: %s\n", argv[a], error.c_str());
            return 1;
        }
        if (trace.library != library) continue;
        Converter converter;
        std::map<std::string, int> leftOut;
        std::vector<std::vector<uint8_t>> seeds = convertTrace(trace, converter, leftOut);
        std::string base = argv[a];
        base = base.substr(base.find_last_of('/') + 1);
        base = base.substr(0, base.find('.'));
        for (size_t i = 0; i < seeds.size(); ++i) {
            std::string path = std::string(argv[1]) + "/trace-" + base + "-" + std::to_string(i);
            FILE *out = fopen(path.c_str(), "wb");
            if (out == nullptr) {
                perror(path.c_str());
                return 1;
            }
            fwrite(seeds[i].data(), 1, seeds[i].size(), out);
            fclose(out);
        }
        printf("%s: %zu seeds", argv[a], seeds.size());
        for (const auto &entry : leftOut)
            printf(", %s left out %d times", entry.first.c_str(), entry.second);
        printf("\n");
    }
    return 0;
}

} // namespace trace_seeds

#endif
