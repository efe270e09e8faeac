// The tone analysis of one test call: the three tone detectors and the cadence detector, set
// up for the tone the call waits for now and fed one level per poll. The port engine's
// polling step is: decision = poll(level, time); apply it; poll again, go to the next call
// step or finish the call.
#pragma once

#include "engine/detect/cadence_detector.h"
#include "engine/detect/phase_evaluation.h"
#include "engine/detect/signal_detector.h"
#include "scenario/records.h"

namespace zev7 {

class CallProgress {
public:
    // Phase 1 after off-hook, phase 2 between dial stages: the dial-tone detector and the
    // cadence detector on the dial-tone threshold.
    void startDialTone(const CycleRecord& cycle, bool whileDialling);
    // Phase 3 after the last dial stage: the ringback detector and the cadence detector on the
    // ringback threshold.
    void startRingback(const CycleRecord& cycle);
    // Phase 4: the answer-signal detector; the cadence detector is made ready for the
    // clear-back tone (it does not run while the answer signal is awaited).
    void startAnswerSignal(const CycleRecord& cycle);
    // Phase 5: the cadence detector alone, on the ringback threshold, starting at its first
    // evaluation.
    void startClearBack(const CycleRecord& cycle);

    // One poll: runs the detectors of the phase with the level (dBm) at the time (s) and
    // decides.
    PhaseDecision poll(double levelDbm, double timeS, const PhaseContext& context);

    DetectPhase phase() const { return phase_; }
    const SignalDetector& dialTone() const { return dialTone_; }
    const SignalDetector& ringback() const { return ringback_; }
    const SignalDetector& answerSignal() const { return answer_; }
    const CadenceDetector& cadence() const { return cadence_; }

private:
    DetectPhase phase_ = DetectPhase::DialTone;
    SignalDetector dialTone_;
    SignalDetector ringback_;
    SignalDetector answer_;
    CadenceDetector cadence_;
};

}  // namespace zev7
