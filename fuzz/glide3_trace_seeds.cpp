// Seeds of the Glide 3 call-sequence fuzz target from Glide 3 traces (tessel3.dll's): every call written as
// glide3_fuzz.cpp reads it back, vertices by the vertex layout the trace's calls set, as the target reads
// them. fuzz/run_call_fuzz.sh runs it over tests/traces before fuzzing.
//   glide3_trace_seeds OUTDIR TRACE...
#include <string.h>

#include <string>

#include "glide3x.h"
#include "glide3_fuzz_input.h"
#include "vertex_layout.h"
#include "trace_seeds.h"
#include "trace_seed_calls.h"

using namespace trace_seeds;

namespace {

const char *const opNames[] = {
#define GLIDE3_FUZZ_OP(name) #name,
#include "glide3_fuzz_ops.h"
#undef GLIDE3_FUZZ_OP
};

// The target's arrays cycle through this many distinct vertices at most.
const size_t arrayPool = 4;
const uint8_t firstLayoutSlot = 0;
// The extensions the target asks grGetProcAddress for, in its order; others are its empty name.
const char *const procNames[] = {"grGetGammaTableExt", "grChromaRangeExt", "grTexDownloadTableExt"};
const uint8_t unknownProc = 3;

const size_t layoutSlots = 2; // the target's, for the layouts it takes with grGlideGetVertexLayout
const size_t aIndex = 5, rgbIndex = 6, pargbIndex = 7;

// The layout the target builds from the grVertexLayout calls it reads: where it puts each parameter.
struct Layout {
    int32_t offset[storedVertexParams] = {};
    uint32_t mode[storedVertexParams] = {};
    bool packedLast = true; // the packed colour enabled after A and RGB: the library keeps the last one
    bool present(size_t i) const {
        return vertexParams[i].param == GR_PARAM_XY || mode[i] != GR_PARAM_DISABLE;
    }
    bool operator==(const Layout &other) const {
        return memcmp(offset, other.offset, sizeof(offset)) == 0 &&
               memcmp(mode, other.mode, sizeof(mode)) == 0 && packedLast == other.packedLast;
    }
};

// A parameter of the library's layout record, which grGlideSetVertexLayout hands back.
const LayoutParameter *recordParameter(const GlideVertexLayout &record, FxU32 param) {
    switch (param) {
    case GR_PARAM_XY:
        return &record.xy;
    case GR_PARAM_Z:
        return &record.z;
    case GR_PARAM_W:
        return &record.w;
    case GR_PARAM_Q:
        return &record.q;
    case GR_PARAM_FOG_EXT:
        return &record.fogExt;
    case GR_PARAM_A:
        return &record.a;
    case GR_PARAM_RGB:
        return &record.rgb;
    case GR_PARAM_PARGB:
        return &record.pargb;
    case GR_PARAM_ST0:
        return &record.st0;
    case GR_PARAM_ST1:
        return &record.st1;
    case GR_PARAM_Q0:
        return &record.q0;
    case GR_PARAM_Q1:
        return &record.q1;
    default:
        return nullptr;
    }
}

Layout layoutOfRecord(const TraceArgument &argument) {
    Layout layout;
    GlideVertexLayout record;
    memset(&record, 0, sizeof(record));
    memcpy(&record, argument.data, argument.size < sizeof(record) ? argument.size : sizeof(record));
    for (size_t i = 0; i < storedVertexParams; ++i) {
        const LayoutParameter *parameter = recordParameter(record, vertexParams[i].param);
        if (parameter == nullptr) continue;
        uint8_t words = static_cast<uint8_t>(parameter->offset / vertexOffsetUnit);
        layout.offset[i] = static_cast<int32_t>(words) * vertexOffsetUnit;
        layout.mode[i] = parameter->mode;
    }
    layout.packedLast = record.packedColor != 0;
    return layout;
}

struct Glide3Converter {
    Layout layout;
    Layout slots[layoutSlots];
    bool slotTaken[layoutSlots] = {};
    size_t nextSlot = 0;

    // The target's layout made equal to `wanted` with a grVertexLayout call per parameter.
    static size_t writeLayout(const Layout &wanted, Writer &w) {
        size_t order[storedVertexParams];
        for (size_t i = 0; i < storedVertexParams; ++i)
            order[i] = i;
        if (!wanted.packedLast) {
            order[aIndex] = pargbIndex;
            order[rgbIndex] = aIndex;
            order[pargbIndex] = rgbIndex;
        }
        for (size_t i : order) {
            w.op(op_grVertexLayout);
            w.byte(static_cast<uint8_t>(i));
            w.byte(static_cast<uint8_t>(wanted.offset[i] / vertexOffsetUnit));
            w.num(wanted.mode[i]);
        }
        return storedVertexParams;
    }

    static void writeSlotCall(Op op, size_t slot, bool null, Writer &w) {
        w.op(op);
        w.byte(static_cast<uint8_t>(slot));
        writePointer(w, null);
    }

    // The target takes the layout it has into a slot, where a later restore finds it.
    size_t writeTakeLayout(Writer &w) {
        size_t slot = nextSlot;
        nextSlot = (nextSlot + 1) % layoutSlots;
        writeSlotCall(op_grGlideGetVertexLayout, slot, false, w);
        slots[slot] = layout;
        slotTaken[slot] = true;
        return 1;
    }

    // A restored layout: from the target's slot that holds it, else set parameter by parameter and taken
    // into a slot for the next restore of it.
    size_t writeRestoreLayout(const SeedCall &call, Writer &w) {
        if (call.null(0)) {
            writeSlotCall(op_grGlideSetVertexLayout, firstLayoutSlot, true, w);
            return 1;
        }
        Layout wanted = layoutOfRecord(*call.argument(0));
        for (size_t slot = 0; slot < layoutSlots; ++slot)
            if (slotTaken[slot] && slots[slot] == wanted) {
                writeSlotCall(op_grGlideSetVertexLayout, slot, false, w);
                layout = wanted;
                return 1;
            }
        size_t calls = writeLayout(wanted, w);
        layout = wanted;
        return calls + writeTakeLayout(w);
    }

    // The layouts the target holds in its slots, then the one it draws with.
    size_t restate(Writer &w) const {
        size_t calls = 0;
        for (size_t slot = 0; slot < layoutSlots; ++slot) {
            if (!slotTaken[slot]) continue;
            calls += writeLayout(slots[slot], w);
            writeSlotCall(op_grGlideGetVertexLayout, slot, false, w);
            ++calls;
        }
        return calls + writeLayout(layout, w);
    }

    // The enabled parameters' values, each read from the game's vertex where its layout put it.
    void writeVertexFields(const uint8_t *data, size_t size, Writer &w) const {
        for (size_t i = 0; i < storedVertexParams; ++i) {
            if (!layout.present(i)) continue;
            for (uint32_t word = 0; word < vertexParams[i].bytes / sizeof(float); ++word) {
                size_t at = static_cast<size_t>(layout.offset[i]) + word * sizeof(float);
                float value = 0;
                if (data != nullptr && at + sizeof(value) <= size) memcpy(&value, data + at, sizeof(value));
                writeFloat(w, value);
            }
        }
    }

    void writeVertex(const SeedCall &call, size_t at, Writer &w) const {
        writePointer(w, call.null(at));
        if (!call.null(at)) writeVertexFields(call.argument(at)->data, call.argument(at)->size, w);
    }

    // The first vertices of an array (`count` of them, `stride` apart in `size` bytes) as the target's pool,
    // walked in order.
    void writePool(const uint8_t *data, size_t size, size_t count, size_t stride, Writer &w) const {
        size_t pool = data == nullptr ? 0 : count < arrayPool ? count : arrayPool;
        w.byte(static_cast<uint8_t>(pool > 0 ? pool - 1 : 0));
        for (size_t i = 0; i < pool; ++i) {
            size_t at = i * stride;
            writeVertexFields(at < size ? data + at : nullptr, at < size ? size - at : 0, w);
        }
        if (pool == 0) writeVertexFields(nullptr, 0, w);
        w.byte(0); // step: entries 0, 1, 2, ... of the pool
    }

    void writeArray(Op op, const SeedCall &call, Writer &w) const {
        const size_t vertices = 2, strideArgument = 3;
        const TraceArgument *list = call.argument(vertices);
        const uint8_t *data = list != nullptr ? list->data : nullptr;
        size_t size = list != nullptr ? list->size : 0;
        w.num(call.word(0));
        w.num(call.word(1));
        if (op == op_grDrawVertexArray) {
            writePool(data, size, call.word(1), list != nullptr ? list->vertexSize : 0, w);
        } else {
            size_t stride = call.word(strideArgument);
            writePool(data, size, stride == 0 ? 1 : call.word(1), stride, w);
            w.byte(static_cast<uint8_t>(stride / vertexOffsetUnit));
        }
        writePointer(w, call.null(vertices));
    }

    void writeVertexLayout(const SeedCall &call, Writer &w) {
        uint32_t param = call.word(0);
        int32_t offset = static_cast<int32_t>(call.word(1)) / vertexOffsetUnit;
        size_t which = 0;
        while (which < vertexParamCount && vertexParams[which].param != param)
            ++which;
        w.byte(static_cast<uint8_t>(which));
        if (which == vertexParamCount) w.num(param);
        w.byte(static_cast<uint8_t>(offset));
        w.num(call.word(2));
        if (which >= storedVertexParams) return;
        layout.offset[which] = static_cast<uint8_t>(offset) * vertexOffsetUnit;
        layout.mode[which] = call.word(2);
        if (call.word(2) != GR_PARAM_DISABLE && (which == aIndex || which == rgbIndex))
            layout.packedLast = false;
        if (call.word(2) != GR_PARAM_DISABLE && which == pargbIndex) layout.packedLast = true;
    }

    bool writeQuery(Op op, const SeedCall &call, Writer &w) {
        switch (op) {
        case op_grGet:
            w.num(call.word(0));
            w.num(call.word(1));
            writePointer(w, call.null(2));
            return true;
        case op_grQueryResolutions: {
            const TraceArgument *wanted = call.argument(0);
            GrResolution pattern = {};
            if (wanted != nullptr && wanted->data != nullptr && wanted->size >= sizeof(pattern))
                memcpy(&pattern, wanted->data, sizeof(pattern));
            w.num(pattern.resolution);
            w.num(pattern.refresh);
            w.num(pattern.numColorBuffers);
            w.num(pattern.numAuxBuffers);
            writePointer(w, call.null(0));
            writePointer(w, call.null(1));
            return true;
        }
        case op_grGetProcAddress: {
            const TraceArgument *name = call.argument(0);
            uint8_t which = unknownProc;
            for (uint8_t i = 0; name != nullptr && name->data != nullptr && i < unknownProc; ++i)
                if (std::string(reinterpret_cast<const char *>(name->data), name->size) == procNames[i])
                    which = i;
            w.byte(which);
            writePointer(w, call.null(0));
            return true;
        }
        case op_grReset:
            w.num(call.word(0));
            if (call.word(0) == GR_VERTEX_PARAMETER) layout = Layout();
            return true;
        default:
            return false;
        }
    }

    bool writeGlide3Call(Op op, const SeedCall &call, Writer &w) {
        switch (op) {
        case op_grDrawPoint:
        case op_grDrawLine:
        case op_grDrawTriangle:
        case op_grAADrawTriangle: {
            const size_t edges = 3;
            size_t vertices = op == op_grDrawPoint ? 1 : op == op_grDrawLine ? 2 : 3;
            for (size_t i = 0; i < vertices; ++i)
                writeVertex(call, i, w);
            for (size_t i = 0; op == op_grAADrawTriangle && i < edges; ++i)
                w.num(call.word(vertices + i));
            return true;
        }
        case op_grDrawVertexArray:
        case op_grDrawVertexArrayContiguous:
            writeArray(op, call, w);
            return true;
        case op_grVertexLayout:
            writeVertexLayout(call, w);
            return true;
        case op_grSstWinClose:
        case op_grSelectContext:
            w.byte(0); // the context the target's open answered
            return true;
        case op_grLoadGammaTable: {
            const size_t channels = 3;
            w.num(call.word(0));
            for (size_t i = 1; i <= channels; ++i)
                writeFill(w, call.argument(i));
            writePointer(w, call.null(1));
            return true;
        }
        case op_grTexDownloadTable:
        case op_grTexDownloadTablePartial:
            writeTableCall(op, call, 0, w);
            return true;
        default:
            return writeQuery(op, call, w);
        }
    }

    size_t writeCall(const SeedCall &call, Writer &w) {
        if (call.name == "grGlideSetVertexLayout") return writeRestoreLayout(call, w);
        if (call.name == "grGlideGetVertexLayout") {
            if (!call.null(0)) return writeTakeLayout(w);
            writeSlotCall(op_grGlideGetVertexLayout, firstLayoutSlot, true, w);
            return 1;
        }
        for (int op = 0; op < opCount; ++op) {
            if (call.name != opNames[op]) continue;
            w.op(static_cast<Op>(op));
            bool written = writeCommonCall(static_cast<Op>(op), call, true, w) ||
                           writeScalars(static_cast<Op>(op), call, w) ||
                           writeGlide3Call(static_cast<Op>(op), call, w);
            return written ? 1 : 0;
        }
        return 0;
    }

    bool writeScalars(Op op, const SeedCall &call, Writer &w) const;

    bool opensSession(const SeedCall &call) const {
        return call.name == "grGlideInit" || call.name == "grSstWinOpen";
    }
};

#define TRACE_SEED_SCALARS(name)                                                                             \
    case op_##name:                                                                                          \
        ScalarWriter<decltype(&name)>::write(call, w);                                                       \
        return true;

// Calls of Glide 3 alone whose numbers the target reads in order.
bool Glide3Converter::writeScalars(Op op, const SeedCall &call, Writer &w) const {
    switch (op) {
        TRACE_SEED_SCALARS(grCoordinateSpace)
        TRACE_SEED_SCALARS(grDepthRange)
        TRACE_SEED_SCALARS(grDisable)
        TRACE_SEED_SCALARS(grEnable)
        TRACE_SEED_SCALARS(grFinish)
        TRACE_SEED_SCALARS(grFlush)
        TRACE_SEED_SCALARS(grGetString)
        TRACE_SEED_SCALARS(grTexNCCTable)
        TRACE_SEED_SCALARS(grViewport)
        TRACE_SEED_SCALARS(guGammaCorrectionRGB)
    default:
        return false;
    }
}

#undef TRACE_SEED_SCALARS

} // namespace

int main(int argc, char **argv) {
    return convertMain<Glide3Converter>(argc, argv, "tessel3.dll");
}
