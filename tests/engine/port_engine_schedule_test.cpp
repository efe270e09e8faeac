// How a port schedules its cycles: two ports calling one answering number, a start window
// that has passed, the repetition of a scenario, an enumerated series of numbers, the early
// end of a cycle, and the line-held alarm.
#include "port_engine_support.h"

#include "core/strings.h"
#include "scenario/scenar_class.h"

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::kSecondCaller;
using porttest::PortBench;
using porttest::SinkRecord;

constexpr double kMinute = 1.0 / kMinutesPerDay;

std::vector<const SinkRecord*> cycleHeads(const std::vector<SinkRecord>& records) {
    std::vector<const SinkRecord*> out;
    for (const SinkRecord& r : records) {
        if (!r.finish && r.mode == ResultSection::CycleHead) {
            out.push_back(&r);
        }
    }
    return out;
}

// ---- Two ports, one answering number ---------------------------------------------------------

class TwoPorts : public PortBench {
protected:
    TwoPorts() : PortBench(config()) {}
    static SimConfig config() {
        SimConfig c = SimConfig::demo();
        SimModemSpec third;
        third.port = kSecondCaller;
        third.number = "3333333";
        c.modems.push_back(third);
        return c;
    }
};

TEST_F(TwoPorts, SecondIsPostponedOnceAndStartsWhenTheNumberIsFree) {
    CycleRecord c = cycle();
    c.minAttempts = 2;
    c.maxAttempts = 2;
    writeScenario(kCaller, header(), {c});
    ScenarHeader h3 = header();
    h3.outNumber = porttest::plainNumber("3333333");
    writeScenario(kSecondCaller, h3, {c});
    auto first = engine(kCaller);
    auto second = engine(kSecondCaller);
    ASSERT_EQ(first->load(), ScenarioLoad::Loaded);
    ASSERT_EQ(second->load(), ScenarioLoad::Loaded);
    first->open();
    second->open();

    // The first port takes the number up; the second finds it taken, again and again.
    ASSERT_TRUE(stepUntil(*first, [&] { return first->mainState() == MainState::CallStep; }));
    ASSERT_TRUE(registry_.activeNumber(kCaller).has_value());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(second->runOnce());
    }
    EXPECT_EQ(second->mainState(), MainState::SelectCycle);
    EXPECT_EQ(+second->cycles()[0].state, static_cast<int>(CycleState::Postponed));

    // The first completes its cycle and gives the number back; the second starts.
    ASSERT_TRUE(stepUntil(*first, [&] { return first->terminated(); }));
    EXPECT_FALSE(registry_.activeNumber(kCaller).has_value());
    ASSERT_TRUE(stepUntil(*second, [&] { return second->terminated(); }));
    EXPECT_TRUE(first->completed());
    EXPECT_TRUE(second->completed());

    const QString postponed =
        QStringLiteral("Цикл 1 -/-/-/-/-/2222222/- ") + txt(str::EventCyclePostponed);
    EXPECT_EQ(messagesOf(protocolFile(kSecondCaller)).count(postponed), 1);
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).count(postponed), 0);
    EXPECT_EQ(callOutcomes(), (std::vector<int>{0, 0, 0, 0}));
    // Each port wrote its own protocol.
    EXPECT_EQ(messagesOf(protocolFile(kSecondCaller)).first(), QStringLiteral("Сценарий запущен!"));
}

// ---- A start window that has passed ----------------------------------------------------------

class LateCycle : public PortBench {};

TEST_F(LateCycle, IsCancelledAndCountedFinished) {
    ScenarHeader h = header();
    h.baseTime -= 120 * kMinute;  // the base was two hours ago
    CycleRecord late = cycle("2222222");
    late.startFrom = 0.0;
    late.startUntil = 60 * kMinute;  // closed an hour ago
    CycleRecord open = cycle("2222222");
    open.startFrom = 0.0;
    open.startUntil = 180 * kMinute;
    open.minAttempts = 1;
    open.maxAttempts = 1;
    writeScenario(kCaller, h, {late, open});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_TRUE(e->completed());
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_EQ(protocol.at(2),
              QStringLiteral("Цикл 1 -/-/-/-/-/2222222/- ") + txt(str::EventCycleCancelledLate));
    EXPECT_EQ(protocol.last(), QStringLiteral("Сценарий завершен!"));
    const auto saved = workingCopyCycles(kCaller);
    EXPECT_EQ(+saved[0].state, static_cast<int>(CycleState::Cancelled));
    EXPECT_EQ(+saved[1].state, static_cast<int>(CycleState::Done));
    EXPECT_EQ(+workingCopyHeader(kCaller).finishedCycles, 2);
    EXPECT_EQ(view_.cycleStarts().size(), 1);
}

TEST_F(LateCycle, AFinishedCountAheadOfTheStatesDoesNotRestartBeneathTheCycle) {
    // A hand-made file: one cycle counted finished while it still waits.
    ScenarHeader h = header();
    h.finishedCycles = 1;
    CycleRecord c = cycle();
    c.minAttempts = 1;
    c.maxAttempts = 1;
    writeScenario(kCaller, h, {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_TRUE(e->completed());
    EXPECT_EQ(view_.calls().size(), 1);
}

// ---- Restart after an interruption -----------------------------------------------------------

class Restart : public PortBench {};

// A campaign stopped after its second cycle is continued with Restart: only the third cycle
// runs. The first was cancelled at start-up for a frequency the modem has no filter for; the
// start-up check of the restarted run must not count it finished a second time, or the run
// would end before the third cycle.
TEST_F(Restart, ContinuesAfterTheFinishedCyclesOnly) {
    CycleRecord noFilter = cycle();
    noFilter.aaFrequency = 1800;
    CycleRecord second = cycle();
    second.minAttempts = 1;
    second.maxAttempts = 1;
    const CycleRecord third = second;
    writeScenario(kCaller, header(), {noFilter, second, third});
    auto first = engine(kCaller);
    ASSERT_EQ(first->load(), ScenarioLoad::Loaded);
    first->open();
    ASSERT_TRUE(stepUntil(
        *first, [&] { return first->cycles()[1].state == static_cast<int>(CycleState::Done); }));
    first->requestStop();
    while (first->runOnce()) {
    }
    ASSERT_EQ(first->outcome(), RunOutcome::Interrupted);
    EXPECT_EQ(+workingCopyHeader(kCaller).finishedCycles, 2);

    TScenarClass scenario(messages_, QDateTime::currentDateTime());
    ASSERT_TRUE(scenario.LoadFromFile(workingCopyPath(kCaller)));
    ASSERT_TRUE(scenario.canRestart());
    results_.clear();

    auto restarted = engine(kCaller);
    ASSERT_TRUE(run(*restarted));
    EXPECT_TRUE(restarted->completed());
    const auto heads = cycleHeads(results_);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0]->cycleNumber, 3);
    EXPECT_EQ(callOutcomes(), std::vector<int>{0});
    // The restarted run starts a new protocol.
    const QStringList restartLines = messagesOf(protocolFile(kCaller));
    ASSERT_FALSE(restartLines.isEmpty());
    EXPECT_EQ(restartLines.first(), QStringLiteral("Сценарий запущен!"));
    EXPECT_FALSE(restartLines.join(u'\n').contains(QStringLiteral("Цикл 1 ")));
    EXPECT_FALSE(restartLines.join(u'\n').contains(QStringLiteral("Цикл 2 ")));
    EXPECT_EQ(restartLines.last(), QStringLiteral("Сценарий завершен!"));
    EXPECT_EQ(+workingCopyHeader(kCaller).finishedCycles, 3);
}

// ---- Repetition ------------------------------------------------------------------------------

class Repetition : public PortBench {};

TEST_F(Repetition, TheSecondPassRunsWhenItsMovedWindowOpens) {
    ScenarHeader h = header();
    h.runCount = 2;
    h.repeatMode = 2;  // relative to the base time
    h.repeatInterval = 90;
    CycleRecord c = cycle();
    c.minAttempts = 1;
    c.maxAttempts = 1;
    c.startUntil = 60 * kMinute;
    writeScenario(kCaller, h, {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_TRUE(e->completed());
    const auto heads = cycleHeads(results_);
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_NEAR(heads[0]->cycleStart, h.baseTime, 2.0 / kSecondsPerDay);
    EXPECT_NEAR(heads[1]->cycleStart, h.baseTime + 90 * kMinute, 2.0 / kSecondsPerDay);
    EXPECT_EQ(heads[1]->executionNumber, 2);
    EXPECT_EQ(view_.calls().size(), 2);
}

// ---- Enumerated numbers ----------------------------------------------------------------------

class EnumeratedNumbers : public PortBench {
protected:
    EnumeratedNumbers() : PortBench(config()) {}
    static SimConfig config() {
        SimConfig c = SimConfig::demo();
        const SimModemSpec station = c.modems[1];
        c.modems.pop_back();
        int port = 4;
        for (const char* n : {"2222100", "2222101", "2222102"}) {
            SimModemSpec s = station;
            s.port = port++;
            s.number = n;
            c.modems.push_back(s);
        }
        return c;
    }
};

TEST_F(EnumeratedNumbers, LastFieldRunsThreeTimesThenIsRestored) {
    CycleRecord c = cycle("2222100");
    c.minAttempts = 1;
    c.maxAttempts = 1;
    c.numEnum[NUM_ON_ATX].on = 1;
    c.numEnum[NUM_ON_ATX].endValue = 2222102;
    c.numEnum[NUM_ON_ATX].step = 1;
    c.anyEnum = 1;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_TRUE(e->completed());

    QStringList numbers;
    for (const CycleStartInfo& s : view_.cycleStarts()) {
        numbers.append(s.inNumberText);
    }
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("-/-/-/-/-/2222100/-"),
                                    QStringLiteral("-/-/-/-/-/2222101/-"),
                                    QStringLiteral("-/-/-/-/-/2222102/-")}));
    EXPECT_EQ(callOutcomes(), (std::vector<int>{0, 0, 0}));
    const auto saved = workingCopyCycles(kCaller);
    EXPECT_EQ(numberText(saved[0].inNumber), QStringLiteral("-/-/-/-/-/2222100/-"));
    EXPECT_EQ(+saved[0].state, static_cast<int>(CycleState::Done));
    EXPECT_EQ(+workingCopyHeader(kCaller).finishedCycles, 1);
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_EQ(protocol.filter(QStringLiteral("/- ") + txt(str::EventCycleFinished)).size(), 3);
}

TEST_F(EnumeratedNumbers, NextNumberWaitsWhileAnotherPortCallsIt) {
    CycleRecord c = cycle("2222100");
    c.minAttempts = 1;
    c.maxAttempts = 1;
    c.numEnum[NUM_ON_ATX].on = 1;
    c.numEnum[NUM_ON_ATX].endValue = 2222101;
    c.numEnum[NUM_ON_ATX].step = 1;
    c.anyEnum = 1;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    // Port 9 calls 2222101 while this port finishes 2222100.
    registry_.claimNumber(9, porttest::plainNumber("2222101"));
    ASSERT_TRUE(stepUntil(*e, [&] { return e->mainState() == MainState::WaitNumber; }));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(e->runOnce());
    }
    EXPECT_EQ(e->mainState(), MainState::WaitNumber);
    const QString postponed = txt(str::EventCyclePostponed);
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).filter(postponed).size(), 1);
    registry_.releaseNumber(9);
    while (e->runOnce()) {
    }
    EXPECT_TRUE(e->completed());
    EXPECT_EQ(view_.cycleStarts().size(), 2);
}

// ---- Rings while the modem answers between cycles ----------------------------------------------

class RingsBetweenCycles : public PortBench {};

TEST_F(RingsBetweenCycles, ReportedAtMostOnceInEightSeconds) {
    ScenarHeader h = header();
    h.aaBetweenCycles = 1;
    h.aaRings = 3;
    CycleRecord c = cycle();
    c.startFrom = 30 * kMinute;  // nothing to start for half an hour
    c.startUntil = 90 * kMinute;
    writeScenario(kCaller, h, {c});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    ASSERT_TRUE(e->answeringMode());
    // The station's modem calls this port's number: a ring every 5 s, answered at the third.
    SimLinkPort other(*network_, porttest::kStation);
    ASSERT_TRUE(other.open(LineSettings::measuring()));
    other.write("ATH1\r");
    other.write("ATD1111111;\r");
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(e->runOnce());
    }
    EXPECT_EQ(e->mainState(), MainState::SelectCycle);
    // Rings at 0, 5 and 10 s: the second falls within 8 s of the first report.
    const QStringList rings = messagesOf(protocolFile(kCaller)).filter(txt(str::EventRingReceived));
    EXPECT_EQ(rings.size(), 2);
    // It answered the call itself at the third ring.
    int ringReports = 0;
    for (const porttest::Traffic& t : traffic_) {
        ringReports += t.port == kCaller && !t.toModem && t.bytes == "2\r" ? 1 : 0;
    }
    EXPECT_EQ(ringReports, 3);
}

// ---- Early end -------------------------------------------------------------------------------

class EarlyEnd : public PortBench {};

TEST_F(EarlyEnd, OneLossAmongTheFirstFiveRunsToTheMaximum) {
    network_->injectFault(SimFault::NoDialTone);
    CycleRecord c = cycle();
    c.minAttempts = 5;
    c.maxAttempts = 8;
    c.normAtMin = 1.0;
    c.normAtMax = 20.0;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(view_.calls().size(), 8);
    // 1 loss in 8 calls is 12.5 %, within 20 %.
    EXPECT_EQ(view_.calls().last().summary[4][1], QStringLiteral("Норма"));
    const SinkRecord* end = nullptr;
    for (const SinkRecord& r : results_) {
        if (!r.finish && r.mode == ResultSection::CycleEnd) {
            end = &r;
        }
    }
    ASSERT_NE(end, nullptr);
    EXPECT_FALSE(end->endedEarly);
}

// ---- Line held -------------------------------------------------------------------------------

class LineHeld : public PortBench {
protected:
    LineHeld() : PortBench(porttest::stationConfig(3.0, 4.0, 2)) {}
    CycleRecord heldCycle() const {
        CycleRecord c = cycle();
        c.minAttempts = 10;
        c.maxAttempts = 10;
        c.holdMask = 1U << 1;  // -2, busy on the outgoing side
        c.holdCount[1] = 3;
        c.attenuationCheck = 1;
        c.aaDelayOff = 2.0;
        return c;
    }
};

TEST_F(LineHeld, ThirdBusySinceTheLastResetAsksAndNoStops) {
    // Faults are injected per point of the call: each just before the call that meets it.
    writeScenario(kCaller, header(), {heldCycle()});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    const SimFault faults[] = {SimFault::BusyDialTone, SimFault::BusyDialTone,
                               SimFault::ToneNotHeard, SimFault::BusyDialTone,
                               SimFault::BusyDialTone, SimFault::BusyDialTone};
    for (int call = 0; call < 6; ++call) {
        network_->injectFault(faults[call]);
        ASSERT_TRUE(stepUntil(*e, [&] { return view_.calls().size() == call + 1; }));
    }
    while (e->runOnce()) {
    }

    // -2, -2, -4000 (resets the count), -2, -2, -2: the question after the sixth call.
    EXPECT_EQ(callOutcomes(), (std::vector<int>{-2, -2, -4000, -2, -2, -2}));
    ASSERT_EQ(view_.questions().size(), 1);
    const auto q = view_.questions()[0];
    EXPECT_EQ(q.caption, lineHeldCaption(kCaller));
    EXPECT_EQ(q.text, QStringLiteral("Исх. -/-/-/-/-/1111111/-\nВх. -/-/-/-/-/2222222/-\n") +
                          resultCodeText(ResultCode::BusyOutgoing) +
                          QStringLiteral("\nЛиния удержана!\n\n") +
                          QStringLiteral("Продолжить выполнение сценария?"));
    EXPECT_EQ(view_.beeps(), kLineHeldBeeps);
    // The speaker is switched on with the line still held, then the line is released.
    const QList<QByteArray> cmds = commands(kCaller);
    const qsizetype speaker = cmds.lastIndexOf("ATM2L3\r");
    ASSERT_GE(speaker, 0);
    EXPECT_EQ(cmds.value(speaker + 1), QByteArray("ATH0\r"));
    EXPECT_EQ(e->outcome(), RunOutcome::Failed);
    EXPECT_FALSE(messagesOf(protocolFile(kCaller)).contains(QStringLiteral("Сценарий прерван!")));
}

TEST_F(LineHeld, NoIsHonouredWhenTheHangUpFails) {
    for (int i = 0; i < 3; ++i) {
        network_->injectFault(SimFault::BusyDialTone);
    }
    cutOnHookReplyOnce(kCaller, [this] { return !view_.questions().empty(); });
    writeScenario(kCaller, header(), {heldCycle()});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    ASSERT_EQ(view_.questions().size(), 1);
    // The third busy call is accounted, no call follows, the modem is put on-hook again and
    // the report is finished.
    EXPECT_EQ(callOutcomes(), (std::vector<int>{-2, -2, -2}));
    const QList<QByteArray> cmds = commands(kCaller);
    EXPECT_EQ(cmds.count("ATH1%T12\r"), 3);
    EXPECT_EQ(cmds.last(), QByteArray("ATH0\r"));
    EXPECT_EQ(sections().back(), -1);
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(LineHeld, YesGoesOnAndAsksAgainAtTheNextRepetition) {
    for (int i = 0; i < 4; ++i) {
        network_->injectFault(SimFault::BusyDialTone);
    }
    view_.queueLineHeldAnswer(true);
    CycleRecord c = heldCycle();
    c.minAttempts = 5;
    c.maxAttempts = 5;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(callOutcomes(), (std::vector<int>{-2, -2, -2, -2}));
    // Asked at the third (Yes) and the fourth (No) busy.
    EXPECT_EQ(view_.questions().size(), 2);
    EXPECT_EQ(view_.calls().size(), 4);
}

}  // namespace
}  // namespace zev7
