#include "core/text_codec.h"

#include <benchmark/benchmark.h>

namespace {

// Every protocol line and report line passes through the codec.
void BM_ProtocolLineToCp1251(benchmark::State& state) {
    const QString line = QString::fromUtf8(
        "08.12.26 10:15:42 Цикл 1 -/-/-/-/-/P2222222/- : вызов 17 успешно, затухание 6.0 дБ");
    for (auto _ : state) {
        benchmark::DoNotOptimize(zev7::toCp1251(line));
    }
}
BENCHMARK(BM_ProtocolLineToCp1251);

}  // namespace

BENCHMARK_MAIN();
