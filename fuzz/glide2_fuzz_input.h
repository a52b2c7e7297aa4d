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

// How often each operation is drawn: the calls a game makes every frame come first.
inline int opWeight(Op op) {
    switch (op) {
    case op_grDrawTriangle:
    case op_grTexSource:
    case op_grColorCombine:
    case op_grAlphaCombine:
    case op_grBufferSwap:
    case op_grTexDownloadMipMap:
    case op_grLfbLock:
    case op_grLfbUnlock:
        return 4;
    case op_grDrawPolygonVertexList:
    case op_grDrawPolygon:
    case op_grDrawLine:
    case op_grDrawPoint:
    case op_grBufferClear:
    case op_grTexDownloadMipMapLevel:
    case op_grTexDownloadTable:
    case op_grLfbWriteRegion:
    case op_grLfbReadRegion:
    case op_grGlideInit:
    case op_grDepthBufferMode:
    case op_grAlphaBlendFunction:
    case op_grConstantColorValue:
    case op_grTexClampMode:
    case op_grTexFilterMode:
    case op_grFogMode:
        return 2;
    default:
        return 1;
    }
}

typedef WeightedOpTable<Op, opCount, opWeight> OpTable;
typedef OpWriter<OpTable> Writer;

} // namespace fuzzinput

#endif
