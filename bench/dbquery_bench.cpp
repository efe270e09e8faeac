// What the database windows cost on a database of realistic size: the selection with its list
// and totals, the statistics tables, the per-cycle grids on a row change. Argument: the number
// of cycles of 100 test calls each. The database is generated once into
// /tmp/zev7-bench-<cycles> (or taken from there) and is not part of the figures.
#include "bench_database.h"
#include "db/db_connection.h"
#include "dbquery/cycle_list_model.h"
#include "dbquery/cycle_stat_models.h"
#include "dbquery/selection_stat_models.h"
#include "dbquery/working_selection.h"

#include <benchmark/benchmark.h>

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

BENCHMARK(BM_SelectionListAndTotals)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionWholeList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParameterStatistics)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryStatistics)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurrentCycleWindows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
