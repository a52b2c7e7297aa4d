// The Glide 2 scene kept as tests/traces/glide2_scene.gltrace, and the kept traces replayed against their
// digests.
#include "glide2_driver.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "kept_traces.h"
#include "trace/trace_reader.h"

namespace {

const FxU32 clearColor = 0x00203040;
const FxU32 secondClearColor = 0x00402010;
const FxU32 fogColor = 0x00808080;
const FxU32 depthFar = 0xFFFF;
const float fogDensity = 0.02f;
const int vertexCount = 4;
const FxU32 chainBytes = 16 * 16 * 2 + 8 * 8 * 2 + 4 * 4 * 2; // RGB 565 levels 16, 8 and 4
const FxU32 yiqTexels = 8 * 8;
const FxU32 yiqAddress = 0x1000;
const int partialFirstRow = 2, partialLastRow = 5;
const FxU32 tdfSide = 8;
const FxU32 tdfAddress = 0x2000;
const FxU32 lfbX = 20, lfbY = 30, lfbSide = 4;
const FxU16 regionPixel = 0x07E0;
const FxU16 heldPixel = 0xFFE0;
const int heldPixelIndex = 40 * 640 + 50;
const float nccScale = 16.0f;
const int nccEntries = 16;

// An RGB 565 texture of one level as the vendor's tools write it, its texels big-endian.
std::string tdfFile() {
    std::string file = "3df v1.0\nrgb565\nlod range: 8 8\naspect ratio: 1 1\n";
    const char red = static_cast<char>(0xF8);
    for (FxU32 i = 0; i < tdfSide * tdfSide; ++i)
        file += std::string{red, static_cast<char>(i)};
    return file;
}

class KeptTrace2 : public Glide2Test {
  protected:
    GrVertex vertices[vertexCount];

    void makeVertices() {
        std::memset(vertices, 0, sizeof(vertices));
        const float corners[vertexCount][2] = {{40, 40}, {200, 50}, {180, 200}, {30, 180}};
        for (int i = 0; i < vertexCount; ++i) {
            vertices[i].x = corners[i][0];
            vertices[i].y = corners[i][1];
            vertices[i].oow = 1.0f;
            vertices[i].r = static_cast<float>(60 * i);
            vertices[i].g = 128.0f;
            vertices[i].a = 255.0f;
            vertices[i].tmuvtx[0].sow = corners[i][0] / 8.0f;
            vertices[i].tmuvtx[0].tow = corners[i][1] / 8.0f;
            vertices[i].tmuvtx[0].oow = 1.0f;
        }
    }

    void fogAndTexture() {
        GrFog_t fog[GR_FOG_TABLE_SIZE];
        guFogGenerateExp(fog, fogDensity);
        grFogTable(fog);
        grFogColorValue(fogColor);
        grFogMode(GR_FOG_WITH_TABLE);
        std::vector<FxU8> chain(chainBytes);
        for (size_t i = 0; i < chain.size(); ++i)
            chain[i] = static_cast<FxU8>(i * 7);
        GrTexInfo texture = {GR_LOD_4, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, chain.data()};
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &texture);
        grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &texture);
        grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    }

    // A YIQ texture through its NCC table, its rows sent in two parts.
    void nccTexture() {
        GuNccTable ncc;
        std::memset(&ncc, 0, sizeof(ncc));
        for (int i = 0; i < nccEntries; ++i)
            ncc.yRGB[i] = static_cast<FxU8>(i * nccScale);
        ncc.iRGB[1][0] = ncc.qRGB[2][2] = static_cast<FxI16>(nccScale);
        grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, &ncc);
        grTexNCCTable(GR_TMU0, GR_NCCTABLE_NCC0);
        std::vector<FxU8> texels(yiqTexels);
        for (size_t i = 0; i < texels.size(); ++i)
            texels[i] = static_cast<FxU8>(i * 3);
        grTexDownloadMipMapLevelPartial(GR_TMU0, yiqAddress, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1,
                                        GR_TEXFMT_YIQ_422, GR_MIPMAPLEVELMASK_BOTH, texels.data(), 0,
                                        partialFirstRow - 1);
        grTexDownloadMipMapLevelPartial(GR_TMU0, yiqAddress, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1,
                                        GR_TEXFMT_YIQ_422, GR_MIPMAPLEVELMASK_BOTH, texels.data(),
                                        partialFirstRow, partialLastRow);
    }

    // A 3DF file the game ships, loaded and downloaded.
    void tdfTexture() {
        std::string path = sim::currentDirectory() + "/scene.3df";
        sim::writeFile(path.c_str(), tdfFile());
        Gu3dfInfo info;
        if (!gu3dfGetInfo(path.c_str(), &info)) return;
        std::vector<FxU8> texels(info.mem_required);
        info.data = texels.data();
        if (!gu3dfLoad(path.c_str(), &info)) return;
        GrTexInfo texture = {info.header.small_lod, info.header.large_lod, info.header.aspect_ratio,
                             info.header.format, info.data};
        grTexDownloadMipMap(GR_TMU0, tdfAddress, GR_MIPMAPLEVELMASK_BOTH, &texture);
    }

    void frameBufferWrites() {
        std::vector<FxU16> block(lfbSide * lfbSide, regionPixel);
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, lfbX, lfbY, GR_LFB_SRC_FMT_565, lfbSide, lfbSide,
                         static_cast<FxI32>(lfbSide * sizeof(FxU16)), block.data());
        GrLfbInfo_t info = {};
        info.size = sizeof(info);
        if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                      FXFALSE, &info))
            static_cast<FxU16 *>(info.lfbPtr)[heldPixelIndex] = heldPixel;
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    }

    // The state saved, changed for one draw and put back.
    void stateSaveAndRestore() {
        GrState saved;
        grGlideGetState(&saved);
        grCullMode(GR_CULL_NEGATIVE);
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ZERO);
        grDrawTriangle(&vertices[0], &vertices[2], &vertices[3]);
        grGlideSetState(&saved);
    }

  public:
    // Two frames of what a Glide 2 game does: fog, textures of three kinds, frame-buffer writes and a
    // saved state.
    void playScene() {
        grGlideInit();
        GrHwConfiguration hardware;
        grSstQueryHardware(&hardware);
        open();
        makeVertices();
        grBufferClear(clearColor, 0, depthFar);
        fogAndTexture();
        grDrawTriangle(&vertices[0], &vertices[1], &vertices[2]);
        nccTexture();
        tdfTexture();
        stateSaveAndRestore();
        grDrawPolygonVertexList(vertexCount, vertices);
        frameBufferWrites();
        grBufferSwap(1);
        grBufferClear(secondClearColor, 0, depthFar);
        guDrawTriangleWithClip(&vertices[1], &vertices[2], &vertices[3]);
        grBufferSwap(1);
        grSstWinClose();
        grGlideShutdown();
    }
};

} // namespace

TEST_F(KeptTrace2, SceneRecordsEveryKindOfData) {
    setProductDword(settings_store::trace, 1);
    playScene();
    unload();
    std::string text = sim::readFile("kestrix-1.gltrace");
    Trace trace;
    std::string error;
    ASSERT_TRUE(parseTrace(std::vector<uint8_t>(text.begin(), text.end()), trace, error)) << error;
    kept_traces::keepIfAsked(trace);
    // Every kind of data the scene hands over is in the trace, whole.
    std::vector<std::pair<std::string, uint32_t>> data;
    for (const TraceEvent &event : trace.events)
        for (const TraceArgument &argument : event.arguments)
            if (argument.size != 0) data.emplace_back(trace.callNames[event.callId], argument.size);
    auto has = [&data](const char *call, uint32_t size) {
        return std::find(data.begin(), data.end(), std::make_pair(std::string(call), size)) != data.end();
    };
    EXPECT_TRUE(has("grFogTable", GR_FOG_TABLE_SIZE * sizeof(GrFog_t)));
    EXPECT_TRUE(has("grTexDownloadMipMap", chainBytes));
    EXPECT_TRUE(has("grTexDownloadTable", sizeof(GuNccTable)));
    EXPECT_TRUE(has("grGlideSetState", sizeof(GrState)));
    EXPECT_TRUE(has("grLfbWriteRegion", lfbSide * lfbSide * sizeof(FxU16)));
    EXPECT_TRUE(has("gu3dfLoad", static_cast<uint32_t>(tdfFile().size())));
}

TEST_F(KeptTrace2, KeptTracesReplayAsNoted) {
    const char *const kept[] = {"glide2_scene"};
    for (const char *name : kept) {
        unload();
        SetUp();
        kept_traces::expectReplaysAsNoted(name, glide2LinkedEntries(), reinterpret_cast<uintptr_t>(window),
                                          glide2ReadBackBuffer);
        unload();
    }
}
