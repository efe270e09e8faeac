// The cost of the program's level poll through the in-process link to a simulated modem:
// "A/" and its 9-byte reply, and the full "AT%V" exchange, with the line off-hook on dial tone.
#include "core/clocks.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"

#include <benchmark/benchmark.h>

namespace zev7 {
namespace {

struct PollBench {
    PollBench() : network(buildNetwork(SimConfig::demo(), clock)), port(*network, 1) {
        port.open(LineSettings::measuring());
        exchange("ATH1%T12", 11);
    }

    QByteArray exchange(const QByteArray& command, int length) {
        port.purge();
        port.write("A");
        QByteArray reply = port.read(1, 1000);
        port.write(command.mid(1) + '\r');
        return reply + port.read(length - 1, 1000);
    }

    ManualClock clock;
    std::unique_ptr<SimNetwork> network;
    SimLinkPort port;
};

void BM_RepeatPoll(benchmark::State& state) {
    PollBench b;
    b.exchange("AT%V", 12);
    for (auto _ : state) {
        b.port.purge();
        b.port.write("A");
        b.port.read(1, 1000);
        b.port.write("/");
        benchmark::DoNotOptimize(b.port.read(8, 1000));
    }
}
BENCHMARK(BM_RepeatPoll);

void BM_LevelQuery(benchmark::State& state) {
    PollBench b;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.exchange("AT%V", 12));
    }
}
BENCHMARK(BM_LevelQuery);

}  // namespace
}  // namespace zev7

BENCHMARK_MAIN();
