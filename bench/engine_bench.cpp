// The port engine running a 1000-call cycle against the in-process simulated network on the
// manual clock: what one test call and one poll exchange cost in CPU time, without the
// waiting a real modem imposes.
#include "core/clocks.h"
#include "engine/port/port_engine.h"
#include "engine/registry/port_registry.h"
#include "engine/view/port_view.h"
#include "forwarding_port.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "scenario/tel_number.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "support/plain_number.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"

#include <benchmark/benchmark.h>
#include <ctime>

namespace {

using namespace zev7;

constexpr int kCalls = 1000;
constexpr int kCaller = 1;

// Counts the poll exchanges: the repeat command "A/" and the level query "AT%V".
class CountingPort : public ForwardingPort {
public:
    CountingPort(std::unique_ptr<CommPort> inner, std::int64_t& polls)
        : ForwardingPort(std::move(inner)), polls_(polls) {}
    std::int64_t write(const QByteArray& data) override {
        if (data == "/" || data == "T%V\r") {
            ++polls_;
        }
        return ForwardingPort::write(data);
    }

private:
    std::int64_t& polls_;
};

void BM_ThousandCallCycle(benchmark::State& state) {
    const test::TempHome home(test::TempHome::WithFolders);
    double cpuSeconds = 0.0;
    std::int64_t polls = 0;
    std::int64_t calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ManualClock clock;
        std::unique_ptr<SimNetwork> network = buildNetwork(SimConfig::demo(), clock);
        RecordingMessages messages;
        PortView view;
        PortRegistry registry;
        ScenarHeader h = templateHeader(toOleDate(clock.now()));
        h.outNumber = test::plainNumber("1111111");
        CycleRecord c = templateCycle();
        c.inNumber = test::plainNumber("2222222");
        c.minAttempts = kCalls;
        c.maxAttempts = kCalls;
        c.startUntil = 30.0;  // a month: the cycle never runs out of its window
        c.state = static_cast<std::int32_t>(CycleState::Waiting);
        writeScenarioFile(workingCopyPath(kCaller), h, {&c, 1}, messages);
        PortServices services{clock, messages, view, registry, {}, {}};
        services.makePort = [&](int port) -> std::unique_ptr<CommPort> {
            return std::make_unique<CountingPort>(std::make_unique<SimLinkPort>(*network, port),
                                                  polls);
        };
        PortEngine engine(kCaller, services);
        state.ResumeTiming();

        const std::clock_t start = std::clock();
        if (engine.load() == ScenarioLoad::Loaded) {
            engine.open();
        }
        engine.Execute();
        cpuSeconds += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        calls += engine.statistics().calls();
        if (engine.statistics().calls() != kCalls) {
            state.SkipWithError("the cycle did not make its calls");
        }
    }
    state.counters["calls"] = static_cast<double>(calls);
    state.counters["polls"] = static_cast<double>(polls);
    state.counters["cpu_us_per_call"] = calls > 0 ? cpuSeconds * 1e6 / calls : 0.0;
    state.counters["cpu_us_per_poll"] = polls > 0 ? cpuSeconds * 1e6 / polls : 0.0;
}
BENCHMARK(BM_ThousandCallCycle)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
