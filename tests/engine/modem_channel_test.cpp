// The command exchange with the measuring modem: reply lengths, the parse of echo and answer,
// what the replies set, and the retry rule of a modem that stops answering.
#include "channel_test_support.h"
#include "scripted_modem_port.h"
#include "support/recording_messages.h"

#include "engine/modem/modem_channel.h"
#include "engine/modem/modem_reply.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

using test::BatchMessages;
using test::RecordingHost;
using test::ScriptedModemPort;

const QString kNoAnswerQuestion =
    QStringLiteral("COM3: Нет ответа ! \n Возможно модем отключен! Попытаться продолжить?");

// ---- The parse of a reply -----------------------------------------------------------------

TEST(ModemReplyParse, AnswerLineFollowsTheEcho) {
    const ModemReply r = parseModemReply("AT%V", "AT%V\r3412\r0\r");
    EXPECT_EQ(r.echo, "AT%V");
    EXPECT_EQ(r.answer, "3412");

    // Line feeds are dropped, empty lines after the echo skipped.
    const ModemReply lf = parseModemReply("ATS0?", "ATS0?\r\n\r\n002\r\n0\r\n");
    EXPECT_EQ(lf.echo, "ATS0?");
    EXPECT_EQ(lf.answer, "002");

    // Whatever the modem echoed is the echo, even when it is not the command.
    const ModemReply odd = parseModemReply("ATI3", "TI3\rTeliq LX-3310\r0\r");
    EXPECT_EQ(odd.echo, "TI3");
    EXPECT_EQ(odd.answer, "Teliq LX-3310");
}

TEST(ModemReplyParse, RepeatCommandIsEchoedWithoutCarriageReturn) {
    const ModemReply r = parseModemReply("A/", "A/3412\r0\r");
    EXPECT_EQ(r.echo, "A/");
    EXPECT_EQ(r.answer, "3412");
    // Any other command needs its carriage return to end the echo.
    EXPECT_EQ(parseModemReply("AT", "A/3412\r0\r").echo, "A/3412");
    EXPECT_EQ(parseModemReply("AT", "A/3412\r0\r").answer, "0");
}

TEST(ModemReplyParse, EchoAloneLeavesTheAnswerEmpty) {
    EXPECT_TRUE(parseModemReply("AT%K", "AT%K\r").answer.isEmpty());
    EXPECT_TRUE(parseModemReply("ATI5", "ATI5\r").answer.isEmpty());
    // Without the echo's carriage return there is no echo and no answer.
    const ModemReply r = parseModemReply("AT%K", "AT%K128");
    EXPECT_TRUE(r.echo.isEmpty());
    EXPECT_TRUE(r.answer.isEmpty());
}

TEST(ModemReplyParse, IdentityLineCountsBeforeItsCarriageReturn) {
    EXPECT_EQ(parseModemReply("ATI5", "ATI5\rTeliq LX Vers").answer, "Teliq LX Vers");
    // Only the identity query's first read stops inside a line.
    EXPECT_TRUE(parseModemReply("ATS0?", "ATS0?\r00").answer.isEmpty());
}

// ---- The exchange -------------------------------------------------------------------------

class ChannelTest : public ::testing::Test {
protected:
    ChannelTest() { channel_ = makeChannel(3, messages_); }

    std::unique_ptr<ModemChannel> makeChannel(
        int port, UserMessages& messages, ExchangeProfile profile = ExchangeProfile::measuring()) {
        auto scripted = std::make_unique<ScriptedModemPort>(clock_);
        modem_ = scripted.get();
        profile.ctsLostSince = &ctsTick_;
        auto channel = std::make_unique<ModemChannel>(port, std::move(scripted), clock_, messages,
                                                      &host_, profile);
        channel->openPort();
        return channel;
    }

    bool send(const QByteArray& command, int length, int timeoutMs = kCommandTimeoutMs) {
        return channel_->ModemSendGetData(ModemRequest(command, length, timeoutMs));
    }

    ManualClock clock_;
    RecordingMessages messages_;
    RecordingHost host_;
    SharedTick ctsTick_;
    ScriptedModemPort* modem_ = nullptr;
    std::unique_ptr<ModemChannel> channel_;
};

TEST_F(ChannelTest, LevelQueryAndRepeatGiveSwappedWords) {
    modem_->setAnswer("AT%V", "3412\r0\r");
    modem_->setAnswer("A/", "7856\r0\r");

    ASSERT_TRUE(send("AT%V", 12));
    EXPECT_EQ(channel_->lastReply(), "AT%V\r3412\r0\r");
    EXPECT_EQ(channel_->lastValue(), 0x1234);

    ASSERT_TRUE(channel_->ModemSendGetData(kRepeatCommand));
    EXPECT_EQ(channel_->lastReply(), "A/7856\r0\r");
    EXPECT_EQ(channel_->lastEcho(), "A/");
    EXPECT_EQ(channel_->lastValue(), 0x5678);

    EXPECT_EQ(host_.samples, (QList<std::uint16_t>{0x1234, 0x5678}));
    // The probe "A" goes first; "A/" goes without a carriage return.
    EXPECT_EQ(modem_->written(), "AT%V\rA/");
    EXPECT_EQ(clock_.tickMs(), 0);  // everything was there at once
}

TEST_F(ChannelTest, LevelWordZeroIsNoSampleAndGarbageIsIgnored) {
    modem_->setAnswer("AT%V", "0000\r0\r");
    ASSERT_TRUE(send("AT%V", 12));
    EXPECT_EQ(channel_->lastValue(), 0);
    EXPECT_TRUE(host_.samples.isEmpty());

    modem_->setAnswer("AT%V", "34G2\r0\r");
    ASSERT_TRUE(send("AT%V", 12));
    EXPECT_EQ(channel_->lastValue(), 0);
    EXPECT_TRUE(host_.samples.isEmpty());

    // A dial stage asks for the level too ("...%T12%V").
    modem_->setAnswer("ATDP8;%T12%V", "FFFF\r0\r");
    ASSERT_TRUE(send("ATDP8;%T12%V", 20));
    EXPECT_EQ(channel_->lastValue(), 0xFFFF);
}

TEST_F(ChannelTest, RepliesSetGainRingCountAndModel) {
    modem_->setAnswer("AT%K", "064\r0\r");
    modem_->setAnswer("ATS0?", "002\r0\r");
    modem_->setAnswer("ATI3", "Teliq LX-3310\r0\r");

    EXPECT_EQ(channel_->gain(), 128);
    ASSERT_TRUE(send("at%k", 11));  // commands go out in upper case
    EXPECT_EQ(channel_->gain(), 64);
    ASSERT_TRUE(send("ATS0?", 12));
    EXPECT_EQ(channel_->lastValue(), 2);
    ASSERT_TRUE(send("ATI3", 21));
    EXPECT_EQ(channel_->modelType(), 1);
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(modem_->commands(), (QList<QByteArray>{"AT%K", "ATS0?", "ATI3"}));

    // A gain of 0 would make every level infinite: it is not taken.
    modem_->setAnswer("AT%K", "000\r0\r");
    ASSERT_TRUE(send("AT%K", 11));
    EXPECT_EQ(channel_->gain(), 64);
}

TEST_F(ChannelTest, IdentityReadEndsInsideTheIdentityLine) {
    // LX model: 18 bytes, then the remaining 12 are read by the caller.
    modem_->setAnswer("ATI5", "Teliq LX Version 2.1\r0\r");
    ASSERT_TRUE(send("ATI5", 18));
    EXPECT_EQ(channel_->lastReply(), "ATI5\rTeliq LX Vers");
    EXPECT_TRUE(channel_->isLxModel());
    QByteArray rest;
    EXPECT_TRUE(channel_->OGetch1(rest, 10));
    EXPECT_EQ(rest, "ion 2.1\r0\r");

    // A plain 3310 reports another identity.
    channel_->CommClr(false);
    modem_->setAnswer("ATI5", "Teliq 3310 Version 1.02 (c) 2001\r0\r");
    ASSERT_TRUE(send("ATI5", 18));
    EXPECT_FALSE(channel_->isLxModel());
}

TEST_F(ChannelTest, WrongModelStopsTheThread) {
    modem_->setAnswer("ATI3", "Teliq XX-2400\r0\r");
    EXPECT_FALSE(send("ATI3", 21));
    EXPECT_EQ(channel_->modelType(), 0);
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::WrongModel);
    EXPECT_TRUE(channel_->stopRequested());
    ASSERT_EQ(messages_.count(), 1);
    const auto e = messages_.entries().first();
    EXPECT_FALSE(e.question);
    EXPECT_EQ(e.caption, QStringLiteral("Модем: "));
    EXPECT_EQ(e.text, QStringLiteral("COM3: Неверный тип модема!\n Необходим модем Teliq 3310!"));
    EXPECT_EQ(host_.pending,
              QStringList{QStringLiteral("Неверный тип модема!\n Необходим модем Teliq 3310!")});
}

TEST_F(ChannelTest, EchoAloneInterpretsNothing) {
    modem_->setAnswer("AT%K", "");
    ASSERT_TRUE(send("AT%K", 5));
    EXPECT_EQ(channel_->lastReply(), "AT%K\r");
    EXPECT_TRUE(channel_->lastAnswer().isEmpty());
    EXPECT_EQ(channel_->gain(), 128);

    modem_->setAnswer("ATI3", "");
    ASSERT_TRUE(send("ATI3", 5));
    EXPECT_EQ(channel_->errorCode(),
              ModemErrorCode::None);  // no model check without an answer line
    EXPECT_FALSE(channel_->stopRequested());
}

TEST_F(ChannelTest, OneByteShortFailsEvenWithACompleteAnswerLine) {
    modem_->setAnswer("AT%K", "064\r0");  // the result code's carriage return is missing
    EXPECT_FALSE(send("AT%K", 11));
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
    EXPECT_EQ(channel_->gain(), 128);
    EXPECT_EQ(host_.restarts, 1);
    EXPECT_EQ(channel_->retries(), 1);
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(clock_.tickMs(), kCommandTimeoutMs);  // it waited the whole time-out
}

TEST_F(ChannelTest, DialReplyComesWhenDiallingEnds) {
    // "ATDP8;%T12%V": about 4.15 s of dialling, so a time-out of twice that.
    modem_->setAnswer("ATDP8;%T12%V", "3412\r0\r", 4150);
    ASSERT_TRUE(send("ATDP8;%T12%V", 20, 8300));
    EXPECT_EQ(clock_.tickMs(), 4150);
    EXPECT_EQ(channel_->lastValue(), 0x1234);

    // With too short a time-out the same dialling fails.
    EXPECT_FALSE(send("ATDP8;%T12%V", 20, 4000));
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
    EXPECT_EQ(clock_.tickMs(), 4150 + 4000);
}

TEST_F(ChannelTest, SilentModemIsProbedThreeTimes) {
    modem_->setSilent(true);
    EXPECT_FALSE(send("AT%K", 11));
    EXPECT_EQ(modem_->written(), "AAA");
    EXPECT_EQ(clock_.tickMs(), 3 * kCommandTimeoutMs);
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
}

TEST_F(ChannelTest, ErrorLeftFromAFailureSkipsFurtherExchangesUntilTheLineCheck) {
    modem_->setSilent(true);
    EXPECT_FALSE(send("AT%K", 11));
    modem_->setSilent(false);
    modem_->setAnswer("AT%K", "128\r0\r");
    const QByteArray before = modem_->written();
    EXPECT_FALSE(send("AT%K", 11));  // the rest of a failed sequence does not go out
    EXPECT_EQ(modem_->written(), before);
    channel_->AnalysState();  // the next step of the thread starts clean
    EXPECT_TRUE(send("AT%K", 11));
}

// ---- The retry rule -----------------------------------------------------------------------

TEST_F(ChannelTest, FiveSilentFailuresThenTheQuestion) {
    modem_->setSilent(true);
    for (int i = 1; i <= 5; ++i) {
        channel_->AnalysState();
        EXPECT_FALSE(send("AT%K", 11));
        EXPECT_EQ(channel_->retries(), i);
    }
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(host_.restarts, 5);
    EXPECT_EQ(modem_->opens(), 1);

    // The sixth asks; Yes goes on with the port opened afresh.
    messages_.queueAnswer(true);
    channel_->AnalysState();
    EXPECT_FALSE(send("AT%K", 11));
    ASSERT_EQ(messages_.count(), 1);
    auto e = messages_.entries().last();
    EXPECT_TRUE(e.question);
    EXPECT_EQ(e.caption, QStringLiteral("Модем: ModemSendGetData SendSym_A()"));
    EXPECT_EQ(e.text, kNoAnswerQuestion);
    EXPECT_FALSE(channel_->stopRequested());
    EXPECT_EQ(modem_->closes(), 1);
    EXPECT_EQ(modem_->opens(), 2);
    EXPECT_TRUE(channel_->port().isOpen());
    EXPECT_EQ(host_.restarts, 6);
    EXPECT_EQ(host_.broughtToFront, 1);
    EXPECT_EQ(host_.pending.last(), QStringLiteral("Нет ответа ! \n Возможно модем отключен!"));

    // Every further failure asks; No stops the thread.
    messages_.queueAnswer(false);
    channel_->AnalysState();
    EXPECT_FALSE(send("AT%K", 11));
    EXPECT_EQ(messages_.count(), 2);
    EXPECT_TRUE(channel_->stopRequested());
    EXPECT_EQ(modem_->opens(), 3);  // re-opened all the same, closed by the exit sequence

    // A finished call makes the next five silent again.
    channel_->clearStop();
    channel_->resetRetries();
    channel_->AnalysState();
    EXPECT_FALSE(send("AT%K", 11));
    EXPECT_EQ(messages_.count(), 2);
}

TEST_F(ChannelTest, ShortReplyQuestionNamesCommandAndBytes) {
    modem_->setAnswer("ATS0?", "002\r0\r");
    for (int i = 0; i < 5; ++i) {
        channel_->AnalysState();
        send("ATS0?", 13);  // one byte more than the modem sends
    }
    channel_->AnalysState();
    EXPECT_FALSE(send("ATS0?", 13));
    ASSERT_EQ(messages_.count(), 1);
    const auto e = messages_.entries().first();
    EXPECT_EQ(e.caption, QStringLiteral("Модем: ModemSendGetData OGetch1"));
    EXPECT_EQ(e.text, QStringLiteral("COM3: Нет ответа ! \n Возможно модем отключен! Команда "
                                     "ATS0? Получено ATS0?\r002\r0\r Попытаться продолжить?"));
}

TEST_F(ChannelTest, FailedWriteIsAnExchangeFailure) {
    modem_->setWriteFails(true);
    EXPECT_FALSE(send("AT%K", 11));
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
    EXPECT_EQ(channel_->retries(), 1);
}

TEST_F(ChannelTest, ReopenThatFailsIsReportedAfterTheQuestion) {
    modem_->setSilent(true);
    for (int i = 0; i < 5; ++i) {
        channel_->AnalysState();
        send("AT%K", 11);
    }
    modem_->setOpenFails(CommPort::OpenFailure::Access);
    messages_.queueAnswer(true);
    channel_->AnalysState();
    send("AT%K", 11);
    ASSERT_EQ(messages_.count(), 2);
    const auto e = messages_.entries().last();
    EXPECT_FALSE(e.question);
    EXPECT_EQ(e.caption, QStringLiteral("Модем: Ошибка инициализации!"));
    EXPECT_EQ(e.text, QStringLiteral("COM3: Нет доступа ! COM - порт занят!"));
    EXPECT_FALSE(channel_->stopRequested());  // the user chose to go on

    // With the port closed the purge before the next exchange fails visibly.
    channel_->AnalysState();
    send("AT%K", 11);
    EXPECT_EQ(messages_.entries()[2].caption, QStringLiteral("LastError - CommClr::PurgeComm"));
    EXPECT_EQ(messages_.entries()[2].text, QStringLiteral("scripted port error"));
}

TEST_F(ChannelTest, BatchModeLogsAndEndsTheRunInsteadOfAsking) {
    BatchMessages batch;
    channel_ = makeChannel(3, batch);
    modem_->setSilent(true);
    for (int i = 0; i < 6; ++i) {
        channel_->AnalysState();
        send("AT%K", 11);
    }
    ASSERT_EQ(batch.count(), 1);
    const auto e = batch.entries().first();
    EXPECT_FALSE(e.question);
    EXPECT_EQ(e.caption, QStringLiteral("Модем: ModemSendGetData SendSym_A()"));
    EXPECT_EQ(e.text, QStringLiteral("COM3: Нет ответа ! \n Возможно модем отключен!"));
    EXPECT_EQ(batch.aborts, QList<int>{-5});
    EXPECT_TRUE(channel_->stopRequested());
}

TEST_F(ChannelTest, AnsweringStationProbesSixTimesAndReportsEveryFailure) {
    channel_ = makeChannel(4, messages_, ExchangeProfile::answering());
    EXPECT_EQ(modem_->settings().flow, LineSettings::Flow::RtsCts);
    modem_->setSilent(true);
    messages_.queueAnswer(true);
    EXPECT_FALSE(send("ATS50?", 13));
    EXPECT_EQ(modem_->written(), "AAAAAA");
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries().first().caption, QStringLiteral("Модем: SendSym_A()"));
    EXPECT_TRUE(messages_.entries().first().question);
    EXPECT_EQ(modem_->closes(), 0);  // the answering station keeps its port
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);

    // Its register queries all give the last value.
    modem_->setSilent(false);
    modem_->setAnswer("ATS50?", "205\r0\r");
    channel_->AnalysState();
    ASSERT_TRUE(send("ATS50?", 13));
    EXPECT_EQ(channel_->lastValue(), 205);
}

TEST_F(ChannelTest, TerminatingThreadNeitherExchangesNorReports) {
    channel_->setTerminating();
    EXPECT_FALSE(send("AT%K", 11));
    EXPECT_TRUE(modem_->written().isEmpty());
    EXPECT_FALSE(
        channel_->ShowModemError(QStringLiteral("x"), ModemErrorCode::NoAnswer, QString()));
    EXPECT_EQ(channel_->Init(), ModemErrorCode::Terminating);
    EXPECT_EQ(messages_.count(), 0);
}

}  // namespace
}  // namespace zev7
