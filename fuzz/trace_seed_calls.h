// The calls whose Glide 2 and Glide 3 forms the call-sequence targets read the same way
// (glide_common_calls.h), written from a recorded call. Included by each trace converter after its Glide
// header, its operation list and trace_seeds.h; kPixelPipeline says whether grLfbWriteRegion has the
// pixel-pipeline argument (Glide 3).
#ifndef KESTRIX_TRACE_SEED_CALLS_H
#define KESTRIX_TRACE_SEED_CALLS_H

namespace trace_seeds {

using namespace fuzzinput;

// The game's own window: the first of the target's window choices.
const uint8_t gameWindow = 0;
// What a lock writes when no held-lock bytes follow it in the trace.
const uint8_t unwrittenLock = 0;

// Calls whose every number parameter the targets read in order.
#define TRACE_SEED_SCALARS(name)                                                                             \
    case op_##name:                                                                                          \
        ScalarWriter<decltype(&name)>::write(call, w);                                                       \
        return true;

// grTexDownloadTable(Partial) from its table type at `type` on: the range (the whole palette for the full
// download) and the table's bytes.
inline void writeTableCall(Op op, const SeedCall &call, size_t type, Writer &w) {
    const int wholePaletteEnd = 255;
    const size_t data = type + 1, first = type + 2, last = type + 3;
    const bool partial = op == op_grTexDownloadTablePartial;
    w.num(call.word(type));
    w.num(partial ? call.word(first) : 0);
    w.num(partial ? call.word(last) : wholePaletteEnd);
    writeFill(w, call.argument(data));
    writePointer(w, call.null(data));
}

// A texture description and its texels: the argument at `info`, the numbers before it by position.
inline void writeTexInfoCall(const SeedCall &call, size_t tmu, size_t address, size_t evenOdd, size_t range,
                             size_t info, Writer &w) {
    const size_t none = ~size_t(0);
    w.num(tmu != none ? call.word(tmu) : 0);
    w.num(address != none ? call.word(address) : 0);
    w.num(call.word(evenOdd));
    w.num(range != none ? call.word(range) : 0);
    const TraceArgument *texture = call.argument(info);
    bool given = texture != nullptr && texture->tag == trace_format::textureTag;
    for (int i = 0; i < trace_format::textureWords; ++i)
        w.num(given ? texture->texture[i] : 0);
    writeFill(w, given ? texture : nullptr);
    writePointer(w, !given || texture->size == 0);
    writePointer(w, !given);
}

// grTexDownloadMipMapLevel and its partial form: the rows' range after the level's numbers.
inline void writeLevelCall(const SeedCall &call, bool partial, Writer &w) {
    const size_t levelWords = 7, data = 7, firstRow = 8, lastRow = 9;
    for (size_t i = 0; i < levelWords; ++i)
        w.num(call.word(i));
    w.num(partial ? call.word(firstRow) : 0);
    w.num(partial ? call.word(lastRow) : 0);
    writeFill(w, call.argument(data));
    writePointer(w, call.null(data));
}

inline void writeLfbWrite(const SeedCall &call, bool pixelPipeline, Writer &w) {
    const size_t beforePipeline = 6;
    size_t at = 0;
    for (; at < beforePipeline; ++at)
        w.num(call.word(at));
    if (pixelPipeline) w.num(call.word(at++));
    w.num(call.word(at++)); // stride
    writeFill(w, call.argument(at));
    writePointer(w, call.null(at));
}

inline void writeLfbLock(const SeedCall &call, Writer &w) {
    const size_t lockWords = 5, info = 5;
    for (size_t i = 0; i < lockWords; ++i)
        w.num(call.word(i));
    writePointer(w, call.null(info));
    w.byte(call.heldWrite != nullptr && call.heldWrite->size != 0 ? call.heldWrite->data[0] : unwrittenLock);
}

// Makes the call when it is one of the shared ones; false when the converter has to.
inline bool writeCommonCall(Op op, const SeedCall &call, bool pixelPipeline, Writer &w) {
    switch (op) {
        TRACE_SEED_SCALARS(grAlphaBlendFunction)
        TRACE_SEED_SCALARS(grAlphaCombine)
        TRACE_SEED_SCALARS(grAlphaControlsITRGBLighting)
        TRACE_SEED_SCALARS(grAlphaTestFunction)
        TRACE_SEED_SCALARS(grAlphaTestReferenceValue)
        TRACE_SEED_SCALARS(grBufferClear)
        TRACE_SEED_SCALARS(grBufferSwap)
        TRACE_SEED_SCALARS(grChromakeyMode)
        TRACE_SEED_SCALARS(grChromakeyValue)
        TRACE_SEED_SCALARS(grClipWindow)
        TRACE_SEED_SCALARS(grColorCombine)
        TRACE_SEED_SCALARS(grColorMask)
        TRACE_SEED_SCALARS(grConstantColorValue)
        TRACE_SEED_SCALARS(grCullMode)
        TRACE_SEED_SCALARS(grDepthBiasLevel)
        TRACE_SEED_SCALARS(grDepthBufferFunction)
        TRACE_SEED_SCALARS(grDepthBufferMode)
        TRACE_SEED_SCALARS(grDepthMask)
        TRACE_SEED_SCALARS(grDisableAllEffects)
        TRACE_SEED_SCALARS(grDitherMode)
        TRACE_SEED_SCALARS(grFogColorValue)
        TRACE_SEED_SCALARS(grFogMode)
        TRACE_SEED_SCALARS(grGlideInit)
        TRACE_SEED_SCALARS(grGlideShutdown)
        TRACE_SEED_SCALARS(grLfbConstantAlpha)
        TRACE_SEED_SCALARS(grLfbConstantDepth)
        TRACE_SEED_SCALARS(grLfbUnlock)
        TRACE_SEED_SCALARS(grLfbWriteColorFormat)
        TRACE_SEED_SCALARS(grLfbWriteColorSwizzle)
        TRACE_SEED_SCALARS(grRenderBuffer)
        TRACE_SEED_SCALARS(grSplash)
        TRACE_SEED_SCALARS(grSstOrigin)
        TRACE_SEED_SCALARS(grSstSelect)
        TRACE_SEED_SCALARS(grTexCalcMemRequired)
        TRACE_SEED_SCALARS(grTexClampMode)
        TRACE_SEED_SCALARS(grTexCombine)
        TRACE_SEED_SCALARS(grTexFilterMode)
        TRACE_SEED_SCALARS(grTexLodBiasValue)
        TRACE_SEED_SCALARS(grTexMaxAddress)
        TRACE_SEED_SCALARS(grTexMinAddress)
        TRACE_SEED_SCALARS(grTexMipMapMode)
        TRACE_SEED_SCALARS(grTexMultibase)
        TRACE_SEED_SCALARS(guFogTableIndexToW)
    case op_grTexDetailControl: // the detail scale is read as a byte
        w.num(call.word(0));
        w.num(call.word(1));
        w.byte(static_cast<uint8_t>(call.word(2)));
        writeFloat(w, call.real(3));
        return true;
    case op_grErrorSetCallback: // the target's callback stops the run: no game callback is replayed
        writePointer(w, true);
        return true;
    case op_grFogTable:
    case op_grGlideGetState:
    case op_grGlideSetState:
        writeFill(w, call.argument(0));
        writePointer(w, call.null(0));
        return true;
    case op_grSstWinOpen: {
        const size_t resolution = 1;
        w.byte(gameWindow);
        for (size_t i = resolution; i < call.count(); ++i)
            w.num(call.word(i));
        return true;
    }
    case op_grLfbLock:
        writeLfbLock(call, w);
        return true;
    case op_grLfbReadRegion: {
        const size_t readWords = 6, output = 6;
        for (size_t i = 0; i < readWords; ++i)
            w.num(call.word(i));
        writePointer(w, call.null(output));
        return true;
    }
    case op_grLfbWriteRegion:
        writeLfbWrite(call, pixelPipeline, w);
        return true;
    case op_grTexDownloadMipMap:
    case op_grTexSource:
        writeTexInfoCall(call, 0, 1, 2, ~size_t(0), 3, w);
        return true;
    case op_grTexMultibaseAddress:
        writeTexInfoCall(call, 0, 2, 3, 1, 4, w);
        return true;
    case op_grTexTextureMemRequired:
        writeTexInfoCall(call, ~size_t(0), ~size_t(0), 0, ~size_t(0), 1, w);
        return true;
    case op_grTexDownloadMipMapLevel:
    case op_grTexDownloadMipMapLevelPartial:
        writeLevelCall(call, op == op_grTexDownloadMipMapLevelPartial, w);
        return true;
    case op_guFogGenerateExp:
    case op_guFogGenerateExp2:
    case op_guFogGenerateLinear: {
        const size_t first = 1, second = 2;
        writePointer(w, call.null(0));
        writeFloat(w, call.real(first));
        writeFloat(w, op == op_guFogGenerateLinear ? call.real(second) : 0.0f);
        return true;
    }
    default:
        return false;
    }
}

#undef TRACE_SEED_SCALARS

} // namespace trace_seeds

#endif
