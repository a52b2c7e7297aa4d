// The engine behaviour both Glide libraries share, tested once: each test executable links one library and
// hands the shared tests an adapter that makes its calls. The tests then run once per library.
#ifndef KESTRIX_FRONT_END_H
#define KESTRIX_FRONT_END_H

#include <gtest/gtest.h>

#include "library_fixture.h"

// Blend factors, which both Glide versions number alike.
enum BlendFactor : FxI32 {
    factorZero = 0x0,
    factorSourceAlpha = 0x1,
    factorDestinationColor = 0x2, // the source colour as a destination factor
    factorDestinationAlpha = 0x3,
    factorOne = 0x4,
    factorOneMinusSourceAlpha = 0x5,
    factorOneMinusDestinationColor = 0x6, // one minus the source colour as a destination factor
    factorOneMinusDestinationAlpha = 0x7,
    factorAlphaSaturate = 0xF, // the pre-fog colour as a destination factor
};

const int fogTableSize = 64;

// One library's calls, with its own structures and values.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    // Stored where the settings program stores it, before grGlideInit reads the settings.
    virtual void setSetting(const char *name, DWORD value) = 0;
    // grGlideInit and a 640×480 window with the origin upper left.
    virtual bool initAndOpen(HWND window) = 0;
    virtual void close() = 0;
    virtual void blendFunction(FxI32 rgbSource, FxI32 rgbDestination) = 0; // alpha: one, zero
    virtual void colorMask(bool rgb, bool alpha) = 0;
    virtual void fogColor(FxU32 argb) = 0;
    virtual void fogGenerateExp(FxU8 table[fogTableSize], float density) = 0;
    virtual void fogGenerateExp2(FxU8 table[fogTableSize], float density) = 0;
    virtual void fogGenerateLinear(FxU8 table[fogTableSize], float nearW, float farW) = 0;
    // grFogTable, and the fog mode that reads the table at each vertex's w.
    virtual void tableFog(const FxU8 table[fogTableSize]) = 0;
    virtual void drawPoint(float x, float y, float w) = 0;
};

class EngineBehaviour : public LoadedLibraryTest, public ::testing::WithParamInterface<FrontEnd *> {
  protected:
    FrontEnd &glide() { return *GetParam(); }
};

#endif
