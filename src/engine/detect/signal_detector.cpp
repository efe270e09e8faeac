#include "engine/detect/signal_detector.h"

#include "teliq/level_decoder.h"

#include <algorithm>

namespace zev7 {

SignalSettings dialToneSettings(const CycleRecord& cycle) {
    SignalSettings s;
    s.thresholdDbm = cycle.dialToneThreshold;
    s.minDurationS = kDialToneDurationS;
    s.maxDurationS = kDialToneDurationS;
    s.averagingDelayS = kDialToneAveragingDelayS;
    s.averagingWindowS = kDialToneAveragingWindowS;
    s.timeoutS = cycle.waitTime;
    return s;
}

SignalSettings ringbackSettings(const CycleRecord& cycle) {
    const double d = cycle.ringbackTime;
    SignalSettings s;
    s.thresholdDbm = cycle.ringbackThreshold;
    s.minDurationS = d;
    s.maxDurationS = d;
    s.averagingDelayS = std::min(d * kRingbackDelayFraction, kRingbackDelayMaxS);
    s.averagingWindowS = s.averagingDelayS;
    s.timeoutS = cycle.waitTime;
    return s;
}

SignalSettings answerSignalSettings(const CycleRecord& cycle) {
    const double m = cycle.answerMinTime;
    SignalSettings s;
    s.thresholdDbm = cycle.answerThreshold;
    s.minDurationS = m;
    s.maxDurationS = cycle.answerMaxTime;
    s.averagingDelayS = std::min(m * kAnswerDelayFraction, kAnswerDelayMaxS);
    s.averagingWindowS = std::min(m * kAnswerWindowFraction, kAnswerWindowMaxS);
    s.timeoutS = cycle.waitTime;
    return s;
}

void SignalDetector::init(const SignalSettings& settings) {
    settings_ = settings;
    reset();
}

void SignalDetector::reset() {
    start_ = 0.0;
    toneStart_ = 0.0;
    tonePresent_ = false;
    confirmed_ = false;
    result_ = SignalResult::Undecided;
    average_ = 0.0;
    sampleCount_ = 0;
    first_ = true;
}

SignalResult SignalDetector::evaluate(double levelDbm, double timeS) {
    result_ = SignalResult::Undecided;
    if (first_) {
        start_ = timeS;
        first_ = false;
    }
    if (!tonePresent_ && timeS - start_ > settings_.timeoutS) {
        result_ = SignalResult::NoTone;
    }
    if (tonePresent_) {
        if (levelDbm < settings_.thresholdDbm - kHysteresisDb) {
            if (confirmed_) {
                result_ = SignalResult::Ended;
            } else {
                // Too short to be the tone: forget it and wait for the next one.
                tonePresent_ = false;
                confirmed_ = false;
                average_ = 0.0;
                sampleCount_ = 0;
            }
        } else {
            const double age = timeS - toneStart_;
            if (age > settings_.averagingDelayS &&
                age - settings_.minDurationS < settings_.averagingWindowS) {
                average_ = (levelDbm + sampleCount_ * average_) / (sampleCount_ + 1);
                ++sampleCount_;
            }
            if (age > settings_.minDurationS) {
                confirmed_ = true;
            }
            if (confirmed_ && age > settings_.maxDurationS) {
                result_ = SignalResult::StillPresent;
            }
        }
    }
    if (!tonePresent_ && levelDbm >= settings_.thresholdDbm + kHysteresisDb) {
        toneStart_ = timeS;
        tonePresent_ = true;
    }
    return result_;
}

double SignalDetector::averageLevel() const {
    return sampleCount_ > 0 ? average_ : kNoLevel;
}

}  // namespace zev7
