#include "teliq/modem_registers.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

TEST(ModemRegisters, FrequencyIsAPhaseStepAt9600Hz) {
    EXPECT_EQ(frequencyCode(1000), 1707);
    EXPECT_EQ(frequencyCode(1020), 1741);
    EXPECT_EQ(frequencyFromCode(1741), 1020);
}

TEST(ModemRegisters, TransmitLevelWithTheFrequencyCorrection) {
    EXPECT_EQ(transmitLevelValue(-24, 1100), 28);
    EXPECT_EQ(transmitLevelValue(0, 300), 2);  // 1.93 rounds to 1, clamped to 2
    EXPECT_EQ(transmitLevelValue(-10, 1020), 14);
    EXPECT_EQ(levelFromTransmitValue(14, 1020), -10);
    EXPECT_EQ(levelFromTransmitValue(2, 300), -1);
    EXPECT_NEAR(transmitLevelCorrection(1020), -3.89, 1e-9);
    EXPECT_NEAR(transmitLevelCorrection(5000), -3.93, 1e-9);
    EXPECT_NEAR(transmitLevelCorrection(100), -1.43, 1e-9);
}

TEST(ModemRegisters, ToneThresholdAndDelays) {
    EXPECT_EQ(toneThresholdValue(-27), 27);
    EXPECT_EQ(toneThresholdValue(-5), 10);
    EXPECT_EQ(toneThresholdValue(-50), 43);
    EXPECT_EQ(toneThresholdFromValue(40), -40);
    EXPECT_EQ(tenthsOfSecond(2.5), 25);
    EXPECT_EQ(tenthsOfSecond(0.24), 2);
}

TEST(ModemRegisters, AnswerFilterBands) {
    EXPECT_EQ(answerFilterFor(889)->command, QByteArray("AT%T12"));
    EXPECT_EQ(answerFilterFor(890)->command, QByteArray("AT%T16"));
    EXPECT_EQ(answerFilterFor(890)->reference, 51.0);
    EXPECT_EQ(answerFilterFor(1500)->command, QByteArray("AT%T16"));
    EXPECT_FALSE(answerFilterFor(1501).has_value());
    EXPECT_EQ(answerFilterFor(2100)->command, QByteArray("AT%T15"));
    EXPECT_EQ(answerFilterFor(2700)->reference, 50.0);
    EXPECT_FALSE(answerFilterFor(2701).has_value());
    EXPECT_EQ(answerFilterFor(300)->command, QByteArray("AT%T12"));
    EXPECT_FALSE(answerFilterFor(299).has_value());
    EXPECT_EQ(toneBandFor(1020), 2);
}

}  // namespace
}  // namespace zev7
