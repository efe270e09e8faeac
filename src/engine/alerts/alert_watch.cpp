#include "engine/alerts/alert_watch.h"

namespace zev7 {

namespace {

bool reached(int threshold, int count) {
    return threshold > 0 && count >= threshold;
}

}  // namespace

QString alertEventName(AlertKind kind) {
    switch (kind) {
        case AlertKind::LossStreak:
            return QStringLiteral("loss-streak");
        case AlertKind::CategoryStreak:
            return QStringLiteral("category-streak");
        case AlertKind::FailedCycles:
            return QStringLiteral("failed-cycles");
        case AlertKind::ThreadError:
            return QStringLiteral("thread-error");
        case AlertKind::CallsRecovered:
        case AlertKind::CyclesRecovered:
            return QStringLiteral("recovery");
    }
    return {};
}

AlertWatch::AlertWatch(const AlertSettings& settings) : settings_(settings) {}

std::vector<AlertEvent> AlertWatch::callAccounted(ResultCode outcome) {
    std::vector<AlertEvent> raised;
    if (outcome == ResultCode::Success) {
        if (lossAlerted_ || categoryAlerted_) {
            raised.push_back({AlertKind::CallsRecovered, losses_, ResultCode::None});
        }
        losses_ = 0;
        categoryLosses_ = 0;
        category_ = ResultCode::None;
        lossAlerted_ = false;
        categoryAlerted_ = false;
        return raised;
    }
    if (!isLossOutcome(outcome)) {
        return raised;
    }
    ++losses_;
    categoryLosses_ = outcome == category_ ? categoryLosses_ + 1 : 1;
    category_ = outcome;
    if (!lossAlerted_ && reached(settings_.lossStreak, losses_)) {
        lossAlerted_ = true;
        raised.push_back({AlertKind::LossStreak, losses_, outcome});
    }
    if (!categoryAlerted_ && reached(settings_.categoryStreak, categoryLosses_)) {
        categoryAlerted_ = true;
        raised.push_back({AlertKind::CategoryStreak, categoryLosses_, outcome});
    }
    return raised;
}

std::optional<AlertEvent> AlertWatch::cycleJudged(bool meetsNorm) {
    if (meetsNorm) {
        const bool recovered = cyclesAlerted_;
        const int count = failedCycles_;
        failedCycles_ = 0;
        cyclesAlerted_ = false;
        if (recovered) {
            return AlertEvent{AlertKind::CyclesRecovered, count, ResultCode::None};
        }
        return std::nullopt;
    }
    ++failedCycles_;
    if (!cyclesAlerted_ && reached(settings_.failedCycles, failedCycles_)) {
        cyclesAlerted_ = true;
        return AlertEvent{AlertKind::FailedCycles, failedCycles_, ResultCode::None};
    }
    return std::nullopt;
}

}  // namespace zev7
