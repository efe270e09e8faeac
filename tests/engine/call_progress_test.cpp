#include "engine/detect/call_progress.h"

#include "level_timeline.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zev7 {
namespace {

using test::cadence;
using test::LevelAt;
using test::toneBetween;

CycleRecord testCycle() {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.waitTime = 15;
    c.dialToneThreshold = -20;
    c.ringbackCheck = 1;
    c.ringbackThreshold = -30;
    c.ringbackTime = 0.6;
    c.answerThreshold = -35;
    c.answerMinTime = 2;
    c.answerMaxTime = 4;
    c.aaDelayOff = 4;
    c.busyPeriodMin = 0.5;
    c.busyPeriodMax = 1.2;
    c.overloadPeriodMin = 0.25;
    c.overloadPeriodMax = 0.5;
    return c;
}

struct Polled {
    PhaseDecision decision;
    double timeS = -1;
};

// Polls every 50 ms from startS until the phase decides something.
Polled pollUntilDecided(CallProgress& call, const LevelAt& level, double startS,
                        const PhaseContext& context) {
    const auto startMs = static_cast<std::int64_t>(startS * 1000);
    for (std::int64_t ms = startMs; ms < startMs + 60000; ms += 50) {
        const double t = detectorTime(ms);
        const PhaseDecision d = call.poll(level(t), t, context);
        if (d.action != PhaseAction::KeepPolling) {
            return {d, t};
        }
    }
    return {};
}

TEST(CallProgress, ASuccessfulCallFromDialToneToClearBack) {
    const CycleRecord cycle = testCycle();
    const PhaseContext context = phaseContext(cycle, 0.0);
    CallProgress progress;
    CallResult call;

    progress.startDialTone(cycle, false);
    Polled p = pollUntilDecided(progress, toneBetween(0.3, 100, -10.02), 0, context);
    EXPECT_EQ(p.decision.action, PhaseAction::NextCallStep);
    EXPECT_EQ(p.decision.nextCallStep, CallStep::Dial);
    applyDecision(p.decision, call);
    EXPECT_NEAR(call.dialToneLevel, -10.02, 1e-9);
    EXPECT_FALSE(call.complete);

    // One W in the number: a second dial tone, not measured.
    progress.startDialTone(cycle, true);
    p = pollUntilDecided(progress, toneBetween(11, 100, -12), 10, context);
    EXPECT_EQ(p.decision.nextCallStep, CallStep::Dial);
    EXPECT_EQ(p.decision.measured, MeasuredLevel::None);
    applyDecision(p.decision, call);
    EXPECT_NEAR(call.dialToneLevel, -10.02, 1e-9);

    progress.startRingback(cycle);
    p = pollUntilDecided(progress, toneBetween(21, 22, -15.5), 20, context);
    EXPECT_EQ(p.decision.nextCallStep, CallStep::AnswerSetUp);
    applyDecision(p.decision, call);
    EXPECT_NEAR(call.ringbackLevel, -15.5, 1e-9);

    progress.startAnswerSignal(cycle);
    p = pollUntilDecided(progress, toneBetween(31, 34, -16), 30, context);
    EXPECT_EQ(p.decision.nextCallStep, CallStep::ClearBack);
    EXPECT_NEAR(p.timeS, 34.0, 1e-9);
    applyDecision(p.decision, call);
    EXPECT_NEAR(call.answerLevel, -16, 1e-9);
    EXPECT_TRUE(call.complete);
    EXPECT_EQ(call.outcome, ResultCode::None);  // decided by the clear-back

    progress.startClearBack(cycle);
    p = pollUntilDecided(progress, cadence(41, 0.7, 0.35, -20), 40, context);
    EXPECT_EQ(p.decision.action, PhaseAction::FinishCall);
    applyDecision(p.decision, call);
    EXPECT_EQ(call.outcome, ResultCode::Success);
    EXPECT_TRUE(call.complete);
}

struct MissedTone {
    const char* name;
    LevelAt level;
    ResultCode afterOffHook;
    ResultCode whileDialling;
    ResultCode afterDialling;
};

TEST(CallProgress, SilenceBusyAndCongestionInTheThreeTonePhases) {
    const CycleRecord cycle = testCycle();
    const PhaseContext context = phaseContext(cycle, 0.0);
    const MissedTone cases[] = {
        {"silence", toneBetween(0, 0, 0), ResultCode::NoDialTone,
         ResultCode::NoDialToneWhileDialling, ResultCode::NoRingback},
        {"busy", cadence(1, 0.7, 0.35, -10), ResultCode::BusyOutgoing,
         ResultCode::BusyWhileDialling, ResultCode::BusyIncoming},
        {"congestion", cadence(1, 0.3, 0.15, -10), ResultCode::CongestionOutgoing,
         ResultCode::CongestionWhileDialling, ResultCode::CongestionIncoming},
    };
    for (const MissedTone& c : cases) {
        SCOPED_TRACE(c.name);
        CallProgress progress;
        progress.startDialTone(cycle, false);
        EXPECT_EQ(pollUntilDecided(progress, c.level, 0, context).decision.outcome, c.afterOffHook);
        progress.startDialTone(cycle, true);
        EXPECT_EQ(pollUntilDecided(progress, c.level, 0, context).decision.outcome,
                  c.whileDialling);
        progress.startRingback(cycle);
        const PhaseDecision d = pollUntilDecided(progress, c.level, 0, context).decision;
        EXPECT_EQ(d.outcome, c.afterDialling);
        EXPECT_EQ(d.action, PhaseAction::FinishCall);
        EXPECT_TRUE(d.complete);
    }
}

TEST(CallProgress, WithoutRingbackCheckTheIncomingSideIsNotJudged) {
    CycleRecord cycle = testCycle();
    cycle.ringbackCheck = 0;
    const PhaseContext context = phaseContext(cycle, 0.0);
    for (const LevelAt& level :
         {toneBetween(0, 0, 0), cadence(0, 0.7, 0.35, -10), cadence(0, 0.3, 0.15, -10)}) {
        CallProgress progress;
        progress.startRingback(cycle);
        const Polled p = pollUntilDecided(progress, level, 5, context);
        EXPECT_EQ(p.decision.action, PhaseAction::NextCallStep);
        EXPECT_EQ(p.decision.nextCallStep, CallStep::AnswerSetUp);
        EXPECT_EQ(p.decision.measured, MeasuredLevel::None);
        EXPECT_FALSE(p.decision.setOutcome);
        EXPECT_NEAR(p.timeS, 5.0, 1e-9);  // at the first poll
    }
}

TEST(CallProgress, AnswerSignalTooLongOrMissing) {
    const CycleRecord cycle = testCycle();
    const PhaseContext context = phaseContext(cycle, 0.0);
    CallProgress progress;

    progress.startAnswerSignal(cycle);
    Polled p = pollUntilDecided(progress, toneBetween(1, 6, -16), 0, context);
    EXPECT_EQ(p.decision.outcome, ResultCode::AnswerSignalTooLong);
    EXPECT_NEAR(p.timeS, 5.05, 1e-9);  // 4 s into the signal

    progress.startAnswerSignal(cycle);
    p = pollUntilDecided(progress, toneBetween(1, 2, -16), 0, context);
    EXPECT_EQ(p.decision.outcome, ResultCode::NoAnswerSignal);
    EXPECT_NEAR(p.timeS, 15.05, 1e-9);
    CallResult call;
    applyDecision(p.decision, call);
    EXPECT_EQ(call.answerLevel, kNoLevel);
    EXPECT_TRUE(call.complete);
}

TEST(CallProgress, NoClearBackWithinTheWaitInterval) {
    const CycleRecord cycle = testCycle();
    CallProgress progress;
    progress.startClearBack(cycle);
    const Polled p =
        pollUntilDecided(progress, toneBetween(0, 100, -10), 2, phaseContext(cycle, 0.0));
    EXPECT_EQ(p.decision.outcome, ResultCode::NoClearBack);
    EXPECT_NEAR(p.timeS, 17.05, 1e-9);
}

TEST(CallProgress, AttenuationControlFromTheClearBackTimeline) {
    CycleRecord cycle = testCycle();
    cycle.attenuationCheck = 1;
    const PhaseContext context = phaseContext(cycle, 30.0);  // our tone began at 30 s
    CallProgress progress;
    // The station that heard the tone released at once: the clear-back begins at 31 s.
    progress.startClearBack(cycle);
    EXPECT_EQ(pollUntilDecided(progress, cadence(31, 0.5, 0.25, -20), 30, context).decision.outcome,
              ResultCode::Success);
    // One that waited out its 4 s release delay: -4000.
    progress.startClearBack(cycle);
    EXPECT_EQ(pollUntilDecided(progress, cadence(35, 0.5, 0.25, -20), 30, context).decision.outcome,
              ResultCode::OutgoingSignalNotDetected);
}

// The rows of the decision table that timelines reach only with odd settings.
TEST(PhaseEvaluation, DecisionTable) {
    PhaseContext context;
    DetectorOutputs out;

    // A recognised dial tone wins over a cadence found in the same poll.
    out.signal = SignalResult::StillPresent;
    out.signalAverage = -11;
    out.cadence = CadenceResult::Busy;
    PhaseDecision d = evaluatePhase(DetectPhase::DialTone, out, context);
    EXPECT_EQ(d.action, PhaseAction::NextCallStep);
    EXPECT_EQ(d.measured, MeasuredLevel::DialTone);
    EXPECT_EQ(d.level, -11);

    // No tone while the cadence is undecided: the call ends without an outcome.
    out = {};
    out.signal = SignalResult::NoTone;
    for (DetectPhase phase :
         {DetectPhase::DialTone, DetectPhase::DialToneWhileDialling, DetectPhase::Ringback}) {
        context.ringbackCheck = true;
        d = evaluatePhase(phase, out, context);
        EXPECT_EQ(d.action, PhaseAction::FinishCall);
        EXPECT_FALSE(d.setOutcome);
        EXPECT_EQ(d.outcome, ResultCode::None);
        EXPECT_TRUE(d.complete);
    }
    CallResult call;
    applyDecision(d, call);
    EXPECT_EQ(call.outcome, ResultCode::None);
    EXPECT_TRUE(call.complete);

    // A tone still present with the cadence timed out counts as no dial tone.
    out = {};
    out.cadence = CadenceResult::TimedOut;
    EXPECT_EQ(evaluatePhase(DetectPhase::DialTone, out, context).outcome, ResultCode::NoDialTone);

    // Nothing decided: keep polling.
    out = {};
    for (int phase = 1; phase <= 5; ++phase) {
        EXPECT_EQ(evaluatePhase(static_cast<DetectPhase>(phase), out, context).action,
                  PhaseAction::KeepPolling);
    }
}

TEST(PhaseEvaluation, ClearBackWithAttenuationControlJudgesWhenTheLineWasReleased) {
    PhaseContext context;
    context.attenuationCheck = true;
    context.aaDelayOffS = 4.0;
    context.generationStartS = 100.0;
    DetectorOutputs out;
    out.cadence = CadenceResult::Busy;
    out.cadenceAveragePeriod = 0.5;

    // The clear-back began 4.5 s after our tone: the station waited out its release delay.
    out.cadenceOldestEnd = 105.0;
    EXPECT_EQ(evaluatePhase(DetectPhase::ClearBack, out, context).outcome,
              ResultCode::OutgoingSignalNotDetected);
    // 4.0 s is not later than the delay: heard.
    out.cadenceOldestEnd = 104.5;
    EXPECT_EQ(evaluatePhase(DetectPhase::ClearBack, out, context).outcome, ResultCode::Success);
    out.cadenceOldestEnd = 101.0;
    out.cadence = CadenceResult::Congestion;
    EXPECT_EQ(evaluatePhase(DetectPhase::ClearBack, out, context).outcome, ResultCode::Success);

    // Without attenuation control any clear-back cadence is a success.
    context.attenuationCheck = false;
    out.cadenceOldestEnd = 200.0;
    EXPECT_EQ(evaluatePhase(DetectPhase::ClearBack, out, context).outcome, ResultCode::Success);
}

}  // namespace
}  // namespace zev7
