// The decision after each poll of a test call: which tone is being awaited (the detect phase),
// what the detectors say, and what follows: the next call step, the end of the call with its
// outcome, or another poll.
#pragma once

#include "engine/detect/cadence_detector.h"
#include "engine/detect/call_result.h"
#include "engine/detect/signal_detector.h"
#include "scenario/records.h"

namespace zev7 {

enum class DetectPhase : int {
    DialTone = 1,               // after going off-hook
    DialToneWhileDialling = 2,  // between dial stages (a W in the number)
    Ringback = 3,
    AnswerSignal = 4,
    ClearBack = 5,  // the busy tone after the answering station hangs up
};

// The cycle's settings that steer the decisions, and when the calling modem began its
// attenuation-control tone.
struct PhaseContext {
    bool ringbackCheck = false;
    bool attenuationCheck = false;
    double aaDelayOffS = 0.0;
    double generationStartS = 0.0;  // detector time (tick count × 0.001)
};
PhaseContext phaseContext(const CycleRecord& cycle, double generationStartS);

// What the detectors of the phase found in this poll.
struct DetectorOutputs {
    SignalResult signal = SignalResult::Undecided;
    double signalAverage = kNoLevel;
    CadenceResult cadence = CadenceResult::Undecided;
    double cadenceOldestEnd = 0.0;      // s
    double cadenceAveragePeriod = 0.0;  // s
};

// The steps of a test call, in the order the engine takes them.
enum class CallStep : int {
    StartOfCall = 1,  // the line of an aborted attempt released, off-hook, dial tone awaited
    Dial = 2,         // the next dial stage
    AnswerSetUp = 3,  // the answer-signal filter set up, ringback and answer awaited
    ClearBack = 4,    // the clear-back tone awaited
};

enum class PhaseAction {
    KeepPolling,   // nothing decided yet
    NextCallStep,  // the awaited tone was recognised
    FinishCall,    // the call has its final outcome (possibly none)
};

enum class MeasuredLevel { None, DialTone, Ringback, AnswerSignal };

struct PhaseDecision {
    PhaseAction action = PhaseAction::KeepPolling;
    CallStep nextCallStep = CallStep::StartOfCall;  // with NextCallStep
    bool setOutcome = false;                        // the decision gives the call its outcome ...
    ResultCode outcome =
        ResultCode::None;   // ... this one (none when a time-out met an undecided cadence)
    bool complete = false;  // the call result becomes complete
    MeasuredLevel measured = MeasuredLevel::None;  // which level of the call this is
    double level = kNoLevel;
};

// The table of decisions: recognised tones move the call on, any other decision ends it.
PhaseDecision evaluatePhase(DetectPhase phase, const DetectorOutputs& outputs,
                            const PhaseContext& context);

// Writes the decision's outcome, level and complete flag into the call result.
void applyDecision(const PhaseDecision& decision, CallResult& call);

}  // namespace zev7
