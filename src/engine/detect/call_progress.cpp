#include "engine/detect/call_progress.h"

namespace zev7 {

void CallProgress::startDialTone(const CycleRecord& cycle, bool whileDialling) {
    phase_ = whileDialling ? DetectPhase::DialToneWhileDialling : DetectPhase::DialTone;
    dialTone_.init(dialToneSettings(cycle));
    cadence_.init(cadenceSettings(cycle, cycle.dialToneThreshold));
}

void CallProgress::startRingback(const CycleRecord& cycle) {
    phase_ = DetectPhase::Ringback;
    ringback_.init(ringbackSettings(cycle));
    cadence_.init(cadenceSettings(cycle, cycle.ringbackThreshold));
}

void CallProgress::startAnswerSignal(const CycleRecord& cycle) {
    phase_ = DetectPhase::AnswerSignal;
    answer_.init(answerSignalSettings(cycle));
    cadence_.init(cadenceSettings(cycle, cycle.ringbackThreshold));
}

void CallProgress::startClearBack(const CycleRecord& cycle) {
    phase_ = DetectPhase::ClearBack;
    cadence_.init(cadenceSettings(cycle, cycle.ringbackThreshold));
}

PhaseDecision CallProgress::poll(double levelDbm, double timeS, const PhaseContext& context) {
    DetectorOutputs out;
    const SignalDetector* signal = nullptr;
    switch (phase_) {
        case DetectPhase::DialTone:
        case DetectPhase::DialToneWhileDialling:
            dialTone_.evaluate(levelDbm, timeS);
            cadence_.evaluate(levelDbm, timeS);
            signal = &dialTone_;
            break;
        case DetectPhase::Ringback:
            ringback_.evaluate(levelDbm, timeS);
            cadence_.evaluate(levelDbm, timeS);
            signal = &ringback_;
            break;
        case DetectPhase::AnswerSignal:
            answer_.evaluate(levelDbm, timeS);
            signal = &answer_;
            break;
        case DetectPhase::ClearBack:
            cadence_.evaluate(levelDbm, timeS);
            break;
    }
    if (signal != nullptr) {
        out.signal = signal->result();
        out.signalAverage = signal->averageLevel();
    }
    if (phase_ != DetectPhase::AnswerSignal) {
        out.cadence = cadence_.result();
        out.cadenceOldestEnd = cadence_.oldestEnd();
        out.cadenceAveragePeriod = cadence_.averagePeriod();
    }
    return evaluatePhase(phase_, out, context);
}

}  // namespace zev7
