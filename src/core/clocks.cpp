#include "core/clocks.h"

#include <QThread>
#include <cmath>

namespace zev7 {

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
}

std::int64_t ScaledClock::tickMs() const {
    return tickUs() / 1000;
}

std::int64_t ScaledClock::tickUs() const {
    return static_cast<std::int64_t>(static_cast<double>(elapsed_.nsecsElapsed()) * 1e-3 * scale_);
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

double ScaledClock::scaleFromEnvironment() {
    bool ok = false;
    const double k = qEnvironmentVariable("ZEV7_TIME_SCALE").toDouble(&ok);
    return ok && k >= 1.0 && std::isfinite(k) ? k : 1.0;
}

}  // namespace zev7
