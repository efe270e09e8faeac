#include <QtGlobal>

#if !defined(Q_OS_WIN)

#include "engine/serial/serial_driver_queue.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <QSerialPort>

namespace zev7 {

DriverQueues driverQueues(QSerialPort& port) {
    const int fd = port.handle();
    DriverQueues q;
    int received = 0;
    int unsent = 0;
    if (fd >= 0 && ::ioctl(fd, FIONREAD, &received) == 0) {
        q.in = received;
    }
    if (fd >= 0 && ::ioctl(fd, TIOCOUTQ, &unsent) == 0) {
        q.out = unsent;
    }
    return q;
}

}  // namespace zev7

#endif
