#include <QtGlobal>

#if !defined(Q_OS_WIN)

#include "engine/serial/serial_driver_queue.h"

#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <QSerialPort>
#include <cerrno>

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

DriverReadWait::~DriverReadWait() {
    detach();
}

bool DriverReadWait::attach(QSerialPort& port) {
    detach();
    const int device = port.handle();
    if (device < 0) {
        return false;
    }
    fd_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    // Edge-triggered: the wait sleeps until the driver delivers something new and never asks
    // the terminal whether input is there.
    epoll_event event{};
    event.events = EPOLLIN | EPOLLET;
    if (::epoll_ctl(fd_, EPOLL_CTL_ADD, device, &event) != 0) {
        detach();
        return false;
    }
    return true;
}

void DriverReadWait::detach() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool DriverReadWait::wait(int timeoutMs) {
    epoll_event event{};
    const int n = ::epoll_wait(fd_, &event, 1, timeoutMs);
    // A signal: the caller looks and waits again for what is left of its time.
    return n > 0 || (n < 0 && errno == EINTR);
}

}  // namespace zev7

#endif
