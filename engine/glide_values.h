// What both Glide libraries share with the engine: Glide's integer types and the values of the Glide
// enumerations the engine reads, which Glide 2.x and 3.x number alike. The public Glide headers stay with
// the front ends; the types repeat theirs exactly, so a front end may include both.
#ifndef KESTRIX_GLIDE_VALUES_H
#define KESTRIX_GLIDE_VALUES_H

typedef unsigned char FxU8;
typedef signed char FxI8;
typedef unsigned short FxU16;
typedef short FxI16;
typedef unsigned int FxU32;
typedef int FxI32;
typedef int FxBool;
typedef float FxFloat;

#ifndef FXTRUE
#define FXTRUE 1
#define FXFALSE 0
#endif

const FxI32 enableModeOrderedAntialiasing = 0x1;
const FxI32 enableModeShamelessPlug = 0x4;

const FxI32 tmu0 = 0;
const FxI32 tmu1 = 1;

const FxI32 combineFunctionZero = 0x0;
const FxI32 combineFunctionLocal = 0x1;
const FxI32 combineFunctionLocalAlpha = 0x2;
const FxI32 combineFunctionScaleOther = 0x3;
const FxI32 combineFunctionScaleOtherAddLocal = 0x4;
const FxI32 combineFunctionScaleOtherAddLocalAlpha = 0x5;
const FxI32 combineFunctionScaleOtherMinusLocal = 0x6;
const FxI32 combineFunctionBlend = 0x7; // scale other minus local add local
const FxI32 combineFunctionScaleOtherMinusLocalAddLocalAlpha = 0x8;
const FxI32 combineFunctionScaleMinusLocalAddLocal = 0x9;

const FxI32 combineFactorZero = 0x0;
const FxI32 combineFactorLocal = 0x1;
const FxI32 combineFactorOtherAlpha = 0x2;
const FxI32 combineFactorLocalAlpha = 0x3;
const FxI32 combineFactorTextureAlpha = 0x4;
const FxI32 combineFactorTextureRgb = 0x5;
const FxI32 combineFactorOne = 0x8;
const FxI32 combineFactorOneMinusLocal = 0x9;
const FxI32 combineFactorOneMinusOtherAlpha = 0xa;
const FxI32 combineFactorOneMinusLocalAlpha = 0xb;
const FxI32 combineFactorOneMinusTextureAlpha = 0xc;

const FxI32 combineLocalIterated = 0x0;
const FxI32 combineLocalConstant = 0x1;

const FxI32 combineOtherIterated = 0x0;
const FxI32 combineOtherTexture = 0x1;
const FxI32 combineOtherConstant = 0x2;

const FxI32 blendZero = 0x0;
const FxI32 blendOne = 0x4;

const FxI32 cmpAlways = 0x7;

const FxI32 colorFormatArgb = 0x0;
const FxI32 colorFormatAbgr = 0x1;
const FxI32 colorFormatRgba = 0x2;
const FxI32 colorFormatBgra = 0x3;

const FxI32 cullDisable = 0x0;
const FxI32 cullNegative = 0x1;
const FxI32 cullPositive = 0x2;

const FxI32 depthBufferDisable = 0x0;
const FxI32 depthBufferZBuffer = 0x1;
const FxI32 depthBufferWBuffer = 0x2;
const FxI32 depthBufferZBufferCompareToBias = 0x3;
const FxI32 depthBufferWBufferCompareToBias = 0x4;

const FxI32 ditherDisable = 0x0;
const FxI32 fogDisable = 0x0;
const FxI32 fogMult2 = 0x100;
const FxI32 fogAdd2 = 0x200;
const FxI32 chromakeyDisable = 0x0;

const FxI32 originUpperLeft = 0x0;
const FxI32 originLowerLeft = 0x1;
const FxI32 originAny = 0xFF;

const FxI32 bufferFront = 0x0;
const FxI32 bufferBack = 0x1;

const FxI32 textureClampWrap = 0x0;

const FxI32 mipmapDisable = 0x0;
const FxI32 mipmapNearest = 0x1;
const FxI32 mipmapNearestDither = 0x2;

const FxU32 texTableNcc0 = 0x0;
const FxU32 texTableNcc1 = 0x1;

const FxI32 texFmtRgb332 = 0x0;
const FxI32 texFmtYiq422 = 0x1;
const FxI32 texFmtAlpha8 = 0x2;
const FxI32 texFmtIntensity8 = 0x3;
const FxI32 texFmtAlphaIntensity44 = 0x4;
const FxI32 texFmtP8 = 0x5;
const FxI32 texFmt16Bit = 0x8; // the first format of two bytes a texel
const FxI32 texFmtArgb8332 = 0x8;
const FxI32 texFmtAyiq8422 = 0x9;
const FxI32 texFmtRgb565 = 0xa;
const FxI32 texFmtArgb1555 = 0xb;
const FxI32 texFmtArgb4444 = 0xc;
const FxI32 texFmtAlphaIntensity88 = 0xd;
const FxI32 texFmtAp88 = 0xe;

const FxI32 lfbWriteMode565 = 0x0;
const FxI32 lfbWriteMode555 = 0x1;
const FxI32 lfbWriteMode1555 = 0x2;
const FxI32 lfbWriteMode888 = 0x4;
const FxI32 lfbWriteMode8888 = 0x5;
const FxI32 lfbWriteMode565Depth = 0xc;
const FxI32 lfbWriteMode555Depth = 0xd;
const FxI32 lfbWriteMode1555Depth = 0xe;
const FxI32 lfbWriteModeAny = 0xff;

const FxI32 lfbSrcFmt565 = 0x00;
const FxI32 lfbSrcFmt555 = 0x01;
const FxI32 lfbSrcFmt1555 = 0x02;
const FxI32 lfbSrcFmt888 = 0x04;
const FxI32 lfbSrcFmt8888 = 0x05;
const FxI32 lfbSrcFmt565Depth = 0x0c;
const FxI32 lfbSrcFmt555Depth = 0x0d;
const FxI32 lfbSrcFmt1555Depth = 0x0e;

const FxI32 lfbIdle = 0x00;
const FxI32 lfbNoIdle = 0x10;

#endif
