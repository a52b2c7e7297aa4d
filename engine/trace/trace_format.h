// The .gltrace file: what the recorder writes and the reader checks. Plain numbers, shared by the engine,
// the replay tools and the fuzz target. Every number is little-endian.
//
// File:   magic (8 bytes), version (u32), library name (u32 length, bytes)
// Record: payload length (u32), kind (u8), payload
//   nameKind:        call id (u16), entry point name (the rest)
//   callKind:        call id (u16), argument count (u8), arguments
//   heldWriteKind:   offset into the held lock (u32), the bytes the application changed there (the rest)
// Argument: tag (u8), then by tag
//   wordTag:         u32 (integers as they were passed, floats as their bits)
//   nullTag:         nothing: a null pointer
//   bytesTag:        length (u32), bytes the call reads
//   vertexListTag:   count (u32), vertex size (u32), count vertices: an array of pointers to them
//   textureTag:      small, large, aspect, format (4 × u32), length (u32), texels
//   outputTag:       length (u32): a buffer the call writes into
//   fileTag:         name length (u32), name, content length (u32), content
//   textTag:         length (u32), characters without the terminating zero
//   blockTag:        offset of the pointer in the bytes (u32), length (u32), bytes the call reads around it
#ifndef KESTRIX_TRACE_FORMAT_H
#define KESTRIX_TRACE_FORMAT_H

#include <stddef.h>
#include <stdint.h>

namespace trace_format {

inline constexpr char magic[8] = {'K', 'X', 'G', 'L', 'T', 'R', 'C', '\n'};
inline constexpr uint32_t version = 1;
inline constexpr size_t headerFixedBytes = sizeof(magic) + 2 * sizeof(uint32_t);
inline constexpr size_t recordHeaderBytes = sizeof(uint32_t) + 1;
inline constexpr uint32_t maxLibraryNameBytes = 260;
// No single call reads more: a 3DF file of 256 × 256 texels with every level is far below.
inline constexpr uint32_t maxRecordBytes = 64u << 20;
inline constexpr uint32_t maxCallIds = 1024;
inline constexpr uint32_t maxArguments = 24;

enum RecordKind : uint8_t {
    nameKind = 1,
    callKind = 2,
    heldWriteKind = 3,
};

enum ArgumentTag : uint8_t {
    wordTag = 1,
    nullTag = 2,
    bytesTag = 3,
    vertexListTag = 4,
    textureTag = 5,
    outputTag = 6,
    fileTag = 7,
    textTag = 8,
    blockTag = 9,
};

inline constexpr int textureWords = 4;

} // namespace trace_format

#endif
