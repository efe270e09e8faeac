#include "core/stall_ledger.h"

namespace zev7 {

namespace {

constexpr double kNsPerMs = 1e6;

}  // namespace

std::int64_t StallLedger::stallCountsFrom(const std::int64_t* beats, int watchers,
                                          std::int64_t stalledUntilNs) {
    const std::int64_t oldest = *std::min_element(beats, beats + watchers);
    return std::max(oldest + kAllowanceNs, stalledUntilNs);
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
    if (watcher < 0 || watcher >= kMaxWatchers) {
        return;
    }
    const std::lock_guard lock(writing_);
    // What readers counted as a stall going on up to now becomes part of the record, the
    // beat of this watcher's own stall included, so the reading goes on without a step.
    const std::int64_t from = stallCountsFrom(beatNs_.data(), watchers_, stalledUntilNs_);
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
    copy.watchers.store(watchers_, std::memory_order_relaxed);
    for (int i = 0; i < watchers_; ++i) {
        copy.beatNs[static_cast<std::size_t>(i)].store(beatNs_[static_cast<std::size_t>(i)],
                                                       std::memory_order_relaxed);
    }
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
