// The running account of a cycle's test calls: counts and percentages per outcome, the loss
// percentage against the cycle's norm, the early end, the counters behind the line-held alarm,
// and the sixteen result parameters the report and the database store.
#pragma once

#include "engine/detect/call_result.h"
#include "scenario/records.h"
#include "scenario/result_code.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zev7 {

inline constexpr int kHoldCounterCount = 16;  // indices 0..11 are used
inline constexpr int kResultParameterCount = 16;

// One stored result: id 1 calls, 2 successes, 3 losses, 4..16 the loss categories.
struct ResultParameter {
    int id = 0;
    int count = 0;
    double percent = 0.0;
    const char* name = "";  // the result name of the statistics queries
};

// The line-held alarm fired: this loss repeated `count` times since the last success,
// -4000 or undecided call, reaching the cycle's threshold for it.
struct LineHeldAlarm {
    ResultCode outcome = ResultCode::None;
    int index = 0;  // the hold event: bit of holdMask and entry of holdCount
    int count = 0;
    int threshold = 0;
};

class CycleStatistics {
public:
    // A new cycle started at this OLE date-time: every count, percentage and hold counter 0.
    void reset(double cycleStartOle);
    // One complete call with this outcome.
    void account(ResultCode outcome);

    int calls() const { return calls_; }
    int successes() const { return successes_; }
    int losses() const { return losses_; }
    int categoryCount(int index) const;     // index 0..12 in loss order
    int countOf(ResultCode outcome) const;  // success counts successes()
    double successPercent() const { return successPercent_; }
    double lossPercent() const { return lossPercent_; }
    double categoryPercent(int index) const;
    double cycleStart() const { return cycleStart_; }
    // Calls that got past the dial tone (all but -1, -2, -3) and past the ringback tone
    // (0 and -1000 .. -4000); the database keeps both.
    int callsPastDialTone() const { return pastDialTone_; }
    int callsPastRingback() const { return pastRingback_; }

    // The norm for the given call number: the norm at the minimum number of attempts up to
    // that number, the norm at the maximum after it.
    static double normInForce(const CycleRecord& cycle, int callNumber);
    // The loss percentage is not above the norm in force.
    bool meetsNorm(const CycleRecord& cycle, int callNumber) const;
    // At the minimum number of attempts with losses within its norm the cycle ends there.
    bool endsEarly(const CycleRecord& cycle, int callNumber) const;
    // How many calls the cycle makes, judged after the given call.
    int callLimit(const CycleRecord& cycle, int callNumber) const;

    // Counts the call into the line-held counters; the alarm when its loss has now repeated
    // as often as the cycle allows. A success, a -4000 or an undecided call starts every
    // count again. Nothing is counted for an incomplete call or while no event is enabled.
    std::optional<LineHeldAlarm> checkLineHeld(const CycleRecord& cycle, const CallResult& call);
    int holdCounter(int index) const;

    std::array<ResultParameter, kResultParameterCount> resultParameters() const;

private:
    void recomputePercentages();

    int calls_ = 0;
    int successes_ = 0;
    std::array<int, kLossCategoryCount> categories_{};
    int losses_ = 0;
    double successPercent_ = 0.0;
    std::array<double, kLossCategoryCount> categoryPercents_{};
    double lossPercent_ = 0.0;
    double cycleStart_ = 0.0;
    std::array<std::int8_t, kHoldCounterCount> holdCounters_{};
    int pastDialTone_ = 0;
    int pastRingback_ = 0;
};

}  // namespace zev7
