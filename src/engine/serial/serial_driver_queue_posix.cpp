#include <QtGlobal>

#if !defined(Q_OS_WIN)

#include "engine/serial/serial_driver_queue.h"

#include <sys/ioctl.h>
#include <QSerialPort>

namespace zev7 {

std::int64_t driverInputQueue(QSerialPort& port) {
    const int fd = port.handle();
    int queued = 0;
    if (fd < 0 || ::ioctl(fd, FIONREAD, &queued) != 0) {
        return -1;
    }
    return queued;
}

}  // namespace zev7

#endif
