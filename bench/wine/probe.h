// The frame probe shared by the Glide 2, Glide 3 and Direct3D 7 runs: the same triangles every frame, in
// fans of fanTriangles around a centre, timed on the application's thread from the first draw to the end of
// the swap.
#ifndef KESTRIX_BENCH_PROBE_H
#define KESTRIX_BENCH_PROBE_H

#include <windows.h>

#include <algorithm>
#include <vector>

namespace probe {

const int fanTriangles = 64;
const int fanCount = 256;
const int trianglesPerFrame = fanTriangles * fanCount; // 16,384
const int screenWidth = 640;
const int screenHeight = 480;
const int warmupFrames = 3;
const int timedFrames = 31;

struct Point {
    float x, y;
};

// One fan: its centre, then fanTriangles + 1 rim points, the last on the first.
struct Fan {
    Point centre;
    Point rim[fanTriangles + 1];
};

// Fans whose triangles each cover about `pixels` pixels, spread on a grid over the screen.
std::vector<Fan> makeFans(float pixels);

// Milliseconds of the median frame of `frame`, after the warm-up frames: the machine's other work makes
// single frames slow, the median keeps them out.
template <typename Frame> double timeFrames(Frame frame) {
    for (int i = 0; i < warmupFrames; ++i)
        frame();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int i = 0; i < timedFrames; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        frame();
        QueryPerformanceCounter(&end);
        const double millisecondsPerSecond = 1000.0;
        ms.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * millisecondsPerSecond /
                     static_cast<double>(frequency.QuadPart));
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// An entry point by its 32-bit stdcall name (_grDrawTriangle@12), or by the plain name a 64-bit library
// exports.
FARPROC findEntry(HMODULE dll, const char *decorated);

// The ways of drawing a frame, in the order of the table.
enum Method { oneCallEach, fansOf64, vertexArrayTriangles, batchedList, methodCount };

// Milliseconds per frame per method; negative where the run does not have the method or failed.
struct Timings {
    double ms[methodCount];
};

// Each runs every method it has at both sizes (index 0: one pixel, 1: eight pixels), on `window`.
bool runGlide2(HWND window, const std::vector<Fan> fans[2], Timings out[2]);
bool runGlide3(HWND window, const std::vector<Fan> fans[2], Timings out[2]);
bool runDirect3D(HWND window, const std::vector<Fan> fans[2], Timings out[2]);

} // namespace probe

#endif
