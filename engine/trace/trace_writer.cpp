#include "trace_writer.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "trace_format.h"
#include "../core/log.h"

namespace {

const int maxTraceFileNumber = 9999;
const uint32_t bytesPerMegabyte = 1u << 20;

struct TraceFile {
    HANDLE handle;
    uint8_t buffer[256 * 1024];
    size_t used;
    uint64_t total; // header and records accepted so far
    uint64_t maxBytes;
};

TraceFile traceFile = {INVALID_HANDLE_VALUE, {}, 0, 0, 0};

void writeOut() {
    if (traceFile.used == 0) return;
    DWORD written = 0;
    WriteFile(traceFile.handle, traceFile.buffer, static_cast<DWORD>(traceFile.used), &written, NULL);
    traceFile.used = 0;
}

void put(const uint8_t *bytes, size_t size) {
    if (size > sizeof(traceFile.buffer)) {
        writeOut();
        DWORD written = 0;
        WriteFile(traceFile.handle, bytes, static_cast<DWORD>(size), &written, NULL);
        return;
    }
    if (traceFile.used + size > sizeof(traceFile.buffer)) writeOut();
    memcpy(traceFile.buffer + traceFile.used, bytes, size);
    traceFile.used += size;
}

void putWord(uint32_t value) {
    uint8_t bytes[sizeof(value)];
    for (size_t i = 0; i < sizeof(value); ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    put(bytes, sizeof(bytes));
}

} // namespace

bool openTraceFile(const char *libraryName, uint64_t maxBytes) {
    if (traceFileIsOpen()) return true;
    char path[32];
    for (int n = 1; n <= maxTraceFileNumber; ++n) {
        snprintf(path, sizeof(path), ".\\kestrix-%d.gltrace", n);
        traceFile.handle =
            CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (traceFileIsOpen()) break;
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (!traceFileIsOpen()) return false;
    traceFile.used = 0;
    traceFile.maxBytes = maxBytes;
    size_t nameLength = strlen(libraryName);
    put(reinterpret_cast<const uint8_t *>(trace_format::magic), sizeof(trace_format::magic));
    putWord(trace_format::version);
    putWord(static_cast<uint32_t>(nameLength));
    put(reinterpret_cast<const uint8_t *>(libraryName), nameLength);
    traceFile.total = traceFile.used;
    logLine("Trace: recording to %s\n", path + 2);
    return true;
}

bool traceFileIsOpen() {
    return traceFile.handle != INVALID_HANDLE_VALUE && traceFile.handle != NULL;
}

void appendToTrace(const uint8_t *bytes, size_t size) {
    if (!traceFileIsOpen()) return;
    if (traceFile.total + size > traceFile.maxBytes) {
        closeTraceFile();
        logLine("Trace: stopped at the %u MB limit (TraceMaxMegabytes)\n",
                static_cast<unsigned>(traceFile.maxBytes / bytesPerMegabyte));
        return;
    }
    put(bytes, size);
    traceFile.total += size;
}

void flushTraceFile() {
    if (traceFileIsOpen()) writeOut();
}

void closeTraceFile() {
    if (!traceFileIsOpen()) return;
    writeOut();
    CloseHandle(traceFile.handle);
    traceFile.handle = INVALID_HANDLE_VALUE;
}

uint64_t traceBytesWritten() {
    return traceFile.total;
}
