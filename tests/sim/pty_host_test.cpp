// The pseudo-terminal host on a real clock: a client opens DIR/dev/COM1 with plain POSIX
// calls and talks to the simulated modem. Every wait is a bounded poll; a watchdog ends the
// program if anything still hangs.
#include "sim/pty_host.h"
#include "core/clocks.h"
#include "sim/sim_config.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace zev7 {
namespace {

constexpr auto kDeadline = std::chrono::seconds(10);
constexpr auto kWatchdog = std::chrono::seconds(60);

// Ends the test program when the test has not finished in time.
class Watchdog {
public:
    Watchdog()
        : thread_([this] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, kWatchdog, [this] { return finished_; })) {
                  std::fprintf(stderr, "pty host test hangs: aborted\n");
                  std::_Exit(EXIT_FAILURE);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

// Reads until `n` bytes have come or the deadline has passed.
QByteArray readFor(int fd, qsizetype n) {
    QByteArray out;
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (out.size() < n && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0 && (p.revents & POLLIN) != 0) {
            char buffer[64];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                out.append(buffer, static_cast<qsizetype>(got));
            }
        }
    }
    return out;
}

TEST(PtyHost, ClientTalksToTheModemThroughTheLink) {
    Watchdog watchdog;
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    RealClock clock;
    auto network = buildNetwork(SimConfig::demo(), clock);
    PtyHost host(*network, home.path());
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    const QString com1 = home.filePath(QStringLiteral("dev/COM1"));
    EXPECT_TRUE(QFileInfo(com1).isSymLink());
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("dev/COM2"))).isSymLink());
    std::thread server([&host] { host.run(); });

    const int fd = ::open(QFile::encodeName(com1).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    if (fd >= 0) {
        EXPECT_EQ(::write(fd, "A", 1), 1);
        EXPECT_EQ(readFor(fd, 1), QByteArray("A"));
        EXPECT_EQ(::write(fd, "TI3\r", 4), 4);
        const QByteArray reply = readFor(fd, 20);
        EXPECT_EQ(reply, QByteArray("TI3\rTeliq LX-3310\r0\r"));
        ::close(fd);
    }

    host.requestStop();
    server.join();
    host.stop();
    EXPECT_FALSE(QFileInfo::exists(com1));
    EXPECT_FALSE(QFileInfo(com1).isSymLink());
}

// A reply goes to the terminal in one piece when its last byte is due on the line, never
// sooner: the program reading its stated length wakes once.
TEST(PtyHost, ReplyComesWholeWhenItsLastByteIsDue) {
    Watchdog watchdog;
    QTemporaryDir home;
    RealClock clock;
    auto network = buildNetwork(SimConfig::demo(), clock);
    PtyHost host(*network, home.path());
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    std::thread server([&host] { host.run(); });
    const QString com1 = home.filePath(QStringLiteral("dev/COM1"));
    const int fd = ::open(QFile::encodeName(com1).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    if (fd >= 0) {
        EXPECT_EQ(::write(fd, "A", 1), 1);
        EXPECT_EQ(readFor(fd, 1), QByteArray("A"));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(::write(fd, "TS0?\r", 5), 5);
        pollfd p{fd, POLLIN, 0};
        EXPECT_EQ(::poll(&p, 1, 10000), 1);
        const auto waited = std::chrono::steady_clock::now() - start;
        char buffer[64];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        EXPECT_EQ(QByteArray(buffer, static_cast<qsizetype>(std::max<ssize_t>(got, 0))),
                  QByteArray("TS0?\r000\r0\r"));
        // The "T" out, then its echo and the ten bytes after it back.
        EXPECT_GE(waited, std::chrono::microseconds(12 * kByteUs));
        ::close(fd);
    }
    host.requestStop();
    server.join();
}

TEST(PtyHost, RefusesToReplaceWhatIsNotItsLink) {
    Watchdog watchdog;
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("dev/COM2")));  // a directory
    RealClock clock;
    auto network = buildNetwork(SimConfig::demo(), clock);
    PtyHost host(*network, home.path());
    QString error;
    EXPECT_FALSE(host.start(&error));
    EXPECT_FALSE(error.isEmpty());
    // Nothing is left behind: COM1's link is gone again, COM2 untouched.
    EXPECT_FALSE(QFileInfo(home.filePath(QStringLiteral("dev/COM1"))).isSymLink());
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("dev/COM2"))).isDir());
}

}  // namespace
}  // namespace zev7
