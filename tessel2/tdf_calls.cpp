// Glide 2.x 3DF texture file and texture utility entry points.
#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide2x.h"
#include "library_rules.h"
#include "core/not_emulated.h"
#include "texture/tdf_info_record.h"
#include "texture/texture_utilities.h"

FX_ENTRY FxBool FX_CALL gu3dfGetInfo(const char *filename, Gu3dfInfo *info) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceFile{filename}, TraceOutput{static_cast<FxU32>(sizeof(Gu3dfInfo))});
    return readTdfInfoInto(filename, info, glide2Rules.tdf);
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *filename, Gu3dfInfo *info) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceFile{filename}, TraceOutput{info != NULL ? info->mem_required : 0});
    return loadTdfFileInto(filename, info, glide2Rules.tdf);
}

FX_ENTRY int FX_CALL guEncodeRLE16(void *dst, void *src, FxU32 width, FxU32 height) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceOutput{width * height * traceRle16WorstBytesPerPixel},
                  TraceBytes{src, width * height * static_cast<FxU32>(sizeof(FxU16))}, width, height);
    return encodeRle16(dst, src, width, height);
}

FX_ENTRY FxU16 FX_CALL guEndianSwapBytes(FxU16 value) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, value);
    return swapBytes16(value);
}

FX_ENTRY FxU32 FX_CALL guEndianSwapWords(FxU32 value) {
    EntryLock entryLock;
    if (tracing()) traceCall(__func__, value);
    return swapHalves32(value);
}

// Exported for applications that link it; the board's RLE download path has no Direct3D counterpart.
FX_ENTRY void FX_CALL ConvertAndDownloadRle(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                            GrLOD_t largeLod, GrAspectRatio_t aspect,
                                            GrTextureFormat_t format, FxU32 evenOdd, FxU8 *, long rows,
                                            FxU32 u0, FxU32 v0, FxU32 width, FxU32 height, FxU32 destWidth,
                                            FxU32 destHeight, FxU16 *) {
    EntryLock entryLock;
    // The run-length data and its table are not read: the call is not emulated.
    if (tracing())
        traceCall(__func__, tmu, startAddress, thisLod, largeLod, aspect, format, evenOdd,
                  TraceBytes{NULL, 0}, rows, u0, v0, width, height, destWidth, destHeight,
                  TraceBytes{NULL, 0});
    noteNotEmulated("ConvertAndDownloadRle");
}
