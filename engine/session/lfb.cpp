#include "lfb.h"

#include <stdlib.h>
#include <string.h>

#include "../core/game_quirks.h"
#include "../core/library_settings.h"
#include "presentation.h"
#include "windowed_display.h"
#include "../render/draw_batch.h"

namespace {

typedef void (*RowConverter)(const FxU8 *src, FxU8 *dst, FxU32 count);

const FxU32 block = 8;

// Pixels are moved with memcpy: application rectangles may have any alignment and stride. Blocks of eight
// pixels go through local arrays, so that the compiler may convert them with vector instructions without
// having to prove that source and destination do not overlap.
template <typename Src, typename Dst, Dst (*convert)(FxU32)>
void convertRow(const FxU8 *src, FxU8 *dst, FxU32 count) {
    Src in[block];
    Dst out[block];
    FxU32 done = 0;
    for (; count - done >= block; done += block) {
        memcpy(in, src + done * sizeof(Src), sizeof(in));
        for (FxU32 i = 0; i < block; ++i)
            out[i] = convert(in[i]);
        memcpy(dst + done * sizeof(Dst), out, sizeof(out));
    }
    for (; done < count; ++done) {
        memcpy(in, src + done * sizeof(Src), sizeof(Src));
        out[0] = convert(in[0]);
        memcpy(dst + done * sizeof(Dst), out, sizeof(Dst));
    }
}

void copyRow2(const FxU8 *src, FxU8 *dst, FxU32 count) {
    memcpy(dst, src, count * 2u);
}

void copyRow4(const FxU8 *src, FxU8 *dst, FxU32 count) {
    memcpy(dst, src, count * 4u);
}

inline FxU16 low16(FxU32 p) {
    return static_cast<FxU16>(p);
}

// Between the 16-bit and 32-bit layouts a 32-bit pixel is handled as two 16-bit halves, blue and green
// below red and alpha (both targets are little-endian): eight 16-bit lanes per vector and no narrowing
// of 32-bit lanes make these rows, which every shadowed lock runs over the whole screen, about a third
// faster than the per-pixel conversions. The ragged end of a row takes the per-pixel conversion.
void from8888To565(const FxU8 *src, FxU8 *dst, FxU32 count) {
    FxU16 in[2 * block], out[block];
    FxU32 done = 0;
    for (; count - done >= block; done += block) {
        memcpy(in, src + done * 4, sizeof(in));
        for (FxU32 i = 0; i < block; ++i) {
            FxU16 blueGreen = in[2 * i], redAlpha = in[2 * i + 1];
            out[i] = static_cast<FxU16>(((redAlpha & 0xF8u) << 8) | ((blueGreen >> 5) & 0x07E0u) |
                                        ((blueGreen >> 3) & 0x001Fu));
        }
        memcpy(dst + done * 2, out, sizeof(out));
    }
    convertRow<FxU32, FxU16, rgb565From8888>(src + done * 4, dst + done * 2, count - done);
}

void from8888To1555(const FxU8 *src, FxU8 *dst, FxU32 count) {
    FxU16 in[2 * block], out[block];
    FxU32 done = 0;
    for (; count - done >= block; done += block) {
        memcpy(in, src + done * 4, sizeof(in));
        for (FxU32 i = 0; i < block; ++i) {
            FxU16 blueGreen = in[2 * i], redAlpha = in[2 * i + 1];
            out[i] = static_cast<FxU16>((redAlpha & 0x8000u) | ((redAlpha & 0xF8u) << 7) |
                                        ((blueGreen >> 6) & 0x03E0u) | ((blueGreen >> 3) & 0x001Fu));
        }
        memcpy(dst + done * 2, out, sizeof(out));
    }
    convertRow<FxU32, FxU16, argb1555From8888>(src + done * 4, dst + done * 2, count - done);
}

void from565ToXrgb(const FxU8 *src, FxU8 *dst, FxU32 count) {
    FxU16 in[block], out[2 * block];
    FxU32 done = 0;
    for (; count - done >= block; done += block) {
        memcpy(in, src + done * 2, sizeof(in));
        for (FxU32 i = 0; i < block; ++i) {
            FxU16 p = in[i];
            out[2 * i] = static_cast<FxU16>(((p & 0x07E0u) << 5) | ((p & 0x001Fu) << 3));
            out[2 * i + 1] = static_cast<FxU16>((p & 0xF800u) >> 8);
        }
        memcpy(dst + done * 4, out, sizeof(out));
    }
    convertRow<FxU16, FxU32, xrgbFrom565>(src + done * 2, dst + done * 4, count - done);
}

void from1555To8888(const FxU8 *src, FxU8 *dst, FxU32 count) {
    FxU16 in[block], out[2 * block];
    FxU32 done = 0;
    for (; count - done >= block; done += block) {
        memcpy(in, src + done * 2, sizeof(in));
        for (FxU32 i = 0; i < block; ++i) {
            FxU16 p = in[i];
            FxU16 alpha = static_cast<FxU16>(-(p >> 15) & 0xFF00u);
            out[2 * i] = static_cast<FxU16>(((p & 0x03E0u) << 6) | ((p & 0x001Fu) << 3));
            out[2 * i + 1] = static_cast<FxU16>(alpha | ((p & 0x7C00u) >> 7));
        }
        memcpy(dst + done * 4, out, sizeof(out));
    }
    convertRow<FxU16, FxU32, argb8888From1555>(src + done * 2, dst + done * 4, count - done);
}

const RowConverter from565To1555 = convertRow<FxU16, FxU16, argb1555From565>;
const RowConverter from1555To565 = convertRow<FxU16, FxU16, rgb565From1555>;
// The DEPTH layouts carry the colour in the low half of a 32-bit word.
const RowConverter depth565ToXrgb = convertRow<FxU32, FxU32, xrgbFrom565>;
const RowConverter depth565To565 = convertRow<FxU32, FxU16, low16>;
const RowConverter depth1555To8888 = convertRow<FxU32, FxU32, argb8888From1555>;
const RowConverter depth1555To565 = convertRow<FxU32, FxU16, rgb565From1555>;

void convertRect(RowConverter row, const FxU8 *src, ptrdiff_t srcStride, FxU8 *dst, ptrdiff_t dstStride,
                 FxU32 width, FxU32 height) {
    if (row == NULL || width == 0) return;
    for (FxU32 y = 0; y < height; ++y)
        row(src + static_cast<ptrdiff_t>(y) * srcStride, dst + static_cast<ptrdiff_t>(y) * dstStride, width);
}

// The display is 32-bit XRGB only with ColorDepth exactly 32; every other value is the 16-bit 565 layout.
bool wideDisplay() {
    return settings.ColorDepth == 32;
}

FxU32 displayBytesPerPixel() {
    return wideDisplay() ? 4u : 2u;
}

bool isDirectLayout(FxI32 mode) {
    if (settings.ColorDepth == 16) return mode == lfbWriteMode565 || mode == lfbWriteModeAny;
    if (settings.ColorDepth == 32) return mode == lfbWriteMode8888;
    return false;
}

// Surface to shadow when a shadowed lock starts. 565 reaches a 16-bit surface directly with ColorDepth 16;
// other values that use the 16-bit layout get a plain copy.
RowConverter readBackRow(FxI32 mode) {
    bool wide = wideDisplay();
    switch (mode) {
    case lfbWriteMode888:
    case lfbWriteMode8888:
        return wide ? copyRow4 : from565ToXrgb;
    case lfbWriteMode555:
    case lfbWriteMode1555:
        return wide ? from8888To1555 : from565To1555;
    case lfbWriteMode565:
    case lfbWriteModeAny:
        return wide ? from8888To565 : copyRow2;
    default:
        return NULL; // DEPTH layouts, ZA16 and reserved modes never see the screen
    }
}

// Shadow to surface when the last lock goes.
RowConverter writeBackRow(FxI32 mode) {
    bool wide = wideDisplay();
    switch (mode) {
    case lfbWriteMode888:
    case lfbWriteMode8888:
        return wide ? copyRow4 : from8888To565;
    case lfbWriteMode555:
    case lfbWriteMode1555:
        return wide ? from1555To8888 : from1555To565;
    case lfbWriteMode565:
    case lfbWriteModeAny:
        return wide ? from565ToXrgb : copyRow2;
    default:
        return NULL;
    }
}

// Application rectangle to surface; 0xFF (any) is taken as 565.
RowConverter regionWriteRow(FxI32 format) {
    bool wide = wideDisplay();
    switch (format) {
    case lfbSrcFmt565:
    case 0xFF:
        return wide ? from565ToXrgb : copyRow2;
    case lfbSrcFmt555:
    case lfbSrcFmt1555:
        return wide ? from1555To8888 : from1555To565;
    case lfbSrcFmt888:
    case lfbSrcFmt8888:
        return wide ? copyRow4 : from8888To565;
    case lfbSrcFmt565Depth:
        return wide ? depth565ToXrgb : depth565To565;
    case lfbSrcFmt555Depth:
    case lfbSrcFmt1555Depth:
        return wide ? depth1555To8888 : depth1555To565;
    default:
        return NULL; // ZA16, RLE16 and reserved formats write nothing
    }
}

bool sessionReady() {
    return renderContext.sessionOpen && renderContext.frontSurface != NULL &&
           renderContext.backSurface != NULL;
}

bool validBuffer(FxI32 buffer) {
    return buffer >= 0 && buffer < lfbBufferCount;
}

// Only the read (0) and write (1) kinds exist; lfbIdle and lfbNoIdle sit above the low nibble.
bool lockKindOf(FxI32 type, FxU32 &kind) {
    kind = static_cast<FxU32>(type) & 0xFu;
    return kind <= 1;
}

bool bufferLocked(const LfbBufferState &state) {
    return state.readLocked || state.writeLocked;
}

void setLockFlag(LfbBufferState &state, FxU32 kind) {
    if (kind == 0)
        state.readLocked = 1;
    else
        state.writeLocked = 1;
}

struct Extent {
    FxU32 width;
    FxU32 height;
};

// The part of the screen that the locked memory really holds, so that no row or pixel past the
// surface is ever touched, whatever the surface turned out to be.
Extent lockedExtent(const LfbBufferState &state) {
    const DDSURFACEDESC2 &desc = state.surfaceDesc;
    Extent extent = {0, 0};
    if (desc.lpSurface == NULL || desc.lPitch <= 0) return extent;
    extent.width = renderContext.screenWidth;
    extent.height = renderContext.screenHeight;
    if ((desc.dwFlags & DDSD_WIDTH) && desc.dwWidth < extent.width) extent.width = desc.dwWidth;
    if ((desc.dwFlags & DDSD_HEIGHT) && desc.dwHeight < extent.height) extent.height = desc.dwHeight;
    FxU32 pitchPixels = static_cast<FxU32>(desc.lPitch) / displayBytesPerPixel();
    if (pitchPixels < extent.width) extent.width = pitchPixels;
    return extent;
}

FxU8 *surfaceRow(const LfbBufferState &state, FxU32 y) {
    return static_cast<FxU8 *>(state.surfaceDesc.lpSurface) +
           static_cast<ptrdiff_t>(y) * state.surfaceDesc.lPitch;
}

// Boards addressed 16-bit buffers up to 1024 pixels wide with a fixed 2048-byte row, and some games write
// with that stride whatever the lock answered.
const FxU32 boardStride = 2048;
const FxU32 boardStrideWidest = 1024;

FxU32 shadowStride(FxI32 mode) {
    FxU32 bytes = shadowBytesPerPixel(mode);
    if (quirkApplies(QuirkEffect::boardStride) && bytes == 2 &&
        renderContext.screenWidth <= boardStrideWidest)
        return boardStride;
    return renderContext.screenWidth * bytes;
}

size_t shadowUsed(const LfbBufferState &state) {
    return static_cast<size_t>(state.info.strideInBytes) * renderContext.screenHeight;
}

// The shadow holds a whole screen of the widest layout or of the board's stride; a larger screen than the
// last one gets a new, zeroed buffer.
bool ensureShadow(LfbBufferState &state) {
    size_t row = renderContext.screenWidth * 4u > boardStride ? renderContext.screenWidth * 4u : boardStride;
    return ensureShadowMemory(state.shadow, row * renderContext.screenHeight);
}

FxBool unlockBufferSurface(LfbBufferState &state);

FxBool lockBufferSurface(FxU32 buffer) {
    LfbBufferState &state = lfbBuffers[buffer];
    state.lockedSurface = buffer == bufferFront ? renderContext.frontSurface : renderContext.backSurface;
    memset(&state.surfaceDesc, 0, sizeof(state.surfaceDesc));
    state.surfaceDesc.dwSize = sizeof(DDSURFACEDESC2);
    // No DDLOCK_WAIT: a surface the blitter still holds fails the lock, and the caller sees FXFALSE.
    // Drivers take the read and write flags as hints and, given both, assume neither, so the memory may be
    // both read and written.
    if (state.lockedSurface == NULL ||
        state.lockedSurface->Lock(NULL, &state.surfaceDesc, DDLOCK_READONLY | DDLOCK_WRITEONLY, NULL) !=
            DD_OK) {
        state.lockedSurface = NULL;
        memset(&state.surfaceDesc, 0, sizeof(state.surfaceDesc));
        return FXFALSE;
    }
    if (!takeScaledView(state.surfaceDesc, state.view, displayBytesPerPixel())) {
        unlockBufferSurface(state);
        memset(&state.surfaceDesc, 0, sizeof(state.surfaceDesc));
        return FXFALSE;
    }
    return FXTRUE;
}

FxBool unlockBufferSurface(LfbBufferState &state) {
    IDirectDrawSurface7 *surface = state.lockedSurface;
    state.lockedSurface = NULL;
    if (surface == NULL) return FXTRUE;
    giveScaledViewBack(state.surfaceDesc, state.view, displayBytesPerPixel());
    return surface->Unlock(NULL) == DD_OK ? FXTRUE : FXFALSE;
}

void transferShadow(LfbBufferState &state, RowConverter row, bool toSurface) {
    Extent extent = lockedExtent(state);
    if (extent.height == 0) return;
    ptrdiff_t stride = static_cast<ptrdiff_t>(state.info.strideInBytes);
    FxU8 *surface = surfaceRow(state, 0);
    ptrdiff_t pitch = state.surfaceDesc.lPitch;
    if (state.shadowFlipped) {
        surface = surfaceRow(state, extent.height - 1);
        pitch = -pitch;
    }
    if (toSurface)
        convertRect(row, state.shadow.bytes, stride, surface, pitch, extent.width, extent.height);
    else
        convertRect(row, surface, pitch, state.shadow.bytes, stride, extent.width, extent.height);
}

// Surface to shadow, which then counts as unwritten; the surface must be locked.
void readShadowIn(LfbBufferState &state) {
    transferShadow(state, readBackRow(state.info.writeMode), false);
    forgetShadowWrites(state.shadow, shadowUsed(state));
}

// Bytes [from, to) of the shadow onto the locked surface: the pixels they cover, row by row.
void writeShadowRange(LfbBufferState &state, size_t from, size_t to) {
    RowConverter row = writeBackRow(state.info.writeMode);
    Extent extent = lockedExtent(state);
    if (row == NULL || extent.height == 0 || from >= to) return;
    const size_t stride = state.info.strideInBytes;
    const size_t bytes = shadowBytesPerPixel(state.info.writeMode);
    const FxU32 displayBytes = displayBytesPerPixel();
    size_t lastRow = (to - 1) / stride;
    if (lastRow >= extent.height) lastRow = extent.height - 1;
    for (size_t y = from / stride; y <= lastRow; ++y) {
        size_t rowStart = y * stride;
        size_t first = from > rowStart ? (from - rowStart) / bytes : 0;
        size_t end = (to - rowStart + bytes - 1) / bytes;
        if (end > extent.width) end = extent.width;
        if (first >= end) continue;
        FxU32 surfaceY =
            state.shadowFlipped ? extent.height - 1 - static_cast<FxU32>(y) : static_cast<FxU32>(y);
        row(state.shadow.bytes + rowStart + first * bytes, surfaceRow(state, surfaceY) + first * displayBytes,
            static_cast<FxU32>(end - first));
    }
}

struct WriteBack {
    FxU32 buffer;
    bool surfaceTaken;
    bool failed;
};

void writeRangeBack(size_t from, size_t to, void *user) {
    WriteBack &back = *static_cast<WriteBack *>(user);
    if (back.failed) return;
    if (!back.surfaceTaken) {
        // What was drawn before the application wrote lies under what it wrote.
        flushDrawBatch();
        back.surfaceTaken = lockBufferSurface(back.buffer) != FXFALSE;
        back.failed = !back.surfaceTaken;
        if (back.failed) return;
    }
    writeShadowRange(lfbBuffers[back.buffer], from, to);
}

// What the application wrote since the last time goes to the buffer; the surface is taken only when
// something was written (then `wrote` is set). False when the surface could not be taken or given back.
bool writeShadowBack(FxU32 buffer, bool &wrote) {
    LfbBufferState &state = lfbBuffers[buffer];
    WriteBack back = {buffer, false, false};
    collectShadowWrites(state.shadow, shadowUsed(state), writeRangeBack, &back);
    wrote = back.surfaceTaken;
    if (!back.surfaceTaken) return !back.failed;
    return unlockBufferSurface(state) != FXFALSE;
}

} // namespace

FxU32 shadowBytesPerPixel(FxI32 mode) {
    switch (mode) {
    case lfbWriteMode888:
    case lfbWriteMode8888:
    case lfbWriteMode565Depth:
    case lfbWriteMode555Depth:
    case lfbWriteMode1555Depth:
        return 4;
    default:
        return 2;
    }
}

void writeHeldLocksBack() {
    for (FxU32 buffer = 0; buffer < lfbBufferCount; ++buffer) {
        bool wrote = false;
        if (bufferLocked(lfbBuffers[buffer])) writeShadowBack(buffer, wrote);
        // In a window the front buffer reaches the screen only through the library.
        if (wrote && buffer == bufferFront) showFrontBuffer();
    }
}

void reloadLockedShadows(IDirectDrawSurface7 *surface) {
    if (lfbLocksHeld == 0 || surface == NULL) return;
    for (FxU32 buffer = 0; buffer < lfbBufferCount; ++buffer) {
        LfbBufferState &state = lfbBuffers[buffer];
        IDirectDrawSurface7 *own =
            buffer == bufferFront ? renderContext.frontSurface : renderContext.backSurface;
        if (!bufferLocked(state) || own != surface || !lockBufferSurface(buffer)) continue;
        readShadowIn(state);
        unlockBufferSurface(state);
    }
}

FxBool lockFrameBuffer(FxI32 type, FxI32 buffer, FxI32 writeMode, FxI32 origin, LfbLockInfo *info) {
    flushDrawBatch();
    FxU32 kind = 0;
    if (!sessionReady() || !validBuffer(buffer) || !lockKindOf(type, kind) || info == NULL) return FXFALSE;
    LfbBufferState &state = lfbBuffers[buffer];
    const FxU32 index = static_cast<FxU32>(buffer);

    if (bufferLocked(state)) {
        // A nested lock shares the first one's memory and layout; its kind is recorded so that its own
        // unlock is the one that counts when it comes last.
        setLockFlag(state, kind);
        *info = state.info;
        return FXTRUE;
    }

    // Another buffer's held lock may share this surface: what was written there comes first, and so
    // does what was drawn into the front buffer.
    showFrontDrawing();
    if (!ensureShadow(state) || !lockBufferSurface(index)) return FXFALSE;
    state.info.lfbPtr = state.shadow.bytes;
    state.info.writeMode = writeMode;
    if (isDirectLayout(writeMode))
        state.info.writeMode = settings.ColorDepth == 16 ? lfbWriteMode565 : lfbWriteMode8888;
    state.info.strideInBytes = shadowStride(state.info.writeMode);
    state.info.origin = origin;
    // The surface's rows run top down; a lower-left lock's shadow rows run up.
    state.shadowFlipped = origin == originLowerLeft ? 1 : 0;
    readShadowIn(state);
    unlockBufferSurface(state);
    setLockFlag(state, kind);
    lfbLocksHeld += 1;
    *info = state.info;
    return FXTRUE;
}

FxBool unlockFrameBuffer(FxI32 type, FxI32 buffer) {
    flushDrawBatch();
    FxU32 kind = 0;
    if (!sessionReady() || !validBuffer(buffer) || !lockKindOf(type, kind)) return FXFALSE;
    LfbBufferState &state = lfbBuffers[buffer];
    if (!bufferLocked(state)) return FXTRUE;
    if (kind == 0)
        state.readLocked = 0;
    else
        state.writeLocked = 0;
    if (bufferLocked(state)) return FXTRUE;
    lfbLocksHeld -= 1;
    // The lock ends even when the write-back fails: the caller has given up the memory either way.
    bool wrote = false;
    FxBool written = writeShadowBack(static_cast<FxU32>(buffer), wrote) ? FXTRUE : FXFALSE;
    if (buffer == bufferFront) showFrontBuffer();
    return written;
}

FxBool writeFrameBufferRegion(FxI32 buffer, FxU32 dstX, FxU32 dstY, FxI32 srcFormat, FxU32 srcWidth,
                              FxU32 srcHeight, FxI32 srcStride, const void *srcData) {
    flushDrawBatch();
    if (!sessionReady() || !validBuffer(buffer) || srcData == NULL) return FXFALSE;
    settleFrameBufferLocks();
    LfbBufferState &state = lfbBuffers[buffer];
    const FxU32 index = static_cast<FxU32>(buffer);
    if (!lockBufferSurface(index)) return FXFALSE;

    Extent extent = lockedExtent(state);
    RowConverter row = regionWriteRow(srcFormat);
    if (row != NULL && dstX < extent.width && dstY < extent.height) {
        FxU32 width = srcWidth < extent.width - dstX ? srcWidth : extent.width - dstX;
        FxU32 height = srcHeight < extent.height - dstY ? srcHeight : extent.height - dstY;
        convertRect(row, static_cast<const FxU8 *>(srcData), srcStride,
                    surfaceRow(state, dstY) + static_cast<size_t>(dstX) * displayBytesPerPixel(),
                    state.surfaceDesc.lPitch, width, height);
    }
    // A lock held on the buffer reads what the region wrote.
    if (bufferLocked(state)) readShadowIn(state);
    unlockBufferSurface(state);
    if (buffer == bufferFront) showFrontBuffer();
    return FXTRUE;
}

FxBool readFrameBufferRegion(FxI32 buffer, FxU32 srcX, FxU32 srcY, FxU32 srcWidth, FxU32 srcHeight,
                             FxU32 dstStride, void *dstData) {
    flushDrawBatch();
    if (!sessionReady() || !validBuffer(buffer) || dstData == NULL) return FXFALSE;
    settleFrameBufferLocks();
    LfbBufferState &state = lfbBuffers[buffer];
    if (!lockBufferSurface(static_cast<FxU32>(buffer))) return FXFALSE;

    Extent extent = lockedExtent(state);
    if (srcX < extent.width && srcY < extent.height) {
        FxU32 width = srcWidth < extent.width - srcX ? srcWidth : extent.width - srcX;
        FxU32 height = srcHeight < extent.height - srcY ? srcHeight : extent.height - srcY;
        // The output is always 565, whatever the display holds.
        convertRect(wideDisplay() ? from8888To565 : copyRow2,
                    surfaceRow(state, srcY) + static_cast<size_t>(srcX) * displayBytesPerPixel(),
                    state.surfaceDesc.lPitch, static_cast<FxU8 *>(dstData), static_cast<ptrdiff_t>(dstStride),
                    width, height);
    }
    unlockBufferSurface(state);
    return FXTRUE;
}

void unlockHeldBuffers(bool besidesScreenPair) {
    for (LfbBufferState &state : lfbBuffers) {
        if (state.lockedSurface == NULL) continue;
        if (besidesScreenPair && (state.lockedSurface == renderContext.frontSurface ||
                                  state.lockedSurface == renderContext.backSurface))
            continue;
        dropScaledView(state.view);
        state.lockedSurface->Unlock(NULL);
    }
}

void forgetBufferLocks() {
    for (LfbBufferState &state : lfbBuffers) {
        state.lockedSurface = NULL;
        memset(&state.surfaceDesc, 0, sizeof(state.surfaceDesc));
        state.readLocked = 0;
        state.writeLocked = 0;
        state.shadowFlipped = 0;
        freeShadowMemory(state.shadow);
        freeScaledView(state.view);
    }
    lfbLocksHeld = 0;
}

void freeShadowBuffers() {
    for (LfbBufferState &state : lfbBuffers) {
        freeShadowMemory(state.shadow);
        freeScaledView(state.view);
    }
}
