// Port numbers to devices, and Qt's serial port on a pseudo-terminal: the exclusive open, the
// probe of the port list, reads and writes, and the missing modem lines.
#include "core/clocks.h"
#include "engine/serial/serial_comm_port.h"
#include "engine/serial/serial_port_names.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace zev7 {
namespace {

// Bytes written into a pseudo-terminal reach its other side within this bound.
constexpr qint64 kDeliveryBoundMs = 2000;

class PortNames : public ::testing::Test {
protected:
    void writeIni(const QByteArray& text) {
        QFile ini(home_.filePath(QStringLiteral("ZEV7.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }
    QString path(const QString& relative) const { return home_.filePath(relative); }

    test::TempHome home_;
};

TEST_F(PortNames, OutsideOneToSixtyFourThereIsNoDevice) {
    EXPECT_TRUE(serialDeviceName(0).isEmpty());
    EXPECT_TRUE(serialDeviceName(65).isEmpty());
    EXPECT_EQ(probePort(0), PortPresence::Absent);
}

#ifdef Q_OS_WIN
TEST_F(PortNames, WindowsNamesFromTenOnUseTheDeviceNamespace) {
    EXPECT_EQ(serialDeviceName(9), QStringLiteral("COM9"));
    EXPECT_EQ(serialDeviceName(10), QStringLiteral("\\\\.\\COM10"));
}
#else
TEST_F(PortNames, IniMappingThenSimulatorLinkThenPlatformDevice) {
    // Nothing configured: the platform's own device.
    EXPECT_EQ(serialDeviceName(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(serialDeviceName(64), QStringLiteral("/dev/ttyS63"));

    // A link under dev/ (even one whose modem has gone).
    ASSERT_TRUE(QDir(home_.path()).mkpath(QStringLiteral("dev")));
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/nonexistent/pts/9"), path(QStringLiteral("dev/COM2"))));
    EXPECT_EQ(serialDeviceName(2), path(QStringLiteral("dev/COM2")));
    EXPECT_EQ(serialDeviceName(3), QStringLiteral("/dev/ttyS2"));

    // The ini mapping wins; a relative one is under the program directory.
    writeIni("[Ports]\nCOM2=/dev/ttyUSB0\nCOM3=  \nCOM4=modems/four\n");
    EXPECT_EQ(serialDeviceName(2), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(serialDeviceName(3), QStringLiteral("/dev/ttyS2"));  // empty value: not mapped
    EXPECT_EQ(serialDeviceName(4), path(QStringLiteral("modems/four")));
}

TEST_F(PortNames, IniWithOtherSectionsAndOddBytesStillMapsPorts) {
    // The window placements of "ZEV7.ini" are Windows-1251.
    writeIni("[\xcf\xee\xf0\xf2:3]\nLeft=10\n[Ports]\nCOM5=/dev/ttyACM1\n");
    EXPECT_EQ(serialDeviceName(5), QStringLiteral("/dev/ttyACM1"));
    // Section and key in any case, as the windows read the same file.
    writeIni("[ports]\ncom6=/dev/ttyUSB5\n");
    EXPECT_EQ(serialDeviceName(6), QStringLiteral("/dev/ttyUSB5"));
}

// A pseudo-terminal standing in for a serial port, linked as dev/COM<N>.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            slave_ = QString::fromLocal8Bit(::ptsname(master_));
        }
    }
    ~PseudoTerminal() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    bool ok() const { return !slave_.isEmpty(); }
    const QString& slave() const { return slave_; }
    void send(const QByteArray& bytes) const {
        ASSERT_EQ(::write(master_, bytes.constData(), bytes.size()), bytes.size());
    }
    QByteArray receive(int n) const {
        QByteArray out(n, '\0');
        const ssize_t got = ::read(master_, out.data(), n);
        out.resize(got > 0 ? static_cast<int>(got) : 0);
        return out;
    }

private:
    int master_ = -1;
    QString slave_;
};

class SerialPortOnPty : public PortNames {
protected:
    static void SetUpTestSuite() {
        // Qt's serial port wants an application object for its notifiers.
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "serial_port_test";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }
    void SetUp() override {
        if (!pty_.ok()) {
            GTEST_SKIP() << "no pseudo-terminal";
        }
        ASSERT_TRUE(QDir(home_.path()).mkpath(QStringLiteral("dev")));
        ASSERT_TRUE(QFile::link(pty_.slave(), path(QStringLiteral("dev/COM1"))));
    }

    PseudoTerminal pty_;
    RealClock clock_;
};

TEST_F(SerialPortOnPty, ExclusiveOpenAndTheProbe) {
    EXPECT_EQ(probePort(1), PortPresence::Free);
    auto port = SerialCommPort::forPortNumber(1, clock_);
    EXPECT_EQ(port->deviceName(), path(QStringLiteral("dev/COM1")));
    ASSERT_TRUE(port->open(LineSettings::measuring())) << port->errorString().toStdString();
    EXPECT_TRUE(port->isOpen());

    // Held by us: a second open is refused, the probe says busy.
    SerialCommPort second(path(QStringLiteral("dev/COM1")), clock_);
    EXPECT_FALSE(second.open(LineSettings::measuring()));
    EXPECT_EQ(second.openFailure(), CommPort::OpenFailure::Access);
    EXPECT_FALSE(second.errorString().isEmpty());
    EXPECT_EQ(probePort(1), PortPresence::Busy);

    port->close();
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(probePort(1), PortPresence::Free);
    EXPECT_EQ(probeDevice(path(QStringLiteral("dev/COM9"))), PortPresence::Absent);
}

TEST_F(SerialPortOnPty, WritesReadsAndPurges) {
    SerialCommPort port(path(QStringLiteral("dev/COM1")), clock_);
    ASSERT_TRUE(port.open(LineSettings::measuring()));

    EXPECT_EQ(port.write("AT%K\r"), 5);
    EXPECT_TRUE(port.flush());
    EXPECT_EQ(pty_.receive(16), "AT%K\r");

    pty_.send("AT%K\r128\r0\r");
    EXPECT_EQ(port.read(11, 1000), "AT%K\r128\r0\r");  // all there: no waiting

    pty_.send("2\r");
    // The terminal hands the bytes on in its own time; look until they are there.
    QElapsedTimer bound;
    bound.start();
    std::int64_t pending = 0;
    while (pending < 2 && bound.elapsed() < kDeliveryBoundMs) {
        pending = port.bytesPending();
    }
    EXPECT_EQ(pending, 2);
    EXPECT_TRUE(port.purge());
    EXPECT_EQ(port.bytesPending(), 0);
    EXPECT_TRUE(port.read(0, 0).isEmpty());

    // The bytes the purge dropped came before this read: it waits its whole time-out.
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(port.read(1, 50).isEmpty());
    EXPECT_GE(waited.elapsed(), 50);
}

TEST_F(SerialPortOnPty, PseudoTerminalHasNoModemLines) {
    SerialCommPort port(path(QStringLiteral("dev/COM1")), clock_);
    EXPECT_EQ(port.modemStatus(), CommPort::ModemStatus::Unavailable);  // closed
    ASSERT_TRUE(port.open(LineSettings::measuring()));
    EXPECT_EQ(port.modemStatus(), CommPort::ModemStatus::Unavailable);
}

TEST_F(SerialPortOnPty, ClosedPortRefusesEverything) {
    SerialCommPort port(path(QStringLiteral("dev/COM1")), clock_);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.write("A"), -1);
    EXPECT_EQ(port.bytesPending(), -1);
    EXPECT_FALSE(port.purge());
    EXPECT_TRUE(port.read(1, 10).isEmpty());

    SerialCommPort nowhere(path(QStringLiteral("dev/COM7")), clock_);
    EXPECT_FALSE(nowhere.open(LineSettings::measuring()));
    EXPECT_EQ(nowhere.openFailure(), CommPort::OpenFailure::Access);
}
#endif

}  // namespace
}  // namespace zev7
