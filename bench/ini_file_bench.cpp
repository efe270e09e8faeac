// "ZEV7.ini" read at start-up and written back at exit, at the size a faulty tool once left on a
// user's machine: 100 000 sections of a window's placement each.
#include "core/ini_file.h"

#include <benchmark/benchmark.h>
#include <QTemporaryDir>

namespace {

QByteArray bigIniText(int sections) {
    QString text;
    for (int i = 0; i < sections; ++i) {
        text += QStringLiteral("[Порт:%1]\nLeft=%2\nTop=%3\nWidth=640\nHeight=480\n\n")
                    .arg(i)
                    .arg(i % 1000)
                    .arg(i % 700);
    }
    return text.toUtf8();
}

void BM_IniRead(benchmark::State& state) {
    const QByteArray text = bigIniText(static_cast<int>(state.range(0)));
    zev7::IniFile ini(QStringLiteral("ZEV7.ini"));
    for (auto _ : state) {
        ini.parse(text);
        benchmark::DoNotOptimize(ini.readInt(QStringLiteral("порт:7"), QStringLiteral("left")));
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_IniRead)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_IniWrite(benchmark::State& state) {
    QTemporaryDir dir;
    zev7::IniFile ini(dir.filePath(QStringLiteral("ZEV7.ini")));
    ini.parse(bigIniText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        ini.writeInt(QStringLiteral("ВЕРСА-ТЛ"), QStringLiteral("FormPort1"), 1);
        benchmark::DoNotOptimize(ini.save());
    }
}
BENCHMARK(BM_IniWrite)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
