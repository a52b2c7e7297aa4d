// Recording a Glide 3 session to a trace and playing it back on the simulation.
#include "glide3_vertex_driver.h"

#include <cstdlib>
#include <fstream>

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
        unload();
        std::string text = sim::readFile("kestrix-1.gltrace");
        Trace trace;
        std::string error;
        EXPECT_TRUE(parseTrace(std::vector<uint8_t>(text.begin(), text.end()), trace, error)) << error;
        return trace;
    }

    // What the device saw, without the objects' addresses.
    static std::vector<std::string> deviceCalls() {
        std::vector<std::string> calls;
        for (const sim::Call &call : sim::calls()) {
            std::string line = call.name;
            for (unsigned long long value : call.args)
                line += " " + std::to_string(value);
            for (double value : call.fargs)
                line += " " + std::to_string(value);
            line.append(call.data.begin(), call.data.end());
            calls.push_back(line);
        }
        return calls;
    }

    static uint64_t fnv(const void *data, size_t size) {
        const uint64_t offsetBasis = 14695981039346656037ull, prime = 1099511628211ull;
        uint64_t hash = offsetBasis;
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<const uint8_t *>(data)[i]) * prime;
        return hash;
    }

    // The device calls since the last frame, folded into one number.
    static uint64_t callsDigest() {
        std::string all;
        for (const std::string &call : deviceCalls())
            all += call + "\n";
        sim::clearCalls();
        return fnv(all.data(), all.size());
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
    // KESTRIX_KEEP_TRACE=path keeps the scene's trace, as tests/traces/glide3_scene.gltrace was made.
    if (const char *keep = std::getenv("KESTRIX_KEEP_TRACE"))
        std::ofstream(keep, std::ios::binary)
            .write(reinterpret_cast<const char *>(trace.bytes.data()),
                   static_cast<std::streamsize>(trace.bytes.size()));
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
    std::vector<std::string> recorded = deviceCalls();
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
    EXPECT_EQ(deviceCalls(), recorded);
}

// The traces kept in tests/traces replay to the device calls and frames noted beside them;
// KESTRIX_UPDATE_TRACE_DIGESTS=1 notes them anew after a change meant to alter them.
TEST_F(Trace3, KeptTracesReplayAsNoted) {
    const char *const kept[] = {"glide3_scene"};
    for (const char *name : kept) {
        std::string base = std::string(KESTRIX_SOURCE_DIR) + "/tests/traces/" + name;
        Trace trace;
        std::string error;
        ASSERT_TRUE(loadTrace((base + ".gltrace").c_str(), trace, error)) << error;
        unload();
        SetUp();
        sim::clearCalls();
        std::vector<std::string> digest;
        ReplayResult result = replay(trace, [&digest](const ReplayFrame &frame) {
            digest.push_back(
                "frame " + std::to_string(frame.index) + " pixels " +
                std::to_string(fnv(frame.pixels.data(), frame.pixels.size() * sizeof(uint16_t))) + " calls " +
                std::to_string(callsDigest()));
        });
        ASSERT_TRUE(result.ok) << name << ": " << result.error;
        if (std::getenv("KESTRIX_UPDATE_TRACE_DIGESTS") != nullptr) {
            std::ofstream out(base + ".digest");
            for (const std::string &line : digest)
                out << line << "\n";
        }
        std::ifstream in(base + ".digest");
        std::vector<std::string> noted;
        for (std::string line; std::getline(in, line);)
            noted.push_back(line);
        EXPECT_EQ(digest, noted) << name;
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
