// Games that draw from a worker thread while the main thread swaps and queries: the calls take turns.
#include "glide2_driver.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using EntryThreads = Glide2Test;

const FxU32 triangleCount = 20000;
const int swapCount = 300;

GrVertex corner(float x, float y) {
    GrVertex vertex;
    std::memset(&vertex, 0, sizeof(vertex));
    vertex.x = x;
    vertex.y = y;
    vertex.r = 255.0f;
    vertex.oow = 1.0f;
    return vertex;
}

// Without the entry lock the two threads meet inside the device and the simulation's call record, and the
// counts come out wrong or the run crashes (AddressSanitizer and ThreadSanitizer builds say where).
TEST_F(EntryThreads, DrawingAndSwappingThreadsTakeTurns) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    unsigned long long flipsBefore = sim::counters().flips;
    std::atomic<bool> drawing(true);
    std::thread worker([&] {
        GrVertex a = corner(10.0f, 10.0f), b = corner(200.0f, 20.0f), c = corner(100.0f, 150.0f);
        for (FxU32 i = 0; i < triangleCount; ++i)
            grDrawTriangle(&a, &b, &c);
        drawing = false;
    });
    int swaps = 0;
    FxU32 queriedWidth = 0;
    while (swaps < swapCount || drawing) {
        grBufferSwap(0);
        queriedWidth |= grSstScreenWidth();
        grSstStatus();
        ++swaps;
    }
    worker.join();

    FxU32 processed = 0, drawn = 0;
    grTriStats(&processed, &drawn);
    EXPECT_EQ(processed, triangleCount);
    EXPECT_EQ(sim::counters().flips - flipsBefore, static_cast<unsigned long long>(swaps));
    EXPECT_EQ(queriedWidth, 640u);
    grGlideShutdown();
}

} // namespace
