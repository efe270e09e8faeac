// The one source of time for the engine and the simulator: a millisecond tick count, the
// local date-time and sleeping. Real time for the program, a manual clock for tests (its
// sleeps advance it at once), and a scaled clock that runs K times faster for demonstrations
// with the simulator.
#pragma once

#include <QDateTime>
#include <cstdint>

namespace zev7 {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds, as the modem time-outs and detectors count them.
    virtual std::int64_t tickMs() const = 0;
    // The same count in microseconds, for what happens faster than a millisecond: a byte on
    // the serial line takes 1.15 ms. tickUs() / 1000 == tickMs().
    virtual std::int64_t tickUs() const { return tickMs() * 1000; }
    // Local date and time, for start windows, protocol lines and reports.
    virtual QDateTime now() const = 0;
    // Sleeps this clock's milliseconds (a manual clock advances instead).
    virtual void sleepMs(std::int64_t ms) = 0;
    // How many of this clock's milliseconds pass in one real millisecond (1 but for the
    // scaled clock); a real serial port turns this clock's time-outs into real ones with it.
    virtual double scale() const { return 1.0; }
    // False for a clock that moves only when slept on (the manual clock): nobody else can be
    // waited for then.
    virtual bool runsByItself() const { return true; }
};

}  // namespace zev7
