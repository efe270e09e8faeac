#include "engine/detect/phase_evaluation.h"

namespace zev7 {

namespace {

PhaseDecision nextStep(CallStep callStep, MeasuredLevel measured = MeasuredLevel::None,
                       double level = kNoLevel) {
    PhaseDecision d;
    d.action = PhaseAction::NextCallStep;
    d.nextCallStep = callStep;
    d.measured = measured;
    d.level = level;
    return d;
}

PhaseDecision finish(ResultCode outcome) {
    PhaseDecision d;
    d.action = PhaseAction::FinishCall;
    d.setOutcome = outcome != ResultCode::None;  // an undecided end leaves the outcome as it was
    d.outcome = outcome;
    d.complete = true;
    return d;
}

// The outcome of a dial-tone or ringback phase that did not find its tone: a time-out of the
// cadence is "no tone", a cadence is busy or congestion, each with the codes of its phase.
struct MissedToneOutcomes {
    ResultCode noTone;
    ResultCode busy;
    ResultCode congestion;
};
constexpr MissedToneOutcomes kAfterOffHook = {ResultCode::NoDialTone, ResultCode::BusyOutgoing,
                                              ResultCode::CongestionOutgoing};
constexpr MissedToneOutcomes kWhileDialling = {ResultCode::NoDialToneWhileDialling,
                                               ResultCode::BusyWhileDialling,
                                               ResultCode::CongestionWhileDialling};
constexpr MissedToneOutcomes kAfterDialling = {ResultCode::NoRingback, ResultCode::BusyIncoming,
                                               ResultCode::CongestionIncoming};

ResultCode missedToneOutcome(CadenceResult cadence, const MissedToneOutcomes& codes) {
    switch (cadence) {
        case CadenceResult::TimedOut:
            return codes.noTone;
        case CadenceResult::Busy:
            return codes.busy;
        case CadenceResult::Congestion:
            return codes.congestion;
        case CadenceResult::Undecided:
            break;
    }
    return ResultCode::None;
}

bool recognised(SignalResult r) {
    return r == SignalResult::Ended || r == SignalResult::StillPresent;
}

}  // namespace

PhaseContext phaseContext(const CycleRecord& cycle, double generationStartS) {
    PhaseContext c;
    c.ringbackCheck = cycle.ringbackCheck != 0;
    c.attenuationCheck = cycle.attenuationCheck != 0;
    c.aaDelayOffS = cycle.aaDelayOff;
    c.generationStartS = generationStartS;
    return c;
}

PhaseDecision evaluatePhase(DetectPhase phase, const DetectorOutputs& out,
                            const PhaseContext& context) {
    switch (phase) {
        case DetectPhase::DialTone:
        case DetectPhase::DialToneWhileDialling: {
            const bool afterOffHook = phase == DetectPhase::DialTone;
            if (recognised(out.signal)) {
                // Only the dial tone after off-hook is the call's dial-tone level.
                return afterOffHook
                           ? nextStep(CallStep::Dial, MeasuredLevel::DialTone, out.signalAverage)
                           : nextStep(CallStep::Dial);
            }
            if (out.signal == SignalResult::NoTone || out.cadence != CadenceResult::Undecided) {
                return finish(
                    missedToneOutcome(out.cadence, afterOffHook ? kAfterOffHook : kWhileDialling));
            }
            break;
        }
        case DetectPhase::Ringback:
            if (!context.ringbackCheck) {
                return nextStep(CallStep::AnswerSetUp);
            }
            if (recognised(out.signal)) {
                return nextStep(CallStep::AnswerSetUp, MeasuredLevel::Ringback, out.signalAverage);
            }
            if (out.signal == SignalResult::NoTone || out.cadence != CadenceResult::Undecided) {
                return finish(missedToneOutcome(out.cadence, kAfterDialling));
            }
            break;
        case DetectPhase::AnswerSignal:
            if (out.signal == SignalResult::Ended) {
                // The call is complete from here on, though its outcome waits for the
                // clear-back tone.
                PhaseDecision d =
                    nextStep(CallStep::ClearBack, MeasuredLevel::AnswerSignal, out.signalAverage);
                d.complete = true;
                return d;
            }
            if (out.signal == SignalResult::NoTone || out.signal == SignalResult::StillPresent) {
                return finish(out.signal == SignalResult::NoTone ? ResultCode::NoAnswerSignal
                                                                 : ResultCode::AnswerSignalTooLong);
            }
            break;
        case DetectPhase::ClearBack:
            if (out.cadence == CadenceResult::TimedOut) {
                return finish(ResultCode::NoClearBack);
            }
            if (out.cadence == CadenceResult::Busy || out.cadence == CadenceResult::Congestion) {
                if (!context.attenuationCheck) {
                    return finish(ResultCode::Success);
                }
                // The clear-back began about one period before the oldest burst end in the
                // window. An answering station that heard our tone hangs up at once; one that
                // kept the line for its whole release delay did not hear it.
                const double t =
                    (out.cadenceOldestEnd - out.cadenceAveragePeriod) - context.generationStartS;
                return finish(t > context.aaDelayOffS ? ResultCode::OutgoingSignalNotDetected
                                                      : ResultCode::Success);
            }
            break;
    }
    return {};
}

void applyDecision(const PhaseDecision& decision, CallResult& call) {
    switch (decision.measured) {
        case MeasuredLevel::DialTone:
            call.dialToneLevel = decision.level;
            break;
        case MeasuredLevel::Ringback:
            call.ringbackLevel = decision.level;
            break;
        case MeasuredLevel::AnswerSignal:
            call.answerLevel = decision.level;
            break;
        case MeasuredLevel::None:
            break;
    }
    if (decision.setOutcome) {
        call.outcome = decision.outcome;
    }
    if (decision.complete) {
        call.complete = true;
    }
}

}  // namespace zev7
