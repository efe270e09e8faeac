// Follows one tone (dial tone, ringback, answer signal) in the line levels the modem reports:
// did it come within the wait interval, did it last its minimum duration, did it end or run
// beyond its maximum, and what was its mean level. A descriptor says what to look for; the
// detector keeps only a few numbers of state and is fed (level, time) samples, one per poll.
#pragma once

#include "scenario/records.h"

#include <cstdint>

namespace zev7 {

// A tone starts at threshold + 0.5 dB and ends below threshold - 0.5 dB, so a level hovering
// at the threshold neither starts nor ends it.
inline constexpr double kHysteresisDb = 0.5;

// The detectors count seconds: the tick count times 0.001.
inline double detectorTime(std::int64_t tickMs) {
    return static_cast<double>(tickMs) * 0.001;
}

struct SignalSettings {
    double thresholdDbm = 0.0;
    double minDurationS = 0.0;      // the tone is confirmed once it has lasted longer
    double maxDurationS = 0.0;      // a confirmed tone lasting longer is reported (-2)
    double averagingDelayS = 0.0;   // samples enter the mean from this tone age on ...
    double averagingWindowS = 0.0;  // ... up to the minimum duration plus this
    double timeoutS = 0.0;          // no tone started within this: -1
};

// The dial tone is taken as present after 2.5 s without a break.
inline constexpr double kDialToneDurationS = 2.5;
inline constexpr double kDialToneAveragingDelayS = 0.2;
inline constexpr double kDialToneAveragingWindowS = 0.5;
// Ringback: its averaging starts a sixth of its duration in, 0.1 s at most.
inline constexpr double kRingbackDelayFraction = 0.16667;
inline constexpr double kRingbackDelayMaxS = 0.1;
// Answer signal: averaging from a tenth of its minimum (0.2 s at most) over a quarter of it
// (0.5 s at most).
inline constexpr double kAnswerDelayFraction = 0.1;
inline constexpr double kAnswerDelayMaxS = 0.2;
inline constexpr double kAnswerWindowFraction = 0.25;
inline constexpr double kAnswerWindowMaxS = 0.5;

SignalSettings dialToneSettings(const CycleRecord& cycle);
SignalSettings ringbackSettings(const CycleRecord& cycle);
SignalSettings answerSignalSettings(const CycleRecord& cycle);

enum class SignalResult : int {
    Undecided = 0,
    Ended = 1,          // the tone ended after it had been confirmed
    NoTone = -1,        // no tone started within the time-out
    StillPresent = -2,  // confirmed and still there after the maximum duration
};

class SignalDetector {
public:
    // New settings and a fresh start; the next evaluation is the phase's first.
    void init(const SignalSettings& settings);
    // A fresh start with the same settings.
    void reset();
    // One poll: the level now (dBm) and the time now (s).
    SignalResult evaluate(double levelDbm, double timeS);

    const SignalSettings& settings() const { return settings_; }
    SignalResult result() const { return result_; }
    bool tonePresent() const { return tonePresent_; }
    bool confirmed() const { return confirmed_; }
    double start() const { return start_; }
    double toneStart() const { return toneStart_; }
    int sampleCount() const { return sampleCount_; }
    // The mean of the averaged samples; kNoLevel when none was taken (the poll came too late
    // for the averaging window), so that no level of 0 dBm is reported for an unmeasured tone.
    double averageLevel() const;

private:
    SignalSettings settings_;
    double start_ = 0.0;
    double toneStart_ = 0.0;
    bool tonePresent_ = false;
    bool confirmed_ = false;
    SignalResult result_ = SignalResult::Undecided;
    double average_ = 0.0;
    int sampleCount_ = 0;
    bool first_ = true;
};

}  // namespace zev7
