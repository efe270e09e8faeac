// Where a port thread's results go besides the window and the protocol: the HTML result report
// with its graph bitmaps and the database rows. The port engine calls it at fixed points of a
// run; the report and database writer implements it (each port thread owns one), a no-op
// stands in until then and wherever nothing is to be written.
//
// The calls, in the order a run makes them:
//   deleteOldResults     when the port thread starts, before its first protocol line;
//   ReportHead      (0)  right after the protocol line "Сценарий запущен!";
//   CycleHead       (1)  when a cycle starts, after its window refresh,
//   CallTableHead   (2)  right after it;
//   CallRow         (3)  after each accounted test call (statistics and texts updated);
//   CycleEnd        (4)  when a cycle is complete (before its protocol line "завершен!"), and
//                        for the unfinished cycle of an interrupted scenario in which at
//                        least one call was made (before "Сценарий прерван!");
//   FinishResultReport   at the end of a run without an error, after the modem was restored.
// Nothing is called once the thread is terminating.
#pragma once

#include "engine/cycle/cycle_result_texts.h"
#include "engine/cycle/cycle_statistics.h"
#include "engine/detect/call_result.h"
#include "scenario/records.h"

namespace zev7 {

enum class ResultSection : int {
    ReportHead = 0,
    CycleHead = 1,
    CallTableHead = 2,
    CallRow = 3,
    CycleEnd = 4,
};

// Everything a section needs, as the port thread holds it at the moment of the call. The
// pointers are valid for the duration of the call only.
struct ResultContext {
    int port = 0;
    const ScenarHeader* header = nullptr;  // outgoing number, repetition, answering settings
    const CycleRecord* cycle = nullptr;    // the current cycle; nullptr outside a cycle
    int cycleNumber = 0;                   // 1-based; 0 outside a cycle
    int executionNumber = 1;               // the repetition of the scenario
    int callNumber = 0;                    // 1-based number of the call just made
    const CallResult* call = nullptr;
    // Counts, percentages, the cycle start and the calls past dial tone and ringback.
    const CycleStatistics* statistics = nullptr;
    CallRowTexts callRow;      // the row of the last accounted call
    SummaryTexts summary;      // the cycle result table (rows 1..19)
    bool endedEarly = false;   // CycleEnd: minAttempts reached within the norm
    bool interrupted = false;  // the user stopped the scenario
};

class ResultSink {
public:
    virtual ~ResultSink() = default;

    // The port's result files of an earlier run (the working report and its numbered graph
    // bitmaps) are deleted; the port thread deletes the protocol file itself.
    virtual void deleteOldResults(int port) = 0;
    virtual void WriteResultSection(ResultSection mode, const ResultContext& context) = 0;
    // The scenario ended without an error: the report gets its final name. An implementation
    // that shows dialogs must run them on the UI thread itself.
    virtual void FinishResultReport(const ResultContext& context) = 0;
    // Database steps that failed so far, and the test calls among them that were not stored.
    virtual int storeFailures() const { return 0; }
    virtual int unstoredCalls() const { return 0; }
    // How often the central database server went out of reach (the results went to the
    // station's spool) and came back (the spool sent), so far.
    virtual int serverLosses() const { return 0; }
    virtual int serverReturns() const { return 0; }
};

class NullResultSink : public ResultSink {
public:
    void deleteOldResults(int /*port*/) override {}
    void WriteResultSection(ResultSection /*mode*/, const ResultContext& /*context*/) override {}
    void FinishResultReport(const ResultContext& /*context*/) override {}
};

}  // namespace zev7
