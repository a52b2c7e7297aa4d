// The display in a window on the desktop: the open and close, the stretch of each present onto the window,
// and the surfaces' depth.
#include "glide2_driver.h"

#include <cstring>

namespace {

// The lines that follow "Triangle Raster Caps" in the log, one per open.
std::vector<std::string> linesAfterRasterCaps(const std::string &log) {
    std::vector<std::string> lines;
    for (size_t at = log.find("Triangle Raster Caps"); at != std::string::npos;
         at = log.find("Triangle Raster Caps", at + 1)) {
        size_t start = log.find("\r\n", at) + 2;
        lines.push_back(log.substr(start, log.find("\r\n", start) - start));
    }
    return lines;
}

// The simulated desktop: 1024 x 768 with a 40-pixel task bar; the game's window gets a 1-pixel border and a
// 20-pixel caption.
const DWORD framedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
const LONG frameWidth = 2, frameHeight = 22;
const LONG workWidth = 1024, workHeight = 728;

class WindowedDisplay : public Glide2Test {
  protected:
    void SetUp() override {
        Glide2Test::SetUp();
        setProductDword("Windowed", 1);
        setProductDword("ColorDepth", 32);
    }

    // The library's own surfaces, in the order the open creates them: front, back, aux, triple; with
    // `attempt` 1, those of the open's earlier attempt at another depth.
    static IDirectDrawSurface7 *createdBuffer(size_t index, size_t attempt = 0) {
        std::vector<IDirectDrawSurface7 *> buffers;
        for (const sim::Call &call : named("CreateSurface"))
            if (call.desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN)
                buffers.push_back(static_cast<IDirectDrawSurface7 *>(const_cast<void *>(call.result)));
        size_t from = buffers.size() - 4 * (attempt + 1);
        return from + index < buffers.size() ? buffers[from + index] : nullptr;
    }

    static void putPixel(IDirectDrawSurface7 *surface, int x, int y, DWORD xrgb) {
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof(desc));
        desc.dwSize = sizeof(desc);
        ASSERT_EQ(surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
        static_cast<DWORD *>(desc.lpSurface)[y * desc.lPitch / 4 + x] = xrgb;
        surface->Unlock(NULL);
    }

    static std::vector<std::vector<unsigned long long>> blitsToScreen() {
        std::vector<std::vector<unsigned long long>> blits;
        IDirectDrawSurface7 *primary = frontBuffer();
        for (const sim::Call &call : named("Blt"))
            if (call.object == primary) blits.push_back(firstArgs(call, 5));
        return blits;
    }
};

TEST_F(WindowedDisplay, OpensOnTheDesktopWithAClippedPrimaryAndClosesWithoutAModeChange) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    EXPECT_TRUE(inOrder(
        {"DirectDrawCreateEx", "SetCooperativeLevel", "QueryInterface",     "SetWindowLongA", "SetWindowPos",
         "GetDisplayMode",     "GetDeviceIdentifier", "CreateSurface",      "CreateClipper",  "SetHWnd",
         "SetClipper",         "CreateSurface",       "CreateSurface",      "CreateSurface",  "CreateSurface",
         "EnumZBufferFormats", "CreateSurface",       "AddAttachedSurface", "CreateDevice",   "GetCaps",
         "SetViewport"}));
    // Wine sizes the X window when it is painted: before the first frame, which would be clipped otherwise.
    EXPECT_TRUE(inOrder({"SetWindowPos", "UpdateWindow", "BltFast"}));
    EXPECT_EQ(countNamed("SetDisplayMode"), 0u);
    EXPECT_EQ(named("SetCooperativeLevel")[0].args,
              (std::vector<unsigned long long>{reinterpret_cast<uintptr_t>(window), DDSCL_NORMAL}));

    std::vector<sim::Call> surfaces = named("CreateSurface");
    ASSERT_GE(surfaces.size(), 6u);
    EXPECT_EQ(surfaces[0].desc.dwFlags, static_cast<DWORD>(DDSD_CAPS));
    EXPECT_EQ(surfaces[0].desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_PRIMARYSURFACE));
    for (int i : {1, 2, 3, 4}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(surfaces[i].desc.dwFlags, static_cast<DWORD>(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH));
        EXPECT_EQ(surfaces[i].desc.dwWidth, 640u);
        EXPECT_EQ(surfaces[i].desc.dwHeight, 480u);
        EXPECT_EQ(surfaces[i].desc.ddsCaps.dwCaps,
                  static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE));
    }
    EXPECT_EQ(sim::surfaceInfo(renderTarget()).attached.size(), 1u) << "the back buffer holds the depth";
    IDirectDrawClipper *clipper = sim::clipperOf(frontBuffer());
    EXPECT_EQ(sim::clipperInfo(clipper).hwnd, window);

    // A caption on the borderless window, its client area of the Glide size centred on the work area; the
    // pointer stays where it was.
    EXPECT_EQ(sim::windowStyle(window), framedStyle);
    RECT client = sim::clientRect(window);
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 480);
    EXPECT_EQ(client.left - 1, (workWidth - 640 - frameWidth) / 2);
    EXPECT_EQ(client.top - 21, (workHeight - 480 - frameHeight) / 2);
    EXPECT_EQ(sim::cursorPos().x, 0);

    sim::clearCalls();
    grSstWinClose();
    EXPECT_EQ(countNamed("RestoreDisplayMode"), 0u);
    EXPECT_TRUE(inOrder({"Release", "SetCooperativeLevel", "Release"}));
    EXPECT_FALSE(sim::clipperInfo(clipper).alive);
    EXPECT_EQ(sim::windowStyle(window), 0u);
    RECT restored = sim::windowRect(window);
    EXPECT_EQ(restored.right, 640);
    EXPECT_EQ(restored.bottom, 480);
}

TEST_F(WindowedDisplay, PresentStretchesTheFrameOntoATwiceLargerClientArea) {
    setProductDword("WindowScale", 2);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    RECT client = sim::clientRect(window);
    ASSERT_EQ(client.right - client.left, 1280);
    putPixel(renderTarget(), 20, 10, 0x00FF00FF);
    sim::clearCalls();
    grBufferSwap(0);
    ASSERT_EQ(blitsToScreen().size(), 1u) << "the shape matches: no bars";
    EXPECT_EQ(blitsToScreen()[0],
              (std::vector<unsigned long long>{DDBLT_WAIT, 1, static_cast<unsigned long long>(client.left),
                                               static_cast<unsigned long long>(client.top),
                                               static_cast<unsigned long long>(client.right)}));
    for (int dy : {0, 1})
        for (int dx : {0, 1})
            EXPECT_EQ(sim::pixel(frontBuffer(), client.left + 40 + dx, client.top + 20 + dy), 0x00FF00FFu);
    EXPECT_EQ(sim::pixel(frontBuffer(), client.left + 42, client.top + 20), 0u);
    grSstWinClose();
}

TEST_F(WindowedDisplay, AnotherShapeGetsBlackBarsAndAHiddenWindowNothing) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    RECT outer = sim::windowRect(window);
    MoveWindow(window, outer.left, outer.top, 800 + frameWidth, 480 + frameHeight, FALSE);
    RECT client = sim::clientRect(window);
    sim::clearCalls();
    grBufferSwap(0);
    std::vector<std::vector<unsigned long long>> blits = blitsToScreen();
    ASSERT_EQ(blits.size(), 3u);
    EXPECT_EQ(blits[0][2], static_cast<unsigned long long>(client.left + 80)) << "the picture, centred";
    EXPECT_EQ(blits[1][0], static_cast<unsigned long long>(DDBLT_COLORFILL | DDBLT_WAIT));
    EXPECT_EQ(blits[1][4], static_cast<unsigned long long>(client.left + 80)) << "the left bar";
    EXPECT_EQ(blits[2][2], static_cast<unsigned long long>(client.left + 720)) << "the right bar";

    sim::setWindowIconic(window, true);
    sim::clearCalls();
    grBufferSwap(0);
    EXPECT_TRUE(blitsToScreen().empty());
    sim::setWindowIconic(window, false);
    sim::setWindowVisible(window, false);
    grBufferSwap(0);
    EXPECT_TRUE(blitsToScreen().empty());
    EXPECT_EQ(countNamed("SetRenderTarget"), 2u) << "the buffers still change places";
    grSstWinClose();
}

TEST_F(WindowedDisplay, LostScreenIsRestoredAndTheFrameSkipped) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::failCallOn("Blt", sim::SurfaceRole::Primary, DDERR_SURFACELOST, 1);
    sim::clearCalls();
    grBufferSwap(0);
    EXPECT_TRUE(inOrder({"SetRenderTarget", "Blt", "Restore"}));
    EXPECT_EQ(blitsToScreen().size(), 1u);
    grSstWinClose();
}

TEST_F(WindowedDisplay, LargestScaleFillsTheWorkAreaKeepingTheAspect) {
    setProductDword("WindowScale", 255);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    RECT client = sim::clientRect(window);
    EXPECT_EQ(client.bottom - client.top, workHeight - frameHeight);
    EXPECT_EQ(client.right - client.left, (workHeight - frameHeight) * 4 / 3);
    grSstWinClose();
}

TEST_F(WindowedDisplay, WritesToTheFrontBufferShowInTheWindow) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_TRUE(blitsToScreen().empty());
    static_cast<FxU32 *>(info.lfbPtr)[0] = 0x00123456;
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER);
    ASSERT_EQ(blitsToScreen().size(), 1u);
    RECT client = sim::clientRect(window);
    EXPECT_EQ(sim::pixel(frontBuffer(), client.left, client.top), 0x00123456u);

    FxU16 red = 0xF800;
    grLfbWriteRegion(GR_BUFFER_FRONTBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, &red);
    EXPECT_EQ(blitsToScreen().size(), 2u);
    grSplash(0, 0, 640, 480, 0);
    EXPECT_EQ(blitsToScreen().size(), 3u);
    grSstWinClose();
}

TEST_F(WindowedDisplay, ColorDepthIsKeptOnlyWhereTheScreenTakesItsBlit) {
    setProductDword("ColorDepth", 16);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    EXPECT_EQ(sim::surfaceInfo(createdBuffer(0, 1)).format.dwRGBBitCount, 16u);
    EXPECT_FALSE(alive(createdBuffer(0, 1))) << "the 16-bit attempt failed at its first blit";
    EXPECT_EQ(sim::liveDevices().size(), 1u);
    EXPECT_EQ(sim::surfaceInfo(createdBuffer(0)).format.dwRGBBitCount, 32u);
    grSstWinClose();

    sim::setFormatConvertingBlt(true);
    grGlideInit();
    sim::clearCalls();
    ASSERT_EQ(open(), FXTRUE);
    EXPECT_EQ(sim::surfaceInfo(createdBuffer(0)).format.dwRGBBitCount, 16u);
    EXPECT_EQ(sim::surfaceInfo(createdBuffer(1)).format.dwGBitMask, 0x07E0u);
    grSstWinClose();

    EXPECT_EQ(linesAfterRasterCaps(logText()),
              (std::vector<std::string>{
                  "Display: windowed, client 640x480, 32-bit surfaces (desktop depth), pacing off",
                  "Display: windowed, client 640x480, 16-bit surfaces (ColorDepth), pacing off"}));
}

TEST_F(WindowedDisplay, WithoutAnyWindowItOpensAnOverlappedOneAroundTheClientArea) {
    sim::setActiveWindow(nullptr);
    grGlideInit();
    ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_800x600, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                           GR_ORIGIN_UPPER_LEFT, 2, 1),
              FXTRUE);
    std::vector<HWND> own = sim::createdWindows();
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(sim::windowStyle(own[0]), static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    RECT client = sim::clientRect(own[0]);
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);
    grSstWinClose();
    EXPECT_TRUE(sim::createdWindows().empty());
}

TEST_F(WindowedDisplay, AFailedOpenReleasesTheScreenAndPutsTheWindowBack) {
    grGlideInit();
    for (const char *step : {"SetClipper", "CreateDevice"}) {
        SCOPED_TRACE(step);
        sim::failCall(step, 0);
        EXPECT_EQ(open(), FXFALSE);
        sim::clearFaults();
        EXPECT_TRUE(sim::liveSurfaces().empty());
        EXPECT_EQ(sim::windowStyle(window), 0u);
        EXPECT_EQ(sim::windowRect(window).right, 640);
        EXPECT_EQ(leaksWhileLoaded(), "");
    }
}

using FullScreenDisplay = Glide2Test;

TEST_F(FullScreenDisplay, DisplayValuesAtZeroMakeTheSameCallsAsNone) {
    auto openAndCloseNames = [this]() {
        grGlideInit();
        sim::clearCalls();
        EXPECT_EQ(open(), FXTRUE);
        grBufferSwap(1);
        grSstWinClose();
        std::vector<std::string> names;
        for (const sim::Call &call : sim::calls())
            names.push_back(call.name);
        return names;
    };
    std::vector<std::string> absent = openAndCloseNames();
    for (const char *name : {"Windowed", "WindowScale", "FramePacing"})
        setProductDword(name, 0);
    EXPECT_EQ(openAndCloseNames(), absent);
    std::vector<std::string> after = linesAfterRasterCaps(logText());
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].find("Display:"), std::string::npos) << "no values in the store: no line";
    EXPECT_EQ(after[1], "Display: full-screen, 640x480, pacing off");
}

} // namespace
