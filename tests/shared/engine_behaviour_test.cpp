// Render state that both libraries hand to the engine alike: blend factors, the colour mask and fog.
#include "front_end.h"

#include <cmath>

namespace {

DWORD deviceState(D3DRENDERSTATETYPE state) {
    return sim::renderState(liveDevice(), state);
}

std::vector<sim::Call> renderStatesSent() {
    return sim::callsNamed("SetRenderState");
}

// Glide names a different factor by the same number as source and as destination.
TEST_P(EngineBehaviour, BlendFactorsMeanWhatTheirPositionSays) {
    ASSERT_TRUE(glide().initAndOpen(window));
    struct Case {
        FxI32 factor;
        DWORD asSource;
        DWORD asDestination;
    } cases[] = {
        {factorZero, D3DBLEND_ZERO, D3DBLEND_ZERO},
        {factorSourceAlpha, D3DBLEND_SRCALPHA, D3DBLEND_SRCALPHA},
        {factorDestinationColor, D3DBLEND_DESTCOLOR, D3DBLEND_SRCCOLOR},
        {factorDestinationAlpha, D3DBLEND_DESTALPHA, D3DBLEND_DESTALPHA},
        {factorOne, D3DBLEND_ONE, D3DBLEND_ONE},
        {factorOneMinusSourceAlpha, D3DBLEND_INVSRCALPHA, D3DBLEND_INVSRCALPHA},
        {factorOneMinusDestinationColor, D3DBLEND_INVDESTCOLOR, D3DBLEND_INVSRCCOLOR},
        {factorOneMinusDestinationAlpha, D3DBLEND_INVDESTALPHA, D3DBLEND_INVDESTALPHA},
        {factorAlphaSaturate, D3DBLEND_SRCALPHASAT, D3DBLEND_SRCCOLOR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.factor);
        glide().blendFunction(factorOne, factorZero);
        glide().blendFunction(c.factor, factorOne);
        EXPECT_EQ(deviceState(D3DRENDERSTATE_SRCBLEND), c.asSource);
        glide().blendFunction(factorOne, c.factor);
        EXPECT_EQ(deviceState(D3DRENDERSTATE_DESTBLEND), c.asDestination);
    }
    glide().close();
}

// Direct3D 7 has no colour write mask: a blend that keeps the destination stands in while writes are off.
TEST_P(EngineBehaviour, ColorMaskKeepsTheDestinationAndGivesTheBlendBack) {
    ASSERT_TRUE(glide().initAndOpen(window));
    glide().blendFunction(factorSourceAlpha, factorOneMinusSourceAlpha);
    glide().colorMask(false, false);
    EXPECT_EQ(deviceState(D3DRENDERSTATE_SRCBLEND), DWORD(D3DBLEND_ZERO));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_DESTBLEND), DWORD(D3DBLEND_ONE));
    glide().colorMask(true, false);
    EXPECT_EQ(deviceState(D3DRENDERSTATE_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(deviceState(D3DRENDERSTATE_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    glide().close();
}

TEST_P(EngineBehaviour, FogColorIsSentAsGiven) {
    const FxU32 orange = 0x00FF8040;
    ASSERT_TRUE(glide().initAndOpen(window));
    sim::clearCalls();
    glide().fogColor(orange);
    std::vector<sim::Call> sent = renderStatesSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].args[0], unsigned(D3DRENDERSTATE_FOGCOLOR));
    EXPECT_EQ(sent[0].args[1], orange);
    glide().close();
}

// The fog of a point as drawn: the specular alpha is what the fog leaves of the colour.
FxU32 fogOfPoint(FrontEnd &glide, float w) {
    sim::clearCalls();
    glide.drawPoint(10, 10, w);
    std::vector<sim::Call> draws = sim::callsNamed("DrawPrimitive");
    EXPECT_EQ(draws.size(), 1u);
    if (draws.size() != 1) return 0;
    std::vector<TlVertex> drawn = verticesOf(draws[0]);
    return drawn.size() == 1 ? 255u - (drawn[0].specular >> 24) : 0u;
}

// The utilities only fill the application's table (entry i at w = 2^(i/4) · (1 + (i mod 4)/4)); the table
// reaches the device through grFogTable and is read at each vertex's w.
TEST_P(EngineBehaviour, FogUtilitiesFillTheTableThatTableFogReads) {
    glide().setSetting("ColorDepth", 16);
    glide().setSetting("Fog", 1);
    ASSERT_TRUE(glide().initAndOpen(window));
    FxU8 table[fogTableSize];
    sim::clearCalls();
    glide().fogGenerateExp(table, 0.5f);
    EXPECT_EQ(table[0], FxU8((1.0 - std::exp(-0.5)) * 255.0)); // w = 1
    EXPECT_EQ(table[4], FxU8((1.0 - std::exp(-1.0)) * 255.0)); // w = 2
    EXPECT_EQ(table[63], 255);
    glide().fogGenerateExp2(table, 0.5f);
    EXPECT_EQ(table[4], FxU8((1.0 - std::exp(-1.0)) * 255.0)); // (0.5 × 2)²
    EXPECT_EQ(table[8], FxU8((1.0 - std::exp(-4.0)) * 255.0)); // w = 4
    glide().fogGenerateLinear(table, 2.0f, 4.0f);
    EXPECT_EQ(table[3], 0);                                     // w = 1.6
    EXPECT_EQ(table[6], FxU8((8.0 / 3.0 - 2.0) / 2.0 * 255.0)); // w = 8 / 3
    EXPECT_EQ(table[8], 255);
    EXPECT_TRUE(renderStatesSent().empty());

    glide().fogGenerateExp(table, 0.5f);
    glide().tableFog(table);
    EXPECT_EQ(fogOfPoint(glide(), 2.0f), FxU32(table[4]));
    glide().close();
}

} // namespace
