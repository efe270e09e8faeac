// A program that dies of a fault leaves its evidence, and a stop asked for by the system reaches
// the event loop. The faults happen in child processes of the test.
#include "core/process_signals.h"
#include "core/program_dir.h"
#include "support/core_app.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QEventLoop>
#include <QFile>
#include <csignal>
#include <stdexcept>

// Named in the report's backtrace: a function of the program, not a local one.
[[gnu::noinline]] void zev7FaultProbe() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

[[gnu::noinline]] void zev7ThrowProbe() {
    throw std::runtime_error("modem table overrun");
}

namespace zev7 {
namespace {

struct FaultReport : ::testing::Test {
    test::TempHome home;

    // Runs `fault` in a child with the fault report installed; its standard error goes to
    // "stderr.txt". The signal that ended the child.
    template <class Fault>
    int crashChild(Fault fault) {
        const QByteArray errPath = QFile::encodeName(home.path() + QStringLiteral("/stderr.txt"));
        const pid_t child = fork();
        if (child == 0) {
            const int fd = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, STDERR_FILENO);
            installFaultReport("zev7-test");
            fault();
            _exit(0);
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

    static QString read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(FaultReport, ACrashLeavesTheReportAndTheNextStartMentionsItOnce) {
    EXPECT_EQ(takeUnmentionedFaultReport(), QString());  // no fault, nothing to say
    EXPECT_EQ(crashChild([] { zev7FaultProbe(); }), SIGSEGV);

    const QString report = read(home.path() + QStringLiteral("/ZEV7.crash"));
    EXPECT_TRUE(report.startsWith(QStringLiteral("Программа завершена внутренней ошибкой\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("Программа: zev7-test V2.08\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("Причина: SIGSEGV\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("Время (UTC): 20")));
    EXPECT_TRUE(report.contains(QStringLiteral("zev7FaultProbe"))) << report.toStdString();
    // The same on standard error, for a program that was started from a terminal or a script.
    const QString err = read(home.path() + QStringLiteral("/stderr.txt"));
    EXPECT_TRUE(err.contains(QStringLiteral("Причина: SIGSEGV")));
    EXPECT_TRUE(err.contains(QStringLiteral("zev7FaultProbe")));

    EXPECT_EQ(takeUnmentionedFaultReport(), faultReportPath());
    EXPECT_EQ(takeUnmentionedFaultReport(), QString());
    // The evidence stays, with the line that it was mentioned.
    const QString kept = read(faultReportPath());
    EXPECT_TRUE(kept.startsWith(report));
    EXPECT_TRUE(kept.contains(QStringLiteral("Сообщено при запуске программы: ")));

    // A new fault is news again.
    EXPECT_EQ(crashChild([] { std::abort(); }), SIGABRT);
    EXPECT_TRUE(read(faultReportPath()).contains(QStringLiteral("Причина: SIGABRT\n")));
    EXPECT_EQ(takeUnmentionedFaultReport(), faultReportPath());
}

TEST_F(FaultReport, AnUncaughtExceptionAndAFatalQtErrorAreNamed) {
    // Out of a noexcept function, as out of a thread's run(): nobody catches it.
    EXPECT_EQ(crashChild([]() noexcept { zev7ThrowProbe(); }), SIGABRT);
    EXPECT_TRUE(read(faultReportPath())
                    .contains(QStringLiteral("Причина: std::terminate: modem table overrun\n")));
    // Written once: the abort that follows does not write over it.
    EXPECT_EQ(read(faultReportPath()).count(QStringLiteral("Причина:")), 1);

    EXPECT_EQ(crashChild([] { qFatal("port table damaged"); }), SIGABRT);
    EXPECT_TRUE(
        read(faultReportPath()).contains(QStringLiteral("Причина: qFatal: port table damaged\n")));
}

TEST(StopSignals, TheSystemsStopsReachTheEventLoop) {
    test::coreApp();
    StopSignals stops;
    QList<int> received;
    QEventLoop loop;
    QObject::connect(&stops, &StopSignals::stopRequested, &loop, [&](int s) {
        received.append(s);
        if (received.size() == 3) {
            loop.quit();
        }
    });
    std::raise(SIGTERM);
    std::raise(SIGHUP);
    std::raise(SIGINT);
    loop.exec();
    EXPECT_EQ(received, (QList<int>{SIGTERM, SIGHUP, SIGINT}));
}

}  // namespace
}  // namespace zev7
