// Seeds of the Glide 3 call-sequence fuzz target from Glide 3 traces (tessel3.dll's): every call written as
// glide3_fuzz.cpp reads it back, vertices by the vertex layout the trace's calls set, as the target reads
// them. fuzz/run_call_fuzz.sh runs it over tests/traces before fuzzing.
//   glide3_trace_seeds OUTDIR TRACE...
#include <string.h>

#include <string>

#include "glide3x.h"
#include "glide3_fuzz_input.h"
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
const int wholePaletteEnd = 255;
const uint8_t firstLayoutSlot = 0;
// The extensions the target asks grGetProcAddress for, in its order; others are its empty name.
const char *const procNames[] = {"grGetGammaTableExt", "grChromaRangeExt", "grTexDownloadTableExt"};
const uint8_t unknownProc = 3;

// The layout the target builds from the grVertexLayout calls it reads: where it puts each parameter.
struct Layout {
    int32_t offset[storedVertexParams] = {};
    uint32_t mode[storedVertexParams] = {};
    bool present(size_t i) const {
        return vertexParams[i].param == GR_PARAM_XY || mode[i] != GR_PARAM_DISABLE;
    }
};

struct Glide3Converter {
    Layout layout, saved;
    bool layoutSaved = false;

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
    }

    bool writeTable(Op op, const SeedCall &call, Writer &w) const {
        const size_t data = 1, first = 2, last = 3;
        w.num(call.word(0));
        w.num(op == op_grTexDownloadTablePartial ? call.word(first) : 0);
        w.num(op == op_grTexDownloadTablePartial ? call.word(last) : wholePaletteEnd);
        writeFill(w, call.argument(data));
        writePointer(w, call.null(data));
        return true;
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
        case op_grGlideGetVertexLayout:
        case op_grGlideSetVertexLayout:
            // The target keeps the layout it was handed in a slot and restores it from there.
            w.byte(firstLayoutSlot);
            writePointer(w, call.null(0));
            if (op == op_grGlideGetVertexLayout && !call.null(0)) {
                saved = layout;
                layoutSaved = true;
            }
            if (op == op_grGlideSetVertexLayout && !call.null(0)) layout = layoutSaved ? saved : Layout();
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
            return writeTable(op, call, w);
        default:
            return writeQuery(op, call, w);
        }
    }

    bool writeCall(const SeedCall &call, Writer &w) {
        for (int op = 0; op < opCount; ++op) {
            if (call.name != opNames[op]) continue;
            w.op(static_cast<Op>(op));
            return writeCommonCall(static_cast<Op>(op), call, true, w) ||
                   writeScalars(static_cast<Op>(op), call, w) ||
                   writeGlide3Call(static_cast<Op>(op), call, w);
        }
        return false;
    }

    bool writeScalars(Op op, const SeedCall &call, Writer &w) const;

    bool opensSession(const SeedCall &call) const {
        return call.name == "grGlideInit" || call.name == "grSstWinOpen";
    }
    // Later inputs read vertices by the layout as it stands.
    bool settingKey(const SeedCall &call, std::string &key) const {
        if (call.name != "grVertexLayout") return false;
        key = "grVertexLayout " + std::to_string(call.word(0));
        return true;
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
