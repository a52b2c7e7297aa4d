#include "glide2_driver.h"

#include <cstring>

namespace {

using DisplayOpen = Glide2Test;

DDPIXELFORMAT depthFormat(DWORD bits, DWORD flags = DDPF_ZBUFFER) {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof(format));
    format.dwSize = sizeof(format);
    format.dwFlags = flags;
    format.dwZBufferBitDepth = bits;
    format.dwZBitMask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return format;
}

// What a texture download now asks DirectDraw for: a hardware device leaves textures to Direct3D's texture
// manager, a software one keeps them in system memory.
DDSURFACEDESC2 textureRequest() {
    FxU16 texel = 0;
    GrTexInfo info = {GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, &texel};
    size_t from = sim::calls().size();
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    size_t at = findCall("CreateSurface", from);
    EXPECT_NE(at, std::string::npos);
    return at == std::string::npos ? DDSURFACEDESC2{} : sim::calls()[at].desc;
}

// The cull mode a session sends for GR_CULL_NEGATIVE, which follows the origin in force.
DWORD cullForNegative() {
    grCullMode(GR_CULL_NEGATIVE);
    return sim::renderState(liveDevice(), D3DRENDERSTATE_CULLMODE);
}

TEST_F(DisplayOpen, CreatesTheDisplayObjectsInOrder) {
    grGlideInit();
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_TRUE(inOrder({"DirectDrawCreateEx", "SetCooperativeLevel", "QueryInterface", "SetDisplayMode",
                         "GetDeviceIdentifier", "CreateSurface", "GetAttachedSurface", "CreateSurface",
                         "CreateSurface", "EnumZBufferFormats", "CreateSurface", "AddAttachedSurface",
                         "CreateDevice", "GetCaps", "SetViewport", "Clear", "Flip", "Clear"}));
    // The viewport is set twice while opening, to the same whole screen: the device gets it once.
    const DWORD screenWidth = 640, screenHeight = 480;
    EXPECT_EQ(sim::viewport(liveDevice()).dwWidth, screenWidth);
    EXPECT_EQ(sim::viewport(liveDevice()).dwHeight, screenHeight);

    const sim::Call level = named("SetCooperativeLevel")[0];
    EXPECT_EQ(level.args[0], reinterpret_cast<uintptr_t>(window));
    EXPECT_EQ(level.args[1], static_cast<unsigned long long>(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                             DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX));
    const sim::Call mode = named("SetDisplayMode")[0];
    EXPECT_EQ(mode.args, (std::vector<unsigned long long>{640, 480, 16, 0, 0}));

    std::vector<sim::Call> surfaces = named("CreateSurface");
    ASSERT_GE(surfaces.size(), 4u);
    EXPECT_EQ(surfaces[0].desc.dwFlags, static_cast<DWORD>(DDSD_CAPS | DDSD_BACKBUFFERCOUNT));
    EXPECT_EQ(surfaces[0].desc.dwBackBufferCount, 1u);
    EXPECT_EQ(surfaces[0].desc.ddsCaps.dwCaps,
              static_cast<DWORD>(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE |
                                 DDSCAPS_VIDEOMEMORY | DDSCAPS_MODEX));
    EXPECT_EQ(surfaces[0].desc.ddsCaps.dwCaps2, static_cast<DWORD>(DDSCAPS2_HINTANTIALIASING));
    for (int i : {1, 2}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(surfaces[i].desc.dwFlags, static_cast<DWORD>(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH));
        EXPECT_EQ(surfaces[i].desc.dwWidth, 640u);
        EXPECT_EQ(surfaces[i].desc.dwHeight, 480u);
        EXPECT_EQ(surfaces[i].desc.ddsCaps.dwCaps,
                  static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY));
    }
    EXPECT_EQ(surfaces[3].desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY));
    EXPECT_EQ(surfaces[3].desc.ddpfPixelFormat.dwFlags, static_cast<DWORD>(DDPF_ZBUFFER));
    EXPECT_EQ(sim::deviceTypeOf(liveDevice()), sim::DeviceType::TnLHal);
    const DDSURFACEDESC2 texture = textureRequest();
    EXPECT_EQ(texture.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_TEXTURE));
    EXPECT_EQ(texture.ddsCaps.dwCaps2, static_cast<DWORD>(DDSCAPS2_D3DTEXTUREMANAGE));

    const sim::Call viewport = named("SetViewport")[0];
    EXPECT_EQ(viewport.viewport.dwWidth, 640u);
    EXPECT_EQ(viewport.viewport.dwHeight, 480u);
    EXPECT_EQ(viewport.viewport.dvMaxZ, 1.0f);
    EXPECT_EQ(sim::cursorPos().x, 32767);
    EXPECT_EQ(sim::cursorPos().y, 32767);

    // The session is open: closing it gives the display back.
    EXPECT_TRUE(sim::displayMode().changed);
    grSstWinClose();
    EXPECT_FALSE(sim::displayMode().changed);
}

TEST_F(DisplayOpen, ResolutionCodesMapToTheirPixelSizes) {
    struct Case {
        GrScreenResolution_t code;
        FxU32 width, height;
    } cases[] = {{GR_RESOLUTION_320x200, 320, 200},
                 {GR_RESOLUTION_640x480, 640, 480},
                 {GR_RESOLUTION_856x480, 856, 480},
                 {GR_RESOLUTION_400x300, 400, 300},
                 {GR_RESOLUTION_1152x864, 1152, 864},
                 {GR_RESOLUTION_2048x2048, 2048, 2048},
                 {GR_RESOLUTION_NONE, 640, 480},
                 {24, 640, 480},
                 {-1, 640, 480}};
    grGlideInit();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        sim::clearCalls();
        ASSERT_EQ(open(c.code), FXTRUE);
        const sim::Call mode = named("SetDisplayMode")[0];
        EXPECT_EQ(mode.args[0], c.width);
        EXPECT_EQ(mode.args[1], c.height);
        EXPECT_EQ(grSstScreenWidth(), c.width);
        EXPECT_EQ(grSstScreenHeight(), c.height);
    }
    grSstWinClose();
}

struct FailingStep {
    const char *call;
    int occurrence;
    const char *message; // nullptr: no message box
};

std::ostream &operator<<(std::ostream &out, const FailingStep &step) {
    return out << step.call << " #" << step.occurrence;
}

class FailingOpen : public Glide2Test, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(FailingOpen, FailsTheOpenAndReleasesWhatCameBefore) {
    const FailingStep &step = GetParam();
    grGlideInit();
    sim::failCall(step.call, step.occurrence);
    EXPECT_EQ(open(), FXFALSE);
    const std::vector<sim::MessageBoxCall> &boxes = sim::messageBoxes();
    if (step.message) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].text, step.message);
        EXPECT_EQ(boxes[0].caption, "ERROR");
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    } else {
        EXPECT_TRUE(boxes.empty());
    }
    EXPECT_EQ(leaksWhileLoaded(), "");
    EXPECT_FALSE(sim::displayMode().changed);
    // No DirectDraw object is kept to answer queries, and nothing is left to close.
    sim::setScanLine(217, DD_OK);
    sim::clearCalls();
    EXPECT_EQ(grSstVideoLine(), 0u);
    grSstWinClose();
    EXPECT_TRUE(sim::calls().empty());

    // The library stays usable: the next open succeeds.
    sim::clearFaults();
    EXPECT_EQ(open(), FXTRUE);
    grSstWinClose();
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, FailingOpen,
    ::testing::Values(FailingStep{"DirectDrawCreateEx", 1, nullptr},
                      FailingStep{"SetCooperativeLevel", 1, nullptr},
                      FailingStep{"QueryInterface", 1, nullptr}, FailingStep{"SetDisplayMode", 1, nullptr},
                      FailingStep{"CreateSurface", 1, "No se puede crear la superficie primaria"},
                      FailingStep{"GetAttachedSurface", 1, nullptr},
                      FailingStep{"CreateSurface", 2, "No se puede alojar el buffer auxiliar"},
                      FailingStep{"CreateSurface", 3, "No se puede alojar el triple buffer"},
                      FailingStep{"CreateSurface", 4, nullptr}, FailingStep{"AddAttachedSurface", 1, nullptr},
                      FailingStep{"CreateDevice", 0, nullptr}, FailingStep{"SetViewport", 1, nullptr}));

TEST_F(DisplayOpen, DeviceTypesAreTriedInOrder) {
    grGlideInit();
    sim::deviceConfig(sim::DeviceType::TnLHal).createSucceeds = false;
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(sim::deviceTypeOf(liveDevice()), sim::DeviceType::Hal);
    EXPECT_EQ(countNamed("CreateDevice"), 2u);

    sim::deviceConfig(sim::DeviceType::Hal).createSucceeds = false;
    sim::deviceConfig(sim::DeviceType::Mmx).createSucceeds = false;
    sim::clearCalls();
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(sim::deviceTypeOf(liveDevice()), sim::DeviceType::Rgb);
    EXPECT_EQ(countNamed("CreateDevice"), 4u);
    grSstWinClose();
}

TEST_F(DisplayOpen, StencilOnlyDepthFormatsFailTheOpenWithoutAMessage) {
    grGlideInit();
    for (sim::DeviceType type : {sim::DeviceType::TnLHal, sim::DeviceType::Hal, sim::DeviceType::Mmx,
                                 sim::DeviceType::Rgb, sim::DeviceType::Ref})
        sim::deviceConfig(type).depthFormats = {depthFormat(24, DDPF_ZBUFFER | DDPF_STENCILBUFFER)};
    EXPECT_EQ(open(), FXFALSE);
    EXPECT_TRUE(sim::messageBoxes().empty());
    EXPECT_EQ(countNamed("EnumZBufferFormats"), 5u);
}

TEST_F(DisplayOpen, SoftwareDepthFormatPutsTheDepthBufferInSystemMemory) {
    grGlideInit();
    sim::deviceConfig(sim::DeviceType::TnLHal).depthFormats = {};
    sim::deviceConfig(sim::DeviceType::Hal).depthFormats = {
        depthFormat(24, DDPF_ZBUFFER | DDPF_STENCILBUFFER)};
    sim::deviceConfig(sim::DeviceType::Mmx).depthFormats = {
        depthFormat(24, DDPF_ZBUFFER | DDPF_STENCILBUFFER), depthFormat(32), depthFormat(16)};
    ASSERT_EQ(open(), FXTRUE);
    const DDSURFACEDESC2 texture = textureRequest();
    EXPECT_EQ(texture.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY));
    EXPECT_EQ(texture.ddsCaps.dwCaps2, 0u);
    std::vector<sim::Call> surfaces = named("CreateSurface");
    const DDSURFACEDESC2 &depth = surfaces[3].desc;
    EXPECT_EQ(depth.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY));
    // The first plain format is taken whatever its depth.
    EXPECT_EQ(depth.ddpfPixelFormat.dwZBufferBitDepth, 32u);
    EXPECT_EQ(sim::deviceTypeOf(liveDevice()), sim::DeviceType::TnLHal);
    grSstWinClose();
}

TEST_F(DisplayOpen, NullWindowUsesTheActiveWindow) {
    HWND active = sim::createWindow("UltraHLE 1.0.0", RECT{10, 20, 330, 260});
    sim::setActiveWindow(active);
    grGlideInit();
    ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                           GR_ORIGIN_UPPER_LEFT, 2, 1),
              FXTRUE);
    EXPECT_EQ(named("SetCooperativeLevel")[0].args[0], reinterpret_cast<uintptr_t>(active));
    RECT moved = sim::windowRect(active);
    EXPECT_EQ(moved.left, 10);
    EXPECT_EQ(moved.top, 120);
    EXPECT_EQ(moved.right - moved.left, 320);
    EXPECT_EQ(moved.bottom - moved.top, 240);
    ASSERT_EQ(sim::moveWindowCalls().size(), 1u);
    EXPECT_FALSE(sim::moveWindowCalls()[0].repaint);
    grSstWinClose();
    EXPECT_NE(logText().find("AppName: UltraHLE 1.0.0\r\n"), std::string::npos);
}

// Wine shows a window's new size only once it is painted; the logo would pin the first frames to the old one.
TEST_F(DisplayOpen, TheGameWindowIsPaintedAfterTheModeChangeBeforeTheLogo) {
    HWND game = sim::createWindow("Test Game", RECT{40, 30, 240, 180});
    grGlideInit();
    ASSERT_EQ(grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(game)), GR_RESOLUTION_640x480,
                           GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1),
              FXTRUE);
    EXPECT_TRUE(inOrder({"SetDisplayMode", "UpdateWindow", "BltFast"}));
    EXPECT_EQ(named("UpdateWindow")[0].object, static_cast<const void *>(game));
    grSstWinClose();
}

TEST_F(DisplayOpen, WithoutAnyWindowTheLibraryOpensItsOwnAndDestroysItAtClose) {
    sim::setActiveWindow(nullptr);
    grGlideInit();
    ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_800x600, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                           GR_ORIGIN_UPPER_LEFT, 2, 1),
              FXTRUE);
    std::vector<HWND> own = sim::createdWindows();
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(named("SetCooperativeLevel")[0].args[0], reinterpret_cast<uintptr_t>(own[0]));
    RECT rect = sim::windowRect(own[0]);
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 600);
    const int pumpsBefore = sim::messagePumpCount();
    grBufferSwap(1);
    grBufferSwap(1);
    EXPECT_EQ(sim::messagePumpCount(), pumpsBefore + 2);
    grSstWinClose();
    EXPECT_TRUE(sim::createdWindows().empty());
    EXPECT_EQ(leaksWhileLoaded(), "");
}

TEST_F(DisplayOpen, OnlyTheEmulatorTitlesMoveTheWindow) {
    const char *titles[] = {"SupraHLE", "HydraHLE 2", "M.I.M.I.X", "M.I.M.I", "ultraHLE", "Test Game"};
    const bool moves[] = {true, true, true, false, false, false};
    grGlideInit();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(titles[i]);
        HWND game = sim::createWindow(titles[i], RECT{0, 0, 100, 100});
        ASSERT_EQ(open(GR_RESOLUTION_640x480, GR_ORIGIN_UPPER_LEFT, game), FXTRUE);
        EXPECT_EQ(sim::windowRect(game).top, moves[i] ? 100 : 0);
    }
    grSstWinClose();
}

TEST_F(DisplayOpen, InitialDeviceStateFollowsTheSettings) {
    struct Case {
        DWORD colorDepth;
        const char *noDither;
        DWORD antialiasing;
        DWORD filtering;
        DWORD dither;
    } cases[] = {{16, "0", 1, 1, TRUE}, {16, "1", 0, 1, FALSE}, {32, "0", 1, 0, FALSE}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.colorDepth);
        setProductDword("ColorDepth", c.colorDepth);
        setProductDword("Antialiasing", c.antialiasing);
        setProductDword("Filtering", c.filtering);
        sim::setRegistryString(HKEY_LOCAL_MACHINE, "Software\\3Dfx Interactive\\Glide",
                               "FX_GLIDE_NO_DITHER_SUB", c.noDither);
        grGlideInit();
        sim::clearCalls();
        ASSERT_EQ(open(), FXTRUE);

        std::vector<unsigned long long> expected = {D3DRENDERSTATE_ALPHABLENDENABLE,
                                                    TRUE,
                                                    D3DRENDERSTATE_COLORKEYBLENDENABLE,
                                                    TRUE,
                                                    D3DRENDERSTATE_COLORKEYENABLE,
                                                    FALSE,
                                                    D3DRENDERSTATE_CULLMODE,
                                                    D3DCULL_NONE,
                                                    D3DRENDERSTATE_SHADEMODE,
                                                    D3DSHADE_GOURAUD,
                                                    D3DRENDERSTATE_LOCALVIEWER,
                                                    TRUE,
                                                    D3DRENDERSTATE_SRCBLEND,
                                                    D3DBLEND_ONE,
                                                    D3DRENDERSTATE_DESTBLEND,
                                                    D3DBLEND_ZERO,
                                                    D3DRENDERSTATE_ALPHATESTENABLE,
                                                    TRUE,
                                                    D3DRENDERSTATE_RANGEFOGENABLE,
                                                    TRUE,
                                                    D3DRENDERSTATE_SPECULARENABLE,
                                                    TRUE,
                                                    D3DRENDERSTATE_LIGHTING,
                                                    FALSE,
                                                    D3DRENDERSTATE_DITHERENABLE,
                                                    c.dither};
        if (c.antialiasing) {
            expected.push_back(D3DRENDERSTATE_EDGEANTIALIAS);
            expected.push_back(TRUE);
        }
        std::vector<unsigned long long> states = renderStates();
        ASSERT_GE(states.size(), expected.size());
        states.resize(expected.size());
        EXPECT_EQ(states, expected);
        EXPECT_EQ(named("CreateSurface")[0].desc.ddsCaps.dwCaps2,
                  c.antialiasing ? static_cast<DWORD>(DDSCAPS2_HINTANTIALIASING) : 0u);

        std::vector<unsigned long long> stages;
        for (const sim::Call &call : named("SetTextureStageState"))
            stages.insert(stages.end(), call.args.begin(), call.args.end());
        DWORD minFilter = c.filtering ? D3DTFN_POINT : D3DTFN_LINEAR;
        DWORD magFilter = c.filtering ? D3DTFG_POINT : D3DTFG_LINEAR;
        std::vector<unsigned long long> expectedStages = {
            0, D3DTSS_COLORARG1, D3DTA_TEXTURE, 0, D3DTSS_COLORARG2, D3DTA_CURRENT,
            0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE, 0, D3DTSS_ALPHAARG2, D3DTA_CURRENT,
            0, D3DTSS_MIPFILTER, D3DTFP_NONE,   0, D3DTSS_MINFILTER, minFilter,
            0, D3DTSS_MAGFILTER, magFilter};
        ASSERT_GE(stages.size(), expectedStages.size());
        stages.resize(expectedStages.size());
        EXPECT_EQ(stages, expectedStages);
        grSstWinClose();
    }
}

TEST_F(DisplayOpen, CloseReleasesInReverseOrderAndOnlyOnce) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    IDirect3DDevice7 *device = liveDevice();
    sim::clearCalls();
    grSstWinClose();
    EXPECT_TRUE(
        inOrder({"EndScene", "Release", "EvictManagedTextures", "Release", "Release", "Release", "Unlock",
                 "Release", "Unlock", "Release", "RestoreDisplayMode", "SetCooperativeLevel", "Release"}));
    EXPECT_EQ(sim::calls()[findCall("EndScene")].object, static_cast<const void *>(device));
    EXPECT_EQ(named("SetCooperativeLevel")[0].args[1], static_cast<unsigned long long>(DDSCL_NORMAL));
    EXPECT_EQ(leaksWhileLoaded(), "");
    EXPECT_FALSE(sim::displayMode().changed);
    EXPECT_TRUE(sim::liveDevices().empty());

    sim::clearCalls();
    grSstWinClose();
    EXPECT_TRUE(sim::calls().empty());
}

TEST_F(DisplayOpen, OpeningTwiceClosesTheFirstSession) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    ASSERT_EQ(open(GR_RESOLUTION_800x600), FXTRUE);
    size_t restore = findCall("RestoreDisplayMode");
    ASSERT_NE(restore, std::string::npos);
    EXPECT_LT(restore, findCall("DirectDrawCreateEx"));
    EXPECT_EQ(countNamed("DirectDrawCreateEx"), 1u);
}

TEST_F(DisplayOpen, ShutdownAndUnloadCloseAnOpenSession) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grGlideShutdown();
    EXPECT_FALSE(sim::displayMode().changed);
    EXPECT_EQ(leaksWhileLoaded(), "");
    sim::clearCalls();
    grGlideShutdown();
    EXPECT_TRUE(sim::calls().empty());

    ASSERT_EQ(open(), FXTRUE);
    unload();
    EXPECT_EQ(leaksWhileLoaded(), "");
    EXPECT_FALSE(sim::displayMode().changed);
}

TEST_F(DisplayOpen, QueryHardwareForgetsTheSessionButNothingLeaks) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    GrHwConfiguration config;
    EXPECT_EQ(grSstQueryHardware(&config), FXTRUE);
    // The objects are still there, but the session no longer hands out its frame buffer.
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    EXPECT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXFALSE);
    sim::clearCalls();
    grGlideShutdown();
    grSstWinClose();
    EXPECT_EQ(countNamed("RestoreDisplayMode"), 0u);

    // The forgotten objects go before a new session is created.
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_LT(findCall("RestoreDisplayMode"), findCall("DirectDrawCreateEx"));
    grSstQueryHardware(&config);
    unload();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// Without a ColorDepth read, the mode is the 565 layout the frame-buffer locks assume, not the driver's
// default.
TEST_F(DisplayOpen, OpenWithoutGlideInitRequestsSixteenBitsPerPixel) {
    sim::setDisplayModeAccepted([](DWORD, DWORD, DWORD) { return true; });
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(named("SetDisplayMode")[0].args[2], 16u);
    grSstWinClose();
}

// Split-screen games draw each player's view inside its own clip window.
TEST_F(DisplayOpen, ClipWindowIsTheViewportCountedFromTheOrigin) {
    ASSERT_EQ(initAndOpen(GR_RESOLUTION_800x600), FXTRUE);
    sim::clearCalls();
    grClipWindow(100, 50, 300, 250);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grClipWindow(100, 50, 300, 250);
    grClipWindow(700, 500, 900, 700);
    std::vector<sim::Call> viewports = named("SetViewport");
    ASSERT_EQ(viewports.size(), 3u);
    const DWORD expected[3][4] = {{100, 50, 200, 200}, {100, 350, 200, 200}, {700, 0, 100, 100}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(viewports[i].viewport.dwX, expected[i][0]);
        EXPECT_EQ(viewports[i].viewport.dwY, expected[i][1]);
        EXPECT_EQ(viewports[i].viewport.dwWidth, expected[i][2]);
        EXPECT_EQ(viewports[i].viewport.dwHeight, expected[i][3]);
        EXPECT_EQ(viewports[i].viewport.dvMinZ, 0.0f);
        EXPECT_EQ(viewports[i].viewport.dvMaxZ, 1.0f);
    }
    grSstWinClose();
}

TEST_F(DisplayOpen, AnEmptyClipWindowDrawsAndClearsNothingUntilTheNextOne) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    GrVertex v[3] = {};
    v[1].x = 10.0f;
    v[2].y = 10.0f;
    for (GrVertex &vertex : v)
        vertex.oow = 1.0f;
    sim::clearCalls();
    grClipWindow(50, 50, 50, 80);
    grBufferClear(0, 0, 0);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    EXPECT_EQ(countNamed("SetViewport"), 0u);
    EXPECT_EQ(countNamed("Clear"), 0u);
    EXPECT_EQ(countNamed("DrawPrimitive"), 0u);
    grClipWindow(0, 0, 640, 480);
    grBufferClear(0, 0, 0);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    EXPECT_EQ(countNamed("Clear"), 1u);
    EXPECT_EQ(countNamed("DrawPrimitive"), 1u);
    grSstWinClose();
}

TEST_F(DisplayOpen, OriginAnyIsStoredAsUpperLeft) {
    grGlideInit();
    ASSERT_EQ(open(GR_RESOLUTION_640x480, GR_ORIGIN_ANY), FXTRUE);
    EXPECT_EQ(cullForNegative(), static_cast<DWORD>(D3DCULL_CCW));
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(cullForNegative(), static_cast<DWORD>(D3DCULL_CW));
    grSstOrigin(GR_ORIGIN_ANY);
    EXPECT_EQ(cullForNegative(), static_cast<DWORD>(D3DCULL_CCW));
    grSstWinClose();
    std::string log = logText();
    EXPECT_NE(log.find("grSSTOrigin(origin=255);\r\ngrSSTOrigin(origin=1);\r\ngrSSTOrigin(origin=255);\r\n"),
              std::string::npos);
}

} // namespace
