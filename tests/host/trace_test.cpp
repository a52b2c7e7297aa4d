// A Glide 2 session recorded to a trace and played back on the simulation.
#include "glide2_driver.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "replay_tables.h"
#include "trace/trace_reader.h"

namespace {

const FxU32 clearColor = 0x00305070;
const FxU32 depthFar = 0xFFFF;
const FxU16 writtenPixel = 0x001F;
const FxU32 lfbSide = 2;
const FxU32 texelCount = 8 * 8;
const FxU8 texelValue = 0x11;

class Trace2 : public Glide2Test {
  protected:
    // Triangles, an indexed polygon, a mipmap through the manager, a palette and a frame-buffer write.
    void playScene() {
        grGlideInit();
        open();
        grBufferClear(clearColor, 0, depthFar);
        GrVertex vertices[4];
        std::memset(vertices, 0, sizeof(vertices));
        const float corners[4][2] = {{10, 10}, {90, 10}, {90, 90}, {10, 90}};
        for (int i = 0; i < 4; ++i) {
            vertices[i].x = corners[i][0];
            vertices[i].y = corners[i][1];
            vertices[i].oow = 1.0f;
            vertices[i].r = static_cast<float>(60 * i);
        }
        grDrawTriangle(&vertices[0], &vertices[1], &vertices[2]);
        const int indices[] = {3, 2, 0};
        grDrawPolygon(3, indices, vertices);
        std::vector<FxU8> texels(texelCount, texelValue);
        GrMipMapId_t mipMap = guTexAllocateMemory(
            GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 8, 8, GR_TEXFMT_P_8, GR_MIPMAP_DISABLE, GR_LOD_8, GR_LOD_8,
            GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_POINT_SAMPLED,
            GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f, FXFALSE);
        guTexDownloadMipMap(mipMap, texels.data(), nullptr);
        GuTexPalette palette;
        for (FxU32 i = 0; i < 256; ++i)
            palette.data[i] = 0xFF000000u | i * 0x010101u;
        grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
        guTexSource(mipMap);
        grDrawTriangle(&vertices[0], &vertices[2], &vertices[3]);
        std::vector<FxU16> block(lfbSide * lfbSide, writtenPixel);
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, lfbSide, lfbSide,
                         static_cast<FxI32>(lfbSide * sizeof(FxU16)), block.data());
        grBufferSwap(1);
        grSstWinClose();
        grGlideShutdown();
    }

    static std::vector<std::string> deviceCalls() {
        std::vector<std::string> calls;
        for (const sim::Call &call : sim::calls()) {
            std::string line = call.name;
            for (unsigned long long value : call.args)
                line += " " + std::to_string(value);
            line.append(call.data.begin(), call.data.end());
            calls.push_back(line);
        }
        return calls;
    }
};

} // namespace

TEST_F(Trace2, ReplaySendsTheDeviceWhatTheGameDid) {
    sim::clearCalls();
    setProductDword(settings_store::trace, 1);
    playScene();
    unload();
    std::vector<std::string> recorded = deviceCalls();
    std::string text = sim::readFile("kestrix-1.gltrace");
    Trace trace;
    std::string error;
    ASSERT_TRUE(parseTrace(std::vector<uint8_t>(text.begin(), text.end()), trace, error)) << error;
    EXPECT_EQ(trace.library, "tessel2.dll");
    // The device calls do not show texels: the mipmap's are checked in the trace.
    bool texelsRecorded = false;
    for (const TraceEvent &event : trace.events)
        if (event.kind == trace_format::callKind && trace.callNames[event.callId] == "guTexDownloadMipMap")
            texelsRecorded =
                event.arguments[1].size == texelCount &&
                std::vector<uint8_t>(event.arguments[1].data, event.arguments[1].data + texelCount) ==
                    std::vector<uint8_t>(texelCount, texelValue);
    EXPECT_TRUE(texelsRecorded);
    SetUp();
    setProductDword(settings_store::trace, 0);
    sim::clearCalls();
    ReplayOptions options;
    options.window = reinterpret_cast<uintptr_t>(window);
    options.firstFrame = 0;
    options.lastFrame = -1;
    ReplayResult result = replayTrace(trace, glide2LinkedEntries(), options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.frames, 1);
    unload();
    EXPECT_EQ(deviceCalls(), recorded);
    EXPECT_GT(sim::callsNamed("DrawPrimitive").size(), 0u);
}

// Arguments the library does nothing with are the game's in the trace too: a report shows what it asked for.
TEST_F(Trace2, RecordsArgumentsTheLibraryIgnores) {
    const int detailBias = 3;
    const FxU8 detailScale = 5;
    const float detailMax = 0.5f;
    const char *const movieName = "intro";
    setProductDword(settings_store::trace, 1);
    grGlideInit();
    open();
    grTexDetailControl(GR_TMU1, detailBias, detailScale, detailMax);
    guMovieSetName(movieName);
    grSstWinClose();
    grGlideShutdown();
    unload();
    std::string text = sim::readFile("kestrix-1.gltrace");
    Trace trace;
    std::string error;
    ASSERT_TRUE(parseTrace(std::vector<uint8_t>(text.begin(), text.end()), trace, error)) << error;
    std::map<std::string, std::vector<uint32_t>> words;
    std::string movie;
    for (const TraceEvent &event : trace.events)
        for (const TraceArgument &argument : event.arguments) {
            if (argument.tag == trace_format::wordTag)
                words[trace.callNames[event.callId]].push_back(argument.word);
            if (argument.tag == trace_format::textTag)
                movie.assign(reinterpret_cast<const char *>(argument.data), argument.size);
        }
    uint32_t maxBits = 0;
    std::memcpy(&maxBits, &detailMax, sizeof(maxBits));
    EXPECT_EQ(words["grTexDetailControl"],
              (std::vector<uint32_t>{GR_TMU1, detailBias, detailScale, maxBits}));
    // The refresh rate and the buffer counts of the open, which Direct3D decides.
    const size_t refreshArgument = 2, colorBuffersArgument = 5;
    const uint32_t fixtureColorBuffers = 2; // what the fixture's open asks for
    ASSERT_GT(words["grSstWinOpen"].size(), colorBuffersArgument);
    EXPECT_EQ(words["grSstWinOpen"][refreshArgument], static_cast<uint32_t>(GR_REFRESH_60Hz));
    EXPECT_EQ(words["grSstWinOpen"][colorBuffersArgument], fixtureColorBuffers);
    EXPECT_EQ(movie, movieName);
}
