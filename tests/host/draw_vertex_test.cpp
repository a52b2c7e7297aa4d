// Vertex conversion as it reaches DrawPrimitive: snapped coordinates, depth from 1/w, rhw, texture
// coordinates through the aspect tables, the origin and FightingForceFix flips, and the colour codes.
#include "glide2_draw_driver.h"

#include <cmath>
#include <limits>
#include <random>

#include "session/processor.h"

namespace {

typedef Glide2DrawTest DrawVertexConversion;

// Colour and alpha straight from one local source.
void combineLocal(GrCombineLocal_t local) {
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, local, GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, local, GR_COMBINE_OTHER_NONE, FXFALSE);
}

TEST_F(DrawVertexConversion, SnappedCoordinatesLoseTheirOffsetFromTwoToTheNineteenUp) {
    openSession();
    struct Case {
        float in;
        float out;
    } cases[] = {
        {786432.5f, 0.5f},       {786432.0f + 639.25f, 639.25f},
        {524287.5f, 524287.5f},                               // just below 2^19: taken as it is
        {524288.0f, -262144.0f}, {786432.0f - 10.0f, -10.0f}, // a snapped negative coordinate
        {100.75f, 100.75f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        TlVertex d = drawnPoint(glideVertex(c.in, c.in));
        EXPECT_EQ(d.x, c.out);
        EXPECT_EQ(d.y, c.out);
    }
}

// As on the board: the z-buffer stores ooz, the w-buffer a value derived from 1/w.
TEST_F(DrawVertexConversion, DepthComesFromTheFieldTheDepthModeReads) {
    struct Case {
        GrDepthBufferMode_t mode;
        float oow;
        float zSlow; // ZFast 0: 1 - sqrt(oow) for the w-buffer modes
        float zFast; // ZFast 1: 1 - oow
    } cases[] = {
        {GR_DEPTHBUFFER_ZBUFFER, 0.25f, 0.25f, 0.25f}, // ooz / 65535 whatever ZFast says
        {GR_DEPTHBUFFER_WBUFFER, 0.25f, 0.5f, 0.75f},
        {GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS, 0.0625f, 0.25f, 0.25f},
        {GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS, 1.0f, 0.0f, 0.0f},
        {GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS, 0.0625f, 0.75f, 0.9375f},
        // No depth buffering: no depth is computed and a plain 0 is sent.
        {GR_DEPTHBUFFER_DISABLE, 0.25f, 0.0f, 0.0f},
        {5, 0.25f, 0.0f, 0.0f},
    };
    const float quarterOoz = 65535.0f / 4.0f;
    for (DWORD zFast : {0u, 1u}) {
        openWith({{"ZFast", zFast}});
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << "ZFast " << zFast << ", mode " << c.mode);
            grDepthBufferMode(c.mode);
            GrVertex v = glideVertex(10, 10, c.oow);
            v.z = 123.0f; // the Glide z never reaches the depth
            v.ooz = quarterOoz;
            EXPECT_FLOAT_EQ(drawnPoint(v).z, zFast ? c.zFast : c.zSlow);
        }
    }
}

TEST_F(DrawVertexConversion, RhwCarriesOneOverWOnlyWhileATextureIsBound) {
    struct Case {
        const char *name;
        DWORD tmuSetting;
        bool tmu0, tmu1;
        float rhw;
        bool tmu1Coordinates;
    } cases[] = {
        {"no texture", 0, false, false, 1.0f, false},
        {"TMU 0", 0, true, false, 0.5f, false},
        {"TMU 1 alone, TMU setting 0", 0, false, true, 0.5f, false},
        {"TMU 1 alone, TMU setting 1", 1, false, true, 0.5f, true},
        {"both, TMU setting 1", 1, true, true, 0.5f, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        openWith({{"TMU", c.tmuSetting}});
        if (c.tmu0) bindTexture565(GR_TMU0, GR_LOD_256, GR_ASPECT_1x1);
        if (c.tmu1) bindTexture565(GR_TMU1, GR_LOD_256, GR_ASPECT_1x1);
        GrVertex v = glideVertex(10, 10, 0.5f);
        for (int tmu = 0; tmu < 2; ++tmu) {
            v.tmuvtx[tmu].sow = 128.0f * 0.5f;
            v.tmuvtx[tmu].tow = 64.0f * 0.5f;
            v.tmuvtx[tmu].oow = 99.0f; // the per-TMU 1/w is not used
        }
        TlVertex d = drawnPoint(v);
        EXPECT_EQ(d.rhw, c.rhw);
        EXPECT_EQ(d.tu0, c.tmu0 ? 0.5f : 0.0f);
        EXPECT_EQ(d.tv0, c.tmu0 ? 0.25f : 0.0f);
        EXPECT_EQ(d.tu1, c.tmu1Coordinates ? 0.5f : 0.0f);
        EXPECT_EQ(d.tv1, c.tmu1Coordinates ? 0.25f : 0.0f);
    }
}

TEST_F(DrawVertexConversion, TextureCoordinatesFollowTheAspectOfTheBoundTexture) {
    openWith({{"TMU", 1}});
    struct Case {
        GrLOD_t lod;
        GrAspectRatio_t aspect;
        float s, t; // texels, before the division by w
        float tu, tv;
    } cases[] = {
        {GR_LOD_256, GR_ASPECT_8x1, 128.0f, 16.0f, 0.5f, 0.5f}, // 256 x 32
        {GR_LOD_256, GR_ASPECT_1x8, 16.0f, 128.0f, 0.5f, 0.5f}, // 32 x 256
        {GR_LOD_64, GR_ASPECT_2x1, 256.0f, 32.0f, 1.0f, 0.25f},
        {GR_LOD_64, GR_ASPECT_1x4, 16.0f, 64.0f, 0.25f, 0.25f},
        {GR_LOD_16, GR_ASPECT_1x1, 64.0f, 192.0f, 0.25f, 0.75f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.aspect);
        for (GrChipID_t tmu : {GR_TMU0, GR_TMU1}) {
            SCOPED_TRACE(tmu);
            bindTexture565(tmu, c.lod, c.aspect);
            const float oow = 0.25f;
            GrVertex v = glideVertex(10, 10, oow);
            v.tmuvtx[tmu].sow = c.s * oow;
            v.tmuvtx[tmu].tow = c.t * oow;
            TlVertex d = drawnPoint(v);
            EXPECT_FLOAT_EQ(tmu == GR_TMU0 ? d.tu0 : d.tu1, c.tu);
            EXPECT_FLOAT_EQ(tmu == GR_TMU0 ? d.tv0 : d.tv1, c.tv);
        }
    }
}

TEST_F(DrawVertexConversion, LowerLeftOriginAndFightingForceFixTurnThePicture) {
    struct Case {
        GrOriginLocation_t origin;
        DWORD fightingForceFix;
        float x, y;
    } cases[] = {
        {GR_ORIGIN_UPPER_LEFT, 0, 100.25f, 10.5f},
        {GR_ORIGIN_LOWER_LEFT, 0, 100.25f, 469.5f},
        {GR_ORIGIN_UPPER_LEFT, 1, 539.75f, 469.5f},
        // The two vertical flips cancel exactly; only x is mirrored.
        {GR_ORIGIN_LOWER_LEFT, 1, 539.75f, 10.5f},
        // Only the value 1 turns the picture.
        {GR_ORIGIN_UPPER_LEFT, 2, 100.25f, 10.5f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "origin " << c.origin << ", FightingForceFix " << c.fightingForceFix);
        openWith({{"FightingForceFix", c.fightingForceFix}}, c.origin);
        TlVertex d = drawnPoint(glideVertex(786432.0f + 100.25f, 10.5f));
        EXPECT_EQ(d.x, c.x);
        EXPECT_EQ(d.y, c.y);
    }
    // The origin set after the window is open counts as well.
    openWith({{"FightingForceFix", 0}});
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    EXPECT_EQ(drawnPoint(glideVertex(5, 10)).y, 470.0f);
}

TEST_F(DrawVertexConversion, ColorsFollowTheCombineModes) {
    typedef void (*Combine)();
    struct Case {
        const char *name;
        DWORD waveRace;
        Combine combine;
        FxU32 diffuse, specular;
    } cases[] = {
        // Vertex colour V = a 128, r 100, g 200, b 255; constant K = a 64, r 200, g 100, b 50.
        {"Gouraud", 0, [] { combineLocal(GR_COMBINE_LOCAL_ITERATED); }, 0x8064C8FF, 0x00000000},
        {"flat constant", 0, [] { combineLocal(GR_COMBINE_LOCAL_CONSTANT); }, 0x40C86432, 0x00000000},
        {"vertex RGB, constant alpha", 0,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                            GR_COMBINE_OTHER_NONE, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_NONE, FXFALSE);
         },
         0x4064C8FF, 0x00000000},
        {"code 192: vertex times constant", 0,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                            GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                            GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_CONSTANT, FXFALSE);
         },
         0x204E4E32, 0x00000000},
        {"code 193: one minus vertex times constant", 0,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOCAL,
                            GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOCAL,
                            GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
         },
         0xDEB1B1CD, 0x00000000},
        {"code 32 with a constant specular", 0,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE,
                            GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_ITERATED, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ONE,
                            GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_CONSTANT, FXFALSE);
         },
         0x400064CD, 0x40000000},
        {"texture times vertex", 0,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                            GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                            GR_COMBINE_OTHER_NONE, FXFALSE);
         },
         0x8064C8FF, 0x00000000},
        // WaveRace: the texture plus a quarter of the vertex colour, added as specular.
        {"texture times vertex under WaveRace", 1,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                            GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                            GR_COMBINE_OTHER_NONE, FXFALSE);
         },
         0x80000000, 0x0019323F},
        {"inverted zero is white", 0,
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_CONSTANT, FXTRUE);
             grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                            GR_COMBINE_OTHER_NONE, FXFALSE);
         },
         0x80FFFFFF, 0x00FFFFFF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        openWith({{"WaveRace", c.waveRace}});
        grConstantColorValue(0x40C86432);
        c.combine();
        GrVertex v = glideVertex(10, 10);
        v.r = 100.0f;
        v.g = 200.0f;
        v.b = 255.0f;
        v.a = 128.0f;
        TlVertex d = drawnPoint(v);
        EXPECT_EQ(d.diffuse, c.diffuse) << std::hex << d.diffuse;
        EXPECT_EQ(d.specular, c.specular) << std::hex << d.specular;
    }
}

// The conversion prepared for one triangle is kept for the next: a constant colour set between two
// triangles, with no other call, reaches the second one's vertices where the combine puts it there.
TEST_F(DrawVertexConversion, AStateCallBetweenTwoTrianglesReachesTheSecond) {
    openSession();
    combineLocal(GR_COMBINE_LOCAL_CONSTANT);
    const FxU32 first = 0x40C86432, second = 0x80102030;
    GrVertex a = glideVertex(10, 10), b = glideVertex(40, 10), c = glideVertex(10, 40);
    grConstantColorValue(first);
    sim::clearCalls();
    grDrawTriangle(&a, &b, &c);
    grConstantColorValue(second);
    grDrawTriangle(&a, &b, &c);
    std::vector<TlVertex> corners = drawnCorners(sim::callsNamed("DrawPrimitive"));
    const size_t cornersPerTriangle = 3;
    ASSERT_EQ(corners.size(), 2 * cornersPerTriangle);
    for (size_t i = 0; i < corners.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(corners[i].diffuse, i < cornersPerTriangle ? first : second)
            << std::hex << corners[i].diffuse;
    }
}

TEST_F(DrawVertexConversion, ColorChannelsAreTruncatedToTheirLowByte) {
    openSession();
    combineLocal(GR_COMBINE_LOCAL_ITERATED);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    struct Case {
        float channel;
        FxU32 byte;
    } cases[] = {
        {200.9f, 200}, {0.99f, 0},  {255.0f, 255}, {256.5f, 0},    {511.0f, 255}, {-1.0f, 255},
        {-0.5f, 0},    {3.0e9f, 0}, {-3.0e9f, 0},  {2.0e9f, 0x00}, {nan, 0},      {infinity, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.channel);
        // One odd channel at a time: the other three keep their bytes.
        GrVertex v = glideVertex(10, 10);
        v.r = c.channel;
        v.g = 7.5f;
        v.b = 9.0f;
        v.a = 11.0f;
        EXPECT_EQ(drawnPoint(v).diffuse, 0x0B000709u | c.byte << 16);
        v.r = 1.0f;
        v.a = c.channel;
        EXPECT_EQ(drawnPoint(v).diffuse, 0x00010709u | c.byte << 24);
    }
}

// Direct3D leaves the x87 unit at single precision and games set its rounding too, some towards zero. The
// conversion computes on SSE, so the vertices come out bit for bit the same whatever the x87 control word.
TEST_F(DrawVertexConversion, TheX87ControlWordLeavesTheVerticesAlone) {
    openWith({{"TMU", 1}});
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    bindTexture565(GR_TMU0, GR_LOD_256, GR_ASPECT_1x1);
    bindTexture565(GR_TMU1, GR_LOD_64, GR_ASPECT_2x1);
    std::mt19937 random(19);
    std::uniform_real_distribution<float> oowRange(1.0e-4f, 1.0f), texelRange(0.0f, 256.0f);
    std::vector<GrVertex> vertices;
    for (int i = 0; i < 200; ++i) {
        GrVertex v = glideVertex(texelRange(random), texelRange(random), oowRange(random));
        for (int tmu = 0; tmu < 2; ++tmu) {
            v.tmuvtx[tmu].sow = texelRange(random) * v.oow;
            v.tmuvtx[tmu].tow = texelRange(random) * v.oow;
        }
        vertices.push_back(v);
    }
    auto drawAll = [&vertices]() {
        std::vector<TlVertex> drawn;
        for (const GrVertex &v : vertices)
            drawn.push_back(drawnPoint(v));
        return drawn;
    };
    std::vector<TlVertex> atDefault = drawAll();
    unsigned short original = readFpuControlWord();
    // Single precision (bits 8-9 clear), rounding towards zero (bits 10-11 set).
    writeFpuControlWord(static_cast<unsigned short>((original & ~0x0F00u) | 0x0C00u));
    std::vector<TlVertex> atSingle = drawAll();
    writeFpuControlWord(original);

    int differences = 0;
    for (size_t i = 0; i < vertices.size(); ++i) {
        const TlVertex &a = atDefault[i], &b = atSingle[i];
        if (std::memcmp(&a, &b, sizeof(TlVertex)) != 0 && ++differences <= 3)
            ADD_FAILURE() << "vertex " << i << ": z " << a.z << " / " << b.z << ", tu0 " << a.tu0 << " / "
                          << b.tu0 << ", tv1 " << a.tv1 << " / " << b.tv1;
    }
    EXPECT_EQ(differences, 0) << "of " << vertices.size() << " vertices";
}

// The usual shape goes four vertices at a time; with the lower-left origin the same vertices go one at a
// time. Both give every field bit for bit the same, y apart, for odd values in every lane.
TEST_F(DrawVertexConversion, FourAtATimeConvertsAsOneAtATime) {
    openSession();
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    bindTexture565(GR_TMU0, GR_LOD_256, GR_ASPECT_2x1);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const float odd[] = {0.0f,   -0.0f,  -1.0f, 0.75f,    1.0f,     255.0f, 256.5f,
                         200.7f, 3.0e9f, nan,   infinity, 1.0e-30f, 2.0f};
    const int oddCount = sizeof(odd) / sizeof(odd[0]);
    const int count = 7; // a block of four and one of three
    std::vector<GrVertex> polygon;
    for (int i = 0; i < count; ++i) {
        GrVertex v = glideVertex(786432.0f + 10.0f * static_cast<float>(i), 20.5f + static_cast<float>(i),
                                 odd[i % oddCount]);
        v.r = odd[(i + 1) % oddCount];
        v.g = odd[(i + 2) % oddCount];
        v.b = odd[(i + 3) % oddCount];
        v.a = odd[(i + 4) % oddCount];
        v.tmuvtx[0].sow = 32.0f * static_cast<float>(i);
        v.tmuvtx[0].tow = odd[(i + 5) % oddCount];
        polygon.push_back(v);
    }
    auto drawPolygon = [&polygon]() {
        sim::clearCalls();
        grDrawPolygonVertexList(count, polygon.data());
        return drawnVertices();
    };
    auto compareOrigins = [&]() {
        grSstOrigin(GR_ORIGIN_UPPER_LEFT);
        std::vector<TlVertex> fours = drawPolygon();
        grSstOrigin(GR_ORIGIN_LOWER_LEFT);
        std::vector<TlVertex> ones = drawPolygon();
        ASSERT_EQ(fours.size(), static_cast<size_t>(count));
        ASSERT_EQ(ones.size(), static_cast<size_t>(count));
        const float screenHeight = 480.0f;
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(ones[i].y, screenHeight - fours[i].y);
            TlVertex flipped = fours[i];
            flipped.y = ones[i].y;
            EXPECT_EQ(std::memcmp(&flipped, &ones[i], sizeof(TlVertex)), 0)
                << "z " << fours[i].z << " / " << ones[i].z << ", rhw " << fours[i].rhw << " / "
                << ones[i].rhw << ", diffuse " << std::hex << fours[i].diffuse << " / " << ones[i].diffuse
                << ", specular " << fours[i].specular << " / " << ones[i].specular;
        }
    };
    {
        SCOPED_TRACE("texture times vertex");
        compareOrigins();
    }
    // White under the vertex alpha, white added: every code picks bits of V or a fixed value.
    grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXTRUE);
    {
        SCOPED_TRACE("picked colours");
        compareOrigins();
    }
}

} // namespace
