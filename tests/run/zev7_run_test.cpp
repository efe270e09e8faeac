// zev7-run end to end: what a user meets at its edges (a mistyped home, a port that never
// opened, a terminal closed during the run).
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace zev7 {
namespace {

constexpr int kProcessTimeoutMs = 60000;

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished finish(QProcess& p) {
    Finished r;
    if (!p.waitForFinished(kProcessTimeoutMs) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Finished runTool(const char* program, const QStringList& args) {
    QProcess p;
    p.start(QString::fromUtf8(program), args);
    return finish(p);
}

struct RunTool : ::testing::Test {
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));

    void makeDemoScenario() {
        ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/Scenar")));
        const QString scn = home + QStringLiteral("/Scenar/demo.scn");
        ASSERT_EQ(runTool(ZEV7_SCN_PATH, {"new", scn}).exitCode, 0);
        ASSERT_EQ(runTool(ZEV7_SCN_PATH, {"set-out", scn, "-/-/-/-/-/1111111/-"}).exitCode, 0);
        ASSERT_EQ(runTool(ZEV7_SCN_PATH, {"add-cycle", scn, "-/-/-/-/-/2222222/-"}).exitCode, 0);
    }
};

TEST_F(RunTool, AHomeThatDoesNotExistIsRefusedNotCreated) {
    const Finished r = runTool(ZEV7_RUN_PATH, {"--home", home, "1:demo.scn"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u("не существует"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home));
}

// A port that never opened has no report: none is named.
TEST_F(RunTool, NoReportIsNamedWhenNoneWasWritten) {
    makeDemoScenario();
    QFile ini(home + QStringLiteral("/ZEV7.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Ports]\nCOM1=no-such-device\n");
    ini.close();
    const Finished r = runTool(ZEV7_RUN_PATH, {"--home", home, "1:demo.scn"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.out.contains(u("Отчет о результатах"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(u("Не все сценарии завершены."))) << r.out.toStdString();
}

// A closed terminal stops the run as Ctrl+C does: the protocol ends "Сценарий прерван!".
TEST_F(RunTool, HangUpStopsThePortsCleanly) {
    makeDemoScenario();
    // Both at twenty times real time, as the demo runs.
    QProcessEnvironment fast = QProcessEnvironment::systemEnvironment();
    fast.insert(QStringLiteral("ZEV7_TIME_SCALE"), QStringLiteral("20"));
    QProcess sim;
    sim.setProcessEnvironment(fast);
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(QStringLiteral(ZEV7_SIM_PATH), {"--home", home});
    ASSERT_TRUE(sim.waitForReadyRead(kProcessTimeoutMs));  // the links are made
    QProcess run;
    run.setProcessEnvironment(fast);
    run.start(QStringLiteral(ZEV7_RUN_PATH), {"--home", home, "1:demo.scn"});
    ASSERT_TRUE(run.waitForStarted(kProcessTimeoutMs));
    // The first call is under way once the port reports its cycle start.
    QByteArray seen;
    while (!seen.contains(u("отработка начата").toUtf8()) &&
           run.waitForReadyRead(kProcessTimeoutMs)) {
        seen += run.readAllStandardOutput();
    }
    ::kill(static_cast<pid_t>(run.processId()), SIGHUP);
    const Finished r = finish(run);
    sim.terminate();
    sim.waitForFinished();
    EXPECT_EQ(r.exitCode, 1);
    QFile protocol(home + QStringLiteral("/Protocol/ProtocolComPort1.txt"));
    ASSERT_TRUE(protocol.open(QIODevice::ReadOnly));
    EXPECT_TRUE(protocol.readAll().trimmed().endsWith(
        QByteArray("\xd1\xf6\xe5\xed\xe0\xf0\xe8\xe9 \xef\xf0\xe5\xf0\xe2\xe0\xed!")));
}

}  // namespace
}  // namespace zev7
