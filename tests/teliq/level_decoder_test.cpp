#include "teliq/level_decoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zev7 {
namespace {

TEST(LevelWord, LowByteComesFirst) {
    EXPECT_EQ(parseLevelWord("3412"), 0x1234);
    EXPECT_EQ(parseLevelWord("ffff"), 0xFFFF);
    EXPECT_EQ(formatLevelWord(0x1234), QByteArray("3412"));
    EXPECT_EQ(formatLevelWord(0x0001), QByteArray("0100"));
    EXPECT_FALSE(parseLevelWord("341").has_value());
    EXPECT_FALSE(parseLevelWord("34G2").has_value());
    EXPECT_FALSE(parseLevelWord("-012").has_value());
}

TEST(LevelOffsets, TablesInterpolateAndClampPerBand) {
    EXPECT_NEAR(toneLevelOffset(), -0.02, 1e-9);
    EXPECT_NEAR(offsetTableA(200), -0.44, 1e-9);
    EXPECT_NEAR(offsetTableB(1020), 0.61 + (0.01 - 0.61) * 0.4, 1e-9);
    EXPECT_NEAR(answerLevelOffset(889), offsetTableA(889), 1e-9);
    EXPECT_NEAR(answerLevelOffset(890), offsetTableB(890), 1e-9);
    EXPECT_NEAR(answerLevelOffset(1500), 2.44, 1e-9);
    EXPECT_EQ(answerLevelOffset(1501), 0.0);
    EXPECT_EQ(answerLevelOffset(2099), 0.0);
    EXPECT_NEAR(answerLevelOffset(2700), 2.24, 1e-9);
    EXPECT_EQ(answerLevelOffset(2701), 0.0);
}

TEST(LevelDecoding, FollowsTheModemFormulaWithTheT12Correction) {
    // -20 log10(71 / 71) + offset = offset, corrected by the table at that level.
    const double atRef = *decodeLevel(71, 128, kRefT12, 0.0);
    EXPECT_NEAR(atRef, 0.0 - t12LinearityCorrection(0.0), 1e-9);
    // The gain scales the amplitude.
    EXPECT_NEAR(*decodeLevel(100, 256, kRefT16, 0.0), -20 * std::log10(200.0 / 51.0), 1e-9);
    EXPECT_FALSE(decodeLevel(0, 128, kRefT12, 0).has_value());
    EXPECT_FALSE(decodeLevel(100, 128, 0.0, 0).has_value());
}

TEST(LevelDecoding, EncodedLevelsDecodeBackInEveryBand) {
    for (const double ref : {kRefT12, kRefT16, kRefT15}) {
        for (const int gain : {64, 128, 200}) {
            for (double level = -45.0; level <= -3.0; level += 0.5) {
                const double offset = ref == kRefT12 ? toneLevelOffset() : offsetTableB(1020);
                const auto v = encodeLevel(level, gain, ref, offset);
                const auto back = decodeLevel(v, gain, ref, offset);
                ASSERT_TRUE(back.has_value());
                // A word of about a hundred near 0 dBm resolves roughly 0.1 dB.
                EXPECT_NEAR(*back, level, 0.2) << "ref " << ref << " gain " << gain;
            }
        }
    }
    // Silence is the weakest word, far below every threshold.
    EXPECT_EQ(encodeLevel(-HUGE_VAL, 128, kRefT12, 0), 0xFFFF);
    EXPECT_LT(*decodeLevel(0xFFFF, 128, kRefT12, 0), -55.0);
}

}  // namespace
}  // namespace zev7
