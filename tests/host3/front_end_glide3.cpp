// The shared engine tests through tessel3.
#include "front_end.h"

#include <cstddef>

#include "glide3_fixture.h"
#include "glide3x.h"

namespace {

struct PointVertex {
    float x, y, q;
};

class Glide3FrontEnd : public FrontEnd {
  public:
    void setSetting(const char *name, DWORD value) override { Glide3Test::storeSetting(name, value); }

    bool initAndOpen(HWND window) override {
        grGlideInit();
        if (grSstWinOpen(static_cast<FxU32>(reinterpret_cast<uintptr_t>(window)), GR_RESOLUTION_640x480,
                         GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1) == 0)
            return false;
        grVertexLayout(GR_PARAM_XY, offsetof(PointVertex, x), GR_PARAM_ENABLE);
        grVertexLayout(GR_PARAM_Q, offsetof(PointVertex, q), GR_PARAM_ENABLE);
        return true;
    }

    void close() override { grSstWinClose(1); }

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
        grFogMode(GR_FOG_WITH_TABLE_ON_W);
    }

    void drawPoint(float x, float y, float w) override {
        PointVertex v = {x, y, 1.0f / w};
        grDrawPoint(&v);
    }
};

Glide3FrontEnd glide3;

} // namespace

INSTANTIATE_TEST_SUITE_P(Glide3, EngineBehaviour, ::testing::Values(&glide3));
