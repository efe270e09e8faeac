// How long a process stood still because the machine held it up, as its watcher threads see
// it: a watcher beats every millisecond, and a beat that comes more than the allowance after
// the one before means that nothing ran meanwhile on its processor (another program's disk
// work, the host of a virtual machine). A virtual machine's host may stop one processor and
// leave the others running, and every thread that happened to be on it stops with it; so
// there is a watcher on each processor, and time in which any of them could not beat counts
// as stalled. A scaled clock counts such a stall at real pace, not K times over: the
// simulator, watching the same processors, does the same, and neither side's tones run past
// the other's polls.
//
// The watchers take turns at writing; readers take no lock. A reading is published in one of
// two copies, so a watcher stopped in the middle of writing never holds a reader up.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace zev7 {

struct ClockStalls {
    int count = 0;
    double longestMs = 0.0;  // real milliseconds
};

class StallLedger {
public:
    // A wait longer than this between beats is a stall (a beat on time comes a few tens of
    // microseconds after its millisecond). What a stall leaves uncounted is at most this, K
    // times over on a scaled clock: at ×20 40 ms of line time, well inside the tenth of a
    // busy tone's 0.7 s period by which the clear-back tone is recognised. Machines that
    // stop a processor for 3 to 5 ms again and again, for half a second, are common enough.
    static constexpr std::int64_t kAllowanceNs = 2'000'000;
    static constexpr int kMaxWatchers = 8;

    struct Reading {
        std::int64_t realNs = 0;
        std::int64_t stalledNs = 0;  // real time up to realNs that stood still beyond allowances
    };

    // A watcher starts beating at realNs; before the first one, no time counts as stalled.
    // Returns the watcher's number for beat(), or -1 when kMaxWatchers already watch.
    int start(std::int64_t realNs);
    // Watcher `watcher`'s beat at realNs.
    void beat(int watcher, std::int64_t realNs);
    // now() read together with what had stood still by then, a stall that has not ended yet
    // included (a watcher that has not beaten for longer than the allowance).
    template <typename Now>
    Reading read(Now now) const;
    ClockStalls stalls() const;

private:
    // What a reader needs: of the watchers' beats only the oldest, since any watcher that
    // has not beaten makes a stall.
    struct Copy {
        std::atomic<std::uint64_t> sequence{0};
        std::atomic<bool> watching{false};
        std::atomic<std::int64_t> oldestBeatNs{0};
        std::atomic<std::int64_t> stalledNs{0};
        std::atomic<std::int64_t> stalledUntilNs{0};
    };

    // Where a stall that is going on began to count; later than now when none is.
    static std::int64_t stallCountsFrom(std::int64_t oldestBeatNs, std::int64_t stalledUntilNs) {
        return std::max(oldestBeatNs + kAllowanceNs, stalledUntilNs);
    }
    std::int64_t oldestBeat() const;
    void publish();

    // The watchers' own record, under the lock.
    mutable std::mutex writing_;
    int watchers_ = 0;
    std::array<std::int64_t, kMaxWatchers> beatNs_{};
    std::int64_t stalledNs_ = 0;
    std::int64_t stalledUntilNs_ = 0;
    std::int64_t stallBeganNs_ = 0;
    int count_ = 0;
    std::int64_t longestNs_ = 0;

    std::array<Copy, 2> copies_;
    std::atomic<int> current_{0};
};

template <typename Now>
StallLedger::Reading StallLedger::read(Now now) const {
    for (;;) {
        const Copy& copy =
            copies_[static_cast<std::size_t>(current_.load(std::memory_order_acquire))];
        const std::uint64_t before = copy.sequence.load(std::memory_order_acquire);
        if ((before & 1U) != 0) {
            continue;
        }
        const bool watching = copy.watching.load(std::memory_order_relaxed);
        const std::int64_t oldest = copy.oldestBeatNs.load(std::memory_order_relaxed);
        const std::int64_t stalled = copy.stalledNs.load(std::memory_order_relaxed);
        const std::int64_t until = copy.stalledUntilNs.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (copy.sequence.load(std::memory_order_relaxed) != before) {
            continue;
        }
        Reading r{now(), stalled};
        if (watching) {
            r.stalledNs += std::max<std::int64_t>(0, r.realNs - stallCountsFrom(oldest, until));
        }
        return r;
    }
}

}  // namespace zev7
