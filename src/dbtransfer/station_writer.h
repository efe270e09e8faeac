// A port thread's writer of the results as a station writes them: into the database the
// station is set up for, and, when that is a server and the server cannot be reached, into the
// station's own file (the spool, ServerSpool) until the server answers again. The port goes on
// measuring all the while; nothing the thread measured is lost and nothing is stored twice.
//
// The server goes away in the middle of a cycle: the server holds the cycle up to its last
// call that was committed. The spool receives what the thread holds of the cycle (its numbers,
// cycle row and settings, found or made again from the scenario's header and the cycle record
// the writer keeps) and, from the call the server did not take, every further call. When the
// server answers again, the spooled cycles are sent through the import's rules with "complete
// what is present": the server's part of the cycle is found by its numbers and start, the calls
// it lacks are added under its own CYCLE_ID, a call being known by its cycle and number (a
// call whose commit reached the server although its answer was lost is in both, and stored
// once), and the cycle's end, state and results become the spool's, which counted every call.
// A spooled cycle leaves the spool only after the server's commit; then the writer finds its
// numbers and the cycle under way on the server again and goes on there.
//
// The server is asked again on the thread's clock, at most once every kServerRetryMs, at the
// next write (a cycle start or a call), never while the port waits between them.
#pragma once

#include "db/db_save_data.h"

#include <cstdint>
#include <optional>

namespace zev7 {

class Clock;

class StationWriter {
public:
    static constexpr std::int64_t kServerRetryMs = 30000;

    StationWriter(int port, UserMessages& messages, const Clock& clock);

    bool saveScenarioStart(const ScenarHeader& header);
    bool saveCycleStart(double cycleStart, const CycleRecord& cycle, const ScenarHeader& header);
    bool saveTestCall(const CycleRecord& cycle, const DbCycleResults& results,
                      const DbCallRecord& call, int callNumber, int callsPastDialTone,
                      int callsPastRingback);

    // The run ends: the server is asked once more, whatever the pace, so that a spool it could
    // take now does not wait for the next run.
    void endOfRun();

    // Operations that failed (shown to the user), and the test calls among them.
    int failureCount() const { return server_.failureCount() + spool_.failureCount(); }
    int unstoredCalls() const { return unstoredCalls_; }

    // The results go to the spool: the server is out of reach.
    bool spooling() const { return spooling_; }
    // How often the server went away and came back during this writer's life.
    int serverLosses() const { return losses_; }
    int serverReturns() const { return returns_; }
    // Cycles sent from the spool to the server so far.
    int sentCycles() const { return sent_; }

private:
    using Step = std::function<bool(TDBSaveData& writer)>;

    bool onServer() const;
    bool write(const Step& step);
    // The spool's connection of this thread for the spool's writer; reported when it cannot
    // be had.
    bool spoolReady();
    // The spool's numbers and cycle as the writer holds them, then the step, in the spool.
    bool spoolStep(const Step& step);
    bool markCycle();
    // Paced: sends the spool and goes back to the server when it answers.
    void tryServer();
    // The writer's numbers and cycle under way found (or made) in the writer's database.
    bool restore(TDBSaveData& writer);

    int port_;
    const Clock& clock_;
    TDBSaveData server_;
    TDBSaveData spool_;
    std::optional<ScenarHeader> header_;
    std::optional<CycleRecord> cycle_;
    double cycleStart_ = 0.0;
    bool spooling_ = false;
    bool pushRefusalShown_ = false;
    std::int64_t lastTryMs_ = 0;
    int losses_ = 0;
    int returns_ = 0;
    int sent_ = 0;
    int unstoredCalls_ = 0;
};

}  // namespace zev7
