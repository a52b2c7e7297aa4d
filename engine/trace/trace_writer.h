// The trace file beside the log: buffered, written out when the buffer fills and at shutdown, so a crash or
// a kill loses at most the last buffer.
#ifndef KESTRIX_TRACE_WRITER_H
#define KESTRIX_TRACE_WRITER_H

#include <stddef.h>
#include <stdint.h>

// Opens the first free .\kestrix-N.gltrace and writes its header; false when no file can be made.
bool openTraceFile(const char *libraryName, uint64_t maxBytes);
bool traceFileIsOpen();
// Stops at the size limit: the bytes that would pass it are dropped, the file closed and the log told.
void appendToTrace(const uint8_t *bytes, size_t size);
void flushTraceFile();
void closeTraceFile();
uint64_t traceBytesWritten();

#endif
