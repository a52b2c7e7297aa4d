#include "glide2_driver.h"

#include <cstring>

#include "engine_probe.h"

namespace {

const unsigned long long lockFlags = DDLOCK_READONLY | DDLOCK_WRITEONLY;

// A 32-bit screen pixel narrowed to 565 and to 1555: the top bits of each channel, alpha by its top bit.
uint32_t rgb565Of(uint32_t argb) {
    return ((argb >> 19) & 0x1F) << 11 | ((argb >> 10) & 0x3F) << 5 | ((argb >> 3) & 0x1F);
}
uint32_t argb1555Of(uint32_t argb) {
    return (argb >> 31) << 15 | ((argb >> 19) & 0x1F) << 10 | ((argb >> 11) & 0x1F) << 5 |
           ((argb >> 3) & 0x1F);
}

class Lfb : public Glide2Test {
  protected:
    void SetUp() override {
        Glide2Test::SetUp();
        // Rows longer than the screen catch any code that takes the pitch for width × bytes per pixel.
        sim::setPitchPadding(8);
    }

    void openWithDepth(int depth, GrScreenResolution_t resolution = GR_RESOLUTION_640x480) {
        setProductDword("ColorDepth", static_cast<DWORD>(depth));
        ASSERT_EQ(initAndOpen(resolution), FXTRUE);
        sim::clearCalls();
    }

    static void putPixel(IDirectDrawSurface7 *surface, int x, int y, uint32_t value) {
        sim::SurfaceInfo info = sim::surfaceInfo(surface);
        size_t bytes = info.format.dwRGBBitCount / 8;
        std::memcpy(info.pixels + y * info.pitch + x * bytes, &value, bytes);
    }

    static uint32_t shadowPixel(const GrLfbInfo_t &info, int x, int y, size_t bytes) {
        uint32_t value = 0;
        std::memcpy(&value, static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes + x * bytes,
                    bytes);
        return value;
    }

    static void putShadowPixel(const GrLfbInfo_t &info, int x, int y, size_t bytes, uint32_t value) {
        std::memcpy(static_cast<unsigned char *>(info.lfbPtr) + y * info.strideInBytes + x * bytes, &value,
                    bytes);
    }
};

// Even the display's own layout comes through a shadow: the pointer has to outlive draws and swaps, which a
// surface lock forbids. The surface is locked only to fill the shadow, and not again when nothing was
// written.
TEST_F(Lfb, MatchingLayoutComesThroughAShadowOfTheScreen) {
    struct Case {
        int depth;
        GrLfbWriteMode_t mode;
        GrLfbWriteMode_t reported;
        FxU32 bytes;
    } cases[] = {{16, GR_LFBWRITEMODE_565, GR_LFBWRITEMODE_565, 2},
                 {16, GR_LFBWRITEMODE_ANY, GR_LFBWRITEMODE_565, 2},
                 {32, GR_LFBWRITEMODE_8888, GR_LFBWRITEMODE_8888, 4}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth * 1000 + c.mode);
        openWithDepth(c.depth);
        for (GrBuffer_t buffer : {GR_BUFFER_FRONTBUFFER, GR_BUFFER_BACKBUFFER}) {
            IDirectDrawSurface7 *surface = buffer == GR_BUFFER_FRONTBUFFER ? frontBuffer() : backBuffer();
            putPixel(surface, 7, 3, 0x1234);
            GrLfbInfo_t info = {};
            ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY | GR_LFB_NOIDLE, buffer, c.mode, GR_ORIGIN_UPPER_LEFT,
                                FXFALSE, &info),
                      FXTRUE);
            sim::SurfaceInfo surfaceInfo = sim::surfaceInfo(surface);
            EXPECT_EQ(info.size, static_cast<int>(sizeof(GrLfbInfo_t)));
            EXPECT_NE(info.lfbPtr, static_cast<void *>(surfaceInfo.pixels));
            EXPECT_EQ(info.strideInBytes, 640 * c.bytes);
            EXPECT_EQ(info.writeMode, c.reported);
            EXPECT_EQ(info.origin, GR_ORIGIN_UPPER_LEFT);
            EXPECT_EQ(shadowPixel(info, 7, 3, c.bytes), 0x1234u);
            EXPECT_FALSE(surfaceInfo.locked);
            EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, buffer), FXTRUE);
            EXPECT_FALSE(sim::surfaceInfo(surface).locked);
        }
        std::vector<sim::Call> locks = named("Lock");
        ASSERT_EQ(locks.size(), 2u);
        EXPECT_EQ(locks[0].object, static_cast<const void *>(frontBuffer()));
        EXPECT_EQ(locks[1].object, static_cast<const void *>(backBuffer()));
        EXPECT_EQ(firstArgs(locks[1], 2), (std::vector<unsigned long long>{lockFlags, 0}));
        EXPECT_TRUE(inOrder({"Lock", "Unlock", "Lock", "Unlock"}));
    }
    grSstWinClose();
}

// A lower-left lock's row 0 is the bottom row, read and written, in the display's layout and in another.
TEST_F(Lfb, LowerLeftLockAddressesRowZeroAtTheBottom) {
    struct Case {
        int depth;
        GrLfbWriteMode_t mode;
        GrLfbWriteMode_t reported;
        FxU32 bytes;
        uint32_t screen, shadow;
    } cases[] = {{16, GR_LFBWRITEMODE_565, GR_LFBWRITEMODE_565, 2, 0x1234, 0x1234},
                 {32, GR_LFBWRITEMODE_8888, GR_LFBWRITEMODE_8888, 4, 0x00123456, 0x00123456},
                 {32, GR_LFBWRITEMODE_565, GR_LFBWRITEMODE_565, 2, 0x00F8FCF8, 0xFFFF}};
    const int bottom = 479;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth * 1000 + c.mode);
        openWithDepth(c.depth);
        putPixel(backBuffer(), 3, bottom, c.screen);
        GrLfbInfo_t info = {};
        ASSERT_EQ(
            grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, c.mode, GR_ORIGIN_LOWER_LEFT, FXFALSE, &info),
            FXTRUE);
        EXPECT_EQ(info.writeMode, c.reported);
        EXPECT_EQ(info.origin, GR_ORIGIN_LOWER_LEFT);
        EXPECT_EQ(shadowPixel(info, 3, 0, c.bytes), c.shadow);
        putShadowPixel(info, 5, 0, c.bytes, c.shadow);
        putShadowPixel(info, 6, bottom, c.bytes, c.shadow);
        EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
        EXPECT_EQ(sim::pixel(backBuffer(), 5, bottom), c.screen);
        EXPECT_EQ(sim::pixel(backBuffer(), 6, 0), c.screen);
        EXPECT_EQ(sim::pixel(backBuffer(), 5, 0), 0u);
    }
    grSstWinClose();
}

// Each shadowed lock fills the shadow from the screen by the read-back table, one cell per case.
TEST_F(Lfb, ShadowedLockReadsTheScreenBackInTheRequestedLayout) {
    struct Case {
        int depth;
        GrLfbWriteMode_t mode;
        uint32_t screen;
        FxU32 bytes;
        uint32_t shadow;
    } cases[] = {
        {16, GR_LFBWRITEMODE_888, 0x8410, 4, 0x00808080},
        {16, GR_LFBWRITEMODE_8888, 0xFFFF, 4, 0x00F8FCF8},
        {16, GR_LFBWRITEMODE_555, 0x8410, 2, 0x4210},
        {16, GR_LFBWRITEMODE_1555, 0x07E0, 2, 0x03E0},
        {32, GR_LFBWRITEMODE_888, 0xAB123456, 4, 0xAB123456},
        {32, GR_LFBWRITEMODE_1555, 0xAB123456, 2, 0x88CA},
        {32, GR_LFBWRITEMODE_555, 0x00123456, 2, 0x08CA},
        {32, GR_LFBWRITEMODE_565, 0xAB123456, 2, 0x11AA},
        {32, GR_LFBWRITEMODE_ANY, 0x00FFFFFF, 2, 0xFFFF},
        // Layouts that never meet the screen: the shadow keeps what it held (zero in a new shadow).
        {16, GR_LFBWRITEMODE_565_DEPTH, 0xFFFF, 4, 0},
        {32, GR_LFBWRITEMODE_1555_DEPTH, 0xFFFFFF, 4, 0},
        {16, GR_LFBWRITEMODE_ZA16, 0xFFFF, 2, 0},
        {32, GR_LFBWRITEMODE_RESERVED1, 0xFFFFFF, 2, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth * 1000 + c.mode);
        unload();
        load();
        openWithDepth(c.depth);
        putPixel(backBuffer(), 3, 2, c.screen);
        GrLfbInfo_t info = {};
        ASSERT_EQ(
            grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, c.mode, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info),
            FXTRUE);
        EXPECT_NE(info.lfbPtr, static_cast<void *>(sim::surfaceInfo(backBuffer()).pixels));
        EXPECT_EQ(info.strideInBytes, 640 * c.bytes);
        EXPECT_EQ(info.writeMode, c.mode);
        EXPECT_EQ(shadowPixel(info, 3, 2, c.bytes), c.shadow);
        EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
        // Only reading: the round trip through the shadow layout must not degrade the screen.
        EXPECT_EQ(sim::pixel(backBuffer(), 3, 2), c.screen & (c.depth == 16 ? 0xFFFFu : 0xFFFFFFFFu));
        EXPECT_EQ(countNamed("Lock"), 1u);
        EXPECT_EQ(countNamed("Unlock"), 1u);
    }
}

// A write lock writes the shadow back by the write-back table when it goes.
TEST_F(Lfb, ShadowIsWrittenBackConvertedWhenTheWriteLockGoes) {
    struct Case {
        int depth;
        GrLfbWriteMode_t mode;
        FxU32 bytes;
        uint32_t shadow;
        uint32_t screen;
    } cases[] = {
        {16, GR_LFBWRITEMODE_8888, 4, 0x00000400, 0x0020},
        {16, GR_LFBWRITEMODE_888, 4, 0xFFF8FCF8, 0xFFFF},
        {16, GR_LFBWRITEMODE_1555, 2, 0x03E0, 0x07C0},
        {16, GR_LFBWRITEMODE_555, 2, 0xFC1F, 0xF81F},
        {32, GR_LFBWRITEMODE_1555, 2, 0x7FFF, 0x00F8F8F8},
        {32, GR_LFBWRITEMODE_1555, 2, 0x8000, 0xFF000000},
        {32, GR_LFBWRITEMODE_565, 2, 0xFFFF, 0x00F8FCF8},
        {32, GR_LFBWRITEMODE_ANY, 2, 0x0821, 0x00080408},
        {32, GR_LFBWRITEMODE_888, 4, 0x11223344, 0x11223344},
        // DEPTH layouts, ZA16 and reserved modes: the screen keeps its pixel (0x1234 / 0x00123456 below).
        {16, GR_LFBWRITEMODE_565_DEPTH, 4, 0xFFFF, 0x1234},
        {16, GR_LFBWRITEMODE_1555_DEPTH, 4, 0xFFFF, 0x1234},
        {32, GR_LFBWRITEMODE_555_DEPTH, 4, 0xFFFF, 0x123456},
        {32, GR_LFBWRITEMODE_ZA16, 2, 0xFFFF, 0x123456},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth * 100000 + c.mode * 10000 + (c.shadow & 0xFFFF));
        openWithDepth(c.depth);
        putPixel(backBuffer(), 5, 4, c.depth == 16 ? 0x1234 : 0x123456);
        GrLfbInfo_t info = {};
        ASSERT_EQ(
            grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER, c.mode, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info),
            FXTRUE);
        putShadowPixel(info, 5, 4, c.bytes, c.shadow);
        EXPECT_EQ(sim::pixel(backBuffer(), 5, 4), c.depth == 16 ? 0x1234u : 0x123456u);
        EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER), FXTRUE);
        EXPECT_EQ(sim::pixel(backBuffer(), 5, 4), c.screen);
    }
    grSstWinClose();
}

// Fills a 256 × 256 square of the 16-bit screen with every 16-bit value, at (x0, y0).
void fillWithEveryValue(IDirectDrawSurface7 *surface, int x0, int y0) {
    sim::SurfaceInfo info = sim::surfaceInfo(surface);
    for (int v = 0; v < 65536; ++v) {
        uint16_t value = static_cast<uint16_t>(v);
        std::memcpy(info.pixels + (y0 + v / 256) * info.pitch + (x0 + v % 256) * 2, &value, 2);
    }
}

TEST_F(Lfb, SixteenBitConversionsHoldForEveryInput) {
    openWithDepth(16);
    fillWithEveryValue(backBuffer(), 100, 50);
    GrLfbInfo_t wide = {};
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &wide),
              FXTRUE);
    GrLfbInfo_t narrow = {};
    for (uint32_t v = 0; v < 65536; ++v) {
        uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
        ASSERT_EQ(shadowPixel(wide, 100 + v % 256, 50 + v / 256, 4), (r << 19) | (g << 10) | (b << 3)) << v;
    }
    grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &narrow),
              FXTRUE);
    for (uint32_t v = 0; v < 65536; ++v) {
        uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
        ASSERT_EQ(shadowPixel(narrow, 100 + v % 256, 50 + v / 256, 2), (r << 10) | ((g >> 1) << 5) | b) << v;
    }
    grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);

    // Every 1555 value through a region: green widens with a zero low bit, alpha is dropped.
    std::vector<uint16_t> every(65536);
    for (uint32_t v = 0; v < 65536; ++v)
        every[v] = static_cast<uint16_t>(v);
    ASSERT_EQ(
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 100, 50, GR_LFB_SRC_FMT_1555, 256, 256, 512, every.data()),
        FXTRUE);
    IDirectDrawSurface7 *screen = backBuffer();
    for (uint32_t v = 0; v < 65536; ++v) {
        uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        ASSERT_EQ(sim::pixel(screen, 100 + v % 256, 50 + v / 256), (r << 11) | (g << 6) | b) << v;
    }
    grSstWinClose();

    openWithDepth(32);
    ASSERT_EQ(
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 100, 50, GR_LFB_SRC_FMT_1555, 256, 256, 512, every.data()),
        FXTRUE);
    screen = backBuffer();
    for (uint32_t v = 0; v < 65536; ++v) {
        uint32_t a = v >> 15 ? 0xFFu : 0u, r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        ASSERT_EQ(sim::pixel(screen, 100 + v % 256, 50 + v / 256),
                  (a << 24) | (r << 19) | (g << 11) | (b << 3))
            << v;
    }
    grSstWinClose();
}

// The whole-screen rows narrow 32-bit pixels by their 16-bit halves; they must keep the top bits of every
// channel of every pixel, also on the ragged end of a row.
TEST_F(Lfb, NarrowingRowsAgreeWithThePixelConversionsOnNoise) {
    openWithDepth(32);
    IDirectDrawSurface7 *back = backBuffer();
    uint32_t seed = 12345;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            putPixel(back, x, y, seed = seed * 1664525u + 1013904223u);
    GrLfbInfo_t info = {};
    for (GrLfbWriteMode_t mode : {GR_LFBWRITEMODE_565, GR_LFBWRITEMODE_1555}) {
        ASSERT_EQ(
            grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, mode, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info),
            FXTRUE);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                uint32_t screen = sim::pixel(back, x, y);
                ASSERT_EQ(shadowPixel(info, x, y, 2),
                          mode == GR_LFBWRITEMODE_565 ? rgb565Of(screen) : argb1555Of(screen))
                    << x << "," << y;
            }
        grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    }
    std::vector<uint16_t> region(13 * 3);
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 627, 7, 13, 3, 26, region.data()), FXTRUE);
    for (int i = 0; i < 13 * 3; ++i)
        EXPECT_EQ(region[i], rgb565Of(sim::pixel(back, 627 + i % 13, 7 + i / 13))) << i;
    grSstWinClose();
}

TEST_F(Lfb, RegionWritesConvertEachSourceFormat) {
    struct Case {
        int depth;
        GrLfbSrcFmt_t format;
        uint32_t source;
        uint32_t screen;
    } cases[] = {
        {32, GR_LFB_SRC_FMT_565, 0xFFFF, 0x00F8FCF8},
        {16, GR_LFB_SRC_FMT_8888, 0x00000400, 0x0020},
        {32, GR_LFB_SRC_FMT_1555, 0x7FFF, 0x00F8F8F8},
        {32, GR_LFB_SRC_FMT_1555, 0x8000, 0xFF000000},
        {16, GR_LFB_SRC_FMT_1555, 0x03E0, 0x07C0},
        {16, GR_LFB_SRC_FMT_555, 0x03E0, 0x07C0},
        {16, GR_LFB_SRC_FMT_565, 0xBEEF, 0xBEEF},
        {16, 0xFF, 0xBEEF, 0xBEEF},
        {32, GR_LFB_SRC_FMT_8888, 0x80FF0001, 0x80FF0001},
        {16, GR_LFB_SRC_FMT_888, 0x00F8FCF8, 0xFFFF},
        {16, GR_LFB_SRC_FMT_565_DEPTH, 0xABCD1234, 0x1234},
        {32, GR_LFB_SRC_FMT_565_DEPTH, 0xABCDFFFF, 0x00F8FCF8},
        {16, GR_LFB_SRC_FMT_1555_DEPTH, 0xFFFF03E0, 0x07C0},
        {32, GR_LFB_SRC_FMT_555_DEPTH, 0x00008000, 0xFF000000},
        {16, GR_LFB_SRC_FMT_ZA16, 0xFFFF, 0x4321},
        {32, GR_LFB_SRC_FMT_RLE16, 0xFFFF, 0x4321},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth * 1000 + c.format);
        openWithDepth(c.depth);
        // Neither the pixel pipeline calls nor the origin change what a region write stores.
        grLfbConstantAlpha(0);
        grLfbWriteColorFormat(GR_COLORFORMAT_ABGR);
        grLfbWriteColorSwizzle(FXTRUE, FXTRUE);
        grSstOrigin(GR_ORIGIN_LOWER_LEFT);
        putPixel(backBuffer(), 7, 0, 0x4321);
        putPixel(backBuffer(), 8, 0, 0x5678);
        uint32_t source[2] = {c.source, c.source};
        ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 7, 0, c.format, 1, 1, 8, source), FXTRUE);
        EXPECT_EQ(sim::pixel(backBuffer(), 7, 0), c.screen);
        EXPECT_EQ(sim::pixel(backBuffer(), 8, 0), 0x5678u);
        std::vector<sim::Call> locks = named("Lock");
        ASSERT_EQ(locks.size(), 1u);
        EXPECT_EQ(firstArgs(locks[0], 2), (std::vector<unsigned long long>{lockFlags, 0}));
        EXPECT_TRUE(inOrder({"Lock", "Unlock"}));
        EXPECT_FALSE(sim::surfaceInfo(backBuffer()).locked);
    }
    grSstWinClose();
}

TEST_F(Lfb, ReadRegionAlwaysAnswers565) {
    openWithDepth(32);
    putPixel(frontBuffer(), 10, 20, 0xAB123456);
    putPixel(frontBuffer(), 11, 20, 0x00FFFFFF);
    putPixel(frontBuffer(), 10, 21, 0x00080408);
    uint16_t out[2][3] = {{1, 1, 1}, {1, 1, 1}};
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 10, 20, 2, 2, 6, out), FXTRUE);
    EXPECT_EQ(out[0][0], 0x11AA);
    EXPECT_EQ(out[0][1], 0xFFFF);
    EXPECT_EQ(out[1][0], 0x0821);
    EXPECT_EQ(out[0][2], 1); // beyond the width, inside the stride
    std::vector<sim::Call> locks = named("Lock");
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_EQ(locks[0].object, static_cast<const void *>(frontBuffer()));
    grSstWinClose();
}

TEST_F(Lfb, EveryBufferButTheFrontReachesTheBackSurface) {
    openWithDepth(16);
    for (GrBuffer_t buffer = 0; buffer < 6; ++buffer) {
        SCOPED_TRACE(buffer);
        sim::clearCalls();
        uint16_t value = static_cast<uint16_t>(0x1000 + buffer);
        ASSERT_EQ(
            grLfbWriteRegion(buffer, static_cast<FxU32>(buffer), 1, GR_LFB_SRC_FMT_565, 1, 1, 2, &value),
            FXTRUE);
        IDirectDrawSurface7 *target = buffer == 0 ? frontBuffer() : backBuffer();
        IDirectDrawSurface7 *other = buffer == 0 ? backBuffer() : frontBuffer();
        EXPECT_EQ(sim::pixel(target, buffer, 1), value);
        EXPECT_NE(sim::pixel(other, buffer, 1), value);
        uint16_t back = 0;
        ASSERT_EQ(grLfbReadRegion(buffer, static_cast<FxU32>(buffer), 1, 1, 1, 2, &back), FXTRUE);
        EXPECT_EQ(back, value);
        std::vector<sim::Call> locks = named("Lock");
        ASSERT_EQ(locks.size(), 2u);
        EXPECT_EQ(locks[0].object, static_cast<const void *>(target));
        EXPECT_EQ(locks[1].object, static_cast<const void *>(target));
    }
    grSstWinClose();
}

TEST_F(Lfb, NestedLocksShareOneShadowAndWriteBackOnceWhenTheLastGoes) {
    openWithDepth(16);
    putPixel(backBuffer(), 1, 1, 0x07E0);
    for (bool readFirst : {true, false}) {
        SCOPED_TRACE(readFirst);
        GrLock_t first = readFirst ? GR_LFB_READ_ONLY : GR_LFB_WRITE_ONLY;
        GrLock_t second = readFirst ? GR_LFB_WRITE_ONLY : GR_LFB_READ_ONLY;
        sim::clearCalls();
        GrLfbInfo_t a = {}, b = {};
        ASSERT_EQ(
            grLfbLock(first, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT, FXFALSE, &a),
            FXTRUE);
        putPixel(backBuffer(), 1, 1, 0x001F); // not re-read by the nested lock
        ASSERT_EQ(
            grLfbLock(second, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888, GR_ORIGIN_LOWER_LEFT, FXFALSE, &b),
            FXTRUE);
        EXPECT_EQ(b.lfbPtr, a.lfbPtr);
        EXPECT_EQ(b.writeMode, GR_LFBWRITEMODE_1555);
        EXPECT_EQ(b.origin, GR_ORIGIN_UPPER_LEFT);
        EXPECT_EQ(shadowPixel(b, 1, 1, 2), 0x03E0u);
        putShadowPixel(b, 2, 1, 2, 0x7C00);
        EXPECT_EQ(grLfbUnlock(first, GR_BUFFER_BACKBUFFER), FXTRUE);
        EXPECT_EQ(countNamed("Unlock"), 1u); // only the one that filled the shadow
        EXPECT_EQ(sim::pixel(backBuffer(), 2, 1), 0u);
        EXPECT_EQ(grLfbUnlock(second, GR_BUFFER_BACKBUFFER), FXTRUE);
        EXPECT_EQ(sim::pixel(backBuffer(), 2, 1), 0xF800u);
        EXPECT_EQ(sim::pixel(backBuffer(), 1, 1), 0x001Fu); // changed behind the locks, not written through them
        EXPECT_EQ(countNamed("Lock"), 2u);
        EXPECT_EQ(countNamed("Unlock"), 2u);
        putPixel(backBuffer(), 1, 1, 0x07E0);
        putPixel(backBuffer(), 2, 1, 0);
    }
    // Releasing a buffer that holds no lock writes nothing.
    sim::clearCalls();
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(countNamed("Unlock"), 0u);
    grSstWinClose();
}

// A lock in the display's layout during one in another shares the first one's shadow and says so.
TEST_F(Lfb, DisplayLayoutLockDuringAShadowedOneSharesItsShadow) {
    openWithDepth(16);
    GrLfbInfo_t shadowed = {}, nested = {};
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &shadowed),
              FXTRUE);
    putShadowPixel(shadowed, 4, 4, 2, 0x03E0);
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &nested),
              FXTRUE);
    EXPECT_EQ(nested.lfbPtr, shadowed.lfbPtr);
    EXPECT_EQ(nested.writeMode, GR_LFBWRITEMODE_1555);
    putShadowPixel(nested, 5, 4, 2, 0x7C00);
    EXPECT_EQ(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 5, 4), 0xF800u);
    EXPECT_EQ(sim::pixel(backBuffer(), 4, 4), 0x07C0u);
    EXPECT_EQ(countNamed("Lock"), 2u);
    EXPECT_EQ(countNamed("Unlock"), 2u);
    grSstWinClose();
}

TEST_F(Lfb, FailedLockTouchesNothingAndFailedUnlockStillReleases) {
    openWithDepth(32);
    putPixel(backBuffer(), 0, 0, 0x00010203);
    sim::failCallOn("Lock", sim::SurfaceRole::BackBuffer, DDERR_SURFACEBUSY, 1);
    GrLfbInfo_t info = {};
    EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXFALSE);
    EXPECT_EQ(info.lfbPtr, nullptr);
    sim::failCallOn("Lock", sim::SurfaceRole::BackBuffer, DDERR_SURFACEBUSY, 1);
    uint16_t pixel = 0xFFFF;
    EXPECT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, &pixel), FXFALSE);
    EXPECT_EQ(sim::pixel(backBuffer(), 0, 0), 0x00010203u);
    sim::failCallOn("Lock", sim::SurfaceRole::BackBuffer, DDERR_SURFACEBUSY, 1);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, &pixel), FXFALSE);
    EXPECT_EQ(pixel, 0xFFFF);
    EXPECT_EQ(countNamed("Unlock"), 0u);

    // No flag was left behind: the next lock takes the surface again.
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(shadowPixel(info, 0, 0, 2), 0x0000u);
    putShadowPixel(info, 0, 0, 2, 0xFFFF);
    sim::failCall("Unlock", 1);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);
    EXPECT_EQ(sim::pixel(backBuffer(), 0, 0), 0x00F8FCF8u);
    sim::clearCalls();
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(countNamed("Unlock"), 0u);
    grSstWinClose();
}

TEST_F(Lfb, RectanglesAreClippedToTheScreen) {
    openWithDepth(16);
    std::vector<uint16_t> source(640 * 20, 0xFFFF);
    ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 630, 470, GR_LFB_SRC_FMT_565, 20, 20, 40, source.data()),
              FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 639, 479), 0xFFFFu);
    EXPECT_EQ(sim::pixel(backBuffer(), 629, 479), 0u);
    EXPECT_EQ(sim::pixel(backBuffer(), 0, 471), 0u); // nothing spilled into the next row
    ASSERT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 479, GR_LFB_SRC_FMT_8888, 0xFFFFFFFF, 0xFFFFFFFF, 0,
                               source.data()),
              FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 319, 479), 0xFFFFu);

    sim::clearCalls();
    std::vector<uint16_t> untouched(400, 0x1111);
    for (FxU32 x : {640u, 0xFFFFFFFFu}) {
        EXPECT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, x, 0, GR_LFB_SRC_FMT_565, 10, 10, 20, source.data()),
                  FXTRUE);
        EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, x, 0, 10, 10, 20, untouched.data()), FXTRUE);
        EXPECT_EQ(
            grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, x == 640u ? 480u : x, 10, 10, 20, untouched.data()),
            FXTRUE);
    }
    EXPECT_EQ(untouched, std::vector<uint16_t>(400, 0x1111));
    uint16_t edge[3] = {0, 0, 0x2222};
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 638, 479, 3, 5, 6, edge), FXTRUE);
    EXPECT_EQ(edge[1], 0xFFFF);
    EXPECT_EQ(edge[2], 0x2222);
    grSstWinClose();
}

TEST_F(Lfb, RefusedCallsChangeNothing) {
    GrLfbInfo_t info = {};
    uint16_t pixel = 0;
    // No session yet.
    EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXFALSE);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);
    EXPECT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, &pixel), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, &pixel), FXFALSE);

    openWithDepth(16);
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    sim::clearCalls();
    for (GrBuffer_t buffer : {-1, 6, 0x7FFFFFFF}) {
        EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, buffer, GR_LFBWRITEMODE_565, 0, FXFALSE, &info), FXFALSE);
        EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, buffer), FXFALSE);
        EXPECT_EQ(grLfbWriteRegion(buffer, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, &pixel), FXFALSE);
        EXPECT_EQ(grLfbReadRegion(buffer, 0, 0, 1, 1, 2, &pixel), FXFALSE);
    }
    for (GrLock_t type : {2, 0x1F, 0x0F}) {
        EXPECT_EQ(grLfbLock(type, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_565, 0, FXFALSE, &info), FXFALSE);
        EXPECT_EQ(grLfbUnlock(type, GR_BUFFER_BACKBUFFER), FXFALSE);
    }
    EXPECT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_565, 0, FXFALSE, nullptr),
              FXFALSE);
    EXPECT_EQ(grLfbWriteRegion(GR_BUFFER_FRONTBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 1, 1, 2, nullptr), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 1, 1, 2, nullptr), FXFALSE);
    EXPECT_EQ(countNamed("Lock") + countNamed("Unlock"), 0u);
    putShadowPixel(info, 0, 0, 2, 0x7C00); // the held lock survived
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY | GR_LFB_NOIDLE, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 0, 0), 0xF800u);
    grSstWinClose();
}

TEST_F(Lfb, ClosingWithALockHeldForgetsItAndALargerScreenGetsALargerShadow) {
    openWithDepth(32);
    GrLfbInfo_t info = {};
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    grSstWinClose();
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);

    ASSERT_EQ(open(GR_RESOLUTION_1024x768), FXTRUE);
    putPixel(backBuffer(), 1023, 767, 0x00FFFFFF);
    sim::clearCalls();
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXTRUE);
    EXPECT_EQ(countNamed("Lock"), 1u);
    EXPECT_EQ(info.strideInBytes, 1024u * 2);
    EXPECT_GE(probe::lfbShadowBytes(1), 1024u * 768 * 4);
    EXPECT_EQ(shadowPixel(info, 1023, 767, 2), 0x7FFFu);
    putShadowPixel(info, 1023, 767, 2, 0x8000);
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
    EXPECT_EQ(sim::pixel(backBuffer(), 1023, 767), 0xFF000000u);
    grSstWinClose();
}

} // namespace
