// Waits before presents, counted on the simulation's clock: nothing sleeps for real.
#include "glide2_driver.h"

namespace {

class FramePacing : public Glide2Test {
  protected:
    // The simulated time the swaps took, in refresh periods of `hz`.
    static double periodsTaken(int swaps, FxU32 interval, DWORD hz) {
        unsigned long long start = sim::performanceCounter();
        for (int i = 0; i < swaps; ++i)
            grBufferSwap(interval);
        double ticks = static_cast<double>(sim::performanceCounter() - start);
        return ticks * hz / static_cast<double>(sim::performanceFrequency());
    }

    static size_t retraceWaits() {
        size_t waits = 0;
        for (const sim::Call &call : named("WaitForVerticalBlank"))
            waits += call.args == std::vector<unsigned long long>{DDWAITVB_BLOCKBEGIN};
        return waits;
    }
};

TEST_F(FramePacing, SwapIntervalWaitsItsRetracesOnlyOnCallsThatPresent) {
    setProductDword("FramePacing", 1);
    setProductDword("Oversample", 1);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    // The three start-up swaps count: the third call from here presents.
    double taken = periodsTaken(5, 2, 60);
    EXPECT_EQ(retraceWaits(), 2u);
    EXPECT_EQ(countNamed("Flip"), 1u);
    EXPECT_TRUE(sim::sleeps().empty()) << "real retraces leave the timer nothing to do";
    EXPECT_GE(taken, 1.0);
    EXPECT_LT(taken, 2.5);
    grSstWinClose();
}

TEST_F(FramePacing, TimerMakesUpForRetraceWaitsThatReturnAtOnceOrFail) {
    setProductDword("FramePacing", 1);
    sim::setRefreshRate(75);
    sim::setWaitForVerticalBlank(DD_OK, false);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    double taken = periodsTaken(10, 1, 75);
    EXPECT_EQ(retraceWaits(), 10u);
    EXPECT_GE(taken, 9.0);
    EXPECT_LE(taken, 11.0);
    ASSERT_FALSE(sim::sleeps().empty());
    EXPECT_EQ(sim::sleepTimerPeriods(), std::vector<UINT>(sim::sleeps().size(), 1u))
        << "sleeps at the default 15.6 ms period would overshoot a 75 Hz frame";

    sim::setWaitForVerticalBlank(DDERR_UNSUPPORTED, false);
    sim::clearCalls();
    taken = periodsTaken(10, 3, 75);
    EXPECT_EQ(countNamed("WaitForVerticalBlank"), 10u) << "the first failure ends each present's waits";
    EXPECT_GE(taken, 29.0);
    EXPECT_LE(taken, 31.0);
    grSstWinClose();
}

TEST_F(FramePacing, SixtyPerSecondCapsPresentsWhateverTheInterval) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    periodsTaken(10, 1, 60);
    EXPECT_TRUE(sim::sleeps().empty()) << "no pacing without the value";
    EXPECT_EQ(countNamed("WaitForVerticalBlank"), 0u);
    grSstWinClose();

    setProductDword("FramePacing", 2);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    sim::clearCalls();
    double taken = periodsTaken(10, 0, 60);
    EXPECT_GE(taken, 9.0);
    EXPECT_LE(taken, 11.0);
    EXPECT_EQ(countNamed("WaitForVerticalBlank"), 0u);
    grSstWinClose();
}

} // namespace
