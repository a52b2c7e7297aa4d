// Seeds of the Glide 2 call-sequence fuzz target from Glide 2 traces (tessel2.dll's): every call written as
// glide2_fuzz.cpp reads it back. fuzz/run_call_fuzz.sh runs it over tests/traces before fuzzing.
//   glide2_trace_seeds OUTDIR TRACE...
#include <string.h>

#include <string>

#include "glide2x.h"
#include "glide2_fuzz_input.h"
#include "trace_seeds.h"
#include "trace_seed_calls.h"

using namespace trace_seeds;

namespace {

const char *const opNames[] = {
#define GLIDE2_FUZZ_OP(name) #name,
#include "glide2_fuzz_ops.h"
#undef GLIDE2_FUZZ_OP
};

const size_t vertexFloats = sizeof(GrVertex) / sizeof(float);
// The target's polygons cycle through this many distinct vertices at most.
const size_t polygonPool = 6;

void writeVertexFields(const uint8_t *data, size_t size, Writer &w) {
    for (size_t i = 0; i < vertexFloats; ++i) {
        float value = 0;
        if ((i + 1) * sizeof(float) <= size) memcpy(&value, data + i * sizeof(float), sizeof(value));
        writeFloat(w, value);
    }
}

void writeVertex(const SeedCall &call, size_t at, Writer &w) {
    const TraceArgument *vertex = call.argument(at);
    writePointer(w, call.null(at));
    if (!call.null(at)) writeVertexFields(vertex->data, vertex->size, w);
}

void writeVertices(const SeedCall &call, size_t count, Writer &w) {
    for (size_t i = 0; i < count; ++i)
        writeVertex(call, i, w);
}

// The first vertices of a list as the polygon's pool; the target walks the pool in order.
void writePolygon(const SeedCall &call, size_t vertices, bool indexed, Writer &w) {
    const TraceArgument *list = call.argument(vertices);
    size_t available = list != nullptr && list->data != nullptr ? list->size / sizeof(GrVertex) : 0;
    size_t pool = available < polygonPool ? available : polygonPool;
    w.num(static_cast<int32_t>(call.word(0)));
    w.byte(static_cast<uint8_t>(pool > 0 ? pool - 1 : 0));
    for (size_t i = 0; i < (pool > 0 ? pool : 1); ++i)
        writeVertexFields(pool > 0 ? list->data + i * sizeof(GrVertex) : nullptr,
                          pool > 0 ? sizeof(GrVertex) : 0, w);
    if (indexed) {
        w.byte(0); // step: indices 0, 1, 2, ... of the pool
        writePointer(w, call.null(1));
    }
    writePointer(w, call.null(vertices));
}

bool writeGlide2Call(Op op, const SeedCall &call, Writer &w) {
    switch (op) {
    case op_grDrawPoint:
    case op_grAADrawPoint:
        writeVertices(call, 1, w);
        return true;
    case op_grDrawLine:
    case op_grAADrawLine:
        writeVertices(call, 2, w);
        return true;
    case op_grDrawTriangle:
    case op_guDrawTriangleWithClip:
    case op_guAADrawTriangleWithClip:
        writeVertices(call, 3, w);
        return true;
    case op_grAADrawTriangle: {
        const size_t edges = 3;
        writeVertices(call, 3, w);
        for (size_t i = 0; i < edges; ++i)
            w.num(call.word(3 + i));
        return true;
    }
    case op_grDrawPolygon:
    case op_grAADrawPolygon:
    case op_grDrawPlanarPolygon:
        writePolygon(call, 2, true, w);
        return true;
    case op_grDrawPolygonVertexList:
    case op_grAADrawPolygonVertexList:
    case op_grDrawPlanarPolygonVertexList:
    case op_guDrawPolygonVertexListWithClip:
        writePolygon(call, 1, false, w);
        return true;
    case op_grTexDownloadTable:
    case op_grTexDownloadTablePartial:
        w.num(call.word(0)); // the TMU
        writeTableCall(op, call, 1, w);
        return true;
    case op_guTexAllocateMemory: {
        const size_t mask = 1;
        for (size_t i = 0; i < call.count(); ++i) {
            if (i == mask)
                w.byte(static_cast<uint8_t>(call.word(i)));
            else if (i == call.count() - 2)
                writeFloat(w, call.real(i)); // the LOD bias
            else
                w.num(call.word(i));
        }
        return true;
    }
    case op_grGlideGetVersion:
    case op_grSstPerfStats:
    case op_grSstQueryBoards:
    case op_grSstQueryHardware:
    case op_guMovieSetName:
        writePointer(w, call.null(0));
        return true;
    case op_grTriStats:
    case op_gu3dfGetInfo:
    case op_gu3dfLoad:
        // The 3DF calls of this target read no file: the 3DF fuzz target reads them.
        writePointer(w, call.null(0));
        writePointer(w, call.null(1));
        return true;
    case op_guTexDownloadMipMap: {
        const size_t texels = 1, table = 2;
        w.num(call.word(0));
        writePointer(w, call.null(texels));
        writePointer(w, call.null(table));
        return true;
    }
    case op_guTexDownloadMipMapLevel: {
        const size_t levels = 2;
        w.num(call.word(0));
        w.num(call.word(1));
        writePointer(w, call.null(levels));
        return true;
    }
    case op_guTexCreateColorMipMap:
        w.byte(0); // the code that makes the call
        return true;
    case op_grSstWinClose:
        return true;
    default:
        return false;
    }
}

#define TRACE_SEED_SCALARS(name)                                                                             \
    case op_##name:                                                                                          \
        ScalarWriter<decltype(&name)>::write(call, w);                                                       \
        return true;

// Calls of Glide 2 alone whose numbers the target reads in order.
bool writeGlide2Scalars(Op op, const SeedCall &call, Writer &w) {
    switch (op) {
        TRACE_SEED_SCALARS(ConvertAndDownloadRle)
        TRACE_SEED_SCALARS(grBufferNumPending)
        TRACE_SEED_SCALARS(grCheckForRoom)
        TRACE_SEED_SCALARS(grConstantColorValue4)
        TRACE_SEED_SCALARS(grGammaCorrectionValue)
        TRACE_SEED_SCALARS(grGlideShamelessPlug)
        TRACE_SEED_SCALARS(grHints)
        TRACE_SEED_SCALARS(grResetTriStats)
        TRACE_SEED_SCALARS(grSstControl)
        TRACE_SEED_SCALARS(grSstIdle)
        TRACE_SEED_SCALARS(grSstIsBusy)
        TRACE_SEED_SCALARS(grSstResetPerfStats)
        TRACE_SEED_SCALARS(grSstScreenHeight)
        TRACE_SEED_SCALARS(grSstScreenWidth)
        TRACE_SEED_SCALARS(grSstStatus)
        TRACE_SEED_SCALARS(grSstVRetraceOn)
        TRACE_SEED_SCALARS(grSstVideoLine)
        TRACE_SEED_SCALARS(grTexCombineFunction)
        TRACE_SEED_SCALARS(grTexNCCTable)
        TRACE_SEED_SCALARS(guAlphaSource)
        TRACE_SEED_SCALARS(guColorCombineFunction)
        TRACE_SEED_SCALARS(guEndianSwapBytes)
        TRACE_SEED_SCALARS(guEndianSwapWords)
        TRACE_SEED_SCALARS(guMovieStart)
        TRACE_SEED_SCALARS(guMovieStop)
        TRACE_SEED_SCALARS(guTexChangeAttributes)
        TRACE_SEED_SCALARS(guTexCombineFunction)
        TRACE_SEED_SCALARS(guTexGetCurrentMipMap)
        TRACE_SEED_SCALARS(guTexGetMipMapInfo)
        TRACE_SEED_SCALARS(guTexMemQueryAvail)
        TRACE_SEED_SCALARS(guTexMemReset)
        TRACE_SEED_SCALARS(guTexSource)
    default:
        return false;
    }
}

#undef TRACE_SEED_SCALARS

struct Glide2Converter {
    size_t writeCall(const SeedCall &call, Writer &w) {
        for (int op = 0; op < opCount; ++op) {
            if (call.name != opNames[op]) continue;
            w.op(static_cast<Op>(op));
            return writeCommonCall(static_cast<Op>(op), call, false, w) ||
                           writeGlide2Scalars(static_cast<Op>(op), call, w) ||
                           writeGlide2Call(static_cast<Op>(op), call, w)
                       ? 1
                       : 0;
        }
        return 0;
    }
    bool opensSession(const SeedCall &call) const {
        return call.name == "grGlideInit" || call.name == "grSstWinOpen";
    }
    // Glide 2 vertices have one layout: nothing to repeat.
    size_t restate(Writer &) const { return 0; }
};

} // namespace

int main(int argc, char **argv) {
    return convertMain<Glide2Converter>(argc, argv, "tessel2.dll");
}
