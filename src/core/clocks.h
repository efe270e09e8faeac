// The clocks the program runs on: real time, a manual clock for tests, and a scaled clock
// for demonstrations with the simulator.
#pragma once

#include "core/clock.h"
#include "core/stall_ledger.h"

#include <QElapsedTimer>
#include <atomic>
#include <thread>
#include <vector>

namespace zev7 {

class RealClock : public Clock {
public:
    RealClock();
    std::int64_t tickMs() const override;
    std::int64_t tickUs() const override;
    QDateTime now() const override;
    void sleepMs(std::int64_t ms) override;

private:
    QElapsedTimer elapsed_;
};

// Time stands still until a sleep or advance() moves it; several threads may share it.
class ManualClock : public Clock {
public:
    explicit ManualClock(const QDateTime& start = QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    std::int64_t tickMs() const override;
    QDateTime now() const override;
    void sleepMs(std::int64_t ms) override;
    void advance(std::int64_t ms);
    void setNow(const QDateTime& t);  // moves forward to t; time never runs back
    bool runsByItself() const override { return false; }

private:
    QDateTime start_;
    std::atomic<std::int64_t> ticks_{0};
};

// Runs K times faster than real time: ticks, the date-time and every sleep. The program and
// the simulator started with the same K agree on every tone, delay and time-out. A stall of
// a processor (see StallLedger) passes at real pace, as the watcher threads that the clock
// runs at K > 1, one on each processor, see it; a watcher the system does not give real-time
// priority could not tell a stall from its own wait for the processor, and does not watch.
class ScaledClock : public Clock {
public:
    explicit ScaledClock(double scale);
    ~ScaledClock() override;
    ScaledClock(const ScaledClock&) = delete;
    ScaledClock& operator=(const ScaledClock&) = delete;
    std::int64_t tickMs() const override;
    std::int64_t tickUs() const override;
    QDateTime now() const override;
    void sleepMs(std::int64_t ms) override;
    double scale() const override { return scale_; }
    ClockStalls stalls() const { return ledger_.stalls(); }

    // K from the environment variable ZEV7_TIME_SCALE (1 when unset or not a number >= 1).
    static double scaleFromEnvironment();

private:
    void watch(int processor);

    double scale_;
    QDateTime start_;
    QElapsedTimer elapsed_;
    StallLedger ledger_;
    std::atomic<bool> stopWatching_{false};
    std::vector<std::thread> watchers_;
};

// "The computer stood this program still N times ..." for the end of a run; empty when it
// never did.
QString stallReport(const ClockStalls& stalls);

}  // namespace zev7
