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

}  // namespace zev7
