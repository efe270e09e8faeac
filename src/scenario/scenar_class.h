// The scenario of one port: its header and the ordered cycles, the current cycle that the
// windows edit, and whether the port thread is running it.
#pragma once

#include "scenario/records.h"

#include <QDateTime>
#include <QString>
#include <span>
#include <vector>

namespace zev7 {

class UserMessages;

class TScenarClass {
public:
    // Create(): a copy of the template header whose base time is the program's start time,
    // no cycles, the template cycle current, not running. Every report goes to `messages`.
    TScenarClass(UserMessages& messages, const QDateTime& programStart);
    TScenarClass(const TScenarClass&) = delete;
    TScenarClass& operator=(const TScenarClass&) = delete;

    const ScenarHeader& header() const { return header_; }
    ScenarHeader& header() { return header_; }
    int cycleCount() const { return header_.cycleCount; }
    std::span<const CycleRecord> cycles() const { return cycles_; }
    std::span<CycleRecord> cycles() { return cycles_; }
    const CycleRecord& cycle(int index) const {
        return cycles_.at(static_cast<std::size_t>(index));
    }
    CycleRecord& cycle(int index) { return cycles_.at(static_cast<std::size_t>(index)); }

    // The current cycle: the one the settings windows show, and the model for the next Add.
    // It is the read-only template cycle while the scenario is empty (index -1).
    const CycleRecord& currentCycle() const;
    CycleRecord* editableCurrentCycle();
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);

    // 1 while the port thread executes this scenario: editing commands are then disabled.
    bool running() const { return running_; }
    void setRunning(bool running) { running_ = running; }
    // The base time a cleared scenario gets again.
    double programStartTime() const { return programStart_; }

    // Appends a copy of the current cycle, waiting and with its enumeration switched off; it
    // becomes current. False (reported) when there is no memory for it.
    bool AddCycle();
    // The same, inserted before the zero-based index (an index past the end appends).
    bool InsertCycle(int index);
    // Removes a cycle; a finished one (cancelled or done) no longer counts as finished.
    // Removing the last cycle clears the scenario. False for an index that is not a cycle.
    bool DeleteCycle(int index);
    // Back to a new scenario: template header (with the program's start time), no cycles.
    void Clear();

    // Writes the scenario file; a failure is reported and leaves the file as it was.
    bool SaveToFile(const QString& path);
    // Reads a scenario file; when it is missing, refused or damaged the failure is reported
    // and the scenario stays as it was. The estimated durations are recomputed and the last
    // cycle becomes current.
    bool LoadFromFile(const QString& path);

    // Start: the run begins with no finished cycle and every cycle not excluded waiting.
    void prepareStart();
    // Restart continues after the finished cycles: offered while some, but not all, of the
    // cycles not excluded are finished.
    bool canRestart() const;
    int excludedCycles() const;

    void updateEstimates();

private:
    bool insertCopyOfCurrent(std::size_t position);

    UserMessages& messages_;
    double programStart_;
    ScenarHeader header_;
    std::vector<CycleRecord> cycles_;
    int current_ = -1;
    bool running_ = false;
};

}  // namespace zev7
