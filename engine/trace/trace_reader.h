// Reading a .gltrace back: every record checked against the bytes that hold it, so that a truncated or
// damaged file is refused with a message naming the byte where it goes wrong.
#ifndef KESTRIX_TRACE_READER_H
#define KESTRIX_TRACE_READER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "trace_format.h"

struct TraceArgument {
    trace_format::ArgumentTag tag;
    uint32_t word;       // wordTag; vertexListTag's count; outputTag's length; blockTag's pointer offset
    uint32_t vertexSize; // vertexListTag
    int32_t texture[trace_format::textureWords]; // textureTag: small, large, aspect, format
    std::string name;                            // fileTag
    const uint8_t *data; // into the trace's bytes: bytes, vertices, texels, file content, text
    uint32_t size;
};

struct TraceEvent {
    trace_format::RecordKind kind; // callKind or heldWriteKind
    uint32_t callId;               // callKind
    std::vector<TraceArgument> arguments;
    uint32_t heldOffset; // heldWriteKind, with the bytes in data and size
    const uint8_t *data;
    uint32_t size;
    size_t fileOffset; // where the record starts
};

struct Trace {
    std::vector<uint8_t> bytes;
    std::string library;
    std::vector<std::string> callNames; // by call id
    std::vector<TraceEvent> events;
};

// False with a message for the user when the bytes are not a whole trace of this version.
bool parseTrace(std::vector<uint8_t> bytes, Trace &trace, std::string &error);
bool loadTrace(const char *path, Trace &trace, std::string &error);

#endif
