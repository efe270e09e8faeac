// zev7-db end to end: the built program on a generated database.
#include "core/port_run_marker.h"
#include "db/db_location.h"
#include "db/db_transaction.h"
#include "db/demo_database.h"
#include "db_fixture.h"
#include "support/tool_run.h"

namespace zev7::testing {
namespace {

using DbRun = ToolRun;

class DbTool : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        ASSERT_TRUE(ensureProgramFolders());
        DemoDatabaseSpec spec;
        spec.cycles = 8;
        spec.callsPerCycle = 6;
        ASSERT_EQ(fillDemoDatabase(spec, messages_).failures, 0);
    }

    // On a server the tool is given its address, as a user of a shared database gives it.
    DbRun run(const QString& command) {
        return onServer()
                   ? runWith({QStringLiteral("--db"), DbConnection::options().server, command})
                   : runWith({command});
    }

    DbRun runWith(const QStringList& arguments) {
        return runTool(QStringLiteral(ZEV7_DB_PATH),
                       QStringList{QStringLiteral("--home"), programDir()} + arguments);
    }

    static QStringList content() {
        QStringList all;
        for (const char* t : {"Table_Out", "Table_In", "Table_Cycle", "Table_Seans",
                              "Table_ResSeans", "Table_ResCycle", "Table_Sett_Cycle_Dec"}) {
            all << rows(QStringLiteral("SELECT * FROM %1 ORDER BY %2")
                            .arg(QLatin1String(t), dbDialect().insertionOrder()));
        }
        return all;
    }
};

TEST_F(DbTool, CompactsChecksAndCountsKeepingEveryRow) {
    // Three cycles came from another station; the tool's own names none.
    QSqlDatabase db = DbConnection::main();
    ASSERT_TRUE(execSql(db, QStringLiteral("UPDATE Table_Cycle SET STATION = 'Самара' "
                                           "WHERE CYCLE_ID <= 3")));
    const QStringList before = content();
    DbRun r = run(QStringLiteral("compact"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("[ 15%] Table_ResCycle.db...")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("[100%] Table_Out.db...")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Сжатие БД завершено")));
    EXPECT_EQ(content(), before);

    r = run(QStringLiteral("check"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("нарушений нет")));

    r = run(QStringLiteral("stats"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Циклов: 8\nВызовов: 48\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Дни: с 12.01.2026 по 12.01.2026")));
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("Пункт измерений Самара: циклов 3, вызовов 18\n"
                                      "Пункт измерений —: циклов 5, вызовов 30")))
        << r.out.toStdString();
}

TEST_F(DbTool, CheckFindsCallsThatLostTheirCycle) {
    QSqlDatabase db = DbConnection::main();
    ASSERT_TRUE(execSql(db, QStringLiteral("DELETE FROM Table_Cycle WHERE CYCLE_ID = 3")));
    const DbRun r = run(QStringLiteral("check"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("Таблица Table_Seans: записей без своей записи в "
                                      "Table_Cycle: 6")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("нарушений: 3")));
}

// While a port of the directory runs, the upkeep waits; counting does not.
TEST_F(DbTool, RefusedWhileAPortRuns) {
    PortRunMarker port(2);
    ASSERT_TRUE(port.acquire());
    for (const char* command : {"compact", "clear-work", "check"}) {
        const DbRun r = run(QString::fromLatin1(command));
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_TRUE(r.err.contains(
            QStringLiteral("Идет работа с портами! Повторите после завершения всех сценариев!")))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("COM2")));
    }
    EXPECT_EQ(run(QStringLiteral("stats")).exitCode, 0);
    port.release();
    EXPECT_EQ(run(QStringLiteral("clear-work")).exitCode, 0);
}

// The address of the database: the option, else ZEV7_DB; a wrong one is a wrong command line.
TEST_F(DbTool, TakesTheDatabaseFromOptionOrEnvironment) {
    DbRun r =
        runWith({QStringLiteral("--db"), QStringLiteral("mysql://h/n"), QStringLiteral("stats")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Недопустимый адрес БД \"mysql://h/n\"")))
        << r.err.toStdString();

    // Nobody listens on port 1 of this machine.
    qputenv(kDbUrlEnvironment, "postgresql://127.0.0.1:1/zev7");
    r = runWith({QStringLiteral("stats")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("postgresql://127.0.0.1:1/zev7")))
        << r.err.toStdString();
    const QString here = onServer() ? DbConnection::options().server : QStringLiteral("sqlite");
    r = runWith({QStringLiteral("--db"), here, QStringLiteral("stats")});
    qunsetenv(kDbUrlEnvironment);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Циклов: 8\n")));
}

}  // namespace
}  // namespace zev7::testing
