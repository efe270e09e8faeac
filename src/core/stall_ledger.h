// How long a process stood still because the machine held it up, as a watcher thread sees it:
// the watcher beats every millisecond, and a beat that comes more than the allowance after
// the one before means that nothing of the process ran meanwhile (another program's disk
// work, the host of a virtual machine). A scaled clock counts such a stall at real pace, not
// K times over: the simulator, held up with the program, does the same, and neither side's
// tones run past the other's polls.
//
// One writer (the watcher), any number of readers, no lock: a sequence count tells a reader
// that its reading overlapped a beat.
#pragma once

#include <atomic>
#include <cstdint>

namespace zev7 {

struct ClockStalls {
    int count = 0;
    double longestMs = 0.0;  // real milliseconds
};

class StallLedger {
public:
    // A wait longer than this between beats is a stall (a beat on time is a few tens of
    // microseconds late at most).
    static constexpr std::int64_t kAllowanceNs = 5'000'000;

    struct Reading {
        std::int64_t realNs = 0;
        std::int64_t stalledNs = 0;  // real time up to realNs that stood still beyond allowances
    };

    // The watcher starts beating at realNs; before, no time counts as stalled.
    void start(std::int64_t realNs);
    // The watcher's beat at realNs (from the one thread that called start()).
    void beat(std::int64_t realNs);
    // now() read together with what had stood still by then, a stall that has not ended yet
    // included (no beat for longer than the allowance).
    template <typename Now>
    Reading read(Now now) const;
    ClockStalls stalls() const;

private:
    std::atomic<std::uint64_t> sequence_{0};
    std::atomic<bool> watching_{false};
    std::atomic<std::int64_t> beatNs_{0};
    std::atomic<std::int64_t> stalledNs_{0};
    std::atomic<int> count_{0};
    std::atomic<std::int64_t> longestNs_{0};
};

template <typename Now>
StallLedger::Reading StallLedger::read(Now now) const {
    for (;;) {
        const std::uint64_t before = sequence_.load(std::memory_order_acquire);
        if ((before & 1U) != 0) {
            continue;
        }
        const bool watching = watching_.load(std::memory_order_relaxed);
        const std::int64_t beat = beatNs_.load(std::memory_order_relaxed);
        Reading r{now(), stalledNs_.load(std::memory_order_relaxed)};
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(std::memory_order_relaxed) != before) {
            continue;
        }
        if (watching && r.realNs - beat > kAllowanceNs) {
            r.stalledNs += r.realNs - beat - kAllowanceNs;
        }
        return r;
    }
}

}  // namespace zev7
