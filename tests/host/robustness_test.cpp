// Calls in orders and with arguments the Glide API never promised to support: each must leave the library
// and the display in a sound state. Regression tests of the faults the call-sequence fuzzer found, and of
// the entry points whose behaviour without a session or with edge arguments is defined here.
#include <math.h>

#include "glide2_driver.h"

namespace {

class Robustness : public Glide2Test {};

TEST_F(Robustness, SplashAtAPositionWithoutIntegerPartDrawsNothing) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const float positions[][2] = {
        {NAN, 0.0f}, {0.0f, INFINITY}, {-INFINITY, 5.0f}, {3.0e9f, 0.0f}, {0.0f, -2.2e9f}};
    for (const auto &position : positions) {
        SCOPED_TRACE(::testing::Message() << position[0] << ", " << position[1]);
        sim::clearCalls();
        grSplash(position[0], position[1], 640.0f, 480.0f, 0);
        EXPECT_EQ(countNamed("BltFast"), 0u);
    }
    sim::clearCalls();
    grSplash(10.75f, 20.5f, 0.0f, 0.0f, 0);
    std::vector<sim::Call> blits = named("BltFast");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(firstArgs(blits[0], 2), (std::vector<unsigned long long>{10, 20}));
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// A negative position reaches DirectDraw as a large unsigned one, which it refuses as a whole.
TEST_F(Robustness, SplashAboveOrLeftOfTheScreenIsRefusedByTheBlit) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const float positions[][2] = {{-8.0f, 0.0f}, {0.0f, -4.0f}, {-1.0f, -1.0f}};
    for (const auto &position : positions) {
        SCOPED_TRACE(::testing::Message() << position[0] << ", " << position[1]);
        sim::clearCalls();
        grSplash(position[0], position[1], 0.0f, 0.0f, 0);
        std::vector<sim::Call> blits = named("BltFast");
        ASSERT_EQ(blits.size(), 1u);
        EXPECT_EQ(blits[0].hr, DDERR_INVALIDRECT);
    }
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// Rows 28 and 30 of the format table hold the 32-bit fallback targets: as Glide formats they would read
// four bytes per texel from a buffer an application sized at two.
TEST_F(Robustness, DownloadInAFormatAboveGlidesFifteenCreatesNoTexture) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    std::vector<FxU16> texels(16 * 16, 0x1234);
    for (GrTextureFormat_t format : {16, 28, 30, 31, 32, -1}) {
        SCOPED_TRACE(format);
        sim::clearCalls();
        GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, format, texels.data()};
        grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexDownloadMipMapLevel(GR_TMU0, 0x400, GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, format,
                                 GR_MIPMAPLEVELMASK_BOTH, texels.data());
        EXPECT_EQ(countNamed("CreateSurface"), 0u);
    }
    GrTexInfo info = {GR_LOD_16, GR_LOD_16, GR_ASPECT_1x1, GR_TEXFMT_ARGB_1555, texels.data()};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    EXPECT_EQ(countNamed("CreateSurface"), 1u);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// Every entry point with null pointers and edge values, as a game may call it outside a session. Returns
// the answers of the calls that answer, in call order.
std::vector<unsigned long long> callEverythingWithoutASession() {
    GrVertex v = {};
    std::vector<unsigned long long> answers;
    grDrawTriangle(nullptr, &v, &v);
    grDrawTriangle(&v, &v, &v);
    grAADrawTriangle(&v, nullptr, &v, 1, 1, 1);
    guDrawTriangleWithClip(&v, &v, &v);
    guAADrawTriangleWithClip(&v, &v, nullptr);
    grDrawLine(&v, nullptr);
    grAADrawLine(&v, &v);
    grDrawPoint(nullptr);
    grAADrawPoint(&v);
    const int indices[3] = {0, 0, 0};
    grDrawPolygon(3, nullptr, &v);
    grDrawPolygon(3, indices, nullptr);
    grDrawPlanarPolygon(-5, indices, &v);
    grAADrawPolygon(3, indices, &v);
    grDrawPolygonVertexList(2, &v);
    grDrawPlanarPolygonVertexList(3, nullptr);
    grAADrawPolygonVertexList(0x80000000, &v);
    guDrawPolygonVertexListWithClip(1, &v);
    grBufferSwap(1);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    grBufferClear(0xFFFFFFFF, 0xFF, 0xFFFF);
    grClipWindow(0, 0, 0xFFFFFFFF, 0xFFFFFFFF);
    grSplash(0.0f, 0.0f, 640.0f, 480.0f, 0);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grColorCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXTRUE);
    grAlphaCombine(-1, 99, 3, 3, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, 0, 0, 0, 0);
    grAlphaBlendFunction(99, -1, 0, 0);
    grAlphaTestFunction(GR_CMP_GREATER);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
    guFogGenerateExp(nullptr, 0.5f);
    grDisableAllEffects();
    grHints(GR_HINT_STWHINT, 0);
    GrTexInfo info = {GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, &v};
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexDownloadMipMap(GR_TMU1, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    grTexDownloadMipMapLevel(2, 0, GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, 0, &v);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, nullptr);
    grTexMultibaseAddress(GR_TMU1, GR_TEXBASE_256, 0x400000, 0, nullptr);
    grTexClampMode(-1, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    grTexMipMapMode(GR_TMU1, GR_MIPMAP_NEAREST, FXTRUE);
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, nullptr);
    grTexDownloadTablePartial(7, GR_TEXTABLE_PALETTE, &info, 0, 255);
    guTexMemReset();
    answers.push_back(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                                GR_ORIGIN_UPPER_LEFT, FXFALSE, nullptr));
    answers.push_back(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    answers.push_back(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, &v));
    answers.push_back(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 1, 1, 2, &v));
    answers.push_back(grSstVideoLine());
    answers.push_back(grSstVRetraceOn());
    answers.push_back(grSstStatus());
    answers.push_back(grSstQueryBoards(nullptr));
    grSstPerfStats(nullptr);
    grTriStats(nullptr, nullptr);
    grGlideGetVersion(nullptr);
    answers.push_back(gu3dfGetInfo(nullptr, nullptr));
    answers.push_back(gu3dfLoad("missing.3df", nullptr));
    answers.push_back(static_cast<unsigned long long>(guEncodeRLE16(nullptr, nullptr, 4, 4)));
    return answers;
}

TEST_F(Robustness, WithoutASessionEveryEntryPointLeavesTheDeviceAloneAndAnswersZero) {
    const std::vector<unsigned long long> expected = {FXFALSE,    FXFALSE, FXFALSE, FXFALSE, 0, FXFALSE,
                                                      0x0FFFF03F, FXTRUE,  FXFALSE, FXFALSE, 0};
    const char *states[] = {"before grGlideInit", "after grGlideInit", "after grSstWinClose",
                            "after a failed grSstWinOpen"};
    for (const char *state : states) {
        SCOPED_TRACE(state);
        std::string name = state;
        if (name != "before grGlideInit") grGlideInit();
        if (name == "after grSstWinClose") {
            ASSERT_EQ(open(), FXTRUE);
            grSstWinClose();
        }
        if (name == "after a failed grSstWinOpen") {
            sim::failCall("CreateDevice", 0);
            ASSERT_EQ(open(), FXFALSE);
            sim::clearFaults();
        }
        sim::clearCalls();
        EXPECT_EQ(callEverythingWithoutASession(), expected);
        for (const char *call :
             {"CreateSurface", "Lock", "BltFast", "Clear", "DrawPrimitive", "SetRenderState",
              "SetTextureStageState", "SetTexture", "BeginScene", "EndScene"})
            EXPECT_EQ(countNamed(call), 0u) << call;
        EXPECT_TRUE(sim::liveSurfaces().empty());
        EXPECT_EQ(leaksWhileLoaded(), "");
        unload();
        load();
    }
}

} // namespace
