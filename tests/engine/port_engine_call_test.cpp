// One test call through the port engine and the simulated network: a number dialled in two
// stages, a cycle that does not judge the ringback, the call's statuses, and a modem in
// trouble. How long each tone must last is the detectors' own tests'; every outcome through
// the engine is in port_engine_run_test.
#include "port_engine_support.h"

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;
using porttest::Traffic;

// The moments (s) the program sent a command line starting with `prefix` to the caller.
std::vector<double> sentAt(const std::vector<Traffic>& traffic, const QByteArray& prefix,
                           int port = kCaller) {
    std::vector<double> out;
    for (const Traffic& t : traffic) {
        if (t.port == port && t.toModem && t.bytes.startsWith(prefix)) {
            out.push_back(t.s);
        }
    }
    return out;
}

// ---- Dialling in stages ----------------------------------------------------------------------

class StagedNumber : public PortBench {
protected:
    StagedNumber() : PortBench(config()) {}
    static SimConfig config() {
        SimConfig c = SimConfig::demo();
        c.modems[1].number = "1234567";
        return c;
    }
};

TEST_F(StagedNumber, P8WIsDialledInTwoCommandsWithTheirTimeouts) {
    CycleRecord c = cycle();
    c.inNumber = porttest::numberFromFields({"P8W", "-", "(495)", "-", "P123", "P4567", "-"});
    c.minAttempts = 1;
    c.maxAttempts = 1;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));

    QList<QByteArray> dials;
    for (const QByteArray& cmd : commands(kCaller)) {
        if (cmd.startsWith("ATD")) {
            dials.append(cmd);
        }
    }
    EXPECT_EQ(dials, (QList<QByteArray>{"ATDP8;%T12%V\r", "ATDP123P4567;%T12%V\r"}));
    // The reply of a dial command is awaited twice the estimated dialling time:
    // 2.0 + 0.2 + 1.55 + 0.2 + 0.2 = 4.15 s for the first.
    int firstTimeout = 0;
    for (const auto& r : links_.at(kCaller)->reads) {
        if (r.written == "TDP8;%T12%V\r") {
            firstTimeout = r.timeoutMs;
        }
    }
    EXPECT_EQ(firstTimeout, 8300);
    // Between the stages: status 6, the second dial tone.
    bool waitedForSecondDialTone = false;
    for (const auto& s : view_.statuses()) {
        waitedForSecondDialTone |= s.status == CallStatus::WaitDialToneWhileDialling;
    }
    EXPECT_TRUE(waitedForSecondDialTone);
    EXPECT_EQ(results_.at(3).outcome, 0);
}

// ---- Without the ringback check --------------------------------------------------------------

class NoRingbackCheck : public PortBench {};

TEST_F(NoRingbackCheck, IncomingSideIsNeverJudged) {
    network_->injectFault(SimFault::NoRingback);
    network_->injectFault(SimFault::BusyRingback);
    network_->injectFault(SimFault::CongestionRingback);
    CycleRecord c = cycle();
    c.ringbackCheck = 0;
    c.minAttempts = 4;
    c.maxAttempts = 4;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    // Nothing hears an answer signal behind silence, busy or congestion; the fourth call
    // succeeds, its ringback unmeasured.
    EXPECT_EQ(callOutcomes(), (std::vector<int>{-1000, -1000, -1000, 0}));
    EXPECT_EQ(view_.calls().last().row[4], QStringLiteral("----"));
}

// ---- The call's status cells -----------------------------------------------------------------

class CallStatuses : public PortBench {};

TEST_F(CallStatuses, EveryStatusOfACallReachesTheWindowUnderItsNumber) {
    view_.setSpeaker(true);  // the window's speaker button is down
    CycleRecord c = cycle();
    c.minAttempts = 1;
    c.maxAttempts = 1;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    ASSERT_EQ(view_.statuses().size(), 5);
    for (const auto& s : view_.statuses()) {
        EXPECT_EQ(s.callNumber, 1);
    }
    // The answer filter of 1020 Hz, then back to the 425 Hz filter for the clear-back.
    const QList<QByteArray> cmds = commands(kCaller);
    EXPECT_TRUE(cmds.contains("AT%T16\r"));
    EXPECT_TRUE(cmds.contains("ATS31=37%T12\r"));
    EXPECT_TRUE(cmds.contains("ATM2L3\r"));
    EXPECT_FALSE(cmds.contains("ATM0\r"));
}

// ---- A modem in trouble ----------------------------------------------------------------------

class ModemTrouble : public PortBench {};

TEST_F(ModemTrouble, CableOutForThreeSecondsRestartsTheCall) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    ASSERT_TRUE(stepUntil(*e, [&] {
        return e->callNumber() == 2 && e->mainState() == MainState::Polling &&
               e->testCall().phase() == DetectPhase::Ringback;
    }));
    const std::int64_t back = clock_.tickMs() + 3000;
    clock_.onSleep = [&](std::int64_t now) {
        if (now >= back) {
            network_->setUnplugged(kCaller, false);
            clock_.onSleep = nullptr;
        }
    };
    network_->setUnplugged(kCaller, true);
    while (e->runOnce()) {
    }
    // One status line, no question; the call is made again (after releasing the line of the
    // aborted attempt) and the cycle ends as usual.
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(messagesOf(protocolFile(kCaller))
                  .count(QStringLiteral("Нет ответа !  Возможно модем отключен!")),
              1);
    EXPECT_TRUE(e->completed());
    // Five calls, the release before the call made again, and the restore at the end.
    EXPECT_EQ(commands(kCaller).count("ATH0\r"), 8);  // with the rest before the start-up
    ASSERT_EQ(view_.calls().size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(view_.calls()[i].callNumber, i + 1);
        EXPECT_EQ(view_.calls()[i].row[1], resultCodeText(ResultCode::Success));
    }
}

TEST_F(ModemTrouble, AFailedHangUpStillAccountsTheDecidedCall) {
    network_->injectFault(SimFault::BusyRingback);
    // The hang-up of call 1, not the rest before the start-up.
    cutOnHookReplyOnce(kCaller, [this] { return !sentAt(traffic_, "ATH1").empty(); });
    CycleRecord c = cycle();
    c.minAttempts = 2;
    c.maxAttempts = 2;
    c.pause = 10.0;
    writeScenario(kCaller, header(), {c});
    auto e = engine(kCaller);
    ASSERT_TRUE(run(*e));
    EXPECT_TRUE(e->completed());
    EXPECT_EQ(messages_.count(), 0);
    // The busy call counts as call 1 and is not made again; after the whole pause the line is
    // released once more before call 2.
    ASSERT_EQ(view_.calls().size(), 2);
    EXPECT_EQ(view_.calls()[0].callNumber, 1);
    EXPECT_EQ(view_.calls()[0].row[1], resultCodeText(ResultCode::BusyIncoming));
    EXPECT_EQ(view_.calls()[1].callNumber, 2);
    EXPECT_EQ(view_.calls()[1].row[1], resultCodeText(ResultCode::Success));
    const std::vector<double> offHook = sentAt(traffic_, "ATH1");
    ASSERT_EQ(offHook.size(), 2u);
    EXPECT_GT(offHook[1] - sentAt(traffic_, "ATH0").at(1), 10.0 - 0.5);
    EXPECT_EQ(commands(kCaller).count("ATH0\r"), 5);  // with the rest before the start-up
}

TEST_F(ModemTrouble, SilentModemAsksAfterFiveFailuresAndNoEndsTheRun) {
    writeScenario(kCaller, header(), {cycle()});
    auto e = engine(kCaller);
    ASSERT_EQ(e->load(), ScenarioLoad::Loaded);
    e->open();
    ASSERT_TRUE(stepUntil(*e, [&] { return view_.calls().size() == 1; }));
    network_->setSilent(kCaller, true);
    while (e->runOnce()) {
    }
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_TRUE(messages_.entries()[0].question);
    EXPECT_TRUE(messages_.entries()[0].text.endsWith(QStringLiteral("Попытаться продолжить?")));
    EXPECT_EQ(e->outcome(), RunOutcome::Failed);
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    EXPECT_TRUE(protocol.contains(QStringLiteral("Нет ответа !  Возможно модем отключен!")));
    // Ended by an error: "Сценарий завершен!" without the modem's restore.
    EXPECT_EQ(protocol.last(), QStringLiteral("Сценарий завершен!"));
    EXPECT_EQ(view_.calls().size(), 1);
}

}  // namespace
}  // namespace zev7
