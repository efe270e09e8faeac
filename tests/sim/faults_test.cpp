// Every loss outcome the network can be made to produce, as the calling modem's line shows
// it, and the seed that makes a run with random faults repeatable.
#include "sim_test_support.h"

#include "teliq/modem_registers.h"

namespace zev7 {
namespace {

using simtest::exchange;
using simtest::kCaller;
using simtest::kStation;
using simtest::SimBench;

constexpr int kSampleMs = 5;

QByteArray dial(CommPort& port, const QByteArray& command) {
    return exchange(port, command, static_cast<int>(command.size()) + 8, 20000);
}

// The lengths (ms) of the on and off stretches of what the caller's filter hears over the next
// `windowMs`, the first and last stretch cut by the window.
std::vector<int> cadence(SimBench& b, BandFilter filter, int windowMs) {
    std::vector<int> runs;
    bool state = b.network->heardLevel(kCaller, filter).has_value();
    int length = 0;
    for (int t = 0; t < windowMs; t += kSampleMs) {
        b.clock.advance(kSampleMs);
        const bool now = b.network->heardLevel(kCaller, filter).has_value();
        if (now != state) {
            runs.push_back(length);
            length = 0;
            state = now;
        }
        length += kSampleMs;
    }
    runs.push_back(length);
    return runs;
}

// True when the inner stretches are all `ms` long (within a sample).
bool isCadence(const std::vector<int>& runs, int ms) {
    if (runs.size() < 4) {
        return false;
    }
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
        if (std::abs(runs[i] - ms) > kSampleMs) {
            return false;
        }
    }
    return true;
}

bool silentFor(SimBench& b, BandFilter filter, int windowMs) {
    const auto runs = cadence(b, filter, windowMs);
    return runs.size() == 1 && !b.network->heardLevel(kCaller, filter);
}

bool steadyFor(SimBench& b, BandFilter filter, int windowMs) {
    const auto runs = cadence(b, filter, windowMs);
    return runs.size() == 1 && b.network->heardLevel(kCaller, filter);
}

struct RingTimes {
    explicit RingTimes(SimNetwork& n) {
        n.setTrafficLog([this](const TrafficEntry& e) {
            if (e.port == kStation && !e.toModem && e.bytes == "2\r") {
                rings.push_back(usToSeconds(e.timeUs));
            }
        });
    }
    std::vector<double> rings;
};

// Off-hook, the first stage "P8" (reaching nobody), the station's number.
void callToStation(SimBench& b) {
    exchange(b.port(kCaller), "ATH1%T12", 11);
    dial(b.port(kCaller), "ATDP8;%T12%V");
    dial(b.port(kCaller), "ATD2222222;%T12%V");
}

TEST(Faults, DialToneOutcomes) {
    {
        SimBench b;
        b.network->setFaultProbability(SimFault::NoDialTone, 1.0);
        exchange(b.port(kCaller), "ATH1%T12", 11);
        EXPECT_TRUE(silentFor(b, BandFilter::T12, 20000));
    }
    {
        SimBench b;
        b.network->setFaultProbability(SimFault::BusyDialTone, 1.0);
        exchange(b.port(kCaller), "ATH1%T12", 11);
        EXPECT_TRUE(isCadence(cadence(b, BandFilter::T12, 5000), 350));
    }
    {
        SimBench b;
        b.network->setFaultProbability(SimFault::CongestionDialTone, 1.0);
        exchange(b.port(kCaller), "ATH1%T12", 11);
        EXPECT_TRUE(isCadence(cadence(b, BandFilter::T12, 5000), 175));
    }
    {
        // Without a fault: steady dial tone.
        SimBench b;
        exchange(b.port(kCaller), "ATH1%T12", 11);
        EXPECT_TRUE(steadyFor(b, BandFilter::T12, 5000));
    }
}

TEST(Faults, SecondDialToneOutcomes) {
    const std::pair<SimFault, int> cases[] = {
        {SimFault::NoSecondDialTone, 0},
        {SimFault::BusySecondDialTone, 350},
        {SimFault::CongestionSecondDialTone, 175},
    };
    for (const auto& [fault, period] : cases) {
        SCOPED_TRACE(faultName(fault).toStdString());
        SimBench b;
        b.network->setFaultProbability(fault, 1.0);
        exchange(b.port(kCaller), "ATH1%T12", 11);
        EXPECT_TRUE(steadyFor(b, BandFilter::T12, 2000));  // the first dial tone is fine
        dial(b.port(kCaller), "ATDP8;%T12%V");
        if (period == 0) {
            EXPECT_TRUE(silentFor(b, BandFilter::T12, 15000));
        } else {
            EXPECT_TRUE(isCadence(cadence(b, BandFilter::T12, 5000), period));
        }
    }
}

TEST(Faults, RingbackOutcomes) {
    const std::pair<SimFault, int> cases[] = {
        {SimFault::NoRingback, 0},
        {SimFault::BusyRingback, 350},
        {SimFault::CongestionRingback, 175},
    };
    for (const auto& [fault, period] : cases) {
        SCOPED_TRACE(faultName(fault).toStdString());
        SimBench b;
        b.network->setFaultProbability(fault, 1.0);
        callToStation(b);
        if (period == 0) {
            EXPECT_TRUE(silentFor(b, BandFilter::T12, 15000));
        } else {
            EXPECT_TRUE(isCadence(cadence(b, BandFilter::T12, 5000), period));
        }
        // The far end never rang.
        EXPECT_EQ(b.network->ringCount(kStation), 0);
        EXPECT_FALSE(b.network->isOffHook(kStation));
    }
}

TEST(Faults, NoAnswerSignal) {
    SimBench b;
    RingTimes log(*b.network);
    b.network->setFaultProbability(SimFault::NoAnswerSignal, 1.0);
    callToStation(b);
    b.at(log.rings.at(0) + 5.1);
    EXPECT_TRUE(b.network->isOffHook(kStation));       // answered ...
    EXPECT_TRUE(silentFor(b, BandFilter::T16, 9000));  // ... but no signal
    b.at(log.rings.at(0) + 14.6);
    EXPECT_FALSE(b.network->isOffHook(kStation));
    EXPECT_TRUE(isCadence(cadence(b, BandFilter::T12, 3000), 350));  // clear-back after all
}

TEST(Faults, AnswerSignalTooLong) {
    SimBench b;
    RingTimes log(*b.network);
    b.network->setFaultProbability(SimFault::LongAnswerSignal, 1.0);
    callToStation(b);
    b.at(log.rings.at(0) + 7.6);
    EXPECT_TRUE(steadyFor(b, BandFilter::T16, 60000));
    EXPECT_TRUE(b.network->isOffHook(kStation));
    exchange(b.port(kCaller), "ATH0", 7);
    EXPECT_FALSE(b.network->isOffHook(kStation));
}

TEST(Faults, NoClearBack) {
    SimBench b;
    RingTimes log(*b.network);
    b.network->setFaultProbability(SimFault::NoClearBack, 1.0);
    callToStation(b);
    b.at(log.rings.at(0) + 8.0);
    EXPECT_TRUE(b.network->heardLevel(kCaller, BandFilter::T16));
    b.at(log.rings.at(0) + 14.6);
    EXPECT_FALSE(b.network->isOffHook(kStation));
    EXPECT_TRUE(silentFor(b, BandFilter::T12, 20000));
}

TEST(Faults, StationDoesNotHearTheCallersTone) {
    SimConfig config = SimConfig::demo();
    AnswerSettingsSpec listening;
    listening.toneBand = 2;
    applyAnswerSettings(config.modems[1].profile, listening);
    for (bool deaf : {false, true}) {
        SCOPED_TRACE(deaf);
        SimBench b(config);
        RingTimes log(*b.network);
        if (deaf) {
            b.network->injectFault(SimFault::ToneNotHeard);
        }
        callToStation(b);
        const double signalEnd = log.rings.at(0) + 5.0 + 2.5 + 3.0;
        b.at(signalEnd + 0.3);
        SimLinkPort& caller = b.port(kCaller);
        for (const QByteArray& c :
             {QByteArray("AT%T3S31=22%V"), QByteArray("ATS31=0%V"), QByteArray("ATS31=1%V"),
              QByteArray("AT%T6"), QByteArray("AT%T3S31=24%V"), QByteArray("ATS31=6%V"),
              QByteArray("ATS31=205%V")}) {
            exchange(caller, c, c.endsWith("%V") ? c.size() + 8 : c.size() + 3);
        }
        EXPECT_EQ(b.network->isOffHook(kStation), deaf);
        b.at(signalEnd + 3.9);
        EXPECT_EQ(b.network->isOffHook(kStation), deaf);
        b.at(signalEnd + 4.1);
        EXPECT_FALSE(b.network->isOffHook(kStation));
    }
}

TEST(Faults, InjectedFaultHitsOneCallOnly) {
    SimBench b;
    b.network->injectFault(SimFault::NoDialTone);
    exchange(b.port(kCaller), "ATH1%T12", 11);
    EXPECT_TRUE(silentFor(b, BandFilter::T12, 3000));
    exchange(b.port(kCaller), "ATH0", 7);
    exchange(b.port(kCaller), "ATH1%T12", 11);
    EXPECT_TRUE(steadyFor(b, BandFilter::T12, 3000));
}

// What the caller hears at fixed moments of a series of calls with random faults.
std::string runSeries(std::uint64_t seed) {
    SimConfig config = SimConfig::demo();
    config.network.seed = seed;
    for (SimFault f : kAllFaults) {
        config.network.faults[static_cast<std::size_t>(f)] = 0.08;
    }
    SimBench b(config);
    std::string signature;
    auto sample = [&](BandFilter f) { signature += b.network->heardLevel(kCaller, f) ? '1' : '0'; };
    for (int call = 0; call < 25; ++call) {
        exchange(b.port(kCaller), "ATH1%T12", 11);
        for (int i = 0; i < 4; ++i) {
            b.clock.advance(230);
            sample(BandFilter::T12);
        }
        dial(b.port(kCaller), "ATDP8;%T12%V");
        b.clock.advance(230);
        sample(BandFilter::T12);
        dial(b.port(kCaller), "ATD2222222;%T12%V");
        for (int i = 0; i < 40; ++i) {
            b.clock.advance(410);
            sample(BandFilter::T12);
            sample(BandFilter::T16);
        }
        exchange(b.port(kCaller), "ATH0", 7);
        signature += '|';
    }
    return signature;
}

TEST(Faults, SeedMakesRunsRepeatable) {
    const std::string first = runSeries(7);
    EXPECT_EQ(runSeries(7), first);
    EXPECT_NE(runSeries(8), first);
}

TEST(FaultNames, RoundTrip) {
    for (SimFault f : kAllFaults) {
        EXPECT_EQ(faultFromName(faultName(f)), f);
    }
    EXPECT_FALSE(faultFromName(QStringLiteral("busy")));
}

}  // namespace
}  // namespace zev7
