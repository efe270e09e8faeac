#include <QtGlobal>

#if defined(Q_OS_WIN)

#include "engine/serial/serial_driver_queue.h"

#include <windows.h>
#include <QSerialPort>

namespace zev7 {

DriverQueues driverQueues(QSerialPort& port) {
    const HANDLE handle = port.handle();
    DWORD errors = 0;
    COMSTAT status{};
    if (handle == INVALID_HANDLE_VALUE || !ClearCommError(handle, &errors, &status)) {
        return {};
    }
    return {static_cast<std::int64_t>(status.cbInQue), static_cast<std::int64_t>(status.cbOutQue)};
}

// Qt's own wait on an overlapped read serves there.
DriverReadWait::~DriverReadWait() = default;

bool DriverReadWait::attach(QSerialPort&) {
    return false;
}

void DriverReadWait::detach() {}

bool DriverReadWait::wait(int) {
    return false;
}

}  // namespace zev7

#endif
