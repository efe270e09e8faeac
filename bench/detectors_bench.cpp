#include "engine/detect/cadence_detector.h"
#include "engine/detect/call_progress.h"
#include "engine/detect/phase_evaluation.h"
#include "engine/detect/signal_detector.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace zev7;

CycleRecord benchCycle() {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.waitTime = 1e9;  // never times out while measured
    c.dialToneThreshold = -20;
    c.ringbackCheck = 1;
    c.ringbackThreshold = -30;
    c.ringbackTime = 0.6;
    c.answerThreshold = -35;
    c.answerMinTime = 2;
    c.answerMaxTime = 1e9;
    c.busyPeriodMin = 0.5;
    c.busyPeriodMax = 1.2;
    c.overloadPeriodMin = 0.25;
    c.overloadPeriodMax = 0.5;
    return c;
}

// A level that toggles around the threshold every few polls, so that every branch of the
// detectors is taken over time; one poll every 20 ms.
struct Poller {
    std::int64_t ms = 0;
    double next(double& t) {
        ms += 20;
        t = detectorTime(ms);
        return (ms / 260) % 2 == 0 ? -10.0 : -60.0;
    }
};

// One evaluation of a tone detector (the answer signal: averaging and end detection).
void BM_SignalDetectorEvaluate(benchmark::State& state) {
    SignalDetector d;
    d.init(answerSignalSettings(benchCycle()));
    Poller p;
    double t = 0;
    for (auto _ : state) {
        const double level = p.next(t);
        benchmark::DoNotOptimize(d.evaluate(level, t));
    }
}
BENCHMARK(BM_SignalDetectorEvaluate);

// One evaluation of the cadence detector over a sliding window of irregular bursts.
void BM_CadenceDetectorEvaluate(benchmark::State& state) {
    CadenceDetector d;
    d.init(cadenceSettings(benchCycle(), -20));
    Poller p;
    double t = 0;
    for (auto _ : state) {
        const double level = p.next(t);
        benchmark::DoNotOptimize(d.evaluate(level, t));
    }
}
BENCHMARK(BM_CadenceDetectorEvaluate);

// The decision table alone.
void BM_EvaluatePhase(benchmark::State& state) {
    DetectorOutputs out;
    out.cadence = CadenceResult::Busy;
    out.cadenceOldestEnd = 105;
    out.cadenceAveragePeriod = 0.5;
    PhaseContext context;
    context.attenuationCheck = true;
    context.aaDelayOffS = 4;
    context.generationStartS = 100;
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluatePhase(DetectPhase::ClearBack, out, context));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EvaluatePhase);

// What the port does per poll in the ringback phase: two detectors and the decision.
void BM_CallProgressPoll(benchmark::State& state) {
    const CycleRecord cycle = benchCycle();
    const PhaseContext context = phaseContext(cycle, 0);
    CallProgress progress;
    progress.startRingback(cycle);
    Poller p;
    double t = 0;
    for (auto _ : state) {
        const double level = p.next(t);
        const PhaseDecision d = progress.poll(level, t, context);
        if (d.action != PhaseAction::KeepPolling) {
            progress.startRingback(cycle);
        }
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_CallProgressPoll);

}  // namespace

BENCHMARK_MAIN();
