// RenderScale: the device draws at a multiple of the Glide resolution while the game keeps its own.
#include "glide2_draw_driver.h"

#include <cstring>
#include <set>

namespace {

const DWORD gameWidth = 320, gameHeight = 240;
const DWORD twice = 2, thrice = 3;
const DWORD desktopWidth = 1280, desktopHeight = 1024, desktopBits = 16;
const uint16_t clear565 = 0x001F;
const GrColor_t clearArgb = 0x000000FF;
const uint16_t written565 = 0xF800;
const uint16_t detail565 = 0x07E0;
// Direct3D samples a pixel at its corner, the board at its centre: scaled positions move back by half a
// buffer pixel.
const float halfPixel = 0.5f;

class RenderScale : public Glide2DrawTest {
  protected:
    void openScaled(DWORD factor, DWORD windowed = 0, DWORD windowScale = 0) {
        sim::setDesktopMode(desktopWidth, desktopHeight, desktopBits);
        setProductDword("RenderScale", factor);
        if (windowed) setProductDword("Windowed", windowed);
        if (windowScale) setProductDword("WindowScale", windowScale);
        grGlideInit();
        ASSERT_EQ(open(GR_RESOLUTION_320x240), FXTRUE);
    }

    static uint16_t shadowPixel(const GrLfbInfo_t &info, int x, int y) {
        uint16_t value = 0;
        std::memcpy(&value, static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes + x * 2, 2);
        return value;
    }

    static void putShadowPixel(const GrLfbInfo_t &info, int x, int y, uint16_t value) {
        std::memcpy(static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes + x * 2, &value, 2);
    }

    static void putPixel(IDirectDrawSurface7 *surface, int x, int y, uint16_t value) {
        sim::SurfaceInfo info = sim::surfaceInfo(surface);
        std::memcpy(info.pixels + y * info.pitch + x * 2, &value, 2);
    }

    // Every screen pixel of the block that game pixel (x, y) covers at `factor`.
    static bool blockIs(IDirectDrawSurface7 *surface, int x, int y, DWORD factor, uint16_t value) {
        const int size = static_cast<int>(factor);
        for (int dy = 0; dy < size; ++dy)
            for (int dx = 0; dx < size; ++dx)
                if (sim::pixel(surface, x * size + dx, y * size + dy) != value) return false;
        return true;
    }
};

TEST_F(RenderScale, FullScreenTakesTheScaledModeWhileTheGameKeepsItsResolution) {
    openScaled(twice);
    EXPECT_EQ(named("SetDisplayMode")[0].args, (std::vector<unsigned long long>{640, 480, 16, 0, 0}));
    EXPECT_EQ(sim::surfaceInfo(backBuffer()).width, gameWidth * twice);
    EXPECT_EQ(sim::viewport(liveDevice()).dwWidth, gameWidth * twice);
    EXPECT_EQ(grSstScreenWidth(), static_cast<float>(gameWidth));
    EXPECT_EQ(grSstScreenHeight(), static_cast<float>(gameHeight));
    // The logo, as large as the game's screen, covers the scaled picture.
    bool logoCovers = false;
    for (const sim::Call &call : named("Blt"))
        logoCovers |= call.source != nullptr &&
                      std::vector<unsigned long long>(call.args.begin() + 1, call.args.begin() + 6) ==
                          std::vector<unsigned long long>{1, 0, 0, 640, 480};
    EXPECT_TRUE(logoCovers);

    // The clip window, and with it the clear, covers the scaled rectangle.
    grClipWindow(10, 20, 110, 220);
    const D3DVIEWPORT7 viewport = sim::viewport(liveDevice());
    EXPECT_EQ(viewport.dwX, 20u);
    EXPECT_EQ(viewport.dwY, 40u);
    EXPECT_EQ(viewport.dwWidth, 200u);
    EXPECT_EQ(viewport.dwHeight, 400u);
    grBufferClear(clearArgb, 0, 0xFFFF);
    EXPECT_EQ(sim::pixel(backBuffer(), 20, 40), clear565);
    EXPECT_EQ(sim::pixel(backBuffer(), 219, 439), clear565);
    EXPECT_NE(sim::pixel(backBuffer(), 220, 440), clear565);
    grSstWinClose();
    EXPECT_NE(logText().find("Render scale 2: drawn at 640x480 in 640x480 buffers\r\n"), std::string::npos);
}

// Positions are scaled so that game pixel i's centre i + 1/2 lands on the centre of its block; both
// conversions, the one for the usual Gouraud shape (iterated colour and alpha) and the general one, agree.
// Unscaled, every position goes through bit for bit, the sign of a zero included.
class ScaledConversions : public RenderScale {
  protected:
    static void combineLocal(GrCombineLocal_t local) {
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, local, GR_COMBINE_OTHER_NONE,
                       FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, local, GR_COMBINE_OTHER_NONE,
                       FXFALSE);
    }
};

TEST_F(ScaledConversions, AGamePixelsCentreLandsOnTheCentreOfItsBlock) {
    const GrCombineLocal_t locals[] = {GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_LOCAL_CONSTANT};
    openScaled(twice);
    for (GrCombineLocal_t local : locals) {
        SCOPED_TRACE(local);
        combineLocal(local);
        sim::clearCalls();
        GrVertex a = glideVertex(10, 20), b = glideVertex(30, 20), c = glideVertex(10, 50);
        grDrawTriangle(&a, &b, &c);
        std::vector<TlVertex> drawn = drawnVertices();
        ASSERT_EQ(drawn.size(), 3u);
        EXPECT_EQ(drawn[0].x, 20.0f - halfPixel);
        EXPECT_EQ(drawn[0].y, 40.0f - halfPixel);
        EXPECT_EQ(drawn[1].x, 60.0f - halfPixel);
        EXPECT_EQ(drawn[2].y, 100.0f - halfPixel);
    }
    grSstWinClose();

    openScaled(0);
    const float positions[] = {-0.0f, 10.3f, 319.96f};
    for (GrCombineLocal_t local : locals) {
        combineLocal(local);
        for (float at : positions) {
            SCOPED_TRACE(at);
            const TlVertex drawn = drawnPoint(glideVertex(at, at));
            EXPECT_EQ(std::memcmp(&drawn.x, &at, sizeof(at)), 0);
            EXPECT_EQ(std::memcmp(&drawn.y, &at, sizeof(at)), 0);
        }
    }
}

TEST_F(RenderScale, AModeTheAdapterLacksCentresThePictureOnTheDesktop) {
    openScaled(thrice); // 960x720 is not offered: the desktop's 1280x1024, bars around the picture
    const DWORD left = (desktopWidth - gameWidth * thrice) / 2,
                top = (desktopHeight - gameHeight * thrice) / 2;
    EXPECT_EQ(named("SetDisplayMode")[0].args,
              (std::vector<unsigned long long>{desktopWidth, desktopHeight, 16, 0, 0}));
    const D3DVIEWPORT7 viewport = sim::viewport(liveDevice());
    EXPECT_EQ(viewport.dwX, left);
    EXPECT_EQ(viewport.dwY, top);
    EXPECT_EQ(viewport.dwWidth, gameWidth * thrice);
    GrVertex origin = glideVertex(0, 0);
    EXPECT_EQ(drawnPoint(origin).x, static_cast<float>(left) - halfPixel);
    EXPECT_EQ(drawnPoint(origin).y, static_cast<float>(top) - halfPixel);
    grSstWinClose();
    EXPECT_NE(logText().find("Render scale 3: drawn at 960x720 in 1280x1024 buffers\r\n"), std::string::npos);
}

TEST_F(RenderScale, EveryBufferOfATripleBufferedChainStartsWithBlackBars) {
    const size_t flipChainBuffers = 3;
    setProductDword("TripleBuffer", 1);
    sim::clearCalls();
    openScaled(thrice);
    std::set<const void *> filled;
    for (const sim::Call &blt : named("Blt"))
        if (blt.args[0] & DDBLT_COLORFILL) filled.insert(blt.object);
    EXPECT_GE(filled.size(), flipChainBuffers);
    grSstWinClose();
}

TEST_F(RenderScale, OffInTheStoreLogsNothing) {
    openScaled(0);
    grSstWinClose();
    EXPECT_EQ(logText().find("Render scale"), std::string::npos);
}

TEST_F(RenderScale, PointsAndLinesAreAsWideAsAScaledPixel) {
    openScaled(twice);
    sim::clearCalls();
    GrVertex p = glideVertex(10, 10);
    grDrawPoint(&p);
    std::vector<TlVertex> quad = drawnVertices();
    ASSERT_EQ(quad.size(), 6u);
    float right = 0, bottom = 0;
    for (const TlVertex &v : quad) {
        right = v.x > right ? v.x : right;
        bottom = v.y > bottom ? v.y : bottom;
    }
    EXPECT_EQ(right, 21.5f); // the block of game pixel 10: screen pixels 20 and 21, edges between samples
    EXPECT_EQ(bottom, 21.5f);

    sim::clearCalls();
    GrVertex a = glideVertex(10, 10), b = glideVertex(50, 12);
    grDrawLine(&a, &b);
    std::vector<TlVertex> line = drawnVertices();
    ASSERT_EQ(line.size(), 6u);
    EXPECT_EQ(line[2].x, 99.5f); // the far end moved down by a scaled pixel: thick along y
    EXPECT_EQ(line[2].y, 25.5f);
}

// GR_FOG_MULT2 keeps only the fog colour, which Direct3D draws in a pass of its own: the quad of a scaled
// point or line takes that pass as the point or line does unscaled.
TEST_F(RenderScale, ScaledPointsAndLinesKeepOnlyTheFogColour) {
    const GrFog_t fullFog = 255;
    const GrColor_t fogGrey = 0x00C0C0C0, opaqueRed = 0xFFFF0000;
    setProductDword("Fog", 1);
    openScaled(twice);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    for (GrFog_t &entry : table)
        entry = fullFog;
    grFogTable(table);
    grFogColorValue(fogGrey);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grFogMode(GR_FOG_WITH_TABLE | GR_FOG_MULT2);
    GrVertex a = coloredVertex(10, 10, opaqueRed), b = coloredVertex(50, 12, opaqueRed);
    for (int ends = 1; ends <= 2; ++ends) {
        SCOPED_TRACE(ends);
        sim::clearCalls();
        if (ends == 1)
            grDrawPoint(&a);
        else
            grDrawLine(&a, &b);
        std::vector<TlVertex> quad = drawnVertices();
        ASSERT_EQ(quad.size(), 6u);
        for (const TlVertex &v : quad)
            EXPECT_EQ(v.diffuse, 0xFF000000u | fogGrey);
    }
}

TEST_F(RenderScale, FrameBufferRoundTripsAtTheGameResolution) {
    openScaled(twice);
    grBufferClear(clearArgb, 0, 0xFFFF);
    const int gx = 5, gy = 7, detailX = 40, detailY = 30;
    putPixel(backBuffer(), detailX * 2 + 1, detailY * 2, detail565); // 3D detail inside one game pixel

    GrLfbInfo_t info;
    std::memset(&info, 0, sizeof(info));
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY | GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                        GR_ORIGIN_UPPER_LEFT, FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(info.strideInBytes, gameWidth * 2);
    // The box filter: one of four screen pixels green, the rest blue.
    EXPECT_EQ(shadowPixel(info, detailX, detailY), 0x0217);
    putShadowPixel(info, gx, gy, written565);
    ASSERT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_TRUE(blockIs(backBuffer(), gx, gy, twice, written565));
    EXPECT_EQ(sim::pixel(backBuffer(), (gx + 1) * 2, gy * 2), clear565);
    // What the game did not write keeps its full-resolution detail.
    EXPECT_EQ(sim::pixel(backBuffer(), detailX * 2 + 1, detailY * 2), detail565);
    EXPECT_EQ(sim::pixel(backBuffer(), detailX * 2, detailY * 2), clear565);

    uint16_t read = 0;
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, gx, gy, 1, 1, 2, &read), FXTRUE);
    EXPECT_EQ(read, written565);
    uint16_t region[2] = {detail565, detail565};
    ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 100, 100, GR_LFB_SRC_FMT_565, 2, 1, 4, region), FXTRUE);
    EXPECT_TRUE(blockIs(backBuffer(), 100, 100, twice, detail565));
    EXPECT_TRUE(blockIs(backBuffer(), 101, 100, twice, detail565));
    EXPECT_TRUE(blockIs(backBuffer(), 102, 100, twice, clear565));
}

TEST_F(RenderScale, WindowClientIsTheLargerScaleAndTheBuffersTheRenderSize) {
    struct Case {
        DWORD renderScale, windowScale, client, buffer;
    } cases[] = {{twice, 0, gameWidth * twice, gameWidth * twice},
                 {twice, thrice, gameWidth * thrice, gameWidth * twice},
                 {thrice, twice, gameWidth * thrice, gameWidth * thrice}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.renderScale * 10 + c.windowScale);
        grSstWinClose();
        openScaled(c.renderScale, 1, c.windowScale);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(static_cast<DWORD>(client.right - client.left), c.client);
        DWORD buffer = 0;
        for (const sim::Call &call : named("CreateSurface"))
            if (call.desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN) buffer = call.desc.dwWidth;
        EXPECT_EQ(buffer, c.buffer);
        EXPECT_EQ(grSstScreenWidth(), static_cast<float>(gameWidth));
    }
}

} // namespace
