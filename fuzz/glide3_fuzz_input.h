// The operation codes of the Glide 3 call-sequence fuzz target, shared by the target and its seed writer.
#ifndef KESTRIX_GLIDE3_FUZZ_INPUT_H
#define KESTRIX_GLIDE3_FUZZ_INPUT_H

#include "call_fuzz_input.h"
#include "glide3x.h"

namespace fuzzinput {

// Every Glide 3 entry point, then a few things that happen to a game from outside.
enum Op : uint8_t {
#define GLIDE3_FUZZ_OP(name) op_##name,
#include "glide3_fuzz_ops.h"
#undef GLIDE3_FUZZ_OP
    opCount
};

} // namespace fuzzinput

#include "glide_frame_weights.h"

namespace fuzzinput {

// How often each operation is drawn: the calls a game makes every frame come first.
inline int opWeight(Op op) {
    switch (op) {
    case op_grDrawVertexArray:
    case op_grDrawVertexArrayContiguous:
    case op_grVertexLayout:
        return 4;
    case op_grGet:
        return 2;
    default:
        return frameCallWeight(op);
    }
}

typedef WeightedOpTable<Op, opCount, opWeight> OpTable;
typedef OpWriter<OpTable> Writer;

// The vertex parameters of grVertexLayout by index, so that one byte names a known one (an index past the
// list takes the parameter from the next number instead), with the bytes each covers from its offset. A
// vertex in the input gives, in this order, the values of the enabled parameters that cover bytes.
struct VertexParam {
    FxU32 param;
    FxU32 bytes;
};
const VertexParam vertexParams[] = {
    {GR_PARAM_XY, 8}, {GR_PARAM_Z, 4},    {GR_PARAM_W, 4},     {GR_PARAM_Q, 4},   {GR_PARAM_FOG_EXT, 4},
    {GR_PARAM_A, 4},  {GR_PARAM_RGB, 12}, {GR_PARAM_PARGB, 4}, {GR_PARAM_ST0, 8}, {GR_PARAM_ST1, 8},
    {GR_PARAM_Q0, 4}, {GR_PARAM_Q1, 4},   {GR_PARAM_ST2, 8},   {GR_PARAM_Q2, 4},
};
// The first ones are kept in the layout; GR_PARAM_ST2 and GR_PARAM_Q2 are accepted and stored nowhere.
const size_t storedVertexParams = 12;
const size_t vertexParamCount = sizeof(vertexParams) / sizeof(vertexParams[0]);

// grVertexLayout offsets are read as a byte counting words.
const FxI32 vertexOffsetUnit = 4;

} // namespace fuzzinput

#endif
