// A live graph window of a port that has made 10 000 test calls: paging, zooming, taking a new
// call and painting, each measured with the chart drawn as the user would see it.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_graph
#include "scenario/user_messages.h"
#include "ui/chart/chart_view.h"
#include "ui/chart/tform_graphic.h"
#include "ui/model/port_graph_data.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <memory>

using namespace zev7;

namespace {

constexpr int kCalls = 10000;

struct GraphFixture {
    GraphFixture() {
        for (int call = 1; call <= kCalls; ++call) {
            add(call);
        }
        window = std::make_unique<TForm_Graphic>(1, AttenuationBars, graphTitle(AttenuationBars),
                                                 data, messages, nullptr);
        window->resize(600, 450);
        window->show();
        window->refresh();
        QApplication::processEvents();
    }
    void add(int call) {
        CallRefresh r;
        r.callNumber = call;
        r.pies.calls = {call, 0};
        r.points.attenuation = 5.0 + (call % 20);
        data.callAccounted(r);
    }
    // What the user waits for: the chart painted anew.
    void paint() { benchmark::DoNotOptimize(window->chartView()->grab()); }

    ConsoleMessages messages;
    PortGraphData data;
    std::unique_ptr<TForm_Graphic> window;
};

GraphFixture& fixture() {
    static GraphFixture f;
    return f;
}

void BM_NextPageAndPaint(benchmark::State& state) {
    GraphFixture& f = fixture();
    f.window->zoomChart(ChartZoom::Restore);
    for (auto _ : state) {
        if (f.window->pages().page == f.window->pages().pages) {
            f.window->zoomChart(ChartZoom::Restore);
        }
        f.window->nextPage();
        f.paint();
    }
}
BENCHMARK(BM_NextPageAndPaint)->Unit(benchmark::kMillisecond);

void BM_ZoomInOutAndPaint(benchmark::State& state) {
    GraphFixture& f = fixture();
    f.window->zoomChart(ChartZoom::Restore);
    bool in = true;
    for (auto _ : state) {
        f.window->zoomChart(in ? ChartZoom::InX : ChartZoom::OutX);
        in = !in;
        f.paint();
    }
}
BENCHMARK(BM_ZoomInOutAndPaint)->Unit(benchmark::kMillisecond);

// Fifty "Уменьшение по X" clicks in a row from page 1, each drawn (the last shows over 1000 bars).
void BM_FiftyWideningStepsAndPaint(benchmark::State& state) {
    GraphFixture& f = fixture();
    for (auto _ : state) {
        f.window->zoomChart(ChartZoom::Restore);
        for (int i = 0; i < 50; ++i) {
            f.window->zoomChart(ChartZoom::OutX);
            f.paint();
        }
    }
    state.counters["bars"] = f.window->shownBars();
}
BENCHMARK(BM_FiftyWideningStepsAndPaint)->Unit(benchmark::kMillisecond);

void BM_NewCallAndPaint(benchmark::State& state) {
    GraphFixture& f = fixture();
    f.window->zoomChart(ChartZoom::Restore);
    int call = kCalls;
    for (auto _ : state) {
        f.add(++call);
        f.window->refresh();
        f.paint();
    }
}
BENCHMARK(BM_NewCallAndPaint)->Unit(benchmark::kMillisecond);

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
