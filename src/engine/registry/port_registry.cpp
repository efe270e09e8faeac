#include "engine/registry/port_registry.h"

#include "scenario/tel_number.h"

#include <QMutexLocker>

namespace zev7 {

PortRegistry::PortRegistry() = default;
PortRegistry::~PortRegistry() = default;

PortRegistry& PortRegistry::instance() {
    static PortRegistry registry;
    return registry;
}

// ---- PortThreads ---------------------------------------------------------------------------

bool PortRegistry::setPortThread(int port, StoppablePort* thread) {
    if (!valid(port)) {
        return false;
    }
    QMutexLocker lock(&threadsMutex_);
    if (portThreads_[slot(port)] != nullptr) {
        return false;
    }
    portThreads_[slot(port)] = thread;
    return true;
}

void PortRegistry::clearPortThread(int port, StoppablePort* thread) {
    if (!valid(port)) {
        return;
    }
    {
        QMutexLocker lock(&threadsMutex_);
        if (portThreads_[slot(port)] != thread) {
            return;
        }
        portThreads_[slot(port)] = nullptr;
    }
    emit portThreadEnded(port);
}

bool PortRegistry::hasPortThread(int port) const {
    if (!valid(port)) {
        return false;
    }
    QMutexLocker lock(&threadsMutex_);
    return portThreads_[slot(port)] != nullptr;
}

int PortRegistry::portThreadCount() const {
    QMutexLocker lock(&threadsMutex_);
    int n = 0;
    for (const StoppablePort* t : portThreads_) {
        n += t != nullptr ? 1 : 0;
    }
    return n;
}

bool PortRegistry::stopPortThread(int port) {
    if (!valid(port)) {
        return false;
    }
    // The thread clears its slot under this lock before it ends, so it lives while we hold it.
    QMutexLocker lock(&threadsMutex_);
    StoppablePort* thread = portThreads_[slot(port)];
    if (thread == nullptr) {
        return false;
    }
    thread->requestStop();
    return true;
}

// ---- AnswerThreads -------------------------------------------------------------------------

bool PortRegistry::setAnswerThread(int port, QThread* thread) {
    if (!valid(port)) {
        return false;
    }
    QMutexLocker lock(&threadsMutex_);
    if (answerThreads_[slot(port)] != nullptr) {
        return false;
    }
    answerThreads_[slot(port)] = thread;
    return true;
}

void PortRegistry::clearAnswerThread(int port, QThread* thread) {
    if (!valid(port)) {
        return;
    }
    QMutexLocker lock(&threadsMutex_);
    if (answerThreads_[slot(port)] == thread) {
        answerThreads_[slot(port)] = nullptr;
    }
}

QThread* PortRegistry::answerThread(int port) const {
    if (!valid(port)) {
        return nullptr;
    }
    QMutexLocker lock(&threadsMutex_);
    return answerThreads_[slot(port)];
}

// ---- Port states ---------------------------------------------------------------------------

PortRunState PortRegistry::runState(int port) const {
    return valid(port) ? static_cast<PortRunState>(runStates_[slot(port)].load())
                       : PortRunState::Absent;
}

void PortRegistry::setRunState(int port, PortRunState state) {
    if (valid(port)) {
        runStates_[slot(port)].store(static_cast<int>(state));
    }
}

RunOutcome PortRegistry::runOutcome(int port) const {
    return valid(port) ? static_cast<RunOutcome>(runOutcomes_[slot(port)].load())
                       : RunOutcome::None;
}

void PortRegistry::setRunOutcome(int port, RunOutcome outcome) {
    if (valid(port)) {
        runOutcomes_[slot(port)].store(static_cast<int>(outcome));
    }
}

// ---- ActiveNumbers -------------------------------------------------------------------------

void PortRegistry::claimNumber(int port, const TelNumber& number) {
    if (!valid(port)) {
        return;
    }
    QMutexLocker lock(&numbersMutex_);
    activeNumbers_[slot(port)] = number;
}

void PortRegistry::releaseNumber(int port) {
    if (!valid(port)) {
        return;
    }
    QMutexLocker lock(&numbersMutex_);
    activeNumbers_[slot(port)].reset();
}

std::optional<TelNumber> PortRegistry::activeNumber(int port) const {
    if (!valid(port)) {
        return std::nullopt;
    }
    QMutexLocker lock(&numbersMutex_);
    return activeNumbers_[slot(port)];
}

bool PortRegistry::numberTakenByOther(int port, const TelNumber& number) const {
    QMutexLocker lock(&numbersMutex_);
    for (int other = kFirstPort; other <= kLastPort; ++other) {
        const auto& held = activeNumbers_[slot(other)];
        if (other != port && held.has_value() && SameNumber(*held, number)) {
            return true;
        }
    }
    return false;
}

}  // namespace zev7
