// The simulated machine under the call-sequence fuzz targets: application buffers of exact sizes, the
// machine an input's header describes (settings store, window, device capabilities, texture formats,
// injected failures), the things that happen to a game from outside, and the run of one input from load
// to unload with the leak and display-mode check after it. No Glide header is included here: each target
// brings its own front end and the Glide version it speaks.
#ifndef KESTRIX_FUZZ_MACHINE_H
#define KESTRIX_FUZZ_MACHINE_H

#include <stddef.h>
#include <stdint.h>

#include "sim/sim.h"
#include "call_fuzz_input.h"

namespace fuzzmachine {

// The largest buffer an application is given; calls that would need more are skipped.
const size_t bufferLimit = 8u << 20;

// An application buffer of an exact size: any access past it is reported.
struct Buffer {
    uint8_t *bytes = nullptr;
    size_t size = 0;
    Buffer() = default;
    explicit Buffer(size_t n) { allocate(n); }
    Buffer(const Buffer &) = delete;
    Buffer &operator=(const Buffer &) = delete;
    ~Buffer() { release(); }
    void allocate(size_t n);
    void release();
    template <typename T> T *as() { return reinterpret_cast<T *>(bytes); }
    // Filled from the input, repeated when the input is shorter.
    void fill(fuzzinput::Reader &in);

  private:
    uint8_t *block_ = nullptr;
};

// True for one case in eight: the application passes a null pointer.
inline bool nullPointer(fuzzinput::Reader &in) {
    return (in.byte() & 7) == 7;
}

// The application reads and writes stride × rows bytes of a locked frame buffer: all of them must be
// addressable. It writes the first row with value.
void touchLockedMemory(void *memory, size_t stride, size_t rows, uint8_t value);

// The bytes an application hands to a frame-buffer write of this source format (the same codes in Glide 2
// and 3): none for formats the board does not write; and to a read of 16-bit pixels. Counted in 64 bits,
// where nothing wraps.
uint64_t lfbWriteBytes(int32_t format, uint32_t width, uint32_t height, int32_t stride);
uint64_t lfbReadBytes(uint32_t width, uint32_t height, uint32_t stride);

// A frame-buffer write's source block: the first row, at the end of the block for a negative stride.
uint8_t *lfbFirstRow(Buffer &data, uint32_t height, int32_t stride);

// The hWnd of a grSstWinOpen: the game's window, 0 (the active window) or a handle of no window.
uint32_t windowArgument(fuzzinput::Reader &in, HWND window);
// The resolution of a grSstWinOpen. Every code past the table opens 640 x 480; the plain byte values
// among them open the small screens instead, which the simulation clears and presents many times faster.
// Tagged values still reach every code.
int32_t resolutionArgument(fuzzinput::Reader &in);

// Things that happen to a game from outside the library.
void loseSurfaces();
void failNextCall(fuzzinput::Reader &in);
void reloadLibrary();
void setVerticalBlank(fuzzinput::Reader &in);

// Reads one operation byte and its arguments from the input and makes that call.
typedef void (*CallRunner)(fuzzinput::Reader &in, HWND window, bool trace);

// Runs one input: the machine from its header, the library loaded, up to 400 calls, the library unloaded;
// aborts when anything is left behind. traceVariable names the environment variable that lists the calls.
int runInput(const uint8_t *data, size_t size, CallRunner runCall, const char *traceVariable);

} // namespace fuzzmachine

#endif
