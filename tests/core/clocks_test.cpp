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

}  // namespace
}  // namespace zev7
