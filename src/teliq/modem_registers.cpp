#include "teliq/modem_registers.h"

#include "teliq/level_decoder.h"

#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

constexpr double kSampleRateHz = 9600.0;
constexpr double kPhaseSteps = 16384.0;

constexpr double kCorrectionHz[] = {300, 400, 500, 600, 700, 800, 900, 1000, 1100};
constexpr double kCorrectionDb[] = {-1.43, -2.54, -3.08, -3.40, -3.60, -3.72, -3.82, -3.88, -3.93};

}  // namespace

int roundHalfUp(double x) {
    return static_cast<int>(std::trunc(x + 0.5));
}

int frequencyCode(double hz) {
    return roundHalfUp(hz * kPhaseSteps / kSampleRateHz);
}

double frequencyFromCode(int code) {
    return roundHalfUp(code * kSampleRateHz / kPhaseSteps);
}

double transmitLevelCorrection(double hz) {
    constexpr std::size_t n = std::size(kCorrectionHz);
    if (hz <= kCorrectionHz[0]) {
        return kCorrectionDb[0];
    }
    for (std::size_t i = 1; i < n; ++i) {
        if (hz <= kCorrectionHz[i]) {
            const double f =
                (hz - kCorrectionHz[i - 1]) / (kCorrectionHz[i] - kCorrectionHz[i - 1]);
            return kCorrectionDb[i - 1] + f * (kCorrectionDb[i] - kCorrectionDb[i - 1]);
        }
    }
    return kCorrectionDb[n - 1];
}

int transmitLevelValue(double levelDbm, double hz) {
    const int v = roundHalfUp(std::fabs(levelDbm + transmitLevelCorrection(hz)));
    return std::clamp(v, kMinTransmitValue, kMaxTransmitValue);
}

int levelFromTransmitValue(int value, double hz) {
    return -roundHalfUp(value + transmitLevelCorrection(hz));
}

double transmitLevelExact(int value, double hz) {
    return -(value + transmitLevelCorrection(hz));
}

int tenthsOfSecond(double seconds) {
    return roundHalfUp(seconds * 10.0);
}

int toneThresholdValue(int thresholdDbm) {
    const int v = roundHalfUp(std::fabs(static_cast<double>(thresholdDbm)));
    return std::clamp(v, kMinToneThresholdValue, kMaxToneThresholdValue);
}

int toneThresholdFromValue(int value) {
    return -roundHalfUp(value);
}

std::optional<AnswerFilter> answerFilterFor(double hz) {
    switch (toneBandFor(hz)) {
        case 1:
            return AnswerFilter{"AT%T12", kRefT12};
        case 2:
            return AnswerFilter{"AT%T16", kRefT16};
        case 3:
            return AnswerFilter{"AT%T15", kRefT15};
        default:
            return std::nullopt;
    }
}

}  // namespace zev7
