#include "engine/serial/serial_comm_port.h"

#include "core/thread_priority.h"
#include "engine/serial/serial_driver_queue.h"
#include "engine/serial/serial_port_names.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace zev7 {

namespace {
// As the modem's ports were always set up: a write may take this long to leave the port.
constexpr int kWriteTimeoutMs = 1000;
// Nothing the channel reads is longer than the driver's queue.
constexpr std::int64_t kMaxReadBytes = 4096;
constexpr std::int64_t kNsPerMs = 1000000;
// Waiting for the rest of a reply ends this much before its last byte is due on the line.
constexpr std::int64_t kEarlyWakeNs = 20000;

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
    noModemLines_ = false;
    // A byte on the line: start bit, data bits, parity and stop bits.
    const int bits = 1 + settings.dataBits + (settings.parity ? 1 : 0) + settings.stopBits;
    const double scale = clock_.scale() > 0.0 ? clock_.scale() : 1.0;
    byteNs_ = static_cast<std::int64_t>(static_cast<double>(bits) * 1e9 / settings.baud / scale);
    readWait_.attach(*port_);
    // The thread that talks to a line polls and answers it every few milliseconds: it runs
    // before ordinary work, or a busy machine makes its polls late and its calls misjudged.
    raiseThreadPriority();
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
    // Nothing waits either way (the usual case before a command): no flush. Flushing waits for
    // the driver's own hand-over of what has just come in, a wake-up for every exchange.
    if (port_->bytesAvailable() == 0 && port_->bytesToWrite() == 0) {
        const DriverQueues queued = driverQueues(*port_);
        if (queued.in == 0 && queued.out == 0) {
            return true;
        }
    }
    // The driver's queue and Qt's buffer go together.
    clearError();
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
    // A command fits the driver's queue: handed over at once, without waiting on the port.
    // Waiting there looks at the input too, and a terminal then first waits for its driver to
    // finish delivering what has just come in.
    port_->flush();
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
    clearError();
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
    clearError();
    return port_->bytesToWrite() == 0;
}

QByteArray SerialCommPort::read(std::int64_t n, int timeoutMs) {
    QByteArray out;
    if (!isOpen() || n <= 0) {
        return out;
    }
    n = std::min(n, kMaxReadBytes);
    out = port_->read(n);
    if (out.size() >= n) {
        return out;
    }
    QElapsedTimer timer;
    timer.start();
    const std::int64_t limitNs =
        static_cast<std::int64_t>(realMs(std::max(timeoutMs, 0))) * kNsPerMs;
    while (out.size() < n) {
        std::int64_t remainingNs = limitNs - timer.nsecsElapsed();
        if (!out.isEmpty() && remainingNs > 0) {
            // The rest of a reply that has begun cannot come sooner than its bytes take on
            // the line: one wait for all of them instead of a wake-up for every byte.
            const std::int64_t restNs =
                std::min<std::int64_t>(remainingNs, (n - out.size()) * byteNs_ - kEarlyWakeNs);
            if (restNs > 0) {
                std::this_thread::sleep_for(std::chrono::nanoseconds(restNs));
            }
            remainingNs = limitNs - timer.nsecsElapsed();
        }
        if (remainingNs <= 0) {
            // One look at what has come in by the deadline.
            if (port_->waitForReadyRead(0)) {
                out += port_->read(n - out.size());
            }
            break;
        }
        const int waitMs = static_cast<int>((remainingNs + kNsPerMs - 1) / kNsPerMs);
        if (!waitForInput(waitMs)) {
            break;
        }
        out += port_->read(n - out.size());
    }
    clearError();
    return out;
}

std::int64_t SerialCommPort::bytesPending() {
    if (!isOpen()) {
        error_ = QStringLiteral("port closed");
        return -1;
    }
    const std::int64_t queued = driverQueues(*port_).in;
    if (queued >= 0) {
        return port_->bytesAvailable() + queued;
    }
    port_->waitForReadyRead(0);
    clearError();
    return port_->bytesAvailable();
}

CommPort::ModemStatus SerialCommPort::modemStatus() {
    if (!isOpen() || noModemLines_) {
        return ModemStatus::Unavailable;
    }
    clearError();
    const QSerialPort::PinoutSignals lines = port_->pinoutSignals();
    if (port_->error() != QSerialPort::NoError) {
        // A device without modem lines (a pseudo-terminal) does not grow them while open.
        noModemLines_ = port_->error() == QSerialPort::UnsupportedOperationError;
        port_->clearError();
        return ModemStatus::Unavailable;
    }
    return lines.testFlag(QSerialPort::ClearToSendSignal) ? ModemStatus::CtsOn
                                                          : ModemStatus::CtsOff;
}

bool SerialCommPort::waitForInput(int waitMs) {
    if (!readWait_.attached()) {
        return port_->waitForReadyRead(waitMs);
    }
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int left = waitMs - static_cast<int>(timer.elapsed());
        if (left <= 0 || !readWait_.wait(left)) {
            return false;
        }
        // Qt takes in what has come. Nothing there (a signal woke the wait): wait on.
        if (port_->waitForReadyRead(0)) {
            return true;
        }
    }
}

void SerialCommPort::close() {
    readWait_.detach();
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

void SerialCommPort::clearError() {
    // Qt looks up the text of the error it clears: only when there is one.
    if (port_->error() != QSerialPort::NoError) {
        port_->clearError();
    }
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
