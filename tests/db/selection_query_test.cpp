// Choosing cycles: the period edits, the days, the code lists, the number lists with their
// exclusions, the working tables and the totals row, the filter, and typed text that tries to
// become SQL.
#include "db/selection_fixture.h"
#include "dbquery/cycle_list_model.h"
#include "dbquery/selection_lists.h"
#include "dbquery/working_selection.h"

namespace zev7::testing {
namespace {

using Selection = SelectionTest;

TEST(PeriodEdits, BlanksAreFilledAndImpossibleDigitsCorrected) {
    EXPECT_EQ(correctDateText(QStringLiteral("45.13.26")), QStringLiteral("31.12.26"));
    EXPECT_EQ(correctDateText(QStringLiteral("00.00.26")), QStringLiteral("01.01.26"));
    EXPECT_EQ(correctDateText(QStringLiteral("3*.**.**")), QStringLiteral("31.01.02"));
    EXPECT_EQ(correctDateText(QStringLiteral("39.02.26")), QStringLiteral("28.02.26"));
    EXPECT_EQ(correctTimeText(QStringLiteral("29:75:6 ")), QStringLiteral("23:55:50"));
    EXPECT_EQ(correctTimeText(QStringLiteral("1")), QStringLiteral("10:00:00"));

    PeriodTexts p;
    p.dateOn = QStringLiteral("10.01.26");
    p.dateOff = QStringLiteral("05.01.26");
    p.correct();
    EXPECT_EQ(p.dateOff, QStringLiteral("10.01.26"));
    EXPECT_EQ(dateFromText(p.dateOn), QDate(2026, 1, 10));
}

// Monday 12.01.26 to Sunday 18.01.26, one cycle a day, plus one the day after.
TEST_F(Selection, DaysOfTheWeekChooseCycles) {
    addNumber("Table_Out", 1, QStringLiteral("495"));
    addNumber("Table_In", 1, QStringLiteral("812"));
    for (int d = 0; d < 8; ++d) {
        addCycle({.id = d + 1,
                  .dateOn = QDate(2026, 1, 12 + d),
                  .timeOn = QTime(9, 0),
                  .timeOff = QTime(10, 0)});
    }
    SelectionCriteria c = criteria(QStringLiteral("12.01.26"), QStringLiteral("18.01.26"), {1});
    EXPECT_EQ(c.dayCondition(), QStringLiteral(" "));
    EXPECT_TRUE(c.selectionStatement().sql.contains(QStringLiteral(") ) AND (CYC.OUT_ID IN ( ")));
    WorkingSelection selection(DbConnection::main());
    ASSERT_TRUE(selection.load(c)) << selection.lastError().toStdString();
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 7);
    EXPECT_EQ(count(QStringLiteral("TEMP_RESCYCLE")), 7);

    c.setDayTicked(6, false);
    c.setDayTicked(7, false);
    ASSERT_TRUE(selection.load(c));
    EXPECT_EQ(rows(QStringLiteral("SELECT CYCLE_ID FROM TEMP_CYCLE ORDER BY 1")),
              (QStringList{"1", "2", "3", "4", "5"}));

    // The last ticked day cannot be unticked.
    for (int d = 1; d <= 7; ++d) {
        c.setDayTicked(d, false);
    }
    EXPECT_TRUE(c.dayTicked(5));  // Saturday and Sunday were off already
    ASSERT_TRUE(selection.load(c));
    EXPECT_EQ(rows(QStringLiteral("SELECT CYCLE_ID FROM TEMP_CYCLE")), QStringList{"5"});
}

TEST_F(Selection, EmptyCodeTickedWithAValueKeepsNumbersWithoutThatPart) {
    addNumber("Table_Out", 1, QStringLiteral(""));
    addNumber("Table_Out", 2, QStringLiteral("495"));
    addNumber("Table_Out", 3, QStringLiteral("812"));
    addNumber("Table_In", 1, QStringLiteral("343"));
    for (int id = 1; id <= 3; ++id) {
        addCycle({.id = id,
                  .out = id,
                  .dateOn = QDate(2026, 1, 13),
                  .timeOn = QTime(9, 0),
                  .timeOff = QTime(10, 0)});
    }
    SelectionCriteria c = criteria(QStringLiteral("12.01.26"), QStringLiteral("18.01.26"), {});
    SelectionLists lists(DbConnection::main());
    lists.loadCodeLists(c);
    CodeList& cities = c.codeList(SelectionSide::Outgoing, CodePart::CityCode);
    ASSERT_EQ(cities.size(), 3);
    EXPECT_EQ(cities[0].value, QString());
    SelectionCriteria::setCodeTicked(cities, 2, false);  // "812"
    EXPECT_EQ(SelectionCriteria::codeCondition(QStringLiteral("OUT.CODE_CITY"), cities).values,
              QVariantList{QStringLiteral("495")});

    lists.loadFirstList(c);
    QList<int> ids;
    for (const NumberItem& n : c.numbers) {
        ids << n.id;
    }
    EXPECT_EQ(ids, (QList<int>{1, 2}));
    EXPECT_EQ(c.numbers[0].text, QStringLiteral("-/-/-/-/100/1001/-"));

    // The last ticked code stays ticked.
    SelectionCriteria::setCodeTicked(cities, 0, false);
    SelectionCriteria::setCodeTicked(cities, 1, false);
    EXPECT_TRUE(cities[1].ticked);
}

TEST_F(Selection, ExcludingIncomingTwelveKeepsIncomingOne) {
    addNumber("Table_Out", 1, QStringLiteral("495"));
    for (int in : {1, 2, 12}) {
        addNumber("Table_In", in, QStringLiteral("812"));
        addCycle({.id = in,
                  .in = in,
                  .dateOn = QDate(2026, 1, 13),
                  .timeOn = QTime(9, 0),
                  .timeOff = QTime(10, 0)});
    }
    SelectionCriteria c = criteria(QStringLiteral("12.01.26"), QStringLiteral("18.01.26"), {1});
    c.setSecondTicked(0, 12, false);
    EXPECT_TRUE(c.secondTicked(0, 1));
    EXPECT_TRUE(c.secondTicked(0, 2));
    EXPECT_FALSE(c.secondTicked(0, 12));
    WorkingSelection selection(DbConnection::main());
    ASSERT_TRUE(selection.load(c));
    EXPECT_EQ(rows(QStringLiteral("SELECT IN_ID FROM TEMP_CYCLE ORDER BY 1")),
              (QStringList{"1", "2"}));
}

TEST_F(Selection, NothingTickedIsRefusedAndTheWorkingTablesStay) {
    addNumber("Table_Out", 1, QStringLiteral("495"));
    addNumber("Table_In", 1, QStringLiteral("812"));
    addCycle(
        {.id = 1, .dateOn = QDate(2026, 1, 13), .timeOn = QTime(9, 0), .timeOff = QTime(10, 0)});
    WorkingSelection selection(DbConnection::main());
    ASSERT_TRUE(
        selection.load(criteria(QStringLiteral("12.01.26"), QStringLiteral("18.01.26"), {1})));
    SelectionCriteria none = criteria(QStringLiteral("12.01.26"), QStringLiteral("18.01.26"), {1});
    none.numbers[0].ticked = false;
    none.side = SelectionSide::Incoming;
    EXPECT_FALSE(selection.load(none));
    EXPECT_EQ(selection.lastError(), QStringLiteral("Не выбрана входящая станция!"));
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 1);
}

// Cycles of two measuring stations and one from an older file, which reads as the own station's.
TEST_F(Selection, TickedStationsChooseTheirCycles) {
    DbOptions options = DbConnection::options();
    options.station = QStringLiteral("Самара");
    DbConnection::setOptions(options);
    addNumber("Table_Out", 1, QStringLiteral("495"));
    addNumber("Table_In", 1, QStringLiteral("812"));
    const QDate day(2026, 1, 13);
    addCycle({.id = 1,
              .dateOn = day,
              .timeOn = QTime(9, 0),
              .timeOff = QTime(10, 0),
              .calls = 100,
              .losses = 2,
              .station = QStringLiteral("Самара")});
    addCycle({.id = 2,
              .dateOn = day,
              .timeOn = QTime(11, 0),
              .timeOff = QTime(12, 0),
              .calls = 50,
              .losses = 5});
    addCycle({.id = 3,
              .dateOn = day,
              .timeOn = QTime(13, 0),
              .timeOff = QTime(14, 0),
              .calls = 200,
              .losses = 12,
              .station = QStringLiteral("Тольятти")});

    SelectionCriteria c = criteria(QStringLiteral("12.01.26"), QStringLiteral("18.01.26"), {1});
    SelectionLists lists(DbConnection::main());
    lists.loadStations(c);
    ASSERT_EQ(c.stations.size(), 2);
    EXPECT_EQ(c.stations[0].value, QStringLiteral("Самара"));
    EXPECT_EQ(c.stations[1].value, QStringLiteral("Тольятти"));
    WorkingSelection selection(DbConnection::main());
    const auto totals = [&](const SelectionCriteria& criteria) {
        EXPECT_TRUE(selection.load(criteria)) << selection.lastError().toStdString();
        const SelectionTotals t = selection.totals({}, {});
        return QPair<double, double>(t.attempts.toDouble(), t.losses.toDouble());
    };
    EXPECT_EQ(totals(c), (QPair<double, double>(350, 19)));

    SelectionCriteria::setCodeTicked(c.stations, 1, false);
    EXPECT_EQ(totals(c), (QPair<double, double>(150, 7)));
    CycleListModel list(DbConnection::main());
    ASSERT_TRUE(list.load({}));
    ASSERT_EQ(list.rowCount(), 2);
    const int station = list.columnCount() - 3;  // before the verdict's confidence
    EXPECT_EQ(list.headerData(station, Qt::Horizontal).toString(),
              QStringLiteral("Пункт\nизмерений"));
    EXPECT_EQ(list.data(list.index(list.rowOfCycle(2), station)).toString(),
              QStringLiteral("Самара"));

    SelectionCriteria::setCodeTicked(c.stations, 1, true);
    SelectionCriteria::setCodeTicked(c.stations, 0, false);
    EXPECT_EQ(totals(c), (QPair<double, double>(200, 12)));

    // Without a name of its own the station reads its older cycles as unnamed.
    options.station.clear();
    DbConnection::setOptions(options);
    lists.loadStations(c);
    ASSERT_EQ(c.stations.size(), 3);
    EXPECT_EQ(c.stations[2].value, QStringLiteral("—"));
    EXPECT_FALSE(c.stations[0].ticked);  // the tick it had stays
}

class SelectionLoaded : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        addNumber("Table_Out", 1, QStringLiteral("495"));
        addNumber("Table_In", 1, QStringLiteral("812"));
        for (const TestCycle& c : cycles_) {
            addCycle(c);
        }
        WorkingSelection selection(DbConnection::main());
        ASSERT_TRUE(
            selection.load(criteria(QStringLiteral("01.01.26"), QStringLiteral("31.01.26"), {1})));
    }
    // Calls and losses of the cycles not in skip, summed here.
    QPair<double, double> sums(const QList<int>& skip) const {
        double calls = 0;
        double losses = 0;
        for (const TestCycle& c : cycles_) {
            if (!skip.contains(c.id)) {
                calls += c.calls;
                losses += c.losses;
            }
        }
        return {calls, losses};
    }

    const QList<TestCycle> cycles_{
        {.id = 1,
         .dateOn = QDate(2026, 1, 12),
         .timeOn = QTime(23, 10),
         .dateOff = QDate(2026, 1, 13),
         .timeOff = QTime(1, 20),
         .calls = 100,
         .losses = 2},
        {.id = 2,
         .dateOn = QDate(2026, 1, 13),
         .timeOn = QTime(21, 0),
         .timeOff = QTime(23, 0),
         .state = 1,
         .calls = 50,
         .losses = 5,
         .normMin = 2.5},
        {.id = 3,
         .dateOn = QDate(2026, 1, 14),
         .timeOn = QTime(9, 0),
         .timeOff = QTime(10, 0),
         .calls = 200,
         .losses = 12,
         .busyIncoming = 4},
    };
};

TEST_F(SelectionLoaded, ClearedRowLeavesTheTotalsButNotTheList) {
    CycleListModel list(DbConnection::main());
    ASSERT_TRUE(list.load({})) << list.lastError().toStdString();
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.totalRows(), 3);
    const int row = list.rowOfCycle(3);
    list.setIncluded(row, false);

    WorkingSelection selection(DbConnection::main());
    const SelectionTotals totals = selection.totals(list.excludedCycleIds(), {});
    const auto [calls, losses] = sums({3});
    EXPECT_DOUBLE_EQ(totals.attempts.toDouble(), calls);
    EXPECT_DOUBLE_EQ(totals.losses.toDouble(), losses);
    EXPECT_DOUBLE_EQ(totals.percent.toDouble(), losses / calls * 100.0);
    EXPECT_DOUBLE_EQ(totals.minNorm.toDouble(), 2.5);  // cycle 2 ended at the minimum
    EXPECT_TRUE(totals.aboveNorm());
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.data(list.index(row, 0), Qt::BackgroundRole).value<QColor>(),
              QColor(128, 128, 128));

    ASSERT_TRUE(selection.drop(list.excludedCycleIds()));
    ASSERT_TRUE(list.load({}));
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_TRUE(list.isIncluded(0) && list.isIncluded(1));
    EXPECT_DOUBLE_EQ(selection.totals({}, {}).attempts.toDouble(), calls);

    ASSERT_TRUE(selection.clear());
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")) + count(QStringLiteral("TEMP_RESCYCLE")), 0);
}

// On a server every program selects into work tables of its own: another station's window
// selecting and emptying its selection leaves this one's whole.
TEST_F(SelectionLoaded, AnotherProgramsSelectionLeavesThisOneWhole) {
    if (!onServer()) {
        GTEST_SKIP() << "a file has one program's selection";
    }
    const QString name = QStringLiteral("ZEV7_test_other_program");
    {
        QSqlDatabase other = DbConnection::open(name, DbConnection::options());
        QString error;
        ASSERT_TRUE(DbSchema::useOwnWorkTables(other, &error)) << error.toStdString();
        WorkingSelection selection(other);
        ASSERT_TRUE(
            selection.load(criteria(QStringLiteral("14.01.26"), QStringLiteral("14.01.26"), {1})));
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM TEMP_CYCLE")) && q.next());
        EXPECT_EQ(q.value(0).toInt(), 1);
        EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 3);
        ASSERT_TRUE(selection.clear());
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 3);
}

TEST_F(SelectionLoaded, NightWindowKeepsTheCycleAcrossMidnight) {
    RecordFilter night;
    night.timeWindow = true;
    night.timeFrom = QStringLiteral("22:00:00");
    night.timeTo = QStringLiteral("06:00:00");
    CycleListModel list(DbConnection::main());
    ASSERT_TRUE(list.load(night.toSql())) << list.lastError().toStdString();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cycleId(0), 1);

    // A window within the day keeps only what lies inside it.
    RecordFilter day = night;
    day.timeFrom = QStringLiteral("08:00:00");
    day.timeTo = QStringLiteral("22:00:00");
    ASSERT_TRUE(list.load(day.toSql()));
    EXPECT_EQ(list.totalRows(), 1);
    EXPECT_EQ(list.cycleId(0), 3);
}

TEST_F(SelectionLoaded, ResultFilterNarrowsListAndTotals) {
    RecordFilter f;
    f.kind = FilterKind::Result;
    f.paramId = 3;  // losses, compared in percent
    f.low = QStringLiteral("5,5");
    f.high = QStringLiteral("100");
    EXPECT_EQ(filterUnit(FilterKind::Result, 3), QStringLiteral("%"));
    EXPECT_EQ(filterUnit(FilterKind::Setting, 13), QStringLiteral("Гц"));
    QSqlDatabase db = DbConnection::main();
    EXPECT_EQ(filterParameters(db, FilterKind::Setting).size(), 24);
    EXPECT_EQ(filterParameters(db, FilterKind::Result).value(2).name,
              txt(str::SummaryLosses).trimmed());
    CycleListModel list(DbConnection::main());
    ASSERT_TRUE(list.load(f.toSql()));
    ASSERT_EQ(list.rowCount(), 2);  // 10 % and 6 %; 2 % is out
    WorkingSelection selection(DbConnection::main());
    EXPECT_DOUBLE_EQ(selection.totals({}, f.toSql()).losses.toDouble(), 17.0);

    f.high = QStringLiteral("1e");
    EXPECT_FALSE(f.validate().isEmpty());
    EXPECT_FALSE(f.toSql().isOn());
}

TEST_F(SelectionLoaded, OnlyALossAboveTheNormIsRedInTheList) {
    CycleListModel list(DbConnection::main());
    ASSERT_TRUE(list.load({}));
    for (int row = 0; row < list.rowCount(); ++row) {
        const bool above = list.cycleId(row) != 1;  // 2 % against 4 % is within the norm
        for (int col = 0; col < list.columnCount(); ++col) {
            const bool red = list.data(list.index(row, col), Qt::BackgroundRole).isValid();
            EXPECT_EQ(red, above && col == 7) << row << " " << col;
        }
    }
    EXPECT_EQ(list.data(list.index(0, 7)).toString(), QStringLiteral("2.00"));
    EXPECT_EQ(list.data(list.index(0, 2)).toString(), QStringLiteral("12.01.2026"));
}

}  // namespace
}  // namespace zev7::testing
