// The answering station at work: rings logged once per burst, the modem's CTS line watched,
// a whole test call from another port answered by the station it set up, and the thread
// (TModemAA_Ring) started, commanded and stopped as the port window does it, with its window
// calls served on the UI thread while the starting thread waits.
#include "answer_station_support.h"
#include "support/recording_messages.h"

#include "channel_test_support.h"
#include "engine/answer/tmodem_aa_ring.h"
#include "engine/supervisor/port_supervisor.h"
#include "scripted_modem_port.h"
#include "support/core_app.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <functional>

namespace zev7 {
namespace {

using namespace answertest;

QCoreApplication& app() {
    return test::coreApp();
}

QString u(const char* text) {
    return QString::fromUtf8(text);
}

constexpr char kRing[] = "Получен сигнал вызова";
constexpr char kNoAnswer[] = "Нет ответа !  Возможно модем отключен!";

// ---- Rings ------------------------------------------------------------------------------------

class RingCheck : public AnswerBench {
protected:
    // A station on a scripted LX modem whose rings the test times.
    std::unique_ptr<AnswerStation> scriptedStation() {
        auto port = std::make_unique<test::ScriptedModemPort>(clock_);
        port->setAnswer("ATI5", "Teliq LX Version 3.1.0\r0\r");
        port->setAnswer("ATI3", "Teliq LX-3310\r0\r");
        modem_ = port.get();
        auto holder = std::make_shared<std::unique_ptr<CommPort>>(std::move(port));
        const PortServices s{clock_, messages_, view_, registry_,
                             [holder](int) { return std::move(*holder); }};
        return std::make_unique<AnswerStation>(kStation, AnswerMode::Answer, s);
    }
    test::ScriptedModemPort* modem_ = nullptr;
};

TEST_F(RingCheck, RingsCloserThanEightSecondsGiveOneLine) {
    view_.setAnswerSettings(page(1020.0, -10));
    auto s = scriptedStation();
    ASSERT_EQ(s->construct(), ModemErrorCode::None);
    const std::int64_t t0 = clock_.tickMs();
    // Three rings 4 s apart, a fourth 9 s after the third.
    for (const std::int64_t at : {1000, 5000, 9000, 18000}) {
        modem_->sendAt(t0 + at, "2\r");
    }
    ASSERT_TRUE(runFor(*s, 17000));
    EXPECT_EQ(count(kRing), 1);
    ASSERT_TRUE(runFor(*s, 3000));
    EXPECT_EQ(count(kRing), 2);
    EXPECT_EQ(messagesOf(protocolFile(kStation)).count(u(kRing)), 2);
    // Watching sends the modem nothing.
    EXPECT_EQ(modem_->commands().last(), "AT&W");
}

// ---- The CTS line -------------------------------------------------------------------------------

// Messages that look at the protocol when the question comes, and may act then.
class WatchingMessages : public RecordingMessages {
public:
    bool ask(const QString& caption, const QString& text) override {
        asked.push_back(clockTick());
        if (onAsk) {
            onAsk();
        }
        return RecordingMessages::ask(caption, text);
    }
    std::function<std::int64_t()> clockTick;
    std::function<void()> onAsk;
    std::vector<std::int64_t> asked;
};

class PresenceWatch : public AnswerBench {
protected:
    std::unique_ptr<AnswerStation> watchedStation() {
        watching_.clockTick = [this] { return clock_.tickMs(); };
        const PortServices base = services();
        const PortServices s{clock_, watching_, view_, registry_, base.makePort};
        view_.setAnswerSettings(page(1020.0, -10));
        return std::make_unique<AnswerStation>(kStation, AnswerMode::Answer, s);
    }
    WatchingMessages watching_;
};

TEST_F(PresenceWatch, AnUnpluggedModemIsReportedOnceThenAskedAboutAfterFiveSeconds) {
    auto s = watchedStation();
    ASSERT_EQ(s->construct(), ModemErrorCode::None);
    ASSERT_TRUE(runFor(*s, 2000));
    network_->setUnplugged(kStation, true);
    const std::int64_t unplugged = clock_.tickMs();
    int linesAtQuestion = -1;
    watching_.onAsk = [&] { linesAtQuestion = count(kNoAnswer); };
    runToEnd(*s);
    ASSERT_EQ(watching_.asked.size(), 1u);
    EXPECT_EQ(linesAtQuestion, 1);
    EXPECT_GT(watching_.asked[0] - unplugged, 5000);
    EXPECT_EQ(watching_.entries()[0].text,
              u("COM2: Нет ответа ! \n Возможно модем отключен! Попытаться продолжить?"));
    // No ends the station, and its page shows that nothing is set.
    EXPECT_EQ(s->errorCode(), ModemErrorCode::NoAnswer);
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::NotSet);
    EXPECT_TRUE(view_.answerFinishes().last().monitoringEnded);
}

TEST_F(PresenceWatch, YesKeepsWatchingAndAModemBackIsResetAndWatchedAgain) {
    auto s = watchedStation();
    ASSERT_EQ(s->construct(), ModemErrorCode::None);
    network_->setUnplugged(kStation, true);
    watching_.queueAnswer(true);
    watching_.onAsk = [&] { network_->setUnplugged(kStation, false); };
    const std::size_t from = mark();
    ASSERT_TRUE(runFor(*s, 10000));
    EXPECT_EQ(watching_.asked.size(), 1u);
    EXPECT_EQ(sent(kStation, from), QList<QByteArray>{"ATE1V0H0Q0"});
    EXPECT_EQ(s->errorCode(), ModemErrorCode::None);
    EXPECT_TRUE(runFor(*s, 3000));
}

// ---- A test call to the station ---------------------------------------------------------------

class StationAnswersCalls : public AnswerBench {};

TEST_F(StationAnswersCalls, EveryCallIsAnsweredWithTheWrittenSignalAndLoggedOnce) {
    // The station on its own clock, kept level with the network's: its half-second look for
    // rings takes none of the caller's time.
    ManualClock stationClock(clock_.now());
    const PortServices base = services();
    const PortServices s{stationClock, messages_, view_, registry_, base.makePort};
    view_.setAnswerSettings(page(1500.0, -12));
    AnswerStation station(kStation, AnswerMode::Answer, s);
    ASSERT_EQ(station.construct(), ModemErrorCode::None);
    EXPECT_TRUE(sent(kStation).contains("AT%L16"));
    EXPECT_EQ(view_.answerSettingsShown().last(), page(1500.0, -12));

    CycleRecord c = cycle();
    c.aaFrequency = 1500.0;
    c.aaNominalLevel = -12;
    c.minAttempts = 3;
    c.maxAttempts = 3;
    writeScenario(kCaller, header(), {c});
    auto caller = engine(kCaller);
    ASSERT_EQ(caller->load(), ScenarioLoad::Loaded);
    caller->open();
    std::int64_t nextLook = clock_.tickMs();
    for (int i = 0; i < porttest::kStepLimit && caller->runOnce(); ++i) {
        if (clock_.tickMs() >= nextLook) {
            stationClock.advance(clock_.tickMs() - stationClock.tickMs());
            ASSERT_TRUE(station.runOnce());
            nextLook = clock_.tickMs() + 500;
        }
    }
    ASSERT_EQ(view_.calls().size(), 3);
    for (const CallRefresh& r : view_.calls()) {
        EXPECT_EQ(r.row[1].trimmed(), u("Вызов состоялся"));
        // 16 dB of transmit attenuation at 1500 Hz send -12.07 dBm; the line takes 6 dB.
        EXPECT_NEAR(r.row[2].toDouble(), 6.0, 0.5);
    }
    EXPECT_EQ(
        messagesOf(protocolFile(kStation)),
        (QStringList{u("Модем установлен в режим автоответчика"), u(kRing), u(kRing), u(kRing)}));
    station.requestStop();
    runToEnd(station);
}

// ---- The thread ---------------------------------------------------------------------------------

class AnswerThread : public AnswerBench {
protected:
    AnswerThread() : supervisor_(threadServices()) {
        app();
        QObject::connect(&supervisor_, &PortSupervisor::answerStationStarted, &supervisor_,
                         [this](int port, int code) {
                             started_.append({port, code});
                         });
    }

    PortServices threadServices() {
        const PortServices base = services();
        return PortServices{clock_, messages_, view_, registry_, base.makePort};
    }
    // Serves the supervisor's signals until `done` holds.
    void runUntil(const std::function<bool()>& done) {
        QEventLoop loop;
        const auto check = [&] {
            if (done()) {
                loop.quit();
            }
        };
        QObject::connect(&supervisor_, &PortSupervisor::answerStationStarted, &loop, check);
        QObject::connect(&supervisor_, &PortSupervisor::allEnded, &loop, check);
        QObject::connect(&supervisor_, &PortSupervisor::answerStationEnded, &loop, check);
        if (!done()) {
            loop.exec();
        }
    }
    int startedCode(int nth) {
        runUntil([&] { return started_.size() > nth; });
        return started_.at(nth).second;
    }

    PortSupervisor supervisor_;
    QList<QPair<int, int>> started_;
};

TEST_F(AnswerThread, AnsweringStationStaysUntilStoppedWithoutOrAfterTheQuestion) {
    view_.setAnswerSettings(page(1020.0, -10));
    ASSERT_EQ(supervisor_.startAnswerStation(kStation, AnswerMode::Answer), 0);
    ASSERT_EQ(startedCode(0), 0);
    EXPECT_TRUE(supervisor_.answerStationRunning(kStation));
    EXPECT_EQ(view_.answerSettingsShown().size(), 1);

    // One station per port: a second one cannot open the port, and does not stay.
    ASSERT_EQ(supervisor_.startAnswerStation(kStation, AnswerMode::Answer), 0);
    EXPECT_EQ(startedCode(1), -1);
    runUntil([&] { return supervisor_.runningCount() == 1; });
    EXPECT_NE(registry_.answerThread(kStation), nullptr);

    // Asked and refused: nothing happens.
    messages_.clear();
    messages_.queueAnswer(false);
    EXPECT_FALSE(StopAnswerThread(supervisor_, messages_, kStation, true));
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].caption, u("Внимание!"));
    EXPECT_EQ(messages_.entries()[0].text, u("Прервать режим мониторинга входящих звонков?"));
    EXPECT_TRUE(supervisor_.answerStationRunning(kStation));

    // A posted command is taken by the running station.
    view_.setSpeaker(true);
    EXPECT_TRUE(supervisor_.postAnswerCommand(kStation, AnswerCommand::Speaker));
    while (supervisor_.answerCommandPending(kStation)) {
        QThread::yieldCurrentThread();
    }

    messages_.queueAnswer(true);
    EXPECT_TRUE(StopAnswerThread(supervisor_, messages_, kStation, true));
    runUntil([&] { return supervisor_.runningCount() == 0; });
    EXPECT_EQ(registry_.answerThread(kStation), nullptr);
    EXPECT_EQ(view_.answerThreadsEnded().last(), kStation);
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::AnsweringStation);
    EXPECT_TRUE(sent(kStation).contains("ATM2L3"));
    // Without a thread there is nothing to stop, nor to command.
    EXPECT_TRUE(StopAnswerThread(supervisor_, messages_, kStation, false));
    EXPECT_FALSE(supervisor_.postAnswerCommand(kStation, AnswerCommand::Show));
}

TEST_F(AnswerThread, BatchModeStopsWithoutAsking) {
    ASSERT_EQ(supervisor_.startAnswerStation(kStation, AnswerMode::Answer), 0);
    ASSERT_EQ(startedCode(0), 0);
    test::BatchMessages batch;
    EXPECT_TRUE(StopAnswerThread(supervisor_, batch, kStation, true));
    EXPECT_EQ(batch.count(), 0);
    runUntil([&] { return supervisor_.runningCount() == 0; });
    EXPECT_EQ(registry_.answerThread(kStation), nullptr);
}

TEST_F(AnswerThread, ReadingEndsByItselfAndAFailureIsReturned) {
    ASSERT_EQ(supervisor_.startAnswerStation(kStation, AnswerMode::ReadSettings), 0);
    EXPECT_EQ(startedCode(0), 0);
    runUntil([&] { return supervisor_.runningCount() == 0; });
    EXPECT_EQ(view_.answerSettingsShown().last().frequency, 1020.0);
    EXPECT_EQ(registry_.answerThread(kStation), nullptr);

    ASSERT_EQ(supervisor_.startAnswerStation(65, AnswerMode::Answer), 0);
    EXPECT_EQ(startedCode(1), -1);
    runUntil([&] { return supervisor_.runningCount() == 0; });
    EXPECT_EQ(view_.answerFinishes().last().port, 65);
    EXPECT_TRUE(view_.answerFinishes().last().monitoringEnded);
}

}  // namespace
}  // namespace zev7
