// Packing and emptying tables, the compaction of "Сжатие БД", and the generated database.
#include "core/strings.h"
#include "db/db_check.h"
#include "db/db_maintenance.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "db/demo_database.h"
#include "db_fixture.h"

#include <QFile>

namespace zev7::testing {
namespace {

const char* const kResultTables[] = {
    "Table_ResCycle", "Table_ResSeans", "Table_Seans", "Table_Sett_Cycle_Dec",
    "Table_Cycle",    "Table_In",       "Table_Out"};

class MaintenanceTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        DemoDatabaseSpec spec;
        spec.cycles = 6;
        spec.callsPerCycle = 5;
        spec.outgoingNumbers = 2;
        spec.incomingNumbers = 3;
        ASSERT_EQ(fillDemoDatabase(spec, messages_).failures, 0);
    }

    static QStringList content() {
        QStringList all;
        for (const char* t : kResultTables) {
            all << rows(QStringLiteral("SELECT * FROM %1 ORDER BY %2")
                            .arg(QLatin1String(t), dbDialect().insertionOrder()));
        }
        return all;
    }

    // A packed table numbers its rows afresh in the file: no gaps are left where rows were
    // deleted. On a server it keeps no dead rows.
    static bool hasGaps(const char* table) {
        if (onServer()) {
            exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pgstattuple"));
            return value(QStringLiteral("SELECT dead_tuple_count > 0 FROM pgstattuple('%1')")
                             .arg(QString::fromLatin1(table).toLower()))
                .toBool();
        }
        return value(
                   QStringLiteral("SELECT MAX(rowid) > COUNT(*) FROM %1").arg(QLatin1String(table)))
            .toBool();
    }

    // The space the result tables take: pages of the file, bytes of the server's tables.
    static qint64 spaceTaken() {
        return value(onServer() ? QStringLiteral("SELECT SUM(pg_relation_size(c.oid)) FROM "
                                                 "pg_class c WHERE c.relkind = 'r' AND "
                                                 "c.relnamespace = CAST(current_schema() AS "
                                                 "regnamespace)")
                                : QStringLiteral("PRAGMA page_count"))
            .toLongLong();
    }

    static void exec(const QString& sql) {
        QSqlDatabase db = DbConnection::main();
        QString error;
        ASSERT_TRUE(execSql(db, sql, &error)) << error.toStdString();
    }

    void deleteCycle(int id) {
        for (const char* t : {"Table_ResSeans", "Table_Seans", "Table_ResCycle",
                              "Table_Sett_Cycle_Dec", "Table_Cycle"}) {
            exec(
                QStringLiteral("DELETE FROM %1 WHERE CYCLE_ID = %2").arg(QLatin1String(t)).arg(id));
        }
    }
};

TEST_F(MaintenanceTest, PackingKeepsRowsIndexesAndTheKeysGivenOut) {
    deleteCycle(6);
    deleteCycle(2);
    const QStringList before = content();
    EXPECT_TRUE(hasGaps("Table_Seans"));

    for (const char* t : kResultTables) {
        EXPECT_EQ(PackTable(QString::fromLatin1(t)), 0) << t;
    }
    EXPECT_EQ(PackTable(QStringLiteral("table_cycle.DB")), 0);

    EXPECT_EQ(content(), before);
    EXPECT_FALSE(hasGaps("Table_Seans"));
    if (!onServer()) {
        EXPECT_EQ(count(QStringLiteral("sqlite_master"), QStringLiteral("name LIKE '%__pack'")), 0);
        for (const TableDef& def : DbSchema::tables()) {
            for (const IndexDef& index : def.indexes) {
                EXPECT_EQ(count(QStringLiteral("sqlite_master"),
                                QStringLiteral("type = 'index' AND name = '%1'").arg(index.name)),
                          1)
                    << index.name.toStdString();
            }
        }
    }
    EXPECT_EQ(checkDatabase(DbConnection::main()), QStringList());

    // The deleted cycle's number is not given out again.
    TDBSaveData writer(messages_);
    const ScenarHeader h = header(number({"-", "-", "-", "-", "-", "1", "-"}));
    ASSERT_TRUE(writer.SaveScenarioStart(h));
    ASSERT_TRUE(writer.SaveCycleStart(ole(2027, 1, 1, 0, 0, 0), cycle(h.outNumber, 1, 1), h));
    EXPECT_EQ(writer.cycleId(), 7);
}

// The file's own check is tried on damaged files by the zev7-db tests; a server checks with
// amcheck, and an index it cannot vouch for is reported, not passed over.
TEST_F(MaintenanceTest, TheServersCheckReportsAnIndexItCannotVouchFor) {
    if (!onServer()) {
        GTEST_SKIP() << "the server's check";
    }
    EXPECT_EQ(checkDatabase(DbConnection::main()), QStringList());
    EXPECT_EQ(value(QStringLiteral("SELECT extname FROM pg_extension WHERE extname = 'amcheck'")),
              QStringLiteral("amcheck"));
    exec(
        QStringLiteral("UPDATE pg_index SET indisvalid = false "
                       "WHERE indexrelid = to_regclass('table_out_number')"));
    const QStringList problems = checkDatabase(DbConnection::main());
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].startsWith(txt(str::DbCheckFailed).arg(QString())))
        << problems[0].toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("table_out_number")))
        << problems[0].toStdString();
}

TEST_F(MaintenanceTest, ATableInUseOrMissingIsNotPacked) {
    const QString name = QStringLiteral("other program");
    {
        QSqlDatabase other = DbConnection::open(name, otherProgram());
        ASSERT_TRUE(holdForWriting(other));
        EXPECT_EQ(PackTable(QStringLiteral("Table_Cycle")), kTableUnavailable);
        EXPECT_EQ(ClearTable(QStringLiteral("Table_ResSeans")), kTableUnavailable);
        ASSERT_TRUE(execSql(other, QStringLiteral("ROLLBACK")));
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_EQ(count(QStringLiteral("Table_ResSeans")), 30);
    EXPECT_EQ(PackTable(QStringLiteral("Table_Cycle")), 0);

    EXPECT_EQ(PackTable(QStringLiteral("Table_Nothing")), kTableUnavailable);
    exec(QStringLiteral("DROP TABLE Table_Seans"));
    EXPECT_EQ(PackTable(QStringLiteral("Table_Seans")), kTableUnavailable);
}

TEST_F(MaintenanceTest, ClearingEmptiesTheTableAndGivesItsSpaceBack) {
    // On a server the work tables are the connection's own: the one that filled it clears it.
    exec(QStringLiteral("INSERT INTO TEMP_CYCLE SELECT * FROM Table_Cycle"));
    EXPECT_EQ(ClearTable(QStringLiteral("TEMP_CYCLE"), DbConnection::main()), 0);
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 0);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 6);

    // "Удалить все циклы": every result table emptied, the pages back to the file system.
    DemoDatabaseSpec more;
    more.cycles = 20;
    more.callsPerCycle = 30;
    ASSERT_EQ(fillDemoDatabase(more, messages_).failures, 0);
    const qint64 spaceFull = spaceTaken();
    for (const char* t : {"Table_ResSeans", "Table_Seans", "Table_ResCycle", "Table_Sett_Cycle_Dec",
                          "Table_Cycle", "Table_In", "Table_Out"}) {
        EXPECT_EQ(ClearTable(QString::fromLatin1(t)), 0) << t;
        EXPECT_EQ(count(QString::fromLatin1(t)), 0) << t;
    }
    EXPECT_LT(spaceTaken(), spaceFull);
    if (!onServer()) {
        EXPECT_EQ(value(QStringLiteral("PRAGMA freelist_count")).toInt(), 0);
    }
}

TEST_F(MaintenanceTest, CompactionReportsEveryTableInItsOrder) {
    QStringList shown;
    int eventRuns = 0;
    const CompactionResult r =
        compactDatabase({[&](int gauge, const QString& label) {
                             shown << QStringLiteral("%1 %2").arg(gauge).arg(label);
                         },
                         [&] { ++eventRuns; }, [] { return false; }});
    EXPECT_EQ(shown, (QStringList{"15 Table_ResCycle.db...", "30 Table_ResSeans.db...",
                                  "45 Table_Seans.db...", "60 Table_Sett_Cycle_Dec.db...",
                                  "75 Table_Cycle.db...", "90 Table_In.db...",
                                  "100 Table_Out.db...", "100 Сжатие БД завершено"}));
    EXPECT_EQ(eventRuns, 7);
    EXPECT_FALSE(r.interrupted);
    EXPECT_EQ(r.finalLabel, QStringLiteral("Сжатие БД завершено"));
    EXPECT_EQ(r.codes, (QList<int>{0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(MaintenanceTest, AnInterruptedCompactionLeavesTheRemainingTablesAlone) {
    deleteCycle(1);
    int packed = 0;
    QString last;
    const CompactionResult r = compactDatabase({[&](int, const QString& label) { last = label; },
                                                [&] { ++packed; }, [&] { return packed == 2; }});
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.tables, (QList<QString>{"Table_ResCycle", "Table_ResSeans"}));
    EXPECT_EQ(last, QStringLiteral("Начать сжатие БД"));
    EXPECT_FALSE(hasGaps("Table_ResSeans"));
    EXPECT_TRUE(hasGaps("Table_Seans"));
}

TEST_F(MaintenanceTest, ATableThatCannotBePackedIsSkipped) {
    exec(QStringLiteral("DROP TABLE Table_Seans"));
    const CompactionResult r = compactDatabase({});
    EXPECT_FALSE(r.interrupted);
    EXPECT_EQ(r.codes, (QList<int>{0, 0, kTableUnavailable, 0, 0, 0, 0}));
}

TEST_F(MaintenanceTest, TheGeneratedDatabaseLooksLikeMeasuredCycles) {
    // Set up with 6 cycles of 5 calls from 2 outgoing to 3 incoming numbers.
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 2);
    EXPECT_EQ(count(QStringLiteral("Table_In")), 3);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 6);
    EXPECT_EQ(count(QStringLiteral("Table_Sett_Cycle_Dec")), 6 * 24);
    EXPECT_EQ(count(QStringLiteral("Table_Seans")), 30);
    EXPECT_EQ(count(QStringLiteral("Table_ResSeans")), 30);
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle")), 6 * 16);
    // Every cycle's counts add up: attempts = successes + losses, losses = the 13 categories.
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle R1"),
                    QStringLiteral("R1.PARAM_RES_ID = 1 AND R1.RESCYC_VALUE_CNT <> (SELECT "
                                   "SUM(RESCYC_VALUE_CNT) FROM Table_ResCycle R WHERE "
                                   "R.CYCLE_ID = R1.CYCLE_ID AND R.PARAM_RES_ID IN (2, 3))")),
              0);
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle R3"),
                    QStringLiteral("R3.PARAM_RES_ID = 3 AND R3.RESCYC_VALUE_CNT <> (SELECT "
                                   "SUM(RESCYC_VALUE_CNT) FROM Table_ResCycle R WHERE "
                                   "R.CYCLE_ID = R3.CYCLE_ID AND R.PARAM_RES_ID >= 4)")),
              0);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle"), QStringLiteral("STATE_ID NOT IN (1, 2)")), 0);

    // The same seed gives the same database.
    const QStringList first = content();
    DbConnection::shutdown();
    if (onServer()) {
        emptyServerDatabase(DbConnection::options());
    } else {
        QFile::remove(DbConnection::filePath());
    }
    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    DemoDatabaseSpec spec;
    spec.cycles = 6;
    spec.callsPerCycle = 5;
    spec.outgoingNumbers = 2;
    spec.incomingNumbers = 3;
    ASSERT_EQ(fillDemoDatabase(spec, messages_).failures, 0);
    EXPECT_EQ(content(), first);
}

}  // namespace
}  // namespace zev7::testing
