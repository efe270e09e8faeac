// Whole scenarios run by the port engine against the simulated network: the demo cycle that
// ends early within its norm, a cycle busy on the incoming side at every call, every one of
// the thirteen loss outcomes in one run, and an interrupted scenario.
#include "port_engine_support.h"

#include "scenario/result_code.h"
#include "teliq/level_decoder.h"

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;
using porttest::SinkRecord;

constexpr double kLevelTolerance = 0.5;
constexpr double kSimAttenuationDb = 6.0;
constexpr double kSimToneDbm = -10.0;

class DemoRun : public PortBench {};

TEST_F(DemoRun, FiveSuccessesEndTheCycleEarlyWithinTheNorm) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));

    EXPECT_TRUE(e->completed());
    EXPECT_EQ(e->outcome(), RunOutcome::Completed);
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Completed);
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join(u'|').toStdString();

    const QList<CallRefresh> calls = view_.calls();
    ASSERT_EQ(calls.size(), 5);
    for (const CallRefresh& c : calls) {
        EXPECT_EQ(c.row[1], resultCodeText(ResultCode::Success)) << c.callNumber;
        EXPECT_NEAR(c.row[2].toDouble(), kSimAttenuationDb, kLevelTolerance) << c.callNumber;
        EXPECT_NEAR(c.row[3].toDouble(), kSimToneDbm, kLevelTolerance) << c.callNumber;
        EXPECT_NEAR(c.row[4].toDouble(), kSimToneDbm, kLevelTolerance) << c.callNumber;
    }
    EXPECT_EQ(calls.last().summary[0][0], QStringLiteral("5"));
    EXPECT_EQ(calls.last().summary[4][1], QStringLiteral("Норма"));
    EXPECT_EQ(e->statistics().successes(), 5);

    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_EQ(protocol, (QStringList{
                            QStringLiteral("Сценарий запущен!"),
                            QStringLiteral("Модем установлен в режим вызывного устройства"),
                            QStringLiteral("Цикл 1 -/-/-/-/-/2222222/- отработка начата!"),
                            QStringLiteral("Цикл 1 -/-/-/-/-/2222222/- завершен!"),
                            QStringLiteral("Сценарий завершен!"),
                        }));
    // The window's list shows the lines the file holds, each written with one blank after it.
    QStringList shown;
    for (const QString& l : view_.protocolLines()) {
        shown.append(l + QLatin1Char(' '));
    }
    EXPECT_EQ(shown, protocolFile(kCaller));
    const auto cycles = workingCopyCycles(kCaller);
    ASSERT_EQ(cycles.size(), 1u);
    EXPECT_EQ(+cycles[0].state, static_cast<int>(CycleState::Done));
    EXPECT_EQ(+workingCopyHeader(kCaller).finishedCycles, 1);
    EXPECT_EQ(view_.finishedRuns(), QList<int>{kCaller});
    EXPECT_EQ(view_.modePanels().last(), ModePanel::NotSet);

    // The report: its head, the cycle's head and call table, five rows, the cycle's end with
    // the early end, and the final report.
    EXPECT_EQ(deletions_, std::vector<int>{kCaller});
    EXPECT_EQ(sections(), (std::vector<int>{0, 1, 2, 3, 3, 3, 3, 3, 4, -1}));
    const SinkRecord& end = results_.at(8);
    EXPECT_TRUE(end.endedEarly);
    EXPECT_EQ(end.calls, 5);
    EXPECT_EQ(end.verdict, QStringLiteral("Норма"));
    EXPECT_FALSE(end.interrupted);
    EXPECT_EQ(results_.at(3).callNumber, 1);
    EXPECT_EQ(results_.at(7).callNumber, 5);
}

class BusyIncomingRun : public PortBench {
protected:
    BusyIncomingRun() { network_->setFaultProbability(SimFault::BusyRingback, 1.0); }
};

TEST_F(BusyIncomingRun, EveryCallBusyRunsToTheMaximumOutsideTheNorm) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    const QList<CallRefresh> calls = view_.calls();
    ASSERT_EQ(calls.size(), 20);
    for (const CallRefresh& c : calls) {
        EXPECT_EQ(c.row[1].trimmed(), QStringLiteral("Занято на входящей")) << c.callNumber;
        EXPECT_EQ(c.row[2], QStringLiteral("----"));
    }
    EXPECT_EQ(calls.last().summary[4][1], QStringLiteral("Ненорма"));
    EXPECT_FALSE(calls.last().meetsNorm);
    EXPECT_TRUE(e->completed());
}

// Every loss outcome in one cycle: the simulated network is told which fault each call meets.
// The number is dialled in two stages (a second dial tone after "8"), the calling side sends
// its tone back, and the station listens for it.
class EveryOutcomeRun : public PortBench {
protected:
    EveryOutcomeRun() : PortBench(porttest::stationConfig(3.0, 4.0, 2)) {}
};

TEST_F(EveryOutcomeRun, ThirteenLossesAndASuccess) {
    for (SimFault f : kAllFaults) {
        network_->injectFault(f);
    }
    CycleRecord c = cycle();
    c.inNumber = porttest::numberFromFields({"8W", "-", "-", "-", "-", "2222222", "-"});
    c.minAttempts = 14;
    c.maxAttempts = 14;
    c.attenuationCheck = 1;
    c.aaDelayOff = 2.0;  // shorter than the station keeps the line when it hears nothing
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));

    std::vector<int> expected;
    for (ResultCode outcome : kLossOutcomes) {
        expected.push_back(resultCodeValue(outcome));
    }
    expected.push_back(resultCodeValue(ResultCode::Success));
    EXPECT_EQ(callOutcomes(), expected);
    const CycleStatistics& stats = e->statistics();
    EXPECT_EQ(stats.calls(), 14);
    EXPECT_EQ(stats.losses(), 13);
    for (int i = 0; i < kLossCategoryCount; ++i) {
        EXPECT_EQ(stats.categoryCount(i), 1) << i;
    }
    // Past the dial tone: all but -1, -2, -3; past the ringback: -1000 .. -4000 and success.
    EXPECT_EQ(stats.callsPastDialTone(), 11);
    EXPECT_EQ(stats.callsPastRingback(), 5);
    // The success still measured its levels after all those losses.
    const CallRefresh last = view_.calls().last();
    EXPECT_NEAR(last.row[2].toDouble(), kSimAttenuationDb, kLevelTolerance);
    EXPECT_EQ(last.summary[4][1], QStringLiteral("Ненорма"));
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join(u'|').toStdString();
}

class InterruptedRun : public PortBench {};

TEST_F(InterruptedRun, StopDuringTheThirdCallWritesThePartialCycle) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    ASSERT_TRUE(stepUntil(*e, [&] { return view_.calls().size() == 2 && e->callNumber() == 3; }));
    ASSERT_TRUE(stepUntil(*e, [&] { return e->mainState() == MainState::Polling; }));
    e->requestStop();
    while (e->runOnce()) {
    }
    EXPECT_EQ(e->outcome(), RunOutcome::Interrupted);
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Interrupted);
    EXPECT_FALSE(network_->isOffHook(kCaller));
    EXPECT_EQ(commands(kCaller).last(), QByteArray("ATH0\r"));
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_EQ(protocol.last(), QStringLiteral("Сценарий прерван!"));
    EXPECT_FALSE(protocol.contains(QStringLiteral("Сценарий завершен!")));
    // The partial cycle's end with its two calls, then the final report.
    const std::vector<int> s = sections();
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(std::vector<int>(s.end() - 2, s.end()), (std::vector<int>{4, -1}));
    EXPECT_TRUE(results_.at(results_.size() - 2).interrupted);
    EXPECT_EQ(results_.at(results_.size() - 2).calls, 2);
}

TEST_F(InterruptedRun, StopBeforeTheFirstCallWritesNoCycleEnd) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    ASSERT_TRUE(stepUntil(*e, [&] { return e->mainState() == MainState::CallStep; }));
    e->requestStop();
    while (e->runOnce()) {
    }
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).last(), QStringLiteral("Сценарий прерван!"));
    EXPECT_EQ(sections(), (std::vector<int>{0, 1, 2, -1}));
}

}  // namespace
}  // namespace zev7
