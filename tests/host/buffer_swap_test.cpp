// A swap exchanges the buffers as the board did: the new back buffer holds what was on screen before, and
// with TripleBuffer the three rotate. Full-screen and in a window; the depth buffer stays with the target.
#include "glide2_driver.h"

#include <cstring>

namespace {

// Frames told apart by their clear colour, as the 565 pixels the frame buffer reads back.
const GrColor_t frameColors[] = {0x00FF0000, 0x0000FF00, 0x000000FF};
const FxU16 frame565[] = {0xF800, 0x07E0, 0x001F};
const int probeX = 20, probeY = 10;

class BufferSwap : public Glide2Test {
  protected:
    // Draws frame i (a full clear) and swaps, for each of the first `count` frames.
    static void drawAndSwap(int count) {
        for (int i = 0; i < count; ++i) {
            grBufferClear(frameColors[i], 0, 0xFFFF);
            grBufferSwap(0);
        }
    }

    static FxU16 readBuffer(GrBuffer_t buffer) {
        FxU16 pixel = 0;
        EXPECT_EQ(grLfbReadRegion(buffer, probeX, probeY, 1, 1, sizeof(pixel), &pixel), FXTRUE);
        return pixel;
    }

    // What a direct lock of the buffer shows at the probe.
    static FxU16 lockedPixel(GrBuffer_t buffer) {
        GrLfbInfo_t info;
        std::memset(&info, 0, sizeof(info));
        info.size = sizeof(info);
        if (grLfbLock(GR_LFB_READ_ONLY, buffer, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info) !=
            FXTRUE) {
            ADD_FAILURE() << "the lock failed";
            return 0;
        }
        FxU16 pixel =
            static_cast<const FxU16 *>(info.lfbPtr)[probeY * info.strideInBytes / sizeof(FxU16) + probeX];
        grLfbUnlock(GR_LFB_READ_ONLY, buffer);
        return pixel;
    }

    static bool holdsTheDepthBuffer(IDirectDrawSurface7 *surface) {
        std::vector<IDirectDrawSurface7 *> attached = sim::surfaceInfo(surface).attached;
        return attached.size() == 1 && sim::roleOf(attached[0]) == sim::SurfaceRole::ZBuffer;
    }

    // After `frames` swaps without a clear in between, the back buffer holds the first frame, the front
    // buffer, by lock and by region, the last; clears still reach the depth buffer of the new target.
    static void expectRotation(int frames) {
        drawAndSwap(frames);
        EXPECT_EQ(readBuffer(GR_BUFFER_BACKBUFFER), frame565[0]);
        EXPECT_EQ(readBuffer(GR_BUFFER_FRONTBUFFER), frame565[frames - 1]);
        EXPECT_EQ(lockedPixel(GR_BUFFER_FRONTBUFFER), frame565[frames - 1]);
        EXPECT_EQ(lockedPixel(GR_BUFFER_BACKBUFFER), frame565[0]);
        EXPECT_TRUE(holdsTheDepthBuffer(renderTarget()));
        sim::clearCalls();
        grBufferClear(0, 0, 0);
        std::vector<sim::Call> clears = named("Clear");
        ASSERT_EQ(clears.size(), 1u);
        EXPECT_EQ(clears[0].hr, D3D_OK);
    }
};

TEST_F(BufferSwap, FullScreenFlipsWithoutWaitingAndTheBackBufferHoldsTheFrameBeforeLast) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    IDirectDrawSurface7 *back = backBuffer();
    sim::clearCalls();
    grBufferSwap(1);
    std::vector<sim::Call> flips = named("Flip");
    ASSERT_EQ(flips.size(), 1u);
    EXPECT_EQ(flips[0].object, static_cast<const void *>(frontBuffer()));
    EXPECT_EQ(flips[0].args, (std::vector<unsigned long long>{DDFLIP_NOVSYNC | DDFLIP_DONOTWAIT}));
    EXPECT_EQ(countNamed("BltFast"), 0u) << "no copy of the frame";
    expectRotation(2);
    EXPECT_EQ(renderTarget(), back) << "the device keeps drawing into the chain's back buffer";
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

TEST_F(BufferSwap, TripleBufferingRotatesThreeBuffersFullScreen) {
    setProductDword("TripleBuffer", 1);
    grGlideInit();
    sim::clearCalls();
    ASSERT_EQ(open(), FXTRUE);
    const sim::Call primary = named("CreateSurface")[0];
    EXPECT_EQ(primary.desc.dwBackBufferCount, 2u);
    expectRotation(3);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// Every buffer the open swaps through is cleared: the first frames show no leftover memory.
TEST_F(BufferSwap, EveryBufferStartsCleared) {
    sim::setNewSurfacesCleared(false);
    setProductDword("TripleBuffer", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(readBuffer(GR_BUFFER_BACKBUFFER), 0u) << "buffer " << i;
        grBufferSwap(0);
    }
    grSstWinClose();
}

class WindowedBufferSwap : public BufferSwap {
  protected:
    void SetUp() override {
        BufferSwap::SetUp();
        setProductDword("Windowed", 1);
    }
};

TEST_F(WindowedBufferSwap, TheDeviceMovesToTheNextBufferWithTheDepthBufferAndTheWindowShowsTheFrame) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    IDirectDrawSurface7 *previous = renderTarget();
    sim::clearCalls();
    grBufferSwap(0);
    EXPECT_EQ(countNamed("BltFast"), 0u) << "no copy of the frame";
    EXPECT_TRUE(
        inOrder({"DeleteAttachedSurface", "AddAttachedSurface", "SetRenderTarget", "SetViewport", "Blt"}));
    std::vector<sim::Call> stretches = named("Blt");
    ASSERT_EQ(stretches.size(), 1u);
    EXPECT_EQ(stretches[0].source, static_cast<const void *>(previous)) << "the frame just drawn is shown";
    EXPECT_NE(renderTarget(), previous);
    expectRotation(2);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

TEST_F(WindowedBufferSwap, TripleBufferingRotatesThreeBuffersInAWindow) {
    setProductDword("TripleBuffer", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    expectRotation(3);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// Two swaps take a held lock's buffer into the third place; closing still gives the lock back.
TEST_F(WindowedBufferSwap, ALockHeldWhileTheBuffersRotateIsGivenBackAtClose) {
    setProductDword("TripleBuffer", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    GrLfbInfo_t info = {};
    info.size = sizeof(info);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    grBufferSwap(0);
    grBufferSwap(0);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

// A device that refuses the new target keeps the old one, its depth buffer and the buffers' roles.
TEST_F(WindowedBufferSwap, ARefusedTargetLeavesTheBuffersAsTheyWere) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grBufferClear(frameColors[0], 0, 0xFFFF);
    IDirectDrawSurface7 *target = renderTarget();
    sim::failCall("SetRenderTarget", 1);
    grBufferSwap(0);
    EXPECT_EQ(renderTarget(), target);
    EXPECT_TRUE(holdsTheDepthBuffer(target));
    EXPECT_EQ(readBuffer(GR_BUFFER_BACKBUFFER), frame565[0]);
    grSstWinClose();
    EXPECT_EQ(leaksWhileLoaded(), "");
}

} // namespace
