// A Glide 2 session ready to draw, Glide vertices to draw with, and the Direct3D vertices that reached the
// device.
#ifndef KESTRIX_GLIDE2_DRAW_DRIVER_H
#define KESTRIX_GLIDE2_DRAW_DRIVER_H

#include "glide2_texture_driver.h"

#include <cstring>

#include "render/color_codes.h"

inline GrVertex glideVertex(float x, float y, float oow = 1.0f) {
    GrVertex v;
    std::memset(&v, 0, sizeof(v));
    v.x = x;
    v.y = y;
    v.oow = oow;
    v.a = 255.0f;
    return v;
}

// A vertex of this ARGB colour.
inline GrVertex coloredVertex(float x, float y, FxU32 argb) {
    GrVertex v = glideVertex(x, y);
    v.a = static_cast<float>(argb >> 24);
    v.r = static_cast<float>((argb >> 16) & 0xFF);
    v.g = static_cast<float>((argb >> 8) & 0xFF);
    v.b = static_cast<float>(argb & 0xFF);
    return v;
}

// The colour codes that compute a vertex's diffuse and specular colours, each in its RGB and alpha form.
struct ColorCodes {
    FxU32 diffuseRgb, diffuseAlpha, specularRgb, specularAlpha;
};

const FxU32 everyColorCode[] = {codeVertex,
                                codeConstant,
                                codeHalfVertex,
                                codeHalfConstant,
                                codeInverseVertex,
                                codeInverseConstant,
                                codeVertexMinusConstant,
                                codeConstantMinusVertex,
                                codeQuarterVertex,
                                codeVertexTimesConstant,
                                codeOneMinusVertexTimesConstant,
                                codeBlack,
                                codeWhite};
// Codes that read the local alpha: their alpha forms repeat those of earlier codes, so only their RGB forms
// are told apart.
const FxU32 localAlphaColorCodes[] = {codeVertexAlpha,
                                      codeConstantAlpha,
                                      codeVertexTimesVertexAlpha,
                                      codeVertexTimesConstantAlpha,
                                      codeConstantTimesVertexAlpha,
                                      codeConstantTimesConstantAlpha};
const FxU32 unrecognisedCode = 0xFFFFFFFF;

// Three vertex colours and a constant colour under which no two codes give the same three results, in the
// RGB form or in the alpha form.
const FxU32 revealingVertexColors[3] = {0x40206080, 0xC0E01040, 0x10A0C0F0};
const FxU32 revealingConstant = 0x60C04020;

// The one code that gives these results for the revealing colours, by its alpha form (the alpha bytes) or
// its RGB form (the rest); unrecognisedCode when none does or more than one.
inline FxU32 codeGiving(const FxU32 results[3], bool alphaForm) {
    FxU32 found = unrecognisedCode;
    auto search = [&](FxU32 code) {
        bool gives = true;
        for (int i = 0; i < 3; ++i) {
            FxU32 v = revealingVertexColors[i], k = revealingConstant;
            gives = gives && (alphaForm ? colorCodeAlpha(code, v, k) == (results[i] & 0xFF000000u)
                                        : colorCodeRgb(code, v, k) == (results[i] & 0x00FFFFFFu));
        }
        if (!gives) return true;
        if (found != unrecognisedCode) return false;
        found = code;
        return true;
    };
    for (FxU32 code : everyColorCode)
        if (!search(code)) return unrecognisedCode;
    if (!alphaForm)
        for (FxU32 code : localAlphaColorCodes)
            if (!search(code)) return unrecognisedCode;
    return found;
}

class Glide2DrawTest : public Glide2TextureTest {
  protected:
    // Settings are read by grGlideInit: (re)opens a 640x480 session after storing these values.
    void openWith(const std::vector<std::pair<const char *, DWORD>> &values,
                  GrOriginLocation_t origin = GR_ORIGIN_UPPER_LEFT) {
        grSstWinClose(); // nothing when no session is open
        for (const auto &value : values)
            setProductDword(value.first, value.second);
        grGlideInit();
        ASSERT_EQ(open(GR_RESOLUTION_640x480, origin), FXTRUE);
        sim::clearCalls();
    }

    // One point through the whole conversion.
    static TlVertex drawnPoint(const GrVertex &vertex) {
        sim::clearCalls();
        grDrawPoint(&vertex);
        std::vector<TlVertex> drawn = drawnVertices();
        return drawn.empty() ? TlVertex{} : drawn[0];
    }

    // The colour codes the combine calls chose, recognised in the colours of a triangle drawn in the
    // revealing colours. Leaves the revealing constant colour set.
    static ColorCodes drawnCodes() {
        const ColorCodes none = {unrecognisedCode, unrecognisedCode, unrecognisedCode, unrecognisedCode};
        grConstantColorValue(revealingConstant);
        GrVertex v[3];
        for (int i = 0; i < 3; ++i)
            v[i] = coloredVertex(10.0f * i, 10.0f, revealingVertexColors[i]);
        size_t from = sim::calls().size();
        grDrawTriangle(&v[0], &v[1], &v[2]);
        size_t at = findCall("DrawPrimitive", from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no triangle was drawn";
            return none;
        }
        std::vector<TlVertex> drawn = verticesOf(sim::calls()[at]);
        if (drawn.size() != 3) {
            ADD_FAILURE() << drawn.size() << " vertices drawn";
            return none;
        }
        const FxU32 diffuse[3] = {drawn[0].diffuse, drawn[1].diffuse, drawn[2].diffuse};
        const FxU32 specular[3] = {drawn[0].specular, drawn[1].specular, drawn[2].specular};
        return {codeGiving(diffuse, false), codeGiving(diffuse, true), codeGiving(specular, false),
                codeGiving(specular, true)};
    }

    // A point drawn at 1/w = 0.5 with s/w and t/w of 32 on both TMUs: rhw is 1/w while a texture is in force
    // on either TMU, and each TMU's coordinates are 64 texels scaled by the size of the texture in force
    // there, 0.25 along the longer side (TMU 1's only with the TMU setting). Keeps the calls recorded so far.
    static TlVertex texturedPoint() {
        GrVertex v = glideVertex(10, 10, 0.5f);
        for (int tmu = 0; tmu < 2; ++tmu) {
            v.tmuvtx[tmu].sow = 32.0f;
            v.tmuvtx[tmu].tow = 32.0f;
        }
        size_t from = sim::calls().size();
        grDrawPoint(&v);
        size_t at = findCall("DrawPrimitive", from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no point was drawn";
            return TlVertex{};
        }
        std::vector<TlVertex> drawn = verticesOf(sim::calls()[at]);
        return drawn.size() == 1 ? drawn[0] : TlVertex{};
    }

    static FxU32 triangles() {
        FxU32 processed = 0, drawn = 0;
        grTriStats(&processed, &drawn);
        return drawn;
    }

    // A 565 texture of this size downloaded at address 0 of tmu and bound there.
    static void bindTexture565(GrChipID_t tmu, GrLOD_t lod, GrAspectRatio_t aspect) {
        static FxU16 texels[256 * 256];
        GrTexInfo info = texInfo(lod, aspect, GR_TEXFMT_RGB_565, texels);
        grTexDownloadMipMap(tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexSource(tmu, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    }
};

#endif
