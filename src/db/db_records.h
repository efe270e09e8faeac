// What the port thread hands to the results database: plain values, so that the database
// knows nothing of the engine's own bookkeeping and anything (a test, the demo generator) can
// feed it.
#pragma once

#include "scenario/result_code.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zev7 {

// A level or count at or below this was not measured (the engine keeps -999 for that).
inline constexpr double kDbStoredValueLimit = -900.0;

// One finished test call as the database stores it.
struct DbCallRecord {
    double start = 0.0;     // OLE date-time of the off-hook moment
    double end = 0.0;       // OLE date-time the call was closed
    double duration = 0.0;  // end - start in days; stored as a time of day
    ResultCode outcome = ResultCode::None;
    double answerLevel = -999.0;    // answer signal of the answering station, dBm
    double dialToneLevel = -999.0;  // dBm
    double ringbackLevel = -999.0;  // dBm
};

// Identifiers of the 16 result parameters of a cycle (PARAM_RES_ID).
enum ResultParamId : int {
    ResAttempts = 1,
    ResSuccesses = 2,
    ResLosses = 3,
    ResNoDialTone = 4,             // -1
    ResBusyOut = 5,                // -2
    ResCongestionOut = 6,          // -3
    ResNoDialToneDialling = 7,     // -10
    ResBusyOutDialling = 8,        // -20
    ResCongestionOutDialling = 9,  // -30
    ResNoRingback = 10,            // -100
    ResBusyIn = 11,                // -200
    ResCongestionIn = 12,          // -300
    ResNoAnswerSignal = 13,        // -1000
    ResAnswerSignalTooLong = 14,   // -2000
    ResNoClearBack = 15,           // -3000
    ResOutgoingSignalMissed = 16,  // -4000
};
inline constexpr int kResultParamCount = 16;

// One result row: count and percentage of the attempts. A value at or below
// kDbStoredValueLimit is not written (the stored value stays as it was).
struct DbResultValue {
    int paramId = 0;  // 1..16
    double count = 0.0;
    double percent = 0.0;
};

// The 16 result rows of a cycle after the latest call, element i holding parameter i + 1.
struct DbCycleResults {
    std::array<DbResultValue, kResultParamCount> values{};

    DbCycleResults() {
        for (int i = 0; i < kResultParamCount; ++i) {
            values[static_cast<std::size_t>(i)].paramId = i + 1;
        }
    }
    DbResultValue& operator[](int paramId) { return values[static_cast<std::size_t>(paramId - 1)]; }
    const DbResultValue& operator[](int paramId) const {
        return values[static_cast<std::size_t>(paramId - 1)];
    }
    // The rows from plain counts, percentages of the attempts as the port thread computes
    // them (all 0 while no call was made). categoryCounts follow kLossOutcomes.
    static DbCycleResults fromCounts(int calls, int successes,
                                     const std::array<int, kLossCategoryCount>& categoryCounts);

    // Lost calls in percent of the attempts: what the norms are compared with.
    double lossPercent() const { return (*this)[ResLosses].percent; }

    // The port thread stops calling with this call: the cycle reached its minimum number of
    // attempts within its norm. The database files the cycle's end state by it, not by a rule
    // of its own.
    bool endsAtMinimum = false;
};

// Cycle states as stored in STATE_ID.
enum DbCycleState : int {
    DbCycleOpen = 0,       // started, not completed (still running, stopped or interrupted)
    DbCycleAtMinimum = 1,  // ended at the minimum number of attempts within its norm
    DbCycleAtMaximum = 2,  // ended at the maximum number of attempts
};

// Identifiers of the 24 stored cycle settings (PARAM_CYCLE_ID).
inline constexpr int kCycleSettingCount = 24;

}  // namespace zev7
