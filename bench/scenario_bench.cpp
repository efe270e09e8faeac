#include "scenario/scenar_class.h"
#include "scenario/scenario_scheme.h"
#include "scenario/scenario_templates.h"
#include "scenario/tel_number.h"
#include "support/recording_messages.h"

#include <benchmark/benchmark.h>
#include <QTemporaryDir>

namespace {

constexpr int kLongScenarioCycles = 1000;

// A long campaign: a thousand cycles, as batch schedules prepared with zev7-scn can hold.
void fillScenario(zev7::TScenarClass& scenario) {
    for (int i = 0; i < kLongScenarioCycles; ++i) {
        scenario.AddCycle();
        zev7::setNumberField(scenario.editableCurrentCycle()->inNumber, zev7::NUM_ON_ATX,
                             QStringLiteral("P%1").arg(2000000 + i));
        zev7::rebuildNumberText(scenario.editableCurrentCycle()->inNumber);
    }
}

void BM_SaveScenario1000Cycles(benchmark::State& state) {
    QTemporaryDir dir;
    zev7::RecordingMessages messages;
    zev7::TScenarClass scenario(messages, QDateTime::currentDateTime());
    fillScenario(scenario);
    const QString path = dir.filePath(QStringLiteral("long.scn"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(scenario.SaveToFile(path));
    }
}
BENCHMARK(BM_SaveScenario1000Cycles);

// Loading includes the duration estimate of every cycle, as the port window does.
void BM_LoadScenario1000Cycles(benchmark::State& state) {
    QTemporaryDir dir;
    zev7::RecordingMessages messages;
    zev7::TScenarClass scenario(messages, QDateTime::currentDateTime());
    fillScenario(scenario);
    const QString path = dir.filePath(QStringLiteral("long.scn"));
    scenario.SaveToFile(path);
    zev7::TScenarClass loaded(messages, QDateTime::currentDateTime());
    for (auto _ : state) {
        benchmark::DoNotOptimize(loaded.LoadFromFile(path));
    }
}
BENCHMARK(BM_LoadScenario1000Cycles);

// The port thread steps an enumerated number after every number's attempts.
void BM_NextNumber(benchmark::State& state) {
    zev7::CycleRecord cycle = zev7::templateCycle();
    zev7::setNumberField(cycle.inNumber, zev7::NUM_ATX, QStringLiteral("P200"));
    zev7::setNumberField(cycle.inNumber, zev7::NUM_ON_ATX, QStringLiteral("P0000"));
    cycle.numEnum[zev7::NUM_ATX] = {1, {}, 299, 1};
    cycle.numEnum[zev7::NUM_ON_ATX] = {1, {}, 9999, 1};
    for (auto _ : state) {
        benchmark::DoNotOptimize(zev7::NextNumber(cycle));
    }
}
BENCHMARK(BM_NextNumber);

// The scheme window with the most it can show: 64 ports of 20 cycles repeated 50 times, every
// port calling one of ten numbers (64 000 bars). Building happens when the window comes to the
// front; a drag step recolours every clash at each mouse move.
struct BusyScheme {
    static constexpr int kPorts = 64;
    static constexpr int kCycles = 20;
    static constexpr int kRuns = 50;
    std::vector<zev7::ScenarHeader> headers;
    std::vector<std::vector<zev7::CycleRecord>> cycles;
    std::vector<zev7::SchemeSource> sources;

    BusyScheme() {
        headers.resize(kPorts, zev7::templateHeader(46000.0));
        cycles.resize(kPorts);
        for (int p = 0; p < kPorts; ++p) {
            headers[p].runCount = kRuns;
            headers[p].repeatInterval = 24 * 60;
            for (int k = 0; k < kCycles; ++k) {
                zev7::CycleRecord c = zev7::templateCycle();
                zev7::setNumberField(c.inNumber, zev7::NUM_ON_ATX,
                                     QString::number(2000000 + (p + k) % 10));
                zev7::rebuildNumberText(c.inNumber);
                c.startFrom = (k * 60 + p) / 1440.0;
                c.estimatedDuration = 3000.0;
                cycles[p].push_back(c);
            }
            sources.push_back({p + 1, true, false, &headers[p], cycles[p]});
        }
    }
};

void BM_BuildScheme64Ports(benchmark::State& state) {
    BusyScheme busy;
    zev7::ScenarioScheme scheme;
    for (auto _ : state) {
        scheme.build(busy.sources);
        benchmark::DoNotOptimize(scheme.rows().data());
    }
    state.counters["bars"] = BusyScheme::kPorts * BusyScheme::kCycles * BusyScheme::kRuns;
}
BENCHMARK(BM_BuildScheme64Ports)->Unit(benchmark::kMillisecond);

void BM_DragStepScheme64Ports(benchmark::State& state) {
    BusyScheme busy;
    zev7::ScenarioScheme scheme;
    scheme.build(busy.sources);
    const double grab = scheme.rows()[0].bars[0].start;
    scheme.beginDrag(0, 0, grab);
    double t = grab;
    for (auto _ : state) {
        t += 1.0 / 1440.0;
        scheme.dragTo(t);
    }
}
BENCHMARK(BM_DragStepScheme64Ports)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
