// Drawing calls and vertex arrays: primitive types, vertex and triangle counts, continued strips and fans,
// and arrays longer than one Direct3D call. Lists, fans, polygons, points and lines join one call per
// kind; strips and fans are drawn as they are.
#include "glide3_vertex_driver.h"

namespace {

using VertexArrays = Glide3DrawTest;

struct Shape {
    D3DPRIMITIVETYPE type;
    size_t vertices;
};

std::vector<Shape> shapes() {
    std::vector<Shape> found;
    for (const Draw &draw : draws())
        found.push_back({draw.type, draw.vertices.size()});
    return found;
}

bool operator==(const Shape &a, const Shape &b) {
    return a.type == b.type && a.vertices == b.vertices;
}

std::ostream &operator<<(std::ostream &out, const Shape &shape) {
    return out << "(" << shape.type << ", " << shape.vertices << ")";
}

TEST_F(VertexArrays, EachModeDrawsItsPrimitivesAndCountsItsTriangles) {
    struct Case {
        FxU32 mode;
        FxU32 count;
        std::vector<Shape> drawn;
        FxU32 triangles;
    } cases[] = {
        {GR_POINTS, 3, {{D3DPT_POINTLIST, 3}}, 0},
        {GR_LINE_STRIP, 5, {{D3DPT_LINELIST, 8}}, 0},
        {GR_LINE_STRIP, 1, {}, 0},
        {GR_LINES, 5, {{D3DPT_LINELIST, 4}}, 0},
        {GR_POLYGON, 5, {{D3DPT_TRIANGLEFAN, 5}}, 3},
        {GR_TRIANGLE_STRIP, 5, {{D3DPT_TRIANGLESTRIP, 5}}, 3},
        {GR_TRIANGLE_FAN, 5, {{D3DPT_TRIANGLEFAN, 5}}, 3},
        {GR_TRIANGLES, 6, {{D3DPT_TRIANGLELIST, 6}}, 2},
        {GR_TRIANGLES, 8, {{D3DPT_TRIANGLELIST, 6}}, 2}, // whole triangles only
        // Too few vertices for a triangle: nothing drawn, and the counter never runs backwards.
        {GR_POLYGON, 1, {}, 0},
        {GR_TRIANGLE_STRIP, 2, {}, 0},
        {GR_TRIANGLE_FAN, 0, {}, 0},
        {GR_TRIANGLES, 2, {}, 0},
        {9, 6, {}, 0},
    };
    std::vector<AppVertex> vertices = row(8);
    std::vector<void *> pointers = pointersTo(vertices);
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", " << c.count << " vertices");
        for (bool contiguous : {false, true}) {
            sim::clearCalls();
            FxU32 before = triangles();
            if (contiguous)
                grDrawVertexArrayContiguous(c.mode, c.count, vertices.data(), sizeof(AppVertex));
            else
                grDrawVertexArray(c.mode, c.count, pointers.data());
            EXPECT_EQ(shapes(), c.drawn);
            EXPECT_EQ(triangles() - before, c.triangles);
        }
    }
    // Line strips join neighbours; lines take pairs.
    sim::clearCalls();
    grDrawVertexArray(GR_LINE_STRIP, 3, pointers.data());
    std::vector<Draw> drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_EQ(drawn[0].vertices.size(), 4u);
    EXPECT_EQ(drawn[0].vertices[2].x, 1.0f);
    EXPECT_EQ(drawn[0].vertices[3].x, 2.0f);
}

TEST_F(VertexArrays, SingleCallsOfOneKindJoinOneList) {
    AppVertex a = appVertex(1, 1), b = appVertex(9, 1), c = appVertex(1, 9);
    FxU32 before = triangles();
    grDrawPoint(&a);
    grDrawLine(&a, &b);
    grDrawTriangle(&a, &b, &c);
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXFALSE, FXTRUE);
    // The antialiased triangle adds a fringe of two triangles along each of its two flagged edges.
    const std::vector<Shape> expected = {
        {D3DPT_POINTLIST, 1}, {D3DPT_LINELIST, 2}, {D3DPT_TRIANGLELIST, 3 + 3 + 12}};
    EXPECT_EQ(shapes(), expected);
    EXPECT_EQ(triangles() - before, 2u);
}

TEST_F(VertexArrays, NullArraysAndNullVerticesDrawNothing) {
    std::vector<AppVertex> vertices = row(3);
    std::vector<void *> pointers = pointersTo(vertices);
    pointers[1] = nullptr;
    FxU32 before = triangles();
    grDrawVertexArray(GR_TRIANGLES, 3, nullptr);
    grDrawVertexArray(GR_TRIANGLES, 3, pointers.data());
    grDrawVertexArrayContiguous(GR_TRIANGLES, 3, nullptr, sizeof(AppVertex));
    grDrawTriangle(&vertices[0], nullptr, &vertices[2]);
    EXPECT_EQ(countNamed("DrawPrimitive"), 0u);
    EXPECT_EQ(triangles(), before);
}

// x of each drawn vertex.
std::vector<float> xs(const Draw &draw) {
    std::vector<float> found;
    for (const TlVertex &v : draw.vertices)
        found.push_back(v.x);
    return found;
}

TEST_F(VertexArrays, ContinuedStripsAndFansJoinThePreviousCall) {
    std::vector<AppVertex> vertices = row(12);
    std::vector<void *> pointers = pointersTo(vertices);
    FxU32 before = triangles();
    // A strip of 4 (two triangles, the next one even) continued by 3 vertices: the last two join.
    grDrawVertexArray(GR_TRIANGLE_STRIP, 4, pointers.data());
    grDrawVertexArray(GR_TRIANGLE_STRIP_CONTINUE, 3, &pointers[4]);
    // Now five triangles: the next is odd. Doubling the first joining vertex keeps the winding.
    grDrawVertexArray(GR_TRIANGLE_STRIP_CONTINUE, 2, &pointers[7]);
    // A fan continues around its first vertex from its last.
    grDrawVertexArray(GR_TRIANGLE_FAN, 3, &pointers[9]);
    grDrawVertexArrayContiguous(GR_TRIANGLE_FAN_CONTINUE, 2, &vertices[0], sizeof(AppVertex));
    std::vector<Draw> drawn = draws();
    ASSERT_EQ(drawn.size(), 5u);
    EXPECT_EQ(drawn[1].type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(xs(drawn[1]), (std::vector<float>{2, 3, 4, 5, 6}));
    EXPECT_EQ(xs(drawn[2]), (std::vector<float>{5, 5, 6, 7, 8}));
    EXPECT_EQ(drawn[4].type, D3DPT_TRIANGLEFAN);
    EXPECT_EQ(xs(drawn[4]), (std::vector<float>{9, 11, 0, 1}));
    EXPECT_EQ(triangles() - before, 2u + 3u + 2u + 1u + 2u);

    // A new frame has nothing to continue: the call draws what its own vertices make.
    grBufferSwap(0);
    sim::clearCalls();
    grDrawVertexArray(GR_TRIANGLE_STRIP_CONTINUE, 3, pointers.data());
    grDrawVertexArray(GR_TRIANGLE_FAN_CONTINUE, 2, pointers.data());
    drawn = draws();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(xs(drawn[0]), (std::vector<float>{0, 1, 2}));
}

TEST_F(VertexArrays, LongArraysGoInBatchesThatStayConnected) {
    const FxU32 count = 2 * vertexArrayBatch + 100;
    std::vector<AppVertex> vertices = row(count);
    struct Case {
        FxU32 mode;
        D3DPRIMITIVETYPE type;
        std::vector<size_t> sizes;
        std::vector<float> firstXs; // of the second batch
        FxU32 triangles;
    } cases[] = {
        // Each batch starts with the last two of the one before, on an even triangle.
        {GR_TRIANGLE_STRIP, D3DPT_TRIANGLESTRIP, {8192, 8192, 104}, {8190, 8191, 8192}, count - 2},
    };
    // Lists join calls as long as one call carries, fans and polygons go in runs around their first vertex:
    // every triangle once, in order.
    const size_t callLimit = static_cast<size_t>(vertexBufferSize);
    for (FxU32 mode : {GR_TRIANGLES, GR_TRIANGLE_FAN, GR_POLYGON}) {
        SCOPED_TRACE(mode);
        sim::clearCalls();
        FxU32 before = triangles();
        grDrawVertexArrayContiguous(mode, count, vertices.data(), sizeof(AppVertex));
        std::vector<sim::Call> calls = named("DrawPrimitive");
        const D3DPRIMITIVETYPE type = mode == GR_TRIANGLES ? D3DPT_TRIANGLELIST : D3DPT_TRIANGLEFAN;
        for (const sim::Call &call : calls) {
            EXPECT_EQ(call.args[0], static_cast<unsigned long long>(type));
            EXPECT_LE(verticesOf(call).size(), callLimit);
        }
        std::vector<TlVertex> corners = drawnCorners(calls);
        const FxU32 triangleCount = mode == GR_TRIANGLES ? count / 3 : count - 2;
        ASSERT_EQ(corners.size(), 3 * static_cast<size_t>(triangleCount));
        for (FxU32 t = 0; t < triangleCount; ++t) {
            float first = mode == GR_TRIANGLES ? 3.0f * static_cast<float>(t) : 0.0f;
            float second = mode == GR_TRIANGLES ? first + 1.0f : static_cast<float>(t + 1);
            ASSERT_EQ((std::vector<float>{corners[3 * t].x, corners[3 * t + 1].x, corners[3 * t + 2].x}),
                      (std::vector<float>{first, second, second + 1.0f}))
                << t;
        }
        EXPECT_EQ(triangles() - before, triangleCount);
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        sim::clearCalls();
        FxU32 before = triangles();
        grDrawVertexArrayContiguous(c.mode, count, vertices.data(), sizeof(AppVertex));
        std::vector<Draw> drawn = draws();
        ASSERT_EQ(drawn.size(), c.sizes.size());
        for (size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_EQ(drawn[i].type, c.type);
            EXPECT_EQ(drawn[i].vertices.size(), c.sizes[i]);
        }
        std::vector<float> second = xs(drawn[1]);
        EXPECT_EQ(std::vector<float>(second.begin(), second.begin() + 3), c.firstXs);
        EXPECT_EQ(triangles() - before, c.triangles);
    }

    // A continued strip whose next triangle is odd keeps its winding across batches as well.
    std::vector<void *> pointers = pointersTo(vertices);
    grDrawVertexArray(GR_TRIANGLE_STRIP, 3, pointers.data());
    sim::clearCalls();
    FxU32 before = triangles();
    grDrawVertexArray(GR_TRIANGLE_STRIP_CONTINUE, vertexArrayBatch, &pointers[3]);
    std::vector<Draw> drawn = draws();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].vertices.size(), static_cast<size_t>(vertexArrayBatch));
    EXPECT_EQ(xs(drawn[0])[0], xs(drawn[0])[1]); // the doubled vertex
    // 8189 triangles drawn in the first batch leave the next one even: no doubling.
    EXPECT_EQ(xs(drawn[1]), (std::vector<float>{8190, 8191, 8192, 8193, 8194}));
    EXPECT_EQ(triangles() - before, static_cast<FxU32>(vertexArrayBatch));
}

} // namespace

namespace {

// Glide 3 joins as Glide 2 does: a triangle and a triangle array in one list, the frame-buffer lock sending
// them before it, the points after it in a list of their own, grFlush sending those.
TEST_F(VertexArrays, DrawsJoinUntilSomethingCouldSeeThem) {
    std::vector<AppVertex> vertices = row(4);
    std::vector<void *> pointers = pointersTo(vertices);
    grDrawTriangle(&vertices[0], &vertices[1], &vertices[2]);
    grDrawVertexArray(GR_TRIANGLES, 3, pointers.data() + 1);
    GrLfbInfo_t lfb;
    lfb.size = sizeof(lfb);
    ASSERT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &lfb),
              FXTRUE);
    grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    grDrawPoint(&vertices[0]);
    grDrawPoint(&vertices[3]);
    grFlush();
    std::vector<std::string> order;
    for (const sim::Call &call : sim::calls())
        if (call.name == "DrawPrimitive" || call.name == "Lock" || call.name == "EndScene")
            order.push_back(call.name);
    EXPECT_EQ(order, (std::vector<std::string>{"DrawPrimitive", "Lock", "DrawPrimitive", "EndScene"}));
    EXPECT_EQ(shapes(), (std::vector<Shape>{{D3DPT_TRIANGLELIST, 3 + 3}, {D3DPT_POINTLIST, 2}}));
}

} // namespace
