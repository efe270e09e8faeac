// What the channel does around the exchanges: the port number and opening, the CTS line of a
// modem that goes away, incoming rings, and the interruptible wait.
#include "channel_test_support.h"
#include "scripted_modem_port.h"
#include "support/recording_messages.h"

#include "engine/modem/modem_channel.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QFile>

namespace zev7 {
namespace {

using test::RecordingHost;
using test::ScriptedModemPort;
using Status = CommPort::ModemStatus;

// The manual clock, with a look at the channel between the slices of its waits.
class SleepWatchingClock : public ManualClock {
public:
    void sleepMs(std::int64_t ms) override {
        ManualClock::sleepMs(ms);
        ++sleeps;
        if (onSleep) {
            onSleep();
        }
    }
    int sleeps = 0;
    std::function<void()> onSleep;
};

class LineStateTest : public ::testing::Test {
protected:
    LineStateTest() { channel_ = makeChannel(3, tick_); }

    std::unique_ptr<ModemChannel> makeChannel(int port, SharedTick& tick,
                                              RecordingHost* host = nullptr) {
        auto scripted = std::make_unique<ScriptedModemPort>(clock_);
        modem_ = scripted.get();
        ExchangeProfile profile = ExchangeProfile::measuring();
        profile.ctsLostSince = &tick;
        auto channel = std::make_unique<ModemChannel>(port, std::move(scripted), clock_, messages_,
                                                      host != nullptr ? host : &host_, profile);
        channel->openPort();
        return channel;
    }

    // CTS off from `from` until `until` (ms of the manual clock).
    static ScriptedModemPort::CtsTimeline ctsOff(std::int64_t from, std::int64_t until) {
        return
            [=](std::int64_t t) { return t >= from && t < until ? Status::CtsOff : Status::CtsOn; };
    }

    SleepWatchingClock clock_;
    RecordingMessages messages_;
    RecordingHost host_;
    SharedTick tick_;
    ScriptedModemPort* modem_ = nullptr;
    std::unique_ptr<ModemChannel> channel_;
};

// ---- Port number and opening --------------------------------------------------------------

TEST_F(LineStateTest, PortOutsideOneToSixtyFourIsNeverOpened) {
    for (const int port : {0, 65}) {
        messages_.clear();
        auto channel = makeChannel(port, tick_);
        EXPECT_EQ(channel->errorCode(), ModemErrorCode::PortBusy);
        EXPECT_EQ(modem_->opens(), 0);
        ASSERT_EQ(messages_.count(), 1);
        const auto e = messages_.entries().first();
        EXPECT_EQ(e.caption, QStringLiteral("Модем: Ошибка!"));
        EXPECT_EQ(
            e.text,
            QStringLiteral("COM%1: Выбран неверный COM-порт ! \n Порт не существует!").arg(port));
    }
    messages_.clear();
    EXPECT_EQ(makeChannel(64, tick_)->errorCode(), ModemErrorCode::None);
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(LineStateTest, OpenFailuresGiveTheirCodes) {
    test::TempHome home;

    auto scripted = std::make_unique<ScriptedModemPort>(clock_);
    scripted->setOpenFails(CommPort::OpenFailure::Access);
    ModemChannel busy(5, std::move(scripted), clock_, messages_, &host_);
    EXPECT_FALSE(busy.openPort());
    EXPECT_EQ(busy.errorCode(), ModemErrorCode::PortBusy);
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].caption, QStringLiteral("Модем: Ошибка инициализации!"));
    EXPECT_EQ(messages_.entries()[0].text, QStringLiteral("COM5: Нет доступа ! COM - порт занят!"));

    scripted = std::make_unique<ScriptedModemPort>(clock_);
    scripted->setOpenFails(CommPort::OpenFailure::Settings);
    ModemChannel refused(6, std::move(scripted), clock_, messages_, &host_);
    EXPECT_FALSE(refused.openPort());
    EXPECT_EQ(refused.errorCode(), ModemErrorCode::SystemError);
    EXPECT_EQ(messages_.entries()[1].text, QStringLiteral("COM6: Системная ошибка !"));
    QFile log(home.filePath(QStringLiteral("debug.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "Init SetCommState GetLastError()=scripted port error\n");
}

TEST_F(LineStateTest, MeasuringPortIsOpenedAs9600With2StopBitsAndNoFlowControl) {
    const LineSettings& s = modem_->settings();
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_FALSE(s.parity);
    EXPECT_EQ(s.stopBits, 2);
    EXPECT_TRUE(s.dtr);
    EXPECT_TRUE(s.rts);
    EXPECT_EQ(s.flow, LineSettings::Flow::None);
}

// ---- CTS ----------------------------------------------------------------------------------

TEST_F(LineStateTest, ShortCtsLossCostsOneStatusLineAndSecondSleeps) {
    modem_->setCts(ctsOff(0, 3000));
    host_.inCall = true;
    channel_->AnalysState();

    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::NoAnswer});
    EXPECT_EQ(clock_.tickMs(), 3000);  // three sleeps of a second
    EXPECT_EQ(messages_.count(), 0);
    // The modem is back: set up again, the call starts over, polling stops.
    EXPECT_EQ(modem_->commands(), QList<QByteArray>{"AT&FV0"});
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
    EXPECT_EQ(host_.restarts, 1);
    EXPECT_EQ(host_.pollingStops, 1);
    EXPECT_FALSE(tick_.isSet());

    // The next check finds everything normal.
    channel_->AnalysState();
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::None);
    EXPECT_EQ(host_.statuses.size(), 1);
}

TEST_F(LineStateTest, ExchangeWaitsForCtsOutsideATestCall) {
    modem_->setCts(ctsOff(0, 2500));
    modem_->setAnswer("AT%K", "100\r0\r");
    EXPECT_TRUE(channel_->ModemSendGetData(ModemRequest{"AT%K", 11}));
    EXPECT_EQ(channel_->gain(), 100);
    EXPECT_EQ(clock_.tickMs(), 3000);
    EXPECT_EQ(host_.restarts, 0);
    EXPECT_EQ(modem_->commands(), (QList<QByteArray>{"AT&FV0", "AT%K"}));
}

TEST_F(LineStateTest, LongCtsLossAsksAndNoStops) {
    modem_->setCts([](std::int64_t) { return Status::CtsOff; });
    channel_->AnalysState();
    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::NoAnswer});
    ASSERT_EQ(messages_.count(), 1);
    const auto e = messages_.entries().first();
    EXPECT_TRUE(e.question);
    EXPECT_EQ(e.caption, QStringLiteral("Модем: Нет CTS"));
    EXPECT_EQ(e.text, QStringLiteral(
                          "COM3: Нет ответа ! \n Возможно модем отключен! Попытаться продолжить?"));
    EXPECT_GE(clock_.tickMs(), 5001);
    EXPECT_LE(clock_.tickMs(), 6000);
    EXPECT_TRUE(channel_->stopRequested());
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
}

TEST_F(LineStateTest, YesToTheCtsQuestionGrantsAnotherGrace) {
    modem_->setCts(ctsOff(0, 8000));
    messages_.queueAnswer(true);
    channel_->AnalysState();
    EXPECT_EQ(messages_.count(), 1);
    EXPECT_EQ(clock_.tickMs(), 8000);
    EXPECT_FALSE(channel_->stopRequested());
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::None);  // not in a call
    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::NoAnswer});
    EXPECT_EQ(modem_->opens(), 2);  // the question re-opened the port
}

TEST_F(LineStateTest, PortWithoutModemLinesEndsTheCheck) {
    modem_->setCts([](std::int64_t) { return Status::Unavailable; });
    channel_->setErrorCode(ModemErrorCode::NoAnswer);
    channel_->AnalysState();
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::None);
    EXPECT_TRUE(host_.statuses.isEmpty());
    EXPECT_EQ(clock_.tickMs(), 0);
}

TEST_F(LineStateTest, AnotherPortsCtsLossLeavesThisModemAlone) {
    tick_.set(0);  // another port's modem went away at tick 0
    channel_->AnalysState();
    EXPECT_TRUE(modem_->commands().isEmpty());
    EXPECT_EQ(host_.restarts, 0);
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::None);
    EXPECT_TRUE(tick_.isSet());

    // This port's own modem goes a second later: its own status line, its own re-init.
    clock_.advance(1000);
    modem_->setCts(ctsOff(1000, 4000));
    channel_->AnalysState();
    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::NoAnswer});
    EXPECT_EQ(clock_.tickMs(), 4000);
    EXPECT_EQ(modem_->commands(), QList<QByteArray>{"AT&FV0"});
    EXPECT_FALSE(tick_.isSet());
}

TEST_F(LineStateTest, GraceIsSharedBetweenPorts) {
    tick_.set(0);  // another port lost CTS at tick 0 and is still waiting
    clock_.advance(3000);
    modem_->setCts([](std::int64_t) { return Status::CtsOff; });
    channel_->AnalysState();
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(clock_.tickMs(), 6000);  // 5 s after the first loss, not after this one
}

// ---- Rings --------------------------------------------------------------------------------

TEST_F(LineStateTest, RingWhileCallingIsWaitedOut) {
    modem_->sendAt(0, "2\r");
    modem_->sendAt(5000, "2\r");  // the next ring comes during the wait
    channel_->CommClr(true);
    EXPECT_EQ(host_.statuses, (QList<PortEvent>{PortEvent::RingWarning, PortEvent::RingWarning}));
    EXPECT_EQ(clock_.tickMs(), 16000);
    EXPECT_EQ(channel_->port().bytesPending(), 0);
}

TEST_F(LineStateTest, RingWhileAnsweringIsOnlyReported) {
    host_.answering = true;
    modem_->sendAt(0, "2\r");
    channel_->CommClr(true);
    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::RingReceived});
    EXPECT_EQ(clock_.tickMs(), 0);
}

TEST_F(LineStateTest, OtherPendingInputIsNoRing) {
    modem_->sendAt(0, "0\r");
    EXPECT_FALSE(channel_->GetChar());
    EXPECT_EQ(channel_->port().bytesPending(), 0);  // read and dropped
    EXPECT_FALSE(channel_->GetChar());
}

// The port thread and the answering station name a failed look at the input each their way.
TEST_F(LineStateTest, FailedLookAtPendingInputIsReportedWithItsContext) {
    channel_->port().close();
    EXPECT_FALSE(channel_->GetChar());
    EXPECT_FALSE(channel_->GetChar(str::ModemContextRingCheck));
    ASSERT_EQ(messages_.count(), 2);
    EXPECT_EQ(messages_.entries().at(0).caption,
              QStringLiteral("LastError - Getch::ClearCommError"));
    EXPECT_EQ(messages_.entries().at(1).caption, QStringLiteral("LastError - Getch::ClearComm"));
}

TEST_F(LineStateTest, ExchangeWaitsOutRingsOnlyWhenAsked) {
    modem_->sendAt(0, "2\r");
    ASSERT_TRUE(channel_->ModemSendGetData(ModemRequest{"ATH0", 7}));
    EXPECT_TRUE(host_.statuses.isEmpty());  // the ring report was purged
    EXPECT_EQ(channel_->lastReply(), "ATH0\r0\r");

    modem_->sendAt(clock_.tickMs(), "2\r");
    ASSERT_TRUE(channel_->ModemSendGetData(ModemRequest{"ATH1%T12", 11}, {.waitForRing = true}));
    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::RingWarning});
    EXPECT_EQ(clock_.tickMs(), 8000);
}

TEST_F(LineStateTest, StopEndsTheRingWait) {
    modem_->sendAt(0, "2\r");
    modem_->sendAt(4000, "2\r");
    clock_.onSleep = [this] {
        if (clock_.tickMs() >= 1000) {
            channel_->requestStop();
        }
    };
    channel_->CommClr(true);
    EXPECT_EQ(clock_.tickMs(), 1000);
    EXPECT_EQ(host_.statuses, QList<PortEvent>{PortEvent::RingWarning});
}

// ---- Waiting ------------------------------------------------------------------------------

TEST_F(LineStateTest, WaitTicksSleepsInSlicesAndDropsTheLastTenth) {
    channel_->WaitTicks(1200);
    EXPECT_EQ(clock_.tickMs(), 1200);
    EXPECT_EQ(clock_.sleeps, 3);  // 500 + 500 + 200

    channel_->WaitTicks(100);  // not worth a sleep
    EXPECT_EQ(clock_.tickMs(), 1200);
}

TEST_F(LineStateTest, WaitTicksEndsOnAnError) {
    clock_.onSleep = [this] { channel_->setErrorCode(ModemErrorCode::NoAnswer); };
    channel_->WaitTicks(8000);
    EXPECT_EQ(clock_.tickMs(), 500);
}

}  // namespace
}  // namespace zev7
