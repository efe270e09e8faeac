#include "engine/serial/serial_comm_port.h"

#include "engine/serial/serial_port_names.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {
// As the modem's ports were always set up: a write may take this long to leave the port.
constexpr int kWriteTimeoutMs = 1000;
// Nothing the channel reads is longer than the driver's queue.
constexpr std::int64_t kMaxReadBytes = 4096;

bool applySettings(QSerialPort& port, const LineSettings& s) {
    QSerialPort::DataBits dataBits;
    switch (s.dataBits) {
        case 5:
            dataBits = QSerialPort::Data5;
            break;
        case 6:
            dataBits = QSerialPort::Data6;
            break;
        case 7:
            dataBits = QSerialPort::Data7;
            break;
        case 8:
            dataBits = QSerialPort::Data8;
            break;
        default:
            return false;
    }
    if (s.stopBits != 1 && s.stopBits != 2) {
        return false;
    }
    if (s.baud <= 0) {
        return false;
    }
    const auto stopBits = s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
    const auto parity = s.parity ? QSerialPort::EvenParity : QSerialPort::NoParity;
    const auto flow = s.flow == LineSettings::Flow::RtsCts ? QSerialPort::HardwareControl
                                                           : QSerialPort::NoFlowControl;
    return port.setBaudRate(s.baud) && port.setDataBits(dataBits) && port.setParity(parity) &&
           port.setStopBits(stopBits) && port.setFlowControl(flow);
}
}  // namespace

SerialCommPort::SerialCommPort(QString deviceName, Clock& clock)
    : deviceName_(std::move(deviceName)), clock_(clock) {}

SerialCommPort::~SerialCommPort() {
    close();
}

std::unique_ptr<SerialCommPort> SerialCommPort::forPortNumber(int portNumber, Clock& clock) {
    return std::make_unique<SerialCommPort>(serialDeviceName(portNumber), clock);
}

bool SerialCommPort::open(const LineSettings& settings) {
    close();
    openFailure_ = OpenFailure::None;
    error_.clear();
    if (deviceName_.isEmpty()) {
        openFailure_ = OpenFailure::Access;
        error_ = QStringLiteral("no device");
        return false;
    }
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(deviceName_);
    if (!port_->open(QIODevice::ReadWrite)) {
        takeError();
        openFailure_ = OpenFailure::Access;
        port_.reset();
        return false;
    }
    if (!applySettings(*port_, settings)) {
        takeError();
        openFailure_ = OpenFailure::Settings;
        close();
        return false;
    }
    // Pseudo-terminals and some adapters have no DTR or RTS line; the modem then simply
    // does without, as it does when the cable does not carry them.
    port_->setDataTerminalReady(settings.dtr);
    if (settings.flow == LineSettings::Flow::None) {
        port_->setRequestToSend(settings.rts);
    }
    port_->clearError();
    port_->clear(QSerialPort::AllDirections);
    return true;
}

bool SerialCommPort::isOpen() const {
    return port_ != nullptr && port_->isOpen();
}

bool SerialCommPort::purge() {
    if (!isOpen()) {
        error_ = QStringLiteral("port closed");
        return false;
    }
    // Take in what the driver holds, so that it is dropped with the rest.
    port_->waitForReadyRead(0);
    port_->clearError();
    const bool ok = port_->clear(QSerialPort::AllDirections);
    if (!ok) {
        takeError();
    }
    return ok;
}

std::int64_t SerialCommPort::write(const QByteArray& data) {
    if (!isOpen()) {
        error_ = QStringLiteral("port closed");
        return -1;
    }
    const qint64 queued = port_->write(data);
    if (queued < 0) {
        takeError();
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    const int limit = realMs(kWriteTimeoutMs);
    while (port_->bytesToWrite() > 0 && timer.elapsed() < limit) {
        if (!port_->waitForBytesWritten(static_cast<int>(limit - timer.elapsed()))) {
            break;
        }
    }
    const qint64 left = port_->bytesToWrite();
    if (left > 0) {
        // What could not leave in time is dropped, as a timed-out write would have it.
        takeError();
        port_->clear(QSerialPort::Output);
    }
    port_->clearError();
    return std::max<qint64>(0, queued - left);
}

bool SerialCommPort::flush() {
    if (!isOpen()) {
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    const int limit = realMs(kWriteTimeoutMs);
    while (port_->bytesToWrite() > 0 && timer.elapsed() < limit) {
        if (!port_->waitForBytesWritten(static_cast<int>(limit - timer.elapsed()))) {
            break;
        }
    }
    port_->clearError();
    return port_->bytesToWrite() == 0;
}

QByteArray SerialCommPort::read(std::int64_t n, int timeoutMs) {
    QByteArray out;
    if (!isOpen() || n <= 0) {
        return out;
    }
    n = std::min(n, kMaxReadBytes);
    out = port_->read(n);
    QElapsedTimer timer;
    timer.start();
    const int limit = realMs(std::max(timeoutMs, 0));
    while (out.size() < n) {
        const qint64 remaining = limit - timer.elapsed();
        if (remaining <= 0 || !port_->waitForReadyRead(static_cast<int>(remaining))) {
            break;
        }
        out += port_->read(n - out.size());
    }
    port_->clearError();
    return out;
}

std::int64_t SerialCommPort::bytesPending() {
    if (!isOpen()) {
        error_ = QStringLiteral("port closed");
        return -1;
    }
    port_->waitForReadyRead(0);
    port_->clearError();
    return port_->bytesAvailable();
}

CommPort::ModemStatus SerialCommPort::modemStatus() {
    if (!isOpen()) {
        return ModemStatus::Unavailable;
    }
    port_->clearError();
    const QSerialPort::PinoutSignals lines = port_->pinoutSignals();
    if (port_->error() != QSerialPort::NoError) {
        port_->clearError();
        return ModemStatus::Unavailable;
    }
    return lines.testFlag(QSerialPort::ClearToSendSignal) ? ModemStatus::CtsOn
                                                          : ModemStatus::CtsOff;
}

void SerialCommPort::close() {
    if (port_ == nullptr) {
        return;
    }
    if (port_->isOpen()) {
        port_->clear(QSerialPort::AllDirections);
        port_->close();
    }
    port_.reset();
}

QString SerialCommPort::errorString() const {
    return error_;
}

int SerialCommPort::realMs(std::int64_t clockMs) const {
    const double scale = clock_.scale() > 0.0 ? clock_.scale() : 1.0;
    return static_cast<int>(std::ceil(static_cast<double>(clockMs) / scale));
}

void SerialCommPort::takeError() {
    if (port_ != nullptr && port_->error() != QSerialPort::NoError) {
        error_ = port_->errorString();
    }
}

PortPresence probePort(int portNumber) {
    const QString device = serialDeviceName(portNumber);
    return device.isEmpty() ? PortPresence::Absent : probeDevice(device);
}

PortPresence probeDevice(const QString& deviceName) {
    QSerialPort port;
    port.setPortName(deviceName);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return PortPresence::Free;
    }
    switch (port.error()) {
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return PortPresence::Busy;
        default:
            return PortPresence::Absent;
    }
}

}  // namespace zev7
