// The alerts of an unattended run: the streaks and their recovery, the values of
// "[Оповещение]" as ZEV7.ini gives them, and whole runs against the simulated network on the
// manual clock, where an alert becomes a protocol line, a listener's notice and the operator's
// command with the alert in its environment. A real command that never ends does not hold the
// port, and a command that does not exist costs one protocol line.
#include "port_engine_support.h"

#include "core/ini_file.h"
#include "engine/alerts/port_alerts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;
using test::plainNumber;

std::vector<AlertKind> kinds(const std::vector<AlertEvent>& events) {
    std::vector<AlertKind> out;
    for (const AlertEvent& e : events) {
        out.push_back(e.kind);
    }
    return out;
}

TEST(AlertStreaks, LossStreaksAlertOnceAndTheFirstSuccessRecovers) {
    AlertWatch w(AlertSettings{3, 2, 0, {}});
    EXPECT_TRUE(w.callAccounted(ResultCode::BusyIncoming).empty());
    // A call without a decision neither lengthens nor ends a streak.
    EXPECT_TRUE(w.callAccounted(ResultCode::None).empty());
    EXPECT_TRUE(w.callAccounted(ResultCode::NoRingback).empty());
    const auto third = w.callAccounted(ResultCode::NoRingback);
    ASSERT_EQ(kinds(third), (std::vector{AlertKind::LossStreak, AlertKind::CategoryStreak}));
    EXPECT_EQ(third[0].count, 3);
    EXPECT_EQ(third[1].count, 2);
    EXPECT_EQ(third[1].category, ResultCode::NoRingback);
    // Raised once: the streak goes on without a second alert, whatever its category.
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(w.callAccounted(ResultCode::NoRingback).empty());
        EXPECT_TRUE(w.callAccounted(ResultCode::BusyIncoming).empty());
    }
    EXPECT_EQ(kinds(w.callAccounted(ResultCode::Success)), std::vector{AlertKind::CallsRecovered});
    EXPECT_TRUE(w.callAccounted(ResultCode::Success).empty());
    // The count starts again from nothing.
    EXPECT_TRUE(w.callAccounted(ResultCode::BusyIncoming).empty());
    EXPECT_TRUE(w.callAccounted(ResultCode::NoDialTone).empty());
    EXPECT_EQ(kinds(w.callAccounted(ResultCode::NoAnswerSignal)),
              std::vector{AlertKind::LossStreak});

    AlertWatch off(AlertSettings{});
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(off.callAccounted(ResultCode::BusyIncoming).empty());
        EXPECT_FALSE(off.cycleJudged(false));
    }
}

TEST(AlertStreaks, FailedCyclesAlertOnceAndTheFirstNormCycleRecovers) {
    AlertWatch w(AlertSettings{0, 0, 2, {}});
    EXPECT_FALSE(w.cycleJudged(false));
    EXPECT_FALSE(w.cycleJudged(true));  // a "Норма" between ends the streak
    EXPECT_FALSE(w.cycleJudged(false));
    const auto second = w.cycleJudged(false);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->kind, AlertKind::FailedCycles);
    EXPECT_EQ(second->count, 2);
    EXPECT_FALSE(w.cycleJudged(false));
    const auto recovered = w.cycleJudged(true);
    ASSERT_TRUE(recovered);
    EXPECT_EQ(recovered->kind, AlertKind::CyclesRecovered);
    EXPECT_EQ(alertEventName(recovered->kind), QStringLiteral("recovery"));
    EXPECT_FALSE(w.cycleJudged(true));
}

TEST(AlertSettingsFile, EveryBadValueIsToldAndSwitchesOnlyItsAlertOff) {
    IniFile ini(QStringLiteral("ZEV7.ini"));  // a file without a path reads nothing
    ini.parse(QStringLiteral("[оповещение]\nLossStreak= 3 \nCategoryStreak=-1\nFailedCycles=2x\n"
                             "Command=\"/opt/my tools/notify.sh\" --port\n")
                  .toUtf8());
    QStringList problems;
    AlertSettings s = readAlertSettings(ini, problems);
    EXPECT_EQ(s.lossStreak, 3);
    EXPECT_EQ(s.categoryStreak, 0);
    EXPECT_EQ(s.failedCycles, 0);
    EXPECT_EQ(s.command, QStringLiteral("\"/opt/my tools/notify.sh\" --port"));
    EXPECT_TRUE(s.enabled);
    ASSERT_EQ(problems.size(), 2) << problems.join(u'|').toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("CategoryStreak=-1")));
    EXPECT_TRUE(problems[1].contains(QStringLiteral("FailedCycles=2x")));

    ini.parse(
        QStringLiteral("[Оповещение]\nLossStreak=\nFailedCycles=100001\nCommand=\"\"\n").toUtf8());
    problems.clear();
    s = readAlertSettings(ini, problems);
    EXPECT_EQ(s.lossStreak, 0);
    EXPECT_EQ(s.failedCycles, 0);
    EXPECT_TRUE(s.command.isEmpty());
    EXPECT_EQ(problems.size(), 2)
        << problems.join(u'|').toStdString();  // the empty key is simply off
}

// Records what the alerts hand on.
class RecordingStarter : public ProcessStarter {
public:
    bool startDetached(const DetachedProgram& program, QString& error) override {
        started.push_back(program);
        error = QStringLiteral("refused");
        return succeed;
    }
    std::vector<DetachedProgram> started;
    bool succeed = true;
};

class RecordingListener : public AlertListener {
public:
    void alertRaised(const PortAlert& alert) override { alerts.push_back(alert); }
    std::vector<PortAlert> alerts;
};

class AlertedRun : public PortBench {
protected:
    std::unique_ptr<PortEngine> alertedEngine(const AlertSettings& settings,
                                              ProcessStarter* starter) {
        PortServices s = services();
        s.alerts = AlertServices{settings, &listener_, starter};
        return std::make_unique<PortEngine>(kCaller, s);
    }
    QStringList alertLines() const {
        return messagesOf(protocolFile(kCaller)).filter(QStringLiteral("Оповещение"));
    }

    RecordingListener listener_;
    RecordingStarter starter_;
};

TEST_F(AlertedRun, StreaksBecomeProtocolLinesNoticesAndCommandsWithTheirEnvironment) {
    // Cycle 1: three calls busy on the incoming side, then successes; 3 of 20 lost is outside
    // the norm. Cycle 2: five successes within it.
    for (int i = 0; i < 3; ++i) {
        network_->injectFault(SimFault::BusyRingback);
    }
    writeScenario(kCaller, header(), {cycle(), cycle()});
    auto e = alertedEngine(AlertSettings{3, 0, 1, QStringLiteral("bin/notify.sh --loud"), true},
                           &starter_);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(e->outcome(), RunOutcome::Completed);

    const QStringList protocol = messagesOf(protocolFile(kCaller));
    const auto at = [&](const QString& line) { return protocol.indexOf(line); };
    const QString lossAlert = QStringLiteral("Оповещение: потерь вызовов подряд: 3");
    const QString callsBack = QStringLiteral("Оповещение снято: вызов состоялся");
    const QString cyclesAlert =
        QStringLiteral("Оповещение: циклов подряд с отметкой соответствия \"Ненорма\": 1");
    const QString cyclesBack =
        QStringLiteral("Оповещение снято: цикл с отметкой соответствия \"Норма\"");
    EXPECT_EQ(alertLines(), (QStringList{lossAlert, callsBack, cyclesAlert, cyclesBack}))
        << protocol.join(u'|').toStdString();
    const QString number = numberText(plainNumber("2222222"));
    EXPECT_LT(at(lossAlert), at(QStringLiteral("Цикл 1 %1 завершен!").arg(number)));
    EXPECT_GT(at(cyclesAlert), at(QStringLiteral("Цикл 1 %1 завершен!").arg(number)));
    EXPECT_GT(at(cyclesBack), at(QStringLiteral("Цикл 2 %1 завершен!").arg(number)));

    ASSERT_EQ(listener_.alerts.size(), 4u);
    EXPECT_EQ(listener_.alerts[0].kind, AlertKind::LossStreak);
    EXPECT_EQ(listener_.alerts[0].text, lossAlert);
    EXPECT_EQ(listener_.alerts[3].kind, AlertKind::CyclesRecovered);

    ASSERT_EQ(starter_.started.size(), 4u);
    const DetachedProgram& first = starter_.started[0];
    EXPECT_EQ(first.program, programPath(QStringLiteral("bin/notify.sh")));
    EXPECT_EQ(first.arguments, QStringList{QStringLiteral("--loud")});
    EXPECT_EQ(first.workingDirectory, programDir());
    const QProcessEnvironment& env = first.environment;
    EXPECT_EQ(env.value(QStringLiteral("ZEV7_PORT")), QString::number(kCaller));
    EXPECT_EQ(env.value(QStringLiteral("ZEV7_EVENT")), QStringLiteral("loss-streak"));
    EXPECT_EQ(env.value(QStringLiteral("ZEV7_TEXT")), lossAlert);
    EXPECT_EQ(env.value(QStringLiteral("ZEV7_OUT")), numberText(plainNumber("1111111")));
    EXPECT_EQ(env.value(QStringLiteral("ZEV7_IN")), number);
    EXPECT_EQ(env.value(QStringLiteral("ZEV7_TIME")),
              listener_.alerts[0].time.toString(Qt::ISODate));
    EXPECT_TRUE(env.contains(QStringLiteral("PATH")));  // the rest of the environment stays
    QStringList events;
    for (const DetachedProgram& p : starter_.started) {
        events << p.environment.value(QStringLiteral("ZEV7_EVENT"));
    }
    EXPECT_EQ(events, (QStringList{QStringLiteral("loss-streak"), QStringLiteral("recovery"),
                                   QStringLiteral("failed-cycles"), QStringLiteral("recovery")}));
}

TEST_F(AlertedRun, ACommandThatCannotStartCostsOneProtocolLineAndTheRunGoesOn) {
    network_->setFaultProbability(SimFault::BusyRingback, 1.0);
    writeScenario(kCaller, header(), {cycle()});
    starter_.succeed = false;
    auto e =
        alertedEngine(AlertSettings{0, 3, 0, QStringLiteral("/no/such/notify"), true}, &starter_);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(e->outcome(), RunOutcome::Completed);
    EXPECT_EQ(view_.calls().size(), 20);
    EXPECT_EQ(
        alertLines(),
        (QStringList{QStringLiteral("Оповещение: потерь вызовов подряд (Занято на входящей): 3"),
                     QStringLiteral("Оповещение: не могу запустить команду "
                                    "/no/such/notify: refused")}));
}

TEST_F(AlertedRun, AThreadThatEndsWithAnErrorIsAlwaysTold) {
    // No working copy: the port thread ends before it opens the port.
    AlertSettings onlyTheSection;
    onlyTheSection.enabled = true;
    auto e = alertedEngine(onlyTheSection, &starter_);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(e->outcome(), RunOutcome::Failed);
    ASSERT_EQ(listener_.alerts.size(), 1u);
    EXPECT_EQ(listener_.alerts[0].kind, AlertKind::ThreadError);
    EXPECT_TRUE(listener_.alerts[0].text.startsWith(
        QStringLiteral("Оповещение: работа порта завершена с ошибкой: ")))
        << listener_.alerts[0].text.toStdString();
    EXPECT_EQ(alertLines(), QStringList{listener_.alerts[0].text});
    EXPECT_TRUE(starter_.started.empty());  // no command was set

    // Without the section nothing is alerted: the protocol is the one it always was.
    listener_.alerts.clear();
    e = alertedEngine(AlertSettings{}, &starter_);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(e->outcome(), RunOutcome::Failed);
    EXPECT_TRUE(listener_.alerts.empty());
}

#ifdef Q_OS_UNIX
// Polls for a file the detached command writes; the command runs in real time, the wait is
// bounded and looks every few milliseconds.
QByteArray waitForFile(const QString& path) {
    constexpr int kLimitMs = 20000;
    constexpr int kLookMs = 5;
    QDeadlineTimer deadline(kLimitMs);
    while (!deadline.hasExpired()) {
        QFile f(path);
        if (f.exists() && f.open(QIODevice::ReadOnly)) {
            return f.readAll();
        }
        QThread::msleep(kLookMs);
    }
    return {};
}

TEST_F(AlertedRun, ARealCommandGetsTheAlertAndOneThatNeverEndsHoldsNothing) {
    // The script writes its process number and its environment, each renamed into place
    // whole and named after the event, then never ends.
    const QString dir = home_.path();
    {
        QFile f(home_.filePath(QStringLiteral("notify.sh")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            QStringLiteral("#!/bin/sh\n"
                           "out=\"%1/$ZEV7_EVENT\"\n"
                           "echo $$ > \"$out.pid.tmp\" && mv \"$out.pid.tmp\" \"$out.pid\"\n"
                           "env | grep '^ZEV7_' > \"$out.tmp\" && mv \"$out.tmp\" \"$out.env\"\n"
                           "exec sleep 100000\n")
                .arg(dir)
                .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    for (int i = 0; i < 3; ++i) {
        network_->injectFault(SimFault::NoDialTone);
    }
    writeScenario(kCaller, header(), {cycle()});
    QtProcessStarter starter;
    // A path with a folder is taken from the program directory.
    auto e = alertedEngine(AlertSettings{3, 0, 0, QStringLiteral("./notify.sh"), true}, &starter);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(e->outcome(), RunOutcome::Completed);
    EXPECT_EQ(alertLines().size(), 2) << alertLines().join(u'|').toStdString();

    // Both commands still run while the port has finished; they are ended here, by number.
    for (const char* event : {"loss-streak", "recovery"}) {
        const QByteArray pid = waitForFile(dir + QStringLiteral("/%1.pid").arg(event)).trimmed();
        ASSERT_FALSE(pid.isEmpty()) << event;
        ::kill(static_cast<pid_t>(pid.toLongLong()), SIGTERM);
    }
    const QStringList env =
        QString::fromUtf8(waitForFile(dir + QStringLiteral("/loss-streak.env"))).split(u'\n');
    EXPECT_TRUE(env.contains(QStringLiteral("ZEV7_PORT=%1").arg(kCaller)))
        << env.join(u'|').toStdString();
    EXPECT_TRUE(env.contains(QStringLiteral("ZEV7_EVENT=loss-streak")));
    EXPECT_TRUE(env.contains(QStringLiteral("ZEV7_IN=%1").arg(numberText(plainNumber("2222222")))));

    // A program that does not exist: the protocol says so at every alert, the run goes on.
    for (int i = 0; i < 3; ++i) {
        network_->injectFault(SimFault::NoDialTone);
    }
    writeScenario(kCaller, header(), {cycle()});
    e = alertedEngine(AlertSettings{3, 0, 0, QStringLiteral("./no-such-notify"), true}, &starter);
    ASSERT_TRUE(run(*e));
    EXPECT_EQ(e->outcome(), RunOutcome::Completed);
    const QStringList lines = alertLines();
    ASSERT_EQ(lines.size(), 4) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Оповещение: не могу запустить команду ")));
    EXPECT_TRUE(
        lines[1].contains(QDir::toNativeSeparators(programPath(QStringLiteral("no-such-notify")))))
        << lines[1].toStdString();
}
#endif

}  // namespace
}  // namespace zev7
