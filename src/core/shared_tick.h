// A tick value that all port threads share without a lock, such as the moment a modem's CTS
// line went off. It is either unset or holds a tick of the engine clock (which may be 0).
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

namespace zev7 {

class SharedTick {
public:
    bool isSet() const { return value_.load() != kUnset; }
    std::int64_t value() const { return value_.load(); }
    void set(std::int64_t tick) { value_.store(tick); }
    void clear() { value_.store(kUnset); }

    // The moment a modem's CTS line was first seen off, for all ports of the process.
    static SharedTick& ctsLostSince() {
        static SharedTick tick;
        return tick;
    }

    // The earliest moment the next incoming ring is worth a protocol line, for all ports.
    static SharedTick& nextRingReport() {
        static SharedTick tick;
        return tick;
    }

private:
    static constexpr std::int64_t kUnset = std::numeric_limits<std::int64_t>::min();
    std::atomic<std::int64_t> value_{kUnset};
};

}  // namespace zev7
