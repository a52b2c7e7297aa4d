// A kept trace replayed with the simulation drawing: its picture agrees with Wine's replay of the same trace.
#include "glide3_fixture.h"

#include <cstdlib>
#include <vector>

#include "replay_tables.h"
#include "sim/sim.h"
#include "trace/trace_reader.h"

namespace {

const uint32_t frameWidth = 640;
const int redBits = 5, greenBits = 6, blueBits = 5;
// Wine's llvmpipe and the simulation interpolate with different precision: a channel may be one step off.
const int channelTolerance = 1;

struct Probe {
    uint32_t x, y;
    uint16_t wine565; // the pixel of Wine's replay (kestrixreplay.exe on tessel3.dll) of the same trace
};

// Inside, on and just outside the edges of the scene's square at (0, 0)-(100, 100), a pixel of its Gouraud
// shading, the block written through grLfbWriteRegion and the pixel written through the held lock.
const Probe sceneProbes[] = {
    {0, 0, 0x0000},   {99, 0, 0x0000},  {100, 0, 0x2210},  {75, 25, 0x03E0},
    {50, 50, 0x07E0}, {99, 99, 0x07E0}, {100, 99, 0x2210}, {99, 100, 0x2210},
    {0, 99, 0x0000},  {11, 13, 0xF81F}, {7, 3, 0x07E0},    {300, 300, 0x2210},
};

int channel(uint16_t pixel, int shift, int bits) {
    return (pixel >> shift) & ((1 << bits) - 1);
}

bool near565(uint16_t a, uint16_t b) {
    const int shifts[] = {redBits + greenBits, blueBits, 0};
    const int widths[] = {redBits, greenBits, blueBits};
    for (int i = 0; i < 3; ++i)
        if (std::abs(channel(a, shifts[i], widths[i]) - channel(b, shifts[i], widths[i])) > channelTolerance)
            return false;
    return true;
}

class TracePictures3 : public Glide3Test {};

} // namespace

TEST_F(TracePictures3, KeptSceneReplaysToWinesPicture) {
    Trace trace;
    std::string error;
    ASSERT_TRUE(loadTrace((std::string(KESTRIX_SOURCE_DIR) + "/tests/traces/glide3_scene.gltrace").c_str(),
                          trace, error))
        << error;
    sim::setRasterising(true);
    std::vector<uint16_t> first;
    ReplayOptions options;
    options.window = reinterpret_cast<uintptr_t>(window);
    options.firstFrame = 0;
    options.lastFrame = 0;
    options.readBackBuffer = glide3ReadBackBuffer;
    options.frameReady = [&first](const ReplayFrame &frame) { first = frame.pixels; };
    ReplayResult result = replayTrace(trace, glide3LinkedEntries(), options);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_FALSE(first.empty());
    for (const Probe &p : sceneProbes) {
        uint16_t drawn = first[p.y * frameWidth + p.x];
        EXPECT_TRUE(near565(drawn, p.wine565))
            << "(" << p.x << ", " << p.y << "): " << std::hex << drawn << ", Wine " << p.wine565;
    }
}
