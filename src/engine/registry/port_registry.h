// The tables every port thread shares, below the windows: which port has a running port
// thread (PortThreads) or answering-station thread (AnswerThreads), each port's run state, the
// incoming number each port is calling now (ActiveNumbers), the three named mutexes and the
// next-ring-report tick. One instance serves the program (instance()); tests make their own.
//
// ActiveNumbers: a port's slot is claimed and released as a whole, under the registry's own
// small lock, so that no reader ever sees a half-written or half-cleared number. Cycle
// selection and the wait for an enumerated number additionally hold "hMutexNameStr1_ZEV7"
// around their compare-then-claim, so that two ports never claim one number together.
#pragma once

#include "core/named_mutex.h"
#include "core/shared_tick.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/records.h"

#include <QMutex>
#include <QObject>
#include <array>
#include <atomic>
#include <optional>

class QThread;

namespace zev7 {

// A running port thread as the registry knows it: it can be asked to stop.
class StoppablePort {
public:
    virtual ~StoppablePort() = default;
    // Sets the interrupted and the stop flag; the thread finishes its step and exits.
    virtual void requestStop() = 0;
};

enum class PortRunState : int { Absent = 0, Free = 1, InUse = 2 };

// How a port's last run ended.
enum class RunOutcome : int {
    None = 0,     // no run yet, or still running
    Completed,    // every repetition of the scenario was executed
    Interrupted,  // the user stopped it
    Failed,       // an error, a refused scenario or the line-held alarm ended it
};

// The names of the three process-wide mutexes.
inline constexpr char kResultFilesMutexName[] = "hMutexNameStr_ZEV7";
inline constexpr char kCycleSelectionMutexName[] = "hMutexNameStr1_ZEV7";
inline constexpr char kSpareMutexName[] = "hMutexName2_ZEV7";

class PortRegistry : public QObject {
    Q_OBJECT

public:
    PortRegistry();
    ~PortRegistry() override;

    // The program's registry.
    static PortRegistry& instance();

    // ---- PortThreads ----------------------------------------------------------------------
    // False when the port number is outside 1..64 or the slot is taken.
    bool setPortThread(int port, StoppablePort* thread);
    // Clears the slot if it still holds `thread`; emits portThreadEnded.
    void clearPortThread(int port, StoppablePort* thread);
    bool hasPortThread(int port) const;
    int portThreadCount() const;
    // Asks the port's thread to stop; false when none runs.
    bool stopPortThread(int port);

    // ---- AnswerThreads --------------------------------------------------------------------
    bool setAnswerThread(int port, QThread* thread);
    void clearAnswerThread(int port, QThread* thread);
    QThread* answerThread(int port) const;

    // ---- Port states ----------------------------------------------------------------------
    PortRunState runState(int port) const;
    void setRunState(int port, PortRunState state);
    RunOutcome runOutcome(int port) const;
    void setRunOutcome(int port, RunOutcome outcome);

    // ---- ActiveNumbers --------------------------------------------------------------------
    void claimNumber(int port, const TelNumber& number);
    void releaseNumber(int port);
    std::optional<TelNumber> activeNumber(int port) const;
    // Another port's slot holds the same number (SameNumber).
    bool numberTakenByOther(int port, const TelNumber& number) const;

    // ---- Named mutexes and shared ticks ---------------------------------------------------
    NamedMutex& resultFilesMutex() { return resultFiles_; }
    NamedMutex& cycleSelectionMutex() { return cycleSelection_; }
    NamedMutex& spareMutex() { return spare_; }
    // The earliest moment the next ring is worth a protocol line, for every port.
    SharedTick& nextRingReport() { return nextRingReport_; }

signals:
    // A port thread ended and cleared its slot (emitted on that thread).
    void portThreadEnded(int port);

private:
    static bool valid(int port) { return port >= kFirstPort && port <= kLastPort; }
    static std::size_t slot(int port) { return static_cast<std::size_t>(port); }

    static constexpr std::size_t kSlots = kLastPort + 1;  // index = port number

    mutable QMutex threadsMutex_;
    std::array<StoppablePort*, kSlots> portThreads_{};
    std::array<QThread*, kSlots> answerThreads_{};

    std::array<std::atomic<int>, kSlots> runStates_{};
    std::array<std::atomic<int>, kSlots> runOutcomes_{};

    mutable QMutex numbersMutex_;
    std::array<std::optional<TelNumber>, kSlots> activeNumbers_{};

    NamedMutex resultFiles_{QString::fromLatin1(kResultFilesMutexName)};
    NamedMutex cycleSelection_{QString::fromLatin1(kCycleSelectionMutexName)};
    NamedMutex spare_{QString::fromLatin1(kSpareMutexName)};
    SharedTick nextRingReport_;
};

}  // namespace zev7
