#include "engine/report/result_report_db.h"

#include "dbtransfer/station_writer.h"
#include "engine/cycle/cycle_statistics.h"

namespace zev7 {

namespace {

DbCallRecord dbCallRecord(const CallResult& call) {
    DbCallRecord r;
    r.start = call.startTime;
    r.end = call.endTime;
    r.duration = call.duration;
    r.outcome = call.outcome;
    r.answerLevel = call.answerLevel;
    r.dialToneLevel = call.dialToneLevel;
    r.ringbackLevel = call.ringbackLevel;
    return r;
}

class DatabaseReportSink : public ResultSink {
public:
    DatabaseReportSink(int port, UserMessages& messages, NamedMutex& reportMutex,
                       const Clock& clock, GraphBitmapSource* graphs, ReportFinishing finishing,
                       std::atomic<int>* unstoredTally)
        : database_(port, messages, clock, unstoredTally),
          sink_(port, messages, reportMutex, clock, &database_, graphs, std::move(finishing)) {}

    void deleteOldResults(int port) override { sink_.deleteOldResults(port); }
    void WriteResultSection(ResultSection mode, const ResultContext& context) override {
        sink_.WriteResultSection(mode, context);
    }
    void FinishResultReport(const ResultContext& context) override {
        database_.endOfRun();
        sink_.FinishResultReport(context);
    }
    int storeFailures() const override { return database_.failureCount(); }
    int unstoredCalls() const override { return database_.unstoredCalls(); }
    int serverLosses() const override { return database_.writer().serverLosses(); }
    int serverReturns() const override { return database_.writer().serverReturns(); }

private:
    DbResultDatabase database_;
    ReportResultSink sink_;
};

DbCycleResults dbCycleResults(const CycleStatistics& stats, bool endsAtMinimum) {
    DbCycleResults results;
    results.endsAtMinimum = endsAtMinimum;
    for (const ResultParameter& p : stats.resultParameters()) {
        results[p.id].count = p.count;
        results[p.id].percent = p.percent;
    }
    return results;
}

}  // namespace

DbResultDatabase::DbResultDatabase(int port, UserMessages& messages, const Clock& clock,
                                   std::atomic<int>* unstoredTally)
    : db_(std::make_unique<StationWriter>(port, messages, clock)), unstoredTally_(unstoredTally) {}

DbResultDatabase::~DbResultDatabase() = default;

void DbResultDatabase::endOfRun() {
    db_->endOfRun();
}

int DbResultDatabase::failureCount() const {
    return db_->failureCount();
}

int DbResultDatabase::unstoredCalls() const {
    return db_->unstoredCalls();
}

void DbResultDatabase::storeScenarioStart(const ScenarHeader& header) {
    db_->saveScenarioStart(header);
}

void DbResultDatabase::storeCycleStart(double cycleStart, const CycleRecord& cycle,
                                       const ScenarHeader& header) {
    db_->saveCycleStart(cycleStart, cycle, header);
}

void DbResultDatabase::storeTestCall(const ResultContext& context) {
    if (context.call == nullptr || context.cycle == nullptr || context.statistics == nullptr) {
        return;
    }
    const CycleStatistics& stats = *context.statistics;
    const bool stored = db_->saveTestCall(*context.cycle, dbCycleResults(stats, context.endedEarly),
                                          dbCallRecord(*context.call), context.callNumber,
                                          stats.callsPastDialTone(), stats.callsPastRingback());
    if (!stored && unstoredTally_ != nullptr) {
        ++*unstoredTally_;
    }
}

std::unique_ptr<ResultSink> makeDatabaseReportSink(int port, UserMessages& messages,
                                                   NamedMutex& reportMutex, const Clock& clock,
                                                   GraphBitmapSource* graphs,
                                                   ReportFinishing finishing,
                                                   std::atomic<int>* unstoredTally) {
    return std::make_unique<DatabaseReportSink>(port, messages, reportMutex, clock, graphs,
                                                std::move(finishing), unstoredTally);
}

}  // namespace zev7
