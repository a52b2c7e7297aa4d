// Recording a Glide 3 session to a trace and playing it back on the simulation.
#include "glide3_vertex_driver.h"

#include "kept_traces.h"
#include "replay_tables.h"
#include "trace/trace_reader.h"

namespace {

const FxU32 clearColor = 0x00204080;
const FxU32 secondClearColor = 0x00806040;
const FxU32 depthFar = 0xFFFF;
const FxU16 writtenPixel = 0xF81F;
const FxU16 heldPixel = 0x07E0;
const FxU32 lfbSide = 4;
const FxU32 lfbX = 10, lfbY = 12;
const int heldPixelIndex = 3 * 640 + 7;
const FxU32 textureBytes = 8 * 8 * 2;
const int frameCount = 2;

class Trace3 : public Glide3DrawTest {
  protected:
    // Draws, downloads, frame-buffer writes and a held lock over two frames.
    void playScene() {
        grGlideInit();
        GrContext_t context = open();
        grVertexLayout(GR_PARAM_XY, offsetXy, GR_PARAM_ENABLE);
        grVertexLayout(GR_PARAM_PARGB, offsetPargb, GR_PARAM_ENABLE);
        grBufferClear(clearColor, 0, depthFar);
        AppVertex corners[] = {appVertex(0, 0), appVertex(100, 0), appVertex(100, 100), appVertex(0, 100)};
        corners[2].argb = 0xFF00FF00;
        grDrawTriangle(&corners[0], &corners[1], &corners[2]);
        grDrawVertexArrayContiguous(GR_TRIANGLE_FAN, 4, corners, sizeof(AppVertex));
        std::vector<FxU8> texels(textureBytes, 0x5A);
        GrTexInfo texture = {GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565,
                             texels.data()};
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &texture);
        grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &texture);
        std::vector<FxU16> block(lfbSide * lfbSide, writtenPixel);
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, lfbX, lfbY, GR_LFB_SRC_FMT_565, lfbSide, lfbSide, FXFALSE,
                         lfbSide * sizeof(FxU16), block.data());
        GrLfbInfo_t info = {};
        info.size = sizeof(info);
        if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                      FXFALSE, &info))
            static_cast<FxU16 *>(info.lfbPtr)[heldPixelIndex] = heldPixel;
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
        grBufferSwap(1);
        grBufferClear(secondClearColor, 0, depthFar);
        grBufferSwap(1);
        grSstWinClose(context);
        grGlideShutdown();
    }

    Trace recordScene() {
        sim::clearCalls();
        setProductDword(settings_store::trace, 1);
        playScene();
        return recordedTrace();
    }

    Trace recordedTrace() {
        unload();
        std::string text = sim::readFile("kestrix-1.gltrace");
        Trace trace;
        std::string error;
        EXPECT_TRUE(parseTrace(std::vector<uint8_t>(text.begin(), text.end()), trace, error)) << error;
        return trace;
    }

    ReplayResult replay(const Trace &trace, std::function<void(const ReplayFrame &)> frames = nullptr) {
        ReplayOptions options;
        options.window = reinterpret_cast<uintptr_t>(window);
        options.firstFrame = 0;
        options.lastFrame = -1;
        options.frameReady = frames;
        options.readBackBuffer = glide3ReadBackBuffer;
        return replayTrace(trace, glide3LinkedEntries(), options);
    }
};

const TraceEvent *firstCall(const Trace &trace, const char *name) {
    for (const TraceEvent &event : trace.events)
        if (event.kind == trace_format::callKind && trace.callNames[event.callId] == name) return &event;
    return nullptr;
}

} // namespace

TEST_F(Trace3, RecordsEachCallWithTheDataItReads) {
    Trace trace = recordScene();
    EXPECT_EQ(trace.library, "tessel3.dll");
    // The scene kept as tests/traces/glide3_scene.gltrace.
    kept_traces::keepIfAsked(trace);
    const TraceEvent *triangle = firstCall(trace, "grDrawTriangle");
    ASSERT_NE(triangle, nullptr);
    ASSERT_EQ(triangle->arguments.size(), 3u);
    // The layout ends with the packed colour: the vertex is read up to it.
    const TraceArgument &third = triangle->arguments[2];
    ASSERT_EQ(third.size, offsetPargb + sizeof(FxU32));
    FxU32 argb = 0;
    std::memcpy(&argb, third.data + offsetPargb, sizeof(argb));
    EXPECT_EQ(argb, 0xFF00FF00u);
    const TraceEvent *download = firstCall(trace, "grTexDownloadMipMap");
    ASSERT_NE(download, nullptr);
    EXPECT_EQ(download->arguments[3].size, textureBytes);
    // The pixel written through the held lock is in the trace, at its place in the lock.
    bool heldFound = false;
    for (const TraceEvent &event : trace.events)
        for (uint32_t i = 0; event.kind == trace_format::heldWriteKind && i + 1 < event.size; i += 2)
            if (event.heldOffset + i == heldPixelIndex * sizeof(FxU16) &&
                (event.data[i] | event.data[i + 1] << 8) == heldPixel)
                heldFound = true;
    EXPECT_TRUE(heldFound);
    // The library's calls to itself are not recorded: the download asks for the size once, outside.
    EXPECT_EQ(firstCall(trace, "grTexTextureMemRequired"), nullptr);
}

TEST_F(Trace3, ReplaySendsTheDeviceWhatTheGameDid) {
    Trace trace = recordScene();
    std::vector<std::string> recorded = kept_traces::deviceCalls();
    ASSERT_NE(std::find_if(recorded.begin(), recorded.end(),
                           [](const std::string &call) { return call.rfind("DrawPrimitive", 0) == 0; }),
              recorded.end());
    SetUp();
    setProductDword(settings_store::trace, 0); // the same key, read the same way
    sim::clearCalls();
    ReplayResult result = replay(trace);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.frames, frameCount);
    unload();
    EXPECT_EQ(kept_traces::deviceCalls(), recorded);
}

// Rows handed over bottom-up, from the last row of a Windows bitmap with a negative stride, replay in place.
TEST_F(Trace3, ReplaysFrameBufferRowsGoingUpwards) {
    const FxU16 firstRow = 0xF800, secondRow = 0x001F;
    const FxI32 upwards = -static_cast<FxI32>(lfbSide * sizeof(FxU16));
    std::vector<FxU16> bitmap(lfbSide * lfbSide, secondRow);
    FxU16 *lastRow = bitmap.data() + (lfbSide - 1) * lfbSide;
    std::fill(lastRow, lastRow + lfbSide, firstRow);
    setProductDword(settings_store::trace, 1);
    grGlideInit();
    GrContext_t context = open();
    grBufferClear(clearColor, 0, depthFar);
    grLfbWriteRegion(GR_BUFFER_BACKBUFFER, lfbX, lfbY, GR_LFB_SRC_FMT_565, lfbSide, lfbSide, FXFALSE, upwards,
                     lastRow);
    grBufferSwap(1);
    grSstWinClose(context);
    grGlideShutdown();
    Trace trace = recordedTrace();
    SetUp();
    setProductDword(settings_store::trace, 0);
    std::vector<uint16_t> pixels;
    ReplayResult result = replay(trace, [&pixels](const ReplayFrame &frame) { pixels = frame.pixels; });
    ASSERT_TRUE(result.ok) << result.error;
    const FxU32 screenWidth = 640, screenHeight = 480;
    ASSERT_EQ(pixels.size(), screenWidth * screenHeight);
    EXPECT_EQ(pixels[lfbY * screenWidth + lfbX], firstRow);
    EXPECT_EQ(pixels[(lfbY + 1) * screenWidth + lfbX], secondRow);
    unload();
}

TEST_F(Trace3, KeptTracesReplayAsNoted) {
    const char *const kept[] = {"glide3_scene", "glide3_demo_frame"};
    for (const char *name : kept) {
        unload();
        SetUp();
        kept_traces::expectReplaysAsNoted(name, glide3LinkedEntries(), reinterpret_cast<uintptr_t>(window),
                                          glide3ReadBackBuffer);
        unload();
    }
}

TEST_F(Trace3, StopsAtTheSizeLimitWithOneLogLine) {
    const DWORD smallestLimit = 1;
    const int triangles = 40000; // far more than a megabyte of records
    setProductDword(settings_store::trace, 1);
    setProductDword(settings_store::traceMaxMegabytes, smallestLimit);
    grGlideInit();
    open();
    grVertexLayout(GR_PARAM_XY, offsetXy, GR_PARAM_ENABLE);
    AppVertex v = appVertex(1, 1);
    for (int i = 0; i < triangles; ++i)
        grDrawTriangle(&v, &v, &v);
    grGlideInit(); // a new init does not start a second file
    std::string log = logText();
    EXPECT_EQ(sim::readFile("kestrix-2.gltrace"), "");
    EXPECT_LE(sim::readFile("kestrix-1.gltrace").size(), size_t{1} << 20);
    size_t first = log.find("Trace: stopped at the 1 MB limit");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("Trace: stopped", first + 1), std::string::npos);
}

TEST_F(Trace3, RefusesTruncatedAndDamagedTraces) {
    Trace trace = recordScene();
    std::vector<uint8_t> whole = trace.bytes;
    Trace refused;
    std::string error;
    std::vector<uint8_t> cut(whole.begin(), whole.end() - 3);
    EXPECT_FALSE(parseTrace(cut, refused, error));
    EXPECT_NE(error.find("truncated record"), std::string::npos) << error;
    std::vector<uint8_t> damaged = whole;
    damaged[trace_format::headerFixedBytes + trace.library.size() + trace_format::recordHeaderBytes - 1] =
        0x7F;
    EXPECT_FALSE(parseTrace(damaged, refused, error));
    EXPECT_NE(error.find("unknown record kind"), std::string::npos) << error;
}
