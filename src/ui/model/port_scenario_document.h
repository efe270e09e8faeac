// The scenario of one open port, shared by every window that shows or edits it: the port window
// (header, cycle list, answering-station values), the cycle settings windows (the current
// cycle), the scheme window (the start windows of all ports). It keeps the port's working copy
// ("Scenar\ComPort<N>.scn") written after every stored edit, and holds the port's run marker
// while the working copy is the port thread's. Each view subscribes to `changed` and shows what
// it says; no window edits another window's controls or calls back into it.
#pragma once

#include <QDateTime>
#include <QObject>
#include <memory>

namespace zev7 {

class PortRunMarker;
class TScenarClass;
class UserMessages;
struct CycleRecord;
struct ScenarHeader;

class PortScenarioDocument : public QObject {
    Q_OBJECT

public:
    // What a change touched, so that a view redraws only what it shows.
    enum Change {
        Header = 0x01,         // numbers, repetition, the answering mode between cycles
        Cycles = 0x02,         // cycles added, deleted or edited (numbers, ticks, settings)
        Times = 0x04,          // the base time or a cycle's start window
        Running = 0x08,        // the scenario started or ended
        CurrentCycle = 0x10,   // another cycle was selected
        AnswerStation = 0x20,  // the answering station's values
        Everything = 0x3f,     // a scenario loaded or cleared
    };
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)

    PortScenarioDocument(int port, UserMessages& messages, const QDateTime& programStart,
                         QObject* parent = nullptr);
    ~PortScenarioDocument() override;

    int port() const { return port_; }
    const TScenarClass& scenario() const { return *scenario_; }
    // The port window edits the scenario in place (its number editor works on it) and says
    // what it changed with edited().
    TScenarClass& scenario() { return *scenario_; }
    bool running() const;
    QString workingCopyPath() const;

    // ---- Changes; every one announces itself through `changed` -------------------------------
    void edited(Changes what);
    void setRunning(bool running);
    void setCurrentIndex(int index);
    // The working copy as the port thread left it (after a run, at the window's opening); false
    // when there is none.
    bool loadWorkingCopy();
    // A scenario file replaces the scenario, then the working copy is written.
    bool load(const QString& path);
    void clear();
    // The header as set in the port window ("Установить"), written at once.
    bool storeHeader(const ScenarHeader& header);
    // The answering-station values of the header changed: written at once.
    bool storeAnswerSettings();
    // The settings windows store the current cycle, `row`: false while the scenario runs or when
    // `row` is no longer the current cycle; written at once (a failed write is reported).
    bool storeCurrentCycle(int row, const CycleRecord& cycle);
    // The scheme window moved a cycle's start window: written at once. False while the
    // scenario runs, for an index that is not a cycle, or when the file could not be written.
    bool moveCycleStart(int cycleIndex, double startFrom, double startUntil);

    // ---- The working copy and the port's run marker --------------------------------------------
    // Writes the working copy. While no run of ours holds the port, the marker is taken for the
    // write: a port that another program runs keeps the working copy its thread writes.
    bool writeWorkingCopy();
    // Takes the port's marker for a run; false (reported) when another program runs the port.
    bool takeRunMarker();
    void releaseRunMarker();

signals:
    void changed(zev7::PortScenarioDocument::Changes what);

private:
    void keepBaseTimeInWholeMinutes();

    const int port_;
    UserMessages& messages_;
    std::unique_ptr<TScenarClass> scenario_;
    // Held from before the run's working copy is written until the port's thread has ended.
    std::unique_ptr<PortRunMarker> runMarker_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PortScenarioDocument::Changes)

}  // namespace zev7
