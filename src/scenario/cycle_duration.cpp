#include "scenario/cycle_duration.h"

#include "scenario/tel_number.h"

#include <cmath>

namespace zev7 {

double attemptSeconds(const CycleRecord& c) {
    const double dial =
        DialTime(numberText(c.inNumber), kEstimateWaitSeconds, kEstimateCommaSeconds);
    const double ringback =
        c.ringbackCheck == 1 ? (c.aaRings - 1) * kEstimateRingSeconds + c.ringbackTime : 0.0;
    const double answer = c.aaDelayOn + c.answerMaxTime;
    const double release =
        c.attenuationCheck == 1 ? c.attenuationSignalTime + kEstimateReturnToneTail : c.aaDelayOff;
    const double busy = kEstimateBusyPeriods * c.busyPeriodMax;
    return kEstimateSeizeSeconds + dial + ringback + answer + release + busy + c.pause;
}

double estimateCycleDuration(const CycleRecord& c) {
    const double oneNumber = c.maxAttempts * attemptSeconds(c) + kEstimateNumberSeconds;
    double numbers = 1.0;
    for (int i = 0; i < kNumberFieldCount; ++i) {
        numbers *= EnumCount(c.numEnum[i], numberField(c.inNumber, i));
    }
    return oneNumber * numbers;
}

void updateEstimatedDuration(CycleRecord& cycle) {
    cycle.estimatedDuration = estimateCycleDuration(cycle);
}

QString formatEstimatedDuration(double seconds) {
    // A damaged record must not turn into a garbage table cell.
    const double whole = std::isfinite(seconds) && seconds > 0 ? std::floor(seconds) : 0.0;
    const long long total = whole < 9.0e15 ? static_cast<long long>(whole) : 0;
    return QString::asprintf(" %02lld:%02lld", total / 3600, (total / 60) % 60);
}

}  // namespace zev7
