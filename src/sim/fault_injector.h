// Faults of the simulated network, one for each loss outcome of a test call, drawn with set
// probabilities from a seeded generator so that a run can be repeated, or injected once on
// purpose so that a test meets exactly the outcome it wants.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>

namespace zev7 {

enum class SimFault {
    NoDialTone,                // silence after off-hook
    BusyDialTone,              // busy tone instead of the dial tone
    CongestionDialTone,        // congestion tone instead of the dial tone
    NoSecondDialTone,          // silence after a dial stage that reached nobody yet
    BusySecondDialTone,        // busy instead of that second dial tone
    CongestionSecondDialTone,  // congestion instead of that second dial tone
    NoRingback,                // silence after the number was dialled; the far end never rings
    BusyRingback,              // busy instead of ringback
    CongestionRingback,        // congestion instead of ringback
    NoAnswerSignal,            // the station answers but sends no tone
    LongAnswerSignal,          // the station's tone lasts until the caller hangs up
    NoClearBack,               // silence instead of the clear-back tone after the release
    ToneNotHeard,              // the station does not hear the caller's tone
};
inline constexpr int kFaultCount = 13;

// Where in a call a fault is decided; at most one fault of each point per call.
enum class FaultPoint { DialTone, SecondDialTone, Ringback, Answer };

FaultPoint faultPoint(SimFault fault);
// The name used in configuration files: "no-dial-tone", "busy-dial-tone", ...
QString faultName(SimFault fault);
std::optional<SimFault> faultFromName(const QString& name);
inline constexpr std::array<SimFault, kFaultCount> kAllFaults = {
    SimFault::NoDialTone,       SimFault::BusyDialTone,       SimFault::CongestionDialTone,
    SimFault::NoSecondDialTone, SimFault::BusySecondDialTone, SimFault::CongestionSecondDialTone,
    SimFault::NoRingback,       SimFault::BusyRingback,       SimFault::CongestionRingback,
    SimFault::NoAnswerSignal,   SimFault::LongAnswerSignal,   SimFault::NoClearBack,
    SimFault::ToneNotHeard,
};

using FaultProbabilities = std::array<double, kFaultCount>;

class FaultInjector {
public:
    explicit FaultInjector(std::uint64_t seed = 1);

    void setProbability(SimFault fault, double p);  // clamped to 0..1
    double probability(SimFault fault) const;
    void setProbabilities(const FaultProbabilities& p);
    // The next decision at the fault's point takes this fault, whatever the probabilities.
    void injectOnce(SimFault fault);
    void clearInjected();

    // The fault of this decision, if any. Faults of one point exclude each other: their
    // probabilities add up along one draw.
    std::optional<SimFault> draw(FaultPoint point);

private:
    double uniform();

    FaultProbabilities p_{};
    std::deque<SimFault> injected_;
    std::mt19937_64 random_;
};

}  // namespace zev7
