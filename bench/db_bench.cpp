// What the results database costs the port threads, and how long a database of realistic
// size takes to generate.
#include "bench_calls.h"
#include "db/db_connection.h"
#include "db/db_save_data.h"
#include "db/demo_database.h"
#include "scenario/ole_date.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"

#include <benchmark/benchmark.h>
#include <QFileInfo>
#include <cstring>

namespace {

using namespace zev7;

TelNumber number(const char* numOnAtx) {
    return bench::benchNumber(QStringLiteral("(495)"), QString::fromLatin1(numOnAtx));
}

// One test call as a port stores it after the call: its row, its measurement row, the cycle
// row's update and the 16 result rows, each operation in its own transaction. Argument 1:
// every commit waits for the disk (as the program runs); 0: it does not.
void BM_StoreOneTestCall(benchmark::State& state) {
    const test::TempHome home;
    DbOptions options;
    options.syncEveryCommit = state.range(0) != 0;
    // On a server (ZEV7_BENCH_DB) the call joins whatever the database holds.
    options.server = qEnvironmentVariable("ZEV7_BENCH_DB");
    RecordingMessages messages;
    if (!DbConnection::setup(&messages, options)) {
        state.SkipWithError("database not set up");
        return;
    }
    TDBSaveData writer(messages);
    ScenarHeader header;
    std::memset(&header, 0, sizeof header);
    header.outNumber = number("4567");
    const CycleRecord cycle = bench::endlessCycle(number("3000"));
    const double start = toOleDate(QDateTime(QDate(2026, 1, 14), QTime(10, 0)));
    writer.SaveScenarioStart(header);
    writer.SaveCycleStart(start, cycle, header);

    int n = 0;
    std::array<int, 13> counts{};
    for (auto _ : state) {
        ++n;
        const ResultCode outcome = n % 10 == 0 ? ResultCode::BusyIncoming : ResultCode::Success;
        const DbCallRecord call = bench::benchCall(start, n, outcome);
        counts[7] += outcome == ResultCode::BusyIncoming ? 1 : 0;
        const DbCycleResults results = DbCycleResults::fromCounts(n, n - counts[7], counts);
        if (!writer.SaveTestCall(cycle, results, call, n, n, n)) {
            state.SkipWithError(qPrintable(writer.lastError()));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    DbConnection::shutdown();
}
BENCHMARK(BM_StoreOneTestCall)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The database the statistics work measures against: 100 000 test calls in 1 000 cycles.
void BM_FillDemoDatabase(benchmark::State& state) {
    double bytes = 0.0;
    for (auto _ : state) {
        const test::TempHome home;
        RecordingMessages messages;
        DbConnection::setup(&messages);
        DemoDatabaseSpec spec;
        spec.cycles = static_cast<int>(state.range(0));
        spec.callsPerCycle = static_cast<int>(state.range(1));
        const DemoDatabaseReport report = fillDemoDatabase(spec, messages);
        DbConnection::shutdown();
        if (report.failures != 0) {
            state.SkipWithError("writes failed");
        }
        bytes = static_cast<double>(QFileInfo(DbConnection::filePath()).size());
        state.counters["calls"] = report.calls;
    }
    state.counters["file_MiB"] = bytes / (1024.0 * 1024.0);
}
BENCHMARK(BM_FillDemoDatabase)->Args({1000, 100})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
