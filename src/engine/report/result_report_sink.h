// The port thread's result writer: each section of the HTML report together with its database
// step, under the report mutex every port shares, so that the report and the database get the
// same cycles and calls in the same order; and at the end of the run the final report.
//
// What each mode stores first (ResultDatabase) and then writes (ResultReport):
//   0 ReportHead     the outgoing number          | the head
//   1 CycleHead      the incoming number, the     | the cycle paragraph and settings table
//                    cycle row and its settings   |
//   2 CallTableHead  -                            | the call table's head
//   3 CallRow        the call, its measurements,  | the call's row
//                    the cycle row and results    |
//   4 CycleEnd       -                            | the result table and the graph pictures
#pragma once

#include "engine/report/result_report.h"
#include "engine/report/result_report_finish.h"
#include "engine/report/result_sink.h"

#include <QString>
#include <functional>
#include <optional>

namespace zev7 {

// The database side of the sections. Each call runs inside the report mutex, before the
// section's lines are written; a failure is the database's to report, the report goes on.
class ResultDatabase {
public:
    virtual ~ResultDatabase() = default;
    // Mode 0: the scenario's outgoing number.
    virtual void storeScenarioStart(const ScenarHeader& header) = 0;
    // Mode 1: the cycle's incoming number, its row (started at cycleStart, OLE) and settings.
    virtual void storeCycleStart(double cycleStart, const CycleRecord& cycle,
                                 const ScenarHeader& header) = 0;
    // Mode 3: the accounted call (context.call, callNumber, statistics, cycle).
    virtual void storeTestCall(const ResultContext& context) = 0;
};

// How the report gets its final name when the run ends. With a batch report name the batch
// way (the name under "Result", no dialog); otherwise with askPath the interactive way (the
// save dialog, which the callback shows on the user-interface thread); with neither the
// working report stays as it is.
struct ReportFinishing {
    std::function<QString(int port)> batchReportName;
    AskReportSavePath askPath;
};

class ReportResultSink : public ResultSink {
public:
    // database: none stores nothing. graphs: none saves no pictures. reportMutex: the
    // registry's "hMutexNameStr_ZEV7", waited for on `clock`.
    ReportResultSink(int port, UserMessages& messages, NamedMutex& reportMutex, const Clock& clock,
                     ResultDatabase* database, GraphBitmapSource* graphs,
                     ReportFinishing finishing);

    void deleteOldResults(int port) override;
    void WriteResultSection(ResultSection mode, const ResultContext& context) override;
    void FinishResultReport(const ResultContext& context) override;

    // Where the final report went; nothing before the end, after a cancelled dialog or a
    // failed copy.
    const std::optional<QString>& finalReport() const { return finalReport_; }

private:
    int port_;
    UserMessages& messages_;
    ResultDatabase* database_;
    ResultReport report_;
    ReportFinishing finishing_;
    std::optional<QString> finalReport_;
};

}  // namespace zev7
