// The compaction window and the measurement monitor: every table packed in order, an
// interruption that leaves the rest, a table another program holds reported rather than
// passed over; the monitor's generated cycles and its emptying of the results.
#include "core/ini_file.h"
#include "core/strings.h"
#include "db/db_fixture.h"
#include "db/db_maintenance.h"
#include "dbui/tform_bd.h"
#include "dbui/tform_process.h"
#include "ui/ui_test_support.h"

#include <QPushButton>
#include <QSqlQueryModel>
#include <QTest>
#include <QTimer>

namespace zev7::testing {
namespace {

class MaintenanceWindows : public DbTest {
protected:
    void SetUp() override {
        test::uiApp();
        DbTest::SetUp();
    }
    void TearDown() override {
        monitor_.reset();
        DbTest::TearDown();
    }
    TForm_BD& monitor() {
        if (!monitor_) {
            monitor_ = std::make_unique<TForm_BD>(DbConnection::main(), messages, nullptr,
                                                  QDate(2026, 1, 20));
        }
        return *monitor_;
    }
    RecordingMessages messages;
    std::unique_ptr<TForm_BD> monitor_;
};

TEST_F(MaintenanceWindows, CompactionPacksEveryTableOrStopsWhenInterrupted) {
    TForm_Process process(messages);
    process.startCompaction();
    EXPECT_EQ(process.lastResult().tables.size(), 7);
    EXPECT_EQ(process.lastResult().codes, QList<int>(7, 0));
    EXPECT_EQ(process.label(), txt(str::CompactDone));
    EXPECT_EQ(process.gauge(), 100);
    EXPECT_TRUE(process.findChild<QPushButton*>(QStringLiteral("Close_Button"))->isEnabled());

    // "Прервать" pressed while the first table is packed: the others are left alone.
    auto* interrupt = process.findChild<QPushButton*>(QStringLiteral("Break_Button"));
    QTimer::singleShot(0, interrupt, &QPushButton::click);
    process.startCompaction();
    EXPECT_EQ(process.lastResult().tables, QList<QString>{QStringLiteral("Table_ResCycle")});
    EXPECT_EQ(process.label(), txt(str::CompactStart));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MaintenanceWindows, TableHeldByAnotherWriterIsReportedNotPassedOver) {
    DbOptions options;
    options.busyTimeoutMs = 0;
    options.syncEveryCommit = false;
    QSqlDatabase other = DbConnection::open(QStringLiteral("other"), options);
    {
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
        TForm_Process process(messages);
        process.startCompaction();
        EXPECT_EQ(process.lastResult().codes.first(), kTableUnavailable);
        ASSERT_EQ(messages.count(), 1);
        EXPECT_TRUE(messages.texts().first().contains(QStringLiteral("Table_ResCycle")));
        EXPECT_TRUE(process.findChild<QPushButton*>(QStringLiteral("Start_Button"))->isEnabled());
        hold.exec(QStringLiteral("ROLLBACK"));
    }
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

TEST_F(MaintenanceWindows, MonitorFillsShowsAndEmptiesTheResults) {
    monitor().fillDatabase(2, 3, 4);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 6);
    EXPECT_EQ(count(QStringLiteral("Table_Seans")), 24);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 2);
    monitor().showTable(QStringLiteral("Table_Seans"));
    EXPECT_EQ(monitor().tableModel().rowCount(), 24);

    // Refused by the guard, then declined: nothing goes.
    monitor().setGuard([] { return false; });
    monitor().clearResults();
    monitor().setGuard([] { return true; });
    monitor().clearResults();
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 6);
    messages.queueAnswer(true);
    monitor().clearResults();
    for (const char* t : {"Table_ResCycle", "Table_ResSeans", "Table_Seans", "Table_Sett_Cycle_Dec",
                          "Table_Cycle", "Table_In", "Table_Out"}) {
        EXPECT_EQ(count(QString::fromLatin1(t)), 0) << t;
    }
    EXPECT_EQ(monitor().tableModel().rowCount(), 0);
    EXPECT_GT(count(QStringLiteral("Table_ResParam")), 0);
}

}  // namespace
}  // namespace zev7::testing
