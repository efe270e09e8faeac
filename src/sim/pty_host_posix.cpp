// The POSIX side of the pseudo-terminal host.
#include "sim/pty_host.h"

#include "core/strings.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
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
#include <queue>
#include <vector>

namespace zev7 {

namespace {

constexpr int kIdlePollMs = 500;  // nothing is due: look again anyway now and then
constexpr std::size_t kReadChunk = 4096;
constexpr qsizetype kTakeAll = 1 << 20;
// A serial port's receiver hands over at most this many bytes of a run at once.
constexpr qsizetype kReceiveFifo = 16;
constexpr int kMostPorts = 64;
// The most of a program's reaction a scaled run takes back (see writtenAt()). On a virtual
// machine a terminal's write and the reader's wake-up take a few hundred microseconds when
// the other processor sleeps: eight byte times are 0.46 ms of real time at x20.
constexpr SimUs kReactionForgivenUs = 8 * kByteUs;
constexpr std::int64_t kNsPerSecond = 1000000000;
constexpr std::uint64_t kWakeTag = ~std::uint64_t{0};
constexpr std::uint64_t kTimerTag = kWakeTag - 1;

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

// A descriptor closed when the run ends.
struct Descriptor {
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() { closeFd(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

bool watch(int poller, int fd, std::uint64_t tag) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = tag;
    return ::epoll_ctl(poller, EPOLL_CTL_ADD, fd, &event) == 0;
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
        SimUs due = kNever;         // when the bytes waiting for it have arrived whole
        SimUs handedOver = kNever;  // when the last run written to it had arrived
    };
    using Due = std::pair<SimUs, std::size_t>;  // (moment, index in ptys)

    Impl(SimNetwork& n, QString h) : network(n), home(std::move(h)) {}

    bool openPty(Pty& pty, QString* error);
    void writeToPty(Pty& pty, const QByteArray& bytes);
    // When the port's next run of bytes has arrived whole, into the queue.
    void schedule(std::size_t index);
    // The earliest moment a port has bytes to hand over; kNever when none has.
    SimUs nextDue();
    // When the computer wrote what has just been read from the port, on the network's clock.
    SimUs writtenAt(const Pty& pty, double scale);

    SimNetwork& network;
    QString home;
    std::vector<Pty> ptys;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due;
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

void PtyHost::Impl::schedule(std::size_t index) {
    Pty& pty = ptys[index];
    pty.due = network.runFromModem(pty.port, kReceiveFifo);
    if (pty.due != kNever) {
        due.emplace(pty.due, index);
    }
}

SimUs PtyHost::Impl::nextDue() {
    // Entries left behind by a port that has been written or rescheduled since are stale.
    while (!due.empty() && ptys[due.top().second].due != due.top().first) {
        due.pop();
    }
    return due.empty() ? kNever : due.top().first;
}

SimUs PtyHost::Impl::writtenAt(const Pty& pty, double scale) {
    const SimUs now = network.nowUs();
    if (scale <= 1.0 || pty.handedOver == kNever || pty.handedOver > now) {
        return now;
    }
    // The program's answer to the run it was handed took real microseconds that a scaled
    // clock counts K times over: at real time its line would have stood idle only a K-th of
    // that. Up to a few byte times of the excess are given back, so that a scaled run polls
    // the line as a real one does; never before the run it answers had arrived.
    const double excess = static_cast<double>(now - pty.handedOver) * (1.0 - 1.0 / scale);
    return now - std::min(static_cast<SimUs>(excess), kReactionForgivenUs);
}

void PtyHost::run() {
    Impl& d = *impl_;
    if (d.wakePipe[0] < 0) {
        return;
    }
    Descriptor poller{::epoll_create1(EPOLL_CLOEXEC)};
    Descriptor timer{::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)};
    if (poller.fd < 0 || timer.fd < 0 || !watch(poller.fd, d.wakePipe[0], kWakeTag) ||
        !watch(poller.fd, timer.fd, kTimerTag)) {
        return;
    }
    d.due = {};
    std::vector<int> indexOfPort(kMostPorts + 1, -1);
    for (std::size_t i = 0; i < d.ptys.size(); ++i) {
        if (!watch(poller.fd, d.ptys[i].master, i)) {
            return;
        }
        indexOfPort[static_cast<std::size_t>(d.ptys[i].port)] = static_cast<int>(i);
        d.schedule(i);
    }
    const double scale = d.network.clock().scale() > 0.0 ? d.network.clock().scale() : 1.0;
    SimUs armed = kNever;
    std::vector<epoll_event> ready(d.ptys.size() + 2);
    for (;;) {
        const SimUs now = d.network.nowUs();
        for (int port : d.network.takeOutputChanges()) {
            const int index =
                port >= 0 && port <= kMostPorts ? indexOfPort[static_cast<std::size_t>(port)] : -1;
            if (index >= 0) {
                d.schedule(static_cast<std::size_t>(index));
            }
        }
        // Every run of bytes that has arrived whole goes to its terminal in one write.
        while (d.nextDue() <= now) {
            const std::size_t index = d.due.top().second;
            d.due.pop();
            Impl::Pty& pty = d.ptys[index];
            const QByteArray out = d.network.takeFromModem(pty.port, kTakeAll);
            if (!out.isEmpty()) {
                d.writeToPty(pty, out);
                pty.handedOver = pty.due;
            }
            d.schedule(index);
        }
        // A network event makes output at the earliest one byte time later: no need to look
        // before that.
        SimUs wake = d.nextDue();
        if (const SimUs event = d.network.nextEventUs(); event != kNever) {
            wake = std::min(wake, event + kByteUs);
        }
        int timeoutMs = -1;
        if (wake == kNever) {
            timeoutMs = kIdlePollMs;
        } else if (wake != armed) {
            const double realNs =
                static_cast<double>(wake - d.network.clock().tickUs()) * 1000.0 / scale;
            if (realNs <= 0.0) {
                timeoutMs = 0;
            } else {
                itimerspec spec{};
                const auto ns = static_cast<std::int64_t>(std::ceil(realNs));
                spec.it_value.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
                spec.it_value.tv_nsec = static_cast<long>(ns % kNsPerSecond);
                ::timerfd_settime(timer.fd, 0, &spec, nullptr);
                armed = wake;
            }
        }
        // Asking the network anything moves it on to now: a modem may have begun to send
        // meanwhile, and its bytes must be scheduled before the host sleeps.
        if (d.network.hasOutputChanges()) {
            timeoutMs = 0;
        }
        const int n =
            ::epoll_wait(poller.fd, ready.data(), static_cast<int>(ready.size()), timeoutMs);
        if (n < 0 && errno != EINTR) {
            return;
        }
        for (int k = 0; k < n; ++k) {
            const std::uint64_t tag = ready[static_cast<std::size_t>(k)].data.u64;
            if (tag == kWakeTag) {
                char drain[16];
                while (::read(d.wakePipe[0], drain, sizeof drain) > 0) {
                }
                return;
            }
            if (tag == kTimerTag) {
                std::uint64_t expirations = 0;
                [[maybe_unused]] const ssize_t r =
                    ::read(timer.fd, &expirations, sizeof expirations);
                armed = kNever;
                continue;
            }
            Impl::Pty& pty = d.ptys[tag];
            char buffer[kReadChunk];
            const ssize_t got = ::read(pty.master, buffer, sizeof buffer);
            if (got > 0) {
                d.network.sendToModem(pty.port, QByteArray(buffer, static_cast<qsizetype>(got)),
                                      d.writtenAt(pty, scale));
                pty.handedOver = kNever;
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
