#include "engine/cycle/cycle_statistics.h"

#include "scenario/cycle_end.h"

#include <limits>

namespace zev7 {

namespace {

constexpr double kPercent = 100.0;
constexpr int kHoldEvents = kHoldEventCount;  // -1 .. -3000; -4000 has no alarm

constexpr std::array<const char*, kResultParameterCount> kParameterNames = {
    "P_CALL",         "P_SUCC_CALL",  "P_ALL_LOSS",     "P_NO_AS",           "P_BUSY_AS",
    "P_BUSY_OV_AS",   "P_NO_AS_CALL", "P_BUSY_AS_CALL", "P_BUSY_OV_AS_CALL", "P_NO_DC",
    "P_BUSY_DC",      "P_BUSY_OV_DC", "P_NO_AA",        "P_OVERTIME_AA",     "P_NO_BUSY",
    "P_NO_OUT_SIGNAL"};

}  // namespace

void CycleStatistics::reset(double cycleStartOle) {
    *this = CycleStatistics{};
    cycleStart_ = cycleStartOle;
}

void CycleStatistics::account(ResultCode outcome) {
    ++calls_;
    if (outcome == ResultCode::Success) {
        ++successes_;
    }
    const int index = lossCategoryIndex(outcome);
    if (index >= 0) {
        ++categories_[static_cast<std::size_t>(index)];
        ++losses_;
    }
    if (dialToneReached(outcome)) {
        ++pastDialTone_;
    }
    if (ringbackReached(outcome)) {
        ++pastRingback_;
    }
    recomputePercentages();
}

void CycleStatistics::recomputePercentages() {
    if (calls_ == 0) {
        return;
    }
    successPercent_ = successes_ * kPercent / calls_;
    lossPercent_ = losses_ * kPercent / calls_;
    for (std::size_t i = 0; i < categories_.size(); ++i) {
        categoryPercents_[i] = categories_[i] * kPercent / calls_;
    }
}

int CycleStatistics::categoryCount(int index) const {
    if (index < 0 || index >= kLossCategoryCount) {
        return 0;
    }
    return categories_[static_cast<std::size_t>(index)];
}

int CycleStatistics::countOf(ResultCode outcome) const {
    if (outcome == ResultCode::Success) {
        return successes_;
    }
    return categoryCount(lossCategoryIndex(outcome));
}

double CycleStatistics::categoryPercent(int index) const {
    if (index < 0 || index >= kLossCategoryCount) {
        return 0.0;
    }
    return categoryPercents_[static_cast<std::size_t>(index)];
}

double CycleStatistics::normInForce(const CycleRecord& cycle, int callNumber) {
    return callNumber <= cycle.minAttempts ? cycle.normAtMin : cycle.normAtMax;
}

bool CycleStatistics::meetsNorm(const CycleRecord& cycle, int callNumber) const {
    return lossPercent_ <= normInForce(cycle, callNumber);
}

bool CycleStatistics::endsEarly(const CycleRecord& cycle, int callNumber) const {
    return endsAtMinimum(cycle, callNumber, lossPercent_);
}

int CycleStatistics::callLimit(const CycleRecord& cycle, int callNumber) const {
    return endsEarly(cycle, callNumber) ? cycle.minAttempts : cycle.maxAttempts;
}

std::optional<LineHeldAlarm> CycleStatistics::checkLineHeld(const CycleRecord& cycle,
                                                            const CallResult& call) {
    if (!call.complete || cycle.holdMask == 0) {
        return std::nullopt;
    }
    const int index = lossCategoryIndex(call.outcome);
    if (index < 0 || index >= kHoldEvents) {
        holdCounters_.fill(0);
        return std::nullopt;
    }
    auto& counter = holdCounters_[static_cast<std::size_t>(index)];
    // A line kept on hold after the operator chose to go on keeps asking at every further
    // repetition; the count stops at its limit instead of wrapping round to negative.
    if (counter < std::numeric_limits<std::int8_t>::max()) {
        ++counter;
    }
    const bool enabled = (cycle.holdMask >> index) & 1U;
    const int threshold = cycle.holdCount[index];
    if (!enabled || counter < threshold) {
        return std::nullopt;
    }
    return LineHeldAlarm{call.outcome, index, counter, threshold};
}

int CycleStatistics::holdCounter(int index) const {
    if (index < 0 || index >= kHoldCounterCount) {
        return 0;
    }
    return holdCounters_[static_cast<std::size_t>(index)];
}

std::array<ResultParameter, kResultParameterCount> CycleStatistics::resultParameters() const {
    std::array<ResultParameter, kResultParameterCount> p{};
    p[0] = {1, calls_, kPercent, kParameterNames[0]};
    p[1] = {2, successes_, successPercent_, kParameterNames[1]};
    p[2] = {3, losses_, lossPercent_, kParameterNames[2]};
    for (int i = 0; i < kLossCategoryCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        p[k + 3] = {i + 4, categories_[k], categoryPercents_[k], kParameterNames[k + 3]};
    }
    return p;
}

}  // namespace zev7
