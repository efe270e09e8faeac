// The in-process serial link: bytes take their time on the clock, the port is exclusive, and
// a test can unplug the modem, silence it or spoil its replies.
#include "sim_test_support.h"

namespace zev7 {
namespace {

using simtest::exchange;
using simtest::kCaller;
using simtest::kTimeoutMs;
using simtest::SimBench;

TEST(SimLinkPort, BytesTakeTheirTimeOnTheLine) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    port.write("A");
    // Out and back: two byte times (about 2.3 ms).
    EXPECT_EQ(port.read(1, 1000), QByteArray("A"));
    EXPECT_EQ(b.clock.tickMs(), 3);
    port.write("TI3\r");
    // 4 bytes out, echoed as they come, then the 16 bytes of the answer: 25 ms in all; only
    // part of it within 10 ms.
    const QByteArray part = port.read(20, 10);
    EXPECT_GT(part.size(), 0);
    EXPECT_LT(part.size(), 20);
    EXPECT_EQ(b.clock.tickMs(), 13);
    const QByteArray rest = port.read(20 - part.size(), 1000);
    EXPECT_EQ(part + rest, QByteArray("TI3\rTeliq LX-3310\r0\r"));
    EXPECT_EQ(b.clock.tickMs(), 28);
}

// On a clock that runs by itself the reader sleeps on the network until its bytes are due.
TEST(SimLinkPort, ReaderOnARunningClockWakesWhenTheReplyIsDue) {
    RealClock clock;
    auto network = buildNetwork(SimConfig::demo(), clock);
    SimLinkPort port(*network, kCaller);
    ASSERT_TRUE(port.open(LineSettings::measuring()));
    const std::int64_t start = clock.tickUs();
    port.write("ATS0?\r");
    EXPECT_EQ(port.read(12, kTimeoutMs), QByteArray("ATS0?\r000\r0\r"));
    // The "A" out, then the twelve bytes of the echo and the answer back.
    EXPECT_GE(clock.tickUs() - start, 13 * kByteUs);
    EXPECT_EQ(port.read(1, 20), QByteArray());
    EXPECT_GE(clock.tickUs() - start, 13 * kByteUs + 20 * kUsPerMs);
}

TEST(SimLinkPort, ReadReturnsWhatCameWithinTheTimeout) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    EXPECT_EQ(port.read(5, 250), QByteArray());
    EXPECT_EQ(b.clock.tickMs(), 250);
    EXPECT_EQ(port.read(5, 0), QByteArray());
    port.write("ATS0?\r");
    b.clock.advance(100);
    EXPECT_EQ(port.bytesPending(), 12);
    EXPECT_EQ(port.read(4, 0), QByteArray("ATS0"));
    EXPECT_EQ(port.bytesPending(), 8);
}

TEST(SimLinkPort, PurgeDropsWhatHasArrivedAndWhatWasNotSent) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    port.write("ATS0?\r");
    b.clock.advance(100);
    ASSERT_TRUE(port.purge());
    EXPECT_EQ(port.bytesPending(), 0);
    // A command still waiting to go out is dropped too, but for the byte already on the
    // wire: only its echo comes back.
    port.write("ATS0?\r");
    port.purge();
    EXPECT_EQ(port.read(12, 500), QByteArray("A"));
}

TEST(SimLinkPort, FlushWaitsUntilEverythingHasGone) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    port.write(QByteArray(96, ' '));
    ASSERT_TRUE(port.flush());
    EXPECT_EQ(b.clock.tickMs(), 111);  // 96 bytes of 1.146 ms
    ASSERT_TRUE(port.flush());
    EXPECT_EQ(b.clock.tickMs(), 111);
}

TEST(SimLinkPort, OnlyOneUserAtATime) {
    SimBench b;
    SimLinkPort second(*b.network, kCaller);
    EXPECT_FALSE(second.open(LineSettings::measuring()));
    EXPECT_EQ(second.openFailure(), CommPort::OpenFailure::Access);
    EXPECT_FALSE(second.errorString().isEmpty());
    EXPECT_EQ(second.modemStatus(), CommPort::ModemStatus::Unavailable);
    EXPECT_EQ(second.write("A"), -1);

    b.port(kCaller).close();
    EXPECT_TRUE(second.open(LineSettings::answering()));
    EXPECT_EQ(second.settings().flow, LineSettings::Flow::RtsCts);
    EXPECT_EQ(exchange(second, "ATS8?", 12).size(), 12);

    SimLinkPort nowhere(*b.network, 9);
    EXPECT_FALSE(nowhere.open(LineSettings::measuring()));
}

TEST(SimLinkPort, UnpluggedModemLosesCtsAndAnswersNothing) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    EXPECT_EQ(port.modemStatus(), CommPort::ModemStatus::CtsOn);
    b.network->setUnplugged(kCaller, true);
    EXPECT_EQ(port.modemStatus(), CommPort::ModemStatus::CtsOff);
    port.write("A");
    EXPECT_EQ(port.read(1, 1000), QByteArray());
    b.network->setUnplugged(kCaller, false);
    EXPECT_EQ(port.modemStatus(), CommPort::ModemStatus::CtsOn);
    EXPECT_EQ(exchange(port, "AT&FV0", 9), QByteArray("AT&FV0\r0\r"));

    // With CTS flow control, as the answering station runs its port, nothing goes out.
    SimLinkPort& station = b.port(simtest::kStation);
    station.close();
    ASSERT_TRUE(station.open(LineSettings::answering()));
    b.network->setUnplugged(simtest::kStation, true);
    EXPECT_EQ(station.write("ATS0?\r"), 0);
    EXPECT_FALSE(station.errorString().isEmpty());
    b.network->setUnplugged(simtest::kStation, false);
    EXPECT_EQ(station.write("ATS0?\r"), 6);
}

TEST(SimLinkPort, SilentModemKeepsCtsButNeverAnswers) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    b.network->setSilent(kCaller, true);
    EXPECT_EQ(port.modemStatus(), CommPort::ModemStatus::CtsOn);
    EXPECT_EQ(exchange(port, "ATS0?", 12), QByteArray());
    b.network->setSilent(kCaller, false);
    EXPECT_EQ(exchange(port, "ATS0?", 12).size(), 12);
}

TEST(SimLinkPort, ReplyFilterSpoilsReplies) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    b.network->setReplyFilter(kCaller, [](const QByteArray& r) { return r.chopped(1); });
    // The answer line is complete, the reply one byte short.
    EXPECT_EQ(exchange(port, "ATI3", 21), QByteArray("ATI3\rTeliq LX-3310\r0"));
}

TEST(SimLinkPort, RingReportsWaitForTheReader) {
    SimConfig config = SimConfig::demo();
    config.modems[1].profile.s[kRegRings] = 0;
    SimBench b(config);
    exchange(b.port(kCaller), "ATH1", 7);
    exchange(b.port(kCaller), "ATD2222222;", 14, 10000);
    // While nobody has the station's port open its reports are lost; then they come again.
    SimLinkPort& station = b.port(simtest::kStation);
    station.close();
    b.clock.advance(5000);
    EXPECT_TRUE(station.open(LineSettings::answering()));
    EXPECT_EQ(station.bytesPending(), 0);
    EXPECT_EQ(station.read(2, 6000), QByteArray("2\r"));
}

// The terminal host sleeps until the next byte or event it knows of. Every question it asks the
// network moves the network on to now, so a modem may begin to send while the host asks for
// something else; that must still be reported, or the reply waits for the next poll.
TEST(SimNetworkOutput, BytesSentWhileAnsweringAnotherQuestionAreReported) {
    ManualClock clock;
    auto network = buildNetwork(SimConfig::demo(), clock);
    ASSERT_TRUE(network->attach(kCaller));
    network->takeOutputChanges();
    network->sendToModem(kCaller, "A");
    EXPECT_FALSE(network->hasOutputChanges());
    clock.advance(2);
    // The "A" arrives while the host asks when the next event is; the modem echoes it.
    network->nextEventUs();
    EXPECT_TRUE(network->hasOutputChanges());
    EXPECT_EQ(network->takeOutputChanges(), std::vector<int>{kCaller});
    EXPECT_FALSE(network->hasOutputChanges());
    clock.advance(2);  // the echo's own byte time back
    EXPECT_EQ(network->takeFromModem(kCaller, 16), QByteArray("A"));
}

}  // namespace
}  // namespace zev7
