// The seed writers' calls that Glide 2 and Glide 3 share, written as glide_common_calls.h reads them
// back. Included by each seed writer after its Glide header and its operation list.
#ifndef KESTRIX_GLIDE_COMMON_SEED_H
#define KESTRIX_GLIDE_COMMON_SEED_H

#include "call_fuzz_seed.h"

namespace fuzzinput {

class CommonSeed : public BasicSeed<Writer> {
  public:
    using BasicSeed::BasicSeed;
    virtual ~CommonSeed() = default;

    // grLfbWriteRegion's pixel-pipeline argument, which only Glide 3 has.
    virtual void pixelPipeline() {}
    void lfbWrite(int buffer, uint32_t x, uint32_t y, int format, uint32_t width, uint32_t height,
                  int stride) {
        w.op(op_grLfbWriteRegion);
        w.num(buffer);
        w.num(x);
        w.num(y);
        w.num(format);
        w.num(width);
        w.num(height);
        pixelPipeline();
        w.num(stride);
        fill(static_cast<uint8_t>(format * 29 + 1));
        valid();
    }

    void glideInit() { w.op(op_grGlideInit); }
    void glideShutdown() { w.op(op_grGlideShutdown); }
    // What every program does first.
    void start(int resolution, int origin = GR_ORIGIN_UPPER_LEFT) {
        glideInit();
        winOpen(resolution, origin);
    }
    void winOpen(int resolution, int origin = GR_ORIGIN_UPPER_LEFT, int format = GR_COLORFORMAT_ARGB) {
        w.op(op_grSstWinOpen);
        w.byte(0); // the game's window
        w.num(resolution);
        w.num(GR_REFRESH_60Hz);
        w.num(format);
        w.num(origin);
        w.num(2);
        w.num(1);
    }
    void bufferClear(uint32_t color, uint32_t alpha, uint32_t depth) {
        w.op(op_grBufferClear);
        w.num(color);
        w.num(alpha);
        w.num(depth);
    }
    void bufferSwap(int interval) {
        w.op(op_grBufferSwap);
        w.num(interval);
    }
    void renderBuffer(int buffer) {
        w.op(op_grRenderBuffer);
        w.num(buffer);
    }
    void splash(float x, float y, float width, float height) {
        w.op(op_grSplash);
        w.fl(x);
        w.fl(y);
        w.fl(width);
        w.fl(height);
        w.num(0);
    }
    void simple(Op op) { w.op(op); }
    void oneArg(Op op, int64_t value) {
        w.op(op);
        w.num(value);
    }
    void combine(Op op, int function, int factor, int local, int other, int invert) {
        w.op(op);
        w.num(function);
        w.num(factor);
        w.num(local);
        w.num(other);
        w.num(invert);
    }
    void alphaBlend(int sf, int df) {
        w.op(op_grAlphaBlendFunction);
        w.num(sf);
        w.num(df);
        w.num(sf);
        w.num(df);
    }
    void texClamp(int tmu, int s, int t) {
        w.op(op_grTexClampMode);
        w.num(tmu);
        w.num(s);
        w.num(t);
    }
    void texFilter(int tmu, int minFilter, int magFilter) {
        w.op(op_grTexFilterMode);
        w.num(tmu);
        w.num(minFilter);
        w.num(magFilter);
    }
    void texMipMap(int tmu, int mode) {
        w.op(op_grTexMipMapMode);
        w.num(tmu);
        w.num(mode);
        w.num(0);
    }
    // grTexDownloadMipMap or grTexSource with a GrTexInfo.
    void texInfoCall(Op op, int tmu, uint32_t address, int smallLod, int largeLod, int aspect, int format,
                     uint8_t fillSeed) {
        w.op(op);
        w.num(tmu);
        w.num(address);
        w.num(GR_MIPMAPLEVELMASK_BOTH);
        w.num(0); // range
        w.num(smallLod);
        w.num(largeLod);
        w.num(aspect);
        w.num(format);
        fill(fillSeed);
        valid(); // data
        valid(); // info
    }
    void texLevel(int tmu, uint32_t address, int thisLod, int largeLod, int aspect, int format,
                  Op op = op_grTexDownloadMipMapLevel) {
        w.op(op);
        w.num(tmu);
        w.num(address);
        w.num(thisLod);
        w.num(largeLod);
        w.num(aspect);
        w.num(format);
        w.num(GR_MIPMAPLEVELMASK_BOTH);
        w.num(0);
        w.num(0);
        fill(static_cast<uint8_t>(thisLod * 11));
        valid();
    }
    void lfbLock(int type, int buffer, int mode, uint8_t value) {
        w.op(op_grLfbLock);
        w.num(type);
        w.num(buffer);
        w.num(mode);
        w.num(GR_ORIGIN_UPPER_LEFT);
        w.num(FXFALSE);
        valid();
        w.byte(value);
    }
    void lfbUnlock(int type, int buffer) {
        w.op(op_grLfbUnlock);
        w.num(type);
        w.num(buffer);
    }
    void lfbRead(int buffer, uint32_t x, uint32_t y, uint32_t width, uint32_t height, uint32_t stride) {
        w.op(op_grLfbReadRegion);
        w.num(buffer);
        w.num(x);
        w.num(y);
        w.num(width);
        w.num(height);
        w.num(stride);
        valid();
    }
    void fogExp(float density) {
        w.op(op_guFogGenerateExp);
        valid();
        w.fl(density);
        w.fl(0.0f);
    }
};

} // namespace fuzzinput

#endif
