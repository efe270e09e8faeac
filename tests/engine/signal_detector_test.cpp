#include "engine/detect/signal_detector.h"

#include "level_timeline.h"
#include "teliq/level_decoder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zev7 {
namespace {

using test::feedUntilDecided;
using test::kSilence;
using test::toneBetween;

CycleRecord cycleWith(double waitTime) {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.waitTime = waitTime;
    c.dialToneThreshold = -20;
    c.ringbackThreshold = -30;
    c.ringbackTime = 0.6;
    c.answerThreshold = -35;
    c.answerMinTime = 2;
    c.answerMaxTime = 4;
    return c;
}

TEST(SignalSettings, ShortSignalsAreAveragedOverAShorterWindow) {
    CycleRecord c = cycleWith(15);
    const SignalSettings ring = ringbackSettings(c);
    EXPECT_NEAR(ring.averagingDelayS, 0.1, 1e-12);  // 0.6 × 0.16667 is just above 0.1
    EXPECT_EQ(ring.averagingWindowS, ring.averagingDelayS);
    c.ringbackTime = 0.3;
    EXPECT_NEAR(ringbackSettings(c).averagingDelayS, 0.3 * 0.16667, 1e-12);
    c.answerMinTime = 1;
    EXPECT_EQ(answerSignalSettings(c).averagingDelayS, 0.1);
    EXPECT_EQ(answerSignalSettings(c).averagingWindowS, 0.25);
}

// Polls every 70 ms; the dial tone appears at 1.0 s and is first seen at 1.05 s.
TEST(DialToneDetector, DecidesAtTheFirstPollAfter2500msAndAveragesFrom200msOfToneAge) {
    SignalDetector d;
    d.init(dialToneSettings(cycleWith(15)));
    const double seen = 1.05;
    const double decidedAt = 3.57;  // the first poll more than 2.5 s after 1.05 s
    const auto level = [&](double t) {
        if (t < 1.0) {
            return kSilence;
        }
        if (t - seen <= 0.2 + 1e-9) {
            return -5.0;  // too young to be averaged
        }
        return t < decidedAt - 1e-9 ? -10.0 : -12.0;  // the deciding poll is averaged too
    };
    const auto decision = feedUntilDecided(d, level, 0, 70, 20000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::StillPresent));
    EXPECT_NEAR(decision.timeS, decidedAt, 1e-9);
    EXPECT_NEAR(d.toneStart(), seen, 1e-9);
    // Ages 0.21 .. 2.45 s at -10 (33 polls), then the deciding one at -12.
    EXPECT_EQ(d.sampleCount(), 34);
    EXPECT_NEAR(d.averageLevel(), (33 * -10.0 - 12.0) / 34, 1e-9);
}

// Alternates between two levels from one poll (70 ms) to the next.
bool evenPoll(double t) {
    return std::llround(t * 1000) / 70 % 2 == 0;
}

TEST(DialToneDetector, HalfADecibelOfHysteresisAroundTheThreshold) {
    SignalDetector d;
    d.init(dialToneSettings(cycleWith(9)));
    // Hovering between -20.5 and -19.5 never starts a tone: no dial tone at the time-out.
    const auto hovering = [](double t) { return evenPoll(t) ? -19.51 : -20.49; };
    auto decision = feedUntilDecided(d, hovering, 0, 70, 20000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::NoTone));
    EXPECT_NEAR(decision.timeS, 9.03, 1e-9);
    EXPECT_FALSE(d.tonePresent());

    // -19.5 starts it; dips to -20.5 do not end it.
    d.reset();
    const auto dipping = [](double t) {
        if (t < 1.01) {
            return -19.6;
        }
        return evenPoll(t) ? -19.5 : -20.5;
    };
    decision = feedUntilDecided(d, dipping, 0, 70, 20000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::StillPresent));
    EXPECT_NEAR(d.toneStart(), 1.12, 1e-9);  // 1.05 was a dip
    EXPECT_NEAR(decision.timeS, 3.64, 1e-9);

    // A dip below -20.5 before 2.5 s ends the tone unconfirmed: it is forgotten and the next
    // tone is timed from its own start.
    d.reset();
    const auto broken = [](double t) {
        if (t >= 2.0 && t < 2.12) {
            return -20.6;
        }
        return t >= 1.0 ? -10.0 : kSilence;
    };
    decision = feedUntilDecided(d, broken, 0, 70, 20000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::StillPresent));
    EXPECT_NEAR(d.toneStart(), 2.17, 1e-9);
    EXPECT_NEAR(decision.timeS, 4.69, 1e-9);
}

TEST(AnswerSignalDetector, DurationDecidesBetweenSuccessTooLongAndNothing) {
    const SignalSettings s = answerSignalSettings(cycleWith(15));  // 2 .. 4 s
    SignalDetector d;

    // 3 s: reported when it ends, with its mean level.
    d.init(s);
    auto decision = feedUntilDecided(d, toneBetween(1.0, 4.0, -16.0), 0, 50, 30000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::Ended));
    EXPECT_NEAR(decision.timeS, 4.0, 1e-9);
    EXPECT_NEAR(d.averageLevel(), -16.0, 1e-9);
    // Ages 0.25 .. 2.45 s (averaging from 0.2 s up to 2 + 0.5 s).
    EXPECT_EQ(d.sampleCount(), 45);

    // 5 s: too long, reported at the first poll after 4 s of it.
    d.init(s);
    decision = feedUntilDecided(d, toneBetween(1.0, 6.0, -16.0), 0, 50, 30000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::StillPresent));
    EXPECT_NEAR(decision.timeS, 5.05, 1e-9);

    // 1 s: too short, discarded; then nothing until the time-out.
    d.init(s);
    decision = feedUntilDecided(d, toneBetween(1.0, 2.0, -16.0), 0, 50, 30000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::NoTone));
    EXPECT_NEAR(decision.timeS, 15.05, 1e-9);
    EXPECT_EQ(d.sampleCount(), 0);
}

TEST(SignalDetector, TimeoutCountsFromTheFirstPollOfThePhase) {
    SignalDetector d;
    d.init(dialToneSettings(cycleWith(9)));
    const auto decision = feedUntilDecided(d, toneBetween(0, 0, 0), 100000, 100, 120000);
    EXPECT_EQ(decision.result, static_cast<int>(SignalResult::NoTone));
    EXPECT_NEAR(decision.timeS, 109.1, 1e-9);
    EXPECT_NEAR(d.start(), 100.0, 1e-9);
}

TEST(SignalDetector, ALateFirstAveragingPollLeavesTheLevelUnmeasured) {
    SignalDetector d;
    d.init(dialToneSettings(cycleWith(15)));
    d.evaluate(-10, 0.0);                                         // the tone starts
    EXPECT_EQ(d.evaluate(-10, 3.2), SignalResult::StillPresent);  // 3.2 - 2.5 > 0.5
    EXPECT_EQ(d.sampleCount(), 0);
    EXPECT_EQ(d.averageLevel(), kNoLevel);
}

}  // namespace
}  // namespace zev7
