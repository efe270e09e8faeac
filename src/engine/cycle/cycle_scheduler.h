// Which cycle a port runs next, and when the scenario starts over. A cycle may start once its
// start window is open and no other port is calling its answering number; a cycle whose
// window has closed is cancelled; when every cycle not excluded has finished, the scenario is
// repeated as its header says or is complete. The port's claim on the answering number of its
// cycle is kept in the registry's ActiveNumbers.
//
// The scheduler changes the header and the cycles; the port engine reports the events it
// returns and saves the scenario file when asked to.
#pragma once

#include "core/clock.h"
#include "scenario/port_event.h"
#include "scenario/records.h"

#include <vector>

namespace zev7 {

class PortRegistry;

class CycleScheduler {
public:
    CycleScheduler(int port, ScenarHeader& header, std::vector<CycleRecord>& cycles,
                   PortRegistry& registry, const Clock& clock);

    // A cycle event to report, naming the cycle concerned (0-based index).
    struct Event {
        PortEvent event = PortEvent::CycleCancelledLate;
        int cycleIndex = 0;
    };
    struct Selection {
        int cycleIndex = -1;  // the selected cycle, -1 when none may start now
        std::vector<Event> events;
        bool changed = false;  // a cycle was cancelled: the scenario file is to be saved
    };
    // Under "hMutexNameStr1_ZEV7" (60 s at most): cycles whose window closed before
    // `nowOle` are cancelled, cycles whose number another port calls are postponed (reported
    // once per postponement), and the first cycle whose window is open is taken up and its
    // number claimed.
    Selection selectCycle(double nowOle);

    enum class Repetition {
        NotDue,    // cycles are left in this pass
        NextPass,  // the next pass begins: the scenario file is to be saved
        Complete,  // every pass has been executed
    };
    // Run when no cycle is under way.
    Repetition repeatScenario(double nowOle);
    // The pass being executed, from 1.
    int executionNumber() const { return executionNumber_; }

    // The wait for the next number of an enumerated series: claims it under the mutex when
    // no other port calls it.
    bool claimNumber(const TelNumber& number);
    void releaseNumber();

    // Cycles that count for the repetition: every one not excluded.
    int cyclesToRun() const;

private:
    int port_;
    ScenarHeader& header_;
    std::vector<CycleRecord>& cycles_;
    PortRegistry& registry_;
    const Clock& clock_;
    int executionNumber_ = 1;
};

}  // namespace zev7
