// Time inside the simulated modems and network: microseconds on the engine's clock. A byte on
// the serial line takes about 1.15 ms, finer than the clock's milliseconds.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace zev7 {

using SimUs = std::int64_t;

inline constexpr SimUs kUsPerMs = 1000;
inline constexpr SimUs kUsPerSecond = 1000000;
inline constexpr SimUs kNever = std::numeric_limits<SimUs>::max();

// 9600 baud with 8 data bits, no parity and 2 stop bits: 11 bits a byte, both ways.
inline constexpr int kLineBaud = 9600;
inline constexpr int kBitsPerByte = 11;
inline constexpr SimUs kByteUs = (kBitsPerByte * kUsPerSecond + kLineBaud / 2) / kLineBaud;

inline SimUs secondsToUs(double seconds) {
    return static_cast<SimUs>(std::llround(seconds * static_cast<double>(kUsPerSecond)));
}

inline double usToSeconds(SimUs us) {
    return static_cast<double>(us) / static_cast<double>(kUsPerSecond);
}

// The first whole millisecond at or after the moment.
inline std::int64_t usToMsCeil(SimUs us) {
    return us >= 0 ? (us + kUsPerMs - 1) / kUsPerMs : -((-us) / kUsPerMs);
}

}  // namespace zev7
