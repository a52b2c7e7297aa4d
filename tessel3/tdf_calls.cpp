// Glide 3.x 3DF texture file entry points.
#include "session/entry_lock.h"
#include "trace_arguments.h"
#include "glide3x.h"
#include "library_rules.h"
#include "texture/tdf_info_record.h"

static_assert(sizeof(GuNccTable) == sizeof(NccTable), "the engine's NCC table is Glide's GuNccTable");

FX_ENTRY FxBool FX_CALL gu3dfGetInfo(const char *filename, Gu3dfInfo *info) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceFile{filename}, TraceOutput{static_cast<FxU32>(sizeof(Gu3dfInfo))});
    return readTdfInfoInto(filename, info, glide3Rules.tdf);
}

FX_ENTRY FxBool FX_CALL gu3dfLoad(const char *filename, Gu3dfInfo *info) {
    EntryLock entryLock;
    if (tracing())
        traceCall(__func__, TraceFile{filename}, TraceOutput{info != NULL ? info->mem_required : 0});
    return loadTdfFileInto(filename, info, glide3Rules.tdf);
}
