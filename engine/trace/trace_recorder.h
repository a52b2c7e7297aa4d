// Recording of Glide calls: every entry point hands its name and arguments here, pointers wrapped in a
// record that says how many bytes the call reads through them. Only the outermost entry point is recorded:
// a call the library makes to itself replays by itself.
#ifndef KESTRIX_TRACE_RECORDER_H
#define KESTRIX_TRACE_RECORDER_H

#include <stdint.h>
#include <string.h>

#include <type_traits>

// The bytes a pointer argument reads.
struct TraceBytes {
    const void *data;
    uint32_t size;
};

// Bytes read around a pointer that is not their start: rows a negative stride walks upwards from it.
struct TraceBlock {
    const void *pointer;
    const void *start;
    uint32_t size;
};

// A buffer the call writes into: only its size is recorded.
struct TraceOutput {
    uint32_t size;
};

// An output the application may leave null (asking for a size first): recorded as null then.
struct TraceOptionalOutput {
    const void *pointer;
    uint32_t size;
};

// An array of pointers to vertices of one size.
struct TraceVertexList {
    const void *const *pointers;
    uint32_t count;
    uint32_t vertexSize;
};

// A texture description with its texels, held as Glide's info record points to them.
struct TraceTexture {
    int32_t smallLod, largeLod, aspect, format;
    const void *data;
    uint32_t size;
};

// A file named by the application: the name and what the file holds.
struct TraceFile {
    const char *name;
};

struct TraceText {
    const char *text;
};

class TraceRecord {
  public:
    explicit TraceRecord(const char *entryPoint);
    ~TraceRecord();
    TraceRecord(const TraceRecord &) = delete;
    TraceRecord &operator=(const TraceRecord &) = delete;

    template <typename T> void add(T value) {
        static_assert(!std::is_pointer_v<T>,
                      "a pointer argument is recorded through one of the Trace records");
        static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "arguments are numbers");
        if constexpr (std::is_floating_point_v<T>) {
            float single = static_cast<float>(value);
            uint32_t bits;
            memcpy(&bits, &single, sizeof(bits));
            addWord(bits);
        } else {
            addWord(static_cast<uint32_t>(value));
        }
    }
    void add(const TraceBytes &bytes);
    void add(const TraceBlock &block);
    void add(const TraceOutput &output);
    void add(const TraceOptionalOutput &output);
    void add(const TraceVertexList &list);
    void add(const TraceTexture &texture);
    void add(const TraceFile &file);
    void add(const TraceText &text);

  private:
    void addWord(uint32_t value);
    uint32_t arguments;
};

extern bool traceRecording;
// False inside an entry point the library called from another one.
bool traceOutermostCall();

// Asked before the arguments are sized: sizing reads the application's lists, which costs a call that is
// not recorded and must not touch what the call itself would refuse.
inline bool tracing() {
    return traceRecording && traceOutermostCall();
}

template <typename... Args> inline void traceCall(const char *entryPoint, const Args &...args) {
    if (!tracing()) return;
    TraceRecord record(entryPoint);
    (record.add(args), ...);
}

// Palette entries 0 to `last`, all of them when last is out of range.
TraceBytes tracePaletteEntries(const void *entries, int last);
// A frame-buffer region handed over in `format` (a lock write mode's value), its rows going down or up.
TraceBlock traceLfbSource(const void *data, int32_t format, uint32_t width, uint32_t height, int32_t stride);

// Starts recording when the settings ask for it; the library name goes into the header.
void startTraceIfAsked(const char *libraryName);
void stopTrace();
void flushTrace();

// Bytes the application changed through a held frame-buffer lock, found at a synchronisation.
void traceHeldLockWrite(size_t offset, const void *bytes, size_t size);

#endif
