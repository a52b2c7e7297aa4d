// The shared engine tests through tessel2.
#include "front_end.h"

#include "glide2x.h"
#include "glide2_driver.h"

namespace {

class Glide2FrontEnd : public FrontEnd {
  public:
    void setSetting(const char *name, DWORD value) override { Glide2Test::storeSetting(name, value); }

    bool initAndOpen(HWND window) override {
        grGlideInit();
        return grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                            GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1) == FXTRUE;
    }

    void close() override { grSstWinClose(); }

    void blendFunction(FxI32 rgbSource, FxI32 rgbDestination) override {
        grAlphaBlendFunction(rgbSource, rgbDestination, GR_BLEND_ONE, GR_BLEND_ZERO);
    }

    void colorMask(bool rgb, bool alpha) override {
        grColorMask(rgb ? FXTRUE : FXFALSE, alpha ? FXTRUE : FXFALSE);
    }
    void fogColor(FxU32 argb) override { grFogColorValue(argb); }
    void fogGenerateExp(FxU8 table[fogTableSize], float density) override {
        guFogGenerateExp(table, density);
    }
    void fogGenerateExp2(FxU8 table[fogTableSize], float density) override {
        guFogGenerateExp2(table, density);
    }

    void fogGenerateLinear(FxU8 table[fogTableSize], float nearW, float farW) override {
        guFogGenerateLinear(table, nearW, farW);
    }

    void tableFog(const FxU8 table[fogTableSize]) override {
        grFogTable(table);
        grFogMode(GR_FOG_WITH_TABLE);
    }

    void drawPoint(float x, float y, float w) override {
        GrVertex v = {};
        v.x = x;
        v.y = y;
        v.oow = 1.0f / w;
        grDrawPoint(&v);
    }
};

Glide2FrontEnd glide2;

} // namespace

INSTANTIATE_TEST_SUITE_P(Glide2, EngineBehaviour, ::testing::Values(&glide2));
