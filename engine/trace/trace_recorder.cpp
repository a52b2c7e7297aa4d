#include "trace_recorder.h"

#include <stdio.h>

#include <unordered_map>
#include <vector>

#include "trace_format.h"
#include "trace_writer.h"
#include "../session/entry_lock.h"
#include "../session/lfb.h"
#include "../texture/texture_palette.h"
#include "../core/library_settings.h"

bool traceRecording = false;

namespace {

const uint32_t defaultMaxMegabytes = 1024;
const uint32_t megabyteShift = 20;

struct Recorder {
    std::vector<uint8_t> record;
    std::unordered_map<const char *, uint16_t> callIds;
    bool stoppedAtLimit; // no second file until the library is loaded again
};

Recorder recorder;

void putByte(uint8_t value) {
    recorder.record.push_back(value);
}

void putWord(uint32_t value) {
    for (size_t i = 0; i < sizeof(value); ++i)
        putByte(static_cast<uint8_t>(value >> (8 * i)));
}

void putHalf(uint16_t value) {
    putByte(static_cast<uint8_t>(value));
    putByte(static_cast<uint8_t>(value >> 8));
}

void putBytes(const void *data, size_t size) {
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    recorder.record.insert(recorder.record.end(), bytes, bytes + size);
}

void beginRecord(trace_format::RecordKind kind) {
    recorder.record.clear();
    putWord(0); // the length, known at the end
    putByte(kind);
}

void endRecord() {
    uint32_t length = static_cast<uint32_t>(recorder.record.size() - trace_format::recordHeaderBytes);
    for (size_t i = 0; i < sizeof(length); ++i)
        recorder.record[i] = static_cast<uint8_t>(length >> (8 * i));
    appendToTrace(recorder.record.data(), recorder.record.size());
    if (!traceFileIsOpen()) {
        traceRecording = false;
        recorder.stoppedAtLimit = true;
    }
}

uint16_t callId(const char *entryPoint) {
    auto found = recorder.callIds.find(entryPoint);
    if (found != recorder.callIds.end()) return found->second;
    uint16_t id = static_cast<uint16_t>(recorder.callIds.size());
    recorder.callIds.emplace(entryPoint, id);
    beginRecord(trace_format::nameKind);
    putHalf(id);
    putBytes(entryPoint, strlen(entryPoint));
    endRecord();
    return id;
}

// A file the application names is read whole; one that cannot be read is recorded empty.
void putFileContent(const char *name) {
    FILE *file = name != NULL ? fopen(name, "rb") : NULL;
    size_t lengthAt = recorder.record.size();
    putWord(0);
    if (file == NULL) return;
    uint8_t chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
        putBytes(chunk, got);
    fclose(file);
    uint32_t length = static_cast<uint32_t>(recorder.record.size() - lengthAt - sizeof(uint32_t));
    for (size_t i = 0; i < sizeof(length); ++i)
        recorder.record[lengthAt + i] = static_cast<uint8_t>(length >> (8 * i));
}

} // namespace

TraceRecord::TraceRecord(const char *entryPoint) : arguments(0) {
    uint16_t id = callId(entryPoint);
    beginRecord(trace_format::callKind);
    putHalf(id);
    putByte(0); // the argument count, known at the end
}

TraceRecord::~TraceRecord() {
    recorder.record[trace_format::recordHeaderBytes + sizeof(uint16_t)] = static_cast<uint8_t>(arguments);
    endRecord();
}

void TraceRecord::addWord(uint32_t value) {
    ++arguments;
    putByte(trace_format::wordTag);
    putWord(value);
}

void TraceRecord::add(const TraceBytes &bytes) {
    ++arguments;
    if (bytes.data == NULL) {
        putByte(trace_format::nullTag);
        return;
    }
    putByte(trace_format::bytesTag);
    putWord(bytes.size);
    putBytes(bytes.data, bytes.size);
}

void TraceRecord::add(const TraceBlock &block) {
    if (block.pointer == block.start || block.pointer == NULL) {
        add(TraceBytes{block.pointer, block.size});
        return;
    }
    ++arguments;
    putByte(trace_format::blockTag);
    putWord(static_cast<uint32_t>(static_cast<const uint8_t *>(block.pointer) -
                                  static_cast<const uint8_t *>(block.start)));
    putWord(block.size);
    putBytes(block.start, block.size);
}

void TraceRecord::add(const TraceOptionalOutput &output) {
    if (output.pointer == NULL) {
        ++arguments;
        putByte(trace_format::nullTag);
        return;
    }
    add(TraceOutput{output.size});
}

void TraceRecord::add(const TraceOutput &output) {
    ++arguments;
    putByte(trace_format::outputTag);
    putWord(output.size);
}

void TraceRecord::add(const TraceVertexList &list) {
    ++arguments;
    if (list.pointers == NULL) {
        putByte(trace_format::nullTag);
        return;
    }
    putByte(trace_format::vertexListTag);
    putWord(list.count);
    putWord(list.vertexSize);
    for (uint32_t i = 0; i < list.count; ++i)
        putBytes(list.pointers[i], list.vertexSize);
}

void TraceRecord::add(const TraceTexture &texture) {
    ++arguments;
    putByte(trace_format::textureTag);
    putWord(static_cast<uint32_t>(texture.smallLod));
    putWord(static_cast<uint32_t>(texture.largeLod));
    putWord(static_cast<uint32_t>(texture.aspect));
    putWord(static_cast<uint32_t>(texture.format));
    uint32_t size = texture.data != NULL ? texture.size : 0;
    putWord(size);
    putBytes(texture.data, size);
}

void TraceRecord::add(const TraceFile &file) {
    ++arguments;
    if (file.name == NULL) {
        putByte(trace_format::nullTag);
        return;
    }
    putByte(trace_format::fileTag);
    uint32_t nameLength = static_cast<uint32_t>(strlen(file.name));
    putWord(nameLength);
    putBytes(file.name, nameLength);
    putFileContent(file.name);
}

void TraceRecord::add(const TraceText &text) {
    ++arguments;
    if (text.text == NULL) {
        putByte(trace_format::nullTag);
        return;
    }
    putByte(trace_format::textTag);
    uint32_t length = static_cast<uint32_t>(strlen(text.text));
    putWord(length);
    putBytes(text.text, length);
}

bool traceOutermostCall() {
    return entryDepth() == 1;
}

void startTraceIfAsked(const char *libraryName) {
    if (settings.Trace == 0 || traceRecording || recorder.stoppedAtLimit) return;
    uint32_t megabytes = settings.TraceMaxMegabytes > 0 ? static_cast<uint32_t>(settings.TraceMaxMegabytes)
                                                        : defaultMaxMegabytes;
    recorder.callIds.clear();
    traceRecording = openTraceFile(libraryName, static_cast<uint64_t>(megabytes) << megabyteShift);
}

void stopTrace() {
    traceRecording = false;
    closeTraceFile();
    recorder.callIds.clear();
    recorder.stoppedAtLimit = false;
}

void flushTrace() {
    flushTraceFile();
}

void traceHeldLockWrite(size_t offset, const void *bytes, size_t size) {
    if (!traceRecording) return;
    beginRecord(trace_format::heldWriteKind);
    putWord(static_cast<uint32_t>(offset));
    putBytes(bytes, size);
    endRecord();
}

TraceBytes tracePaletteEntries(const void *entries, int last) {
    const int count = last >= 0 && last < texturePaletteSize ? last + 1 : texturePaletteSize;
    return TraceBytes{entries, static_cast<uint32_t>(count * sizeof(uint32_t))};
}

TraceBlock traceLfbSource(const void *data, int32_t format, uint32_t width, uint32_t height, int32_t stride) {
    if (height == 0 || data == NULL) return TraceBlock{data, data, 0};
    uint32_t rowBytes = width * shadowBytesPerPixel(format);
    // The last row lies lowest in memory when the rows go upwards: the bottom-up bitmaps of Windows.
    uint32_t span = static_cast<uint32_t>(stride < 0 ? -static_cast<int64_t>(stride) : stride) * (height - 1);
    const uint8_t *first = static_cast<const uint8_t *>(data);
    const uint8_t *start = stride < 0 ? first - span : first;
    return TraceBlock{data, start, span + rowBytes};
}
