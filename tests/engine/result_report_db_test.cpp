// A port's whole run stored in the results database and written to its report, as zev7-run
// and the program's port threads do it: the figures in the database are the protocol's.
#include "engine/report/result_report_db.h"
#include "db/db_connection.h"
#include "engine/report/result_report_finish.h"
#include "engine/supervisor/port_supervisor.h"
#include "port_engine_support.h"
#include "support/core_app.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSqlQuery>

namespace zev7 {
namespace {

using porttest::kCaller;

class DatabaseRun : public porttest::PortBench {
protected:
    ~DatabaseRun() override {
        DbConnection::closeForThisThread();
        DbConnection::shutdown();
    }

    PortServices databaseServices() {
        PortServices s = services();
        s.makeResults = [this](int port) -> std::unique_ptr<ResultSink> {
            ReportFinishing batch;
            batch.batchReportName = [](int) { return QString(); };
            return makeDatabaseReportSink(port, messages_, registry_.resultFilesMutex(), clock_,
                                          nullptr, batch, &unstored_);
        };
        return s;
    }

    int count(const QString& sql) {
        QSqlQuery q(DbConnection::forThisThread());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toInt() : -1;
    }

    int reportRows() {
        QFile f(batchReportPath(kCaller, QString()));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        // A call row starts with the call's number.
        static const QRegularExpression callRow(QStringLiteral("<tr><td align=center>\\d"));
        return static_cast<int>(QString::fromLatin1(f.readAll()).count(callRow));
    }

    std::atomic<int> unstored_{0};
};

TEST_F(DatabaseRun, TheDemoCycleIsStoredCallByCall) {
    ASSERT_TRUE(DbConnection::setup(&messages_));
    writeScenario(kCaller, header(), {cycle()});
    PortEngine e(kCaller, databaseServices());
    ASSERT_TRUE(run(e));
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join('|').toStdString();

    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Out"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_In"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Cycle WHERE STATE_ID = 1"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Sett_Cycle_Dec"), 24);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Seans WHERE CONNECT_ID = 0"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_ResSeans WHERE ABS(RES_ATT - 6) < 0.5"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_ResCycle"), 16);
    EXPECT_EQ(count("SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE PARAM_RES_ID = 1"), 5);
    EXPECT_EQ(count("SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE PARAM_RES_ID = 2"), 5);
    EXPECT_EQ(count("SELECT RESCYC_VALUE_PERC FROM Table_ResCycle WHERE PARAM_RES_ID = 2"), 100);
    EXPECT_EQ(reportRows(), 5);
}

TEST_F(DatabaseRun, AReadOnlyDatabaseIsReportedAndTheRunGoesOn) {
    ASSERT_TRUE(DbConnection::setup(&messages_));
    DbConnection::closeForThisThread();
    DbConnection::shutdown();
    QFile::setPermissions(DbConnection::filePath(), QFile::ReadOwner | QFile::ReadGroup);
    ASSERT_TRUE(DbConnection::setup(&messages_));

    writeScenario(kCaller, header(), {cycle()});
    PortEngine e(kCaller, databaseServices());
    ASSERT_TRUE(run(e));
    const QStringList texts = messages_.texts();
    ASSERT_FALSE(texts.isEmpty());
    for (const QString& t : texts) {
        EXPECT_EQ(t, QString::fromUtf8("Не могу записать в БД."));
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Seans"), 0);
    EXPECT_EQ(reportRows(), 5);
    // Every lost call is counted, and the protocol says which call of which cycle it was.
    EXPECT_EQ(unstored_.load(), 5);
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    for (int call = 1; call <= 5; ++call) {
        EXPECT_TRUE(protocol.contains(
            QString::fromUtf8("Цикл 1 -/-/-/-/-/2222222/- вызов %1: Не могу записать в БД.")
                .arg(call)))
            << call;
    }
}

// A result writer whose server goes away at the second call and is back at the fourth.
class OutageSink : public porttest::RecordingResultSink {
public:
    using porttest::RecordingResultSink::RecordingResultSink;
    void WriteResultSection(ResultSection mode, const ResultContext& c) override {
        porttest::RecordingResultSink::WriteResultSection(mode, c);
        if (mode == ResultSection::CallRow) {
            losses_ += c.callNumber == 2 ? 1 : 0;
            returns_ += c.callNumber == 4 ? 1 : 0;
        }
    }
    int serverLosses() const override { return losses_; }
    int serverReturns() const override { return returns_; }

private:
    int losses_ = 0;
    int returns_ = 0;
};

TEST_F(DatabaseRun, TheProtocolSaysOnceThatTheServerWentAwayAndOnceThatItCameBack) {
    writeScenario(kCaller, header(), {cycle()});
    PortServices s = services();
    s.makeResults = [this](int) -> std::unique_ptr<ResultSink> {
        return std::make_unique<OutageSink>(results_, deletions_);
    };
    PortEngine e(kCaller, s);
    ASSERT_TRUE(run(e));
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    const QString away = QString::fromUtf8(
        "Сервер БД недоступен: результаты сохраняются на станции до его возвращения.");
    const QString back = QString::fromUtf8(
        "Сервер БД снова доступен: сохраненные на станции результаты переданы на сервер.");
    EXPECT_EQ(protocol.count(away), 1) << protocol.join('\n').toStdString();
    EXPECT_EQ(protocol.count(back), 1);
    EXPECT_LT(protocol.indexOf(away), protocol.indexOf(back));
}

// ---- Port threads ending while the program goes on to its end ---------------------------------

// A thread that has returned from run() may still be in its exit for a while after whoever
// waited for it has gone on. Here every port thread holds its exit back until the main thread
// has looked, which widens that moment to all of it: nothing of the thread's database
// connection may be left for the exit to tear down.
QSemaphore threadExitGate;

struct HeldThreadExit {
    bool armed = false;
    ~HeldThreadExit() {
        if (armed) {
            // Released by the test at once; the bound only keeps a broken build from hanging.
            threadExitGate.tryAcquire(1, 30000);
        }
    }
};

thread_local HeldThreadExit heldThreadExit;

// The window's Stop after the first call, seen on the port's thread.
class StopAfterFirstCall : public RecordingPortView {
public:
    void callAccounted(int port, const CallRefresh& refresh) override {
        RecordingPortView::callAccounted(port, refresh);
        heldThreadExit.armed = true;
        supervisor->stopPort(port);
    }
    PortSupervisor* supervisor = nullptr;
};

TEST_F(DatabaseRun, APortThreadLeavesNoConnectionBehindWhenItEnds) {
    test::coreApp();
    ASSERT_TRUE(DbConnection::setup(&messages_));
    constexpr int kThreads = 24;
    StopAfterFirstCall window;
    PortServices s = databaseServices();
    PortSupervisor supervisor(
        PortServices{clock_, messages_, window, registry_, s.makePort, s.makeResults});
    window.supervisor = &supervisor;
    QStringList leftBehind;
    int ended = 0;
    QEventLoop loop;
    QObject::connect(&supervisor, &PortSupervisor::portEnded, &loop, [&] {
        // The thread has been joined: the program may now end at once.
        for (const QString& name : QSqlDatabase::connectionNames()) {
            if (name != QString::fromLatin1(kMainConnectionName)) {
                leftBehind.append(name);
            }
        }
        threadExitGate.release();
        if (++ended == kThreads) {
            loop.quit();
            return;
        }
        writeScenario(kCaller, header(), {cycle()});
        if (supervisor.startPort(kCaller) != 0) {
            ADD_FAILURE() << "round " << ended;
            loop.quit();
        }
    });
    writeScenario(kCaller, header(), {cycle()});
    ASSERT_EQ(supervisor.startPort(kCaller), 0);
    loop.exec();
    EXPECT_EQ(leftBehind, QStringList());
    EXPECT_EQ(window.calls().size(), kThreads);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Seans"), kThreads);
    EXPECT_EQ(unstored_.load(), 0);
}

}  // namespace
}  // namespace zev7
