// Glide 3.x linear frame buffer entry points.
#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"
#include "core/not_emulated.h"
#include "session/lfb.h"

FX_ENTRY FxBool FX_CALL grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t writeMode,
                                  GrOriginLocation_t origin, FxBool pixelPipeline, GrLfbInfo_t *info) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, type, buffer, writeMode, origin, pixelPipeline,
                  TraceOutput{static_cast<FxU32>(sizeof(GrLfbInfo_t))});
    if (pixelPipeline) noteNotEmulated("grLfbLock pixel pipeline");
    if (info == NULL) return FXFALSE;
    LfbLockInfo lock;
    if (!lockFrameBuffer(type, buffer, writeMode, origin, &lock)) return FXFALSE;
    info->size = sizeof(GrLfbInfo_t);
    info->lfbPtr = lock.lfbPtr;
    info->strideInBytes = lock.strideInBytes;
    info->writeMode = lock.writeMode;
    info->origin = lock.origin;
    return FXTRUE;
}

// Glide 3 applications do not check the unlock: a failed DirectDraw unlock is not reported.
FX_ENTRY FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, type, buffer);
    unlockFrameBuffer(type, buffer);
    return FXTRUE;
}

FX_ENTRY FxBool FX_CALL grLfbReadRegion(GrBuffer_t src_buffer, FxU32 src_x, FxU32 src_y, FxU32 src_width,
                                        FxU32 src_height, FxU32 dst_stride, void *dst_data) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, src_buffer, src_x, src_y, src_width, src_height, dst_stride,
                  TraceOutput{dst_stride * src_height});
    return readFrameBufferRegion(src_buffer, src_x, src_y, src_width, src_height, dst_stride, dst_data);
}

// The pixel pipeline is not emulated for frame-buffer writes: pixels are stored exactly as converted.
FX_ENTRY FxBool FX_CALL grLfbWriteRegion(GrBuffer_t dst_buffer, FxU32 dst_x, FxU32 dst_y,
                                         GrLfbSrcFmt_t src_format, FxU32 src_width, FxU32 src_height,
                                         FxBool pixelPipeline, FxI32 src_stride, void *src_data) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, dst_buffer, dst_x, dst_y, src_format, src_width, src_height, pixelPipeline,
                  src_stride, traceLfbSource(src_data, src_format, src_width, src_height, src_stride));
    if (pixelPipeline) noteNotEmulated("grLfbWriteRegion pixel pipeline");
    return writeFrameBufferRegion(dst_buffer, dst_x, dst_y, src_format, src_width, src_height, src_stride,
                                  src_data);
}

FX_ENTRY void FX_CALL grLfbConstantAlpha(GrAlpha_t alpha) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, alpha);
    noteNotEmulated("grLfbConstantAlpha");
}

FX_ENTRY void FX_CALL grLfbConstantDepth(FxU32 depth) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, depth);
    noteNotEmulated("grLfbConstantDepth");
}

FX_ENTRY void FX_CALL grLfbWriteColorFormat(GrColorFormat_t format) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, format);
    if (format != GR_COLORFORMAT_ARGB) noteNotEmulated("grLfbWriteColorFormat");
}

FX_ENTRY void FX_CALL grLfbWriteColorSwizzle(FxBool swizzleBytes, FxBool swapWords) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, swizzleBytes, swapWords);
    if (swizzleBytes || swapWords) noteNotEmulated("grLfbWriteColorSwizzle");
}
