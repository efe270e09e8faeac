#include "engine/report/result_report_sink.h"

#include "engine/cycle/cycle_statistics.h"
#include "engine/report/result_report_lines.h"

namespace zev7 {

ReportResultSink::ReportResultSink(int port, UserMessages& messages, NamedMutex& reportMutex,
                                   const Clock& clock, ResultDatabase* database,
                                   GraphBitmapSource* graphs, ReportFinishing finishing)
    : port_(port),
      messages_(messages),
      database_(database),
      report_(port, messages, &reportMutex, clock, graphs),
      finishing_(std::move(finishing)) {}

void ReportResultSink::deleteOldResults(int port) {
    removeOldResultFiles(port);
}

void ReportResultSink::WriteResultSection(ResultSection mode, const ResultContext& context) {
    const ScenarHeader* header = context.header;
    const CycleRecord* cycle = context.cycle;
    const CycleStatistics* stats = context.statistics;
    const bool inCycle = cycle != nullptr && stats != nullptr && header != nullptr;
    switch (mode) {
        case ResultSection::ReportHead:
            if (header != nullptr) {
                report_.writeHead(*header, [&] {
                    if (database_ != nullptr) {
                        database_->storeScenarioStart(*header);
                    }
                });
            }
            break;
        case ResultSection::CycleHead:
            if (inCycle) {
                const double start = stats->cycleStart();
                report_.writeCycleHead(context.cycleNumber, start, *cycle, [&] {
                    if (database_ != nullptr) {
                        database_->storeCycleStart(start, *cycle, *header);
                    }
                });
            }
            break;
        case ResultSection::CallTableHead:
            report_.writeCallTableHead();
            break;
        case ResultSection::CallRow:
            if (inCycle && context.call != nullptr) {
                report_.writeCallRow(context.callRow, [&] {
                    if (database_ != nullptr) {
                        database_->storeTestCall(context);
                    }
                });
            }
            break;
        case ResultSection::CycleEnd:
            report_.writeCycleEnd(
                resultGrid(context.summary), {},
                inCycle ? confidenceLine(LossConfidence(
                              stats->losses(), stats->calls(),
                              CycleStatistics::normInForce(*cycle, context.callNumber)))
                        : QString());
            break;
    }
}

void ReportResultSink::FinishResultReport(const ResultContext& /*context*/) {
    if (finishing_.batchReportName) {
        finalReport_ = FinishBatchResultReport(port_, messages_, finishing_.batchReportName(port_));
    } else if (finishing_.askPath) {
        finalReport_ = zev7::FinishResultReport(port_, messages_, finishing_.askPath);
    }
}

}  // namespace zev7
