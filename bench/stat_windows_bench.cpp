// What the statistics windows cost on a database of realistic size, drawn offscreen: opening
// each over the whole selection, a row change of the cycle list with the three windows of one
// cycle open, the parameter table's count/percent switch, the parameter table (the widest)
// exported to Word. Argument: the number of cycles of 100 test calls each (see
// bench_database.h).
#include "bench_database.h"
#include "dbui/selection_stat_windows.h"
#include "dbui/stat_windows.h"
#include "dbui/word_export.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

using namespace zev7;
using bench::selected;

constexpr QSize kWindowSize{1000, 600};

// An MDI area standing in for the main window; every window drawn once as it opens.
struct Frame : bench::WindowFrame<StatWindows> {
    Frame() : WindowFrame(kWindowSize) {}
};

void BM_OpenWindow(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    const auto kind = static_cast<StatWindowKind>(state.range(1));
    Frame f;
    f.windows.setCurrentCycle(1);
    for (auto _ : state) {
        StatWindow* w = f.windows.open(kind);
        benchmark::DoNotOptimize(w->grab());
        state.PauseTiming();
        f.close();
        state.ResumeTiming();
    }
}

void BM_RowChangeWithCycleWindows(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    Frame f;
    f.windows.openCycleStat(1);
    f.windows.openCycleCalls(1);
    f.windows.openCycleSettings(1);
    int cycle = 0;
    for (auto _ : state) {
        cycle = cycle % static_cast<int>(state.range(0)) + 1;
        f.windows.setCurrentCycle(cycle);
        QCoreApplication::processEvents();
    }
    f.close();
}

void BM_CountPercentSwitch(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    Frame f;
    auto* params = qobject_cast<TFormBD_StatParams*>(f.windows.open(StatWindowKind::ParamStats));
    bool percent = false;
    for (auto _ : state) {
        percent = !percent;
        (percent ? params->percentButton() : params->countButton())->click();
        benchmark::DoNotOptimize(params->grab());
    }
    f.close();
}

// "Экспорт таблицы в Word" of the parameter table: every row read and written as a .docx.
void BM_ExportParamTable(benchmark::State& state) {
    if (!selected(state)) {
        return;
    }
    Frame f;
    auto* params = qobject_cast<TFormBD_StatParams*>(f.windows.open(StatWindowKind::ParamStats));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("params.docx"));
    QString error;
    for (auto _ : state) {
        const WordDocument d = gridDocument(*params->grid(), params->windowTitle(),
                                            params->exportHeading(), params->exportOrientation());
        if (!writeDocx(path, d, &error)) {
            state.SkipWithError("cannot write");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    f.close();
}

void windowKinds(benchmark::internal::Benchmark* b) {
    for (int cycles : {1000, 10000}) {
        for (int kind = 0; kind <= static_cast<int>(StatWindowKind::ParamStats); ++kind) {
            b->Args({cycles, kind});
        }
    }
}

BENCHMARK(BM_OpenWindow)->Apply(windowKinds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowChangeWithCycleWindows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountPercentSwitch)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportParamTable)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
