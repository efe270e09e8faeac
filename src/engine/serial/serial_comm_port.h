// A real serial port (or a pseudo-terminal of the simulator) as the channel's CommPort, over
// Qt's serial port. The port is used without an event loop: every read and write waits with
// an explicit time-out. Open it, use it and close it in one thread; the Qt port object is
// made by open() in the calling thread, and open() raises that thread's priority
// (core/thread_priority.h): it is the thread that keeps the line's time.
#pragma once

#include "core/clock.h"
#include "core/comm_port.h"
#include "engine/serial/serial_driver_queue.h"

#include <memory>

class QSerialPort;

namespace zev7 {

class SerialCommPort : public CommPort {
public:
    // `deviceName` as Qt's serial port takes it: "COM3", "\\.\COM12", "/dev/ttyUSB0" or a path.
    SerialCommPort(QString deviceName, Clock& clock);
    ~SerialCommPort() override;
    SerialCommPort(const SerialCommPort&) = delete;
    SerialCommPort& operator=(const SerialCommPort&) = delete;

    // The port of that number, named as serialDeviceName() resolves it.
    static std::unique_ptr<SerialCommPort> forPortNumber(int portNumber, Clock& clock);

    bool open(const LineSettings& settings) override;
    OpenFailure openFailure() const override { return openFailure_; }
    bool isOpen() const override;
    bool purge() override;
    std::int64_t write(const QByteArray& data) override;
    bool flush() override;
    QByteArray read(std::int64_t n, int timeoutMs) override;
    std::int64_t bytesPending() override;
    // CTS from the port's modem lines; Unavailable where the device has none (a
    // pseudo-terminal) or the port is closed.
    ModemStatus modemStatus() override;
    void close() override;
    QString errorString() const override;

    const QString& deviceName() const { return deviceName_; }

private:
    // Real milliseconds for a time-out counted on the engine clock.
    int realMs(std::int64_t clockMs) const;
    void takeError();
    void clearError();
    // Waits at most waitMs real milliseconds for bytes to come in; true when Qt has them.
    bool waitForInput(int waitMs);

    QString deviceName_;
    Clock& clock_;
    std::unique_ptr<QSerialPort> port_;
    QString error_;
    OpenFailure openFailure_ = OpenFailure::None;
    bool noModemLines_ = false;
    std::int64_t byteNs_ = 0;  // one byte on the line, in real nanoseconds
    DriverReadWait readWait_;
};

// What the main window's port list learns by opening a port exclusively and closing it again.
enum class PortPresence { Absent, Free, Busy };
PortPresence probePort(int portNumber);
PortPresence probeDevice(const QString& deviceName);

}  // namespace zev7
