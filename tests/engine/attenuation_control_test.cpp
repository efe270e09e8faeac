#include "engine/modem/attenuation_control.h"
#include "engine/detect/dial_stage.h"

#include "scenario/tel_number.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zev7 {
namespace {

TEST(AttenuationControl, ToneNumbersWithTheTruncatedCorrection) {
    ToneGeneration g = toneGeneration(1000, -10);
    EXPECT_EQ(g.frequencyCode, 1707);
    EXPECT_EQ(g.correction, -3);  // -3.88 truncated
    EXPECT_EQ(g.transmitValue, 13);
    EXPECT_EQ(toneGeneration(300, 0).transmitValue, 2);      // |0 - 1| clamped up
    EXPECT_EQ(toneGeneration(1100, -30).transmitValue, 28);  // 33 clamped down
    EXPECT_EQ(toneGeneration(2100, -20).correction, -3);
    EXPECT_EQ(transmitLevelCommand(13).text, QByteArray("AT%L13"));
    EXPECT_EQ(transmitLevelCommand(13).replyLength, 9);
}

TEST(AttenuationControl, SignalProcessorRegisterWrites) {
    const auto frequency = dspRegisterWriteCommands(kDspFrequencyRegister, 1707);
    EXPECT_EQ(frequency[0].text, QByteArray("AT%T3S31=24%V"));
    EXPECT_EQ(frequency[0].replyLength, 21);  // echo, a level word, the result
    EXPECT_EQ(frequency[1].text, QByteArray("ATS31=6%V"));
    EXPECT_EQ(frequency[2].text, QByteArray("ATS31=171%V"));
    const auto mode = dspRegisterWriteCommands(kDspToneModeRegister, kDspToneModeValue);
    EXPECT_EQ(mode[0].text, QByteArray("AT%T3S31=22%V"));
    EXPECT_EQ(mode[1].text, QByteArray("ATS31=0%V"));
    EXPECT_EQ(mode[2].text, QByteArray("ATS31=1%V"));
    EXPECT_EQ(dspRegisterWriteCommands(1, 0xFFFF)[1].text, QByteArray("ATS31=255%V"));
    EXPECT_EQ(toneOffTickMs(10000, 1.0), 11400);
    EXPECT_EQ(toneOffTickMs(10000, 0.3), 10700);
}

TEST(DialStage, ANumberWithAWaitIsDialledInTwoStages) {
    TelNumber n;
    std::memset(&n, 0, sizeof n);
    const char* fields[] = {"P8W", "-", "(495)", "-", "P123", "P4567", "-"};
    for (int i = 0; i < kNumberFieldCount; ++i) {
        setNumberField(n, i, QString::fromLatin1(fields[i]));
    }
    rebuildNumberText(n);
    const QStringList list = dialCommands(n);
    ASSERT_EQ(list.size(), 2);

    const auto first = dialStage(list, 0, 15);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->command, QByteArray("ATDP8;%T12%V"));
    EXPECT_EQ(first->replyLength, 12 + 8);
    EXPECT_EQ(first->timeoutMs, 8300);  // 2.0 + 0.2 + 1.55 + 0.2 + 0.2 s, twice
    EXPECT_EQ(first->nextPhase, DetectPhase::DialToneWhileDialling);

    const auto second = dialStage(list, 1, 15);
    EXPECT_EQ(second->command, QByteArray("ATDP123P4567;%T12%V"));
    EXPECT_EQ(second->nextPhase, DetectPhase::Ringback);
    const auto beyond = dialStage(list, 5, 15);
    EXPECT_EQ(beyond->index, 1);
    EXPECT_EQ(beyond->command, second->command);

    EXPECT_FALSE(dialStage({}, 0, 15).has_value());
}

}  // namespace
}  // namespace zev7
