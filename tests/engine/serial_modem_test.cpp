// The channel against the simulated Teliq modems: identification of the accepted LX model, of
// a plain 3310 and of a wrong model, level samples and a dial command on the in-process link
// (manual clock), and one modem reached through a real pseudo-terminal with the Qt port.
#include "channel_test_support.h"
#include "support/recording_messages.h"

#include "core/clocks.h"
#include "core/program_dir.h"
#include "engine/modem/modem_channel.h"
#include "engine/serial/serial_comm_port.h"
#include "sim/pty_host.h"
#include "sim/sim_link_port.h"
#include "sim/sim_network.h"
#include "teliq/level_decoder.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <thread>

namespace zev7 {
namespace {

using test::RecordingHost;

constexpr int kLxPort = 1;
constexpr int kWrongPort = 2;
constexpr int kPlainPort = 3;
constexpr int kStationPort = 4;

// The start-up sequence and the identification as the port thread runs them.
struct Identity {
    bool echoSetUp = false;
    int ringCount = -1;
    bool lx = false;
    int modelType = -1;
    int gain = 0;
};

Identity identify(ModemChannel& ch) {
    Identity id;
    ch.CommClr(false);
    QByteArray reply;
    id.echoSetUp = ch.SIOSend("ATE1V0Q0", kWithCr) && ch.OGetch1(reply, 11);
    if (ch.ModemSendGetData("ATS0?", kWithCr, false, 12, kCommandTimeoutMs)) {
        id.ringCount = ch.lastValue();
    }
    ch.CommClr(false);
    if (!ch.SIOSend("AT&FV0", kWithCr) || !ch.OGetch1(reply, 9)) {
        return id;
    }
    if (!ch.ModemSendGetData("ATI5", kWithCr, false, 18, kCommandTimeoutMs)) {
        return id;
    }
    id.lx = ch.isLxModel();
    if (!ch.OGetch1(reply, id.lx ? 12 : 25)) {
        return id;
    }
    ch.CommClr(false);
    ch.ModemSendGetData("ATI3", kWithCr, false, 21, kCommandTimeoutMs);
    id.modelType = ch.modelType();
    if (ch.ModemSendGetData("AT%K", kWithCr, false, 11, kCommandTimeoutMs)) {
        id.gain = ch.gain();
    }
    return id;
}

class ChannelOnSimulator : public ::testing::Test {
protected:
    ChannelOnSimulator() : network_(clock_) {
        add(kLxPort, "1111111", SimModel::Lx);
        add(kWrongPort, "3333333", SimModel::Other);
        add(kPlainPort, "4444444", SimModel::Plain3310);
        add(kStationPort, "2222222", SimModel::Lx);
    }

    void add(int port, const QByteArray& number, SimModel model) {
        SimModemSpec spec;
        spec.port = port;
        spec.number = number;
        spec.model = model;
        ASSERT_TRUE(network_.addModem(spec));
    }

    std::unique_ptr<ModemChannel> channel(int port) {
        auto ch = std::make_unique<ModemChannel>(
            port, std::make_unique<SimLinkPort>(network_, port), clock_, messages_, &host_);
        EXPECT_TRUE(ch->openPort());
        return ch;
    }

    ManualClock clock_;
    SimNetwork network_;
    RecordingMessages messages_;
    RecordingHost host_;
};

TEST_F(ChannelOnSimulator, IdentifiesTheLxModel) {
    auto ch = channel(kLxPort);
    const Identity id = identify(*ch);
    EXPECT_TRUE(id.echoSetUp);
    EXPECT_EQ(id.ringCount, 0);
    EXPECT_TRUE(id.lx);
    EXPECT_EQ(id.modelType, 1);
    EXPECT_EQ(id.gain, 128);
    EXPECT_EQ(ch->errorCode(), 0);
    EXPECT_EQ(ch->retries(), 0);
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_GT(clock_.tickMs(), 0);  // the bytes took their time on the line
}

TEST_F(ChannelOnSimulator, PlainModelIsAcceptedWithoutTheAnsweringRegisters) {
    auto ch = channel(kPlainPort);
    const Identity id = identify(*ch);
    EXPECT_FALSE(id.lx);
    EXPECT_EQ(id.modelType, 1);
    EXPECT_EQ(ch->errorCode(), 0);
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(ChannelOnSimulator, WrongModelIsRefused) {
    auto ch = channel(kWrongPort);
    const Identity id = identify(*ch);
    EXPECT_EQ(id.modelType, 0);
    EXPECT_EQ(ch->errorCode(), -23);
    EXPECT_TRUE(ch->stopRequested());
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries().first().text,
              QStringLiteral("COM2: Неверный тип модема!\n Необходим модем Teliq 3310!"));
}

TEST_F(ChannelOnSimulator, DialToneLevelAndDialling) {
    auto ch = channel(kLxPort);
    ASSERT_EQ(identify(*ch).modelType, 1);
    ASSERT_TRUE(ch->ModemSendGetData("ATX1S31=37S8=1S6=2", kWithCr, false, 21, 1000));

    // Off-hook: the exchange's dial tone at -10 dBm through the 425 Hz filter.
    ASSERT_TRUE(ch->ModemSendGetData("ATH1%T12", kWithCr, true, 11, kCommandTimeoutMs));
    ASSERT_TRUE(ch->ModemSendGetData("AT%V", kWithCr, true, 12, kCommandTimeoutMs));
    ASSERT_TRUE(ch->ModemSendGetData("A/", kWithoutCr, false, 9, kCommandTimeoutMs));
    ASSERT_EQ(host_.samples.size(), 2);
    const auto level = decodeLevel(host_.samples.last(), ch->gain(), kRefT12, toneLevelOffset());
    ASSERT_TRUE(level.has_value());
    EXPECT_NEAR(*level, -10.0, 0.5);

    // The dial command's reply comes when dialling has ended.
    const QByteArray dial = "ATD2222222;%T12%V";
    const std::int64_t before = clock_.tickMs();
    ASSERT_TRUE(ch->ModemSendGetData(dial, kWithCr, false, dial.size() + 8, 20000));
    EXPECT_GT(clock_.tickMs() - before, 1000);
    EXPECT_EQ(ch->lastEcho(), dial);
    EXPECT_TRUE(network_.isOffHook(kLxPort));

    ASSERT_TRUE(ch->ModemSendGetData("ATH0", kWithCr, false, 7, kCommandTimeoutMs));
    EXPECT_FALSE(network_.isOffHook(kLxPort));
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(ChannelOnSimulator, UnpluggedModemIsSilentThenAsks) {
    auto ch = channel(kLxPort);
    network_.setSilent(kLxPort, true);
    for (int i = 0; i < 5; ++i) {
        ch->AnalysState();
        EXPECT_FALSE(ch->ModemSendGetData("AT%K", kWithCr, false, 11, kCommandTimeoutMs));
    }
    EXPECT_EQ(messages_.count(), 0);
    ch->AnalysState();
    EXPECT_FALSE(ch->ModemSendGetData("AT%K", kWithCr, false, 11, kCommandTimeoutMs));
    EXPECT_EQ(messages_.count(), 1);  // default answer No
    EXPECT_TRUE(ch->stopRequested());
}

// ---- Through a pseudo-terminal --------------------------------------------------------------

#ifndef Q_OS_WIN
TEST(ChannelOnPseudoTerminal, IdentifiesTheSimulatedModem) {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "channel_sim_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    setProgramDir(home.path());

    RealClock clock;
    SimNetwork network(clock);
    SimModemSpec spec;
    spec.port = 1;
    spec.number = "1111111";
    ASSERT_TRUE(network.addModem(spec));
    PtyHost host(network, home.path());
    QString error;
    if (!host.start(&error)) {
        setProgramDir(QString());
        GTEST_SKIP() << "no pseudo-terminal: " << error.toStdString();
    }
    std::thread server([&host] { host.run(); });

    Identity id;
    int errorCode = 0;
    {
        // Every read of the channel ends within its time-out, so this cannot hang.
        RecordingMessages messages;
        ModemChannel ch(1, SerialCommPort::forPortNumber(1, clock), clock, messages);
        if (ch.openPort()) {
            id = identify(ch);
        }
        errorCode = ch.errorCode();
        EXPECT_EQ(messages.count(), 0) << messages.texts().join(u'|').toStdString();
    }
    host.requestStop();
    server.join();
    host.stop();
    setProgramDir(QString());

    EXPECT_EQ(errorCode, 0);
    EXPECT_TRUE(id.echoSetUp);
    EXPECT_TRUE(id.lx);
    EXPECT_EQ(id.modelType, 1);
    EXPECT_EQ(id.gain, 128);
}
#endif

}  // namespace
}  // namespace zev7
