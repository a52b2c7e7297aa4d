#include "trace_reader.h"

#include <stdio.h>
#include <string.h>

namespace {

using namespace trace_format;

class Cursor {
  public:
    Cursor(const uint8_t *bytes, size_t end, size_t at) : bytes(bytes), end(end), at(at) {}

    bool word(uint32_t &value) {
        if (end - at < sizeof(value)) return false;
        value = 0;
        for (size_t i = 0; i < sizeof(value); ++i)
            value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        at += sizeof(value);
        return true;
    }
    bool half(uint32_t &value) {
        if (end - at < sizeof(uint16_t)) return false;
        value = static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8;
        at += sizeof(uint16_t);
        return true;
    }
    bool byte(uint8_t &value) {
        if (at == end) return false;
        value = bytes[at++];
        return true;
    }
    bool take(uint64_t size, const uint8_t *&data) {
        if (end - at < size) return false;
        data = bytes + at;
        at += static_cast<size_t>(size);
        return true;
    }
    bool sized(const uint8_t *&data, uint32_t &size) { return word(size) && take(size, data); }
    void rest(const uint8_t *&data, uint32_t &size) {
        data = bytes + at;
        size = static_cast<uint32_t>(end - at);
        at = end;
    }
    size_t position() const { return at; }
    bool done() const { return at == end; }

  private:
    const uint8_t *bytes;
    size_t end;
    size_t at;
};

bool fail(std::string &error, const char *what, size_t offset) {
    char text[160];
    snprintf(text, sizeof(text), "not a usable Kestrix trace: %s at byte %zu", what, offset);
    error = text;
    return false;
}

bool readArgument(Cursor &cursor, TraceArgument &argument) {
    uint8_t tag = 0;
    if (!cursor.byte(tag)) return false;
    argument = TraceArgument{static_cast<ArgumentTag>(tag), 0, 0, {}, std::string(), NULL, 0};
    switch (tag) {
    case wordTag:
    case outputTag:
        return cursor.word(argument.word);
    case nullTag:
        return true;
    case bytesTag:
    case textTag:
        return cursor.sized(argument.data, argument.size);
    case blockTag:
        return cursor.word(argument.word) && cursor.sized(argument.data, argument.size) &&
               argument.word <= argument.size;
    case vertexListTag: {
        if (!cursor.word(argument.word) || !cursor.word(argument.vertexSize)) return false;
        uint64_t size = static_cast<uint64_t>(argument.word) * argument.vertexSize;
        argument.size = static_cast<uint32_t>(size);
        return size <= maxRecordBytes && cursor.take(size, argument.data);
    }
    case textureTag:
        for (int32_t &value : argument.texture) {
            uint32_t word = 0;
            if (!cursor.word(word)) return false;
            value = static_cast<int32_t>(word);
        }
        return cursor.sized(argument.data, argument.size);
    case fileTag: {
        const uint8_t *name = NULL;
        uint32_t nameSize = 0;
        if (!cursor.sized(name, nameSize)) return false;
        argument.name.assign(reinterpret_cast<const char *>(name), nameSize);
        return cursor.sized(argument.data, argument.size);
    }
    default:
        return false;
    }
}

bool readCall(Cursor &cursor, const Trace &trace, TraceEvent &event, std::string &error) {
    uint8_t count = 0;
    if (!cursor.half(event.callId) || !cursor.byte(count))
        return fail(error, "short call record", event.fileOffset);
    if (event.callId >= trace.callNames.size())
        return fail(error, "call of an unnamed entry point", event.fileOffset);
    if (count > maxArguments) return fail(error, "too many arguments", event.fileOffset);
    event.arguments.resize(count);
    for (TraceArgument &argument : event.arguments)
        if (!readArgument(cursor, argument)) return fail(error, "damaged argument", cursor.position());
    return cursor.done() || fail(error, "bytes after the arguments", cursor.position());
}

bool readRecord(Cursor &cursor, uint8_t kind, Trace &trace, std::string &error, size_t start) {
    TraceEvent event = {static_cast<RecordKind>(kind), 0, {}, 0, NULL, 0, start};
    if (kind == nameKind) {
        uint32_t id = 0;
        const uint8_t *name = NULL;
        if (!cursor.half(id)) return fail(error, "short name record", start);
        if (id != trace.callNames.size() || id >= maxCallIds)
            return fail(error, "call ids out of order", start);
        uint32_t length = 0;
        cursor.rest(name, length);
        if (length == 0) return fail(error, "empty entry point name", start);
        trace.callNames.emplace_back(reinterpret_cast<const char *>(name), length);
        return true;
    }
    if (kind == callKind) {
        if (!readCall(cursor, trace, event, error)) return false;
    } else if (kind == heldWriteKind) {
        if (!cursor.word(event.heldOffset)) return fail(error, "short frame-buffer record", start);
        cursor.rest(event.data, event.size);
    } else {
        return fail(error, "unknown record kind", start);
    }
    trace.events.push_back(std::move(event));
    return true;
}

} // namespace

bool parseTrace(std::vector<uint8_t> bytes, Trace &trace, std::string &error) {
    trace = Trace();
    trace.bytes = std::move(bytes);
    const uint8_t *data = trace.bytes.data();
    size_t size = trace.bytes.size();
    if (size < headerFixedBytes || memcmp(data, magic, sizeof(magic)) != 0)
        return fail(error, "no trace header", 0);
    Cursor header(data, size, sizeof(magic));
    uint32_t fileVersion = 0, nameLength = 0;
    const uint8_t *name = NULL;
    header.word(fileVersion);
    if (fileVersion != version) return fail(error, "unknown format version", sizeof(magic));
    if (!header.word(nameLength) || nameLength > maxLibraryNameBytes || !header.take(nameLength, name))
        return fail(error, "damaged library name", sizeof(magic) + sizeof(uint32_t));
    trace.library.assign(reinterpret_cast<const char *>(name), nameLength);
    size_t at = header.position();
    while (at < size) {
        Cursor record(data, size, at);
        uint32_t length = 0;
        uint8_t kind = 0;
        if (!record.word(length) || !record.byte(kind)) return fail(error, "truncated record header", at);
        if (length > maxRecordBytes || size - record.position() < length)
            return fail(error, "truncated record", at);
        Cursor payload(data, record.position() + length, record.position());
        if (!readRecord(payload, kind, trace, error, at)) return false;
        at = record.position() + length;
    }
    return true;
}

bool loadTrace(const char *path, Trace &trace, std::string &error) {
    FILE *file = fopen(path, "rb");
    if (file == NULL) {
        error = std::string("cannot open ") + path;
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return parseTrace(std::move(bytes), trace, error);
}
