#include "sim/fault_injector.h"

#include <algorithm>

namespace zev7 {

namespace {

constexpr const char* kNames[kFaultCount] = {
    "no-dial-tone",        "busy-dial-tone",        "congestion-dial-tone",
    "no-second-dial-tone", "busy-second-dial-tone", "congestion-second-dial-tone",
    "no-ringback",         "busy-ringback",         "congestion-ringback",
    "no-answer-signal",    "long-answer-signal",    "no-clear-back",
    "tone-not-heard",
};

constexpr double kTwoPow53 = 9007199254740992.0;

std::size_t indexOf(SimFault fault) {
    return static_cast<std::size_t>(fault);
}

}  // namespace

FaultPoint faultPoint(SimFault fault) {
    switch (fault) {
        case SimFault::NoDialTone:
        case SimFault::BusyDialTone:
        case SimFault::CongestionDialTone:
            return FaultPoint::DialTone;
        case SimFault::NoSecondDialTone:
        case SimFault::BusySecondDialTone:
        case SimFault::CongestionSecondDialTone:
            return FaultPoint::SecondDialTone;
        case SimFault::NoRingback:
        case SimFault::BusyRingback:
        case SimFault::CongestionRingback:
            return FaultPoint::Ringback;
        case SimFault::NoAnswerSignal:
        case SimFault::LongAnswerSignal:
        case SimFault::NoClearBack:
        case SimFault::ToneNotHeard:
            return FaultPoint::Answer;
    }
    return FaultPoint::Answer;
}

QString faultName(SimFault fault) {
    return QString::fromLatin1(kNames[indexOf(fault)]);
}

std::optional<SimFault> faultFromName(const QString& name) {
    for (SimFault f : kAllFaults) {
        if (name == QLatin1String(kNames[indexOf(f)])) {
            return f;
        }
    }
    return std::nullopt;
}

FaultInjector::FaultInjector(std::uint64_t seed) : random_(seed) {}

void FaultInjector::setProbability(SimFault fault, double p) {
    p_[indexOf(fault)] = std::clamp(p, 0.0, 1.0);
}

double FaultInjector::probability(SimFault fault) const {
    return p_[indexOf(fault)];
}

void FaultInjector::setProbabilities(const FaultProbabilities& p) {
    for (SimFault f : kAllFaults) {
        setProbability(f, p[indexOf(f)]);
    }
}

void FaultInjector::injectOnce(SimFault fault) {
    injected_.push_back(fault);
}

void FaultInjector::clearInjected() {
    injected_.clear();
}

std::optional<SimFault> FaultInjector::draw(FaultPoint point) {
    const auto injected = std::find_if(injected_.begin(), injected_.end(),
                                       [point](SimFault f) { return faultPoint(f) == point; });
    if (injected != injected_.end()) {
        const SimFault f = *injected;
        injected_.erase(injected);
        return f;
    }
    double total = 0.0;
    for (SimFault f : kAllFaults) {
        if (faultPoint(f) == point) {
            total += probability(f);
        }
    }
    if (total <= 0.0) {
        return std::nullopt;  // no draw: a fault-free network uses no random numbers
    }
    const double r = uniform();
    double edge = 0.0;
    for (SimFault f : kAllFaults) {
        if (faultPoint(f) == point) {
            edge += probability(f);
            if (r < edge) {
                return f;
            }
        }
    }
    return std::nullopt;
}

double FaultInjector::uniform() {
    // 53 random bits: the same numbers from the same seed on every platform.
    return static_cast<double>(random_() >> 11) / kTwoPow53;
}

}  // namespace zev7
