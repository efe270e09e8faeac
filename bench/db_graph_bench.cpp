// What the statistical graphs cost on a database of realistic size, drawn offscreen: the
// losses of every selected cycle against its norm (read, drawn, painted), paging through it,
// and the histogram of one cycle's 100 calls. Argument: the number of cycles of 100 test
// calls each (see bench_database.h).
#include "bench_database.h"
#include "dbui/db_graph_windows.h"
#include "dbui/tform_bd_graph.h"

#include <benchmark/benchmark.h>
#include <QApplication>

namespace {

using namespace zev7;
using bench::selected;

constexpr QSize kWindowSize{1000, 600};
constexpr int kLossesByCycle = 18;

struct Frame : bench::WindowFrame<DbGraphWindows> {
    Frame() : WindowFrame(kWindowSize) {}
};

// "Обновить выборку" with the graph open: the query, the series and one painting.
void BM_ByCycleRedraw(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    Frame f;
    TFormBD_Graph* w = f.windows.open(kLossesByCycle);
    for (auto _ : state) {
        f.windows.recompute({}, {});
        benchmark::DoNotOptimize(w->grab());
    }
    state.counters["points"] = static_cast<double>(w->data().points.size());
    f.close();
}

void BM_ByCycleNextPage(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    Frame f;
    TFormBD_Graph* w = f.windows.open(kLossesByCycle);
    for (auto _ : state) {
        if (w->page() == w->pageCount()) {
            state.PauseTiming();
            while (w->page() > 1) {
                w->previousPage();
            }
            state.ResumeTiming();
        }
        w->nextPage();
        benchmark::DoNotOptimize(w->grab());
    }
    f.close();
}

// A row change of the cycle list with the histogram of 20 intervals open.
void BM_HistogramRowChange(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    Frame f;
    TFormBD_Graph* w = f.windows.open(GraphFirstHistogram);
    w->setPointsPerPage(20);
    int cycle = 0;
    for (auto _ : state) {
        cycle = cycle % static_cast<int>(state.range(0)) + 1;
        f.windows.setCurrentCycle(cycle);
        benchmark::DoNotOptimize(w->grab());
    }
    f.close();
}

BENCHMARK(BM_ByCycleRedraw)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ByCycleNextPage)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramRowChange)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
