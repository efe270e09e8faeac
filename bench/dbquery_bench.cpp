// What the database windows cost on a database of realistic size: the selection with its list
// and totals, the statistics tables, the per-cycle grids on a row change, and the list window
// itself doing the same with its grids laid out (offscreen). Argument: the number of cycles of
// 100 test calls each. Times are wall-clock (what the engineer waits), the CPU time beside. The
// database is generated once into /tmp/zev7-bench-<cycles> (or taken from there) and is not part of
// the figures.
#include "bench_database.h"
#include "db/db_connection.h"
#include "dbquery/cycle_list_model.h"
#include "dbquery/cycle_stat_models.h"
#include "dbquery/selection_stat_models.h"
#include "dbquery/working_selection.h"
#include "dbui/tform_view_bd1.h"
#include "support/recording_messages.h"

#include <benchmark/benchmark.h>
#include <QApplication>

namespace {

using namespace zev7;
using bench::everything;
using bench::fetchAll;
using bench::ready;

// "Показать циклы" then "Получить итог": the working tables filled, the list fetched as far
// as a grid shows it, the totals row.
void BM_SelectionListAndTotals(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    const SelectionCriteria c = everything();
    WorkingSelection selection(DbConnection::main());
    CycleListModel list(DbConnection::main());
    for (auto _ : state) {
        if (!selection.load(c) || !list.load({})) {
            state.SkipWithError("selection failed");
            break;
        }
        benchmark::DoNotOptimize(list.rowCount());
        benchmark::DoNotOptimize(selection.totals({}, {}).attempts);
    }
    state.counters["cycles"] = list.totalRows();
}

// The same with the whole list fetched (scrolling to its end).
void BM_SelectionWholeList(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    const SelectionCriteria c = everything();
    WorkingSelection selection(DbConnection::main());
    CycleListModel list(DbConnection::main());
    for (auto _ : state) {
        selection.load(c);
        list.load({});
        fetchAll(list);
        benchmark::DoNotOptimize(selection.totals({}, {}).attempts);
    }
    state.counters["rows"] = list.rowCount();
}

void BM_ParameterStatistics(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    WorkingSelection(DbConnection::main()).load(everything());
    ParamStatModel params(DbConnection::main());
    for (auto _ : state) {
        if (!params.recompute({}, {})) {
            state.SkipWithError(qPrintable(params.lastError()));
            break;
        }
        fetchAll(params);
    }
    state.counters["rows"] = params.rowCount();
}

void BM_SummaryStatistics(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    WorkingSelection(DbConnection::main()).load(everything());
    SummaryStatModel summary(DbConnection::main());
    for (auto _ : state) {
        if (!summary.recompute({}, {})) {
            state.SkipWithError(qPrintable(summary.lastError()));
            break;
        }
        fetchAll(summary);
    }
}

// A row change in the cycle list with the three per-cycle windows open.
void BM_CurrentCycleWindows(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    WorkingSelection(DbConnection::main()).load(everything());
    CycleStatModel stat(DbConnection::main());
    CycleCallsModel calls(DbConnection::main());
    CycleSettingsModel settings(DbConnection::main());
    int cycle = 0;
    for (auto _ : state) {
        cycle = cycle % static_cast<int>(state.range(0)) + 1;
        stat.showCycle(cycle);
        calls.showCycle(cycle);
        settings.showCycle(cycle);
        fetchAll(calls);
    }
    calls.clearWorkingTable();
}

// "Показать циклы" and "Получить итог" in the list window: the working tables, the grid's first
// screen of rows painted, the totals row.
void BM_ListWindowShowCyclesAndTotals(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    const SelectionCriteria c = everything();
    static RecordingMessages messages;
    TForm_ViewBD1 view(DbConnection::main(), messages, nullptr);
    view.resize(1200, 600);
    view.show();
    for (auto _ : state) {
        view.loadSelection(c);
        view.computeTotals();
        benchmark::DoNotOptimize(view.grab());
    }
    state.counters["cycles"] = view.cycleList().totalRows();
    view.close();
}

#define ZEV7_DB_BENCH(name) \
    BENCHMARK(name)->Apply(bench::databaseSizes)->Unit(benchmark::kMillisecond)->UseRealTime()
ZEV7_DB_BENCH(BM_SelectionListAndTotals);
ZEV7_DB_BENCH(BM_SelectionWholeList);
ZEV7_DB_BENCH(BM_ParameterStatistics);
ZEV7_DB_BENCH(BM_SummaryStatistics);
ZEV7_DB_BENCH(BM_CurrentCycleWindows);
ZEV7_DB_BENCH(BM_ListWindowShowCyclesAndTotals);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
