#include "engine/cycle/cycle_statistics.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zev7 {
namespace {

CycleRecord normCycle() {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.minAttempts = 5;
    c.maxAttempts = 10;
    c.normAtMin = 1;
    c.normAtMax = 2;
    std::memset(c.holdCount, 1, sizeof c.holdCount);
    return c;
}

TEST(CycleStatistics, CountsAndPercentagesPerOutcome) {
    CycleStatistics s;
    s.reset(46000.5);
    for (int outcome : {0, -1, 0, -200, 0, -1, 0, 0, 0, 0}) {
        s.account(ResultCode{outcome});
    }
    EXPECT_EQ(s.calls(), 10);
    EXPECT_EQ(s.successes(), 7);
    EXPECT_EQ(s.losses(), 3);
    EXPECT_DOUBLE_EQ(s.lossPercent(), 30.0);
    EXPECT_DOUBLE_EQ(s.successPercent(), 70.0);
    EXPECT_EQ(s.countOf(ResultCode::NoDialTone), 2);
    EXPECT_DOUBLE_EQ(s.categoryPercent(0), 20.0);
    EXPECT_EQ(s.countOf(ResultCode::BusyIncoming), 1);
    EXPECT_DOUBLE_EQ(s.categoryPercent(7), 10.0);
    EXPECT_EQ(s.callsPastDialTone(), 8);
    EXPECT_EQ(s.callsPastRingback(), 7);
    EXPECT_EQ(s.cycleStart(), 46000.5);

    // Every outcome lands in its own category; the later ones count as past both tones.
    s.reset(0);
    for (ResultCode outcome : kLossOutcomes) {
        s.account(outcome);
    }
    for (int i = 0; i < kLossCategoryCount; ++i) {
        EXPECT_EQ(s.categoryCount(i), 1) << i;
    }
    EXPECT_EQ(s.callsPastDialTone(), 10);
    EXPECT_EQ(s.callsPastRingback(), 4);
}

TEST(CycleStatistics, AnUndecidedCallCountsAsACallInNoCategory) {
    CycleStatistics s;
    s.reset(0);
    s.account(ResultCode::Success);
    s.account(ResultCode::BusyOutgoing);
    s.account(ResultCode::None);
    s.account(ResultCode{12345});  // not an outcome at all: the same
    EXPECT_EQ(s.calls(), 4);
    EXPECT_EQ(s.successes() + s.losses(), 2);
    EXPECT_DOUBLE_EQ(s.successPercent(), 25.0);
    EXPECT_DOUBLE_EQ(s.lossPercent(), 25.0);
    EXPECT_EQ(s.callsPastDialTone(), 1);
}

TEST(CycleStatistics, NormInForceVerdictAndEarlyEnd) {
    const CycleRecord c = normCycle();
    EXPECT_EQ(CycleStatistics::normInForce(c, 1), 1);
    EXPECT_EQ(CycleStatistics::normInForce(c, 5), 1);
    EXPECT_EQ(CycleStatistics::normInForce(c, 6), 2);

    // Five successes: the cycle ends after the fifth call, within the norm.
    CycleStatistics s;
    s.reset(0);
    for (int call = 1; call <= 5; ++call) {
        s.account(ResultCode::Success);
        EXPECT_EQ(s.endsEarly(c, call), call == 5);
    }
    EXPECT_EQ(s.callLimit(c, 5), 5);
    EXPECT_TRUE(s.meetsNorm(c, 5));

    // One loss among the first five: on to ten calls, judged against 2 %.
    s.reset(0);
    for (int call = 1; call <= 5; ++call) {
        s.account(call == 3 ? ResultCode::NoRingback : ResultCode::Success);
    }
    EXPECT_FALSE(s.endsEarly(c, 5));
    EXPECT_EQ(s.callLimit(c, 5), 10);
    for (int call = 6; call <= 10; ++call) {
        s.account(ResultCode::Success);
        EXPECT_EQ(s.callLimit(c, call), 10);
    }
    EXPECT_DOUBLE_EQ(s.lossPercent(), 10.0);
    EXPECT_FALSE(s.meetsNorm(c, 10));

    // A loss exactly at the norm is within it.
    CycleRecord loose = c;
    loose.normAtMin = 20;
    s.reset(0);
    for (int outcome : {0, 0, -1, 0, 0}) {
        s.account(ResultCode{outcome});
    }
    EXPECT_TRUE(s.endsEarly(loose, 5));
    EXPECT_TRUE(s.meetsNorm(loose, 5));
}

CallResult completeCall(int outcome) {
    CallResult r;
    r.outcome = ResultCode{outcome};
    r.complete = true;
    return r;
}

TEST(LineHeldAlarm, ThirdBusySinceTheLastSuccessAsksAndMinus4000StartsAgain) {
    CycleRecord c = normCycle();
    c.holdMask = 1U << 1;  // busy on the outgoing side
    c.holdCount[1] = 3;
    CycleStatistics s;
    s.reset(0);

    EXPECT_FALSE(s.checkLineHeld(c, completeCall(-2)));
    EXPECT_FALSE(s.checkLineHeld(c, completeCall(-2)));
    EXPECT_FALSE(s.checkLineHeld(c, completeCall(0)));  // starts the count again
    EXPECT_EQ(s.holdCounter(1), 0);
    EXPECT_FALSE(s.checkLineHeld(c, completeCall(-2)));
    EXPECT_FALSE(s.checkLineHeld(c, completeCall(-1)));  // counted, not enabled
    EXPECT_FALSE(s.checkLineHeld(c, completeCall(-2)));
    const auto alarm = s.checkLineHeld(c, completeCall(-2));
    ASSERT_TRUE(alarm.has_value());
    EXPECT_EQ(alarm->outcome, ResultCode::BusyOutgoing);
    EXPECT_EQ(alarm->index, 1);
    EXPECT_EQ(alarm->count, 3);
    EXPECT_EQ(alarm->threshold, 3);
    // Going on after the question: every further one asks again.
    EXPECT_TRUE(s.checkLineHeld(c, completeCall(-2)).has_value());

    for (int reset : {-4000, resultCodeValue(ResultCode::None)}) {
        s.reset(0);
        s.checkLineHeld(c, completeCall(-2));
        s.checkLineHeld(c, completeCall(-2));
        EXPECT_FALSE(s.checkLineHeld(c, completeCall(reset)));
        EXPECT_FALSE(s.checkLineHeld(c, completeCall(-2)));
        EXPECT_FALSE(s.checkLineHeld(c, completeCall(-2)));
        EXPECT_TRUE(s.checkLineHeld(c, completeCall(-2)));
    }
}

TEST(LineHeldAlarm, IncompleteCallsAndADisabledAlarmCountNothing) {
    CycleRecord c = normCycle();
    c.holdMask = 1U << 11;  // no clear-back
    c.holdCount[11] = 2;
    CycleStatistics s;
    s.reset(0);
    CallResult open = completeCall(-3000);
    open.complete = false;
    EXPECT_FALSE(s.checkLineHeld(c, open));
    EXPECT_EQ(s.holdCounter(11), 0);
    EXPECT_FALSE(s.checkLineHeld(c, completeCall(-3000)));
    EXPECT_TRUE(s.checkLineHeld(c, completeCall(-3000)));

    c.holdMask = 0;
    s.reset(0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(s.checkLineHeld(c, completeCall(-3000)));
    }
    EXPECT_EQ(s.holdCounter(11), 0);
}

TEST(LineHeldAlarm, ACounterKeptOnHoldDoesNotWrapRound) {
    CycleRecord c = normCycle();
    c.holdMask = 1U;
    c.holdCount[0] = 100;
    CycleStatistics s;
    s.reset(0);
    int alarms = 0;
    for (int i = 1; i <= 300; ++i) {
        if (s.checkLineHeld(c, completeCall(-1))) {
            ++alarms;
        }
    }
    EXPECT_EQ(alarms, 201);  // from the 100th on, every one
    EXPECT_EQ(s.holdCounter(0), 127);
}

TEST(CycleStatistics, ResultParametersAsStored) {
    CycleStatistics s;
    s.reset(0);
    for (int outcome : {0, 0, 0, -4000}) {
        s.account(ResultCode{outcome});
    }
    const auto p = s.resultParameters();
    EXPECT_EQ(p[0].id, 1);
    EXPECT_EQ(p[0].count, 4);
    EXPECT_EQ(p[0].percent, 100.0);
    EXPECT_STREQ(p[0].name, "P_CALL");
    EXPECT_EQ(p[1].count, 3);
    EXPECT_EQ(p[1].percent, 75.0);
    EXPECT_STREQ(p[1].name, "P_SUCC_CALL");
    EXPECT_EQ(p[2].count, 1);
    EXPECT_EQ(p[2].percent, 25.0);
    EXPECT_STREQ(p[3].name, "P_NO_AS");
    EXPECT_EQ(p[15].id, 16);
    EXPECT_EQ(p[15].count, 1);
    EXPECT_EQ(p[15].percent, 25.0);
    EXPECT_STREQ(p[15].name, "P_NO_OUT_SIGNAL");
    EXPECT_STREQ(p[12].name, "P_NO_AA");
    for (int i = 0; i < kResultParameterCount; ++i) {
        EXPECT_EQ(p[static_cast<std::size_t>(i)].id, i + 1);
    }
}

}  // namespace
}  // namespace zev7
