// The program's named mutexes ("hMutexNameStr_ZEV7", "hMutexNameStr1_ZEV7",
// "hMutexName2_ZEV7"), shared by every thread of the process. A wait on one ends after
// 60000 ms of the engine's clock and the work then goes on without it, so one port that hangs
// inside one never stops the others for good.
//
// The wait is a QMutex::tryLock with the clock's 60000 ms turned into real milliseconds
// (clock.scale()), so a scaled clock waits its own minute. Tests drive ports step by step in
// one thread on the manual clock; nobody contends there, so the wait never begins.
#pragma once

#include "core/clock.h"

#include <QMutex>
#include <QString>

namespace zev7 {

inline constexpr std::int64_t kNamedMutexWaitMs = 60000;

class NamedMutex {
public:
    explicit NamedMutex(QString name) : name_(std::move(name)) {}
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    const QString& name() const { return name_; }
    // True when taken; false when the wait timed out (the caller goes on without it and must
    // not release it).
    bool lock(const Clock& clock);
    void unlock() { mutex_.unlock(); }

private:
    QString name_;
    QMutex mutex_;
};

// Holds a named mutex for a scope, if it could be had in time.
class NamedMutexLocker {
public:
    NamedMutexLocker(NamedMutex& mutex, const Clock& clock)
        : mutex_(mutex), owns_(mutex.lock(clock)) {}
    ~NamedMutexLocker() { unlock(); }
    NamedMutexLocker(const NamedMutexLocker&) = delete;
    NamedMutexLocker& operator=(const NamedMutexLocker&) = delete;

    bool owns() const { return owns_; }
    void unlock() {
        if (owns_) {
            mutex_.unlock();
            owns_ = false;
        }
    }

private:
    NamedMutex& mutex_;
    bool owns_;
};

}  // namespace zev7
