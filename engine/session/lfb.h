// Linear frame buffer access: the front and back surfaces handed out directly, or through a converting
// shadow buffer when the application asks for a pixel layout the display does not have.
#ifndef KESTRIX_LFB_H
#define KESTRIX_LFB_H

#include <stddef.h>

#include "lfb_scaling.h"
#include "lfb_shadow.h"
#include "../core/render_context.h"

// What a lock hands the application: the front end copies it into its GrLfbInfo_t.
struct LfbLockInfo {
    void *lfbPtr;
    FxU32 strideInBytes;
    FxI32 writeMode;
    FxI32 origin;
};

// One record per Glide buffer 0 to 5; every value but the front buffer reaches the back surface. The
// application always writes into the shadow: the board let a game keep its lock across clears, draws and
// swaps, which a DirectDraw surface lock forbids, so the surface is locked only while the library moves
// pixels between it and the shadow.
struct LfbBufferState {
    IDirectDrawSurface7 *lockedSurface; // not owned; set while the library holds the surface
    DDSURFACEDESC2 surfaceDesc;         // pitch and memory of that surface lock
    LfbLockInfo info;                   // what the first grLfbLock of this buffer answered
    ShadowMemory shadow;
    FxU32 readLocked;
    FxU32 writeLocked;
    // The shadow's row 0 is the bottom row of the screen: a lock with the lower-left origin.
    FxU32 shadowFlipped;
    ScaledView view; // the game-sized picture while the surface is held, when it is drawn scaled
};

const int lfbBufferCount = 6;
// Part of the library's records (session/state_groups.h).
extern LfbBufferState (&lfbBuffers)[lfbBufferCount];

// The pixel conversions. 16-bit inputs may carry other bits above bit 15; they are ignored.
inline FxU32 xrgbFrom565(FxU32 p) {
    return ((p & 0xF800u) << 8) | ((p & 0x07E0u) << 5) | ((p & 0x001Fu) << 3);
}
inline FxU16 rgb565From8888(FxU32 c) {
    return static_cast<FxU16>(((c >> 8) & 0xF800u) | ((c >> 5) & 0x07E0u) | ((c >> 3) & 0x001Fu));
}
inline FxU16 argb1555From8888(FxU32 c) {
    return static_cast<FxU16>(((c >> 16) & 0x8000u) | ((c >> 9) & 0x7C00u) | ((c >> 6) & 0x03E0u) |
                              ((c >> 3) & 0x001Fu));
}
inline FxU16 argb1555From565(FxU32 p) {
    return static_cast<FxU16>(((p >> 1) & 0x7FE0u) | (p & 0x001Fu));
}
inline FxU32 argb8888From1555(FxU32 p) {
    return ((p & 0x8000u) ? 0xFF000000u : 0u) | ((p & 0x7C00u) << 9) | ((p & 0x03E0u) << 6) |
           ((p & 0x001Fu) << 3);
}
inline FxU16 rgb565From1555(FxU32 p) {
    return static_cast<FxU16>(((p & 0x7FE0u) << 1) | (p & 0x001Fu));
}

// How many buffers the application holds locked.
extern FxU32 &lfbLocksHeld;
// Bytes per pixel of a lock's write mode or a region's source format, which share their values.
FxU32 shadowBytesPerPixel(FxI32 mode);

void writeHeldLocksBack();
// What the application wrote through a held lock reaches its buffer before anything draws into, clears,
// reads or shows that buffer.
inline void settleFrameBufferLocks() {
    if (lfbLocksHeld != 0) writeHeldLocksBack();
}
// A clear changed the surface under held locks: their shadows take it in, so that rows the application
// writes afterwards carry the cleared pixels, not the old ones, beside what it wrote.
void reloadLockedShadows(IDirectDrawSurface7 *surface);

FxBool lockFrameBuffer(FxI32 type, FxI32 buffer, FxI32 writeMode, FxI32 origin, LfbLockInfo *info);
FxBool unlockFrameBuffer(FxI32 type, FxI32 buffer);
FxBool writeFrameBufferRegion(FxI32 buffer, FxU32 dstX, FxU32 dstY, FxI32 srcFormat, FxU32 srcWidth,
                              FxU32 srcHeight, FxI32 srcStride, const void *srcData);
FxBool readFrameBufferRegion(FxI32 buffer, FxU32 srcX, FxU32 srcY, FxU32 srcWidth, FxU32 srcHeight,
                             FxU32 dstStride, void *dstData);

// Gives back the surface locks the application still holds, before the surfaces are released; besides the
// screen pair, those on any surface but the front and back buffers, which their owner unlocks itself.
void unlockHeldBuffers(bool besidesScreenPair);
// The display objects are going: every lock ends with them (the surfaces are unlocked by their owner), and
// the shadows are given back.
void forgetBufferLocks();
void freeShadowBuffers();

#endif
