#include "core/stall_ledger.h"

namespace zev7 {

namespace {

constexpr double kNsPerMs = 1e6;

}  // namespace

std::int64_t StallLedger::oldestBeat() const {
    const auto beats = beatNs_.begin();
    return watchers_ == 0 ? 0 : *std::min_element(beats, beats + watchers_);
}

int StallLedger::start(std::int64_t realNs) {
    const std::lock_guard lock(writing_);
    if (watchers_ == kMaxWatchers) {
        return -1;
    }
    const int watcher = watchers_++;
    beatNs_[static_cast<std::size_t>(watcher)] = realNs;
    publish();
    return watcher;
}

void StallLedger::beat(int watcher, std::int64_t realNs) {
    const std::lock_guard lock(writing_);
    if (watcher < 0 || watcher >= watchers_) {
        return;
    }
    // What readers counted as a stall going on up to now becomes part of the record, the
    // beat of this watcher's own stall included, so the reading goes on without a step.
    const std::int64_t from = stallCountsFrom(oldestBeat(), stalledUntilNs_);
    if (realNs > from) {
        if (from > stalledUntilNs_) {
            ++count_;
            stallBeganNs_ = from - kAllowanceNs;
        }
        stalledNs_ += realNs - from;
        stalledUntilNs_ = realNs;
        longestNs_ = std::max(longestNs_, realNs - stallBeganNs_);
    }
    beatNs_[static_cast<std::size_t>(watcher)] = realNs;
    publish();
}

void StallLedger::publish() {
    const int next = 1 - current_.load(std::memory_order_relaxed);
    Copy& copy = copies_[static_cast<std::size_t>(next)];
    const std::uint64_t s = copy.sequence.load(std::memory_order_relaxed);
    copy.sequence.store(s + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    copy.watching.store(watchers_ > 0, std::memory_order_relaxed);
    copy.oldestBeatNs.store(oldestBeat(), std::memory_order_relaxed);
    copy.stalledNs.store(stalledNs_, std::memory_order_relaxed);
    copy.stalledUntilNs.store(stalledUntilNs_, std::memory_order_relaxed);
    copy.sequence.store(s + 2, std::memory_order_release);
    current_.store(next, std::memory_order_release);
}

ClockStalls StallLedger::stalls() const {
    const std::lock_guard lock(writing_);
    return {count_, static_cast<double>(longestNs_) / kNsPerMs};
}

}  // namespace zev7
