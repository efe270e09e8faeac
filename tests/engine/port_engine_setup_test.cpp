// The port engine preparing its modem and its scenario: the scenario load and its errors, the
// model check, the answer filter of each cycle's frequency, the answering-station registers
// and the restore at the end.
#include "port_engine_support.h"

#include "core/strings.h"

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;

// Runs the start of a port (load, open) and ends it at once.
void startAndStop(PortEngine& e) {
    if (e.load() == zev7::ScenarioLoad::Loaded) {
        e.open();
    }
    e.requestStop();
    while (e.runOnce()) {
    }
}

// ---- Scenario load -----------------------------------------------------------------------

class ScenarioLoading : public PortBench {};

TEST_F(ScenarioLoading, MissingWorkingCopyEndsWithoutOpeningThePort) {
    auto e = engine(kCaller);
    EXPECT_EQ(e->load(), ScenarioLoad::NoFile);
    e->open();
    while (e->runOnce()) {
    }
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].text,
              QStringLiteral("COM1: Не найден файл сценария !") + workingCopyPath(kCaller));
    EXPECT_EQ(messages_.entries()[0].caption, QStringLiteral("Модем: Ошибка!"));
    EXPECT_TRUE(commands(kCaller).isEmpty());
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Failed);
    EXPECT_EQ(view_.finishedRuns(), QList<int>{kCaller});
    // The message also goes to the protocol, as one line.
    EXPECT_EQ(messagesOf(view_.protocolLines()),
              QStringList{QStringLiteral("Не найден файл сценария !")});
}

TEST_F(ScenarioLoading, ScenarioWithoutCyclesIsRefused) {
    writeScenario(kCaller, header(), {});
    auto e = engine(kCaller);
    EXPECT_EQ(e->load(), ScenarioLoad::NoCycle);
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].text,
              QStringLiteral("COM1: Не задано ни одного цикла в сценарии!"));
}

TEST_F(ScenarioLoading, OlderVersionIsReportedByTheReaderAndNothingOpens) {
    writeScenario(kCaller, header(), {cycle()});
    QFile f(workingCopyPath(kCaller));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(1);
    f.write("V1.00");  // same length as "V2.08"
    f.close();
    auto e = engine(kCaller);
    EXPECT_EQ(e->load(), ScenarioLoad::Refused);
    e->open();
    while (e->runOnce()) {
    }
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_TRUE(messages_.entries()[0].text.startsWith(QStringLiteral("Версия файла сценария:")));
    EXPECT_TRUE(commands(kCaller).isEmpty());
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
}

// ---- Model --------------------------------------------------------------------------------

class WrongModel : public PortBench {
protected:
    WrongModel() : PortBench(config()) {}
    static SimConfig config() {
        SimConfig c = SimConfig::demo();
        c.modems[0].model = SimModel::Other;
        return c;
    }
};

TEST_F(WrongModel, StopsWithMinus23BeforeAnyCall) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].text,
              QStringLiteral("COM1: Неверный тип модема!\n Необходим модем Teliq 3310!"));
    EXPECT_TRUE(view_.cycleStarts().isEmpty());
    EXPECT_FALSE(e->completed());
    EXPECT_EQ(e->outcome(), RunOutcome::Failed);
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_TRUE(
        protocol.contains(QStringLiteral("Неверный тип модема! Необходим модем Teliq 3310!")));
    // The run ended with an error: no restore of the modem (only the rest before the
    // start-up put it on-hook), the port closed.
    EXPECT_EQ(protocol.last(), QStringLiteral("Сценарий завершен!"));
    EXPECT_EQ(commands(kCaller).count("ATH0\r"), 1);
}

// ---- Answer filters -----------------------------------------------------------------------

class AnswerFilters : public PortBench {};

TEST_F(AnswerFilters, BandOfEachCycleOrItsCancellation) {
    std::vector<CycleRecord> cycles;
    for (double hz : {300.0, 889.0, 890.0, 1500.0, 1501.0, 2100.0, 2700.0, 2701.0}) {
        CycleRecord c = cycle();
        c.aaFrequency = hz;
        c.minAttempts = 1;
        c.maxAttempts = 1;
        cycles.push_back(c);
    }
    writeScenario(kCaller, header(), cycles);
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_TRUE(e->completed());

    const auto saved = workingCopyCycles(kCaller);
    ASSERT_EQ(saved.size(), 8u);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const bool cancelled = i == 4 || i == 7;
        EXPECT_EQ(+saved[i].state,
                  static_cast<int>(cancelled ? CycleState::Cancelled : CycleState::Done))
            << i;
    }
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    const QString text = txt(str::EventCycleCancelledFrequency).remove(QLatin1Char('\n'));
    EXPECT_TRUE(protocol.contains(QStringLiteral("Цикл 5 -/-/-/-/-/2222222/- ") + text));
    EXPECT_TRUE(protocol.contains(QStringLiteral("Цикл 8 -/-/-/-/-/2222222/- ") + text));
    // 300 and 889 Hz keep the 425 Hz filter; 890 and 1500 Hz take "%T16", 2100 and 2700 "%T15".
    EXPECT_EQ(commands(kCaller).count("AT%T16\r"), 2);
    EXPECT_EQ(commands(kCaller).count("AT%T15\r"), 2);
    EXPECT_EQ(view_.cycleStarts().size(), 6);
    // The station answers at 1020 Hz: only the middle band hears it.
    EXPECT_EQ(callOutcomes(), (std::vector<int>{-1000, -1000, 0, 0, -1000, -1000}));
}

// ---- Answering station between cycles ----------------------------------------------------

class AnsweringSetUp : public PortBench {};

TEST_F(AnsweringSetUp, TheModemAnswersBetweenCyclesAndIsRestoredAtTheEnd) {
    ScenarHeader h = header();
    h.aaBetweenCycles = 1;
    h.aaRings = 3;
    writeScenario(kCaller, h, {cycle()});
    auto e = engine(kCaller);
    startAndStop(*e);
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_TRUE(protocol.contains(QStringLiteral("Модем установлен в режим автоответчика")));
    EXPECT_TRUE(view_.modePanels().contains(ModePanel::Answering));
    // Stored at the set-up; at the end switched off and stored again: the modem did not
    // answer calls before this run.
    const QList<QByteArray> all = commands(kCaller);
    EXPECT_TRUE(all.contains("ATS0=3\r"));
    EXPECT_EQ(all.count("AT&W\r"), 2);
    EXPECT_EQ(all.last(), "AT&W\r");
    EXPECT_EQ(network_->storedProfile(kCaller).s[0], 0);
}

class AnsweredBeforeStart : public PortBench {
protected:
    AnsweredBeforeStart() : PortBench(config()) {}
    static SimConfig config() {
        SimConfig c = SimConfig::demo();
        c.modems[0].profile.s[0] = 2;  // the calling modem answers calls by itself
        return c;
    }
};

TEST_F(AnsweredBeforeStart, KeepsItsAutoAnswerAndTheWindowResumesMonitoring) {
    ScenarHeader h = header();
    h.aaBetweenCycles = 1;
    writeScenario(kCaller, h, {cycle()});
    auto e = engine(kCaller);
    startAndStop(*e);
    EXPECT_FALSE(commands(kCaller).contains("ATS0=0\r"));
    EXPECT_EQ(view_.resumedMonitoring(), QList<bool>{true});
    EXPECT_NE(view_.modePanels().last(), ModePanel::NotSet);
}

}  // namespace
}  // namespace zev7

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;

// A program killed in the middle of a call leaves its modem off-hook, talking to the station,
// with a level reply on its way. The next start brings it to rest first: no "no answer" at
// the first exchange, and the first call is not lost as busy on the outgoing side.
class ModemLeftInACall : public PortBench {};

TEST_F(ModemLeftInACall, StartUpBringsItToRestAndTheFirstCallSucceeds) {
    {
        SimLinkPort killed(*network_, kCaller);
        ASSERT_TRUE(killed.open(LineSettings::measuring()));
        killed.write("ATDP2222222;\r");
        clock_.advance(15'000);  // rung, answered: the station's signal on the line
        killed.write("AT%T12%V\r");
        killed.write("ATI5\rAT");  // a reply under way and a half-typed line
    }
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join('|').toStdString();
    ASSERT_GE(results_.size(), 4u);
    EXPECT_EQ(results_.at(3).mode, ResultSection::CallRow);
    EXPECT_EQ(results_.at(3).outcome, 0);
    EXPECT_TRUE(e->completed());
}

}  // namespace
}  // namespace zev7
