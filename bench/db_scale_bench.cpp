// What many stations cost one results database: ports storing calls at once into a database
// that already holds years of measuring, and the deletion of a month from it. Argument and
// database as the database windows' benchmarks (bench_database.h; ZEV7_BENCH_DB for a server).
// scripts/bench-writers.sh runs eight of these processes side by side and checks that no call
// was lost.
#include "bench_calls.h"
#include "bench_database.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_save_data.h"
#include "dbtransfer/cycle_deletion.h"
#include "scenario/ole_date.h"
#include "support/recording_messages.h"

#include <benchmark/benchmark.h>
#include <unistd.h>
#include <QApplication>
#include <QSqlQuery>
#include <atomic>
#include <cstring>

namespace {

using namespace zev7;
using bench::ready;

std::atomic<int> lostCalls{0};

// An outgoing number of its own for every process and port, so that their cycles never meet.
TelNumber portNumber(int port) {
    return bench::benchNumber(
        QStringLiteral("(499)"),
        QStringLiteral("%1%2").arg(getpid() % 100000).arg(port, 2, 10, QLatin1Char('0')));
}

// Eight ports of one process, each on its own thread and connection, storing one test call
// after another (its row, its measurements, the cycle's results) as the port threads do.
// calls/s is the sum over the ports; lost counts the calls the database refused.
void BM_PortsStoringCalls(benchmark::State& state) {
    if (state.thread_index() == 0) {
        lostCalls = 0;
    }
    const ThreadDbConnection connection;
    RecordingMessages messages;
    TDBSaveData writer(messages);
    ScenarHeader header;
    std::memset(&header, 0, sizeof header);
    header.outNumber = portNumber(state.thread_index());
    const CycleRecord cycle = bench::endlessCycle(portNumber(50 + state.thread_index()));
    const double start = toOleDate(QDateTime::currentDateTime());
    writer.SaveScenarioStart(header);
    writer.SaveCycleStart(start, cycle, header);
    int n = 0;
    std::array<int, 13> counts{};
    for (auto _ : state) {
        ++n;
        const DbCallRecord call = bench::benchCall(start, n, ResultCode::Success);
        const DbCycleResults results = DbCycleResults::fromCounts(n, n, counts);
        writer.SaveTestCall(cycle, results, call, n, n, n);
    }
    lostCalls += writer.failureCount();
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        state.counters["lost"] = lostCalls.load();
    }
}

// "Удалить" of one month's cycles in the deletion window, with the packing after it. Every
// iteration deletes the next month of the generated years.
void BM_DeleteMonth(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    const DbDialect& d = dialectFor(DbConnection::options());
    QDate month(2026, 2, 1);
    int cycles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QSqlQuery q(DbConnection::main());
        q.exec(QStringLiteral("SELECT CYCLE_ID FROM Table_Cycle WHERE DATE_ON >= %1 AND "
                              "DATE_ON < %2")
                   .arg(d.dateLiteral(month), d.dateLiteral(month.addMonths(1))));
        QList<int> ids;
        while (q.next()) {
            ids << q.value(0).toInt();
        }
        month = month.addMonths(1);
        state.ResumeTiming();
        const DeletionResult r = CycleDeleter(DbConnection::main()).deleteCycles(ids, {});
        if (r.failed) {
            state.SkipWithError(qPrintable(r.error));
            break;
        }
        cycles += r.deleted;
    }
    state.counters["cycles_per_month"] =
        static_cast<double>(cycles) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
}

void portsOnDatabase(benchmark::internal::Benchmark* b) {
    // A fixed number of calls per port, so that every call stored is one the figures count.
    b->Threads(8)->UseRealTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
}
BENCHMARK(BM_PortsStoringCalls)->Apply(portsOnDatabase);
BENCHMARK(BM_DeleteMonth)->Apply(bench::databaseSizes)->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // The ports write into the largest database measured.
    const int cycles = std::max(1000, qEnvironmentVariableIntValue("ZEV7_BENCH_CYCLES"));
    if (!bench::openDatabase(cycles)) {
        std::fprintf(stderr, "the database of %d cycles cannot be had\n", cycles);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
