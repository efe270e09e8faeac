// How many bytes the operating system's driver holds for a serial port either way, asked without
// waiting and without touching the port's state.
#pragma once

#include <cstdint>

class QSerialPort;

namespace zev7 {

// Received bytes not yet read and bytes written but not yet sent; -1 when the driver cannot tell.
struct DriverQueues {
    std::int64_t in = -1;
    std::int64_t out = -1;
};

// For an open port.
DriverQueues driverQueues(QSerialPort& port);

// Waits for bytes to come in on an open port without making the driver finish delivering what
// is on its way first: a terminal's poll does that, and a port thread woken by the delivery
// would wait for its end at its next poll, a second wake-up for every reply. Where the system
// has no such wait attach() is false and the port waits through Qt.
class DriverReadWait {
public:
    DriverReadWait() = default;
    ~DriverReadWait();
    DriverReadWait(const DriverReadWait&) = delete;
    DriverReadWait& operator=(const DriverReadWait&) = delete;

    bool attach(QSerialPort& port);
    void detach();
    bool attached() const { return fd_ >= 0; }
    // False at the time-out. True when something came in since the last wait, or when the
    // port has a condition to report; it may have been read already.
    bool wait(int timeoutMs);

private:
    int fd_ = -1;
};

}  // namespace zev7
