// The statistics grids over the selected cycles, checked against sums made here, and typed
// text that tries to become SQL.
#include "core/program_dir.h"
#include "db/demo_database.h"
#include "db/selection_fixture.h"
#include "dbquery/cycle_list_model.h"
#include "dbquery/cycle_stat_models.h"
#include "dbquery/selection_lists.h"
#include "dbquery/selection_stat_models.h"
#include "dbquery/working_selection.h"

namespace zev7::testing {
namespace {

class Statistics : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        addNumber("Table_Out", 1, QStringLiteral("495"));
        addNumber("Table_In", 1, QStringLiteral("812"));
        addNumber("Table_In", 2, QStringLiteral("343"));
        for (const TestCycle& c : cycles_) {
            addCycle(c);
        }
        WorkingSelection selection(DbConnection::main());
        ASSERT_TRUE(
            selection.load(criteria(QStringLiteral("01.01.26"), QStringLiteral("31.01.26"), {1})));
    }
    static int rowOf(const StatTableModel& m, const char* field, int id) {
        for (int r = 0; r < m.rowCount(); ++r) {
            if (m.value(r, QString::fromLatin1(field)).toInt() == id) {
                return r;
            }
        }
        return -1;
    }

    const QList<TestCycle> cycles_{
        {.id = 1,
         .in = 1,
         .dateOn = QDate(2026, 1, 12),
         .timeOn = QTime(9, 0),
         .timeOff = QTime(10, 0),
         .calls = 100,
         .losses = 3,
         .busyIncoming = 1},
        {.id = 2,
         .in = 2,
         .dateOn = QDate(2026, 1, 13),
         .timeOn = QTime(9, 0),
         .timeOff = QTime(11, 0),
         .calls = 300,
         .losses = 21,
         .busyIncoming = 6},
        {.id = 3,
         .in = 1,
         .dateOn = QDate(2026, 1, 14),
         .timeOn = QTime(9, 0),
         .timeOff = QTime(9, 30),
         .state = 0,
         .calls = 40,
         .losses = 0,
         .measured = false},
    };
};

TEST_F(Statistics, CycleStatisticsRedOnlyInTheLossRow) {
    CycleStatModel stat(DbConnection::main());
    ASSERT_TRUE(stat.showCycle(2)) << stat.lastError().toStdString();
    ASSERT_EQ(stat.rowCount(), 16);
    for (int r = 0; r < stat.rowCount(); ++r) {
        const int id = stat.value(r, QStringLiteral("P_PARAM_ID")).toInt();
        EXPECT_EQ(id, r + 1);
        for (int c = 0; c < stat.columnCount(); ++c) {
            // 7 % against 4 %; the attempts' 100 % is no loss and stays plain.
            EXPECT_EQ(stat.isRed(r, c), id == 3 && c == 2) << r << " " << c;
        }
        EXPECT_EQ(stat.data(stat.index(r, 3)).toString().trimmed().isEmpty(), id != 3);
        EXPECT_EQ(stat.data(stat.index(r, 4)).toString().isEmpty(), id != 3);
    }
    EXPECT_EQ(stat.data(stat.index(2, 2)).toString(), QStringLiteral("7.00"));
    // 21 losses of 300 calls: 4.62-10.46 %, wholly above the 4 % norm.
    EXPECT_EQ(stat.data(stat.index(2, 4)).toString(), QString::fromUtf8("4.62–10.46 %"));
    EXPECT_EQ(stat.data(stat.index(2, 5)).toString(), QString::fromUtf8("Ненорма"));

    ASSERT_TRUE(stat.showCycle(1));  // 3 % within 4 %
    for (int r = 0; r < stat.rowCount(); ++r) {
        EXPECT_FALSE(stat.isRed(r, 2));
    }
}

TEST_F(Statistics, CallsAndSettingsOfTheCurrentCycle) {
    CycleCallsModel calls(DbConnection::main());
    ASSERT_TRUE(calls.showCycle(2)) << calls.lastError().toStdString();
    ASSERT_EQ(calls.rowCount(), 2);
    EXPECT_EQ(calls.data(calls.index(1, 1)).toString(), txt(str::ResultBusyIncoming).trimmed());
    EXPECT_EQ(calls.data(calls.index(1, 2)).toString(), QStringLiteral("20.00"));
    EXPECT_EQ(count(QStringLiteral("TEMP_RESSEANS")), 2);
    ASSERT_TRUE(calls.clearWorkingTable());
    EXPECT_EQ(count(QStringLiteral("TEMP_RESSEANS")), 0);

    CycleSettingsModel settings(DbConnection::main());
    ASSERT_TRUE(settings.showCycle(2));
    ASSERT_EQ(settings.rowCount(), 24);
    EXPECT_DOUBLE_EQ(settings.data(settings.index(1, 1)).toDouble(), 600.0);
}

TEST_F(Statistics, SummarySumsTheSelectionAndLeavesOutExcludedCycles) {
    SummaryStatModel summary(DbConnection::main());
    ASSERT_TRUE(summary.recompute({}, {})) << summary.lastError().toStdString();
    ASSERT_EQ(summary.rowCount(), 16);
    // Hand-computed: 24 losses in 440 attempts, 7 busy on the incoming side.
    const int loss = rowOf(summary, "P_RESPARAM_ID", 3);
    const int busy = rowOf(summary, "P_RESPARAM_ID", 11);
    EXPECT_DOUBLE_EQ(summary.value(loss, QStringLiteral("P_RES_CNT")).toDouble(), 24.0);
    EXPECT_NEAR(summary.value(loss, QStringLiteral("P_RES_PERC")).toDouble(), 2400.0 / 440, 1e-9);
    EXPECT_NEAR(summary.value(busy, QStringLiteral("P_RES_PERC")).toDouble(), 700.0 / 440, 1e-9);
    EXPECT_DOUBLE_EQ(summary.value(loss, QStringLiteral("P_MIN_NORM")).toDouble(), 4.0);
    // The norm is written beside the losses only.
    EXPECT_EQ(summary.data(summary.index(loss, 3)).toString(), QStringLiteral("4.0 %"));
    EXPECT_TRUE(summary.data(summary.index(busy, 3)).toString().trimmed().isEmpty());
    EXPECT_TRUE(summary.isRed(loss, 2));  // 5.45 % above 4 %
    EXPECT_FALSE(summary.isRed(rowOf(summary, "P_RESPARAM_ID", 1), 2));

    ASSERT_TRUE(summary.recompute({2}, {}));
    EXPECT_NEAR(summary.value(loss, QStringLiteral("P_RES_PERC")).toDouble(), 300.0 / 140, 1e-9);
    EXPECT_FALSE(summary.isRed(loss, 2));
}

TEST_F(Statistics, ParameterTableSwitchesBetweenCountsAndPercentages) {
    ParamStatModel params(DbConnection::main());
    ASSERT_TRUE(params.recompute({}, {})) << params.lastError().toStdString();
    ASSERT_EQ(params.rowCount(), 2);  // cycle 3 has no measurement rows
    EXPECT_EQ(params.columnCount(), 24);
    EXPECT_EQ(params.headerData(6, Qt::Horizontal).toString(),
              QStringLiteral("Всего потерь вызовов,шт"));
    EXPECT_EQ(params.headerData(7, Qt::Horizontal).toString(),
              QStringLiteral("Норма потерь вызовов,%"));
    const int second = params.cycleId(0) == 2 ? 0 : 1;
    EXPECT_EQ(params.data(params.index(second, 6)).toDouble(), 21.0);
    EXPECT_EQ(params.data(params.index(second, 15)).toDouble(), 6.0);  // busy incoming
    EXPECT_EQ(params.data(params.index(second, 21)).toString(), QStringLiteral("15.00"));
    EXPECT_EQ(params.data(params.index(second, 23)).toString(), QString());  // never measured
    EXPECT_TRUE(params.isRed(second, 6));
    EXPECT_FALSE(params.isRed(1 - second, 6));

    params.setPercentMode(true);
    EXPECT_EQ(params.headerData(6, Qt::Horizontal).toString(),
              QStringLiteral("Всего потерь вызовов,%"));
    EXPECT_EQ(params.data(params.index(second, 6)).toString(), QStringLiteral("7.00"));
    EXPECT_TRUE(params.isRed(second, 6));

    ASSERT_TRUE(params.recompute({2}, {}));
    EXPECT_EQ(params.rowCount(), 1);
}

// Whatever is typed, the statement stays the program's: the injected text is a value.
TEST_F(Statistics, TypedSqlChangesNothingButTheResult) {
    const QString evil = QStringLiteral("\"); DROP TABLE Table_Cycle; --");
    const QString evilQuoted = QStringLiteral("'); DROP TABLE Table_Cycle; --");
    SelectionCriteria c = criteria(evil, evilQuoted, {1});
    c.period.timeOn = evil;
    c.period.timeOff = evilQuoted;
    c.period.correct();
    for (int p = 0; p < kCodePartCount; ++p) {
        c.codeList(SelectionSide::Outgoing, static_cast<CodePart>(p)) = {{evil, true},
                                                                         {evilQuoted, true}};
        c.codeList(SelectionSide::Incoming, static_cast<CodePart>(p)) = {{evilQuoted, true}};
    }
    SelectionLists lists(DbConnection::main());
    EXPECT_TRUE(lists.numbers(c, SelectionSide::Outgoing).isEmpty());
    EXPECT_TRUE(lists.numbers(c, SelectionSide::Incoming).isEmpty());
    EXPECT_TRUE(lists.lastError().isEmpty()) << lists.lastError().toStdString();

    RecordFilter f;
    f.kind = FilterKind::Setting;
    f.paramId = 3;
    f.low = evil;
    f.timeWindow = true;
    f.timeFrom = evilQuoted;
    f.timeTo = evil;
    EXPECT_FALSE(f.validate().isEmpty());
    f.low = QStringLiteral("0");
    const SqlFilter sql = f.toSql();
    EXPECT_FALSE(sql.where.sql.contains(QStringLiteral("DROP")));

    WorkingSelection selection(DbConnection::main());
    EXPECT_TRUE(selection.load(c)) << selection.lastError().toStdString();
    CycleListModel list(DbConnection::main());
    EXPECT_TRUE(list.load(sql));
    SummaryStatModel summary(DbConnection::main());
    EXPECT_TRUE(summary.recompute({}, sql));
    ParamStatModel params(DbConnection::main());
    EXPECT_TRUE(params.recompute({}, sql));
    selection.totals({}, sql);

    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 3);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 1);
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle")), 48);
}

// The parameter table's results and means come from grouped passes over the selected cycles'
// rows; on a generated database they must be, row for row, what each cycle's own statistics
// and the per-cycle subqueries give.
class GeneratedStatistics : public SelectionTest {};

TEST_F(GeneratedStatistics, ParameterMeansAsThePerCycleQueryGaveThem) {
    ASSERT_TRUE(ensureProgramFolders());
    DemoDatabaseSpec spec;
    spec.cycles = 30;
    spec.callsPerCycle = 7;
    ASSERT_EQ(fillDemoDatabase(spec, messages_).failures, 0);
    // Two cycles lose their test calls and a third one of its results: they leave the table.
    exec(
        QStringLiteral("DELETE FROM Table_ResSeans WHERE CYCLE_ID IN "
                       "(SELECT MIN(CYCLE_ID) FROM Table_Cycle UNION SELECT MAX(CYCLE_ID) "
                       "FROM Table_Cycle)"));
    exec(
        QStringLiteral("DELETE FROM Table_ResCycle WHERE PARAM_RES_ID=9 AND CYCLE_ID="
                       "(SELECT MIN(CYCLE_ID)+1 FROM Table_Cycle)"));
    SelectionCriteria c;
    c.period.dateOn = QStringLiteral("01.01.26");
    c.period.dateOff = QStringLiteral("31.12.28");
    SelectionLists lists(DbConnection::main());
    lists.loadCodeLists(c);
    lists.loadFirstList(c);
    ASSERT_TRUE(WorkingSelection(DbConnection::main()).load(c));

    ParamStatModel params(DbConnection::main());
    ASSERT_TRUE(params.recompute({}, {})) << params.lastError().toStdString();
    QSqlQuery old(DbConnection::main());
    ASSERT_TRUE(old.exec(QStringLiteral(
        "SELECT CYC.CYCLE_ID, "
        "(SELECT AVG(R.RES_ATT) FROM TABLE_RESSEANS R WHERE R.CYCLE_ID=CYC.CYCLE_ID), "
        "(SELECT AVG(R.RES_AS_LEV) FROM TABLE_RESSEANS R WHERE R.CYCLE_ID=CYC.CYCLE_ID), "
        "(SELECT AVG(R.RES_DC_LEV) FROM TABLE_RESSEANS R WHERE R.CYCLE_ID=CYC.CYCLE_ID) "
        "FROM TEMP_RESCYCLE SETCYC, TABLE_CYCLE CYC WHERE SETCYC.CYCLE_ID=CYC.CYCLE_ID AND "
        "EXISTS (SELECT 1 FROM TABLE_RESSEANS R WHERE R.CYCLE_ID=CYC.CYCLE_ID) AND "
        "(SELECT COUNT(*) FROM TABLE_RESCYCLE R WHERE R.CYCLE_ID=CYC.CYCLE_ID)=16 "
        "ORDER BY CYC.OUT_TELNUM,CYC.IN_TELNUM,CYC.DATE_ON,CYC.TIME_ON")))
        << old.lastError().text().toStdString();
    // Cycles with equal sort keys may come in either order: compared by cycle.
    QMap<int, QVariantList> expected;
    while (old.next()) {
        expected[old.value(0).toInt()] = {old.value(1), old.value(2), old.value(3)};
    }
    EXPECT_EQ(expected.size(), spec.cycles - 3);
    ASSERT_EQ(params.rowCount(), expected.size());
    for (int row = 0; row < params.rowCount(); ++row) {
        const QVariantList got{params.value(row, QStringLiteral("P_AVER_ATT")),
                               params.value(row, QStringLiteral("P_AVER_AS")),
                               params.value(row, QStringLiteral("P_AVER_DC"))};
        EXPECT_EQ(got, expected.value(params.cycleId(row))) << params.cycleId(row);
    }
    // Each row's results as the cycle's own statistics show them: counts, then percentages.
    CycleStatModel own(DbConnection::main());
    for (const int shown : {1, 2}) {
        params.setPercentMode(shown == 2);
        for (int row = 0; row < params.rowCount(); ++row) {
            ASSERT_TRUE(own.showCycle(params.cycleId(row)));
            ASSERT_EQ(own.rowCount(), 16);
            EXPECT_EQ(params.data(params.index(row, 4)), own.data(own.index(0, 1)));
            for (int id = 2; id <= 16; ++id) {
                const int column = 5 + (id - 2) + (id > 3 ? 1 : 0);  // the norm after losses
                EXPECT_EQ(params.data(params.index(row, column)),
                          own.data(own.index(id - 1, shown)))
                    << params.cycleId(row) << " " << id;
            }
        }
    }
}

}  // namespace
}  // namespace zev7::testing
