// How many received bytes the operating system's driver holds for a serial port, asked without
// waiting and without touching the port's state.
#pragma once

#include <cstdint>

class QSerialPort;

namespace zev7 {

// For an open port; -1 when the driver cannot tell.
std::int64_t driverInputQueue(QSerialPort& port);

}  // namespace zev7
