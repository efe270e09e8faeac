#include "core/stall_ledger.h"

#include <algorithm>

namespace zev7 {

namespace {

constexpr double kNsPerMs = 1e6;

}  // namespace

void StallLedger::start(std::int64_t realNs) {
    const std::uint64_t s = sequence_.load(std::memory_order_relaxed);
    sequence_.store(s + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    beatNs_.store(realNs, std::memory_order_relaxed);
    watching_.store(true, std::memory_order_relaxed);
    sequence_.store(s + 2, std::memory_order_release);
}

void StallLedger::beat(std::int64_t realNs) {
    const std::int64_t gap = realNs - beatNs_.load(std::memory_order_relaxed);
    const std::uint64_t s = sequence_.load(std::memory_order_relaxed);
    sequence_.store(s + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    if (gap > kAllowanceNs) {
        stalledNs_.store(stalledNs_.load(std::memory_order_relaxed) + gap - kAllowanceNs,
                         std::memory_order_relaxed);
    }
    beatNs_.store(realNs, std::memory_order_relaxed);
    sequence_.store(s + 2, std::memory_order_release);
    if (gap > kAllowanceNs) {
        count_.fetch_add(1, std::memory_order_relaxed);
        longestNs_.store(std::max(longestNs_.load(std::memory_order_relaxed), gap),
                         std::memory_order_relaxed);
    }
}

ClockStalls StallLedger::stalls() const {
    return {count_.load(std::memory_order_relaxed),
            static_cast<double>(longestNs_.load(std::memory_order_relaxed)) / kNsPerMs};
}

}  // namespace zev7
