// Colour-code evaluation of one vertex (four codes, diffuse and specular): the base of the vertex-conversion
// budget.
#include <benchmark/benchmark.h>

#include "render/color_codes.h"
#include "render/render_state.h"

namespace {

void evaluateVertices(benchmark::State &state, FxU32 diffuseRgb, FxU32 diffuseAlpha, FxU32 specularRgb,
                      FxU32 specularAlpha) {
    renderState.diffuseRgbCode = diffuseRgb;
    renderState.diffuseAlphaCode = diffuseAlpha;
    renderState.specularRgbCode = specularRgb;
    renderState.specularAlphaCode = specularAlpha;
    renderState.constantColor = 0x80C0A060;
    FxU32 v = 0x12345678;
    for (auto _ : state) {
        VertexColors colors = computeVertexColors(v);
        benchmark::DoNotOptimize(colors);
        v = v * 1664525u + 1013904223u;
    }
    state.SetItemsProcessed(state.iterations());
}

// The loop alone, to subtract from the figures below.
void ColorCodesLoopOverhead(benchmark::State &state) {
    FxU32 v = 0x12345678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        v = v * 1664525u + 1013904223u;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ColorCodesLoopOverhead);

// Gouraud-shaded vertex colour, nothing added.
void ColorCodesIterated(benchmark::State &state) {
    evaluateVertices(state, 0, 0, 254, 254);
}
BENCHMARK(ColorCodesIterated);

// The integer codes: halves, differences, quarter, constant.
void ColorCodesIntegerMix(benchmark::State &state) {
    evaluateVertices(state, 4, 32, 128, 1);
}
BENCHMARK(ColorCodesIntegerMix);

// Vertex times constant, and one minus it, in both colours.
void ColorCodesProducts(benchmark::State &state) {
    evaluateVertices(state, 192, 193, 193, 192);
}
BENCHMARK(ColorCodesProducts);

} // namespace
