#include "engine/detect/cadence_detector.h"

#include "level_timeline.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

using test::burstsEndingAt;
using test::cadence;
using test::feedUntilDecided;

CadenceSettings limits(double overloadMin, double busyMin, double busyMax, double timeout = 15) {
    CadenceSettings s;
    s.thresholdDbm = -30;
    s.timeoutS = timeout;
    s.overloadPeriodMinS = overloadMin;
    s.overloadPeriodMaxS = busyMin;
    s.busyPeriodMaxS = busyMax;
    return s;
}

constexpr auto kBusy = static_cast<int>(CadenceResult::Busy);
constexpr auto kCongestion = static_cast<int>(CadenceResult::Congestion);
constexpr auto kTimedOut = static_cast<int>(CadenceResult::TimedOut);
// A generated cadence is seen at the first 10 ms poll after each edge.
constexpr double kOnePoll = 0.0105;

TEST(CadenceDetector, SixEndsHalfASecondApartAreBusy) {
    CadenceDetector d;
    d.init(limits(0.25, 0.3, 1.2));
    // Bursts of 0.25 s every 0.5 s from 1.0 s; polled every 10 ms.
    const auto decision = feedUntilDecided(d, cadence(1.0, 0.5, 0.25, -20), 0, 10, 20000);
    EXPECT_EQ(decision.result, kBusy);
    EXPECT_NEAR(decision.timeS, 1.25 + 5 * 0.5, kOnePoll);  // the sixth end
    EXPECT_EQ(d.burstCount(), 6);
    EXPECT_EQ(d.discardedCount(), 0);
    EXPECT_NEAR(d.averagePeriod(), 0.5, kOnePoll);
    EXPECT_NEAR(d.oldestEnd(), 1.25, kOnePoll);
}

TEST(CadenceDetector, PeriodsBelowTheCongestionMinimumSlideTheWindowWithoutDeciding) {
    CadenceDetector d;
    d.init(limits(0.3, 0.5, 1.2, 9));
    const auto decision = feedUntilDecided(d, cadence(1.0, 0.25, 0.12, -20), 0, 10, 20000);
    EXPECT_EQ(decision.result, kTimedOut);
    EXPECT_NEAR(decision.timeS, 9.01, 1e-9);
    EXPECT_EQ(d.storedEnds(), 5);  // every full window was found wanting and slid on
    EXPECT_EQ(d.discardedCount(), d.burstCount() - 5);
    EXPECT_GT(d.discardedCount(), 20);
}

TEST(CadenceDetector, PeriodsBetweenCongestionMinimumAndBusyMinimumAreCongestion) {
    CadenceDetector d;
    d.init(limits(0.25, 0.5, 1.2));
    const auto decision = feedUntilDecided(d, cadence(1.0, 0.3, 0.15, -20), 0, 10, 20000);
    EXPECT_EQ(decision.result, kCongestion);
    EXPECT_NEAR(decision.timeS, 1.15 + 5 * 0.3, kOnePoll);
}

TEST(CadenceDetector, TheWindowSlidesPastIrregularBursts) {
    CadenceDetector d;
    d.init(limits(0.25, 0.5, 1.2));
    // Two irregular ends, then a steady 0.5 s cadence: the first full window holds a 0.9 s
    // period and is dropped by one; the next one is steady.
    const auto level = burstsEndingAt({1.0, 1.9, 2.4, 2.9, 3.4, 3.9, 4.4, 4.9}, 0.2, -20);
    const auto decision = feedUntilDecided(d, level, 0, 10, 20000);
    EXPECT_EQ(decision.result, kBusy);
    EXPECT_NEAR(decision.timeS, 4.4, 1e-9);
    EXPECT_EQ(d.discardedCount(), 1);
    EXPECT_NEAR(d.oldestEnd(), 1.9, 1e-9);
    EXPECT_NEAR(d.averagePeriod(), 0.5, 1e-9);
}

TEST(CadenceDetector, EveryPeriodMustLieWithinATenthOfTheMean) {
    CadenceDetector d;
    d.init(limits(0.25, 0.5, 1.2));
    // Periods 0.54, 0.46, 0.5, 0.5, 0.5: mean 0.5, all within 0.05.
    auto decision = feedUntilDecided(d, burstsEndingAt({1.0, 1.54, 2.0, 2.5, 3.0, 3.5}, 0.2, -20),
                                     0, 10, 20000);
    EXPECT_EQ(decision.result, kBusy);

    // Periods 0.57, 0.43, ...: beyond a tenth of the mean; no decision from those six.
    d.reset();
    decision = feedUntilDecided(d, burstsEndingAt({1.0, 1.57, 2.0, 2.5, 3.0, 3.5}, 0.2, -20), 0, 10,
                                10000);
    EXPECT_EQ(decision.result, 0);
    EXPECT_EQ(d.discardedCount(), 1);
}

TEST(CadenceDetector, PeriodsAboveTheBusyMaximumAreNoCadence) {
    CadenceDetector d;
    d.init(limits(0.25, 0.5, 1.2));
    const auto decision = feedUntilDecided(d, cadence(1.0, 1.3, 0.6, -20), 0, 10, 14000);
    EXPECT_EQ(decision.result, 0);
    EXPECT_GE(d.discardedCount(), 4);
}

TEST(CadenceDetector, AValidCadenceWinsOverATimeoutInTheSameEvaluation) {
    CadenceDetector d;
    d.init(limits(0.25, 0.3, 1.2, 3.7));  // time-out passes at the sixth end, 3.75 s
    const auto decision = feedUntilDecided(d, cadence(1.0, 0.5, 0.25, -20), 0, 50, 20000);
    EXPECT_EQ(decision.result, kBusy);
    EXPECT_NEAR(decision.timeS, 3.75, 1e-9);
}

TEST(CadenceDetector, HysteresisKeepsABurstWhole) {
    CadenceDetector d;
    d.init(limits(0.25, 0.3, 1.2));
    d.evaluate(-29.6, 0.0);  // below -29.5: no burst yet
    EXPECT_FALSE(d.toneOn());
    d.evaluate(-29.5, 0.1);
    EXPECT_TRUE(d.toneOn());
    d.evaluate(-30.5, 0.2);  // not below -30.5: still on
    EXPECT_TRUE(d.toneOn());
    d.evaluate(-30.51, 0.3);
    EXPECT_FALSE(d.toneOn());
    EXPECT_EQ(d.burstCount(), 1);
    EXPECT_NEAR(d.oldestEnd(), 0.3, 1e-12);
}

TEST(CadenceDetector, KeepsSlidingWhenFedAfterADecision) {
    CadenceDetector d;
    d.init(limits(0.25, 0.3, 1.2));
    const auto level = cadence(1.0, 0.5, 0.25, -20);
    int decisions = 0;
    for (int ms = 0; ms < 20000; ms += 10) {
        const double t = detectorTime(ms);
        if (d.evaluate(level(t), t) == CadenceResult::Busy) {
            ++decisions;
        }
    }
    EXPECT_GT(decisions, 20);  // every further end completes a fresh window
    EXPECT_EQ(d.storedEnds(), kCadenceEnds);
}

}  // namespace
}  // namespace zev7
