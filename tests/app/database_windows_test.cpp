// The database windows in the frame: each opens once, the monitor has no visible menu item but
// its key, and the database guard closes the selection and the list (after asking) before a
// maintenance command.
#include "app/database_windows.h"
#include "app/app_test_support.h"
#include "core/port_run_marker.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "dbui/db_graph_windows.h"
#include "dbui/tform_bd.h"
#include "dbui/tform_bd_graph.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/tform_view_bd1.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPushButton>

namespace zev7::apptest {
namespace {

class DatabaseWindowsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(DbConnection::setup(&messages));
        windows_ = std::make_unique<DatabaseWindows>(*form, ini, messages,
                                                     [] { return QDate(2026, 1, 20); });
        windows_->provideMenuItems();
    }
    void TearDown() override {
        form->closeAllChildren();
        QApplication::processEvents();
        windows_.reset();
        DbConnection::shutdown();
    }
    QAction* action(const char* name) {
        return form->findChild<QAction*>(QString::fromLatin1(name));
    }
    std::unique_ptr<DatabaseWindows> windows_;
};

TEST_F(DatabaseWindowsTest, GuardClosesTheSelectionAndTheListOnlyWhenTheUserAgrees) {
    action("N14")->trigger();
    action("N14")->trigger();
    EXPECT_EQ(form->childWindowCount(), 1);
    SelectionCriteria criteria;
    criteria.period = PeriodTexts::lastThirtyDays(QDate(2026, 1, 20));
    criteria.numbers.append({1, QString(), true, {}});
    ASSERT_NE(windows_->showCycles(criteria), nullptr);
    EXPECT_EQ(form->childWindowCount(), 2);

    EXPECT_FALSE(form->databaseGuard());  // No
    EXPECT_EQ(messages.texts(), QStringList{txt(str::AskCloseDatabase)});
    messages.queueAnswer(true);
    EXPECT_TRUE(form->databaseGuard());
    QApplication::processEvents();
    EXPECT_EQ(form->childWindow(TForm_InterfaceBD::windowName()), nullptr);
    EXPECT_EQ(form->childWindow(TForm_ViewBD1::windowName()), nullptr);
    messages.clear();
    EXPECT_TRUE(form->databaseGuard());
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(DatabaseWindowsTest, TheListsDiagramButtonsOpenGraphsThatCloseWithIt) {
    DbGraphWindows graphs(&ini, &messages, *form);
    windows_->setGraphWindows(&graphs);
    SelectionCriteria criteria;
    criteria.period = PeriodTexts::lastThirtyDays(QDate(2026, 1, 20));
    criteria.numbers.append({1, QString(), true, {}});
    TForm_ViewBD1* list = windows_->showCycles(criteria);
    ASSERT_NE(list, nullptr);
    list->findChild<QPushButton*>(QStringLiteral("ItogDiagram_Button"))->click();
    list->findChild<QPushButton*>(QStringLiteral("ItogDiagram_Button"))->click();
    EXPECT_EQ(form->childWindowCount(), 3);  // the list and one window per pie
    EXPECT_NE(form->childWindow(TFormBD_Graph::windowName(GraphSelectionLossPie)), nullptr);
    list->frameWindow()->close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->childWindowCount(), 0);
}

TEST_F(DatabaseWindowsTest, MonitorIsReachedByItsKeyNotByAVisibleItem) {
    EXPECT_FALSE(action("N13")->isVisible());
    QList<QAction*> keys = form->actions();
    const auto key = std::find_if(keys.begin(), keys.end(),
                                  [](QAction* a) { return a->shortcut() == monitorShortcut(); });
    ASSERT_NE(key, keys.end());
    (*key)->trigger();
    EXPECT_NE(form->childWindow(TForm_BD::windowName()), nullptr);
}

// "Настройки БД": the database is bound elsewhere only while no port measures, and only to a
// database that can be set up; what was bound before stays otherwise, and ZEV7.ini is untouched.
TEST_F(DatabaseWindowsTest, SettingsRebindTheDatabaseOnlyWhenTheyCan) {
    const QString section = QString::fromUtf8(kDbIniSection);
    DbLocation station;
    station.station = QStringLiteral("Узел-1");
    {
        PortRunMarker port(2);
        ASSERT_TRUE(port.acquire());
        EXPECT_FALSE(windows_->applyLocation(station));
        EXPECT_EQ(messages.texts(), QStringList{txt(str::PortsBusyForDatabase)});
    }
    messages.clear();
    DbLocation nowhere;
    nowhere.driver = DbLocation::Driver::Postgres;
    nowhere.host = QStringLiteral("127.0.0.1");
    nowhere.port = 1;  // nobody listens there
    EXPECT_FALSE(windows_->applyLocation(nowhere));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(
        messages.texts().first().startsWith(txt(str::DbSetApplyFailed).section(u'\n', 0, 0)));
    EXPECT_TRUE(DbConnection::isSetUp());
    EXPECT_TRUE(DbConnection::options().server.isEmpty());
    EXPECT_FALSE(ini.hasSection(section));

    // A database part switched off by settings that did not read stays off.
    DbConnection::refuse(QStringLiteral("bad settings"));
    EXPECT_FALSE(windows_->applyLocation(nowhere));
    EXPECT_EQ(DbConnection::refusal(), QStringLiteral("bad settings"));

    EXPECT_TRUE(windows_->applyLocation(station));
    EXPECT_TRUE(DbConnection::refusal().isEmpty());
    EXPECT_EQ(DbConnection::options().station, QStringLiteral("Узел-1"));
    IniFile written(ini.path());
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.readString(section, QStringLiteral("Station")), QStringLiteral("Узел-1"));
    EXPECT_EQ(written.readString(section, QStringLiteral("Driver")), QStringLiteral("SQLite"));
}

}  // namespace
}  // namespace zev7::apptest
