#include "glide2_driver.h"

#include <cstring>

namespace {

using Presentation = Glide2Test;

const FxU32 screen640 = 640 * 480;

TEST_F(Presentation, EverySwapPresentsWithoutOversample) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    for (int i = 0; i < 10; ++i)
        grBufferSwap(1);
    std::vector<sim::Call> flips = named("Flip");
    ASSERT_EQ(flips.size(), 10u);
    for (const sim::Call &flip : flips)
        EXPECT_EQ(flip.object, static_cast<const void *>(frontBuffer()));
    EXPECT_TRUE(inOrder({"EndScene", "Flip", "BeginScene"}));
    GrSstPerfStats_t stats;
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsIn, 10 * screen640);
    EXPECT_EQ(stats.pixelsOut, 10 * screen640);
    EXPECT_EQ(stats.chromaFail + stats.zFuncFail + stats.aFuncFail, 0u);
    grSstWinClose();
}

TEST_F(Presentation, OversampleShowsOneSwapInFive) {
    setProductDword("Oversample", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    // The three start-up swaps count too: the next present is the third call from here.
    std::vector<int> presented;
    for (int call = 1; call <= 13; ++call) {
        sim::clearCalls();
        grBufferSwap(1);
        if (countNamed("Flip") == 1) presented.push_back(call);
    }
    EXPECT_EQ(presented, (std::vector<int>{3, 8, 13}));
    GrSstPerfStats_t stats;
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsIn, 13 * screen640);
    EXPECT_EQ(stats.pixelsOut, 3 * screen640);
    grSstWinClose();
}

// Where the device will not draw into the front surface, front-buffer drawing goes into the back buffer and
// is copied to the screen when it ends.
TEST_F(Presentation, RefusedFrontTargetCopiesTheBackBufferToTheScreen) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::failCall("SetRenderTarget", 1);
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(backBuffer()->Lock(NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
    static_cast<unsigned short *>(desc.lpSurface)[10 * desc.lPitch / 2 + 20] = 0xF81F;
    backBuffer()->Unlock(NULL);

    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    GrVertex point;
    std::memset(&point, 0, sizeof(point));
    grDrawPoint(&point);
    EXPECT_NE(sim::pixel(frontBuffer(), 20, 10), 0xF81Fu);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    EXPECT_EQ(sim::pixel(frontBuffer(), 20, 10), 0xF81Fu);
    GrSstPerfStats_t stats;
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsIn, 2 * screen640);
    EXPECT_EQ(stats.pixelsOut, 2 * screen640);

    // A copy, not an exchange: the back buffer keeps what was drawn.
    EXPECT_EQ(sim::pixel(backBuffer(), 20, 10), 0xF81Fu);
    grSstWinClose();
}

// Drawing into the front buffer ends with its window: the next window draws into its back buffer.
TEST_F(Presentation, ANewWindowDrawsIntoItsBackBuffer) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    ASSERT_EQ(renderTarget(), frontBuffer());
    grSstWinClose();
    ASSERT_EQ(open(GR_RESOLUTION_640x480), FXTRUE);
    EXPECT_EQ(renderTarget(), backBuffer());
    grSstWinClose();
}

TEST_F(Presentation, ClearUsesTheColorFormatAlphaAndDepth) {
    struct Case {
        GrColorFormat_t format;
        GrColor_t color;
        GrAlpha_t alpha;
        FxU16 depth;
        DWORD argb;
        float z;
    } cases[] = {
        {GR_COLORFORMAT_ARGB, 0x00FF0000, 0x80, 0, 0x80FF0000, 0.0f},
        {GR_COLORFORMAT_ARGB, 0xFF000000, 0x00, 0xFFFF, 0xFF000000, 1.0f},
        {GR_COLORFORMAT_ABGR, 0x000000FF, 0x00, 0x8000, 0x00FF0000,
         static_cast<float>(0x8000 * 1.5259022e-5)},
        {GR_COLORFORMAT_RGBA, 0x11223344, 0x00, 1, 0x44112233, static_cast<float>(1.5259022e-5)},
    };
    grGlideInit();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                               GR_REFRESH_60Hz, c.format, GR_ORIGIN_UPPER_LEFT, 2, 1),
                  FXTRUE);
        sim::clearCalls();
        grBufferClear(c.color, c.alpha, c.depth);
        std::vector<sim::Call> clears = named("Clear");
        ASSERT_EQ(clears.size(), 1u);
        EXPECT_EQ(clears[0].args,
                  (std::vector<unsigned long long>{0, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c.argb, 0}));
        ASSERT_EQ(clears[0].fargs.size(), 1u);
        EXPECT_EQ(static_cast<float>(clears[0].fargs[0]), c.z);
    }
    grSstWinClose();
}

TEST_F(Presentation, EachColorFormatOrdersTheBytesOfAColorItsOwnWay) {
    const DWORD expected[] = {0x11223344, 0x11443322, 0x44112233, 0x44332211, 0xFFFFFFFF};
    grGlideInit();
    for (GrColorFormat_t format = GR_COLORFORMAT_ARGB; format <= 4; ++format) {
        SCOPED_TRACE(format);
        ASSERT_EQ(grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                               GR_REFRESH_60Hz, format, GR_ORIGIN_UPPER_LEFT, 2, 1),
                  FXTRUE);
        sim::clearCalls();
        grConstantColorValue(0x11223344);
        EXPECT_EQ(renderStates(),
                  (std::vector<unsigned long long>{D3DRENDERSTATE_TEXTUREFACTOR, expected[format]}));
    }
    grSstWinClose();
}

TEST_F(Presentation, LogoIsDrawnCentredUnlessSuppressedOrTooLarge) {
    ASSERT_EQ(initAndOpen(GR_RESOLUTION_800x600), FXTRUE);
    std::vector<sim::Call> logo = named("BltFast");
    ASSERT_FALSE(logo.empty());
    const sim::Call &blit = logo.back();
    EXPECT_EQ(firstArgs(blit, 3), (std::vector<unsigned long long>{240, 180, DDBLTFAST_NOCOLORKEY}));
    // The logo's own pixels reach the screen: its corners differ from the cleared black.
    bool drawn = false;
    for (int y = 180; y < 420 && !drawn; y += 7)
        for (int x = 240; x < 560 && !drawn; x += 7)
            drawn = sim::pixel(frontBuffer(), x, y) != 0;
    EXPECT_TRUE(drawn);
    EXPECT_EQ(sim::pixel(frontBuffer(), 239, 179), 0u);
    grSstWinClose();

    sim::clearCalls();
    ASSERT_EQ(open(GR_RESOLUTION_320x200), FXTRUE);
    EXPECT_EQ(countNamed("LoadImageA"), 0u);
    grSstWinClose();

    sim::setRegistryString(HKEY_LOCAL_MACHINE, "Software\\3Dfx Interactive\\Glide", "FX_GLIDE_NO_SPLASH",
                           "true");
    grGlideInit();
    sim::clearCalls();
    ASSERT_EQ(open(), FXTRUE);
    for (const sim::Call &call : named("BltFast"))
        EXPECT_NE(call.args[2], static_cast<unsigned long long>(DDBLTFAST_NOCOLORKEY));
    grSstWinClose();
}

TEST_F(Presentation, SplashComesFromTheResourceOrAFileAtItsOwnSize) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    grSplash(12.9f, 30.2f, 200, 100, 0);
    std::vector<sim::Call> blits = named("BltFast");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].args[0], 12u);
    EXPECT_EQ(blits[0].args[1], 30u);
    std::vector<sim::Call> surfaces = named("CreateSurface");
    ASSERT_EQ(surfaces.size(), 1u);
    EXPECT_EQ(surfaces[0].desc.dwWidth, 160u);
    EXPECT_EQ(surfaces[0].desc.dwHeight, 32u);
    EXPECT_EQ(surfaces[0].desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_TEXTURE));
    EXPECT_EQ(surfaces[0].desc.ddsCaps.dwCaps2, static_cast<DWORD>(DDSCAPS2_D3DTEXTUREMANAGE));
    grSstWinClose();
}

// A splash over the whole screen is the logo, centred as at open; the plug marks every present with the
// small splash in the bottom-right corner, its bitmap loaded once.
TEST_F(Presentation, FullScreenSplashShowsTheLogoAndThePlugMarksEveryPresent) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    grSplash(0, 0, 640, 480, 0);
    std::vector<sim::Call> blits = named("BltFast");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(firstArgs(blits[0], 2), (std::vector<unsigned long long>{160, 120}));
    ASSERT_EQ(countNamed("CreateSurface"), 1u);
    EXPECT_EQ(named("CreateSurface")[0].desc.dwWidth, 320u);

    sim::clearCalls();
    grGlideShamelessPlug(FXTRUE);
    grBufferSwap(1);
    grBufferSwap(1);
    blits = named("BltFast");
    ASSERT_EQ(blits.size(), 2u);
    for (const sim::Call &blit : blits) {
        EXPECT_EQ(blit.object, static_cast<const void *>(frontBuffer()));
        EXPECT_EQ(firstArgs(blit, 3),
                  (std::vector<unsigned long long>{640 - 160, 480 - 32, DDBLTFAST_NOCOLORKEY}));
    }
    EXPECT_EQ(countNamed("CreateSurface"), 1u);

    sim::clearCalls();
    grGlideShamelessPlug(FXFALSE);
    grBufferSwap(1);
    EXPECT_EQ(countNamed("BltFast"), 0u);
    grSstWinClose();
}

TEST_F(Presentation, SplashFallsBackToAFileInTheCurrentDirectory) {
    HINSTANCE other = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x20000000));
    unload();
    DllMain(other, DLL_PROCESS_ATTACH, nullptr);
    loaded = true;
    std::vector<unsigned char> bmp =
        sim::makeBmp24(8, 4, [](int x, int) { return x < 4 ? 0xFF0000u : 0x0000FFu; });
    sim::writeFile("SPLASH", std::string(bmp.begin(), bmp.end()));
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grSplash(0, 0, 100, 100, 0);
    EXPECT_EQ(sim::pixel(frontBuffer(), 0, 0), 0xF800u);
    EXPECT_EQ(sim::pixel(frontBuffer(), 7, 3), 0x001Fu);
    EXPECT_EQ(sim::pixel(frontBuffer(), 8, 0), 0u);
    grSstWinClose();
}

TEST_F(Presentation, MissingSplashDrawsNothing) {
    HINSTANCE other = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x20000000));
    unload();
    DllMain(other, DLL_PROCESS_ATTACH, nullptr);
    loaded = true;
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    grSplash(0, 0, 0, 0, 0);
    EXPECT_EQ(countNamed("BltFast"), 0u);
    EXPECT_EQ(countNamed("CreateSurface"), 0u);
    grSstWinClose();
}

TEST_F(Presentation, FailingBitmapStepsLeakNothing) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    for (const char *step : {"CreateSurface", "GetDC", "CreateCompatibleDC", "BltFast"}) {
        SCOPED_TRACE(step);
        sim::failCall(step, 1);
        grSplash(0, 0, 0, 0, 0);
        sim::clearFaults();
    }
    grSstWinClose();
    ASSERT_FALSE(sim::debugOutput().empty());
    EXPECT_EQ(sim::debugOutput().back(), "createcompatible dc failed\n");
}

} // namespace
