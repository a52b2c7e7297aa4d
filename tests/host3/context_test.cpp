// The Glide 3 context: settings, log, open and close sequences, presentation.
#include "glide3_fixture.h"
#include "core/draw_counters.h"

namespace {

using Context = Glide3Test;

const char *const productKey = settings_store::productKeyPath;

TEST_F(Context, WithoutSettingsKeyOpensSixteenBitsWithFogButNoHintOrPointFilter) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, "Software\\3Dfx Interactive\\Glide", "FX_GLIDE_NO_DITHER_SUB",
                           "1");
    ASSERT_EQ(initAndOpen(), 1u);
    EXPECT_EQ(sim::displayMode().bpp, 16u);
    IDirect3DDevice7 *device = renderContext.device;
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_FOGENABLE), static_cast<DWORD>(FALSE));
    // Fog as Glide 2 games get it from the same missing key.
    grFogMode(GR_FOG_WITH_TABLE_ON_Q);
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_FOGENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(sim::textureStageState(device, 0, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTFN_LINEAR));
    EXPECT_EQ(sim::textureStageState(device, 0, D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTFG_LINEAR));
    // The board vendor's key is not read: dithering stays on at 16 bits.
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_DITHERENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(sim::callsNamed("CreateSurface")[0].desc.ddsCaps.dwCaps2 & DDSCAPS2_HINTANTIALIASING, 0u);
}

TEST_F(Context, ThirtyTwoBitColorDoesNotForceFastDepth) {
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, productKey);
    setProductDword("ColorDepth", 32);
    grGlideInit();
    EXPECT_EQ(settings.ColorDepth, 32);
    EXPECT_EQ(settings.ZFast, 0);
}

TEST_F(Context, LogHasBannerRightBeforeTheDriverLineAndNoOriginOrTitleLines) {
    sim::setDeviceIdentifier("nv4_disp.dll", "NVIDIA GeForce2 MX", 0x10DE, 0x110);
    D3DDEVICEDESC7 &caps = sim::deviceConfig(sim::DeviceType::TnLHal).caps;
    caps.dwTextureOpCaps = 0x1BFFF;
    caps.dpcTriCaps.dwRasterCaps = 0x7A291;
    sim::setOsVersion(true, 5, 1, 2600);
    ASSERT_EQ(initAndOpen(GR_RESOLUTION_640x480, GR_ORIGIN_LOWER_LEFT), 1u);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    grSstWinClose(1);
    EXPECT_EQ(logText(), "---------------------------------------\r\n"
                         "              Kestrix 3.0              \r\n"
                         "---------------------------------------\r\n"
                         "Driver:nv4_disp.dll\r\n"
                         "Descripci\xF3n: NVIDIA GeForce2 MX\r\n"
                         "ID Fabricante: 10DEh\r\n"
                         "ID Dispositivo: 0110h\r\n"
                         "Texture OP Caps: 0x1BFFF\r\n"
                         "Triangle Raster Caps: 0x7A291\r\n"
                         "OS: Microsoft Windows NT 5.1 Build 2600\r\n");
}

// Glide 3 does not turn the inverted zero function into white: that inversion too is noted, once.
TEST_F(Context, UnemulatedCallsAreLoggedOnceASession) {
    ASSERT_EQ(initAndOpen(), 1u);
    for (int call = 0; call < 2; ++call) {
        grTexDetailControl(GR_TMU0, 1, 2, 0.5f);
        grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_CONSTANT, FXTRUE);
    }
    grSstWinClose(1);
    std::string log = logText();
    // Once each, after the lines of the open.
    const std::string notes = "grTexDetailControl: not emulated\r\ngrColorCombine invert: not emulated\r\n";
    size_t at = log.find(notes);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GT(at, log.find("OS: "));
    EXPECT_EQ(log.find("not emulated", at + notes.size()), std::string::npos) << log;
}

TEST_F(Context, DepthBufferModeDoesNotFlushTheLog) {
    ASSERT_EQ(initAndOpen(), 1u);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    EXPECT_EQ(sim::readFile("kestrix.log"), "");
    grSstWinClose(1);
}

TEST_F(Context, OpenSetsTheGlide3LevelAndStateAndLeavesTheSceneBegun) {
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, productKey);
    setProductDword("ColorDepth", 16);
    setProductDword("Antialiasing", 1);
    ASSERT_EQ(initAndOpen(), 1u);
    EXPECT_EQ(sim::cooperativeLevel().flags,
              static_cast<DWORD>(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES |
                                 DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX | DDSCL_MULTITHREADED));
    EXPECT_EQ(sim::cursorPos().x, 10000);
    EXPECT_EQ(sim::cursorPos().y, 10000);
    for (const std::vector<unsigned long long> &state : renderStates()) {
        EXPECT_NE(state[0], static_cast<unsigned long long>(D3DRENDERSTATE_RANGEFOGENABLE));
        EXPECT_NE(state[0], static_cast<unsigned long long>(D3DRENDERSTATE_LIGHTING));
        EXPECT_NE(state[0], static_cast<unsigned long long>(D3DRENDERSTATE_COLORKEYENABLE));
    }
    IDirect3DDevice7 *device = renderContext.device;
    EXPECT_EQ(sim::renderState(device, D3DRENDERSTATE_EDGEANTIALIAS), static_cast<DWORD>(TRUE));
    EXPECT_EQ(sim::textureStageState(device, 1, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TEXTURE));
    EXPECT_EQ(sim::textureStageState(device, 1, D3DTSS_ALPHAARG2), static_cast<DWORD>(D3DTA_CURRENT));
    EXPECT_TRUE(inOrder({"SetDisplayMode", "Flip", "Clear", "BeginScene"}));
    EXPECT_EQ(find("EndScene"), std::string::npos);
    EXPECT_TRUE(sim::inScene(device));
    grSstWinClose(1);
}

TEST_F(Context, CloseReturnsToNormalLevelBeforeRestoringTheMode) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
    EXPECT_TRUE(inOrder({"EndScene", "Release", "EvictManagedTextures", "Release", "Release", "Release",
                         "Release", "Release", "SetCooperativeLevel", "RestoreDisplayMode", "Release"}));
    EXPECT_EQ(find("Unlock"), std::string::npos);
    EXPECT_FALSE(sim::displayMode().changed);
    EXPECT_EQ(grSstWinClose(1), FXFALSE);
}

TEST_F(Context, FailedPrimarySurfaceShowsTheEnglishMessageAndRestoresTheMode) {
    sim::failCallOn("CreateSurface", sim::SurfaceRole::Primary);
    EXPECT_EQ(initAndOpen(), 0u);
    ASSERT_EQ(sim::messageBoxes().size(), 1u);
    EXPECT_EQ(sim::messageBoxes()[0].text, "Kestrix cannot create primary surface");
    EXPECT_EQ(sim::messageBoxes()[0].caption, "ERROR");
    EXPECT_EQ(sim::messageBoxes()[0].owner, nullptr);
    EXPECT_FALSE(sim::displayMode().changed);
    EXPECT_EQ(grSstWinClose(1), FXFALSE);
}

TEST_F(Context, WindowedOpenShowsEachSwapInTheWindowAndChangesNoMode) {
    setProductDword("Windowed", 1);
    ASSERT_EQ(initAndOpen(), 1u);
    EXPECT_EQ(sim::callsNamed("SetCooperativeLevel")[0].args[1],
              static_cast<unsigned long long>(DDSCL_NORMAL));
    EXPECT_EQ(find("SetDisplayMode"), std::string::npos);
    EXPECT_NE(sim::clipperOf(renderContext.primarySurface), nullptr);
    sim::clearCalls();
    grBufferSwap(1);
    EXPECT_TRUE(inOrder({"SetRenderTarget", "Blt"}));
    EXPECT_EQ(sim::callsNamed("Blt")[0].object, static_cast<const void *>(renderContext.primarySurface));
    EXPECT_EQ(grSstWinClose(1), FXTRUE);
    EXPECT_EQ(find("RestoreDisplayMode"), std::string::npos);
    EXPECT_FALSE(sim::displayMode().changed);
}

// The scene stays begun across swaps, full-screen and windowed, and still the buffers change places.
TEST_F(Context, SwapsExchangeTheBuffersInsideTheOpenScene) {
    const GrColor_t first = 0x00FF0000, second = 0x0000FF00;
    const FxU16 first565 = 0xF800, second565 = 0x07E0;
    for (DWORD windowed : {0u, 1u}) {
        SCOPED_TRACE(windowed);
        setProductDword("Windowed", windowed);
        setProductDword("ColorDepth", 16);
        ASSERT_EQ(initAndOpen(), 1u);
        sim::clearCalls();
        grBufferClear(first, 0, 0xFFFF);
        grBufferSwap(0);
        grBufferClear(second, 0, 0xFFFF);
        grBufferSwap(0);
        FxU16 back = 0, front = 0;
        EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, sizeof(back), &back), FXTRUE);
        EXPECT_EQ(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 1, 1, sizeof(front), &front), FXTRUE);
        EXPECT_EQ(back, first565);
        EXPECT_EQ(front, second565);
        EXPECT_EQ(find("EndScene"), std::string::npos);
        EXPECT_TRUE(sim::inScene(renderContext.device));
        grSstWinClose(1);
        grGlideShutdown();
    }
}

TEST_F(Context, LogoIsColorKeyedOnBlack) {
    ASSERT_EQ(initAndOpen(), 1u);
    std::vector<sim::Call> keys = sim::callsNamed("SetColorKey");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].args[0], static_cast<unsigned long long>(DDCKEY_SRCBLT));
    std::vector<sim::Call> blits = sim::callsNamed("BltFast");
    EXPECT_EQ(blits.back().args[0], 160u);
    EXPECT_EQ(blits.back().args[1], 120u);
    EXPECT_EQ(blits.back().args[2], static_cast<unsigned long long>(DDBLTFAST_SRCCOLORKEY));
    grSstWinClose(1);
}

TEST_F(Context, SwapsPresentWithoutSceneRestartsAndCountOnlyPixelsIn) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    for (int i = 0; i < 10; ++i)
        grBufferSwap(1);
    EXPECT_EQ(sim::callsNamed("Flip").size(), 10u);
    EXPECT_EQ(find("EndScene"), std::string::npos);
    EXPECT_EQ(find("BeginScene"), std::string::npos);
    EXPECT_EQ(drawCounters.pixels.pixelsIn, 10u * 640u * 480u);
    EXPECT_EQ(drawCounters.pixels.pixelsOut, 0u);

    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    EXPECT_EQ(sim::callsNamed("Flip").size(), 10u);
    EXPECT_TRUE(sim::callsNamed("BltFast").empty());
    EXPECT_EQ(drawCounters.pixels.pixelsIn, 11u * 640u * 480u);
    EXPECT_EQ(drawCounters.pixels.pixelsOut, 640u * 480u);
    grSstWinClose(1);
}

TEST_F(Context, FlushAndFinishRestartTheScene) {
    ASSERT_EQ(initAndOpen(), 1u);
    sim::clearCalls();
    grFlush();
    grFinish();
    EXPECT_EQ(callNames(), (std::vector<std::string>{"EndScene", "BeginScene", "EndScene", "BeginScene"}));
    EXPECT_TRUE(sim::inScene(renderContext.device));
    grSstWinClose(1);
}

TEST_F(Context, ClipWindowWithLowerLeftOriginSetsTheFlippedViewport) {
    ASSERT_EQ(initAndOpen(GR_RESOLUTION_640x480, GR_ORIGIN_LOWER_LEFT), 1u);
    grClipWindow(10, 20, 110, 220);
    D3DVIEWPORT7 viewport = sim::viewport(renderContext.device);
    EXPECT_EQ(viewport.dwX, 10u);
    EXPECT_EQ(viewport.dwY, 260u);
    EXPECT_EQ(viewport.dwWidth, 100u);
    EXPECT_EQ(viewport.dwHeight, 200u);
    FxI32 reported[4] = {};
    EXPECT_EQ(grGet(GR_VIEWPORT, sizeof(reported), reported), sizeof(reported));
    EXPECT_EQ(std::vector<FxI32>(reported, reported + 4), (std::vector<FxI32>{10, 260, 100, 200}));
    grSstWinClose(1);
}

TEST_F(Context, EveryCallIsSafeWithoutAContext) {
    grBufferSwap(1);
    grBufferClear(0, 0, 0xFFFF);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    grFlush();
    grClipWindow(0, 0, 640, 480);
    grSplash(0, 0, 0, 0, 0);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_ZERO, 0, 0, 0, 0, 0);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grGlideShutdown();
    EXPECT_EQ(grSstWinClose(1), FXFALSE);
    EXPECT_EQ(find("SetRenderState"), std::string::npos);
    EXPECT_EQ(find("SetTextureStageState"), std::string::npos);
}

// The process ends with the context open: the other threads are gone by then, so the detach touches no
// display object (the process takes them with it) and still writes the log out.
TEST_F(Context, ProcessExitWithTheContextOpenOnlyPutsTheDisplayModeBack) {
    ASSERT_EQ(initAndOpen(), 1u);
    GrTexInfo info = {GR_LOD_LOG2_8, GR_LOD_LOG2_8, GR_ASPECT_LOG2_1x1, GR_TEXFMT_RGB_565, nullptr};
    std::vector<FxU16> texels(8 * 8);
    info.data = texels.data();
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    sim::clearCalls();
    int processEnding = 1;
    DllMain(module, DLL_PROCESS_DETACH, &processEnding);
    loaded = false;
    ASSERT_EQ(sim::calls().size(), 1u);
    EXPECT_EQ(sim::calls().front().name, "ChangeDisplaySettingsA");
    EXPECT_NE(sim::readFile("kestrix.log").find("Kestrix 3.0"), std::string::npos);
    // What the ended process held goes with it.
    EXPECT_NE(sim::leakReport(), "");
    sim::reset();
}

} // namespace
