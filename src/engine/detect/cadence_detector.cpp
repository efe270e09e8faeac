#include "engine/detect/cadence_detector.h"

#include "engine/detect/signal_detector.h"

#include <cmath>

namespace zev7 {

CadenceSettings cadenceSettings(const CycleRecord& cycle, double thresholdDbm) {
    CadenceSettings s;
    s.thresholdDbm = thresholdDbm;
    s.timeoutS = cycle.waitTime;
    s.overloadPeriodMinS = cycle.overloadPeriodMin;
    s.overloadPeriodMaxS = cycle.overloadPeriodMax;
    s.busyPeriodMaxS = cycle.busyPeriodMax;
    return s;
}

void CadenceDetector::init(const CadenceSettings& settings) {
    settings_ = settings;
    reset();
}

void CadenceDetector::reset() {
    start_ = 0.0;
    toneOn_ = false;
    result_ = CadenceResult::Undecided;
    ends_.fill(0.0);
    stored_ = 0;
    bursts_ = 0;
    discarded_ = 0;
    averagePeriod_ = 0.0;
    first_ = true;
}

void CadenceDetector::dropOldest() {
    for (int i = 1; i < stored_; ++i) {
        ends_[static_cast<std::size_t>(i - 1)] = ends_[static_cast<std::size_t>(i)];
    }
    --stored_;
    ++discarded_;
}

CadenceResult CadenceDetector::evaluate(double levelDbm, double timeS) {
    result_ = CadenceResult::Undecided;
    if (first_) {
        start_ = timeS;
        first_ = false;
    }
    if (timeS - start_ > settings_.timeoutS) {
        result_ = CadenceResult::TimedOut;
    }
    if (toneOn_ && levelDbm < settings_.thresholdDbm - kHysteresisDb) {
        toneOn_ = false;
        // A window kept after a decision is full: it slides before it takes the new end.
        if (stored_ == kCadenceEnds) {
            dropOldest();
        }
        ends_[static_cast<std::size_t>(stored_++)] = timeS;
        if (stored_ == kCadenceEnds) {
            constexpr int periods = kCadenceEnds - 1;
            const double p = (ends_[periods] - ends_[0]) / periods;
            bool valid = p >= settings_.overloadPeriodMinS && p <= settings_.busyPeriodMaxS;
            for (int i = 1; valid && i < kCadenceEnds; ++i) {
                const double period =
                    ends_[static_cast<std::size_t>(i)] - ends_[static_cast<std::size_t>(i - 1)];
                valid = std::fabs(period - p) <= kCadenceTolerance * p;
            }
            averagePeriod_ = p;
            if (valid) {
                result_ = p >= settings_.overloadPeriodMaxS ? CadenceResult::Busy
                                                            : CadenceResult::Congestion;
            } else {
                dropOldest();
            }
        }
        ++bursts_;
    }
    if (!toneOn_ && levelDbm >= settings_.thresholdDbm + kHysteresisDb) {
        toneOn_ = true;
    }
    return result_;
}

}  // namespace zev7
