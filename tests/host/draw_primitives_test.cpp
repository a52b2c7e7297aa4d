// The fifteen drawing entry points: what each draws inside the open scene, the triangle counter,
// fans from vertex and index lists, oversized polygons, and safety without a session or with bad arguments.
#include "glide2_draw_driver.h"

#include <functional>
#include <set>
#include <utility>

#include "engine_probe.h"

namespace {

typedef Glide2DrawTest DrawPrimitives;

// Distinct vertices: vertex i sits at (i, 2i) with red i, so each can be recognised after conversion.
std::vector<GrVertex> numberedVertices(int count) {
    std::vector<GrVertex> vertices;
    for (int i = 0; i < count; ++i) {
        GrVertex v = glideVertex(static_cast<float>(i), static_cast<float>(2 * i));
        v.r = static_cast<float>(i & 0xFF);
        vertices.push_back(v);
    }
    return vertices;
}

int numberOf(const TlVertex &d) {
    return static_cast<int>(d.x);
}

std::vector<int> numbersOf(const std::vector<TlVertex> &vertices) {
    std::vector<int> numbers;
    for (const TlVertex &d : vertices)
        numbers.push_back(numberOf(d));
    return numbers;
}

// Triangles reach the device as triangle lists, polygons as fans, lines and points as their lists.
TEST_F(DrawPrimitives, EachCallDrawsInsideTheSceneAndCountsItsTriangles) {
    openSession();
    std::vector<GrVertex> v = numberedVertices(6);
    const int ilist[] = {5, 3, 0, 1};
    struct Case {
        const char *name;
        std::function<void()> draw;
        D3DPRIMITIVETYPE type;
        std::vector<int> vertices;
        FxU32 triangles;
    } cases[] = {
        {"grDrawTriangle", [&] { grDrawTriangle(&v[2], &v[0], &v[1]); }, D3DPT_TRIANGLELIST, {2, 0, 1}, 1},
        {"grDrawLine", [&] { grDrawLine(&v[4], &v[3]); }, D3DPT_LINELIST, {4, 3}, 0},
        {"grDrawPoint", [&] { grDrawPoint(&v[5]); }, D3DPT_POINTLIST, {5}, 0},
        {"grDrawPolygonVertexList",
         [&] { grDrawPolygonVertexList(5, v.data()); },
         D3DPT_TRIANGLEFAN,
         {0, 1, 2, 3, 4},
         3},
        {"grDrawPolygon", [&] { grDrawPolygon(4, ilist, v.data()); }, D3DPT_TRIANGLEFAN, {5, 3, 0, 1}, 2},
        {"grDrawPolygonVertexList, 3",
         [&] { grDrawPolygonVertexList(3, v.data() + 2); },
         D3DPT_TRIANGLEFAN,
         {2, 3, 4},
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FxU32 before = triangles();
        sim::clearCalls();
        c.draw();
        std::vector<sim::Call> draws = named("DrawPrimitive");
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(firstArgs(draws[0], 4),
                  (std::vector<unsigned long long>{static_cast<unsigned long long>(c.type), tlVertexFormat,
                                                   c.vertices.size(), 0}));
        EXPECT_EQ(draws[0].hr, D3D_OK); // inside the scene the session keeps open
        EXPECT_EQ(numbersOf(verticesOf(draws[0])), c.vertices);
        EXPECT_EQ(triangles() - before, c.triangles);
    }
    // After a buffer swap the next scene is open as well.
    grBufferSwap(1);
    sim::clearCalls();
    grDrawTriangle(&v[0], &v[1], &v[2]);
    ASSERT_EQ(countNamed("DrawPrimitive"), 1u);
    EXPECT_EQ(named("DrawPrimitive")[0].hr, D3D_OK);
}

TEST_F(DrawPrimitives, VariantsDrawExactlyWhatThePlainCallsDraw) {
    openSession();
    bindTexture565(GR_TMU0, GR_LOD_64, GR_ASPECT_2x1);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    std::vector<GrVertex> v = numberedVertices(7);
    for (size_t i = 0; i < v.size(); ++i) {
        v[i].oow = 1.0f / static_cast<float>(i + 2);
        v[i].tmuvtx[0].sow = 10.0f * static_cast<float>(i);
        v[i].tmuvtx[0].tow = 3.0f * static_cast<float>(i);
        v[i].y += static_cast<float>(i * i); // on a parabola: every triangle has an area, so edges to soften
    }
    const int ilist[] = {6, 2, 4, 0, 1};
    typedef std::function<void()> Draw;
    // The antialiased variants draw the plain primitive and then a fringe of two triangles along each soft
    // edge; a triangle without soft edges is the plain one.
    struct Variant {
        Draw plain, variant;
        size_t fringeVertices;
    } variants[] = {
        {[&] { grDrawTriangle(&v[0], &v[1], &v[2]); },
         [&] { grAADrawTriangle(&v[0], &v[1], &v[2], FXTRUE, FXFALSE, FXTRUE); }, 12},
        {[&] { grDrawTriangle(&v[0], &v[1], &v[2]); },
         [&] { grAADrawTriangle(&v[0], &v[1], &v[2], FXFALSE, FXFALSE, FXFALSE); }, 0},
        {[&] { grDrawTriangle(&v[3], &v[4], &v[5]); }, [&] { guDrawTriangleWithClip(&v[3], &v[4], &v[5]); },
         0},
        {[&] { grDrawTriangle(&v[3], &v[4], &v[5]); }, [&] { guAADrawTriangleWithClip(&v[3], &v[4], &v[5]); },
         18},
        {[&] { grDrawPolygon(5, ilist, v.data()); }, [&] { grDrawPlanarPolygon(5, ilist, v.data()); }, 0},
        {[&] { grDrawPolygon(5, ilist, v.data()); }, [&] { grAADrawPolygon(5, ilist, v.data()); }, 30},
        {[&] { grDrawPolygonVertexList(7, v.data()); }, [&] { grDrawPlanarPolygonVertexList(7, v.data()); },
         0},
        {[&] { grDrawPolygonVertexList(7, v.data()); }, [&] { grAADrawPolygonVertexList(7, v.data()); }, 42},
        {[&] { grDrawPolygonVertexList(7, v.data()); }, [&] { guDrawPolygonVertexListWithClip(7, v.data()); },
         0},
    };
    int index = 0;
    for (const Variant &pair : variants) {
        SCOPED_TRACE(index++);
        FxU32 before = triangles();
        sim::clearCalls();
        pair.plain();
        FxU32 plainTriangles = triangles() - before;
        std::vector<TlVertex> plain = drawnCorners(named("DrawPrimitive"));
        sim::clearCalls();
        pair.variant();
        std::vector<TlVertex> variant = drawnCorners(named("DrawPrimitive"));
        ASSERT_EQ(variant.size(), plain.size() + pair.fringeVertices);
        EXPECT_EQ(std::memcmp(variant.data(), plain.data(), plain.size() * sizeof(TlVertex)), 0);
        EXPECT_EQ(triangles() - before, 2 * plainTriangles);
    }

    // Soft lines and points are triangles only: a ridge and a pyramid.
    sim::clearCalls();
    grAADrawLine(&v[1], &v[6]);
    grAADrawPoint(&v[6]);
    std::vector<sim::Call> draws = named("DrawPrimitive");
    for (const sim::Call &draw : draws)
        EXPECT_EQ(draw.args[0], static_cast<unsigned long long>(D3DPT_TRIANGLELIST));
    const size_t ridgeAndPyramid = 24;
    EXPECT_EQ(drawnCorners(draws).size(), ridgeAndPyramid);
}

TEST_F(DrawPrimitives, APolygonLargerThanTheBufferIsDrawnWholeAroundItsFirstVertex) {
    openSession();
    const int capacity = probe::vertexBufferCapacity();
    for (int count : {capacity, capacity + 1, 2 * capacity + 5}) {
        SCOPED_TRACE(count);
        std::vector<GrVertex> v = numberedVertices(count);
        std::vector<int> ilist;
        for (int i = 0; i < count; ++i)
            ilist.push_back(i);
        for (bool indexed : {false, true}) {
            SCOPED_TRACE(indexed ? "grDrawPolygon" : "grDrawPolygonVertexList");
            FxU32 before = triangles();
            sim::clearCalls();
            if (indexed)
                grDrawPolygon(count, ilist.data(), v.data());
            else
                grDrawPolygonVertexList(count, v.data());
            // Every triangle (0, i, i + 1) of the one big fan, each exactly once.
            std::set<int> seen;
            std::vector<sim::Call> draws = named("DrawPrimitive");
            for (const sim::Call &draw : draws)
                ASSERT_LE(verticesOf(draw).size(), static_cast<size_t>(capacity));
            std::vector<int> corners = numbersOf(drawnCorners(draws));
            for (size_t i = 0; i + 2 < corners.size(); i += 3) {
                ASSERT_EQ(corners[i], 0);
                ASSERT_EQ(corners[i + 2], corners[i + 1] + 1);
                EXPECT_TRUE(seen.insert(corners[i + 1]).second) << corners[i + 1];
            }
            EXPECT_EQ(seen.size(), static_cast<size_t>(count - 2));
            EXPECT_EQ(*seen.begin(), 1);
            EXPECT_EQ(*seen.rbegin(), count - 2);
            EXPECT_EQ(triangles() - before, static_cast<FxU32>(count - 2));
        }
    }
}

TEST_F(DrawPrimitives, NothingIsDrawnOrCountedWithoutASessionOrWithBadArguments) {
    std::vector<GrVertex> v = numberedVertices(4);
    const int ilist[] = {0, 1, 2, 3};
    std::function<void()> draws[] = {
        [&] { grDrawTriangle(&v[0], &v[1], &v[2]); },
        [&] { grAADrawTriangle(&v[0], &v[1], &v[2], FXTRUE, FXTRUE, FXTRUE); },
        [&] { guDrawTriangleWithClip(&v[0], &v[1], &v[2]); },
        [&] { guAADrawTriangleWithClip(&v[0], &v[1], &v[2]); },
        [&] { grDrawLine(&v[0], &v[1]); },
        [&] { grAADrawLine(&v[0], &v[1]); },
        [&] { grDrawPoint(&v[0]); },
        [&] { grAADrawPoint(&v[0]); },
        [&] { grDrawPolygon(4, ilist, v.data()); },
        [&] { grDrawPlanarPolygon(4, ilist, v.data()); },
        [&] { grAADrawPolygon(4, ilist, v.data()); },
        [&] { grDrawPolygonVertexList(4, v.data()); },
        [&] { grDrawPlanarPolygonVertexList(4, v.data()); },
        [&] { grAADrawPolygonVertexList(4, v.data()); },
        [&] { guDrawPolygonVertexListWithClip(4, v.data()); },
    };
    auto noDrawing = [&](const char *when) {
        SCOPED_TRACE(when);
        sim::clearCalls();
        for (const auto &draw : draws)
            draw();
        EXPECT_EQ(countNamed("DrawPrimitive"), 0u);
        EXPECT_EQ(triangles(), 0u);
    };
    noDrawing("before grGlideInit");
    grGlideInit();
    noDrawing("before grSstWinOpen");
    ASSERT_EQ(open(), FXTRUE);
    grSstWinClose();
    noDrawing("after grSstWinClose");

    ASSERT_EQ(open(), FXTRUE);
    sim::clearCalls();
    const GrVertex *null = nullptr;
    grDrawTriangle(null, &v[1], &v[2]);
    grDrawTriangle(&v[0], &v[1], null);
    grAADrawTriangle(&v[0], null, &v[2], FXTRUE, FXTRUE, FXTRUE);
    guDrawTriangleWithClip(null, null, null);
    guAADrawTriangleWithClip(&v[0], &v[1], null);
    grDrawLine(&v[0], null);
    grAADrawLine(null, &v[0]);
    grDrawPoint(null);
    grAADrawPoint(null);
    grDrawPolygon(4, nullptr, v.data());
    grDrawPolygon(4, ilist, nullptr);
    grAADrawPolygon(4, ilist, nullptr);
    grDrawPolygonVertexList(4, nullptr);
    // Fewer than three vertices make no polygon and add nothing to the counter.
    for (int count : {2, 1, 0, -1, -100000}) {
        grDrawPolygon(count, ilist, v.data());
        grDrawPlanarPolygon(count, ilist, v.data());
        grDrawPolygonVertexList(count, v.data());
        guDrawPolygonVertexListWithClip(count, v.data());
    }
    EXPECT_EQ(countNamed("DrawPrimitive"), 0u);
    EXPECT_EQ(triangles(), 0u);
}

TEST_F(DrawPrimitives, AFailedDrawPrimitiveStillCountsAndTheNextDrawGoesThrough) {
    openSession();
    std::vector<GrVertex> v = numberedVertices(3);
    sim::failCall("DrawPrimitive", 1, DDERR_SURFACELOST);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    // Reading the calls sends what was drawn, as the game's flush would.
    ASSERT_EQ(countNamed("DrawPrimitive"), 1u);
    grDrawTriangle(&v[2], &v[1], &v[0]);
    std::vector<sim::Call> draws = named("DrawPrimitive");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].hr, DDERR_SURFACELOST);
    EXPECT_EQ(draws[1].hr, D3D_OK);
    EXPECT_EQ(numberOf(verticesOf(draws[1])[0]), 2);
    EXPECT_EQ(triangles(), 2u);
}

} // namespace
