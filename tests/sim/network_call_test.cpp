// Test calls through the simulated network, followed as the program follows them: the levels
// the calling modem's filters hear, the dial replies, the rings at the station.
#include "sim_test_support.h"

#include "scenario/tel_number.h"
#include "teliq/modem_registers.h"

namespace zev7 {
namespace {

using simtest::decodedT12;
using simtest::exchange;
using simtest::kCaller;
using simtest::kStation;
using simtest::SimBench;

constexpr double kLevelTolerance = 1e-9;

QByteArray dial(CommPort& port, const QByteArray& command, int timeoutMs = 20000) {
    return exchange(port, command, static_cast<int>(command.size()) + 8, timeoutMs);
}

void dspWrite(CommPort& port, int reg, int value) {
    for (const QByteArray& c : {"AT%T3S31=" + QByteArray::number(reg) + "%V",
                                "ATS31=" + QByteArray::number(value >> 8) + "%V",
                                "ATS31=" + QByteArray::number(value & 0xFF) + "%V"}) {
        ASSERT_EQ(exchange(port, c, static_cast<int>(c.size()) + 8).size(), c.size() + 8);
    }
}

// The calling modem answers the station with a tone, as the program's attenuation control does.
void generateTone(CommPort& port, double hz, int transmitValue) {
    dspWrite(port, 22, 1);
    exchange(port, "AT%T6", 8);
    dspWrite(port, 24, frequencyCode(hz));
    exchange(port, "AT%L" + QByteArray::number(transmitValue), 9);
}

// Collects the moments the station reported rings.
struct RingLog {
    explicit RingLog(SimNetwork& n) {
        n.setTrafficLog([this](const TrafficEntry& e) {
            if (e.port == kStation && !e.toModem && e.bytes == "2\r") {
                rings.push_back(usToSeconds(e.timeUs));
            }
        });
    }
    std::vector<double> rings;
};

double stationLevelAtCaller(const SimConfig& config) {
    const ModemProfile& p = config.modems[1].profile;
    return transmitLevelExact(p.transmit, 1020.0) - config.network.attenuationDb;
}

TEST(NetworkCall, DialReplyComesWhenDiallingEnds) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    exchange(port, "ATH1%T12", 11);
    const QByteArray command = "ATDP8;%T12%V";
    port.write("A");
    ASSERT_EQ(port.read(1, 1000), QByteArray("A"));
    const double sent = b.seconds();
    port.write(command.mid(1) + '\r');
    // 2 s before the first digit, then the 8 by pulses: 0.75 + 0.8 s.
    const QByteArray early = port.read(command.size() + 7, 3000);
    EXPECT_EQ(early, command.mid(1) + '\r');  // the echo only
    const QByteArray rest = port.read(7, 10000);
    EXPECT_EQ(rest.size(), 7);
    const double took = b.seconds() - sent;
    EXPECT_GE(took, 3.55);
    EXPECT_LT(took, 3.6);
    // Well inside the program's time-out of twice its own estimate.
    EXPECT_LT(took, 2 * DialTime(QString::fromLatin1(command), 15.0, 1.0));
    // The exchange found nobody for "8": the level reply is the second dial tone.
    EXPECT_NEAR(*decodedT12(early + rest), -10.0, 0.2);
}

TEST(NetworkCall, ToneDiallingAndCommasTakeTheirTime) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    exchange(port, "ATH1", 7);
    const double start = b.seconds();
    ASSERT_EQ(exchange(port, "ATDT12,3;", 12, 10000), QByteArray("ATDT12,3;\r0\r"));
    // 2 s, three tone digits of 0.2 s and a comma of S8 = 2 s.
    EXPECT_NEAR(b.seconds() - start, 4.6, 0.05);
}

TEST(NetworkCall, SuccessfulCallTimeline) {
    const SimConfig config = SimConfig::demo();
    SimBench b(config);
    RingLog log(*b.network);
    SimLinkPort& caller = b.port(kCaller);
    SimNetwork& n = *b.network;

    b.at(1.0);
    EXPECT_FALSE(n.heardLevel(kCaller, BandFilter::T12));
    exchange(caller, "ATH1%T12", 11);
    EXPECT_NEAR(*n.heardLevel(kCaller, BandFilter::T12), -10.0, kLevelTolerance);
    EXPECT_FALSE(n.heardLevel(kCaller, BandFilter::T16));
    b.at(4.0);
    EXPECT_NEAR(*n.heardLevel(kCaller, BandFilter::T12), -10.0, kLevelTolerance);

    const QByteArray reply = dial(caller, "ATD2222222;%T12%V");
    ASSERT_EQ(reply.size(), 25);
    ASSERT_EQ(log.rings.size(), 1u);
    const double te = log.rings[0];  // dialling ended: ringback and the first ring
    EXPECT_NEAR(*decodedT12(reply), -10.0, 0.2);
    EXPECT_EQ(n.ringCount(kStation), 1);

    auto level = [&](double s, BandFilter f) {
        b.at(te + s);
        return n.heardLevel(kCaller, f);
    };
    EXPECT_TRUE(level(0.5, BandFilter::T12));   // ringback on
    EXPECT_FALSE(level(1.5, BandFilter::T12));  // ... off for 4 s
    EXPECT_FALSE(level(4.9, BandFilter::T12));
    EXPECT_FALSE(n.isOffHook(kStation));
    // The second ring: the station answers at once and waits 2.5 s before its signal.
    EXPECT_FALSE(level(5.1, BandFilter::T12));
    EXPECT_EQ(log.rings.size(), 2u);
    EXPECT_TRUE(n.isOffHook(kStation));
    EXPECT_FALSE(level(7.4, BandFilter::T16));
    // The answer signal: 1020 Hz heard through the mid band only, station level - attenuation.
    ASSERT_TRUE(level(7.6, BandFilter::T16));
    EXPECT_NEAR(*level(7.6, BandFilter::T16), stationLevelAtCaller(config), kLevelTolerance);
    EXPECT_FALSE(level(7.6, BandFilter::T12));
    EXPECT_FALSE(level(7.6, BandFilter::T15));
    EXPECT_TRUE(level(10.4, BandFilter::T16));
    EXPECT_FALSE(level(10.6, BandFilter::T16));  // 3.0 s of signal
    EXPECT_FALSE(level(14.4, BandFilter::T12));  // 4.0 s before the release
    EXPECT_TRUE(n.isOffHook(kStation));
    // Released: clear-back, the busy cadence 0.35 s / 0.35 s.
    EXPECT_TRUE(level(14.6, BandFilter::T12));
    EXPECT_FALSE(n.isOffHook(kStation));
    EXPECT_FALSE(level(14.9, BandFilter::T12));
    EXPECT_TRUE(level(15.3, BandFilter::T12));
    EXPECT_NEAR(*level(15.3, BandFilter::T12), -10.0, kLevelTolerance);
    EXPECT_EQ(log.rings.size(), 2u);

    // The program hangs up; the next call finds the station free again.
    exchange(caller, "ATH0", 7);
    EXPECT_FALSE(n.heardLevel(kCaller, BandFilter::T12));
    exchange(caller, "ATH1", 7);
    dial(caller, "ATD2222222;%T12%V");
    EXPECT_EQ(log.rings.size(), 3u);
}

TEST(NetworkCall, SecondDialToneForEveryStageThatReachesNobody) {
    SimBench b;
    SimLinkPort& caller = b.port(kCaller);
    SimNetwork& n = *b.network;
    exchange(caller, "ATH1%T12", 11);
    const QByteArray first = dial(caller, "ATDP8;%T12%V");
    EXPECT_NEAR(*decodedT12(first), -10.0, 0.2);
    b.clock.advance(3000);
    EXPECT_NEAR(*n.heardLevel(kCaller, BandFilter::T12), -10.0, kLevelTolerance);
    // "8" then "2222222": the digits so far end with the station's number.
    const QByteArray second = dial(caller, "ATDP2222222;%T12%V");
    EXPECT_EQ(n.ringCount(kStation), 1);
    EXPECT_NEAR(*decodedT12(second), -10.0, 0.2);  // the first ringback burst
    b.clock.advance(1500);
    EXPECT_FALSE(n.heardLevel(kCaller, BandFilter::T12));
}

TEST(NetworkCall, DigitsReachingNobodyEndInBusyAfterTheDigitWait) {
    SimBench b;
    SimLinkPort& caller = b.port(kCaller);
    SimNetwork& n = *b.network;
    exchange(caller, "ATH1", 7);
    dial(caller, "ATD555;%T12%V");
    b.clock.advance(19000);
    EXPECT_TRUE(n.heardLevel(kCaller, BandFilter::T12));
    b.clock.advance(1000 + 400);  // the busy tone started: its first pause
    EXPECT_FALSE(n.heardLevel(kCaller, BandFilter::T12));
    b.clock.advance(350);
    EXPECT_TRUE(n.heardLevel(kCaller, BandFilter::T12));
}

TEST(NetworkCall, RingReportsAtAStationThatDoesNotAnswer) {
    SimConfig config = SimConfig::demo();
    config.modems[1].profile.s[kRegRings] = 0;
    SimBench b(config);
    RingLog log(*b.network);
    SimLinkPort& station = b.port(kStation);
    exchange(b.port(kCaller), "ATH1", 7);
    dial(b.port(kCaller), "ATD2222222;%T12%V");
    const double te = log.rings.at(0);
    b.at(te + 10.5);
    EXPECT_EQ(station.read(6, 0), QByteArray("2\r2\r2\r"));
    EXPECT_EQ(b.network->ringCount(kStation), 3);
    EXPECT_EQ(simtest::answerLine(exchange(station, "ATS1?", 11)), QByteArray("003"));
    // The ringback goes on as long as it rings.
    b.at(te + 15.5);
    EXPECT_TRUE(b.network->heardLevel(kCaller, BandFilter::T12));
    // The caller gives up: the ringing stops.
    exchange(b.port(kCaller), "ATH0", 7);
    b.at(te + 30.5);
    EXPECT_EQ(log.rings.size(), 4u);
    EXPECT_EQ(b.network->ringCount(kStation), 0);
    EXPECT_FALSE(b.network->isOffHook(kStation));
}

TEST(NetworkCall, AStationWithTheHandsetOffIsBusy) {
    SimBench b;
    exchange(b.port(kStation), "ATH1", 7);
    exchange(b.port(kCaller), "ATH1", 7);
    dial(b.port(kCaller), "ATD2222222;%T12%V");
    SimNetwork& n = *b.network;
    EXPECT_TRUE(n.heardLevel(kCaller, BandFilter::T12));
    b.clock.advance(400);
    EXPECT_FALSE(n.heardLevel(kCaller, BandFilter::T12));
    b.clock.advance(350);
    EXPECT_TRUE(n.heardLevel(kCaller, BandFilter::T12));
    EXPECT_EQ(n.ringCount(kStation), 0);
}

TEST(NetworkCall, ManualAnswerConnectsBothWays) {
    SimConfig config = SimConfig::demo();
    config.modems[1].profile.s[kRegRings] = 0;
    SimBench b(config);
    SimNetwork& n = *b.network;
    exchange(b.port(kCaller), "ATH1", 7);
    exchange(b.port(kCaller), "ATD2222222;", 14, 10000);
    b.port(kStation).purge();
    EXPECT_EQ(exchange(b.port(kStation), "ATA", 6), QByteArray("ATA\r0\r"));
    EXPECT_TRUE(n.isOffHook(kStation));
    // The station's answer-setup is on: its signal follows after the delay.
    b.clock.advance(2600);
    EXPECT_TRUE(n.heardLevel(kCaller, BandFilter::T16));
    // Nothing rings any more: "ATA" again has nothing to take.
    EXPECT_EQ(exchange(b.port(kStation), "ATA", 6), QByteArray("ATA\r3\r"));
    // The station hangs up by itself: the caller gets clear-back.
    exchange(b.port(kStation), "ATH0", 7);
    EXPECT_FALSE(n.isOffHook(kStation));
    EXPECT_TRUE(n.heardLevel(kCaller, BandFilter::T12));
}

SimConfig stationListening(int toneBand) {
    SimConfig c = SimConfig::demo();
    AnswerSettingsSpec spec;
    spec.toneBand = toneBand;
    spec.toneThresholdDbm = -27;
    applyAnswerSettings(c.modems[1].profile, spec);
    return c;
}

// Runs a call to the end of the station's answer signal and returns that moment.
double callUntilSignalEnds(SimBench& b, RingLog& log) {
    exchange(b.port(kCaller), "ATH1%T12", 11);
    dial(b.port(kCaller), "ATD2222222;%T12%V");
    const double signalEnd = log.rings.at(0) + 5.0 + 2.5 + 3.0;
    b.at(signalEnd + 0.2);
    return signalEnd;
}

TEST(NetworkCall, StationHearingTheCallersToneReleasesAtOnce) {
    SimBench b(stationListening(2));
    RingLog log(*b.network);
    SimNetwork& n = *b.network;
    callUntilSignalEnds(b, log);
    ASSERT_TRUE(n.isOffHook(kStation));
    generateTone(b.port(kCaller), 1020.0, 14);
    const ModemProfile p = n.profile(kCaller);
    ASSERT_TRUE(n.sentTone(kCaller));
    EXPECT_DOUBLE_EQ(n.sentTone(kCaller)->hz, 1020.0);
    EXPECT_DOUBLE_EQ(n.sentTone(kCaller)->levelDbm, transmitLevelExact(14, 1020.0));
    EXPECT_EQ(p.transmit, 14);
    // Released as soon as the tone had its frequency: clear-back is already running.
    EXPECT_FALSE(n.isOffHook(kStation));
    exchange(b.port(kCaller), "AT%T5", 8);
    EXPECT_FALSE(n.sentTone(kCaller));
    bool heardClearBack = false;
    for (int i = 0; i < 8; ++i) {
        b.clock.advance(100);
        heardClearBack = heardClearBack || n.heardLevel(kCaller, BandFilter::T12).has_value();
    }
    EXPECT_TRUE(heardClearBack);
}

TEST(NetworkCall, StationIgnoresWeakOrOtherBandTonesAndReleasesAfterItsDelay) {
    for (auto [hz, transmit] : {std::pair{1020.0, 40}, std::pair{425.0, 10}}) {
        SCOPED_TRACE(hz);
        SimBench b(stationListening(2));
        RingLog log(*b.network);
        SimNetwork& n = *b.network;
        const double signalEnd = callUntilSignalEnds(b, log);
        exchange(b.port(kCaller), "AT%L" + QByteArray::number(transmit), 9);
        generateTone(b.port(kCaller), hz, transmit);
        EXPECT_TRUE(n.isOffHook(kStation));
        b.at(signalEnd + 3.9);
        EXPECT_TRUE(n.isOffHook(kStation));
        b.at(signalEnd + 4.1);
        EXPECT_FALSE(n.isOffHook(kStation));
    }
}

TEST(NetworkCall, StationWithoutToneCheckDoesNotListen) {
    SimBench b(stationListening(0));
    RingLog log(*b.network);
    const double signalEnd = callUntilSignalEnds(b, log);
    generateTone(b.port(kCaller), 1020.0, 14);
    EXPECT_TRUE(b.network->isOffHook(kStation));
    b.at(signalEnd + 4.1);
    EXPECT_FALSE(b.network->isOffHook(kStation));
}

TEST(NetworkCall, ToneAlreadyOnWhenTheStationStartsListeningIsHeard) {
    SimBench b(stationListening(2));
    RingLog log(*b.network);
    exchange(b.port(kCaller), "ATH1%T12", 11);
    dial(b.port(kCaller), "ATD2222222;%T12%V");
    const double answered = log.rings.at(0) + 5.0;
    b.at(answered + 1.0);
    generateTone(b.port(kCaller), 1020.0, 14);  // during the station's delay-on
    b.at(answered + 2.5 + 3.0 - 0.1);
    EXPECT_TRUE(b.network->isOffHook(kStation));  // it does not listen while it sends
    b.at(answered + 2.5 + 3.0 + 0.01);
    EXPECT_FALSE(b.network->isOffHook(kStation));
}

TEST(NetworkCall, CallerHangingUpReleasesTheStation) {
    SimBench b;
    RingLog log(*b.network);
    exchange(b.port(kCaller), "ATH1", 7);
    dial(b.port(kCaller), "ATD2222222;%T12%V");
    b.at(log.rings.at(0) + 8.0);
    ASSERT_TRUE(b.network->isOffHook(kStation));
    ASSERT_TRUE(b.network->sentTone(kStation));
    exchange(b.port(kCaller), "ATH0", 7);
    EXPECT_FALSE(b.network->isOffHook(kStation));
    EXPECT_FALSE(b.network->sentTone(kStation));
}

TEST(NetworkCall, AnyByteStopsTheDialling) {
    SimBench b;
    SimLinkPort& caller = b.port(kCaller);
    exchange(caller, "ATH1", 7);
    caller.write("ATD2222222;%T12%V\r");
    EXPECT_EQ(caller.read(18, 1000).size(), 18);
    caller.write("A");
    EXPECT_EQ(caller.read(2, 1000), QByteArray("3\r"));
    EXPECT_FALSE(b.network->isOffHook(kCaller));
    b.clock.advance(10000);
    EXPECT_EQ(b.network->ringCount(kStation), 0);
    EXPECT_EQ(caller.bytesPending(), 0);
}

TEST(SimNetworkBuild, ModemsNeedAFreePortInRange) {
    ManualClock clock;
    SimNetwork network(clock);
    QString error;
    EXPECT_TRUE(network.addModem({.port = 3, .number = "333", .model = SimModel::Plain3310}));
    EXPECT_FALSE(network.addModem({.port = 3}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(network.addModem({.port = 0}, &error));
    EXPECT_FALSE(network.addModem({.port = 65}, &error));
    EXPECT_EQ(network.ports(), QList<int>{3});
    // Questions about a port without a modem are answered harmlessly.
    EXPECT_FALSE(network.heardTone(9));
    EXPECT_FALSE(network.ctsOn(9));
    EXPECT_EQ(network.sendToModem(9, "AT\r"), network.nowUs());
    EXPECT_TRUE(network.takeFromModem(9, 10).isEmpty());
}

}  // namespace
}  // namespace zev7
