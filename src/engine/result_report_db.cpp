#include "engine/result_report_db.h"

#include "db/db_save_data.h"
#include "engine/cycle_statistics.h"

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

DbCycleResults dbCycleResults(const CycleStatistics& stats) {
    DbCycleResults results;
    for (const ResultParameter& p : stats.resultParameters()) {
        results[p.id].count = p.count;
        results[p.id].percent = p.percent;
    }
    return results;
}

}  // namespace

DbResultDatabase::DbResultDatabase(UserMessages& messages)
    : db_(std::make_unique<TDBSaveData>(messages)) {}

DbResultDatabase::~DbResultDatabase() = default;

void DbResultDatabase::storeScenarioStart(const ScenarHeader& header) {
    db_->SaveScenarioStart(header);
}

void DbResultDatabase::storeCycleStart(double cycleStart, const CycleRecord& cycle,
                                       const ScenarHeader& header) {
    db_->SaveCycleStart(cycleStart, cycle, header);
}

void DbResultDatabase::storeTestCall(const ResultContext& context) {
    if (context.call == nullptr || context.cycle == nullptr || context.statistics == nullptr) {
        return;
    }
    const CycleStatistics& stats = *context.statistics;
    db_->SaveTestCall(*context.cycle, dbCycleResults(stats), dbCallRecord(*context.call),
                      context.callNumber, stats.callsPastDialTone(), stats.callsPastRingback());
}

}  // namespace zev7
