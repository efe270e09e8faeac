// A measuring modem behind Qt's serial port, asked what the port thread asks before a test
// call: start-up, identification of the Teliq 3310, the call set-up, one line level, and the
// restore. Nothing is dialled. It runs against the simulated modem served on a real
// pseudo-terminal, and against a real modem when ZEV7_TEST_PORT names its serial device
// ("/dev/ttyUSB0", "COM3"); without the variable that case is skipped.
#include "channel_test_support.h"
#include "support/temp_home.h"

#include "core/clocks.h"
#include "engine/modem/modem_channel.h"
#include "engine/modem/modem_commands.h"
#include "engine/modem/modem_setup.h"
#include "engine/serial/serial_comm_port.h"
#include "sim/pty_host.h"
#include "sim/sim_network.h"
#include "teliq/level_decoder.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <thread>

namespace zev7 {
namespace {

void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "serial_modem_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

// Every read ends within its time-out, so this cannot hang on a modem that is not there.
void expectModemReadyForACall(std::unique_ptr<CommPort> port, Clock& clock) {
    RecordingMessages messages;
    test::RecordingHost host;
    ModemChannel channel(1, std::move(port), clock, messages, &host);
    ASSERT_TRUE(channel.openPort()) << messages.texts().join(u'|').toStdString();
    ModemSetup setup(channel);
    EXPECT_TRUE(setup.startUp());
    EXPECT_TRUE(setup.identify()) << "not a Teliq 3310";
    EXPECT_TRUE(setup.resetForCall() && setup.configureForCall(false));
    EXPECT_TRUE(channel.ModemSendGetData(kReadLevel));
    EXPECT_TRUE(parseLevelWord(channel.lastAnswer()).has_value()) << channel.lastReply().data();
    setup.exitRestore(false);
    channel.closePort();
    EXPECT_EQ(channel.errorCode(), ModemErrorCode::None);
    EXPECT_EQ(messages.count(), 0) << messages.texts().join(u'|').toStdString();
}

#ifndef Q_OS_WIN
TEST(SerialModem, SimulatedModemOnAPseudoTerminal) {
    ensureApplication();
    test::TempHome home;
    ASSERT_TRUE(home.isValid());
    RealClock clock;
    SimNetwork network(clock);
    SimModemSpec spec;
    spec.port = 1;
    spec.number = "1111111";
    ASSERT_TRUE(network.addModem(spec));
    PtyHost host(network, home.path());
    QString error;
    if (!host.start(&error)) {
        GTEST_SKIP() << "no pseudo-terminal: " << error.toStdString();
    }
    std::thread server([&host] { host.run(); });
    expectModemReadyForACall(SerialCommPort::forPortNumber(1, clock), clock);
    host.requestStop();
    server.join();
    host.stop();
}
#endif

TEST(SerialModem, RealModemNamedByZev7TestPort) {
    const QString device = qEnvironmentVariable("ZEV7_TEST_PORT");
    if (device.isEmpty()) {
        GTEST_SKIP() << "ZEV7_TEST_PORT names no serial port with a measuring modem";
    }
    ensureApplication();
    RealClock clock;
    expectModemReadyForACall(std::make_unique<SerialCommPort>(device, clock), clock);
}

}  // namespace
}  // namespace zev7
