// grGammaCorrectionValue on the display's gamma ramp.
#include "glide2_driver.h"

#include <cmath>

namespace {

using Gamma2 = Glide2Test;

const WORD rampScale = 257;

TEST_F(Gamma2, CorrectionValueLoadsOneCurveForEveryChannel) {
    sim::setDriverCaps2(DDCAPS2_PRIMARYGAMMA);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    const float gamma = 1.7f;
    grGammaCorrectionValue(gamma);
    ASSERT_TRUE(sim::gammaRampSet());
    for (int i : {16, 100, 200}) {
        SCOPED_TRACE(i);
        WORD expected = static_cast<WORD>(std::lround(std::pow(i / 255.0, 1.0 / gamma) * 255.0) * rampScale);
        EXPECT_EQ(sim::gammaRamp().red[i], expected);
        EXPECT_EQ(sim::gammaRamp().green[i], expected);
        EXPECT_EQ(sim::gammaRamp().blue[i], expected);
    }
    grSstWinClose();
    EXPECT_EQ(sim::gammaRamp().red[100], 100 * rampScale);
}

} // namespace
