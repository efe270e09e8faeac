// Which device a port number means. On Windows the port's own name ("COM3", and "\\.\COM12"
// from port 10 on). Elsewhere, in this order: the mapping in "ZEV7.ini" (section [Ports],
// key COM<N>, e.g. COM3=/dev/ttyUSB0), a link "dev/COM<N>" under the program directory (the
// simulator puts its modems there), then the platform's own device /dev/ttyS<N-1>.
#pragma once

#include <QString>

namespace zev7 {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 64;

// The device for port N (1..64); an empty text for a number outside that range.
QString serialDeviceName(int portNumber);

}  // namespace zev7
