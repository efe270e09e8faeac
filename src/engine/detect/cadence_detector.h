// Recognises the interrupted tones of the exchange: busy and congestion (and the clear-back
// tone, which is a busy tone) by the period between the ends of successive bursts. The last
// six burst ends are kept; when their five periods agree within a tenth of their mean, the
// mean decides: busy from the busy minimum up to its maximum, congestion from the congestion
// minimum up to the busy minimum. Otherwise the window slides on by one burst.
#pragma once

#include "scenario/records.h"

#include <array>

namespace zev7 {

struct CadenceSettings {
    double thresholdDbm = 0.0;
    double timeoutS = 0.0;
    double overloadPeriodMinS = 0.0;  // shortest congestion period
    double overloadPeriodMaxS = 0.0;  // congestion below it, busy from it on (= busyPeriodMin)
    double busyPeriodMaxS = 0.0;      // longest busy period
};

// The cycle's cadence limits and wait interval with the threshold of the tone being followed
// (the dial-tone threshold on the outgoing side, the ringback threshold after dialling).
CadenceSettings cadenceSettings(const CycleRecord& cycle, double thresholdDbm);

enum class CadenceResult : int {
    Undecided = 0,
    TimedOut = -1,
    Busy = 1,
    Congestion = 2,
};

inline constexpr int kCadenceEnds = 6;            // six burst ends give five periods
inline constexpr double kCadenceTolerance = 0.1;  // each period within 10 % of the mean

class CadenceDetector {
public:
    void init(const CadenceSettings& settings);
    void reset();
    // One poll: the level now (dBm) and the time now (s). A valid cadence wins over a
    // time-out found in the same evaluation.
    CadenceResult evaluate(double levelDbm, double timeS);

    const CadenceSettings& settings() const { return settings_; }
    CadenceResult result() const { return result_; }
    bool toneOn() const { return toneOn_; }
    double start() const { return start_; }
    int burstCount() const { return bursts_; }
    int discardedCount() const { return discarded_; }
    int storedEnds() const { return stored_; }
    // The oldest burst end in the window (s); 0 while none is stored.
    double oldestEnd() const { return stored_ > 0 ? ends_[0] : 0.0; }
    // The mean period of the last complete window (s); 0 before the first.
    double averagePeriod() const { return averagePeriod_; }

private:
    void dropOldest();

    CadenceSettings settings_;
    double start_ = 0.0;
    bool toneOn_ = false;
    CadenceResult result_ = CadenceResult::Undecided;
    std::array<double, kCadenceEnds> ends_{};
    int stored_ = 0;
    int bursts_ = 0;
    int discarded_ = 0;
    double averagePeriod_ = 0.0;
    bool first_ = true;
};

}  // namespace zev7
