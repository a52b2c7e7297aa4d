// How often the calls that Glide 2 and Glide 3 share are drawn: those a game makes every frame come first.
// Included by each target's input header after its operation list.
#ifndef KESTRIX_GLIDE_FRAME_WEIGHTS_H
#define KESTRIX_GLIDE_FRAME_WEIGHTS_H

namespace fuzzinput {

inline int frameCallWeight(Op op) {
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

} // namespace fuzzinput

#endif
