#include "core/clocks.h"

#include "core/strings.h"
#include "core/thread_priority.h"

#include <QThread>
#include <chrono>
#include <cmath>

namespace zev7 {

namespace {

// How often a scaled clock's watcher looks whether its process still runs.
constexpr std::chrono::milliseconds kBeat{1};

}  // namespace

RealClock::RealClock() {
    elapsed_.start();
}

std::int64_t RealClock::tickMs() const {
    return elapsed_.elapsed();
}

std::int64_t RealClock::tickUs() const {
    return elapsed_.nsecsElapsed() / 1000;
}

QDateTime RealClock::now() const {
    return QDateTime::currentDateTime();
}

void RealClock::sleepMs(std::int64_t ms) {
    if (ms > 0) {
        QThread::msleep(static_cast<unsigned long>(ms));
    }
}

ManualClock::ManualClock(const QDateTime& start) : start_(start) {}

std::int64_t ManualClock::tickMs() const {
    return ticks_.load();
}

QDateTime ManualClock::now() const {
    return start_.addMSecs(ticks_.load());
}

void ManualClock::sleepMs(std::int64_t ms) {
    advance(ms);
}

void ManualClock::advance(std::int64_t ms) {
    if (ms > 0) {
        ticks_.fetch_add(ms);
    }
}

void ManualClock::setNow(const QDateTime& t) {
    const std::int64_t delta = now().msecsTo(t);
    if (delta > 0) {
        advance(delta);
    }
}

ScaledClock::ScaledClock(double scale)
    : scale_(scale >= 1.0 && std::isfinite(scale) ? scale : 1.0),
      start_(QDateTime::currentDateTime()) {
    elapsed_.start();
    if (scale_ > 1.0) {
        std::vector<int> processors = processorsOfProcess(StallLedger::kMaxWatchers);
        if (processors.empty()) {
            processors.push_back(-1);  // one watcher wherever the system puts it
        }
        for (const int processor : processors) {
            watchers_.emplace_back([this, processor] { watch(processor); });
        }
    }
}

ScaledClock::~ScaledClock() {
    stopWatching_.store(true);
    for (std::thread& watcher : watchers_) {
        watcher.join();
    }
}

void ScaledClock::watch(int processor) {
    if (processor >= 0 && !keepThreadOnProcessor(processor)) {
        return;
    }
    if (!raiseThreadPriority() || !threadRunsRealTime()) {
        return;
    }
    const int me = ledger_.start(elapsed_.nsecsElapsed());
    while (me >= 0 && !stopWatching_.load(std::memory_order_relaxed)) {
        std::this_thread::sleep_for(kBeat);
        ledger_.beat(me, elapsed_.nsecsElapsed());
    }
}

std::int64_t ScaledClock::tickMs() const {
    return tickUs() / 1000;
}

std::int64_t ScaledClock::tickUs() const {
    const StallLedger::Reading r = ledger_.read([this] { return elapsed_.nsecsElapsed(); });
    // K times the time that ran, once the time that stood still.
    const double ns =
        static_cast<double>(r.realNs - r.stalledNs) * scale_ + static_cast<double>(r.stalledNs);
    return static_cast<std::int64_t>(ns * 1e-3);
}

QDateTime ScaledClock::now() const {
    return start_.addMSecs(tickMs());
}

void ScaledClock::sleepMs(std::int64_t ms) {
    if (ms <= 0) {
        return;
    }
    const double realUs = static_cast<double>(ms) * 1000.0 / scale_;
    QThread::usleep(static_cast<unsigned long>(std::max(1.0, realUs)));
}

QString stallReport(const ClockStalls& stalls) {
    if (stalls.count == 0) {
        return {};
    }
    return txt(str::ClockStalled).arg(stalls.count).arg(stalls.longestMs, 0, 'f', 1);
}

double ScaledClock::scaleFromEnvironment() {
    bool ok = false;
    const double k = qEnvironmentVariable("ZEV7_TIME_SCALE").toDouble(&ok);
    return ok && k >= 1.0 && std::isfinite(k) ? k : 1.0;
}

}  // namespace zev7
