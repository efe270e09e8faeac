// Synthetic line levels for the tone detectors: a level as a function of time, sampled the
// way the port polls the modem (every stepMs of the tick count), fed until a decision.
#pragma once

#include "engine/detect/signal_detector.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace zev7::test {

inline constexpr double kSilence = -60.0;

using LevelAt = std::function<double(double timeS)>;

// A steady tone of `level` between `from` and `until` (seconds), silence around it.
inline LevelAt toneBetween(double from, double until, double level) {
    return [=](double t) { return t >= from && t < until ? level : kSilence; };
}

// An interrupted tone: on for `onS` at the start of every `periodS`, from `from` on.
inline LevelAt cadence(double from, double periodS, double onS, double level) {
    return [=](double t) {
        if (t < from) {
            return kSilence;
        }
        return std::fmod(t - from, periodS) < onS ? level : kSilence;
    };
}

// A tone whose bursts end at the given moments, each burst lasting onS.
inline LevelAt burstsEndingAt(std::vector<double> ends, double onS, double level) {
    return [=](double t) {
        for (double e : ends) {
            if (t >= e - onS && t < e) {
                return level;
            }
        }
        return kSilence;
    };
}

struct Decision {
    int result = 0;
    double timeS = -1.0;  // when it was decided; -1 if never
};

// Polls from startMs every stepMs up to endMs; stops at the first non-zero result.
template <typename Detector>
Decision feedUntilDecided(Detector& detector, const LevelAt& level, std::int64_t startMs,
                          std::int64_t stepMs, std::int64_t endMs) {
    for (std::int64_t ms = startMs; ms <= endMs; ms += stepMs) {
        const double t = detectorTime(ms);
        const int r = static_cast<int>(detector.evaluate(level(t), t));
        if (r != 0) {
            return {r, t};
        }
    }
    return {};
}

}  // namespace zev7::test
