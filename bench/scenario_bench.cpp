#include "scenario/scenar_class.h"
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

}  // namespace

BENCHMARK_MAIN();
