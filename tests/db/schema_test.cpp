// The database as the program creates it, and the selection SQL of the database windows
// written for it.
#include "db/db_check.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "db_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <memory>
#include <thread>

namespace zev7::testing {
namespace {

using SchemaTest = DbTest;

// The layout version the database is stamped with.
int schemaVersion() {
    if (!DbConnection::options().server.isEmpty()) {
        static const QRegularExpression number(QStringLiteral("ZEV7 layout (\\d+)"));
        QSqlQuery q(DbConnection::main());
        q.exec(QStringLiteral("SELECT obj_description(to_regclass('table_cycle'))"));
        return q.next() ? number.match(q.value(0).toString()).captured(1).toInt() : -1;
    }
    QSqlQuery q(DbConnection::main());
    q.exec(QStringLiteral("PRAGMA user_version"));
    return q.next() ? q.value(0).toInt() : -1;
}

TEST_F(SchemaTest, StartUpCreatesEveryTableWithItsDictionaries) {
    EXPECT_TRUE(onServer() ||
                QFileInfo::exists(home_.filePath(QStringLiteral("ZEV7DBASE/ZEV7.sqlite"))));
    EXPECT_EQ(DbConnection::main().connectionName(), QStringLiteral("ZEV7"));

    for (const TableDef& def : DbSchema::tables()) {
        EXPECT_TRUE(tableExists(def.name)) << def.name.toStdString();
    }
    EXPECT_EQ(DbSchema::tables().size(), 15);

    // The working tables are filled with "SELECT *": their columns follow their sources'.
    const QStringList cycleColumns = columnsOf(QStringLiteral("Table_Cycle"));
    EXPECT_EQ(cycleColumns,
              (QStringList{"CYCLE_ID", "OUT_ID", "IN_ID", "DATE_ON", "TIME_ON", "DAY_WEEK_ON_ID",
                           "DATE_OFF", "TIME_OFF", "DAY_WEEK_OFF_ID", "STATE_ID", "OUT_TELNUM",
                           "IN_TELNUM", "STATION"}));
    EXPECT_EQ(columnsOf(QStringLiteral("TEMP_CYCLE")), cycleColumns);
    EXPECT_EQ(columnsOf(QStringLiteral("TEMP_RESSEANS")),
              columnsOf(QStringLiteral("Table_ResSeans")));

    EXPECT_EQ(count(QStringLiteral("Table_ResParam")), 16);
    EXPECT_EQ(
        value(QStringLiteral("SELECT PARAM_RES_STR FROM Table_ResParam WHERE PARAM_RES_ID = 3")),
        QStringLiteral("Всего потерь вызовов"));
    EXPECT_EQ(count(QStringLiteral("Table_SettParam_Cycle")), 24);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT PARAM_CYCLE_STR FROM Table_SettParam_Cycle WHERE PARAM_CYCLE_ID = 24")),
              QStringLiteral("Длительность сигнала от исходящей, с"));
    EXPECT_EQ(rows(QStringLiteral("SELECT STATE_ID FROM TABLE_CYCLESTATE ORDER BY 1")),
              (QStringList{"0", "1", "2"}));
    EXPECT_EQ(count(QStringLiteral("TABLE_RESCALLPARAMSEANS")), 15);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT CONNECT_STR FROM TABLE_RESCALLPARAMSEANS WHERE CONNECT_ID = -999")),
              QStringLiteral(""));
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT CONNECT_STR FROM TABLE_RESCALLPARAMSEANS WHERE CONNECT_ID = -3000")),
              QStringLiteral("Нет сигнала \"Отбой\""));
    // The import of an older database takes "no value" from here.
    EXPECT_EQ(rows(QStringLiteral("SELECT BAD_ID, CAST(BAD_STR AS FLOAT) FROM Table_BadParam")),
              QStringList{"0|NULL"});

    // Every dictionary text fits its column.
    EXPECT_LE(
        value(QStringLiteral("SELECT MAX(length(PARAM_RES_STR)) FROM Table_ResParam")).toInt(),
        kResParamTextLength);
    EXPECT_LE(
        value(QStringLiteral("SELECT MAX(length(PARAM_CYCLE_STR)) FROM Table_SettParam_Cycle"))
            .toInt(),
        kSettParamTextLength);
    EXPECT_LE(value(QStringLiteral("SELECT MAX(length(STATE_STR)) FROM TABLE_CYCLESTATE")).toInt(),
              kStateTextLength);
    EXPECT_LE(value(QStringLiteral("SELECT MAX(length(CONNECT_STR)) FROM TABLE_RESCALLPARAMSEANS"))
                  .toInt(),
              kConnectTextLength);

    EXPECT_EQ(schemaVersion(), kSchemaVersion);
    if (!onServer()) {
        EXPECT_EQ(value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    }
}

TEST_F(SchemaTest, StartingAgainKeepsTheDataAndRestoresMissingTables) {
    TDBSaveData writer(messages_);
    ASSERT_TRUE(writer.SaveOutNumber(number({"-", "-", "(495)", "-", "123", "4567", "-"})));
    {
        QSqlDatabase db = DbConnection::main();
        ASSERT_TRUE(execSql(db, QStringLiteral("UPDATE Table_ResParam SET PARAM_RES_STR = 'своё' "
                                               "WHERE PARAM_RES_ID = 1")));
        ASSERT_TRUE(execSql(db, QStringLiteral("DROP TABLE Table_ResSeans")));
    }

    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 1);
    EXPECT_EQ(count(QStringLiteral("Table_ResParam")), 16);
    // Dictionary rows already there are the installation's own and stay as they are.
    EXPECT_EQ(
        value(QStringLiteral("SELECT PARAM_RES_STR FROM Table_ResParam WHERE PARAM_RES_ID = 1")),
        QStringLiteral("своё"));
    EXPECT_TRUE(tableExists(QStringLiteral("Table_ResSeans")));
    // The writer's own connection was reopened and goes on writing.
    EXPECT_TRUE(writer.SaveInNumber(number({"8", "-", "812", "-", "200", "3000", "-"})));
}

TEST_F(SchemaTest, AnOlderDatabaseGetsTheStationAndKeepsItsCycles) {
    TDBSaveData writer(messages_);
    const ScenarHeader h = header(number({"-", "-", "(495)", "-", "123", "4567", "-"}));
    const CycleRecord c = cycle(number({"8", "-", "812", "-", "200", "3000", "-"}), 3, 6);
    ASSERT_TRUE(writer.SaveScenarioStart(h));
    ASSERT_TRUE(writer.SaveCycleStart(ole(2026, 1, 14, 10, 0, 0), c, h));
    const int older = writer.cycleId();
    // The layout before stations: the cycle tables end with IN_TELNUM.
    {
        QSqlDatabase db = DbConnection::main();
        ASSERT_TRUE(execSql(db, QStringLiteral("DROP INDEX Table_Cycle_Station")));
        for (const char* table : {table::Cycle, table::TempCycle}) {
            ASSERT_TRUE(execSql(
                db,
                QStringLiteral("ALTER TABLE %1 DROP COLUMN STATION").arg(QLatin1String(table))));
        }
        ASSERT_TRUE(execSql(db, dbDialect().setSchemaVersion(1)));
    }
    ASSERT_FALSE(columnsOf(QStringLiteral("Table_Cycle")).contains(QStringLiteral("STATION")));
    // Such a database is sound, also while it cannot be brought up to date (a read-only file).
    for (const QString& problem : checkDatabase(DbConnection::main())) {
        EXPECT_FALSE(problem.contains(QStringLiteral("Table_Cycle")) ||
                     problem.contains(QStringLiteral("TEMP_CYCLE")))
            << problem.toStdString();
    }

    DbOptions options = DbConnection::options();
    options.station = QStringLiteral("Самара");
    ASSERT_TRUE(DbConnection::setup(&messages_, options));
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(columnsOf(QStringLiteral("Table_Cycle")).last(), QStringLiteral("STATION"));
    EXPECT_EQ(columnsOf(QStringLiteral("TEMP_CYCLE")), columnsOf(QStringLiteral("Table_Cycle")));
    EXPECT_EQ(schemaVersion(), kSchemaVersion);
    ASSERT_TRUE(writer.SaveCycleStart(ole(2026, 1, 14, 11, 0, 0), c, h));
    EXPECT_EQ(rows(QStringLiteral("SELECT CYCLE_ID, STATION FROM Table_Cycle ORDER BY 1")),
              (QStringList{QStringLiteral("%1|NULL").arg(older),
                           QStringLiteral("%1|Самара").arg(writer.cycleId())}));
}

TEST_F(SchemaTest, AFileThatIsNoDatabaseIsReportedNotUsed) {
    if (onServer()) {
        GTEST_SKIP() << "a server keeps no file of its own here";
    }
    DbConnection::shutdown();
    {
        QFile damaged(DbConnection::filePath());
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(QByteArray(4096, '\x5a'));
    }
    EXPECT_FALSE(DbConnection::setup(&messages_, DbConnection::options()));
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_TRUE(messages_.texts()[0].startsWith(QStringLiteral("Не могу открыть БД:")));
    EXPECT_TRUE(messages_.texts()[0].contains(QStringLiteral("ZEV7.sqlite")));

    messages_.clear();
    TDBSaveData writer(messages_);
    EXPECT_FALSE(writer.SaveOutNumber(number({"-", "-", "-", "-", "-", "1", "-"})));
    EXPECT_EQ(messages_.texts(), QStringList{QStringLiteral("Не могу записать в БД.")});
}

TEST_F(SchemaTest, TheAliasFollowsTheProgramDirectory) {
    if (onServer()) {
        GTEST_SKIP() << "a server database does not follow the program directory";
    }
    const QString first = DbConnection::main().databaseName();
    const QString writerFirst = DbConnection::forThisThread().databaseName();
    EXPECT_EQ(writerFirst, first);

    test::TempHome other;
    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    EXPECT_EQ(DbConnection::main().databaseName(),
              QDir(other.path()).filePath(QStringLiteral("ZEV7DBASE/ZEV7.sqlite")));
    EXPECT_EQ(DbConnection::forThisThread().databaseName(), DbConnection::main().databaseName());
    EXPECT_NE(DbConnection::main().databaseName(), first);
}

TEST_F(SchemaTest, AWritingThreadHasItsOwnConnectionForItsRun) {
    QString threadConnection;
    bool saved = false;
    bool savedWithout = true;
    bool gone = false;
    std::thread port([&] {
        {
            ThreadDbConnection connection;
            TDBSaveData writer(messages_);
            saved = writer.SaveOutNumber(number({"-", "-", "(495)", "-", "123", "4567", "-"}));
            threadConnection = DbConnection::forThisThread().connectionName();
        }
        // Closed and forgotten with the guard, on the thread, before the thread ends.
        gone = !QSqlDatabase::contains(threadConnection);
        // Without one a worker writes nothing (and opens nothing its exit would have to close).
        TDBSaveData writer(messages_);
        savedWithout = writer.SaveOutNumber(number({"-", "-", "(495)", "-", "123", "4568", "-"}));
    });
    port.join();
    EXPECT_TRUE(saved);
    EXPECT_FALSE(savedWithout);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(threadConnection.isEmpty());
    EXPECT_NE(threadConnection, DbConnection::main().connectionName());
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 1);
}

// The selection windows' SQL, written with the dialect's literals.
class SelectionSqlTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        writer_ = std::make_unique<TDBSaveData>(messages_);
        header_ = header(number({"-", "-", "(495)", "-", "123", "4567", "-"}));
        ASSERT_TRUE(writer_->SaveScenarioStart(header_)) << writer_->lastError().toStdString();
    }

    // One cycle of one successful call that ends at the given moment.
    int addCycle(const QDateTime& start, const QDateTime& end) {
        const CycleRecord c = cycle(number({"8", "-", "812", "-", "200", "3000", "-"}), 1, 1);
        EXPECT_TRUE(writer_->SaveCycleStart(toOleDate(start), c, header_));
        DbCallRecord one;
        one.start = toOleDate(end.addSecs(-20));
        one.end = toOleDate(end);
        one.duration = one.end - one.start;
        one.outcome = ResultCode::Success;
        EXPECT_TRUE(writer_->SaveTestCall(c, DbCycleResults::fromCounts(1, 1, {}), one, 1, 1, 1));
        return writer_->cycleId();
    }

    static QString dateTimeCondition(const QDate& d1, const QTime& t1, const QDate& d2,
                                     const QTime& t2) {
        const DbDialect& d = dbDialect();
        return QStringLiteral(
                   "( (CYC.DATE_ON>=%1 AND CYC.TIME_ON>=%2) OR   (CYC.DATE_ON>%1 AND "
                   "CYC.DATE_ON<=%3) ) AND   ((CYC.DATE_OFF<=%3 AND CYC.TIME_OFF<=%4) OR   "
                   "(CYC.DATE_OFF<%3 AND CYC.DATE_OFF>=%1) )")
            .arg(d.dateLiteral(d1), d.timeLiteral(t1), d.dateLiteral(d2), d.timeLiteral(t2));
    }

    QStringList selectCycles(const QString& where) {
        QSqlDatabase db = DbConnection::main();
        EXPECT_TRUE(execSql(db, QStringLiteral("DELETE FROM TEMP_CYCLE")));
        QString error;
        EXPECT_TRUE(execSql(db,
                            QStringLiteral("INSERT INTO TEMP_CYCLE SELECT * FROM TABLE_CYCLE CYC "
                                           "WHERE ") +
                                where,
                            &error))
            << error.toStdString();
        return rows(QStringLiteral("SELECT CYCLE_ID FROM TEMP_CYCLE ORDER BY CYCLE_ID"));
    }

    std::unique_ptr<TDBSaveData> writer_;
    ScenarHeader header_{};
};

TEST_F(SelectionSqlTest, DatesTimesAndDaysOfTheWeekSelectTheRightCycles) {
    const auto at = [](int day, int h, int m) {
        return QDateTime(QDate(2026, 1, day), QTime(h, m));
    };
    const QString monday = QString::number(addCycle(at(12, 9, 0), at(12, 9, 10)));
    const QString tuesdayEarly = QString::number(addCycle(at(13, 7, 0), at(13, 7, 10)));
    const QString saturday = QString::number(addCycle(at(17, 12, 0), at(17, 12, 10)));
    addCycle(at(19, 10, 0), at(19, 10, 10));  // Monday after the period
    addCycle(at(11, 12, 0), at(11, 12, 10));  // Sunday before it
    const QString overnight = QString::number(addCycle(at(14, 23, 10), at(15, 1, 20)));
    const QString evening = QString::number(addCycle(at(14, 21, 0), at(14, 23, 0)));

    EXPECT_EQ(value(QStringLiteral("SELECT DATE_ON || ' ' || TIME_ON || ' ' || DAY_WEEK_ON_ID "
                                   "FROM Table_Cycle WHERE CYCLE_ID = ") +
                    monday),
              QStringLiteral("2026-01-12 09:00:00 1"));

    const QString period =
        dateTimeCondition(QDate(2026, 1, 12), QTime(8, 0), QDate(2026, 1, 18), QTime(23, 59, 59));
    EXPECT_EQ(selectCycles(period + QStringLiteral(" ")),
              (QStringList{monday, tuesdayEarly, saturday, overnight, evening}));

    const QString workingDays = QStringLiteral(
        " AND ((CYC.DAY_WEEK_ON_ID IN (1,2,3,4,5)) AND   (CYC.DAY_WEEK_OFF_ID IN "
        "(1,2,3,4,5))) ");
    EXPECT_EQ(selectCycles(period + workingDays),
              (QStringList{monday, tuesdayEarly, overnight, evening}));

    // The stored day of the week is the one SQLite computes from the stored date.
    EXPECT_EQ(
        count(QStringLiteral("Table_Cycle"), dbDialect().dayWeekId(QStringLiteral("DATE_ON")) +
                                                 QStringLiteral(" <> DAY_WEEK_ON_ID OR ") +
                                                 dbDialect().dayWeekId(QStringLiteral("DATE_OFF")) +
                                                 QStringLiteral(" <> DAY_WEEK_OFF_ID")),
        0);

    // The night window of the filter: 22:00 to 06:00, at most into the next day.
    const QString night =
        QStringLiteral(
            " AND ((CYC.TIME_ON>=%1 OR CYC.TIME_ON<=%2) AND (CYC.TIME_OFF<=%2 OR "
            "CYC.TIME_OFF>=%1) AND  CYC.DATE_ON>=%3) ")
            .arg(dbDialect().timeLiteral(QTime(22, 0)), dbDialect().timeLiteral(QTime(6, 0)),
                 dbDialect().addDays(QStringLiteral("CYC.DATE_OFF"), -1));
    EXPECT_EQ(selectCycles(period + night), QStringList{overnight});
}

TEST_F(SelectionSqlTest, TheSelectionsWorkingTablesAndNumberListsFill) {
    const QString id = QString::number(addCycle(QDateTime(QDate(2026, 1, 12), QTime(9, 0, 5)),
                                                QDateTime(QDate(2026, 1, 12), QTime(9, 10))));
    selectCycles(QStringLiteral("1=1"));
    QSqlDatabase db = DbConnection::main();
    QString error;
    // The cycle's norm: the minimum's when it ended there (state 1), else the maximum's.
    ASSERT_TRUE(execSql(
        db,
        QStringLiteral(
            "INSERT INTO TEMP_RESCYCLE SELECT CYC.CYCLE_ID, %1 AS P_DATETIME_ON, "
            "SETCYC1.SETCYC_VALUE, SETCYC2.SETCYC_VALUE, SETCYC3.SETCYC_VALUE, "
            "RESCYC1.RESCYC_VALUE_CNT, RESCYC2.RESCYC_VALUE_CNT, RESCYC2.RESCYC_VALUE_PERC FROM "
            "TEMP_CYCLE CYC, TABLE_RESCYCLE RESCYC1, TABLE_RESCYCLE RESCYC2, "
            "TABLE_SETT_CYCLE_DEC SETCYC1, TABLE_SETT_CYCLE_DEC SETCYC2, TABLE_SETT_CYCLE_DEC "
            "SETCYC3 WHERE (RESCYC1.CYCLE_ID=CYC.CYCLE_ID) AND (RESCYC2.CYCLE_ID=CYC.CYCLE_ID) "
            "AND (SETCYC1.CYCLE_ID=CYC.CYCLE_ID) AND (SETCYC2.CYCLE_ID=CYC.CYCLE_ID) AND "
            "(SETCYC3.CYCLE_ID=CYC.CYCLE_ID) AND (RESCYC1.PARAM_RES_ID=1) AND "
            "(RESCYC2.PARAM_RES_ID=3) AND ((SETCYC1.PARAM_CYCLE_ID=4 AND CYC.STATE_ID<>1) OR "
            "(SETCYC1.PARAM_CYCLE_ID=3 AND CYC.STATE_ID=1)) AND SETCYC2.PARAM_CYCLE_ID=2 AND "
            "SETCYC3.PARAM_CYCLE_ID=1")
            .arg(dbDialect().concat({QStringLiteral("CYC.TIME_ON"), QStringLiteral("' '"),
                                     dbDialect().displayDate(QStringLiteral("CYC.DATE_ON"))})),
        &error))
        << error.toStdString();
    // min = max = 1 attempt: state 2, so the maximum's norm (10 + 2.5).
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM TEMP_RESCYCLE")),
              QStringList{id + QStringLiteral("|09:00:05 12.01.2026|12.5|1|1|1|0|0")});

    // The number list: parts joined with "/", empty parts staying empty.
    QStringList parts;
    for (const char* c :
         {"HIER_ATX", "BEF_CALL", "CODE_CITY", "ADD_CODE", "NUM_ATX", "NUM_ON_ATX", "ADD_CALL"}) {
        parts << QStringLiteral("CAST(OUT.%1 AS CHAR(20))").arg(QLatin1String(c));
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT DISTINCT %1 AS OUT_TELNUM, CYC.OUT_ID FROM TABLE_OUT "
                                  "OUT, TABLE_CYCLE CYC WHERE (OUT.OUT_ID=CYC.OUT_ID) AND %2 "
                                  "ORDER BY OUT_TELNUM")
                       .arg(parts.join(QStringLiteral("||'/'||")),
                            dbDialect().isEmptyText(QStringLiteral("OUT.ADD_CODE")))),
              QStringList{QStringLiteral("//495//123/4567/|1")});
}

}  // namespace
}  // namespace zev7::testing
