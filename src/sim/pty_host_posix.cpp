// The POSIX side of the pseudo-terminal host.
#include "sim/pty_host.h"

#include "core/strings.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstring>
#include <vector>

namespace zev7 {

namespace {

constexpr int kIdlePollMs = 500;  // nothing is due: look again anyway now and then
constexpr std::size_t kReadChunk = 4096;
constexpr qsizetype kTakeAll = 1 << 20;

// Where a signal handler may write to wake the host up; one host at a time runs with signals.
volatile std::sig_atomic_t gSignalPipe = -1;

void onStopSignal(int) {
    if (gSignalPipe >= 0) {
        const char byte = 's';
        [[maybe_unused]] const ssize_t n = ::write(gSignalPipe, &byte, 1);
    }
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool setFlags(int fd, int statusFlags) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | statusFlags) == 0 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

}  // namespace

struct PtyHost::Impl {
    struct Pty {
        int port = 0;
        int master = -1;
        int slave = -1;  // kept open so that the master never sees a hang-up
        QString link;
        QString device;
    };

    Impl(SimNetwork& n, QString h) : network(n), home(std::move(h)) {}

    bool openPty(Pty& pty, QString* error);
    void writeToPty(Pty& pty, const QByteArray& bytes);
    int pollTimeoutMs(SimUs now, SimUs wake) const;

    SimNetwork& network;
    QString home;
    std::vector<Pty> ptys;
    std::array<int, 2> wakePipe{-1, -1};
};

PtyHost::PtyHost(SimNetwork& network, QString homeDir)
    : impl_(std::make_unique<Impl>(network, std::move(homeDir))) {}

PtyHost::~PtyHost() {
    stop();
}

bool PtyHost::Impl::openPty(Pty& pty, QString* error) {
    auto fail = [&](const QString& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0 ||
        !setFlags(pty.master, O_NONBLOCK)) {
        return fail(txt(str::SimPtyFailed).arg(pty.port).arg(systemError()));
    }
    const char* name = ::ptsname(pty.master);
    if (name == nullptr) {
        return fail(txt(str::SimPtyFailed).arg(pty.port).arg(systemError()));
    }
    pty.device = QString::fromLocal8Bit(name);
    pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slave < 0) {
        return fail(txt(str::SimPtyFailed).arg(pty.port).arg(systemError()));
    }
    // Raw bytes at 9600 8N2, as the modem's serial port; the program sets its own mode too.
    termios tio{};
    if (::tcgetattr(pty.slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
        ::tcsetattr(pty.slave, TCSANOW, &tio);
    }
    pty.link = QDir(home).filePath(QStringLiteral("dev/COM%1").arg(pty.port));
    const QByteArray link = QFile::encodeName(pty.link);
    struct stat st {};
    if (::lstat(link.constData(), &st) == 0) {
        // A link left by a run that did not end cleanly is replaced; anything else is not ours.
        if (!S_ISLNK(st.st_mode)) {
            pty.link.clear();
            return fail(txt(str::SimLinkExists).arg(QFile::decodeName(link)));
        }
        ::unlink(link.constData());
    }
    if (::symlink(name, link.constData()) != 0) {
        const QString why = systemError();
        const QString path = pty.link;
        pty.link.clear();
        return fail(txt(str::SimLinkFailed).arg(path, why));
    }
    return true;
}

bool PtyHost::start(QString* error) {
    stop();
    const QString dev = QDir(impl_->home).filePath(QStringLiteral("dev"));
    if (!QDir().mkpath(dev)) {
        if (error != nullptr) {
            *error = txt(str::SimDirFailed).arg(dev);
        }
        return false;
    }
    if (::pipe(impl_->wakePipe.data()) != 0 || !setFlags(impl_->wakePipe[0], O_NONBLOCK) ||
        !setFlags(impl_->wakePipe[1], O_NONBLOCK)) {
        if (error != nullptr) {
            *error = txt(str::SimPtyFailed).arg(0).arg(systemError());
        }
        stop();
        return false;
    }
    for (int port : impl_->network.ports()) {
        impl_->ptys.push_back({});
        Impl::Pty& pty = impl_->ptys.back();
        pty.port = port;
        if (!impl_->openPty(pty, error)) {
            stop();
            return false;
        }
        impl_->network.attach(port);
    }
    return true;
}

QList<PtyLink> PtyHost::links() const {
    QList<PtyLink> out;
    for (const Impl::Pty& pty : impl_->ptys) {
        out.append({pty.port, pty.link, pty.device});
    }
    return out;
}

void PtyHost::Impl::writeToPty(Pty& pty, const QByteArray& bytes) {
    const char* data = bytes.constData();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    bool flushed = false;
    while (left > 0) {
        const ssize_t n = ::write(pty.master, data, left);
        if (n > 0) {
            data += n;
            left -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && !flushed) {
            // Nobody has read the port for a long time: its stale input goes, the new stays.
            ::tcflush(pty.slave, TCIFLUSH);
            flushed = true;
        } else {
            return;  // what does not fit is lost, as on a line nobody listens to
        }
    }
}

int PtyHost::Impl::pollTimeoutMs(SimUs now, SimUs wake) const {
    if (wake == kNever) {
        return kIdlePollMs;
    }
    if (wake <= now) {
        return 0;
    }
    const double realMs = usToSeconds(wake - now) * 1000.0 / network.clock().scale();
    return std::clamp(static_cast<int>(std::ceil(realMs)), 1, kIdlePollMs);
}

void PtyHost::run() {
    Impl& d = *impl_;
    if (d.wakePipe[0] < 0) {
        return;
    }
    std::vector<pollfd> fds;
    for (;;) {
        const SimUs now = d.network.nowUs();
        SimUs wake = d.network.nextEventUs();
        for (Impl::Pty& pty : d.ptys) {
            const QByteArray out = d.network.takeFromModem(pty.port, kTakeAll);
            if (!out.isEmpty()) {
                d.writeToPty(pty, out);
            }
            wake = std::min(wake, d.network.arrivalFromModem(pty.port, 0));
        }
        fds.clear();
        fds.push_back({d.wakePipe[0], POLLIN, 0});
        for (const Impl::Pty& pty : d.ptys) {
            fds.push_back({pty.master, POLLIN, 0});
        }
        const int ready = ::poll(fds.data(), fds.size(), d.pollTimeoutMs(now, wake));
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (ready <= 0) {
            continue;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            char drain[16];
            while (::read(d.wakePipe[0], drain, sizeof drain) > 0) {
            }
            return;
        }
        for (std::size_t i = 0; i < d.ptys.size(); ++i) {
            if ((fds[i + 1].revents & POLLIN) == 0) {
                continue;
            }
            char buffer[kReadChunk];
            const ssize_t n = ::read(d.ptys[i].master, buffer, sizeof buffer);
            if (n > 0) {
                d.network.sendToModem(d.ptys[i].port,
                                      QByteArray(buffer, static_cast<qsizetype>(n)));
            }
        }
    }
}

void PtyHost::runUntilInterrupted() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
    gSignalPipe = impl_->wakePipe[1];
    ::sigaction(SIGINT, &action, &oldInt);
    ::sigaction(SIGTERM, &action, &oldTerm);
    run();
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
    gSignalPipe = -1;
}

void PtyHost::requestStop() {
    if (impl_->wakePipe[1] >= 0) {
        const char byte = 's';
        [[maybe_unused]] const ssize_t n = ::write(impl_->wakePipe[1], &byte, 1);
    }
}

void PtyHost::stop() {
    Impl& d = *impl_;
    for (Impl::Pty& pty : d.ptys) {
        d.network.detach(pty.port);
        if (!pty.link.isEmpty()) {
            const QByteArray link = QFile::encodeName(pty.link);
            // Remove the link only while it still points to our terminal.
            char target[PATH_MAX] = {};
            const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
            if (n > 0 && QString::fromLocal8Bit(target, static_cast<qsizetype>(n)) == pty.device) {
                ::unlink(link.constData());
            }
        }
        closeFd(pty.slave);
        closeFd(pty.master);
    }
    d.ptys.clear();
    closeFd(d.wakePipe[0]);
    closeFd(d.wakePipe[1]);
}

}  // namespace zev7
