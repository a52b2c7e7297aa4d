// The calls whose Glide 2 and Glide 3 forms take the same arguments, read from the input the same way by
// both call-sequence targets. Included by each target after its Glide header and its operation list, and
// after it has defined the few things that differ:
//   size_t levelBytes(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format): one level's texels;
//   size_t textureBytes(const GrTexInfo &): the texels an application gives with it;
//   FxU32 lockedLines(): the lines of the screen a frame-buffer lock covers;
//   FxBool readPixelPipeline(Reader &) and writeRegion(...): grLfbWriteRegion's pixel-pipeline argument,
//   which only Glide 3 has, and the call with or without it.
#ifndef KESTRIX_GLIDE_COMMON_CALLS_H
#define KESTRIX_GLIDE_COMMON_CALLS_H

namespace {

const size_t fogTableEntries = 64;

void errorCallback(const char *, FxBool) {
    fprintf(stderr, "grErrorSetCallback's function was called\n");
    abort();
}

// grSstWinOpen: the context (Glide 3) or success (Glide 2), and the resolution asked for.
FxU32 openWindow(Reader &in, HWND window, GrScreenResolution_t &resolution) {
    FxU32 hwnd = windowArgument(in, window);
    resolution = resolutionArgument(in);
    GrScreenRefresh_t refresh = in.num();
    GrColorFormat_t format = in.num();
    GrOriginLocation_t origin = in.num();
    int color = in.num(), aux = in.num();
    return static_cast<FxU32>(grSstWinOpen(hwnd, resolution, refresh, format, origin, color, aux));
}

// Makes the call when it is one of these; false when the target has to.
bool runCommonCall(Op op, Reader &in) {
    switch (op) {
    case op_grAlphaBlendFunction:
        grAlphaBlendFunction(in.num(), in.num(), in.num(), in.num());
        break;
    case op_grAlphaCombine:
        grAlphaCombine(in.num(), in.num(), in.num(), in.num(), in.num());
        break;
    case op_grAlphaControlsITRGBLighting:
        grAlphaControlsITRGBLighting(in.num());
        break;
    case op_grAlphaTestFunction:
        grAlphaTestFunction(in.num());
        break;
    case op_grAlphaTestReferenceValue:
        grAlphaTestReferenceValue(in.unum());
        break;
    case op_grBufferClear:
        grBufferClear(in.unum(), in.unum(), in.unum());
        break;
    case op_grBufferSwap:
        grBufferSwap(in.num());
        break;
    case op_grChromakeyMode:
        grChromakeyMode(in.num());
        break;
    case op_grChromakeyValue:
        grChromakeyValue(in.unum());
        break;
    case op_grClipWindow:
        grClipWindow(in.unum(), in.unum(), in.unum(), in.unum());
        break;
    case op_grColorCombine:
        grColorCombine(in.num(), in.num(), in.num(), in.num(), in.num());
        break;
    case op_grColorMask:
        grColorMask(in.num(), in.num());
        break;
    case op_grConstantColorValue:
        grConstantColorValue(in.unum());
        break;
    case op_grCullMode:
        grCullMode(in.num());
        break;
    case op_grDepthBiasLevel:
        grDepthBiasLevel(in.num());
        break;
    case op_grDepthBufferFunction:
        grDepthBufferFunction(in.num());
        break;
    case op_grDepthBufferMode:
        grDepthBufferMode(in.num());
        break;
    case op_grDepthMask:
        grDepthMask(in.num());
        break;
    case op_grDisableAllEffects:
        grDisableAllEffects();
        break;
    case op_grDitherMode:
        grDitherMode(in.num());
        break;
    case op_grErrorSetCallback:
        grErrorSetCallback(nullPointer(in) ? nullptr : errorCallback);
        break;
    case op_grFogColorValue:
        grFogColorValue(in.unum());
        break;
    case op_grFogMode:
        grFogMode(in.num());
        break;
    case op_grFogTable: {
        Buffer table(fogTableEntries);
        table.fill(in);
        grFogTable(nullPointer(in) ? nullptr : table.bytes);
        break;
    }
    case op_grGlideInit:
        grGlideInit();
        break;
    case op_grGlideShutdown:
        grGlideShutdown();
        break;
    case op_grLfbConstantAlpha:
        grLfbConstantAlpha(in.unum());
        break;
    case op_grLfbConstantDepth:
        grLfbConstantDepth(in.unum());
        break;
    case op_grLfbLock: {
        GrLock_t type = in.num();
        GrBuffer_t buffer = in.num();
        GrLfbWriteMode_t mode = in.num();
        GrOriginLocation_t origin = in.num();
        FxBool pipeline = in.num();
        std::vector<GrLfbInfo_t> info(1);
        info[0].size = sizeof(GrLfbInfo_t);
        bool nullInfo = nullPointer(in);
        uint8_t value = in.byte();
        if (grLfbLock(type, buffer, mode, origin, pipeline, nullInfo ? nullptr : info.data()) && !nullInfo)
            touchLockedMemory(info[0].lfbPtr, info[0].strideInBytes, lockedLines(), value);
        break;
    }
    case op_grLfbReadRegion: {
        GrBuffer_t buffer = in.num();
        FxU32 x = in.unum(), y = in.unum(), width = in.unum(), height = in.unum(), stride = in.unum();
        uint64_t bytes = lfbReadBytes(width, height, stride);
        if (bytes > bufferLimit) break;
        Buffer data(static_cast<size_t>(bytes));
        grLfbReadRegion(buffer, x, y, width, height, stride, nullPointer(in) ? nullptr : data.bytes);
        break;
    }
    case op_grLfbUnlock:
        grLfbUnlock(in.num(), in.num());
        break;
    case op_grLfbWriteColorFormat:
        grLfbWriteColorFormat(in.num());
        break;
    case op_grLfbWriteColorSwizzle:
        grLfbWriteColorSwizzle(in.num(), in.num());
        break;
    case op_grRenderBuffer:
        grRenderBuffer(in.num());
        break;
    case op_grSplash: {
        float x = in.fl(), y = in.fl(), w = in.fl(), h = in.fl();
        grSplash(x, y, w, h, in.unum());
        break;
    }
    case op_grSstOrigin:
        grSstOrigin(in.num());
        break;
    case op_grSstSelect:
        grSstSelect(in.num());
        break;
    case op_grTexCalcMemRequired:
        grTexCalcMemRequired(in.num(), in.num(), in.num(), in.num());
        break;
    case op_grTexClampMode:
        grTexClampMode(in.num(), in.num(), in.num());
        break;
    case op_grTexCombine:
        grTexCombine(in.num(), in.num(), in.num(), in.num(), in.num(), in.num(), in.num());
        break;
    case op_grTexDetailControl: {
        GrChipID_t tmu = in.num();
        int bias = in.num();
        FxU8 scale = in.byte();
        grTexDetailControl(tmu, bias, scale, in.fl());
        break;
    }
    case op_grTexDownloadMipMap:
    case op_grTexSource:
    case op_grTexMultibaseAddress:
    case op_grTexTextureMemRequired: {
        GrChipID_t tmu = in.num();
        FxU32 address = in.unum(), evenOdd = in.unum();
        GrTexBaseRange_t range = in.num();
        std::vector<GrTexInfo> info(1);
        GrLOD_t smallLod = in.num(), largeLod = in.num();
        GrAspectRatio_t aspect = in.num();
        GrTextureFormat_t format = in.num();
        info[0] = GrTexInfo{smallLod, largeLod, aspect, format, nullptr};
        Buffer texels(textureBytes(info[0]));
        texels.fill(in);
        info[0].data = nullPointer(in) ? nullptr : texels.bytes;
        GrTexInfo *pointer = nullPointer(in) ? nullptr : info.data();
        if (op == op_grTexDownloadMipMap) grTexDownloadMipMap(tmu, address, evenOdd, pointer);
        if (op == op_grTexSource) grTexSource(tmu, address, evenOdd, pointer);
        if (op == op_grTexMultibaseAddress) grTexMultibaseAddress(tmu, range, address, evenOdd, pointer);
        if (op == op_grTexTextureMemRequired) grTexTextureMemRequired(evenOdd, pointer);
        break;
    }
    case op_grTexDownloadMipMapLevel:
    case op_grTexDownloadMipMapLevelPartial: {
        GrChipID_t tmu = in.num();
        FxU32 address = in.unum();
        GrLOD_t thisLod = in.num(), largeLod = in.num();
        GrAspectRatio_t aspect = in.num();
        GrTextureFormat_t format = in.num();
        FxU32 evenOdd = in.unum();
        int start = in.num(), end = in.num();
        Buffer texels(levelBytes(thisLod, aspect, format));
        texels.fill(in);
        void *data = nullPointer(in) ? nullptr : texels.bytes;
        if (op == op_grTexDownloadMipMapLevel)
            grTexDownloadMipMapLevel(tmu, address, thisLod, largeLod, aspect, format, evenOdd, data);
        else
            grTexDownloadMipMapLevelPartial(tmu, address, thisLod, largeLod, aspect, format, evenOdd, data,
                                            start, end);
        break;
    }
    case op_grTexFilterMode:
        grTexFilterMode(in.num(), in.num(), in.num());
        break;
    case op_grTexLodBiasValue: {
        GrChipID_t tmu = in.num();
        grTexLodBiasValue(tmu, in.fl());
        break;
    }
    case op_grTexMaxAddress:
        grTexMaxAddress(in.num());
        break;
    case op_grTexMinAddress:
        grTexMinAddress(in.num());
        break;
    case op_grTexMipMapMode:
        grTexMipMapMode(in.num(), in.num(), in.num());
        break;
    case op_grTexMultibase:
        grTexMultibase(in.num(), in.num());
        break;
    case op_guFogGenerateExp:
    case op_guFogGenerateExp2:
    case op_guFogGenerateLinear: {
        Buffer table(fogTableEntries);
        GrFog_t *pointer = nullPointer(in) ? nullptr : table.bytes;
        float a = in.fl(), b = in.fl();
        if (op == op_guFogGenerateExp) guFogGenerateExp(pointer, a);
        if (op == op_guFogGenerateExp2) guFogGenerateExp2(pointer, a);
        if (op == op_guFogGenerateLinear) guFogGenerateLinear(pointer, a, b);
        break;
    }
    case op_guFogTableIndexToW:
        guFogTableIndexToW(in.num());
        break;
    case op_loseSurfaces:
        loseSurfaces();
        break;
    case op_failNextCall:
        failNextCall(in);
        break;
    case op_reloadLibrary:
        reloadLibrary();
        break;
    case op_setVerticalBlank:
        setVerticalBlank(in);
        break;
    case op_grLfbWriteRegion: {
        GrBuffer_t buffer = in.num();
        FxU32 x = in.unum(), y = in.unum();
        GrLfbSrcFmt_t format = in.num();
        FxU32 width = in.unum(), height = in.unum();
        FxBool pipeline = readPixelPipeline(in);
        FxI32 stride = in.num();
        uint64_t bytes = lfbWriteBytes(format, width, height, stride);
        if (bytes > bufferLimit) break;
        Buffer data(static_cast<size_t>(bytes));
        data.fill(in);
        uint8_t *first = lfbFirstRow(data, height, stride);
        writeRegion(buffer, x, y, format, width, height, pipeline, stride, nullPointer(in) ? nullptr : first);
        break;
    }
    default:
        return false;
    }
    return true;
}

} // namespace

#endif
