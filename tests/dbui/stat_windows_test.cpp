// The statistics windows over a generated database: what each shows is checked against the
// stored test calls counted here one by one.
#include "db/db_fixture.h"
#include "db/demo_database.h"
#include "dbquery/selection_criteria.h"
#include "dbquery/selection_stat_models.h"
#include "dbquery/working_selection.h"
#include "dbui/cycle_stat_windows.h"
#include "dbui/selection_stat_windows.h"
#include "dbui/stat_window_support.h"
#include "ui/frame/grid_column_widths.h"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>

namespace zev7::testing {
namespace {

using test::cell;
using test::CountedCycle;
using test::fixed2;
using test::redCell;

class StatWindowsTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        test::loadDemoSelection(40, 10, messages_);
        if (HasFatalFailure()) {
            return;
        }
        counted_ = test::countStoredCalls();
        windows_ = std::make_unique<StatWindows>(&ini_, &messages_, mdi_->frame());
        ASSERT_EQ(counted_.size(), 40u);
    }

    // A cycle whose losses are above (or within) its norm.
    int cycleWhere(bool aboveNorm) const {
        for (const auto& [id, c] : counted_) {
            if ((c.counts[3] * 100.0 / c.counts[1] > c.norm) == aboveNorm) {
                return id;
            }
        }
        return -1;
    }

    void TearDown() override {
        // The grids let go of the database before it shuts.
        windows_.reset();
        mdi_.reset();
        DbTest::TearDown();
    }

    std::map<int, CountedCycle> counted_;
    IniFile ini_{home_.filePath(QStringLiteral("ZEV7.ini"))};
    std::unique_ptr<test::MdiFrame> mdi_ = std::make_unique<test::MdiFrame>();
    std::unique_ptr<StatWindows> windows_;
};

TEST_F(StatWindowsTest, CycleWindowsShowTheCurrentCycleAndOnlyItsLossRowTurnsRed) {
    const int above = cycleWhere(true);
    const int within = cycleWhere(false);
    ASSERT_GE(above, 0);
    ASSERT_GE(within, 0);
    windows_->openCycleStat(above);
    auto* stat = qobject_cast<TFormBD_StatCycle*>(windows_->window(StatWindowKind::CycleStat));
    ASSERT_NE(stat, nullptr);
    EXPECT_EQ(stat->windowTitle(), QString::fromUtf8("Статистика цикла попыток  вызовов"));

    for (int cycle : {above, within}) {
        windows_->setCurrentCycle(cycle);
        const CountedCycle& c = counted_.at(cycle);
        const QTableView* grid = stat->grid();
        ASSERT_EQ(grid->model()->rowCount(), 16);
        for (int r = 0; r < 16; ++r) {
            EXPECT_EQ(cell(grid, r, 1).toInt(), c.counts[r + 1]) << cycle << " row " << r;
            EXPECT_EQ(cell(grid, r, 2), fixed2(c.counts[r + 1] * 100.0 / c.counts[1]));
            // The norm stands only in the loss row, and only that row's percentage is red.
            EXPECT_EQ(cell(grid, r, 3).trimmed().isEmpty(), r != 2);
            for (int col = 0; col < 4; ++col) {
                EXPECT_EQ(redCell(grid, r, col), cycle == above && r == 2 && col == 2)
                    << cycle << " " << r << " " << col;
            }
        }
        EXPECT_TRUE(stat->findChild<QLabel*>(QStringLiteral("Attempts"))
                        ->text()
                        .endsWith(QStringLiteral(": %1").arg(c.counts[1])));
    }
    EXPECT_TRUE(messages_.texts().isEmpty());
}

TEST_F(StatWindowsTest, CallsWindowHoldsTheCycleInTheWorkingTableUntilItCloses) {
    const int cycle = counted_.begin()->first;
    windows_->openCycleCalls(cycle);
    StatWindow* calls = windows_->window(StatWindowKind::CycleCalls);
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls->grid()->model()->rowCount(), counted_.at(cycle).counts[1]);
    EXPECT_EQ(count(QStringLiteral("TEMP_RESSEANS")), counted_.at(cycle).counts[1]);
    // Opening again raises the one window; the list's close takes every window with it.
    windows_->openCycleSettings(cycle);
    windows_->openCycleCalls(std::next(counted_.begin())->first);
    EXPECT_EQ(mdi_->area.subWindowList().size(), 2);
    EXPECT_EQ(count(QStringLiteral("TEMP_RESSEANS")),
              std::next(counted_.begin())->second.counts[1]);
    EXPECT_EQ(windows_->window(StatWindowKind::CycleSettings)->grid()->model()->rowCount(), 24);
    windows_->closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mdi_->area.subWindowList().isEmpty());
    EXPECT_EQ(count(QStringLiteral("TEMP_RESSEANS")), 0);
}

TEST_F(StatWindowsTest, SummarySumsTheIncludedCyclesAgainstTheirSummedAttempts) {
    windows_->openSummary();
    StatWindow* summary = windows_->window(StatWindowKind::Summary);
    ASSERT_NE(summary, nullptr);
    const QList<int> excluded{counted_.begin()->first, std::next(counted_.begin(), 7)->first};
    windows_->recompute(excluded, {});

    std::array<int, 17> sum{};
    double minNorm = 1e9;
    for (const auto& [id, c] : counted_) {
        if (excluded.contains(id)) {
            continue;
        }
        for (int p = 1; p <= 16; ++p) {
            sum[p] += c.counts[p];
        }
        minNorm = std::min(minNorm, c.norm);
    }
    const QTableView* grid = summary->grid();
    ASSERT_EQ(grid->model()->rowCount(), 16);
    for (int r = 0; r < 16; ++r) {
        EXPECT_EQ(cell(grid, r, 1).toInt(), sum[r + 1]) << r;
        EXPECT_EQ(cell(grid, r, 2), fixed2(sum[r + 1] * 100.0 / sum[1])) << r;
    }
    const QString norm = cell(grid, 2, 3).trimmed();
    EXPECT_TRUE(norm.endsWith(QStringLiteral(" %"))) << norm.toStdString();
    EXPECT_DOUBLE_EQ(norm.section(QLatin1Char(' '), 0, 0).toDouble(), minNorm);
    EXPECT_EQ(redCell(grid, 2, 2), sum[3] * 100.0 / sum[1] > minNorm);
}

TEST_F(StatWindowsTest, ParameterTableSwitchesBetweenCountsAndPercentages) {
    windows_->openParamStats();
    auto* params = qobject_cast<TFormBD_StatParams*>(windows_->window(StatWindowKind::ParamStats));
    ASSERT_NE(params, nullptr);
    const QTableView* grid = params->grid();
    ASSERT_EQ(grid->model()->rowCount(), 40);
    EXPECT_EQ(params->rowLabel(), QString::fromUtf8("1 из 40"));
    // Columns: numbers, date, time, attempts, successes, losses, norm, the 13 categories.
    const auto title = [grid](int c) {
        return grid->model()->headerData(c, Qt::Horizontal).toString();
    };
    EXPECT_EQ(title(6), QString::fromUtf8("Всего потерь вызовов,шт"));
    EXPECT_EQ(title(7), QString::fromUtf8("Норма потерь вызовов,%"));

    const auto check = [&](bool percent) {
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            const CountedCycle& c = counted_.at(params->model()->cycleId(r));
            const auto shown = [&](int p) {
                return percent ? fixed2(c.counts[p] * 100.0 / c.counts[1])
                               : QString::number(c.counts[p]);
            };
            EXPECT_EQ(cell(grid, r, 4), QString::number(c.counts[1])) << r;
            EXPECT_EQ(cell(grid, r, 5), shown(2)) << r;
            EXPECT_EQ(cell(grid, r, 6), shown(3)) << r;
            EXPECT_EQ(cell(grid, r, 7), fixed2(c.norm)) << r;
            for (int p = 4; p <= 16; ++p) {
                EXPECT_EQ(cell(grid, r, p + 4), shown(p)) << r << " " << p;
            }
            // Red by the loss percentage in both modes, only in the losses column.
            const bool above = c.counts[3] * 100.0 / c.counts[1] > c.norm;
            for (int col = 0; col < grid->model()->columnCount(); ++col) {
                EXPECT_EQ(redCell(grid, r, col), above && col == 6) << r << " " << col;
            }
        }
    };
    check(false);
    params->grid()->setCurrentIndex(grid->model()->index(9, 0));
    const int cycleOnRow9 = params->currentCycleId();
    params->percentButton()->click();
    EXPECT_EQ(title(6), QString::fromUtf8("Всего потерь вызовов,%"));
    EXPECT_EQ(title(15), QString::fromUtf8("Занято на входящей,%"));
    check(true);
    // The user stays on his cycle through the switch.
    EXPECT_EQ(params->currentCycleId(), cycleOnRow9);
    EXPECT_EQ(params->rowLabel(), QString::fromUtf8("10 из 40"));
    params->countButton()->click();
    check(false);
}

TEST_F(StatWindowsTest, MovingInTheParameterTableMovesTheCycleWindows) {
    windows_->openParamStats();
    windows_->openCycleStat(-1);
    auto* params = qobject_cast<TFormBD_StatParams*>(windows_->window(StatWindowKind::ParamStats));
    auto* stat = qobject_cast<CycleWindow*>(windows_->window(StatWindowKind::CycleStat));
    ASSERT_TRUE(params && stat);
    QList<int> told;
    QObject::connect(windows_.get(), &StatWindows::currentCycleChanged,
                     [&told](int id) { told.append(id); });
    params->grid()->setCurrentIndex(params->grid()->model()->index(4, 0));
    const int cycle = params->model()->cycleId(4);
    EXPECT_EQ(stat->cycleId(), cycle);
    EXPECT_EQ(told, QList<int>{cycle});
    // The list moving does not echo back to it.
    const int other = params->model()->cycleId(11);
    windows_->setCurrentCycle(other);
    EXPECT_EQ(params->currentCycleId(), other);
    EXPECT_EQ(told, QList<int>{cycle});
}

TEST_F(StatWindowsTest, ColumnWidthsAreKeptUnderTheCaption) {
    const int cycle = counted_.begin()->first;
    const QString section = QString::fromUtf8("Статистика цикла попыток  вызовов");
    windows_->openCycleStat(cycle);
    StatWindow* stat = windows_->window(StatWindowKind::CycleStat);
    stat->grid()->horizontalHeader()->resizeSection(0, 231);
    windows_->setCurrentCycle(cycle);  // a new query keeps the user's width
    EXPECT_EQ(stat->grid()->columnWidth(0), 231);
    stat->frameWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ini_.readInt(section, QStringLiteral("Column0")), 231);

    // Read back from the file; a damaged width leaves the column as it comes.
    ini_.writeString(section, QStringLiteral("Column1"), QStringLiteral("-40"));
    ini_.save();
    ini_.clear();
    ini_.load();
    windows_->openCycleStat(cycle);
    stat = windows_->window(StatWindowKind::CycleStat);
    EXPECT_EQ(stat->grid()->columnWidth(0), 231);
    EXPECT_GE(stat->grid()->columnWidth(1), GridColumnWidths::kMinWidth);
}

}  // namespace
}  // namespace zev7::testing
