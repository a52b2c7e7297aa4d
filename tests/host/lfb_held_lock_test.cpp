// A frame-buffer lock kept across clears, draws and swaps, the board's stride, and drawing into the front
// buffer. The simulated device does not rasterise: pixels a draw would leave are put on the surface by hand.
#include "glide2_draw_driver.h"

#include <cstring>

namespace {

const uint16_t clearColors565[] = {0x001F, 0x07E0, 0xF800};
const GrColor_t clearColorsArgb[] = {0x000000FF, 0x0000FF00, 0x00FF0000};
const uint16_t barColor = 0xFFFF;
const uint16_t triangleColor = 0x8410;
const int barTop = 400, barRows = 10, barWidth = 100;
const int triangleX = 320, triangleY = 100;
// A HUD pixel written through the lock beside what 3D drew in the same row.
const int hudX = triangleX + 20;
const uint16_t hudColor = 0x07FF;
const int frames = 3;

class HeldLock : public Glide2Test {
  protected:
    void openWith(DWORD colorDepth, GrScreenResolution_t resolution = GR_RESOLUTION_640x480) {
        setProductDword("ColorDepth", colorDepth);
        ASSERT_EQ(initAndOpen(resolution), FXTRUE);
    }

    static void putPixel(IDirectDrawSurface7 *surface, int x, int y, uint16_t value) {
        sim::SurfaceInfo info = sim::surfaceInfo(surface);
        std::memcpy(info.pixels + y * info.pitch + x * 2, &value, 2);
    }

    static uint16_t shadowPixel(const GrLfbInfo_t &info, int x, int y) {
        uint16_t value = 0;
        std::memcpy(&value, static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes + x * 2, 2);
        return value;
    }

    static void putShadowPixel(const GrLfbInfo_t &info, int x, int y, uint16_t value) {
        std::memcpy(static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes + x * 2, &value, 2);
    }

    static bool allSucceeded(const char *name) {
        for (const sim::Call &call : named(name))
            if (call.hr != DD_OK) return false;
        return countNamed(name) > 0;
    }

    static void drawTriangleOnly() {
        GrVertex a = coloredVertex(300, 90, 0xFF808080), b = coloredVertex(340, 90, 0xFF808080),
                 c = coloredVertex(320, 120, 0xFF808080);
        grDrawTriangle(&a, &b, &c);
    }

    static void drawTriangle() {
        drawTriangleOnly();
        putPixel(backBuffer(), triangleX, triangleY, triangleColor); // what the device drew
    }

    // The board's test program: one lock, then clear, draw, write a bar through the pointer and swap, frame
    // after frame.
    void runFrames(const GrLfbInfo_t &info) {
        for (int frame = 0; frame < frames; ++frame) {
            SCOPED_TRACE(frame);
            grBufferClear(clearColorsArgb[frame], 0, 0xFFFF);
            EXPECT_EQ(shadowPixel(info, 500, 300), clearColors565[frame]);
            drawTriangle();
            for (int y = barTop; y < barTop + barRows; ++y)
                for (int x = 0; x < barWidth; ++x)
                    putShadowPixel(info, x, y, barColor);
            putShadowPixel(info, hudX, triangleY, hudColor);
            grBufferSwap(0);
            IDirectDrawSurface7 *screen = frontBuffer();
            EXPECT_EQ(sim::pixel(screen, 50, barTop + 5), barColor);
            EXPECT_EQ(sim::pixel(screen, 200, barTop + 5), clearColors565[frame]);
            EXPECT_EQ(sim::pixel(screen, triangleX, triangleY), triangleColor);
            EXPECT_EQ(sim::pixel(screen, hudX, triangleY), hudColor);
            EXPECT_EQ(sim::pixel(screen, 500, 300), clearColors565[frame]);
        }
    }
};

TEST_F(HeldLock, ClearsDrawsAndSwapsWorkAndTheWritesReachEachFrame) {
    for (bool writeWatch : {true, false}) {
        SCOPED_TRACE(writeWatch);
        sim::setWriteWatchAvailable(writeWatch);
        openWith(16);
        GrLfbInfo_t info = {};
        info.size = sizeof(info);
        ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                            GR_ORIGIN_UPPER_LEFT, FXFALSE, &info),
                  FXTRUE);
        sim::clearCalls();
        runFrames(info);
        EXPECT_TRUE(allSucceeded("Clear"));
        EXPECT_TRUE(allSucceeded("DrawPrimitive"));
        EXPECT_EQ(sim::callsNamed("Flip").size(), static_cast<size_t>(frames));
        EXPECT_TRUE(allSucceeded("Flip"));

        // Nothing written since: a swap does not touch the surface.
        sim::clearCalls();
        grBufferSwap(0);
        EXPECT_EQ(countNamed("Lock"), 0u);
        EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
        grSstWinClose();
    }
}

// A HUD written through a held lock between two draws lies over the first and under the second.
TEST_F(HeldLock, WritesBetweenDrawsKeepTheirPlaceInTheDrawingOrder) {
    openWith(16);
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    sim::clearCalls();
    drawTriangleOnly();
    putShadowPixel(info, hudX, triangleY, hudColor);
    drawTriangleOnly();
    size_t firstDraw = findCall("DrawPrimitive"), writeBack = findCall("Lock");
    ASSERT_NE(writeBack, std::string::npos);
    EXPECT_LT(firstDraw, writeBack);
    EXPECT_EQ(sim::pixel(backBuffer(), hudX, triangleY), hudColor);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    grSstWinClose();
}

// A write through a read lock reaches the buffer; region calls meet what the held lock wrote, and the held
// pointer reads what a region call wrote.
TEST_F(HeldLock, ReadLockWritesAndRegionCallsWhileHeld) {
    openWith(16);
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    putShadowPixel(info, 3, 3, 0xF800);
    uint16_t read = 0;
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 3, 3, 1, 1, 2, &read), FXTRUE);
    EXPECT_EQ(read, 0xF800);
    uint16_t blue = 0x001F;
    ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 5, 3, GR_LFB_SRC_FMT_565, 1, 1, 2, &blue), FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 5, 3), blue);
    EXPECT_EQ(shadowPixel(info, 5, 3), blue);
    putShadowPixel(info, 6, 3, 0x07E0);
    EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 6, 3), 0x07E0u);
    EXPECT_EQ(sim::pixel(backBuffer(), 5, 3), blue);
    grSstWinClose();
}

TEST_F(HeldLock, BoardStrideIsASettingFor16BitLocksUpTo1024Wide) {
    setProductDword("LfbStride2048", 1);
    openWith(16);
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(info.strideInBytes, 2048u);
    putShadowPixel(info, 639, 7, 0xF81F);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 639, 7), 0xF81Fu);
    EXPECT_EQ(sim::pixel(backBuffer(), 0, 8), 0u);
    // 32-bit layouts keep their own stride.
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(info.strideInBytes, 640u * 4);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    grSstWinClose();

    // Wider than the board addressed: the screen's own row.
    ASSERT_EQ(open(GR_RESOLUTION_1280x1024), FXTRUE);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(info.strideInBytes, 1280u * 2);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    grSstWinClose();
}

// Full-screen the device draws into the front surface itself, which is the screen, and back again.
TEST_F(HeldLock, FrontBufferDrawingTargetsTheScreen) {
    openWith(16);
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    EXPECT_EQ(renderTarget(), frontBuffer());
    EXPECT_EQ(sim::surfaceInfo(frontBuffer()).attached.size(), 1u); // the depth buffer came along
    grBufferClear(0x000000FF, 0, 0xFFFF);
    EXPECT_EQ(sim::pixel(frontBuffer(), 10, 10), 0x001Fu);
    EXPECT_NE(sim::pixel(backBuffer(), 10, 10), 0x001Fu);
    // Wine shows the primary only after a DirectDraw write to it: the next query makes one.
    sim::clearCalls();
    grSstIdle();
    std::vector<sim::Call> copies = named("BltFast");
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].object, static_cast<const void *>(frontBuffer()));
    EXPECT_EQ(copies[1].source, copies[0].object);
    EXPECT_EQ(sim::pixel(frontBuffer(), 10, 10), 0x001Fu);
    // A swap meanwhile: the drawing goes on into the new front buffer.
    grBufferSwap(0);
    EXPECT_EQ(renderTarget(), frontBuffer());
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    EXPECT_EQ(renderTarget(), backBuffer());
    EXPECT_EQ(sim::surfaceInfo(backBuffer()).attached.size(), 1u);
    grSstWinClose();
}

class WindowedFrontBuffer : public HeldLock {
  protected:
    void SetUp() override {
        HeldLock::SetUp();
        setProductDword("Windowed", 1);
    }

    static size_t blitsToWindow() {
        size_t count = 0;
        for (const sim::Call &call : named("Blt"))
            if (call.object == frontBuffer() && call.source != nullptr) ++count;
        return count;
    }
};

// In a window the front buffer reaches the screen through the library: what was drawn or written into it
// is shown at the next call that waits or asks the board's state, without a swap.
TEST_F(WindowedFrontBuffer, DrawingAndHeldLockWritesAreShownAtTheNextQuery) {
    openWith(32);
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    sim::clearCalls();
    drawTriangleOnly();
    EXPECT_EQ(blitsToWindow(), 0u);
    grBufferNumPending();
    EXPECT_EQ(blitsToWindow(), 1u);
    grSstStatus();
    EXPECT_EQ(blitsToWindow(), 1u); // nothing new to show

    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    sim::clearCalls();
    static_cast<FxU32 *>(info.lfbPtr)[0] = 0x00123456;
    grSstVRetraceOn();
    EXPECT_EQ(blitsToWindow(), 1u);
    RECT client = sim::clientRect(window);
    EXPECT_EQ(sim::pixel(frontBuffer(), client.left, client.top), 0x00123456u);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER), FXTRUE);
    grSstWinClose();
}

// A device that will not draw into the front surface draws into the back one, which is copied when the
// drawing is shown.
TEST_F(HeldLock, RefusedFrontTargetDrawsIntoTheBackBufferAndCopies) {
    openWith(16);
    sim::failCall("SetRenderTarget", 1);
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    EXPECT_EQ(renderTarget(), backBuffer());
    sim::clearCalls();
    drawTriangleOnly();
    putPixel(backBuffer(), 20, 10, 0xF81F);
    EXPECT_EQ(countNamed("BltFast"), 0u);
    grSstIdle();
    ASSERT_EQ(countNamed("BltFast"), 1u);
    EXPECT_EQ(sim::pixel(frontBuffer(), 20, 10), 0xF81Fu);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    EXPECT_EQ(countNamed("BltFast"), 1u);
    grSstWinClose();
}

} // namespace
