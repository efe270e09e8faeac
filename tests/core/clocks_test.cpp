#include "core/clocks.h"

#include <gtest/gtest.h>

#include <limits>

namespace zev7 {
namespace {

TEST(ManualClock, SleepingAdvancesTicksAndDateTimeTogether) {
    const QDateTime start(QDate(2026, 12, 8), QTime(23, 59, 59));
    ManualClock clock(start);
    EXPECT_EQ(clock.tickMs(), 0);
    clock.sleepMs(1500);
    EXPECT_EQ(clock.tickMs(), 1500);
    EXPECT_EQ(clock.now(), QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0, 500)));
    clock.sleepMs(-20);  // a negative wait is no wait
    EXPECT_EQ(clock.tickMs(), 1500);
    clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(0, 1)));
    EXPECT_EQ(clock.tickMs(), 61000);
}

TEST(ScaledClock, RefusesScalesBelowOne) {
    EXPECT_EQ(ScaledClock(20).scale(), 20.0);
    EXPECT_EQ(ScaledClock(0.5).scale(), 1.0);
    EXPECT_EQ(ScaledClock(std::numeric_limits<double>::infinity()).scale(), 1.0);
    qputenv("ZEV7_TIME_SCALE", "20");
    EXPECT_EQ(ScaledClock::scaleFromEnvironment(), 20.0);
    qputenv("ZEV7_TIME_SCALE", "fast");
    EXPECT_EQ(ScaledClock::scaleFromEnvironment(), 1.0);
    qunsetenv("ZEV7_TIME_SCALE");
}

// The watcher beats every millisecond. What it could not beat beyond the allowance stood
// still, a stall still going on included; the beat that ends the stall changes nothing a
// reader saw before it, so that scaled time never runs back.
TEST(StallLedger, CountsWhatStoodStillBeyondTheAllowance) {
    constexpr std::int64_t ms = 1000000;
    StallLedger ledger;
    auto stalledAt = [&](std::int64_t ns) { return ledger.read([ns] { return ns; }).stalledNs; };
    EXPECT_EQ(stalledAt(40 * ms), 0);  // nobody watches yet
    const int w = ledger.start(0);
    for (std::int64_t t = 1; t <= 10; ++t) {
        ledger.beat(w, t * ms);
    }
    EXPECT_EQ(stalledAt(10 * ms + ms / 2), 0);
    // The machine stops the process from 10 ms to 40 ms.
    EXPECT_EQ(stalledAt(40 * ms), 28 * ms);
    ledger.beat(w, 40 * ms);
    EXPECT_EQ(stalledAt(40 * ms), 28 * ms);
    ledger.beat(w, 41 * ms);
    EXPECT_EQ(stalledAt(43 * ms), 28 * ms);
    EXPECT_EQ(ledger.stalls().count, 1);
    EXPECT_DOUBLE_EQ(ledger.stalls().longestMs, 30.0);
    EXPECT_FALSE(stallReport(ledger.stalls()).isEmpty());
    EXPECT_TRUE(stallReport({}).isEmpty());
}

// A virtual machine's host stops one processor and not the other: the threads on it stand
// still all the same. A stall of both at once counts once.
TEST(StallLedger, OneStoppedProcessorIsAStallAndTwoAtOnceAreOne) {
    constexpr std::int64_t ms = 1000000;
    StallLedger ledger;
    auto stalledAt = [&](std::int64_t ns) { return ledger.read([ns] { return ns; }).stalledNs; };
    const int a = ledger.start(0);
    const int b = ledger.start(0);
    // a runs on; b's processor stops from 10 to 40 ms.
    for (std::int64_t t = 1; t <= 40; ++t) {
        ledger.beat(a, t * ms);
        if (t <= 10) {
            ledger.beat(b, t * ms);
        }
        EXPECT_EQ(stalledAt(t * ms), std::max<std::int64_t>(0, (t - 12) * ms)) << t;
    }
    for (std::int64_t t = 40; t <= 50; ++t) {
        ledger.beat(b, t * ms);
        ledger.beat(a, t * ms);
    }
    EXPECT_EQ(stalledAt(50 * ms), 28 * ms);
    // Both stop from 50 to 80 ms; b's beat comes first.
    EXPECT_EQ(stalledAt(80 * ms), 56 * ms);
    ledger.beat(b, 80 * ms);
    EXPECT_EQ(stalledAt(80 * ms), 56 * ms);
    ledger.beat(a, 81 * ms);
    EXPECT_EQ(stalledAt(81 * ms), 57 * ms);
    EXPECT_EQ(ledger.stalls().count, 2);
    EXPECT_DOUBLE_EQ(ledger.stalls().longestMs, 31.0);
}

}  // namespace
}  // namespace zev7
