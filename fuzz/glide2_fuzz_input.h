// The operation codes of the Glide 2 call-sequence fuzz target, shared by the target and its seed writer.
#ifndef KESTRIX_GLIDE2_FUZZ_INPUT_H
#define KESTRIX_GLIDE2_FUZZ_INPUT_H

#include "call_fuzz_input.h"

namespace fuzzinput {

// Every Glide 2 entry point, then a few things that happen to a game from outside.
enum Op : uint8_t {
#define GLIDE2_FUZZ_OP(name) op_##name,
#include "glide2_fuzz_ops.h"
#undef GLIDE2_FUZZ_OP
    opCount
};

} // namespace fuzzinput

#include "glide_frame_weights.h"

namespace fuzzinput {

// How often each operation is drawn: the calls a game makes every frame come first.
inline int opWeight(Op op) {
    switch (op) {
    case op_grDrawPolygonVertexList:
    case op_grDrawPolygon:
        return 2;
    default:
        return frameCallWeight(op);
    }
}

typedef WeightedOpTable<Op, opCount, opWeight> OpTable;
typedef OpWriter<OpTable> Writer;

} // namespace fuzzinput

#endif
