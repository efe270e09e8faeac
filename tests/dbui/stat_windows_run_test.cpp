// Two runs of the demo scenario on the simulated network, the second with every call busy on
// the incoming side: the statistics windows give the figures the port window showed call by
// call.
#include "db/db_connection.h"
#include "dbquery/selection_criteria.h"
#include "dbquery/working_selection.h"
#include "dbui/cycle_stat_windows.h"
#include "dbui/stat_window_support.h"
#include "engine/port_engine_support.h"
#include "engine/report/result_report_db.h"
#include "engine/report/result_report_finish.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

using porttest::kCaller;
using test::cell;
using test::redCell;

class RunStatistics : public porttest::PortBench {
protected:
    ~RunStatistics() override {
        windows_.reset();
        mdi_.reset();
        DbConnection::closeForThisThread();
        DbConnection::shutdown();
    }

    // One run of the demo cycle stored in the database; the port window's outcome texts of
    // its calls.
    QStringList runDemoCycle() {
        writeScenario(kCaller, header(), {cycle()});
        PortServices s = services();
        s.makeResults = [this](int port) -> std::unique_ptr<ResultSink> {
            ReportFinishing batch;
            batch.batchReportName = [](int) { return QString(); };
            return makeDatabaseReportSink(port, messages_, registry_.resultFilesMutex(), clock_,
                                          nullptr, batch);
        };
        const qsizetype before = view_.calls().size();
        PortEngine e(kCaller, s);
        EXPECT_TRUE(run(e));
        QStringList outcomes;
        for (qsizetype i = before; i < view_.calls().size(); ++i) {
            outcomes << view_.calls().at(i).row[1];
        }
        return outcomes;
    }

    std::unique_ptr<test::MdiFrame> mdi_ = std::make_unique<test::MdiFrame>();
    std::unique_ptr<StatWindows> windows_;
};

TEST_F(RunStatistics, WindowsAgreeWithThePortWindowCallByCall) {
    ASSERT_TRUE(DbConnection::setup(&messages_));
    const QStringList normal = runDemoCycle();
    network_->setFaultProbability(SimFault::BusyRingback, 1.0);
    const QStringList busy = runDemoCycle();
    ASSERT_EQ(messages_.count(), 0) << messages_.texts().join('|').toStdString();
    const QString success = resultCodeText(ResultCode::Success);
    const QString busyIncoming = resultCodeText(ResultCode::BusyIncoming);
    ASSERT_GE(normal.size(), 5);  // the cycle's minimum
    ASSERT_EQ(busy.size(), 20);   // its maximum: every call lost
    ASSERT_EQ(normal.count(success), normal.size());
    ASSERT_EQ(busy.count(busyIncoming), busy.size());

    // The selection over today, both cycles.
    SelectionCriteria criteria;
    const QDate today = clock_.now().date();
    criteria.period.dateOn = dateText(today.addDays(-1));
    criteria.period.dateOff = dateText(today.addDays(1));
    criteria.numbers.append({1, QString(), true, {}});
    WorkingSelection selection(DbConnection::main());
    ASSERT_TRUE(selection.load(criteria)) << selection.lastError().toStdString();
    const SelectionTotals totals = selection.totals({}, {});
    EXPECT_EQ(totals.attempts.toInt(), normal.size() + busy.size());
    EXPECT_EQ(totals.losses.toInt(), busy.size());
    EXPECT_TRUE(totals.aboveNorm());

    IniFile ini;
    windows_ = std::make_unique<StatWindows>(&ini, &messages_, mdi_->frame());
    windows_->openSummary();
    const QTableView* summary = windows_->window(StatWindowKind::Summary)->grid();
    const int busyRow = 4 + lossCategoryIndex(ResultCode::BusyIncoming) - 1;
    EXPECT_EQ(cell(summary, 0, 1).toInt(), normal.size() + busy.size());
    EXPECT_EQ(cell(summary, 1, 1).toInt(), normal.size());
    EXPECT_EQ(cell(summary, 2, 1).toInt(), busy.size());
    EXPECT_EQ(cell(summary, busyRow, 1).toInt(), busy.size());
    EXPECT_TRUE(redCell(summary, 2, 2));

    // Each cycle on its own, in the order they ran.
    QSqlQuery q(DbConnection::main());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT CYCLE_ID FROM TEMP_CYCLE ORDER BY CYCLE_ID")));
    QList<int> cycles;
    while (q.next()) {
        cycles << q.value(0).toInt();
    }
    ASSERT_EQ(cycles.size(), 2);
    windows_->openCycleStat(cycles[0]);
    auto* stat = qobject_cast<CycleWindow*>(windows_->window(StatWindowKind::CycleStat));
    const QTableView* grid = stat->grid();
    EXPECT_EQ(cell(grid, 0, 1).toInt(), normal.size());
    EXPECT_EQ(cell(grid, 1, 1).toInt(), normal.size());
    EXPECT_FALSE(redCell(grid, 2, 2));
    windows_->setCurrentCycle(cycles[1]);
    EXPECT_EQ(cell(grid, 0, 1).toInt(), busy.size());
    EXPECT_EQ(cell(grid, 2, 1).toInt(), busy.size());
    EXPECT_EQ(cell(grid, busyRow, 1).toInt(), busy.size());
    EXPECT_EQ(cell(grid, 2, 2), QStringLiteral("100.00"));
    EXPECT_TRUE(redCell(grid, 2, 2));
    EXPECT_EQ(stat->header().attempts, busy.size());
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join('|').toStdString();
}

}  // namespace
}  // namespace zev7
