// libFuzzer target: arbitrary bytes as a trace file. The reader either refuses them with a message or
// hands back events whose every argument lies inside the bytes; both are checked here.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "trace/trace_reader.h"

namespace {

bool inside(const Trace &trace, const uint8_t *data, uint32_t size) {
    const uint8_t *begin = trace.bytes.data();
    const uint8_t *end = begin + trace.bytes.size();
    return size == 0 || (data >= begin && data <= end && static_cast<size_t>(end - data) >= size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Trace trace;
    std::string error;
    if (!parseTrace(std::vector<uint8_t>(data, data + size), trace, error)) {
        if (error.empty()) abort();
        return 0;
    }
    for (const TraceEvent &event : trace.events) {
        if (event.kind == trace_format::callKind && event.callId >= trace.callNames.size()) abort();
        if (!inside(trace, event.data, event.size)) abort();
        for (const TraceArgument &argument : event.arguments)
            if (!inside(trace, argument.data, argument.size)) abort();
    }
    return 0;
}
