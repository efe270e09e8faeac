// The selection window, the list of selected cycles and the filter dialog as the engineer uses
// them: typed period edits, ticks, "Показать циклы", totals, grey rows, "Обновить выборку",
// the filter, and closing. Sums are computed here from the cycles the test wrote.
#include "core/ini_file.h"
#include "db/selection_fixture.h"
#include "dbquery/cycle_stat_models.h"
#include "dbquery/selection_stat_models.h"
#include "dbui/tform_filter_rec.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/tform_view_bd1.h"
#include "dbui/word_export.h"
#include "ui/ui_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(zev7::SelectionCriteria)

namespace zev7::testing {
namespace {

const QDate kToday(2026, 1, 20);

class SelectionWindows : public SelectionTest {
protected:
    void SetUp() override {
        test::uiApp();
        qRegisterMetaType<SelectionCriteria>();
        SelectionTest::SetUp();
        addNumber("Table_Out", 1, QStringLiteral("495"));
        addNumber("Table_Out", 2, QStringLiteral(""));
        addNumber("Table_In", 1, QStringLiteral("812"));
        addNumber("Table_In", 12, QStringLiteral("812"));
        // Cycle 4 crosses midnight; cycle 5 calls incoming 12.
        cycles_ = {
            {.id = 1,
             .out = 1,
             .in = 1,
             .dateOn = QDate(2026, 1, 13),
             .timeOn = QTime(21, 0),
             .timeOff = QTime(23, 0),
             .calls = 100,
             .losses = 2},
            {.id = 2,
             .out = 1,
             .in = 1,
             .dateOn = QDate(2026, 1, 14),
             .timeOn = QTime(9, 0),
             .timeOff = QTime(10, 0),
             .calls = 50,
             .losses = 5,
             .busyIncoming = 5},
            {.id = 3,
             .out = 2,
             .in = 1,
             .dateOn = QDate(2026, 1, 15),
             .timeOn = QTime(9, 0),
             .timeOff = QTime(10, 0),
             .calls = 80,
             .losses = 1},
            {.id = 4,
             .out = 2,
             .in = 1,
             .dateOn = QDate(2026, 1, 15),
             .timeOn = QTime(23, 10),
             .dateOff = QDate(2026, 1, 16),
             .timeOff = QTime(1, 20),
             .calls = 40,
             .losses = 0},
            {.id = 5,
             .out = 1,
             .in = 12,
             .dateOn = QDate(2026, 1, 16),
             .timeOn = QTime(9, 0),
             .timeOff = QTime(10, 0),
             .calls = 30,
             .losses = 3},
        };
        for (const TestCycle& c : cycles_) {
            addCycle(c);
        }
    }

    // Sums of the test's own cycles with the given ids.
    double sum(const QList<int>& ids, double TestCycle::*field) const {
        double s = 0;
        for (const TestCycle& c : cycles_) {
            s += ids.contains(c.id) ? c.*field : 0.0;
        }
        return s;
    }

    static void type(QWidget* w, const QString& text) {
        auto* edit = qobject_cast<QLineEdit*>(w);
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        emit edit->editingFinished();
    }
    template <class T>
    static T* child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QSet<int> listedCycles(TForm_ViewBD1& view) {
        QSet<int> ids;
        for (int r = 0; r < view.cycleList().rowCount(); ++r) {
            ids.insert(view.cycleList().cycleId(r));
        }
        return ids;
    }

    QList<TestCycle> cycles_;
    RecordingMessages messages;
    IniFile ini;
};

TEST_F(SelectionWindows, SelectionWindowHandsTheTickedNumbersWithTheirExclusions) {
    TForm_InterfaceBD w(DbConnection::main(), messages, &ini, kToday);
    QSignalSpy shown(&w, &TForm_InterfaceBD::showCyclesRequested);
    // The period starts at the last thirty days; an end typed before the start becomes it.
    EXPECT_EQ(child<QLineEdit>(&w, "DateOn_Edit")->text(), QStringLiteral("21.12.25"));
    type(child<QLineEdit>(&w, "DateOn_Edit"), QStringLiteral("13.01.26"));
    type(child<QLineEdit>(&w, "DateOff_Edit"), QStringLiteral("10.01.26"));
    EXPECT_EQ(child<QLineEdit>(&w, "DateOff_Edit")->text(), QStringLiteral("13.01.26"));
    type(child<QLineEdit>(&w, "DateOff_Edit"), QStringLiteral("19.01.26"));
    // The outgoing city codes: the empty one and 495.
    EXPECT_EQ(child<QListWidget>(&w, "ChListBox_CodCity")->count(), 2);

    child<QPushButton>(&w, "Button2")->click();
    auto* first = child<QListWidget>(&w, "CheckListBox1");
    auto* second = child<QListWidget>(&w, "CheckListBox2");
    ASSERT_EQ(first->count(), 2);
    ASSERT_EQ(second->count(), 2);  // incoming 1 and 12
    // Number 1 ("-/-/495/...") sorts after "-/-/-/..."; leave out incoming 12 for it.
    first->setCurrentRow(1);
    second->item(1)->setCheckState(Qt::Unchecked);
    first->item(0)->setCheckState(Qt::Unchecked);
    child<QPushButton>(&w, "Button1")->click();
    ASSERT_EQ(shown.count(), 1);
    const auto criteria = shown.at(0).at(0).value<SelectionCriteria>();

    TForm_ViewBD1 view(DbConnection::main(), messages, &ini);
    ASSERT_TRUE(view.loadSelection(criteria));
    EXPECT_EQ(listedCycles(view), (QSet<int>{1, 2}));
    EXPECT_EQ(child<QLineEdit>(&view, "DateOff_Edit")->text(), QStringLiteral("19.01.26"));

    // Nothing ticked: the message, no selection.
    first->item(1)->setCheckState(Qt::Unchecked);
    child<QPushButton>(&w, "Button1")->click();
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(messages.texts(), QStringList{txt(str::DbNoOutgoingChosen)});
}

TEST_F(SelectionWindows, ASecondStationBringsTheStationListAndItsTicksChooseCycles) {
    {
        TForm_InterfaceBD one(DbConnection::main(), messages, &ini, kToday);
        // Every cycle is this (unnamed) station's.
        EXPECT_FALSE(child<QListWidget>(&one, "ChListBox_Station")->isVisibleTo(&one));
    }
    ASSERT_NO_FATAL_FAILURE(exec(
        QStringLiteral("UPDATE Table_Cycle SET STATION = 'Тольятти' WHERE CYCLE_ID IN (2, 5)")));
    TForm_InterfaceBD w(DbConnection::main(), messages, &ini, kToday);
    auto* stations = child<QListWidget>(&w, "ChListBox_Station");
    EXPECT_TRUE(stations->isVisibleTo(&w));
    ASSERT_EQ(stations->count(), 2);
    EXPECT_EQ(stations->item(0)->text(), QStringLiteral("Тольятти"));
    EXPECT_EQ(stations->item(1)->text(), QStringLiteral("—"));
    stations->item(1)->setCheckState(Qt::Unchecked);

    QSignalSpy shown(&w, &TForm_InterfaceBD::showCyclesRequested);
    child<QPushButton>(&w, "Button2")->click();
    ASSERT_EQ(child<QListWidget>(&w, "CheckListBox1")->count(), 1);  // number 2 has none there
    child<QPushButton>(&w, "Button1")->click();
    ASSERT_EQ(shown.count(), 1);
    TForm_ViewBD1 view(DbConnection::main(), messages, &ini);
    ASSERT_TRUE(view.loadSelection(shown.at(0).at(0).value<SelectionCriteria>()));
    EXPECT_EQ(listedCycles(view), (QSet<int>{2, 5}));
    CycleListModel& list = view.cycleList();
    const int station = list.columnCount() - 3;  // before the verdict's confidence
    EXPECT_EQ(list.data(list.index(0, station)).toString(), QStringLiteral("Тольятти"));
    // The Word document of the list names the station too.
    const WordDocument document =
        gridDocument(*child<QTableView>(&view, "DBGrid1"), {}, {}, PageOrientation::Landscape);
    EXPECT_EQ(document.header.value(station).replace(QLatin1Char('\n'), QLatin1Char(' ')),
              txt(str::DbColStation));
    EXPECT_EQ(document.rows.value(0).value(station), QStringLiteral("Тольятти"));
}

TEST_F(SelectionWindows, DaysSideAndPeriodComeBackFromTheSettingsFile) {
    ini.setPath(QDir(home_.path()).filePath(QStringLiteral("ZEV7.ini")));
    {
        TForm_InterfaceBD w(DbConnection::main(), messages, &ini, kToday);
        w.restoreLayout();
        for (int d = 1; d <= 7; ++d) {
            child<QCheckBox>(&w, qPrintable(QStringLiteral("Day_CBox%1").arg(d)))
                ->setChecked(false);
        }
        // The last ticked day stays ticked.
        EXPECT_TRUE(w.criteria().dayTicked(7));
        EXPECT_TRUE(child<QCheckBox>(&w, "Day_CBox7")->isChecked());
        child<QRadioButton>(&w, "RBtn_In")->click();
        type(child<QLineEdit>(&w, "TimeOn_Edit"), QStringLiteral("08:00:00"));
        w.saveLayout();
    }
    TForm_InterfaceBD w(DbConnection::main(), messages, &ini, kToday);
    w.restoreLayout();
    EXPECT_EQ(w.criteria().side, SelectionSide::Incoming);
    EXPECT_FALSE(w.criteria().dayTicked(1));
    EXPECT_TRUE(w.criteria().dayTicked(7));
    EXPECT_EQ(child<QLineEdit>(&w, "TimeOn_Edit")->text(), QStringLiteral("08:00:00"));
    EXPECT_EQ(child<QListWidget>(&w, "ChListBox_CodCity")->count(), 1);  // incoming: 812
}

class ListWindow : public SelectionWindows {
protected:
    void SetUp() override {
        SelectionWindows::SetUp();
        view = std::make_unique<TForm_ViewBD1>(DbConnection::main(), messages, &ini);
        ASSERT_TRUE(view->loadSelection(
            criteria(QStringLiteral("01.01.26"), QStringLiteral("20.01.26"), {1, 2})));
    }
    void TearDown() override {
        view.reset();
        SelectionWindows::TearDown();
    }
    QString totalsCell(int column) const {
        return view->findChild<QTableWidget*>(QStringLiteral("DBGrid2"))->item(0, column)->text();
    }
    std::unique_ptr<TForm_ViewBD1> view;
};

// At the window's opening width every title of the list reads whole, the station and the
// verdict's confidence last included; a decision too long for its column keeps its tip.
TEST_F(ListWindow, EveryTitleReadsWholeAtTheOpeningWidth) {
    TForm_ViewBD1 shown(DbConnection::main(), messages, &ini);
    shown.resize(1200, 400);
    shown.show();
    ASSERT_TRUE(shown.loadSelection(
        criteria(QStringLiteral("01.01.26"), QStringLiteral("20.01.26"), {1, 2})));
    const auto* grid = child<QTableView>(&shown, "DBGrid1");
    const QHeaderView* header = grid->horizontalHeader();
    int total = 0;
    for (int c = 0; c < header->count(); ++c) {
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << c;
        total += header->sectionSize(c);
    }
    EXPECT_LE(total, grid->viewport()->width());
    const QModelIndex decision = shown.cycleList().index(0, header->count() - 1);
    EXPECT_EQ(decision.data(Qt::ToolTipRole), decision.data());
}

TEST_F(ListWindow, ClearedRowGreyLeavesTheTotalsUntilTheSelectionIsRefreshed) {
    QSignalSpy changed(view.get(), &TForm_ViewBD1::selectionChanged);
    const QList<int> all{1, 2, 3, 4, 5};
    child<QPushButton>(view.get(), "Itog_Button")->click();
    EXPECT_EQ(totalsCell(1).toDouble(), sum(all, &TestCycle::calls));
    EXPECT_EQ(totalsCell(2).toDouble(), sum(all, &TestCycle::losses));
    EXPECT_EQ(
        totalsCell(3),
        QString::number(sum(all, &TestCycle::losses) * 100 / sum(all, &TestCycle::calls), 'f', 2));
    // 11 losses of 300 calls against the 4 % norm: 2.06-6.45 %, and 3.67 % would be proved
    // within the norm after ceil(3.841459 * 0.04 * 0.96 / (0.04 - 11/300)^2) = 13277 calls.
    EXPECT_EQ(totalsCell(5), QString::fromUtf8("2.06–6.45 %"));
    EXPECT_EQ(totalsCell(6), QString::fromUtf8("не доказано, ещё вызовов: 12977"));

    // Take out cycle 2 (10 % against a 4 % norm).
    const int row = view->cycleList().rowOfCycle(2);
    view->showCycle(2);
    EXPECT_EQ(view->currentCycleId(), 2);
    EXPECT_TRUE(view->cycleList().isRed(row, view->cycleList().columnCount() - 6));
    // 5 losses of 50 calls: 4.35-21.36 %, wholly above the 4 % norm: "Ненорма" is proved.
    const int last = view->cycleList().columnCount() - 1;
    EXPECT_EQ(view->cycleList().index(row, last - 1).data().toString(),
              QString::fromUtf8("4.35–21.36 %"));
    EXPECT_EQ(view->cycleList().index(row, last).data().toString(), QString::fromUtf8("Ненорма"));
    child<QCheckBox>(view.get(), "CycleCheck_CB")->setChecked(false);
    EXPECT_EQ(view->cycleList().data(view->cycleList().index(row, 0), Qt::BackgroundRole),
              QVariant(CycleListModel::excludedBackground()));
    view->computeTotals();
    const QList<int> kept{1, 3, 4, 5};
    EXPECT_EQ(totalsCell(1).toDouble(), sum(kept, &TestCycle::calls));
    EXPECT_EQ(view->cycleList().totalRows(), 5);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.last().at(0).value<QList<int>>(), QList<int>{2});

    child<QPushButton>(view.get(), "Refresh_Button")->click();
    EXPECT_EQ(listedCycles(*view), (QSet<int>{1, 3, 4, 5}));
    EXPECT_TRUE(view->excludedCycleIds().isEmpty());
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 4);

    // Closing empties the working tables.
    view->close();
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 0);
    EXPECT_EQ(count(QStringLiteral("TEMP_RESCYCLE")), 0);
}

TEST_F(ListWindow, NightFilterFromTheDialogAndBackOff) {
    TForm_FilterRec dialog(DbConnection::main(), messages, nullptr);
    child<QCheckBox>(&dialog, "Time_CBox")->setChecked(true);
    type(child<QLineEdit>(&dialog, "TimeOn_Edit"), QStringLiteral("22:00:00"));
    type(child<QLineEdit>(&dialog, "TimeOff_Edit"), QStringLiteral("06:00:00"));
    view->applyFilter(dialog.filter());
    EXPECT_EQ(listedCycles(*view), QSet<int>{4});
    EXPECT_TRUE(child<QPushButton>(view.get(), "FilterOff_Button")->isEnabled());
    view->computeTotals();
    EXPECT_EQ(totalsCell(1).toDouble(), sum({4}, &TestCycle::calls));

    child<QPushButton>(view.get(), "FilterOff_Button")->click();
    EXPECT_EQ(listedCycles(*view).size(), 5);
    EXPECT_FALSE(child<QPushButton>(view.get(), "FilterOff_Button")->isEnabled());

    // A result bound that is no number is refused in the dialog, which stays open.
    child<QRadioButton>(&dialog, "RBtn2")->click();
    type(child<QLineEdit>(&dialog, "Low_Edit"), QStringLiteral("abc"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(messages.count(), 1);

    // Deleted without a close (the program ends): the working tables are emptied all the same.
    view.reset();
    EXPECT_EQ(count(QStringLiteral("TEMP_CYCLE")), 0);
}

// "Экспорт в CSV" writes what the list holds, without the cycles taken out: one row a cycle, or
// one a call when the dialog's file type says so.
TEST_F(ListWindow, CsvExportWritesTheListedCyclesOrTheirCalls) {
    view->showCycle(2);
    child<QCheckBox>(view.get(), "CycleCheck_CB")->setChecked(false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("selection.csv"));
    const auto exported = [&](bool calls) {
        view->csvExport().chooseTarget = [&] { return CsvTarget{path, calls}; };
        child<QPushButton>(view.get(), "ExportCsv_Button")->click();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        lines.removeLast();  // after the last CRLF
        return lines;
    };
    const QList<QByteArray> cycles = exported(false);
    ASSERT_EQ(cycles.size(), 1 + 4);
    EXPECT_TRUE(cycles[0].startsWith("cycle_id,outgoing,incoming,start,end,state,attempts"));
    QList<QByteArray> ids;
    for (const QByteArray& line : cycles.mid(1)) {
        EXPECT_TRUE(line.endsWith('\r'));
        ids << line.left(line.indexOf(','));
    }
    EXPECT_EQ(ids, (QList<QByteArray>{"1", "3", "4", "5"}));
    EXPECT_TRUE(messages.texts().last().contains(QString::fromUtf8("Записано строк: 4")));

    EXPECT_EQ(exported(true).size(),
              1 + count(QStringLiteral("Table_Seans"), QStringLiteral("CYCLE_ID IN (1,3,4,5)")));
}

TEST_F(ListWindow, ColumnWidthsComeBackAndSurviveARereadOfTheList) {
    ini.setPath(QDir(home_.path()).filePath(QStringLiteral("ZEV7.ini")));
    auto* grid = child<QTableView>(view.get(), "DBGrid1");
    grid->horizontalHeader()->resizeSection(0, 222);
    view->clearFilter();
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), 222);
    view->saveLayout();
    // Under the window caption, as "Column" and the column's number.
    EXPECT_EQ(ini.readInt(QStringLiteral("Выбранные циклы"), QStringLiteral("Column0")), 222);

    TForm_ViewBD1 again(DbConnection::main(), messages, &ini);
    again.restoreLayout();
    ASSERT_TRUE(again.loadSelection(
        criteria(QStringLiteral("01.01.26"), QStringLiteral("20.01.26"), {1, 2})));
    EXPECT_EQ(child<QTableView>(&again, "DBGrid1")->horizontalHeader()->sectionSize(0), 222);
}

// Typed into every edit of the three windows, and stored as a number's city code that is then
// picked: the text travels as a value and the tables stay as they were.
// Counts are stored as floating-point numbers: a million calls must still read as a million.
TEST_F(ListWindow, CountsOfAMillionCallsKeepEveryDigitInGridsTotalsAndTheDocument) {
    addCycle({.id = 6,
              .dateOn = QDate(2026, 1, 17),
              .timeOn = QTime(9, 0),
              .timeOff = QTime(10, 0),
              .calls = 1000000,
              .losses = 99989});
    addCycle({.id = 7,
              .dateOn = QDate(2026, 1, 18),
              .timeOn = QTime(9, 0),
              .timeOff = QTime(10, 0),
              .calls = 1000123});
    ASSERT_TRUE(view->loadSelection(
        criteria(QStringLiteral("01.01.26"), QStringLiteral("20.01.26"), {1, 2})));
    const auto shown = [](const QAbstractItemModel& model, int row, int column) {
        return QStyledItemDelegate().displayText(model.index(row, column).data(), QLocale::c());
    };
    CycleListModel& list = view->cycleList();
    const int calls = 5;  // the attempts' column
    EXPECT_EQ(shown(list, list.rowOfCycle(6), calls), QStringLiteral("1000000"));
    EXPECT_EQ(shown(list, list.rowOfCycle(7), calls), QStringLiteral("1000123"));
    const WordDocument document =
        gridDocument(*child<QTableView>(view.get(), "DBGrid1"), {}, {}, PageOrientation::Landscape);
    const int docRow = list.rowOfCycle(7);
    EXPECT_TRUE(document.rows.value(docRow).contains(QStringLiteral("1000123")))
        << document.rows.value(docRow).join(u' ').toStdString();

    child<QPushButton>(view.get(), "Itog_Button")->click();
    EXPECT_EQ(totalsCell(1), QStringLiteral("2000423"));
    EXPECT_EQ(totalsCell(2), QStringLiteral("100000"));

    SummaryStatModel summary(DbConnection::main());
    ASSERT_TRUE(summary.recompute({}, {}));
    EXPECT_EQ(shown(summary, 0, 1), QStringLiteral("2000423"));
    EXPECT_EQ(shown(summary, 2, 1), QStringLiteral("100000"));
    CycleStatModel cycle(DbConnection::main());
    ASSERT_TRUE(cycle.showCycle(7));
    EXPECT_EQ(shown(cycle, 0, 1), QStringLiteral("1000123"));
}

TEST_F(SelectionWindows, TypedSqlChangesNothingButTheResult) {
    const QString attack = QStringLiteral("\"); DROP TABLE Table_Cycle; --");
    addNumber("Table_Out", 3, attack);
    addCycle({.id = 6,
              .out = 3,
              .in = 1,
              .dateOn = QDate(2026, 1, 17),
              .timeOn = QTime(9, 0),
              .timeOff = QTime(10, 0)});
    TForm_InterfaceBD w(DbConnection::main(), messages, &ini, kToday);
    for (QLineEdit* edit : w.findChildren<QLineEdit*>()) {
        type(edit, attack);
    }
    // Only the attack's city code stays ticked: number 3 is the one left to choose.
    auto* cities = child<QListWidget>(&w, "ChListBox_CodCity");
    for (int i = 0; i < cities->count(); ++i) {
        if (cities->item(i)->text() != attack) {
            cities->item(i)->setCheckState(Qt::Unchecked);
        }
    }
    type(child<QLineEdit>(&w, "DateOn_Edit"), QStringLiteral("01.01.26"));
    type(child<QLineEdit>(&w, "DateOff_Edit"), QStringLiteral("20.01.26"));
    child<QPushButton>(&w, "Button2")->click();
    ASSERT_EQ(w.criteria().numbers.size(), 1);
    EXPECT_EQ(w.criteria().numbers[0].id, 3);

    TForm_ViewBD1 view(DbConnection::main(), messages, &ini);
    ASSERT_TRUE(view.loadSelection(w.criteria()));
    EXPECT_EQ(listedCycles(view), QSet<int>{6});
    TForm_FilterRec dialog(DbConnection::main(), messages, nullptr);
    child<QRadioButton>(&dialog, "RBtn1")->click();
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        type(edit, attack);
    }
    dialog.accept();
    view.applyFilter(dialog.filter());
    EXPECT_EQ(listedCycles(view), QSet<int>{6});
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 6);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 3);
}

}  // namespace
}  // namespace zev7::testing
