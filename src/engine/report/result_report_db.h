// The results database behind the report writer: each section's step as the station's writer
// stores it (StationWriter: on a server, in the station's spool while the server is out of
// reach). Whoever creates it links the database libraries (zev7_db, zev7_dbtransfer).
#pragma once

#include "engine/report/result_report_sink.h"

#include <atomic>
#include <memory>

namespace zev7 {

class StationWriter;

class DbResultDatabase : public ResultDatabase {
public:
    // Writes through the calling thread's own database connection (and its spool), the server
    // asked again on `clock`; every test call it could not store is added to *unstoredTally
    // when one is given.
    DbResultDatabase(int port, UserMessages& messages, const Clock& clock,
                     std::atomic<int>* unstoredTally = nullptr);
    ~DbResultDatabase() override;

    void storeScenarioStart(const ScenarHeader& header) override;
    void storeCycleStart(double cycleStart, const CycleRecord& cycle,
                         const ScenarHeader& header) override;
    void storeTestCall(const ResultContext& context) override;

    // The run ends: what the spool holds goes to the server if it answers now.
    void endOfRun();
    const StationWriter& writer() const { return *db_; }
    int failureCount() const;
    int unstoredCalls() const;

private:
    std::unique_ptr<StationWriter> db_;
    std::atomic<int>* unstoredTally_;
};

// A port's result writer that stores every section's step into the results database and
// writes the report, owning its database writer. Every test call the database did not take
// is added to *unstoredTally when one is given (the program's count of lost calls).
std::unique_ptr<ResultSink> makeDatabaseReportSink(int port, UserMessages& messages,
                                                   NamedMutex& reportMutex, const Clock& clock,
                                                   GraphBitmapSource* graphs,
                                                   ReportFinishing finishing,
                                                   std::atomic<int>* unstoredTally = nullptr);

}  // namespace zev7
