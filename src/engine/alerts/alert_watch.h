// The streaks a port's alerts watch: consecutive losses (any category, and one and the same
// category) over the port's test calls, and consecutive cycles judged "Ненорма". A streak that
// reaches its threshold raises its alert once; after that, the first successful call (for the
// loss streaks) or the first cycle judged "Норма" (for the cycles) is told as the recovery
// and the streak counts from nothing again. The streaks run across the cycles of the run: an
// exchange that fails through the night fails whichever number a cycle calls.
//
// A call without a decision (ResultCode::None) is neither a loss nor a success: it neither
// lengthens nor ends a streak.
#pragma once

#include "engine/alerts/alert_settings.h"
#include "scenario/result_code.h"

#include <optional>
#include <vector>

namespace zev7 {

enum class AlertKind {
    LossStreak,
    CategoryStreak,
    FailedCycles,
    ThreadError,
    CallsRecovered,   // a successful call after a loss-streak alert
    CyclesRecovered,  // a cycle judged "Норма" after a failed-cycles alert
};

// The name a started command reads in ZEV7_EVENT: "loss-streak", "category-streak",
// "failed-cycles", "thread-error", "recovery".
QString alertEventName(AlertKind kind);

struct AlertEvent {
    AlertKind kind = AlertKind::LossStreak;
    int count = 0;                           // the streak's length when it was raised
    ResultCode category = ResultCode::None;  // the repeated loss of a category streak
};

class AlertWatch {
public:
    explicit AlertWatch(const AlertSettings& settings);

    // An accounted test call; the alerts it raises, in order.
    std::vector<AlertEvent> callAccounted(ResultCode outcome);
    // A complete cycle and its verdict.
    std::optional<AlertEvent> cycleJudged(bool meetsNorm);

private:
    AlertSettings settings_;
    int losses_ = 0;
    int categoryLosses_ = 0;
    ResultCode category_ = ResultCode::None;
    int failedCycles_ = 0;
    bool lossAlerted_ = false;
    bool categoryAlerted_ = false;
    bool cyclesAlerted_ = false;
};

}  // namespace zev7
