// A station on a server whose server goes away: its port keeps every call in the station's
// spool and sends it when the server is back (each call once on the server), "zev7-db push"
// sends a spool by hand, and "zev7-db copy" brings a station's results in and goes on where an
// earlier copy stopped. They need a server to lose: tests/on_postgresql.sh runs them.
#include "core/clocks.h"
#include "core/port_run_marker.h"
#include "core/program_dir.h"
#include "db/db_schema.h"
#include "db/server_spool.h"
#include "dbtransfer/spool_push.h"
#include "dbtransfer/station_writer.h"
#include "import_fixture.h"
#include "support/tool_run.h"

#include <QUrl>

namespace zev7::testing {
namespace {

class ServerOutage : public ResultImportTest {
protected:
    void SetUp() override {
        ResultImportTest::SetUp();
        if (!onServer()) {
            GTEST_SKIP() << "needs a server to lose (tests/on_postgresql.sh)";
        }
        name_ = value(QStringLiteral("SELECT current_database()")).toString();
        // The questions come from the server's own database: the one under test is closed.
        DbOptions control = DbConnection::options();
        QUrl url(control.server);
        url.setPath(QStringLiteral("/postgres"));
        control.server = url.toString();
        control_ = DbConnection::open(QStringLiteral("ZEV7_test_control"), control);
        ASSERT_TRUE(control_.isOpen()) << control_.lastError().text().toStdString();
    }
    void TearDown() override {
        if (control_.isOpen()) {
            if (!otherName_.isEmpty()) {
                controlExec(
                    QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(otherName_));
            }
            serverBack();
            control_.close();
        }
        control_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("ZEV7_test_control"));
        ResultImportTest::TearDown();
    }

    // The database takes no new connection and every other one is ended, as when the server
    // stops; the test's own question connection stays.
    void serverAway() {
        ASSERT_TRUE(controlExec(
            QStringLiteral("ALTER DATABASE \"%1\" ALLOW_CONNECTIONS false").arg(name_)));
        ASSERT_TRUE(controlExec(
            QStringLiteral("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity "
                           "WHERE datname = '%1'")
                .arg(name_)));
    }
    void serverBack() {
        controlExec(QStringLiteral("ALTER DATABASE \"%1\" ALLOW_CONNECTIONS true").arg(name_));
    }
    bool controlExec(const QString& sql) {
        QSqlQuery q(control_);
        const bool ok = q.exec(sql);
        EXPECT_TRUE(ok) << q.lastError().text().toStdString();
        return ok;
    }
    // A count on the database under test, asked on a connection of its own.
    int onServerCount(const QString& sql) {
        const QString name = QStringLiteral("ZEV7_test_count");
        int n = -1;
        {
            QSqlDatabase db = DbConnection::open(name, DbConnection::options());
            QSqlQuery q(db);
            n = q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
        }
        QSqlDatabase::removeDatabase(name);
        return n;
    }

    // The calls on the server: how many rows, how many distinct (cycle, call) pairs.
    std::pair<int, int> serverCalls() {
        return {
            onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_Seans")),
            onServerCount(QStringLiteral(
                "SELECT COUNT(*) FROM (SELECT DISTINCT CYCLE_ID, SEANS_ID FROM Table_Seans) s"))};
    }

    static DbCallRecord callAt(double begin, int n) {
        return call(begin + n / 1440.0, 20, 0, -20.0, -12.0, -15.0);
    }
    static DbCycleResults counted(int n) { return DbCycleResults::fromCounts(n, n, {}); }

    // The cycle's calls first..last written into the spool file as a port there would.
    static void spoolCycle(const ScenarHeader& h, const CycleRecord& c, double begin, int first,
                           int last) {
        QSqlDatabase spool = DbConnection::spoolForThisThread();
        ASSERT_TRUE(spool.isOpen()) << DbConnection::lastOpenError().toStdString();
        RecordingMessages messages;
        TDBSaveData writer(messages);
        writer.setConnectionName(spool.connectionName(), DbConnection::options().station);
        ASSERT_TRUE(writer.SaveScenarioStart(h) && writer.SaveCycleStart(begin, c, h));
        for (int n = first; n <= last; ++n) {
            ASSERT_TRUE(writer.SaveTestCall(c, counted(n), callAt(begin, n), n, n, n));
        }
        QString error;
        ASSERT_TRUE(ServerSpool(spool).markCycle(writer.cycleId(), 1, &error));
    }

    using Run = ToolRun;
    static Run zev7db(const QStringList& args) {
        return runTool(QStringLiteral(ZEV7_DB_PATH), args);
    }

    QSqlDatabase control_;
    QString name_;
    QString otherName_;  // a second database on the same server, dropped at the end
};

TEST_F(ServerOutage, APortKeepsEveryCallInItsSpoolAndTheServerGetsEachOnce) {
    // The station's name goes with every cycle, the ones that waited in the spool too.
    DbOptions named = DbConnection::options();
    named.station = QStringLiteral("ST1");
    ASSERT_TRUE(DbConnection::setup(&messages_, named));
    ManualClock clock;
    StationWriter writer(1, messages_, clock);
    const ScenarHeader h = header(number(outA()));
    const CycleRecord c = cycle(number(inA()), 12, 20);
    const double begin = ole(2026, 12, 1, 10, 0, 0);
    int n = 0;
    const auto nextCall = [&] {
        ++n;
        return writer.saveTestCall(c, counted(n), callAt(begin, n), n, n, n);
    };
    ASSERT_TRUE(writer.saveScenarioStart(h) && writer.saveCycleStart(begin, c, h));
    ASSERT_TRUE(nextCall() && nextCall() && nextCall());

    // The server stops in the middle of the cycle: the calls go on into the spool, and the
    // server is not asked again before its pace allows.
    serverAway();
    ASSERT_TRUE(nextCall() && nextCall() && nextCall());
    EXPECT_TRUE(writer.spooling());
    clock.advance(StationWriter::kServerRetryMs - 1000);
    ASSERT_TRUE(nextCall());
    EXPECT_EQ(writer.serverLosses(), 1);
    EXPECT_EQ(writer.serverReturns(), 0);

    // Back: the next call sends the spool (the cycle completed on the server) and goes there.
    serverBack();
    clock.advance(1000);
    ASSERT_TRUE(nextCall() && nextCall());
    EXPECT_FALSE(writer.spooling());
    EXPECT_EQ(writer.serverReturns(), 1);
    EXPECT_EQ(writer.sentCycles(), 1);
    EXPECT_EQ(serverCalls(), std::make_pair(9, 9));
    EXPECT_EQ(onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_Cycle")), 1);
    EXPECT_EQ(onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_ResSeans")), 9);
    EXPECT_EQ(onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_Sett_Cycle_Dec")), 24);
    EXPECT_EQ(onServerCount(QStringLiteral(
                  "SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE PARAM_RES_ID = 1")),
              9);

    // Away again for the whole of the next cycle: it waits in the spool whole, and goes at the
    // first write after the server is back.
    serverAway();
    const CycleRecord c2 = cycle(number(outB()), 2, 5);
    const double begin2 = ole(2026, 12, 1, 11, 0, 0);
    ASSERT_TRUE(writer.saveCycleStart(begin2, c2, h));
    ASSERT_TRUE(writer.saveTestCall(c2, counted(1), callAt(begin2, 1), 1, 1, 1) &&
                writer.saveTestCall(c2, counted(2), callAt(begin2, 2), 2, 2, 2));
    EXPECT_TRUE(ServerSpool::holdsCycles(DbConnection::filePath(), 1));
    QSqlDatabase spool = DbConnection::spoolForThisThread();
    EXPECT_TRUE(DbSchema::existingColumns(spool, QStringLiteral("Table_Cycle"))
                    .contains(QStringLiteral("STATION")));
    serverBack();
    clock.advance(StationWriter::kServerRetryMs);
    const CycleRecord c3 = cycle(number(inA()), 1, 5);
    const double begin3 = ole(2026, 12, 1, 12, 0, 0);
    ASSERT_TRUE(writer.saveCycleStart(begin3, c3, h));
    ASSERT_TRUE(writer.saveTestCall(c3, counted(1), callAt(begin3, 1), 1, 1, 1));

    // Away for the last call of the run: its end sends the spool, without waiting for the pace.
    serverAway();
    ASSERT_TRUE(writer.saveTestCall(c3, counted(2), callAt(begin3, 2), 2, 2, 2));
    serverBack();
    writer.endOfRun();

    EXPECT_EQ(writer.serverLosses(), 3);
    EXPECT_EQ(writer.serverReturns(), 3);
    EXPECT_EQ(serverCalls(), std::make_pair(13, 13));
    EXPECT_EQ(onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_ResCycle WHERE "
                                           "PARAM_RES_ID = 1 AND RESCYC_VALUE_CNT = 2")),
              2);
    EXPECT_EQ(onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_Cycle")), 3);
    EXPECT_EQ(
        onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_Cycle WHERE STATION = 'ST1'")), 3);
    EXPECT_FALSE(ServerSpool::holdsCycles(DbConnection::filePath()));
    EXPECT_EQ(writer.failureCount(), 0);
    EXPECT_EQ(writer.unstoredCalls(), 0);
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join('|').toStdString();
}

TEST_F(ServerOutage, APushCompletesWhatTheServerHasInPartAndSkipsWhatItHasWhole) {
    const ScenarHeader h = header(number(outA()));
    const CycleRecord whole = cycle(number(inA()), 3, 10);
    const CycleRecord part = cycle(number(outB()), 4, 10);
    const double wholeStart = ole(2026, 12, 2, 9, 0, 0);
    const double partStart = ole(2026, 12, 2, 10, 0, 0);
    {
        // The server has the first cycle whole and two calls of the second.
        RecordingMessages messages;
        TDBSaveData server(messages);
        ASSERT_TRUE(server.SaveScenarioStart(h) && server.SaveCycleStart(wholeStart, whole, h));
        for (int n = 1; n <= 3; ++n) {
            ASSERT_TRUE(server.SaveTestCall(whole, counted(n), callAt(wholeStart, n), n, n, n));
        }
        ASSERT_TRUE(server.SaveCycleStart(partStart, part, h));
        for (int n = 1; n <= 2; ++n) {
            ASSERT_TRUE(server.SaveTestCall(part, counted(n), callAt(partStart, n), n, n, n));
        }
    }
    // The spool has the first cycle whole; of the second, the call the server has already and
    // the two that came after it (the commit of call 2 reached the server, its answer did not).
    ASSERT_NO_FATAL_FAILURE(spoolCycle(h, whole, wholeStart, 1, 3));
    ASSERT_NO_FATAL_FAILURE(spoolCycle(h, part, partStart, 2, 4));
    const QStringList home{QStringLiteral("--home"), programDir(), QStringLiteral("--db"),
                           DbConnection::options().server, QStringLiteral("push")};

    // Not while a port of the directory runs: it sends its spool itself.
    {
        ASSERT_TRUE(ensureProgramFolders());
        PortRunMarker port(3);
        ASSERT_TRUE(port.acquire());
        const Run refused = zev7db(home);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("COM3"))) << refused.err.toStdString();
    }
    const Run pushed = zev7db(home);
    EXPECT_EQ(pushed.exitCode, 0) << pushed.err.toStdString();
    EXPECT_TRUE(
        pushed.out.contains(QStringLiteral("Передано на сервер циклов: 2, осталось на "
                                           "станции: 0")))
        << pushed.out.toStdString();
    EXPECT_EQ(serverCalls(), std::make_pair(7, 7));
    EXPECT_EQ(onServerCount(QStringLiteral("SELECT COUNT(*) FROM Table_Cycle")), 2);
    // The second cycle's results are the spool's, which counted all four calls.
    EXPECT_EQ(onServerCount(
                  QStringLiteral("SELECT COUNT(*) FROM Table_ResCycle WHERE PARAM_RES_ID = 1 AND "
                                 "RESCYC_VALUE_CNT = 4")),
              1);
    EXPECT_FALSE(ServerSpool::holdsCycles(DbConnection::filePath()));

    const Run again = zev7db(home);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.contains(QStringLiteral("На станции нет результатов")));
}

TEST_F(ServerOutage, ACopyBringsAStationInAndGoesOnWhereItStopped) {
    storeSourceCycles();
    const QStringList before = content();
    ASSERT_NO_FATAL_FAILURE(writeAsFile(source_.filePath(QStringLiteral("ZEV7.sqlite"))));
    emptyOwnDatabase();
    const QStringList args{QStringLiteral("copy"), QStringLiteral("--from"), source_.path(),
                           QStringLiteral("--to"), DbConnection::options().server};

    Run r = zev7db(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("[100%] Ввод циклов...")));
    EXPECT_EQ(content(), before);

    // A copy that stopped after its first cycle: the second run brings the rest, and only it.
    QString error;
    QSqlDatabase server = DbConnection::main();
    const int last = value(QStringLiteral("SELECT MAX(CYCLE_ID) FROM Table_Cycle")).toInt();
    ASSERT_TRUE(deleteCycleRows(server, last, &error)) << error.toStdString();
    r = zev7db(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("Циклов в источнике: 2, передано: 1, дополнено: 0, уже были на сервере: 1")))
        << r.out.toStdString();
    EXPECT_EQ(content(), before);

    // Without a server named, or with something that is no server's address: nothing happens.
    r = zev7db({QStringLiteral("copy"), QStringLiteral("--from"), source_.path(),
                QStringLiteral("--to"), QStringLiteral("zev7.example:5432")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("postgresql://"))) << r.err.toStdString();
}

// A station that kept its results on a server of its own moves onto this one: its cycles come
// over once, and a database is never its own source.
TEST_F(ServerOutage, ACopyFromAnotherServerBringsItsCyclesOnce) {
    storeSourceCycles();
    const QStringList before = content();
    ASSERT_NO_FATAL_FAILURE(writeAsFile(source_.filePath(QStringLiteral("ZEV7.sqlite"))));
    emptyOwnDatabase();
    const QString server = DbConnection::options().server;
    otherName_ = name_ + QStringLiteral("_other");
    ASSERT_TRUE(controlExec(QStringLiteral("CREATE DATABASE \"%1\"").arg(otherName_)));
    QUrl url(server);
    url.setPath(QLatin1Char('/') + otherName_);
    const QString other = url.toString();
    Run r = zev7db({QStringLiteral("copy"), QStringLiteral("--from"), source_.path(),
                    QStringLiteral("--to"), other});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(content(), QStringList());

    const QStringList args{QStringLiteral("copy"), QStringLiteral("--from"), other,
                           QStringLiteral("--to"), server};
    r = zev7db(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(content(), before);
    r = zev7db(args);
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("Циклов в источнике: 2, передано: 0, дополнено: 0, уже были на сервере: 2")))
        << r.out.toStdString();
    EXPECT_EQ(content(), before);

    r = zev7db(
        {QStringLiteral("copy"), QStringLiteral("--from"), server, QStringLiteral("--to"), server});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("та же БД"))) << r.err.toStdString();
}

}  // namespace
}  // namespace zev7::testing
